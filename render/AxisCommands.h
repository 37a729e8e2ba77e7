#pragma once
// The zoom and shift commands of a graph's three axes, as the spectrum and the 3-D graph share them:
// a zoom moves each end by a tenth of the span, a shift moves both by a fifth; the wavelength axis
// never zooms or shifts beyond the instrument's range.
#include <algorithm>

#include "core/config/PrmFloat.h"
#include "render/GraphCommand.h"

namespace axiscommands {

inline void SetRange(CPrmFloat& min, CPrmFloat& max, double a, double b) {
    min = static_cast<float>(a);
    max = static_cast<float>(b);
}

enum Step { kZoomIn, kZoomOut, kShiftDown, kShiftUp };  // shifts towards smaller or larger values

inline void Free(Step step, CPrmFloat& min, CPrmFloat& max) {
    const double a = min.Get(), b = max.Get(), d = b - a;
    switch (step) {
        case kZoomIn: SetRange(min, max, a + 0.1 * d, b - 0.1 * d); break;
        case kZoomOut: SetRange(min, max, a - 0.1 * d, b + 0.1 * d); break;
        case kShiftDown: SetRange(min, max, a - 0.2 * d, b - 0.2 * d); break;
        case kShiftUp: SetRange(min, max, a + 0.2 * d, b + 0.2 * d); break;
    }
}

inline void Bounded(Step step, CPrmFloat& min, CPrmFloat& max, double lo, double hi) {
    const double a = min.Get(), b = max.Get(), d = b - a;
    switch (step) {
        case kZoomIn: SetRange(min, max, a + 0.1 * d, b - 0.1 * d); break;
        case kZoomOut: SetRange(min, max, std::max(a - 0.1 * d, lo), std::min(b + 0.1 * d, hi)); break;
        case kShiftDown:
            if (a - 0.2 * d < lo) SetRange(min, max, lo, lo + d);
            else SetRange(min, max, a - 0.2 * d, b - 0.2 * d);
            break;
        case kShiftUp:
            if (b + 0.2 * d > hi) SetRange(min, max, hi - d, hi);
            else SetRange(min, max, a + 0.2 * d, b + 0.2 * d);
            break;
    }
}

// The twelve axis commands of picture P on its settings; false for any other command.
template <class P, class Prm>
bool Apply(GraphCommand command, Prm& prm) {
    CPrmFloat &xMin = prm.m_RANGE_MIN_X, &xMax = prm.m_RANGE_MAX_X;
    CPrmFloat &yMin = prm.m_RANGE_MIN_Y, &yMax = prm.m_RANGE_MAX_Y;
    CPrmFloat &qMin = prm.m_RANGE_MIN_RATIO, &qMax = prm.m_RANGE_MAX_RATIO;
    const double lo = P::kMinWavelength, hi = P::kMaxWavelength;
    switch (command) {
        case GraphCommand::XZoomIn: Bounded(kZoomIn, xMin, xMax, lo, hi); return true;
        case GraphCommand::XZoomOut: Bounded(kZoomOut, xMin, xMax, lo, hi); return true;
        case GraphCommand::XShiftRight: Bounded(kShiftDown, xMin, xMax, lo, hi); return true;
        case GraphCommand::XShiftLeft: Bounded(kShiftUp, xMin, xMax, lo, hi); return true;
        case GraphCommand::YZoomIn: Free(kZoomIn, yMin, yMax); return true;
        case GraphCommand::YZoomOut: Free(kZoomOut, yMin, yMax); return true;
        case GraphCommand::YShiftUp: Free(kShiftDown, yMin, yMax); return true;
        case GraphCommand::YShiftDown: Free(kShiftUp, yMin, yMax); return true;
        case GraphCommand::RatioZoomIn: Free(kZoomIn, qMin, qMax); return true;
        case GraphCommand::RatioZoomOut: Free(kZoomOut, qMin, qMax); return true;
        case GraphCommand::RatioShiftUp: Free(kShiftDown, qMin, qMax); return true;
        case GraphCommand::RatioShiftDown: Free(kShiftUp, qMin, qMax); return true;
        default: return false;
    }
}

}  // namespace axiscommands
