#pragma once
// The CIE 1931 xy chromaticities a light can have: the convex hull of the spectrum locus (the
// monochromatic lights of 360..830 nm) closed by the purple line. Any spectrum without negative
// parts mixes them; a reading outside is noise.
#include <vector>

namespace metrics {

class SpectrumLocus {
public:
    struct Light {
        int nm;
        double x, y;
    };

    static bool Contains(double x, double y);
    // The monochromatic lights every step nm from 360 nm, in wavelength order (for drawing).
    static std::vector<Light> Curve(int step);
};

}  // namespace metrics
