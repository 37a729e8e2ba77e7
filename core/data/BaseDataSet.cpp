#include "core/data/BaseDataSet.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "core/config/GeneralPrm.h"
#include "core/config/Parameter.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/File.h"
#include "core/platform/Path.h"

CBaseDataSet::Place CBaseDataSet::ReadAt(platform::CalTime fileDate, int64_t offset, CSpectrumData& record) const {
    CSpectrumDataReader reader;
    std::string path;
    platform::File file;
    if (offset < 0 || !reader.General().DailyFilePath(fileDate, path)) return Place::Unknown;
    if (!file.Open(path, platform::File::Mode::Read)) {
        // Gone only when there is no such file; one that is there but cannot be opened is not.
        struct stat st {};
        return ::stat(platform::ResolveExisting(path).c_str(), &st) != 0 && errno == ENOENT ? Place::Gone
                                                                                             : Place::Unknown;
    }
    return file.Seek(offset) && reader.ReadRecord(file, record) == 1 ? Place::Read : Place::Gone;
}

CBaseDataSet::CBaseDataSet() {
    builtIn_.LoadJisStandard();
    // Only a history that changes is written (a run that merely reads it must not undo a change
    // another program makes meanwhile), and then under the lock, from the history as it then is.
    if (!Load()) return;
    const auto lock = prm_.LockHistory();
    if (Load() && Store()) stored_.LoadHistory();
}

bool CBaseDataSet::Load() {
    records_.clear();
    hidden_.clear();
    prm_.LoadHistory();
    stored_ = prm_;
    const bool historyRead = prm_.ReadError().empty();
    auto& dates = prm_.m_FileDates;
    auto& offsets = prm_.m_Offsets;
    // An entry is dropped only when it is known to be gone: its day file is missing from a data
    // folder that is there, or holds no record at its place. On a run's own folder or prefix,
    // on settings that could not be read (their defaults name another folder) or while the data
    // folder itself is missing (a disk not mounted) every entry would look gone.
    CGeneralPrm general;
    const bool runOnly = CParameter::HasRunOverride("GENERAL", "DATA_STORED_FOLDER") ||
                         CParameter::HasRunOverride("GENERAL", "FILE_NAME_ID");
    const bool prune = historyRead && !runOnly && general.Load() && general.FileNameIdUsable() &&
                       platform::IsDirectory(general.m_DATA_STORED_FOLDER.Get());
    std::size_t i = 0, slot = 0;
    bool dropped = false;
    for (; i < dates.size() && i < offsets.size(); ++slot) {
        CSpectrumData record;
        const Place place = ReadAt(dates[i], offsets[i], record);
        if (place == Place::Read) {
            records_.push_back(record);
            ++i;
            continue;
        }
        if (!prune || place == Place::Unknown) hidden_.push_back({slot, dates[i], offsets[i]});
        else dropped = true;
        dates.erase(dates.begin() + static_cast<long>(i));
        offsets.erase(offsets.begin() + static_cast<long>(i));
    }
    dates.resize(i);
    offsets.resize(i);
    return dropped;
}

bool CBaseDataSet::Change(bool positional, const std::function<Step()>& apply) {
    const auto lock = prm_.LockHistory();
    outdated_ = false;
    CBaseDataPrm now = prm_;
    now.LoadHistory();
    if (now.ReadError().empty() && !now.SameHistory(stored_)) {
        if (Load() && Store()) stored_.LoadHistory();
        if (positional) {
            outdated_ = true;
            return false;
        }
    }
    switch (apply()) {
        case Step::Unchanged: return true;
        case Step::Failed: return false;
        case Step::Save: break;
    }
    if (!Store()) return false;
    stored_.LoadHistory();
    return true;
}

bool CBaseDataSet::Store() {
    if (hidden_.empty()) return prm_.SaveHistory();
    const auto dates = prm_.m_FileDates;
    const auto offsets = prm_.m_Offsets;
    // Back at their places as loaded (ascending, so earlier ones do not move later ones).
    for (const Hidden& h : hidden_) {
        const auto at = static_cast<long>(std::min(h.slot, prm_.m_FileDates.size()));
        prm_.m_FileDates.insert(prm_.m_FileDates.begin() + at, h.fileDate);
        prm_.m_Offsets.insert(prm_.m_Offsets.begin() + at, h.offset);
    }
    // The oldest give way when the slots are full.
    while (prm_.m_FileDates.size() > static_cast<std::size_t>(kMaxHistory)) {
        prm_.m_FileDates.erase(prm_.m_FileDates.begin());
        prm_.m_Offsets.erase(prm_.m_Offsets.begin());
    }
    const bool ok = prm_.SaveHistory();
    prm_.m_FileDates = dates;
    prm_.m_Offsets = offsets;
    return ok;
}

