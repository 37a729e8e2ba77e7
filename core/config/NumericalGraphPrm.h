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

    CPrmInt m_SHOW_KIND;       // 0 PAR, 1 photon, 2 lux, 3 lon, 4 lat, 5 altitude, 6 UV-A, 7 UV-B, 8 integration
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

    // The RANGE_MIN/RANGE_MAX pair of a plotted quantity (SHOW_KIND 0..8; anything else: integration).
    std::pair<CPrmFloat*, CPrmFloat*> RangeKeys(int kind);
    std::pair<const CPrmFloat*, const CPrmFloat*> RangeKeys(int kind) const;
};
