#pragma once
// The standard (reference) data: a history of up to 19 registered records, kept as (file date,
// offset) pairs in "./ZQ118_BASE.ini", plus the built-in record. Exactly one item is current.
//
// The user-visible list shows the built-in record first (only while it is current), then the
// history newest first; positions below are positions in that list.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/config/BaseDataPrm.h"
#include "core/data/SpectrumData.h"
#include "core/platform/LocalTime.h"

class CBaseDataSet {
public:
    static constexpr int kMaxHistory = 19;
    static constexpr int kBuiltIn = -1;  // history index that stands for the built-in record

    CBaseDataSet();  // built-in record, history file, records re-read from the daily files
    virtual ~CBaseDataSet() = default;

    void SetJisEnabled(int flag) { jisEnabled_ = flag; }
    int JisEnabled() const { return jisEnabled_; }

    // The current standard record, or null when there is none.
    const CSpectrumData* Current() const;
    bool CurrentIsBuiltIn() const;
    int ItemCount() const;
    // Meaningful only for 0 <= position < ItemCount(); kBuiltIn stands for the built-in record.
    int ItemToHistoryIndex(int position) const;
    const CSpectrumData& Item(int position) const;
    // Where a list item lives; false for the built-in record.
    bool ItemLocation(int position, platform::CalTime& fileDate, int64_t& offset) const;

    // Each change is made under the history's lock to the history as the file then holds it, and
    // saved at once; false when the history file could not be written (the change then holds for
    // this object only). Another program may have changed the history since this object read it:
    // the flag and a registration then apply to the history as it now stands, while a selection
    // or removal, whose position may name another entry now, changes nothing and returns false
    // with Outdated() true; the object then holds the history as it stands.
    bool SetSelectJis(int flag);
    bool Select(int position);
    bool Remove(int position);
    // Adds the record stored at that place; an unreadable place changes nothing (false). A record
    // of the same stored time already in the history moves to the newest place instead.
    bool Register(platform::CalTime fileDate, int64_t offset);
    // The last change was refused because the history had changed since this object read it.
    bool Outdated() const { return outdated_; }

    int HistoryCount() const { return static_cast<int>(records_.size()); }
    const CSpectrumData& BuiltIn() const { return builtIn_; }

private:
    enum class Place { Read, Gone, Unknown };  // Unknown: a file that is there but cannot be opened
    enum class Step { Save, Unchanged, Failed };
    // Reads the history and its records; true when entries known to be gone were dropped, which
    // the file should then lose too.
    bool Load();
    // A change under the history's lock, made to the history as the file holds it: read anew when
    // it is not the one this object holds, and then refused for a positional change. Saved when
    // apply says so.
    bool Change(bool positional, const std::function<Step()>& apply);
    bool Store();
    Place ReadAt(platform::CalTime fileDate, int64_t offset, CSpectrumData& record) const;
    bool ValidPosition(int position) const { return position >= 0 && position < ItemCount(); }

    std::vector<CSpectrumData> records_;  // oldest first, parallel to the lists in prm_
    // Entries that cannot be read but are not known to be gone (a data folder or prefix given for
    // this run only, a missing data folder, unreadable settings, a day file that cannot be opened):
    // they are saved back at their places with every change.
    struct Hidden {
        std::size_t slot;  // place in the history as loaded
        platform::CalTime fileDate;
        uint32_t offset;
    };
    std::vector<Hidden> hidden_;
    CSpectrumData builtIn_;
    CBaseDataPrm prm_;
    CBaseDataPrm stored_;  // the history as the file held it when last read or saved
    int jisEnabled_ = 1;
    bool outdated_ = false;
};
