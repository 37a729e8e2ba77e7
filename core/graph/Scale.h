#pragma once
// Axis ticks at steps of 1, 2 or 5 times a power of ten.
#include <cstddef>
#include <vector>

class CScale {
public:
    CScale() = default;
    virtual ~CScale() = default;

    // Replaces the ticks with about desiredCount ticks over min..max. Outer mode: the first tick is
    // at or below min and the last strictly above max. Inner mode: all ticks are strictly above min
    // and at or below max. Equal bounds are widened by 0.5 each way. Non-finite bounds give no
    // ticks; bounds too close to tell apart give the one tick min.
    void Compute(double min, double max, int desiredCount, bool inner);

    std::size_t Count() const { return ticks_.size(); }
    double At(std::size_t i) const { return ticks_[i]; }
    const std::vector<double>& Ticks() const { return ticks_; }

private:
    std::vector<double> ticks_;
};