bool CBaseDataSet::CurrentIsBuiltIn() const {
    return jisEnabled_ != 0 && (records_.empty() || prm_.m_SELECT_JIS_DATA.Get() == 1);
}

const CSpectrumData* CBaseDataSet::Current() const {
    if (CurrentIsBuiltIn()) return &builtIn_;
    return records_.empty() ? nullptr : &records_.back();
}

int CBaseDataSet::ItemCount() const { return static_cast<int>(records_.size()) + (CurrentIsBuiltIn() ? 1 : 0); }

int CBaseDataSet::ItemToHistoryIndex(int position) const {
    const int n = static_cast<int>(records_.size());
    if (!CurrentIsBuiltIn()) return n - 1 - position;
    return position == 0 ? kBuiltIn : n - position;
}

const CSpectrumData& CBaseDataSet::Item(int position) const {
    int index = ItemToHistoryIndex(position);
    if (index < 0 || index >= static_cast<int>(records_.size())) return builtIn_;
    return records_[static_cast<std::size_t>(index)];
}

bool CBaseDataSet::ItemLocation(int position, platform::CalTime& fileDate, int64_t& offset) const {
    if (!ValidPosition(position)) return false;
    int index = ItemToHistoryIndex(position);
    if (index < 0 || index >= static_cast<int>(records_.size())) return false;
    fileDate = prm_.m_FileDates[static_cast<std::size_t>(index)];
    offset = prm_.m_Offsets[static_cast<std::size_t>(index)];
    return true;
}

bool CBaseDataSet::SetSelectJis(int flag) {
    return Change(false, [&] {
        prm_.m_SELECT_JIS_DATA = flag != 0 ? 1 : 0;
        return Step::Save;
    });
}

bool CBaseDataSet::Select(int position) {
    return Change(true, [&] {
        if (!ValidPosition(position)) return Step::Unchanged;
        int index = ItemToHistoryIndex(position);
        if (index < 0) return Step::Unchanged;
        auto at = static_cast<long>(index);
        CSpectrumData record = records_[static_cast<std::size_t>(index)];
        platform::CalTime date = prm_.m_FileDates[static_cast<std::size_t>(index)];
        uint32_t offset = prm_.m_Offsets[static_cast<std::size_t>(index)];
        records_.erase(records_.begin() + at);
        prm_.m_FileDates.erase(prm_.m_FileDates.begin() + at);
        prm_.m_Offsets.erase(prm_.m_Offsets.begin() + at);
        records_.push_back(record);
        prm_.m_FileDates.push_back(date);
        prm_.m_Offsets.push_back(offset);
        prm_.m_SELECT_JIS_DATA = 0;
        return Step::Save;
    });
}

bool CBaseDataSet::Remove(int position) {
    return Change(true, [&] {
        if (!ValidPosition(position)) return Step::Unchanged;
        int index = ItemToHistoryIndex(position);
        if (index < 0) {
            if (ItemCount() <= 1) return Step::Unchanged;
            prm_.m_SELECT_JIS_DATA = 0;
            return Step::Save;
        }
        auto at = static_cast<long>(index);
        records_.erase(records_.begin() + at);
        prm_.m_FileDates.erase(prm_.m_FileDates.begin() + at);
        prm_.m_Offsets.erase(prm_.m_Offsets.begin() + at);
        return Step::Save;
    });
}

bool CBaseDataSet::Register(platform::CalTime fileDate, int64_t offset) {
    return Change(false, [&] {
        // Read under the lock: an import moves records only while it holds it too.
        CSpectrumData record;
        if (offset > static_cast<int64_t>(UINT32_MAX) || ReadAt(fileDate, offset, record) != Place::Read) return Step::Failed;
        const int64_t clock = CSpectrumDataWriter::StoredClock(record.GetTime());
        for (std::size_t i = 0; i < records_.size(); ++i) {
            if (CSpectrumDataWriter::StoredClock(records_[i].GetTime()) == clock) {
                auto at = static_cast<long>(i);
                records_.erase(records_.begin() + at);
                prm_.m_FileDates.erase(prm_.m_FileDates.begin() + at);
                prm_.m_Offsets.erase(prm_.m_Offsets.begin() + at);
                break;
            }
        }
        records_.push_back(record);
        prm_.m_FileDates.push_back(fileDate);
        prm_.m_Offsets.push_back(static_cast<uint32_t>(offset));
        if (records_.size() >= 20) {
            records_.erase(records_.begin());
            prm_.m_FileDates.erase(prm_.m_FileDates.begin());
            prm_.m_Offsets.erase(prm_.m_Offsets.begin());
        }
        prm_.m_SELECT_JIS_DATA = 0;
        return Step::Save;
    });
}
