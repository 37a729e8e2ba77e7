#include "core/data/SpectrumDataSet.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdint>
#include <memory>
#include <exception>
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

constexpr std::size_t kChunkRecords = 100;  // records read at once
constexpr int64_t kRecordBytes = CSpectrumDataReader::kRecordSize;

// Typed text is UTF-8; bytes that are not (a CP932 script) are matched as they would show.
std::string Needle(const char* comment) {
    return comment && *comment ? platform::ToDisplayText(comment) : std::string();
}

bool InBounds(platform::CalTime t, const platform::CalTime* start, const platform::CalTime* end) {
    return !(start && t < *start) && !(end && t > *end);
}

using DayFiles = std::vector<CSpectrumDataSet::DayFile>;

// The day files a search with these bounds reads, in date order.
DayFiles FilesFor(const CGeneralPrm& general, const platform::CalTime* start, const platform::CalTime* end) {
    platform::CalTime startDay = 0, endDay = 0;
    bool haveStart = start && platform::LocalMidnight(*start, startDay);
    bool haveEnd = end && platform::LocalMidnight(*end, endDay);
    // A bound outside the calendar still bounds: before everything or after everything.
    if (start && !haveStart) { startDay = *start; haveStart = true; }
    if (end && !haveEnd) { endDay = *end; haveEnd = true; }
    DayFiles files;
    for (platform::CalTime day : CSpectrumDataSet::ListFileDates(general.m_DATA_STORED_FOLDER, general.m_FILE_NAME_ID)) {
        if ((haveStart && day < startDay) || (haveEnd && day > endDay)) continue;
        std::string path;
        if (!general.DailyFilePath(day, path)) continue;
        files.push_back({day, std::move(path)});
    }
    return files;
}

// Calls take(image, summary, fileDate, offset) for every record of files first..last-1 that the
// bounds and the comment keep, in file order, until take returns false. Damaged day files are
// described in notes.
template <class Take>
void ForEachListed(const DayFiles& files, std::size_t first, std::size_t last, const platform::CalTime* start,
                   const platform::CalTime* end, const std::string& needle, std::vector<std::string>* notes,
                   Take&& take) {
    std::vector<std::string> paths;
    for (std::size_t i = first; i < last; ++i) paths.push_back(files[i].path);
    DayFileChunks chunks(std::move(paths), kChunkRecords * kRecordBytes);
    DayFileChunks::Chunk chunk;
    CSpectrumDataReader::Summary summary;
    bool more = true;
    while (more && chunks.Next(chunk)) {
        for (std::size_t k = 0; more && k < chunk.size / kRecordBytes; ++k) {
            const unsigned char* image = chunk.bytes + k * kRecordBytes;
            // Deleted records and memos that cannot match are passed over before the decode.
            if (!CSpectrumDataReader::PassesQuickFilter(image, needle.c_str()) ||
                !CSpectrumDataReader::DecodeSummary(image, summary) || !InBounds(summary.time, start, end))
                continue;
            more = take(image, summary, files[first + chunk.file].day,
                        chunk.offset + static_cast<int64_t>(k) * kRecordBytes);
        }
    }
    if (notes)
        for (const auto& [file, layout] : chunks.Damaged())
            notes->push_back(layout.Describe(platform::MapPath(files[first + file].path)));
}

CSpectrumDataSet::Entry EntryOf(const unsigned char* image, const CSpectrumDataReader::Summary& s,
                                platform::CalTime fileDate, int64_t offset) {
    CSpectrumDataSet::Entry e;
    e.FileDate = fileDate;
    e.FileOffset = offset;
    e.Time = s.time;
    e.Memo.assign(s.memo);
    e.Valid = s.valid;
    e.Longitude = s.longitude;
    e.Latitude = s.latitude;
    e.Altitude = s.altitude;
    e.Fingerprint = CSpectrumDataReader::Fingerprint(image);
    return e;
}

// A text of the string table with one %s filled in.
std::string WithText(int id, const char* text) {
    char out[1024];
    std::snprintf(out, sizeof out, platform::LoadString(id).c_str(), text);
    return out;
}

// True when the stored image (decoded as record) is the one the fingerprint was taken of, apart
// from the memo and the deleted flag: its bytes, or the bytes the program would write of what it
// reads (an entry of a record given whole has the fingerprint of those).
bool Unchanged(const unsigned char* image, const CSpectrumData& record, uint64_t fingerprint) {
    if (CSpectrumDataReader::Fingerprint(image) == fingerprint) return true;
    alignas(float) unsigned char canonical[record_layout::kSize];
    return CSpectrumDataWriter::Encode(record, canonical) && CSpectrumDataReader::Fingerprint(canonical) == fingerprint;
}

