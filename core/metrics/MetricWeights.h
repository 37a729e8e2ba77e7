#pragma once
// The linear part of every metric, for spectra that cover the same whole nanometres: each sum is
// the spectral irradiance (W/m^2/nm) at every covered nanometre times a weight. Bands are integrated
// by the trapezoid rule over their covered part; colour sums are plain 1 nm sums.
#include <array>
#include <vector>

namespace metrics {

enum LinearSum : int {
    // Photon flux densities, umol/m^2/s.
    kSumPpfd,
    kSumEppfd,
    kSumUva,
    kSumBlue,
    kSumGreen,
    kSumRed,
    kSumFarRed,
    kSumRed660,      // 655..665 nm
    kSumFarRed730,   // 725..735 nm
    kSumSolarFirst,  // irradiance of each solar band, W/m^2
    kSumSolarLast = kSumSolarFirst + 3,
    kSumX,  // CIE 1931 tristimulus values, Y in lx
    kSumY,
    kSumZ,
    kSumMelanopic,  // melanopic irradiance, W/m^2
    kSumSampleFirst,  // X, Y, Z of each CIE 13.3 test colour sample 1..14 lit by the spectrum
    kSumCount = kSumSampleFirst + 3 * 14
};

// Sums of the test colour samples are needed only where a colour rendering index is computed.
constexpr int kSumsWithoutSamples = kSumSampleFirst;

class MetricWeights {
public:
    static constexpr double kKm = 683.002;  // lm/W
    static constexpr int kColourFrom = 380;  // colour needs every nanometre of this range
    static constexpr int kColourTo = 780;
    static constexpr int kCmfFrom = 360;  // the colour sums take what the spectrum has of this one
    static constexpr int kCmfTo = 830;
    static constexpr int kReferenceSums = 3 * 15;  // X, Y, Z of the white and of samples 1..14

    struct Row {
        int first = 0;
        int last = -1;  // empty when last < first
        std::vector<double> weight;  // at first, first + 1, ... nm
    };

    MetricWeights(int first, int last);  // a spectrum covering first..last nm

    int First() const { return first_; }
    int Last() const { return last_; }
    const Row& Weights(int sum) const { return rows_[static_cast<std::size_t>(sum)]; }

    // A band sum has a value when the spectrum covers more than a point of it; partial when it
    // covers less than all of it.
    bool BandCovered(int sum) const;
    bool BandPartial(int sum) const;
    bool CoversColour() const { return first_ <= kColourFrom && last_ >= kColourTo; }
    // The covered part of a solar band integrated over ASTM G173 global tilt, W/m^2.
    double SolarReference(int band) const { return solarReference_[static_cast<std::size_t>(band)]; }
    // The colour sums' range: kCmfFrom..kCmfTo within the coverage.
    int ColourFirst() const { return colourFirst_; }
    int ColourLast() const { return colourLast_; }
    // X, Y, Z (white, then samples 1..14) lit by CIE daylight basis function S0, S1 or S2 over the
    // colour range, for the daylight reference of the colour rendering index.
    const std::array<double, kReferenceSums>& DaylightSums(int j) const { return daylight_[static_cast<std::size_t>(j)]; }

    // The full band of a band sum, nm.
    static void Band(int sum, int& from, int& to);

private:
    int first_, last_;
    int colourFirst_, colourLast_;
    std::array<Row, kSumCount> rows_;
    std::array<double, 4> solarReference_{};
    std::array<std::array<double, kReferenceSums>, 3> daylight_{};
};

// At a whole nanometre of kCmfFrom..kCmfTo: the CIE 1931 colour matching functions x, y, z times
// the spectral radiance factor of the white (1) and of test colour samples 1..14, in that order.
const double* SampleResponses(int nm);

}  // namespace metrics
