#include "core/data/SpectrumDataSet.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/config/GeneralPrm.h"
#include "core/data/BaseDataSet.h"
#include "core/data/DayFileChunks.h"
#include "core/data/DayFileLayout.h"
#include "core/data/RecordLayout.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/File.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"

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

constexpr std::size_t kChunkRecords = 100;  // records read at once
constexpr int64_t kRecordBytes = CSpectrumDataReader::kRecordSize;

struct DayFile {
    platform::CalTime day;
    std::string path;
    DayFileLayout layout;  // when the search began (found by keep-all searches)
    platform::FileIdentity identity;  // the file the layout is of
};

// Where the records of a file of that size lie; only a size off the grid is worth opening it for.
DayFileLayout LayoutOf(const std::string& path, int64_t size) {
    platform::File file;
    if (size % kRecordBytes != 0 && !file.Open(path, platform::File::Mode::Read)) size = 0;
    return DayFileLayout::Of(file, std::max<int64_t>(0, size));
}

// False when the image is no record this program writes or its time is outside the bounds.
bool DecodeEntry(const unsigned char* image, const platform::CalTime* start, const platform::CalTime* end,
                 PixelArena& arena, CSpectrumData& record) {
    return CSpectrumDataReader::Decode(image, record, &arena) && !(start && record.GetTime() < *start) &&
           !(end && record.GetTime() > *end);
}

