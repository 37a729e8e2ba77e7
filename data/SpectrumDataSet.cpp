#include "data/SpectrumDataSet.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "config/GeneralPrm.h"
#include "data/BaseDataSet.h"
#include "data/DayFileChunks.h"
#include "data/SpectrumDataReader.h"
#include "data/SpectrumDataWriter.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace {

// A year's entries are tens of megabytes of fresh memory: faulted in 4 KiB at a time they cost more
// than the reading (a fault is dear on a virtual machine). Where the system gives huge pages on
// request, the whole 2 MiB pages inside the range get them. Only a hint.
void PreferHugePages(void* p, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

}  // namespace

void CSpectrumDataSet::Append(const CSpectrumData& record, platform::CalTime fileDate, int64_t fileOffset) {
    entries_.push_back({record, fileDate, fileOffset});
}

std::set<platform::CalTime> CSpectrumDataSet::ListFileDates(const std::string& folder, const std::string& prefix) {
    std::set<platform::CalTime> dates;
    const std::size_t l = prefix.size();
    for (const std::string& name : platform::ListMatchingFiles(folder + "\\" + prefix + "_????????.hlx")) {
        if (name.size() < l + 9) continue;
        int year = static_cast<int>(platform::LeadingInteger(name.substr(l + 1, 4)));
        int month = static_cast<int>(platform::LeadingInteger(name.substr(l + 5, 2)));
        int day = static_cast<int>(platform::LeadingInteger(name.substr(l + 7, 2)));
        // A name that only looks like a daily file is not one; it must not stop the others.
        if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) continue;
        platform::CalTime midnight;
        if (!platform::JoinLocal(year, month, day, 0, 0, 0, midnight)) continue;
        platform::LocalFields f;
        if (!platform::SplitLocal(midnight, f) || f.day != day) continue;  // 31 April is no file date
        dates.insert(midnight);
    }
    return dates;
}

void CSpectrumDataSet::Search(const platform::CalTime* start, const platform::CalTime* end, const char* comment) {
    Clear();
    CSpectrumDataReader reader;
    const CGeneralPrm& general = reader.General();

    platform::CalTime startDay = 0, endDay = 0;
    bool haveStart = start && platform::LocalMidnight(*start, startDay);
    bool haveEnd = end && platform::LocalMidnight(*end, endDay);
    // A bound outside the calendar still bounds: before everything or after everything.
    if (start && !haveStart) { startDay = *start; haveStart = true; }
    if (end && !haveEnd) { endDay = *end; haveEnd = true; }

    // The days' file sizes bound the records kept, so the list can be allocated once (without a
    // comment every valid record may be kept; with one, usually only a few are).
    const bool keepAll = !comment || !*comment;
    std::vector<std::pair<platform::CalTime, std::string>> days;
    int64_t bound = 0;
    for (platform::CalTime day : ListFileDates(general.m_DATA_STORED_FOLDER, general.m_FILE_NAME_ID)) {
        if ((haveStart && day < startDay) || (haveEnd && day > endDay)) continue;
        std::string path;
        if (!general.DailyFilePath(day, path)) continue;
        if (keepAll) bound += std::max<int64_t>(0, platform::FileSizeOf(path)) / CSpectrumDataReader::kRecordSize;
        days.emplace_back(day, std::move(path));
    }
    if (keepAll) {
        entries_.reserve(static_cast<std::size_t>(bound));
        PreferHugePages(entries_.data(), entries_.capacity() * sizeof(Entry));
    }
    PixelArena arena;  // the kept records' pixels in a few large blocks
    // Whole chunks of records are read and decoded where they lie.
    constexpr std::size_t kChunkRecords = 100;
    constexpr std::size_t kRecordBytes = CSpectrumDataReader::kRecordSize;
    std::vector<std::string> paths;
    paths.reserve(days.size());
    for (auto& d : days) paths.push_back(std::move(d.second));
    // Reading ahead pays only when most records are decoded; a comment filter passes over most.
    DayFileChunks chunks(std::move(paths), kChunkRecords * kRecordBytes, keepAll);
    DayFileChunks::Chunk chunk;
    while (chunks.Next(chunk)) {
        const platform::CalTime day = days[chunk.file].first;
        for (std::size_t k = 0; k < chunk.size / kRecordBytes; ++k) {
            const unsigned char* image = chunk.bytes + k * kRecordBytes;
            // Deleted records and memos that cannot match are passed over before the full decode.
            if (!CSpectrumDataReader::PassesQuickFilter(image, comment)) continue;
            Entry& e = entries_.emplace_back();  // decoded in place: no copy of a finished record
            const CSpectrumData& record = e.record;
            if (!CSpectrumDataReader::Decode(image, e.record, &arena) ||  // not a record this program writes
                (start && record.GetTime() < *start) || (end && record.GetTime() > *end)) {
                entries_.pop_back();
                continue;
            }
            e.FileDate = day;
            e.FileOffset = chunk.offset + static_cast<int64_t>(k * kRecordBytes);
        }
    }
}

