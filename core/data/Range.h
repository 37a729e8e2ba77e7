#pragma once
// A numeric range, the linear map between two ranges, and the (x, y) series that travel from the
// record functions to the graphs. They know nothing of what the numbers mean.
#include <cstddef>
#include <utility>
#include <vector>

template <typename T>
class CRange {
public:
    CRange() = default;
    CRange(T minimum, T maximum) : min_(minimum), max_(maximum) {}
    CRange(const CRange&) = default;
    CRange& operator=(const CRange&) = default;
    virtual ~CRange() = default;

    T GetMin() const { return min_; }
    T GetMax() const { return max_; }
    void SetMin(T v) { min_ = v; }
    void SetMax(T v) { max_ = v; }
    void Set(T minimum, T maximum) { min_ = minimum; max_ = maximum; }

private:
    T min_{};
    T max_{};
};

using CDRange = CRange<double>;

class CDRangeMap {
public:
    CDRangeMap(const CDRange& source, const CDRange& destination) : src_(source), dst_(destination) {}
    CDRangeMap(double srcMin, double srcMax, double dstMin, double dstMax)
        : src_(srcMin, srcMax), dst_(dstMin, dstMax) {}
    virtual ~CDRangeMap() = default;

    // No clipping: a value outside the source maps outside the destination.
    double Map(double x) const {
        return (dst_.GetMax() - dst_.GetMin()) * (x - src_.GetMin()) / (src_.GetMax() - src_.GetMin()) + dst_.GetMin();
    }
    const CDRange& Source() const { return src_; }
    const CDRange& Destination() const { return dst_; }

private:
    CDRange src_;
    CDRange dst_;
};

class GraphSeries {
public:
    using Point = std::pair<double, double>;

    void Clear() { points_.clear(); }
    void Append(double x, double y) { points_.emplace_back(x, y); }
    std::size_t Count() const { return points_.size(); }
    const Point& At(std::size_t i) const { return points_[i]; }
    void Reserve(std::size_t n) { points_.reserve(n); }
    std::vector<Point>& Points() { return points_; }
    const std::vector<Point>& Points() const { return points_; }

private:
    std::vector<Point> points_;
};