// Reads every record of the files into entries, in file order, on two threads. Both first find
// the files' sizes (a file-system lookup each, dear on a virtual machine); each file's entries then
// have their places, so the threads can take runs of records in turn, each reading (the kernel's
// copy) and decoding its own. Both cores share the whole work, where a thread reading ahead of a
// decoding one left one core idle half the time. What is deleted, foreign, out of bounds or no
// longer in the file is dropped at the end, keeping the order. False when a file was replaced (an
// import) after its size was found: its records are then not where the layout put them.
bool DecodeEveryRecord(std::vector<DayFile>& files, const platform::CalTime* start, const platform::CalTime* end,
                       std::vector<CSpectrumDataSet::Entry>& entries) {
    struct Run {
        std::size_t file;
        int64_t offset;     // of the first record in the file
        int64_t count;
        std::size_t entry;  // index of the first record's entry
    };
    std::vector<Run> runs;
    std::vector<unsigned char> kept;
    std::atomic<std::size_t> nextFile{0}, nextRun{0};
    constexpr std::size_t kNoMoreRuns = std::numeric_limits<std::size_t>::max() / 2;  // stops the other thread

    std::atomic<bool> replaced{false};
    auto size = [&] {
        for (std::size_t i; (i = nextFile.fetch_add(1, std::memory_order_relaxed)) < files.size();)
            files[i].layout = LayoutOf(files[i].path, platform::FileSizeOf(files[i].path, &files[i].identity));
    };
    auto layOut = [&] {
        std::size_t total = 0;
        for (std::size_t f = 0; f < files.size(); ++f) {
            for (const DayFileLayout::Segment& s : files[f].layout.Segments()) {
                for (int64_t r = 0; r < s.count; r += static_cast<int64_t>(kChunkRecords)) {
                    const int64_t count = std::min<int64_t>(static_cast<int64_t>(kChunkRecords), s.count - r);
                    runs.push_back({f, s.offset + r * kRecordBytes, count, total + static_cast<std::size_t>(r)});
                }
                total += static_cast<std::size_t>(s.count);
            }
        }
        entries.reserve(total);
        PreferHugePages(entries.data(), entries.capacity() * sizeof(CSpectrumDataSet::Entry));
        entries.resize(total);
        kept.assign(total, 0);
    };
    auto decode = [&] {
        PixelArena arena;  // the pixels this thread keeps, in a few large blocks
        std::unique_ptr<float[]> store(new float[kChunkRecords * kRecordBytes / sizeof(float)]);
        auto* bytes = reinterpret_cast<unsigned char*>(store.get());
        platform::File file;
        std::size_t openFile = files.size();
        for (std::size_t i; (i = nextRun.fetch_add(1, std::memory_order_relaxed)) < runs.size();) {
            const Run& run = runs[i];
            if (run.file != openFile) {
                file.Close();
                openFile = run.file;
                if (!file.Open(files[run.file].path, platform::File::Mode::Read)) continue;  // passed over
                if (file.Identity() != files[run.file].identity) replaced = true;
            }
            if (!file.IsOpen() || !file.Seek(run.offset)) continue;
            const auto got = file.ReadUpTo(bytes, static_cast<std::size_t>(run.count * kRecordBytes)) /
                             static_cast<std::size_t>(kRecordBytes);
            for (std::size_t k = 0; k < got; ++k) {
                const unsigned char* image = bytes + k * kRecordBytes;
                if (!CSpectrumDataReader::PassesQuickFilter(image, nullptr)) continue;
                CSpectrumDataSet::Entry& e = entries[run.entry + k];
                if (!DecodeEntry(image, start, end, arena, e.record)) continue;
                e.FileDate = files[run.file].day;
                e.FileOffset = run.offset + static_cast<int64_t>(k) * kRecordBytes;
                kept[run.entry + k] = 1;
            }
        }
    };

    // The helper sizes files with this thread, waits while this thread lays out the entries, then
    // decodes with it; abandoned when this thread fails before the decoding.
    std::mutex mutex;
    std::condition_variable changed;
    bool helperSized = false, laidOut = false, abandoned = false;
    std::exception_ptr helperError;
    std::thread helper;
    if (!files.empty()) {
        try {
            helper = std::thread([&] {
                try {
                    size();
                    std::unique_lock<std::mutex> lock(mutex);
                    helperSized = true;
                    changed.notify_all();
                    changed.wait(lock, [&] { return laidOut || abandoned; });
                    if (abandoned) return;
                    lock.unlock();
                    decode();
                } catch (...) {
                    std::lock_guard<std::mutex> lock(mutex);
                    helperError = std::current_exception();
                    nextFile.store(files.size());
                    nextRun.store(kNoMoreRuns);
                    helperSized = true;
                    changed.notify_all();
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one does it all.
        }
    }
    std::exception_ptr error;
    bool failed = false;
    try {
        size();
        if (helper.joinable()) {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return helperSized; });
            failed = helperError != nullptr;
        }
        if (!failed) layOut();
    } catch (...) {
        error = std::current_exception();
        failed = true;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        (failed ? abandoned : laidOut) = true;
    }
    changed.notify_all();
    if (!failed) {
        try {
            decode();
        } catch (...) {
            error = std::current_exception();
            nextRun.store(kNoMoreRuns);
        }
    }
    if (helper.joinable()) helper.join();  // after this, helperError is this thread's to read
    if (!error) error = helperError;
    if (error) {
        entries.clear();
        std::rethrow_exception(error);
    }
    std::size_t w = 0;
    for (std::size_t r = 0; r < kept.size(); ++r) {
        if (!kept[r]) continue;
        if (w != r) entries[w] = std::move(entries[r]);
        ++w;
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(w), entries.end());
    return !replaced;
}

}  // namespace

void CSpectrumDataSet::Append(const CSpectrumData& record, platform::CalTime fileDate, int64_t fileOffset) {
    entries_.push_back({record, fileDate, fileOffset});
}

