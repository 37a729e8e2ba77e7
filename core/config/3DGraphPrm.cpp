#include "core/config/3DGraphPrm.h"

C3DGraphPrm::C3DGraphPrm() : CParameter("./ZQ118.ini", "3D_GRAPH") {
    Add("SHOW_KIND", m_SHOW_KIND, "0");
    Add("DATA_COLOR", m_DATA_COLOR, "255");
    Add("TIME_AXIS_KIND", m_TIME_AXIS_KIND, "0");
    Add("RANGE_MIN_X", m_RANGE_MIN_X, "350");
    Add("RANGE_MAX_X", m_RANGE_MAX_X, "1050");
    Add("RANGE_MIN_Y", m_RANGE_MIN_Y, "0");
    Add("RANGE_MAX_Y", m_RANGE_MAX_Y, "100");
    Add("RANGE_AUTO_Y", m_RANGE_AUTO_Y, "1");
    Add("UNIT_Y", m_UNIT_Y, "0");
    Add("RANGE_MIN_RATIO", m_RANGE_MIN_RATIO, "0");
    Add("RANGE_MAX_RATIO", m_RANGE_MAX_RATIO, "100");
    Add("RANGE_AUTO_RATIO", m_RANGE_AUTO_RATIO, "1");  // "0" in DATA_GRAPH
    Add("ANGLE_THETA", m_ANGLE_THETA, "45");
    Add("ANGLE_PHI", m_ANGLE_PHI, "45");
}
