#pragma once
// Records found in the daily data files, each with where it lives: the date of its file and its byte
// offset there. Also the container in which selections travel to graphs and the export.
//
// An entry holds what the list shows of a record; the whole record is read from its day file when
// a picture, an export or a metric asks for it, so a year of records stays small.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/data/DerivedWeights.h"
#include "core/data/SpectrumData.h"
#include "core/platform/LocalTime.h"

class CBaseDataSet;
class CGeneralPrm;

class CSpectrumDataSet {
public:
    // Values the list and the graphs show, computed from the whole record when first asked for.
    using Derived = DerivedValues;

    struct Entry {
        platform::CalTime FileDate = 0;  // local midnight of the file's day
        int64_t FileOffset = 0;          // a multiple of 2560
        platform::CalTime Time = 0;
        std::string Memo;  // as the file holds it (set it and call Update to write it)
        int32_t Valid = 0;  // 0: deleted
        float Longitude = 0, Latitude = 0, Altitude = 0;
        // Of the stored image as read, apart from the memo and the deleted flag: a rewrite goes
        // ahead only where the stored record is still this one.
        uint64_t Fingerprint = 0;
        // A record given whole (Append) lives here; a record found by a search is read when needed.
        std::shared_ptr<const CSpectrumData> Held;
        mutable std::optional<Derived> Values;
    };

    CSpectrumDataSet();
    CSpectrumDataSet(const CSpectrumDataSet& other);
    CSpectrumDataSet& operator=(const CSpectrumDataSet& other);
    CSpectrumDataSet(CSpectrumDataSet&&) noexcept;
    CSpectrumDataSet& operator=(CSpectrumDataSet&&) noexcept;
    virtual ~CSpectrumDataSet();

    void Clear();
    int Count() const { return static_cast<int>(entries_.size()); }
    Entry& At(int index) { return entries_[static_cast<std::size_t>(index)]; }
    const Entry& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    // Adds a record given whole; it is kept with its entry.
    void Append(const CSpectrumData& record, platform::CalTime fileDate, int64_t fileOffset);
    void Append(std::shared_ptr<const CSpectrumData> record, platform::CalTime fileDate, int64_t fileOffset);

    // The whole record of an entry: the one given to Append, or read from its day file (null when
    // it cannot be read, or the file now holds another record there; error then says which file
    // and offset). Several threads may read records of one set at once.
    std::shared_ptr<const CSpectrumData> Record(int index, std::string* error = nullptr) const;
    // The entry's derived values, computed once; null when its record cannot be read.
    const Derived* Values(int index) const;
    // Computes the derived values of entries first..last-1 not computed yet, on every core when
    // they are many: a graph of a year asks for them all at once.
    void PrepareValues(int first, int last) const;

    // Fills the set from the data folder. Each bound and the comment may be null. A file whose name
    // matches the pattern but carries an impossible date is skipped; so is a day whose file cannot be
    // opened, a truncated last record and a record this program could not have written. The whole
    // records of a day file with a partial record in the middle are listed, and the file is named
    // in DamageNotes.
    void Search(const platform::CalTime* start, const platform::CalTime* end, const char* comment);
    // One text for each damaged day file the last search read ("<file> is damaged: ...").
    const std::vector<std::string>& DamageNotes() const { return damageNotes_; }

    // The records the same search would list, one at a time, each decoded whole and given to visit
    // (false from visit stops), without keeping them. Damage notes go to notes when given.
    using Visitor = std::function<bool(const CSpectrumData& record, platform::CalTime fileDate, int64_t offset)>;
    static void Scan(const platform::CalTime* start, const platform::CalTime* end, const char* comment,
                     const Visitor& visit, std::vector<std::string>* notes = nullptr);
    // The same a few day files at a time (a thread each, say): the day files the search reads, in
    // order, and the scan of files first..last-1 of them.
    struct DayFile {
        platform::CalTime day;  // local midnight
        std::string path;
    };
    static std::vector<DayFile> FilesToScan(const platform::CalTime* start, const platform::CalTime* end);
    static void ScanFiles(const std::vector<DayFile>& files, std::size_t first, std::size_t last,
                          const platform::CalTime* start, const platform::CalTime* end, const char* comment,
                          const Visitor& visit, std::vector<std::string>* notes = nullptr);

    // A record just stored at offset of the day file of fileDate joins the set, in file order,
    // when the last search would have listed it; true when it did. A set never searched takes none.
    bool AddStored(const CSpectrumData& record, platform::CalTime fileDate, int64_t offset);

    // Index of the entry whose time is nearest to t (ties pick the later); times must ascend, and
    // the set must not be empty (-1 when it is).
    int FindNearest(platform::CalTime t) const;

    // The chosen entries, sharing their records with this set (read now where not read before).
    void CopySubset(const CSpectrumDataSet& source, const std::set<int>& indices);
    void RemoveEntries(const std::set<int>& indices);

    // A record a rewrite left as it was: its entry's index (as it was before the call) and a text
    // naming the record (time, file, offset) and what stopped it.
    struct Refused {
        int index;
        std::string message;
    };
    // In-place rewrites change one field of each record (the deleted flag, the comment) with a
    // positioned write of that field alone, under the data folder's write lock, and only where the
    // record stored at the entry's place is still the one the search read, apart from that field:
    // not moved by an import, not changed or (for a comment) deleted by another writer since. Each
    // record stands on its own: the others are changed, the refused ones named in refused.
    //
    // Marks the entries deleted in their files and removes those from the set; 1 when none was
    // refused. A record another writer deleted meanwhile counts as deleted.
    int Delete(const std::set<int>& indices, std::vector<Refused>* refused = nullptr);
    // Sets the comment of the entries in their files, and in the set where it was written; 1 when
    // none was refused.
    int SetComment(const std::set<int>& indices, const std::string& memo, std::vector<Refused>* refused = nullptr);
    // Writes the comment the entry now holds to its file, the same way.
    int Update(int index);
    // False when the record cannot be read or the standard history cannot be saved.
    bool RegisterAsStandard(int index, CBaseDataSet& standardSet) const;

    // Dates (local midnights) of the daily files in the data folder, ascending; used by the search
    // and by anything that walks the folder day by day.
    static std::set<platform::CalTime> ListFileDates(const std::string& folder, const std::string& prefix);

private:
    struct Bounds {
        std::optional<platform::CalTime> start, end;
        std::string comment;  // as matched: display text
    };
    struct Reader;  // the open day file Record reads from

    std::shared_ptr<const CSpectrumData> Read(const Entry& e, Reader& reader, std::string* error) const;
    const Derived* ValuesOf(const Entry& e, Reader& reader) const;
    int Rewrite(const std::set<int>& indices, bool deleting, const std::string& memo, std::vector<Refused>* refused);
    static std::string Refusal(const Entry& e, const std::string& path, const std::string& why);
    std::string PathOf(platform::CalTime fileDate) const;

    std::vector<Entry> entries_;
    std::vector<std::string> damageNotes_;
    std::optional<Bounds> searched_;  // what the last search listed
    std::shared_ptr<const CGeneralPrm> general_;  // the folder the entries' records live in
    std::unique_ptr<Reader> reader_;
};
