#pragma once
// The zoom and shift commands of a graph's three axes, as the spectrum and the 3-D graph share them:
// a zoom moves each end by a tenth of the span, a shift moves both by a fifth; the wavelength axis
// never zooms or shifts beyond the instrument's range.
#include <algorithm>

#include "core/config/PrmFloat.h"

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
bool Apply(int command, Prm& prm) {
    CPrmFloat &xMin = prm.m_RANGE_MIN_X, &xMax = prm.m_RANGE_MAX_X;
    CPrmFloat &yMin = prm.m_RANGE_MIN_Y, &yMax = prm.m_RANGE_MAX_Y;
    CPrmFloat &qMin = prm.m_RANGE_MIN_RATIO, &qMax = prm.m_RANGE_MAX_RATIO;
    const double lo = P::kMinWavelength, hi = P::kMaxWavelength;
    switch (command) {
        case P::kCmdXZoomIn: Bounded(kZoomIn, xMin, xMax, lo, hi); return true;
        case P::kCmdXZoomOut: Bounded(kZoomOut, xMin, xMax, lo, hi); return true;
        case P::kCmdXShiftRight: Bounded(kShiftDown, xMin, xMax, lo, hi); return true;
        case P::kCmdXShiftLeft: Bounded(kShiftUp, xMin, xMax, lo, hi); return true;
        case P::kCmdYZoomIn: Free(kZoomIn, yMin, yMax); return true;
        case P::kCmdYZoomOut: Free(kZoomOut, yMin, yMax); return true;
        case P::kCmdYShiftUp: Free(kShiftDown, yMin, yMax); return true;
        case P::kCmdYShiftDown: Free(kShiftUp, yMin, yMax); return true;
        case P::kCmdRatioZoomIn: Free(kZoomIn, qMin, qMax); return true;
        case P::kCmdRatioZoomOut: Free(kZoomOut, qMin, qMax); return true;
        case P::kCmdRatioShiftUp: Free(kShiftDown, qMin, qMax); return true;
        case P::kCmdRatioShiftDown: Free(kShiftUp, qMin, qMax); return true;
        default: return false;
    }
}

}  // namespace axiscommands