// The record's time, file and offset in a text of the string table, with why.
std::string AboutRecord(int id, const CSpectrumDataSet::Entry& e, const std::string& path, const std::string& why) {
    char text[2048];
    std::snprintf(text, sizeof text, platform::LoadString(id).c_str(),
                  platform::FormatLocal(e.Time, "%Y/%m/%d %H:%M:%S").c_str(), platform::MapPath(path).c_str(),
                  static_cast<long long>(e.FileOffset), why.c_str());
    return text;
}

}  // namespace

struct CSpectrumDataSet::Reader {
    std::mutex mutex;
    platform::File file;  // kept open: records are mostly read in file order
    std::string path;
};

CSpectrumDataSet::CSpectrumDataSet() : reader_(std::make_unique<Reader>()) {}
CSpectrumDataSet::CSpectrumDataSet(const CSpectrumDataSet& other)
    : entries_(other.entries_),
      damageNotes_(other.damageNotes_),
      searched_(other.searched_),
      general_(other.general_),
      reader_(std::make_unique<Reader>()) {}
CSpectrumDataSet& CSpectrumDataSet::operator=(const CSpectrumDataSet& other) {
    if (this != &other) {
        entries_ = other.entries_;
        damageNotes_ = other.damageNotes_;
        searched_ = other.searched_;
        general_ = other.general_;
    }
    return *this;
}
CSpectrumDataSet::CSpectrumDataSet(CSpectrumDataSet&&) noexcept = default;
CSpectrumDataSet& CSpectrumDataSet::operator=(CSpectrumDataSet&&) noexcept = default;
CSpectrumDataSet::~CSpectrumDataSet() = default;

void CSpectrumDataSet::Clear() {
    entries_.clear();
    damageNotes_.clear();
    searched_.reset();
}

void CSpectrumDataSet::Append(const CSpectrumData& record, platform::CalTime fileDate, int64_t fileOffset) {
    Append(std::make_shared<const CSpectrumData>(record), fileDate, fileOffset);
}

void CSpectrumDataSet::Append(std::shared_ptr<const CSpectrumData> record, platform::CalTime fileDate,
                              int64_t fileOffset) {
    Entry& e = entries_.emplace_back();
    e.FileDate = fileDate;
    e.FileOffset = fileOffset;
    e.Time = record->GetTime();
    e.Memo = record->GetMemo();
    e.Valid = record->GetValid();
    e.Longitude = record->GetLongitude();
    e.Latitude = record->GetLatitude();
    e.Altitude = record->GetAltitude();
    alignas(float) unsigned char image[record_layout::kSize];
    e.Fingerprint = CSpectrumDataWriter::Encode(*record, image) ? CSpectrumDataReader::Fingerprint(image) : 0;
    e.Held = std::move(record);
}

std::string CSpectrumDataSet::PathOf(platform::CalTime fileDate) const {
    std::string path;
    if (general_) {
        if (!general_->DailyFilePath(fileDate, path)) path.clear();
        return path;
    }
    CGeneralPrm general;
    general.Load();
    if (!general.DailyFilePath(fileDate, path)) path.clear();
    return path;
}

std::shared_ptr<const CSpectrumData> CSpectrumDataSet::Record(int index, std::string* error) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Read(At(index), *reader_, error);
}

std::shared_ptr<const CSpectrumData> CSpectrumDataSet::Read(const Entry& e, Reader& reader, std::string* error) const {
    if (e.Held) return e.Held;
    const std::string path = PathOf(e.FileDate);
    alignas(float) unsigned char image[record_layout::kSize];
    std::string why;
    {
        std::lock_guard<std::mutex> lock(reader.mutex);
        platform::File& file = reader.file;
        if (!file.IsOpen() || reader.path != path) {
            file.Close();
            reader.path = path;
            errno = 0;
            if (path.empty() || !file.Open(path, platform::File::Mode::Read))
                why = WithText(ids::kReasonCannotOpen, std::strerror(errno != 0 ? errno : ENOENT));
        }
        if (why.empty() && !(file.Seek(e.FileOffset) && file.ReadExact(image, sizeof image)))
            why = platform::LoadString(ids::kReasonRecordGone);
    }
    auto record = std::make_shared<CSpectrumData>();
    if (why.empty() && !(CSpectrumDataReader::Decode(image, *record) && Unchanged(image, *record, e.Fingerprint)))
        why = platform::LoadString(ids::kReasonRecordChanged);
    if (!why.empty()) {
        if (error) *error = AboutRecord(ids::kRecordNotRead, e, path.empty() ? "?" : path, why);
        return nullptr;
    }
    // The two fields a rewrite changes are the entry's, as the list shows them.
    record->SetMemo(e.Memo);
    record->SetValid(e.Valid);
    return record;
}

