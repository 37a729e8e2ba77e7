#pragma once
// Records found in the daily data files, each with where it lives: the date of its file and its byte
// offset there. Also the container in which selections travel to graphs and the export.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/platform/LocalTime.h"

class CBaseDataSet;

class CSpectrumDataSet {
public:
    struct Entry {
        CSpectrumData record;
        platform::CalTime FileDate = 0;  // local midnight of the file's day
        int64_t FileOffset = 0;          // a multiple of 2560
    };

    CSpectrumDataSet() = default;
    virtual ~CSpectrumDataSet() = default;

    void Clear() {
        entries_.clear();
        damageNotes_.clear();
    }
    int Count() const { return static_cast<int>(entries_.size()); }
    Entry& At(int index) { return entries_[static_cast<std::size_t>(index)]; }
    const Entry& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    void Append(const CSpectrumData& record, platform::CalTime fileDate, int64_t fileOffset);

    // Fills the set from the data folder. Each bound and the comment may be null. A file whose name
    // matches the pattern but carries an impossible date is skipped; so is a day whose file cannot be
    // opened, a truncated last record and a record this program could not have written. The whole
    // records of a day file with a partial record in the middle are listed, and the file is named
    // in DamageNotes.
    void Search(const platform::CalTime* start, const platform::CalTime* end, const char* comment);
    // One text for each damaged day file the last search read ("<file> is damaged: ...").
    const std::vector<std::string>& DamageNotes() const { return damageNotes_; }

    // Index of the entry whose time is nearest to t (ties pick the later); times must ascend, and
    // the set must not be empty (-1 when it is).
    int FindNearest(platform::CalTime t) const;

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
    int Rewrite(const std::set<int>& indices, bool deleting, const std::string& memo, std::vector<Refused>* refused);
    static std::string Refusal(const Entry& e, const std::string& path, const std::string& why);

    std::vector<Entry> entries_;
    std::vector<std::string> damageNotes_;
};
