#include "core/config/NumericalGraphPrm.h"

CNumericalGraphPrm::CNumericalGraphPrm() : CParameter("./ZQ118.ini", "NUMERICAL_GRAPH") {
    Add("SHOW_KIND", m_SHOW_KIND, "8");
    Add("DATA_COLOR", m_DATA_COLOR, "255");
    Add("TIME_AXIS_KIND", m_TIME_AXIS_KIND, "0");
    Add("SHOW_MARKER", m_SHOW_MARKER, "0");
    Add("SHOW_GRID", m_SHOW_GRID, "1");
    Add("RANGE_MIN_PAR", m_RANGE_MIN_PAR, "0");
    Add("RANGE_MAX_PAR", m_RANGE_MAX_PAR, "100");
    Add("RANGE_MIN_LUX", m_RANGE_MIN_LUX, "0");
    Add("RANGE_MAX_LUX", m_RANGE_MAX_LUX, "100");
    Add("RANGE_MIN_PHOTON", m_RANGE_MIN_PHOTON, "0");
    Add("RANGE_MAX_PHOTON", m_RANGE_MAX_PHOTON, "100");
    Add("RANGE_MIN_LON", m_RANGE_MIN_LON, "0");
    Add("RANGE_MAX_LON", m_RANGE_MAX_LON, "100");
    Add("RANGE_MIN_LAT", m_RANGE_MIN_LAT, "0");
    Add("RANGE_MAX_LAT", m_RANGE_MAX_LAT, "100");
    Add("RANGE_MIN_ALTITUDE", m_RANGE_MIN_ALTITUDE, "0");
    Add("RANGE_MAX_ALTITUDE", m_RANGE_MAX_ALTITUDE, "100");
    Add("RANGE_MIN_UV_A", m_RANGE_MIN_UV_A, "0");
    Add("RANGE_MAX_UV_A", m_RANGE_MAX_UV_A, "100");
    Add("RANGE_MIN_UV_B", m_RANGE_MIN_UV_B, "0");
    Add("RANGE_MAX_UV_B", m_RANGE_MAX_UV_B, "100");
    Add("RANGE_MIN_INTEGRATION", m_RANGE_MIN_INTEGRATION, "0");
    Add("RANGE_MAX_INTEGRATION", m_RANGE_MAX_INTEGRATION, "100");
    Add("RANGE_AUTO_Y", m_RANGE_AUTO_Y, "1");
    Add("MIN_INTEGRATION_AREA", m_MIN_INTEGRATION_AREA, "350");
    Add("MAX_INTEGRATION_AREA", m_MAX_INTEGRATION_AREA, "1050");
    // The light-quality kinds' ranges follow the section's first keys.
    Add("RANGE_MIN_PPFD", m_RANGE_MIN_PPFD, "0");
    Add("RANGE_MAX_PPFD", m_RANGE_MAX_PPFD, "2000");
    Add("RANGE_MIN_R_FR", m_RANGE_MIN_R_FR, "0");
    Add("RANGE_MAX_R_FR", m_RANGE_MAX_R_FR, "2");
    Add("RANGE_MIN_CCT", m_RANGE_MIN_CCT, "2000");
    Add("RANGE_MAX_CCT", m_RANGE_MAX_CCT, "10000");
    Add("RANGE_MIN_MEL_EDI", m_RANGE_MIN_MEL_EDI, "0");
    Add("RANGE_MAX_MEL_EDI", m_RANGE_MAX_MEL_EDI, "100000");
    Add("RANGE_MIN_DLI", m_RANGE_MIN_DLI, "0");
    Add("RANGE_MAX_DLI", m_RANGE_MAX_DLI, "60");
}

std::pair<CPrmFloat*, CPrmFloat*> CNumericalGraphPrm::RangeKeys(int kind) {
    switch (kind) {
        case 0: return {&m_RANGE_MIN_PAR, &m_RANGE_MAX_PAR};
        case 1: return {&m_RANGE_MIN_PHOTON, &m_RANGE_MAX_PHOTON};
        case 2: return {&m_RANGE_MIN_LUX, &m_RANGE_MAX_LUX};
        case 3: return {&m_RANGE_MIN_LON, &m_RANGE_MAX_LON};
        case 4: return {&m_RANGE_MIN_LAT, &m_RANGE_MAX_LAT};
        case 5: return {&m_RANGE_MIN_ALTITUDE, &m_RANGE_MAX_ALTITUDE};
        case 6: return {&m_RANGE_MIN_UV_A, &m_RANGE_MAX_UV_A};
        case 7: return {&m_RANGE_MIN_UV_B, &m_RANGE_MAX_UV_B};
        case kKindPpfd: return {&m_RANGE_MIN_PPFD, &m_RANGE_MAX_PPFD};
        case kKindRfr: return {&m_RANGE_MIN_R_FR, &m_RANGE_MAX_R_FR};
        case kKindCct: return {&m_RANGE_MIN_CCT, &m_RANGE_MAX_CCT};
        case kKindMelanopicEdi: return {&m_RANGE_MIN_MEL_EDI, &m_RANGE_MAX_MEL_EDI};
        case kKindDli: return {&m_RANGE_MIN_DLI, &m_RANGE_MAX_DLI};
        default: return {&m_RANGE_MIN_INTEGRATION, &m_RANGE_MAX_INTEGRATION};
    }
}

std::pair<const CPrmFloat*, const CPrmFloat*> CNumericalGraphPrm::RangeKeys(int kind) const {
    auto keys = const_cast<CNumericalGraphPrm*>(this)->RangeKeys(kind);
    return {keys.first, keys.second};
}
