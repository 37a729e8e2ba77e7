#pragma once
// Records found in the daily data files, each with where it lives: the date of its file and its byte
// offset there. Also the container in which selections travel to graphs and the export.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "data/SpectrumData.h"
#include "platform/LocalTime.h"

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

    void Clear() { entries_.clear(); }
    int Count() const { return static_cast<int>(entries_.size()); }
    Entry& At(int index) { return entries_[static_cast<std::size_t>(index)]; }
    const Entry& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    void Append(const CSpectrumData& record, platform::CalTime fileDate, int64_t fileOffset);

    // Fills the set from the data folder. Each bound and the comment may be null. A file whose name
    // matches the pattern but carries an impossible date is skipped; so is a day whose file cannot be
    // opened, a truncated last record and a record this program could not have written.
    void Search(const platform::CalTime* start, const platform::CalTime* end, const char* comment);

    // Index of the entry whose time is nearest to t (ties pick the later); times must ascend, and
    // the set must not be empty (-1 when it is).
    int FindNearest(platform::CalTime t) const;

    void CopySubset(const CSpectrumDataSet& source, const std::set<int>& indices);
    void RemoveEntries(const std::set<int>& indices);
    // Marks the entries deleted in their files and removes them from the set; 0 at the first file
    // that cannot be opened or written, or whose record at the entry's offset is no longer the
    // entry's (an import rewrote the day since the search); entries visited before stay marked but
    // in the set. Holds the data folder's write lock.
    int Delete(const std::set<int>& indices);
    // Writes the entry's record back over its place in its file, under the same lock and check.
    int Update(int index);
    // False when the record cannot be read or the standard history cannot be saved.
    bool RegisterAsStandard(int index, CBaseDataSet& standardSet) const;

    // Dates (local midnights) of the daily files in the data folder, ascending; used by the search
    // and by anything that walks the folder day by day.
    static std::set<platform::CalTime> ListFileDates(const std::string& folder, const std::string& prefix);

private:
    std::vector<Entry> entries_;
};
