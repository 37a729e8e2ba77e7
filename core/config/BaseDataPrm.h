#pragma once
// Section BASE_DATA_HISTORY of "./ZQ118_BASE.ini": the standard-data history as up to 20 slots of
// (daily file date, byte offset), plus whether the built-in standard record is selected.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/config/Parameter.h"
#include "core/config/PrmInt.h"
#include "core/config/PrmTime.h"

namespace platform {
class FolderLock;
}

class CBaseDataPrm : public CParameter {
public:
    static constexpr int kSlotCount = 20;

    CBaseDataPrm();
    CBaseDataPrm(const CBaseDataPrm&) = default;
    CBaseDataPrm& operator=(const CBaseDataPrm&) = default;

    CPrmInt m_SELECT_JIS_DATA;                 // 1: the built-in standard record is current
    std::array<CPrmInt, kSlotCount> m_VALID;   // VALID00..VALID19
    std::array<CPrmTime, kSlotCount> m_DATE;   // DATE00..DATE19, local midnight of the file's date
    std::array<CPrmInt, kSlotCount> m_POS;     // POS00..POS19, byte offset in that file

    // The history in slot order, oldest first; always of equal length.
    std::vector<platform::CalTime> m_FileDates;
    std::vector<uint32_t> m_Offsets;

    // Load, then take slots from 0 while VALID is not 0. A slot whose stored DATE was rejected ends
    // the history there too (and the result is false, as from Load); the lists are always usable.
    bool LoadHistory();
    // Writes the lists into slots 0..n-1 (n the shorter list's length, at most 20), marks slot n
    // unused when n < 20, and saves; the stored texts of later slots are left as they are.
    bool SaveHistory();

    // The lock every change of the history holds from its read to its save, across threads and
    // processes: the standard data commands, the program's standard panel, a run that drops
    // entries whose records are gone and an import that moves entries. An import takes it inside
    // the data folder's lock (it joins that lock when both are one folder); nothing takes the data
    // folder's lock inside it.
    std::unique_ptr<platform::FolderLock> LockHistory() const;
    // The history as the file holds it: equal lists and selection flag.
    bool SameHistory(const CBaseDataPrm& other) const;
};
