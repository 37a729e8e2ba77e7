#pragma once
// The CIE 1931 xy chromaticities a light can have: the convex hull of the spectrum locus (the
// monochromatic lights of 360..830 nm) closed by the purple line. Any spectrum without negative
// parts mixes them; a reading outside is noise.
namespace metrics {

class SpectrumLocus {
public:
    static bool Contains(double x, double y);
};

}  // namespace metrics