std::set<platform::CalTime> CSpectrumDataSet::ListFileDates(const std::string& folder, const std::string& prefix) {
    std::set<platform::CalTime> dates;
    // The pattern would otherwise list another folder's files.
    if (!CGeneralPrm::IsUsableFileNameId(prefix)) return dates;
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

    // Without a comment every valid record may be kept: each day is read and decoded where its
    // entries go, on two threads (see DecodeEveryRecord). With one, usually only a few are, and
    // the records are passed over in one pass.
    const bool keepAll = !comment || !*comment;
    // Typed text is UTF-8; bytes that are not (a CP932 script) are matched as they would show.
    const std::string needle = keepAll ? std::string() : platform::ToDisplayText(comment);
    std::vector<DayFile> files;
    for (platform::CalTime day : ListFileDates(general.m_DATA_STORED_FOLDER, general.m_FILE_NAME_ID)) {
        if ((haveStart && day < startDay) || (haveEnd && day > endDay)) continue;
        std::string path;
        if (!general.DailyFilePath(day, path)) continue;
        files.push_back({day, std::move(path), DayFileLayout(), {}});
    }
    // A file replaced during the two-thread read is read again the other way, which reads each
    // file from one open to its end.
    if (keepAll && DecodeEveryRecord(files, start, end, entries_)) {
        for (const DayFile& f : files)
            if (f.layout.Damaged()) damageNotes_.push_back(f.layout.Describe(platform::MapPath(f.path)));
        return;
    }
    entries_.clear();
    PixelArena arena;  // the kept records' pixels in a few large blocks
    std::vector<std::string> paths;
    paths.reserve(files.size());
    for (const auto& f : files) paths.push_back(f.path);
    DayFileChunks chunks(std::move(paths), kChunkRecords * kRecordBytes, false);
    DayFileChunks::Chunk chunk;
    while (chunks.Next(chunk)) {
        const platform::CalTime day = files[chunk.file].day;
        for (std::size_t k = 0; k < chunk.size / kRecordBytes; ++k) {
            const unsigned char* image = chunk.bytes + k * kRecordBytes;
            // Deleted records and memos that cannot match are passed over before the full decode.
            if (!CSpectrumDataReader::PassesQuickFilter(image, needle.c_str())) continue;
            Entry& e = entries_.emplace_back();  // decoded in place: no copy of a finished record
            if (!DecodeEntry(image, start, end, arena, e.record)) {
                entries_.pop_back();
                continue;
            }
            e.FileDate = day;
            e.FileOffset = chunk.offset + static_cast<int64_t>(k * kRecordBytes);
        }
    }
    for (const auto& [file, layout] : chunks.Damaged())
        damageNotes_.push_back(layout.Describe(platform::MapPath(files[file].path)));
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

using namespace record_layout;

enum class Field { Memo, Valid };

// A text of the string table with one %s filled in.
std::string WithText(int id, const char* text) {
    char out[1024];
    std::snprintf(out, sizeof out, platform::LoadString(id).c_str(), text);
    return out;
}

// Writes one field of the record at offset, as one positioned write; a write cut short (a full
// disk) puts back what it replaced, so no field is ever left half old, half new.
bool WriteField(platform::File& file, int64_t at, const unsigned char* bytes, const unsigned char* old,
                std::size_t n) {
    if (file.Seek(at) && file.WriteAll(bytes, n)) return true;
    if (file.Seek(at)) (void)file.WriteAll(old, n);
    return false;
}

// Sets one field of the entry's record in its open day file, after checking that the record
// stored there is still the one the entry was read as, apart from that field: an import may
// have moved the records since the search, another writer may have deleted or changed this one,
// and writing the whole record as it was read would undo their changes. Both sides are compared
// through the codec, so only what the program reads counts. "" on success, else why not.
std::string SetStoredField(platform::File& file, CSpectrumDataSet::Entry& e, Field field, const std::string& memo) {
    alignas(float) unsigned char stored[kSize];
    unsigned char listed[kSize], now[kSize];
    CSpectrumData decoded;
    if (!file.Seek(e.FileOffset) || !file.ReadExact(stored, kSize)) return platform::LoadString(ids::kReasonRecordGone);
    if (!CSpectrumDataReader::Decode(stored, decoded) || !CSpectrumDataWriter::Encode(decoded, now) ||
        !CSpectrumDataWriter::Encode(e.record, listed))
        return platform::LoadString(ids::kReasonRecordChanged);
    const bool restSame = std::memcmp(listed, now, kMemo) == 0 &&
                          std::memcmp(listed + kValid + 4, now + kValid + 4, kSize - kValid - 4) == 0;
    if (!restSame) return platform::LoadString(ids::kReasonRecordChanged);
    const int64_t at = e.FileOffset + (field == Field::Memo ? kMemo : kValid);
    const std::size_t width = field == Field::Memo ? kMemoWidth : 4;
    unsigned char bytes[kMemoWidth] = {};
    if (field == Field::Memo) {
        // A record deleted since it was listed is not the one the user chose either.
        if (GetI32(now + kValid) == 0) return platform::LoadString(ids::kReasonDeletedSinceListed);
        if (std::memcmp(listed + kValid, now + kValid, 4) != 0) return platform::LoadString(ids::kReasonRecordChanged);
        std::memcpy(bytes, memo.data(), std::min<std::size_t>(memo.size(), kMemoWidth - 1));
    } else {
        if (std::memcmp(listed + kMemo, now + kMemo, kMemoWidth) != 0)
            return platform::LoadString(ids::kReasonCommentChanged);
        if (GetI32(stored + kValid) == 0) return {};  // deleted already: nothing to write
    }
    const unsigned char* old = stored + (at - e.FileOffset);
    if (std::memcmp(bytes, old, width) != 0 && !WriteField(file, at, bytes, old, width))
        return WithText(ids::kReasonCannotWrite, std::strerror(errno != 0 ? errno : EIO));
    return {};
}

}  // namespace

