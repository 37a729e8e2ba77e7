#pragma once
// Section NUMERICAL_GRAPH: the calculation data graph.
#include <utility>

#include "core/config/Parameter.h"
#include "core/config/PrmFloat.h"
#include "core/config/PrmInt.h"

class CNumericalGraphPrm : public CParameter {
public:
    CNumericalGraphPrm();
    CNumericalGraphPrm(const CNumericalGraphPrm&) = default;
    CNumericalGraphPrm& operator=(const CNumericalGraphPrm&) = default;

    // SHOW_KIND past the first nine: light-quality values of each record and the daily light integral.
    static constexpr int kKindPpfd = 9;
    static constexpr int kKindRfr = 10;
    static constexpr int kKindCct = 11;
    static constexpr int kKindMelanopicEdi = 12;
    static constexpr int kKindDli = 13;
    static constexpr int kKindCount = 14;

    CPrmInt m_SHOW_KIND;       // 0 PAR, 1 photon, 2 lux, 3 lon, 4 lat, 5 altitude, 6 UV-A, 7 UV-B, 8 integration,
                               // 9 PPFD, 10 R:FR, 11 CCT, 12 melanopic EDI, 13 daily light integral
    CPrmInt m_DATA_COLOR;
    CPrmInt m_TIME_AXIS_KIND;  // 0 measurement time, other equal spacing
    CPrmInt m_SHOW_MARKER;
    CPrmInt m_SHOW_GRID;
    CPrmFloat m_RANGE_MIN_PAR;
    CPrmFloat m_RANGE_MAX_PAR;
    CPrmFloat m_RANGE_MIN_LUX;
    CPrmFloat m_RANGE_MAX_LUX;
    CPrmFloat m_RANGE_MIN_PHOTON;
    CPrmFloat m_RANGE_MAX_PHOTON;
    CPrmFloat m_RANGE_MIN_LON;
    CPrmFloat m_RANGE_MAX_LON;
    CPrmFloat m_RANGE_MIN_LAT;
    CPrmFloat m_RANGE_MAX_LAT;
    CPrmFloat m_RANGE_MIN_ALTITUDE;
    CPrmFloat m_RANGE_MAX_ALTITUDE;
    CPrmFloat m_RANGE_MIN_UV_A;
    CPrmFloat m_RANGE_MAX_UV_A;
    CPrmFloat m_RANGE_MIN_UV_B;
    CPrmFloat m_RANGE_MAX_UV_B;
    CPrmFloat m_RANGE_MIN_INTEGRATION;
    CPrmFloat m_RANGE_MAX_INTEGRATION;
    CPrmInt m_RANGE_AUTO_Y;
    CPrmFloat m_MIN_INTEGRATION_AREA;  // nm
    CPrmFloat m_MAX_INTEGRATION_AREA;  // nm
    CPrmFloat m_RANGE_MIN_PPFD;
    CPrmFloat m_RANGE_MAX_PPFD;
    CPrmFloat m_RANGE_MIN_R_FR;
    CPrmFloat m_RANGE_MAX_R_FR;
    CPrmFloat m_RANGE_MIN_CCT;
    CPrmFloat m_RANGE_MAX_CCT;
    CPrmFloat m_RANGE_MIN_MEL_EDI;
    CPrmFloat m_RANGE_MAX_MEL_EDI;
    CPrmFloat m_RANGE_MIN_DLI;
    CPrmFloat m_RANGE_MAX_DLI;

    // The RANGE_MIN/RANGE_MAX pair of a plotted quantity (SHOW_KIND 0..13; anything else: integration).
    std::pair<CPrmFloat*, CPrmFloat*> RangeKeys(int kind);
    std::pair<const CPrmFloat*, const CPrmFloat*> RangeKeys(int kind) const;
};
