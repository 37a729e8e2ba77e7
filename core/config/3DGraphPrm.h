#pragma once
// Section 3D_GRAPH: the 3-D graph.
#include "core/config/Parameter.h"
#include "core/config/PrmFloat.h"
#include "core/config/PrmInt.h"

class C3DGraphPrm : public CParameter {
public:
    C3DGraphPrm();
    C3DGraphPrm(const C3DGraphPrm&) = default;
    C3DGraphPrm& operator=(const C3DGraphPrm&) = default;

    CPrmInt m_SHOW_KIND;       // 0 measured, 1 ratio, 2 difference
    CPrmInt m_DATA_COLOR;
    CPrmInt m_TIME_AXIS_KIND;  // 0 time series, 1 equal interval
    CPrmFloat m_RANGE_MIN_X;
    CPrmFloat m_RANGE_MAX_X;
    CPrmFloat m_RANGE_MIN_Y;
    CPrmFloat m_RANGE_MAX_Y;
    CPrmInt m_RANGE_AUTO_Y;
    CPrmInt m_UNIT_Y;
    CPrmFloat m_RANGE_MIN_RATIO;
    CPrmFloat m_RANGE_MAX_RATIO;
    CPrmInt m_RANGE_AUTO_RATIO;
    CPrmFloat m_ANGLE_THETA;   // degrees
    CPrmFloat m_ANGLE_PHI;     // degrees
};
