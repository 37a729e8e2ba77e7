#include "core/config/DataGraphPrm.h"

#include <string>

CDataGraphPrm::CDataGraphPrm() : CParameter("./ZQ118.ini", "DATA_GRAPH") {
    Add("RANGE_MIN_X", m_RANGE_MIN_X, "350");
    Add("RANGE_MAX_X", m_RANGE_MAX_X, "1050");
    Add("RANGE_MIN_Y", m_RANGE_MIN_Y, "0");
    Add("RANGE_MAX_Y", m_RANGE_MAX_Y, "100");
    Add("RANGE_AUTO_Y", m_RANGE_AUTO_Y, "1");
    Add("UNIT_Y", m_UNIT_Y, "0");
    Add("RANGE_MIN_RATIO", m_RANGE_MIN_RATIO, "0");
    Add("RANGE_MAX_RATIO", m_RANGE_MAX_RATIO, "100");
    // Automatic, so a ratio above 100 % is not cut off at the top edge.
    Add("RANGE_AUTO_RATIO", m_RANGE_AUTO_RATIO, "1");
    Add("RANGE_MIN_INTEGRATION", m_RANGE_MIN_INTEGRATION, "350");
    Add("RANGE_MAX_INTEGRATION", m_RANGE_MAX_INTEGRATION, "1050");
    Add("SHOW_GRID", m_SHOW_GRID, "1");
    Add("SHOW_MARKER", m_SHOW_MARKER, "0");
    Add("SHOW_MEASURED_DATA", m_SHOW_MEASURED_DATA, "1");
    Add("SHOW_BASE_DATA", m_SHOW_BASE_DATA, "0");
    Add("SHOW_DIFFERENCE_DATA", m_SHOW_DIFFERENCE_DATA, "0");
    Add("SHOW_RATIO_DATA", m_SHOW_RATIO_DATA, "0");
    Add("SHOW_LAT_LON_ALTITUDE", m_SHOW_LAT_LON_ALTITUDE, "0");
    Add("SHOW_PAR_PTM_LUX", m_SHOW_PAR_PTM_LUX, "0");
    Add("SHOW_UV", m_SHOW_UV, "0");
    Add("SHOW_INTEGRATION", m_SHOW_INTEGRATION, "0");
    Add("MEASURED_DATA_COLOR", m_MEASURED_DATA_COLOR, "255");
    Add("BASE_DATA_COLOR", m_BASE_DATA_COLOR, "65280");
    Add("DIFFERENCE_DATA_COLOR", m_DIFFERENCE_DATA_COLOR, "8388736");
    Add("RATIO_DATA_COLOR", m_RATIO_DATA_COLOR, "16711680");
    Add("SHOW_KIND", m_SHOW_KIND, "0");
    for (int i = 0; i < kPluralCount; ++i)
        Add(("SHOW_DATA" + std::to_string(i + 1)).c_str(), m_SHOW_DATA[static_cast<std::size_t>(i)], "1");
    // Ten colours a reader tells apart (0x00BBGGRR), red first: red, dark green, blue, orange,
    // magenta, teal, brown, navy, olive, grey. A stored DATA_COLOR<n> still wins.
    static const char* const kPluralColors[kPluralCount] = {"255",     "32768", "16711680", "33023", "16711935",
                                                            "8421376", "16512", "8388608",  "32896", "6316128"};
    for (int i = 0; i < kPluralCount; ++i)
        Add(("DATA_COLOR" + std::to_string(i + 1)).c_str(), m_DATA_COLOR[static_cast<std::size_t>(i)],
            kPluralColors[i]);
}
