#include "core/metrics/SpectrumLocus.h"

#include <algorithm>
#include <vector>

#include "core/metrics/ReferenceTables.h"

namespace metrics {

namespace {

struct Point {
    double x, y;
};

double Cross(const Point& o, const Point& a, const Point& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Counter-clockwise hull (Andrew's monotone chain).
std::vector<Point> Hull(std::vector<Point> p) {
    std::sort(p.begin(), p.end(), [](const Point& a, const Point& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    std::vector<Point> h(2 * p.size());
    std::size_t k = 0;
    for (const Point& q : p) {
        while (k >= 2 && Cross(h[k - 2], h[k - 1], q) <= 0) --k;
        h[k++] = q;
    }
    for (std::size_t i = p.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && Cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
        h[k++] = p[i];
    }
    h.resize(k - 1);
    return h;
}

const std::vector<Point>& LocusHull() {
    static const std::vector<Point> hull = [] {
        const reference::Table& cmf = reference::kCmf1931;
        std::vector<Point> points;
        for (int r = 0; r < cmf.rows; ++r) {
            const double sum = cmf.At(r, 1) + cmf.At(r, 2) + cmf.At(r, 3);
            if (sum > 0.0) points.push_back({cmf.At(r, 1) / sum, cmf.At(r, 2) / sum});
        }
        return Hull(std::move(points));
    }();
    return hull;
}

}  // namespace

bool SpectrumLocus::Contains(double x, double y) {
    // A light on the locus itself (a laser line) may come out a rounding error beyond it.
    constexpr double kSlack = 1e-6;
    const Point p{x, y};
    // Most lights lie inside the triangle of three monochromatic lights, and so inside the hull.
    static const Point kInner[3] = {{0.18, 0.02}, {0.72, 0.27}, {0.09, 0.80}};
    if (Cross(kInner[0], kInner[1], p) > 0 && Cross(kInner[1], kInner[2], p) > 0 && Cross(kInner[2], kInner[0], p) > 0)
        return true;
    const std::vector<Point>& h = LocusHull();
    for (std::size_t i = 0; i < h.size(); ++i)
        if (Cross(h[i], h[(i + 1) % h.size()], p) < -kSlack) return false;
    return true;
}

std::vector<SpectrumLocus::Light> SpectrumLocus::Curve(int step) {
    const reference::Table& cmf = reference::kCmf1931;
    std::vector<SpectrumLocus::Light> out;
    for (int r = 0; r < cmf.rows; r += step < 1 ? 1 : step) {
        const double sum = cmf.At(r, 1) + cmf.At(r, 2) + cmf.At(r, 3);
        if (sum > 0.0)
            out.push_back({static_cast<int>(cmf.Wavelength(r)), cmf.At(r, 1) / sum, cmf.At(r, 2) / sum});
    }
    return out;
}

}  // namespace metrics