const CSpectrumDataSet::Derived* CSpectrumDataSet::Values(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return ValuesOf(At(index), *reader_);
}

const CSpectrumDataSet::Derived* CSpectrumDataSet::ValuesOf(const Entry& e, Reader& reader) const {
    if (!e.Values) {
        const std::shared_ptr<const CSpectrumData> r = Read(e, reader, nullptr);
        if (!r) return nullptr;
        // Prepared weights per thread: the list's model and a graph's workers may ask at once.
        thread_local DerivedCalculator calculator;
        e.Values = calculator.Of(*r);
    }
    return &*e.Values;
}

void CSpectrumDataSet::PrepareValues(int first, int last) const {
    first = std::max(first, 0);
    last = std::min(last, Count());
    // Below this a second thread costs more than it saves.
    constexpr int kPerThread = 4096;
    const int threads = std::clamp((last - first) / kPerThread, 1, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    // Each part reads its own stretch of days, the records of a day file in one read.
    const auto part = [this, first, last, threads](int t) {
        const int from = first + static_cast<int>(static_cast<int64_t>(last - first) * t / threads);
        const int to = first + static_cast<int>(static_cast<int64_t>(last - first) * (t + 1) / threads);
        Reader reader;
        thread_local DerivedCalculator calculator;
        std::vector<unsigned char> buffer;
        constexpr int64_t kMostBytes = 1600 * kRecordBytes;
        for (int i = from; i < to;) {
            const Entry& e = At(i);
            int j = i + 1;
            if (!e.Values && !e.Held)
                while (j < to && !At(j).Values && !At(j).Held && At(j).FileDate == e.FileDate &&
                       At(j).FileOffset > At(j - 1).FileOffset && At(j).FileOffset + kRecordBytes - e.FileOffset <= kMostBytes)
                    ++j;
            const int64_t end = At(j - 1).FileOffset + kRecordBytes;
            buffer.resize(static_cast<std::size_t>(end - e.FileOffset));
            platform::File& file = reader.file;
            const std::string path = j - i > 1 ? PathOf(e.FileDate) : std::string();
            if (!path.empty() && (!file.IsOpen() || reader.path != path)) {
                file.Close();
                reader.path = path;
                file.Open(path, platform::File::Mode::Read);
            }
            if (path.empty() || !file.IsOpen() || !file.Seek(e.FileOffset) || !file.ReadExact(buffer.data(), buffer.size())) {
                // One at a time, as Values reads them.
                for (; i < j; ++i) ValuesOf(At(i), reader);
                continue;
            }
            CSpectrumData record;
            for (; i < j; ++i) {
                const Entry& k = At(i);
                const unsigned char* image = buffer.data() + (k.FileOffset - e.FileOffset);
                if (CSpectrumDataReader::Decode(image, record) && Unchanged(image, record, k.Fingerprint))
                    k.Values = calculator.Of(record);
            }
        }
    };
    std::vector<std::thread> workers;
    int t = 1;
    try {
        for (; t < threads; ++t) workers.emplace_back(part, t);
    } catch (const std::system_error&) {
    }
    // Parts no thread took are done here.
    for (int rest = t; rest < threads; ++rest) part(rest);
    part(0);
    for (std::thread& w : workers) w.join();
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
    auto general = std::make_shared<CGeneralPrm>();
    general->Load();
    general_ = general;
    Bounds bounds;
    if (start) bounds.start = *start;
    if (end) bounds.end = *end;
    bounds.comment = Needle(comment);
    const DayFiles files = FilesFor(*general, start, end);

    // Each half of the bytes is read on a core of its own (reading and hashing 1.3 GB for a year
    // is most of a search). Without a comment nearly every record is kept: the list gets room for
    // every record the files hold, so it is allocated once.
    std::vector<int64_t> sizes;
    int64_t bytes = 0;
    for (const DayFile& file : files) {
        sizes.push_back(std::max<int64_t>(0, platform::FileSizeOf(file.path)));
        bytes += sizes.back();
    }
    std::size_t split = 0;
    for (int64_t half = 0; split < sizes.size() && 2 * (half + sizes[split]) <= bytes; ++split) half += sizes[split];
    // Each half writes its entries in place, into room for every record its files hold (nearly all
    // are kept without a comment); what does not fit (a comment search's few, records appended
    // since the sizes were taken) goes to a list of its own.
    struct Part {
        std::size_t base = 0, room = 0, used = 0;
        std::vector<Entry> extra;
        std::vector<std::string> notes;
        std::exception_ptr error;
    } parts[2];
    if (bounds.comment.empty()) {
        for (std::size_t i = 0; i < sizes.size(); ++i)
            parts[i < split ? 0 : 1].room += static_cast<std::size_t>(sizes[i] / kRecordBytes);
        parts[1].base = parts[0].room;
        entries_.resize(parts[0].room + parts[1].room);
    }
    auto listInto = [&](Part& part, std::size_t first, std::size_t last) {
        try {
            ForEachListed(files, first, last, start, end, bounds.comment, &part.notes,
                          [&](const unsigned char* image, const CSpectrumDataReader::Summary& s, platform::CalTime day,
                              int64_t offset) {
                              if (part.used < part.room) entries_[part.base + part.used++] = EntryOf(image, s, day, offset);
                              else part.extra.push_back(EntryOf(image, s, day, offset));
                              return true;
                          });
        } catch (...) {
            part.error = std::current_exception();
        }
    };
    std::thread helper;
    if (split > 0 && split < files.size()) {
        try {
            helper = std::thread([&] { listInto(parts[1], split, files.size()); });
        } catch (const std::system_error&) {
            // No second thread to be had: this one reads both halves.
        }
    }
    listInto(parts[0], 0, split);
    if (helper.joinable()) helper.join();
    else listInto(parts[1], split, files.size());
    for (const Part& part : parts)
        if (part.error) {
            Clear();
            std::rethrow_exception(part.error);
        }
    // First half, its overflow, second half, its overflow.
    const auto at = [this](std::size_t i) { return entries_.begin() + static_cast<std::ptrdiff_t>(i); };
    if (parts[0].used != parts[1].base)
        std::move(at(parts[1].base), at(parts[1].base + parts[1].used), at(parts[0].used));
    entries_.resize(parts[0].used + parts[1].used);
    entries_.insert(at(parts[0].used), std::make_move_iterator(parts[0].extra.begin()),
                    std::make_move_iterator(parts[0].extra.end()));
    entries_.insert(entries_.end(), std::make_move_iterator(parts[1].extra.begin()),
                    std::make_move_iterator(parts[1].extra.end()));
    for (Part& part : parts) damageNotes_.insert(damageNotes_.end(), part.notes.begin(), part.notes.end());
    if (entries_.capacity() / 2 > entries_.size()) entries_.shrink_to_fit();  // a few kept of many read
    searched_ = std::move(bounds);
}

void CSpectrumDataSet::Scan(const platform::CalTime* start, const platform::CalTime* end, const char* comment,
                            const Visitor& visit, std::vector<std::string>* notes) {
    const DayFiles files = FilesToScan(start, end);
    ScanFiles(files, 0, files.size(), start, end, comment, visit, notes);
}

std::vector<CSpectrumDataSet::DayFile> CSpectrumDataSet::FilesToScan(const platform::CalTime* start,
                                                                     const platform::CalTime* end) {
    CGeneralPrm general;
    general.Load();
    return FilesFor(general, start, end);
}

void CSpectrumDataSet::ScanFiles(const std::vector<DayFile>& files, std::size_t first, std::size_t last,
                                 const platform::CalTime* start, const platform::CalTime* end, const char* comment,
                                 const Visitor& visit, std::vector<std::string>* notes) {
    last = std::min(last, files.size());
    if (first >= last) return;
    ForEachListed(files, first, last, start, end, Needle(comment), notes,
                  [&](const unsigned char* image, const CSpectrumDataReader::Summary&, platform::CalTime day,
                      int64_t offset) {
                      CSpectrumData record;  // fresh each time: nothing of one record leaks into the next
                      return !CSpectrumDataReader::Decode(image, record) || visit(record, day, offset);
                  });
}

bool CSpectrumDataSet::AddStored(const CSpectrumData& record, platform::CalTime fileDate, int64_t offset) {
    if (!searched_) return false;
    const Bounds& b = *searched_;
    alignas(float) unsigned char image[record_layout::kSize];
    CSpectrumDataReader::Summary summary;
    if (!CSpectrumDataWriter::Encode(record, image) ||
        !CSpectrumDataReader::PassesQuickFilter(image, b.comment.c_str()) ||
        !CSpectrumDataReader::DecodeSummary(image, summary) ||
        !InBounds(summary.time, b.start ? &*b.start : nullptr, b.end ? &*b.end : nullptr))
        return false;
    // In file order, as the search lists them; a record listed already is not listed twice.
    auto at = std::lower_bound(entries_.begin(), entries_.end(), std::make_pair(fileDate, offset),
                               [](const Entry& e, const std::pair<platform::CalTime, int64_t>& key) {
                                   return std::make_pair(e.FileDate, e.FileOffset) < key;
                               });
    if (at != entries_.end() && at->FileDate == fileDate && at->FileOffset == offset) return false;
    entries_.insert(at, EntryOf(image, summary, fileDate, offset));
    return true;
}

int CSpectrumDataSet::FindNearest(platform::CalTime t) const {
    const int n = Count();
    if (n < 1) return -1;
    auto time = [this](int i) { return entries_[static_cast<std::size_t>(i)].Time; };
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
    general_ = source.general_;
    for (int i : indices) {
        if (i < 0 || i >= source.Count()) continue;
        Entry e = source.At(i);
        // Read once here and shared by whoever shows the subset; one that cannot be read is tried again.
        if (!e.Held) e.Held = source.Record(i);
        entries_.push_back(std::move(e));
    }
}

void CSpectrumDataSet::RemoveEntries(const std::set<int>& indices) {
    for (auto it = indices.rbegin(); it != indices.rend(); ++it)
        if (*it >= 0 && *it < Count()) entries_.erase(entries_.begin() + *it);
}

namespace {

using namespace record_layout;

enum class Field { Memo, Valid };

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
// and writing the whole record as it was read would undo their changes. "" on success, else why not.
std::string SetStoredField(platform::File& file, const CSpectrumDataSet::Entry& e, Field field, const std::string& memo) {
    alignas(float) unsigned char stored[kSize];
    if (!file.Seek(e.FileOffset) || !file.ReadExact(stored, kSize)) return platform::LoadString(ids::kReasonRecordGone);
    CSpectrumData now;
    if (!CSpectrumDataReader::Decode(stored, now) || !Unchanged(stored, now, e.Fingerprint))
        return platform::LoadString(ids::kReasonRecordChanged);
    const int64_t at = e.FileOffset + (field == Field::Memo ? kMemo : kValid);
    const std::size_t width = field == Field::Memo ? kMemoWidth : 4;
    unsigned char bytes[kMemoWidth] = {};
    if (field == Field::Memo) {
        // A record deleted since it was listed is not the one the user chose either.
        if (now.GetValid() == 0) return platform::LoadString(ids::kReasonDeletedSinceListed);
        if (now.GetValid() != e.Valid) return platform::LoadString(ids::kReasonRecordChanged);
        std::memcpy(bytes, memo.data(), std::min<std::size_t>(memo.size(), kMemoWidth - 1));
    } else {
        if (now.GetMemo() != platform::FitBytes(e.Memo, kMemoWidth - 1))
            return platform::LoadString(ids::kReasonCommentChanged);
        if (now.GetValid() == 0) return {};  // deleted already: nothing to write
    }
    const unsigned char* old = stored + (at - e.FileOffset);
    if (std::memcmp(bytes, old, width) != 0 && !WriteField(file, at, bytes, old, width))
        return WithText(ids::kReasonCannotWrite, std::strerror(errno != 0 ? errno : EIO));
    return {};
}

}  // namespace

std::string CSpectrumDataSet::Refusal(const Entry& e, const std::string& path, const std::string& why) {
    return AboutRecord(ids::kRecordLeftAsItWas, e, path, why);
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
        if (deleting) {
            e.Valid = 0;
        } else {
            e.Memo = memo;
            if (e.Held && e.Held->GetMemo() != memo) {
                auto changed = std::make_shared<CSpectrumData>(*e.Held);
                changed->SetMemo(memo);
                e.Held = std::move(changed);
            }
        }
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
    const std::string memo = At(index).Memo;
    std::vector<Refused> refused;
    Rewrite({index}, false, memo, &refused);
    return refused.empty() ? 1 : 0;
}

bool CSpectrumDataSet::RegisterAsStandard(int index, CBaseDataSet& standardSet) const {
    if (index < 0 || index >= Count()) return false;
    return standardSet.Register(At(index).FileDate, At(index).FileOffset);
}
