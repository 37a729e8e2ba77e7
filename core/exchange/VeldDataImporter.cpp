#include "core/exchange/VeldDataImporter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "core/config/BaseDataPrm.h"
#include "core/config/GeneralPrm.h"
#include "core/data/DayFileLayout.h"
#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/AtomicReplace.h"
#include "core/platform/File.h"
#include "core/platform/IniFile.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"

namespace {

constexpr int kPixels = 256;
constexpr std::size_t kTableBytes = kPixels * 4;
constexpr std::size_t kRecordBytesV3 = 12 + 8 + 4 + 4 + 8 + 8 + 4 + 4 + 4 + kTableBytes + 4;  // 1084
constexpr std::size_t kRecordBytesOld = 8 + 4 + 4 + kTableBytes;                             // 1040
constexpr std::size_t kRecordSize = CSpectrumDataWriter::kRecordSize;
// Header values longer than this are cut: no field of a record holds more than 63 bytes, and the
// version compares only its first six.
constexpr std::size_t kKeepValueBytes = 4096;

enum class Version { V3, V2, V1 };  // >= "03.00", "02.00" .. "03.00", < "02.00"

// Little-endian fields.
uint32_t U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
uint64_t U64(const unsigned char* p) { return static_cast<uint64_t>(U32(p)) | static_cast<uint64_t>(U32(p + 4)) << 32; }
int32_t I32(const unsigned char* p) { return static_cast<int32_t>(U32(p)); }
int64_t I64(const unsigned char* p) { return static_cast<int64_t>(U64(p)); }
float F32(const unsigned char* p) {
    const uint32_t u = U32(p);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}
double F64(const unsigned char* p) {
    const uint64_t u = U64(p);
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

void Floats(const unsigned char* p, std::size_t n, std::vector<float>& out) {
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = F32(p + 4 * i);
}

// Reads up to and including the next LF; false at the end of the file before one. Only the first
// kKeepValueBytes bytes are kept, however long the line is.
bool ReadLine(platform::File& in, std::string& line) {
    line.clear();
    for (;;) {
        char c;
        if (!in.ReadExact(&c, 1)) return false;
        if (c == '\n') return true;
        if (line.size() < kKeepValueBytes) line += c;
    }
}

// "label,value": the value is everything after the first comma (a CR before the LF included).
bool ReadHeaderValue(platform::File& in, std::string& value) {
    std::string line;
    if (!ReadLine(in, line)) return false;
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) return false;
    value = line.substr(comma + 1);
    return true;
}

// The version compares as six bytes, terminator included: "03.00" and "03.00\r" differ, and so
// do "03.0" and "03.00".
int CompareVersion(const std::string& value, const char* reference) {
    unsigned char a[6] = {0, 0, 0, 0, 0, 0};
    unsigned char b[6] = {0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 6 && i < value.size() && value[i] != '\0'; ++i) a[i] = static_cast<unsigned char>(value[i]);
    for (std::size_t i = 0; i < 6 && reference[i] != '\0'; ++i) b[i] = static_cast<unsigned char>(reference[i]);
    return std::memcmp(a, b, 6);
}

float Decimal(const std::string& text) { return static_cast<float>(platform::LeadingDouble(text)); }

int32_t DecimalInteger(const std::string& text) {
    return static_cast<int32_t>(std::clamp<long long>(platform::LeadingInteger(text), INT32_MIN, INT32_MAX));
}

struct Header {
    Version version = Version::V1;
    CSpectrumData base;                   // header values, the same for every record
    std::vector<std::vector<float>> tables;  // calibration tables 0..3 (or 0)
};

bool ReadHeader(platform::File& in, Header& h) {
    std::string v;
    if (!ReadHeaderValue(in, v)) return false;
    h.version = CompareVersion(v, "03.00") >= 0 ? Version::V3 : CompareVersion(v, "02.00") >= 0 ? Version::V2 : Version::V1;
    const bool v3 = h.version == Version::V3;
    CSpectrumData& r = h.base;
    r.Reset();
    std::string items[13];
    const int count = v3 ? 10 : 13;
    for (int i = 0; i < count; ++i)
        if (!ReadHeaderValue(in, items[i])) return false;
    int k = 0;
    if (!v3) r.SetMemo(platform::FitBytes(items[k++], 63));
    r.SetIdText(platform::FitBytes(items[k++], 31));
    r.SetSerialNumber(platform::FitBytes(items[k++], 31));
    r.SetStText(platform::FitBytes(items[k++], 31));
    r.SetFvText(platform::FitBytes(items[k++], 31));
    r.SetFtText(platform::FitBytes(items[k++], 31));
    if (!v3) {
        r.SetExtraReal(Decimal(items[k++]));
        r.SetExtraInteger(DecimalInteger(items[k++]));
    }
    for (std::size_t c = 0; c < 5; ++c) r.SetCoefficient(c, Decimal(items[k++]));
    r.SetValid(1);

    std::string skipped;
    if (!ReadLine(in, skipped)) return false;

    const int tables = v3 ? 4 : h.version == Version::V2 ? 1 : 0;
    std::vector<unsigned char> bytes(kTableBytes);
    for (int t = 0; t < tables; ++t) {
        if (!in.ReadExact(bytes.data(), bytes.size())) return false;
        h.tables.emplace_back();
        Floats(bytes.data(), kPixels, h.tables.back());
    }
    if (tables == 0) h.tables.emplace_back(kPixels, 1.0f);
    return true;
}

// One record of the file into a copy of the header record; false for a table number outside the
// tables of the file.
bool DecodeRecord(const unsigned char* p, const Header& h, CSpectrumData& r, std::vector<float>& signal) {
    r = h.base;
    std::size_t table = 0;
    if (h.version == Version::V3) {
        std::size_t len = 0;
        while (len < 10 && p[len] != 0) ++len;
        r.SetMemo(platform::FitBytes(std::string(reinterpret_cast<const char*>(p), len), 10));
        p += 12;
        r.SetTime(I64(p));
        r.SetExposureTime(I32(p + 8));
        r.SetTemperature(F32(p + 12));
        r.SetLongitude(static_cast<float>(F64(p + 16)));
        r.SetLatitude(static_cast<float>(F64(p + 24)));
        r.SetAltitude(F32(p + 32));
        r.SetFovCode(I32(p + 36));
        const int32_t number = I32(p + 40);
        if (number < 0 || number > 3) return false;
        table = static_cast<std::size_t>(number);
        p += 44;
    } else {
        r.SetTime(I64(p));
        r.SetExposureTime(I32(p + 8));
        r.SetTemperature(F32(p + 12));
        p += 16;
    }
    Floats(p, kPixels, signal);
    r.SetSignal(signal);
    r.SetCalibration(h.tables[table]);
    return true;
}

// The day file a standard data history entry names: under the data folder and prefix as saved in
// the settings, which the history is kept for, not as given for this run.
std::string SavedDayFile(platform::CalTime fileDate) {
    CGeneralPrm saved;
    platform::IniFile ini(saved.FilePath());
    if (!ini.Load()) return {};
    for (CPrmValue* v : saved.Values())
        if (!v->SetString(ini.Get(saved.Section(), v->GetName(), v->GetDefaultString()))) return {};
    std::string path;
    return saved.DailyFilePath(fileDate, path) ? platform::ResolveExisting(path) : std::string();
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return !a.empty() && !b.empty() && ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The daily file of one date, rewritten into a temporary file beside it. The stored records are
// held in memory for the merge; images the reader cannot decode and a partial last record are
// carried over byte for byte after the records, so the rewrite itself never drops anything.
// Records are matched and ordered by the wall-clock seconds the file stores for them (StoredClock):
// the two passes of a repeated daylight-saving hour are one second there, and their calendar times
// do not order like their stored clocks.
class DayRewrite {
public:
    DayRewrite() = default;
    DayRewrite(const DayRewrite&) = delete;
    DayRewrite& operator=(const DayRewrite&) = delete;
    ~DayRewrite() { Abort(); }

    // detail: why, when the day file itself stands in the way (it is damaged).
    bool Begin(const std::string& storedPath, platform::CalTime fileDate, std::string& detail) {
        Abort();
        held_.clear();
        kept_.clear();
        keptOffsets_.clear();
        moved_.clear();
        written_ = 0;
        fileDate_ = fileDate;
        // Held from the read of the stored records to the rename: a record appended in between
        // would be in neither the merge nor the file that replaces the day.
        lock_ = std::make_unique<platform::FolderLock>(platform::StoredFolderOf(storedPath));
        target_ = platform::ResolveExisting(storedPath);
        existed_ = false;
        // Anything but a regular file under the day's name (a link, a FIFO) is refused by the
        // replacement and never read.
        struct stat st {};
        if (::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            if (!ReadStored(storedPath, detail)) {
                lock_.reset();
                return false;
            }
            existed_ = true;
        }
        if (!file_.Begin(target_, platform::kImportTag)) {
            lock_.reset();
            return false;
        }
        return true;
    }

    bool Active() const { return file_.Active(); }
    const std::string& Error() const { return file_.Error(); }

    // Writes the held records with the incoming ones of this day merged in. As in a data transfer,
    // each stored record stands for one incoming record of its stored clock, in order: a clock
    // stored once matches the first incoming record of that clock, so the two passes of a repeated
    // hour given again are not stored twice, and two records of one clock that the day does not
    // hold yet are two measurements, both stored. A matched record keeps its stored one, or with
    // overwrite takes its place (and its place in the history); the others go in by stored clock.
    bool Merge(const std::vector<CSpectrumData>& incoming, bool overwrite) {
        std::vector<std::pair<int64_t, const CSpectrumData*>> sorted;
        for (const CSpectrumData& r : incoming) sorted.emplace_back(CSpectrumDataWriter::StoredClock(r.GetTime()), &r);
        std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : a.second->GetTime() < b.second->GetTime();
        });
        std::map<int64_t, std::vector<std::size_t>> heldOfClock;  // in file order
        for (std::size_t j = 0; j < held_.size(); ++j) heldOfClock[held_[j].clock].push_back(j);
        std::map<int64_t, std::size_t> matched;
        std::vector<const CSpectrumData*> replacement(held_.size(), nullptr);
        std::vector<std::pair<int64_t, const CSpectrumData*>> fresh;
        for (const auto& [clock, record] : sorted) {
            const auto it = heldOfClock.find(clock);
            std::size_t& n = matched[clock];
            if (it == heldOfClock.end() || n == it->second.size()) {
                fresh.emplace_back(clock, record);
                continue;
            }
            if (overwrite) replacement[it->second[n]] = record;
            ++n;
        }
        std::size_t f = 0;
        for (std::size_t j = 0; j < held_.size(); ++j) {
            for (; f < fresh.size() && fresh[f].first < held_[j].clock; ++f)
                if (!Write(*fresh[f].second)) return false;
            moved_[held_[j].offset] = written_ * static_cast<int64_t>(kRecordSize);
            if (!Write(replacement[j] ? *replacement[j] : held_[j].record)) return false;
        }
        for (; f < fresh.size(); ++f)
            if (!Write(*fresh[f].second)) return false;
        return true;
    }