int CSpectrumDataSet::FindNearest(platform::CalTime t) const {
    const int n = Count();
    if (n < 1) return -1;
    auto time = [this](int i) { return entries_[static_cast<std::size_t>(i)].record.GetTime(); };
    int a = n / 2, step = a, k = 0;
    // The halving search narrows by at least one each round, so n rounds always end it.
    for (int round = 0; round <= n + 64; ++round) {
        if (step > 1) step /= 2;
        if (a < 0) a = 0;
        if (a > n - 1) a = n - 1;
        if (time(a) < t) {
            if (a + 1 >= n) return n - 1;
            if (time(a + 1) >= t) {
                k = a;
                return (t - time(k) >= time(k + 1) - t) ? k + 1 : k;
            }
            a += step;
        } else {
            if (a <= 0) return 0;
            if (t >= time(a - 1)) {
                k = a - 1;
                return (t - time(k) >= time(k + 1) - t) ? k + 1 : k;
            }
            a -= step;
        }
    }
    // Times that do not ascend: fall back to a plain scan rather than loop.
    int best = 0;
    for (int i = 1; i < n; ++i) {
        auto d = [&](int j) { return time(j) > t ? time(j) - t : t - time(j); };
        if (d(i) <= d(best)) best = i;
    }
    return best;
}

void CSpectrumDataSet::CopySubset(const CSpectrumDataSet& source, const std::set<int>& indices) {
    Clear();
    for (int i : indices)
        if (i >= 0 && i < source.Count()) entries_.push_back(source.At(i));
}

void CSpectrumDataSet::RemoveEntries(const std::set<int>& indices) {
    for (auto it = indices.rbegin(); it != indices.rend(); ++it)
        if (*it >= 0 && *it < Count()) entries_.erase(entries_.begin() + *it);
}

namespace {

// True when the record at offset of the open day file is still the one the entry was read as: an
// import merges records into a day in time order, which moves the ones after them, and a rewrite
// at a stale offset would overwrite another record.
bool StillAt(platform::File& file, const CSpectrumDataSet::Entry& e) {
    unsigned char image[CSpectrumDataReader::kRecordSize];
    CSpectrumData stored;
    return file.Seek(e.FileOffset) && file.ReadExact(image, sizeof image) &&
           CSpectrumDataReader::Decode(image, stored) && stored.GetTime() == e.record.GetTime() &&
           stored.PixelCount() == e.record.PixelCount() && file.Seek(e.FileOffset);
}

}  // namespace

int CSpectrumDataSet::Delete(const std::set<int>& indices) {
    CSpectrumDataWriter writer;
    const CGeneralPrm& general = writer.General();
    std::unique_ptr<platform::FolderLock> lock;  // taken with the first day file, held to the end
    platform::File file;
    platform::CalTime openDate = 0;
    bool haveOpen = false;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it < 0 || *it >= Count()) continue;
        Entry& e = At(*it);
        if (!haveOpen || e.FileDate != openDate) {
            file.Close();
            haveOpen = false;
            std::string path;
            if (!general.DailyFilePath(e.FileDate, path)) return 0;
            if (!lock) lock = std::make_unique<platform::FolderLock>(platform::StoredFolderOf(path));
            if (!file.Open(path, platform::File::Mode::ReadWrite)) return 0;
            openDate = e.FileDate;
            haveOpen = true;
        }
        if (!StillAt(file, e)) return 0;
        e.record.SetValid(0);
        if (!writer.WriteRecord(file, e.record)) return 0;
    }
    file.Close();
    RemoveEntries(indices);
    return 1;
}

int CSpectrumDataSet::Update(int index) {
    if (index < 0 || index >= Count()) return 0;
    CSpectrumDataWriter writer;
    const Entry& e = At(index);
    std::string path;
    platform::File file;
    if (!writer.General().DailyFilePath(e.FileDate, path)) return 0;
    platform::FolderLock lock(platform::StoredFolderOf(path));
    if (!file.Open(path, platform::File::Mode::ReadWrite) || !StillAt(file, e)) return 0;
    return writer.WriteRecord(file, e.record);
}

bool CSpectrumDataSet::RegisterAsStandard(int index, CBaseDataSet& standardSet) const {
    if (index < 0 || index >= Count()) return false;
    return standardSet.Register(At(index).FileDate, At(index).FileOffset);
}
