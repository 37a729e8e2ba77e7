#pragma once
// Spectral irradiance in W/m^2/nm at every whole nanometre a record covers, within the range any
// metric looks at.
#include <vector>

class CSpectrumData;

namespace metrics {

class NmSpectrum {
public:
    static constexpr int kLowest = 280;    // the solar UV-B band starts here
    static constexpr int kHighest = 1050;  // and the last solar band ends here

    NmSpectrum() = default;  // covers nothing
    // values[k] at first + k nm; the part outside kLowest..kHighest is dropped.
    NmSpectrum(int first, std::vector<double> values);

    // The record's IrradianceAt at every whole nanometre between its first and last pixel.
    static NmSpectrum FromRecord(const CSpectrumData& record);

    // The whole nanometres between the first and the last of n pixel wavelengths, within kLowest..
    // kHighest; false (nothing covered) unless they are finite and strictly ascending.
    static bool Coverage(const float* wavelengths, int n, int& first, int& last);

    bool Empty() const { return values_.empty(); }
    int First() const { return first_; }
    int Last() const { return first_ + static_cast<int>(values_.size()) - 1; }
    bool Covers(int from, int to) const { return !Empty() && First() <= from && to <= Last(); }
    double At(int nm) const { return values_[static_cast<std::size_t>(nm - first_)]; }

private:
    int first_ = 0;
    std::vector<double> values_;
};

}  // namespace metrics