    bool Write(const CSpectrumData& record) {
        const std::size_t at = out_.size();
        out_.resize(at + kRecordSize);
        if (!CSpectrumDataWriter::Encode(record, out_.data() + at)) return false;
        ++written_;
        return out_.size() < kFlushBytes || Flush();
    }

    // The day file is replaced by the complete temporary file, the records the reader could not
    // decode after the merged ones. A standard data history entry that names a record of this day
    // follows it to its new place, saved before the day file is replaced; historyFailed tells when
    // that save failed.
    bool Commit(bool& historyFailed) {
        historyFailed = false;
        for (int64_t offset : keptOffsets_) moved_[offset] = written_++ * static_cast<int64_t>(kRecordSize);
        out_.insert(out_.end(), kept_.begin(), kept_.end());
        if (!Flush()) return false;
        CBaseDataPrm history;
        // From the history's read to the rename no entry may be made that names a place of the
        // old file: it would not be moved.
        auto historyLock = existed_ ? history.LockHistory() : nullptr;
        bool historyChanged = false;
        if (!FollowInHistory(history, historyChanged)) {
            historyFailed = true;
            return false;
        }
        const bool ok = file_.Commit();
        if (!ok && historyChanged) PutBack(history);
        historyLock.reset();
        lock_.reset();
        return ok;
    }

