#pragma once
// Section DATA_GRAPH: the spectrum graph.
#include <array>

#include "core/config/Parameter.h"
#include "core/config/PrmFloat.h"
#include "core/config/PrmInt.h"

class CDataGraphPrm : public CParameter {
public:
    static constexpr int kPluralCount = 10;

    CDataGraphPrm();
    CDataGraphPrm(const CDataGraphPrm&) = default;
    CDataGraphPrm& operator=(const CDataGraphPrm&) = default;

    CPrmFloat m_RANGE_MIN_X;
    CPrmFloat m_RANGE_MAX_X;
    CPrmFloat m_RANGE_MIN_Y;
    CPrmFloat m_RANGE_MAX_Y;
    CPrmInt m_RANGE_AUTO_Y;
    CPrmInt m_UNIT_Y;
    CPrmFloat m_RANGE_MIN_RATIO;
    CPrmFloat m_RANGE_MAX_RATIO;
    CPrmInt m_RANGE_AUTO_RATIO;
    CPrmFloat m_RANGE_MIN_INTEGRATION;
    CPrmFloat m_RANGE_MAX_INTEGRATION;
    CPrmInt m_SHOW_GRID;
    CPrmInt m_SHOW_MARKER;
    CPrmInt m_SHOW_MEASURED_DATA;
    CPrmInt m_SHOW_BASE_DATA;
    CPrmInt m_SHOW_DIFFERENCE_DATA;
    CPrmInt m_SHOW_RATIO_DATA;
    CPrmInt m_SHOW_LAT_LON_ALTITUDE;
    CPrmInt m_SHOW_PAR_PTM_LUX;
    CPrmInt m_SHOW_UV;
    CPrmInt m_SHOW_INTEGRATION;
    CPrmInt m_MEASURED_DATA_COLOR;    // colours are 0x00BBGGRR
    CPrmInt m_BASE_DATA_COLOR;
    CPrmInt m_DIFFERENCE_DATA_COLOR;
    CPrmInt m_RATIO_DATA_COLOR;
    CPrmInt m_SHOW_KIND;              // plural display: 0 measured, 1 ratio, 2 difference
    std::array<CPrmInt, kPluralCount> m_SHOW_DATA;   // [i] is key SHOW_DATA<i+1>
    std::array<CPrmInt, kPluralCount> m_DATA_COLOR;  // [i] is key DATA_COLOR<i+1>
};