std::string CSpectrumDataSet::Refusal(const Entry& e, const std::string& path, const std::string& why) {
    char text[2048];
    std::snprintf(text, sizeof text, platform::LoadString(ids::kRecordLeftAsItWas).c_str(),
                  platform::FormatLocal(e.record.GetTime(), "%Y/%m/%d %H:%M:%S").c_str(), platform::MapPath(path).c_str(),
                  static_cast<long long>(e.FileOffset), why.c_str());
    return text;
}

int CSpectrumDataSet::Rewrite(const std::set<int>& indices, bool deleting, const std::string& text,
                              std::vector<Refused>* refused) {
    const std::string memo = platform::FitBytes(text, record_layout::kMemoWidth - 1);  // what the field holds
    CSpectrumDataWriter writer;
    const CGeneralPrm& general = writer.General();
    std::unique_ptr<platform::FolderLock> lock;  // taken with the first day file, held to the end
    platform::File file;
    std::string openPath, openFailure;
    std::set<int> done;
    // Descending, as the deletion always went; each record stands or falls on its own.
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it < 0 || *it >= Count()) continue;
        Entry& e = At(*it);
        std::string path;
        if (!general.DailyFilePath(e.FileDate, path)) path = "?";
        if (path != openPath) {
            file.Close();
            openPath = path;
            openFailure.clear();
            if (!lock) lock = std::make_unique<platform::FolderLock>(platform::StoredFolderOf(path));
            errno = 0;
            if (path == "?" || !file.Open(path, platform::File::Mode::ReadWrite))
                openFailure = WithText(ids::kReasonCannotOpen, std::strerror(errno != 0 ? errno : ENOENT));
        }
        errno = 0;
        std::string why = openFailure.empty() ? SetStoredField(file, e, deleting ? Field::Valid : Field::Memo, memo)
                                              : openFailure;
        if (!why.empty()) {
            if (refused) refused->push_back({*it, Refusal(e, path, why)});
            continue;
        }
        if (deleting) e.record.SetValid(0);
        else e.record.SetMemo(memo);
        done.insert(*it);
    }
    file.Close();
    if (deleting) RemoveEntries(done);
    return static_cast<int>(done.size());
}

int CSpectrumDataSet::Delete(const std::set<int>& indices, std::vector<Refused>* refused) {
    std::vector<Refused> mine;
    Rewrite(indices, true, std::string(), &mine);
    if (refused) refused->insert(refused->end(), mine.begin(), mine.end());
    return mine.empty() ? 1 : 0;
}

int CSpectrumDataSet::SetComment(const std::set<int>& indices, const std::string& memo,
                                 std::vector<Refused>* refused) {
    std::vector<Refused> mine;
    Rewrite(indices, false, memo, &mine);
    if (refused) refused->insert(refused->end(), mine.begin(), mine.end());
    return mine.empty() ? 1 : 0;
}

int CSpectrumDataSet::Update(int index) {
    if (index < 0 || index >= Count()) return 0;
    // The entry's comment as the caller set it; what the file holds stays the entry's until written.
    const std::string memo = At(index).record.GetMemo();
    std::vector<Refused> refused;
    Rewrite({index}, false, memo, &refused);
    return refused.empty() ? 1 : 0;
}

bool CSpectrumDataSet::RegisterAsStandard(int index, CBaseDataSet& standardSet) const {
    if (index < 0 || index >= Count()) return false;
    return standardSet.Register(At(index).FileDate, At(index).FileOffset);
}