    void Abort() {
        file_.Abandon();
        out_.clear();
        lock_.reset();
    }

private:
    static constexpr std::size_t kFlushBytes = 64 * kRecordSize;

    struct Held {
        CSpectrumData record;
        int64_t clock;
        int64_t offset;  // in the file as it was
    };

    bool ReadStored(const std::string& storedPath, std::string& detail) {
        int fd;
        do {
            fd = ::open(target_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return false;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {  // swapped for a FIFO since the stat
            ::close(fd);
            return false;
        }
        std::vector<unsigned char> bytes;
        unsigned char chunk[1 << 16];
        bool ok = true;
        for (;;) {
            ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        ::close(fd);
        if (!ok) return false;
        // A partial record in the middle: rewriting the day would move every record and drop the
        // damaged bytes, so the day is left for the user to look at.
        platform::File file;
        if (!file.Open(storedPath, platform::File::Mode::Read)) return false;
        const DayFileLayout layout = DayFileLayout::Of(file, static_cast<int64_t>(bytes.size()));
        if (layout.GetState() == DayFileLayout::State::TornMiddle) {
            detail = layout.Describe(target_) + " " + platform::LoadString(ids::kImportDayNotMerged);
            return false;
        }
        std::size_t at = 0;
        for (; at + kRecordSize <= bytes.size(); at += kRecordSize) {
            Held h{CSpectrumData(), 0, static_cast<int64_t>(at)};
            if (CSpectrumDataReader::Decode(bytes.data() + at, h.record)) {
                h.clock = CSpectrumDataWriter::StoredClock(h.record.GetTime());
                held_.push_back(std::move(h));
            } else {
                keptOffsets_.push_back(static_cast<int64_t>(at));
                kept_.insert(kept_.end(), bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + kRecordSize));
            }
        }
        kept_.insert(kept_.end(), bytes.begin() + static_cast<long>(at), bytes.end());
        return true;
    }

    // Moves the history entries of this day to their records' new places; false when that was
    // needed and the history could not be saved (nothing is then changed).
    bool FollowInHistory(CBaseDataPrm& history, bool& changed) {
        changed = false;
        if (!existed_ || moved_.empty()) return true;
        platform::LocalFields day;
        if (!platform::SplitLocal(fileDate_, day)) return true;
        // The history as it stands in the file; one with entries it rejects is not ours to rewrite.
        const bool clean = history.LoadHistory();
        CBaseDataPrm updated = history;
        for (std::size_t i = 0; i < updated.m_FileDates.size(); ++i) {
            platform::LocalFields f;
            if (!platform::SplitLocal(updated.m_FileDates[i], f) || f.year != day.year || f.month != day.month ||
                f.day != day.day)
                continue;
            const auto it = moved_.find(updated.m_Offsets[i]);
            if (it == moved_.end() || it->second == updated.m_Offsets[i]) continue;
            if (!SameFile(SavedDayFile(updated.m_FileDates[i]), target_)) continue;
            updated.m_Offsets[i] = static_cast<uint32_t>(it->second);
            changed = true;
        }
        if (!changed) return true;
        if (!clean || !updated.SaveHistory()) {
            changed = false;
            return false;
        }
        return true;
    }

    static void PutBack(CBaseDataPrm& history) { (void)history.SaveHistory(); }


    bool Flush() {
        if (!file_.Write(out_.data(), out_.size())) return false;
        out_.clear();
        return true;
    }

    std::unique_ptr<platform::FolderLock> lock_;  // the data folder's write lock, while merging
    std::string target_;  // mapped path of the day's file
    bool existed_ = false;
    platform::CalTime fileDate_ = 0;
    platform::AtomicReplace file_;  // the day's new file, while it is written
    std::vector<Held> held_;
    int64_t written_ = 0;                  // records written to the temporary file
    std::map<int64_t, int64_t> moved_;     // old offset of each record carried over: its new one
    std::vector<int64_t> keptOffsets_;     // old offsets of undecodable images
    std::vector<unsigned char> kept_;  // undecodable images and a partial tail, carried over
    std::vector<unsigned char> out_;
};

}  // namespace

bool CVeldDataImporter::Import(bool overwrite) {
    failure_ = Failure::None;
    detail_.clear();
    folderError_.clear();
    if (Run(overwrite)) return true;
    if (failure_ == Failure::None) failure_ = Failure::File;
    return false;
}

// Failures of the file given return false as they stand; those of the day files set DataFolder.
bool CVeldDataImporter::Run(bool overwrite) {
    platform::File in;
    if (!in.Open(path_, platform::File::Mode::Read)) return false;
    in.SetReadBuffer(1 << 16);
    Header header;
    if (!ReadHeader(in, header)) return false;

    CGeneralPrm general;
    general.Load();

    const std::size_t recordBytes = header.version == Version::V3 ? kRecordBytesV3 : kRecordBytesOld;
    std::vector<unsigned char> bytes(recordBytes);
    std::vector<float> signal;
    CSpectrumData record;
    DayRewrite day;
    const auto FolderFailed = [this, &day] {
        failure_ = Failure::DataFolder;
        folderError_ = day.Error();
        return false;
    };
    const auto Commit = [&] {
        bool historyFailed = false;
        if (day.Commit(historyFailed)) return true;
        if (historyFailed) {
            char text[1024];
            std::snprintf(text, sizeof text, platform::LoadString(ids::kImportHistoryNotUpdated).c_str(),
                          platform::MapPath(CBaseDataPrm().FilePath()).c_str());
            detail_ = text;
        }
        return false;
    };
    // The file's records a day at a time: each run of records of one day is merged in one rewrite.
    std::vector<CSpectrumData> run;
    std::string dayPath;  // stored path of the run's day
    platform::CalTime dayDate = 0;
    const auto MergeRun = [&] {
        if (run.empty()) return true;
        if (!day.Begin(dayPath, dayDate, detail_) || !day.Merge(run, overwrite) || !Commit()) return FolderFailed();
        run.clear();
        return true;
    };
    const int64_t size = in.Size();
    while (in.Tell() < size) {
        if (!in.ReadExact(bytes.data(), bytes.size())) return false;
        if (!DecodeRecord(bytes.data(), header, record, signal)) return false;
        std::string path;
        platform::CalTime midnight = 0;
        if (!general.DailyFilePath(record.GetTime(), path) || !platform::LocalMidnight(record.GetTime(), midnight))
            return false;
        if (path != dayPath && !MergeRun()) return false;
        dayPath = path;
        dayDate = midnight;
        run.push_back(record);
        if (progress_) progress_(in.Tell(), size);
    }
    return MergeRun();
}
