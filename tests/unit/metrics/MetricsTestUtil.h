#pragma once
// Spectra of the reference tables laid on a record's pixels, for the metrics tests.
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"

namespace metricstest {

struct Spd {
    std::vector<double> nm, value;

    // Straight line between the table's points; the end values just past either end.
    double At(double x) const {
        if (x <= nm.front()) return value.front();
        if (x >= nm.back()) return value.back();
        std::size_t k = 1;
        while (nm[k] < x) ++k;
        return value[k - 1] + (value[k] - value[k - 1]) * (x - nm[k - 1]) / (nm[k] - nm[k - 1]);
    }
};

// Column `column` (1 = the first after the wavelength) of core/metrics/data/<name>.csv.
inline Spd ReadSpd(const std::string& name, int column = 1) {
    std::ifstream in(std::string(HELIARC_SOURCE_DIR) + "/core/metrics/data/" + name + ".csv");
    Spd spd;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::stringstream cells(line);
        std::string cell;
        for (int c = 0; std::getline(cells, cell, ','); ++c) {
            if (c == 0) spd.nm.push_back(std::stod(cell));
            if (c == column) spd.value.push_back(std::stod(cell));
        }
    }
    return spd;
}

// A record of `pixels` pixels from first to at least last nm (a straight wavelength polynomial) at
// 20 degrees C (temperature factor 1) with calibration 1, so its irradiance in W/m^2/um is its
// signal: scale * spd at each pixel's wavelength.
inline CSpectrumData RecordOf(const Spd& spd, float first, float last, int pixels = 256, double scale = 1.0) {
    CSpectrumData r;
    r.SetTypeCode("100");
    r.SetValid(1);
    r.SetTemperature(20.0f);
    float step = (last - first) / static_cast<float>(pixels - 1);
    r.SetCoefficient(0, first);
    for (std::size_t k = 2; k < 5; ++k) r.SetCoefficient(k, 0.0f);
    for (;; step = std::nextafter(step, 1e9f)) {
        r.SetCoefficient(1, step);
        if (r.Wavelength(pixels - 1) >= last) break;
    }
    std::vector<float> signal(static_cast<std::size_t>(pixels));
    for (int i = 0; i < pixels; ++i) signal[static_cast<std::size_t>(i)] = static_cast<float>(scale * spd.At(r.Wavelength(i)));
    r.SetSignal(signal);
    r.SetCalibration(std::vector<float>(static_cast<std::size_t>(pixels), 1.0f));
    return r;
}

}  // namespace metricstest
