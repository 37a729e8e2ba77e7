#pragma once
// Section BASE_DATA_HISTORY of "./ZQ118_BASE.ini": the standard-data history as up to 20 slots of
// (daily file date, byte offset), plus whether the built-in standard record is selected.
#include <array>
#include <cstdint>
#include <vector>

#include "core/config/Parameter.h"
#include "core/config/PrmInt.h"
#include "core/config/PrmTime.h"

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
};
