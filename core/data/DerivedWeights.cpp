#include "core/data/DerivedWeights.h"

#include <algorithm>
#include <cstring>

#include "core/data/SpectrumData.h"
#include "core/data/SpectrumTables.h"

using namespace spectrum_tables;

namespace {

enum { kPar, kPhoton, kLux, kUvA, kUvB };

}  // namespace

std::vector<float> InstrumentKey(const CSpectrumData& record) {
    if (record.HasExplicitWavelengths()) return record.GetWavelengths();
    std::vector<float> key(6);
    for (std::size_t k = 0; k < key.size(); ++k) key[k] = record.GetCoefficient(k);
    return key;
}

void TemperatureRowsAt(float temperature, double* rows) {
    const double t = std::clamp(static_cast<double>(temperature), -20.0, 50.0);
    int k = 1;
    while (k < kTemperatureColumns - 1 && !(kTemperatureBreaks[k] > t)) ++k;
    const double x0 = kTemperatureBreaks[k - 1], x1 = kTemperatureBreaks[k];
    for (int r = 0; r < kWavelengthRows; ++r) {
        const double y0 = kTemperatureFactors[r][k - 1], y1 = kTemperatureFactors[r][k];
        rows[r] = (y1 - y0) * (t - x0) / (x1 - x0) + y0;
    }
}

DerivedWeights::DerivedWeights(const CSpectrumData& record)
    : explicit_(record.HasExplicitWavelengths()),
      hType_(record.IsHType()),
      pixels_(record.PixelCount()),
      key_(InstrumentKey(record)) {
    const int n = pixels_;
    std::vector<float> wavelengths(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) wavelengths[static_cast<std::size_t>(i)] = record.Wavelength(i);
    std::vector<double> weight(static_cast<std::size_t>(n) * kValues, 0.0);
    // Each value adds weight times the record's line at nm; the weights carry the units.
    const auto add = [&](int value, int nm, double w) {
        int a, b;
        double share;
        CSpectrumData::LineAt(wavelengths, static_cast<float>(nm), a, b, share);
        if (a < 0) return;
        weight[static_cast<std::size_t>(a) * kValues + value] += w * (1.0 - share);
        weight[static_cast<std::size_t>(b) * kValues + value] += w * share;
    };
    for (int k = 0; k < CSpectrumData::kLuminousRows; ++k) {
        const int nm = 360 + k;
        const double end = k == 0 || k == CSpectrumData::kLuminousRows - 1 ? 0.5 : 1.0;
        add(kLux, nm, 683.0 * end * CSpectrumData::LuminousEfficiency(k) / 1000.0);
    }
    for (int nm = 400; nm <= 700; ++nm) {
        const double end = nm == 400 || nm == 700 ? 0.5 : 1.0;
        add(kPar, nm, end / 1000.0);
        add(kPhoton, nm, end * nm / 1000.0 / CSpectrumData::kCHNA / 1000.0);
    }
    for (int nm = 315; nm <= 400; ++nm) add(kUvA, nm, (nm == 315 || nm == 400 ? 0.5 : 1.0) / 1000.0);
    for (int nm = 280; nm <= 315; ++nm) add(kUvB, nm, (nm == 280 || nm == 315 ? 0.5 : 1.0) / 1000.0);

    // Each value looks only at its own pixels, so a pixel that holds no number spoils no other value.
    first_ = n;
    end_ = 0;
    for (int v = 0; v < kValues; ++v) {
        int lo = n, hi = 0;
        for (int i = 0; i < n; ++i)
            if (weight[static_cast<std::size_t>(i) * kValues + v] != 0.0) {
                lo = std::min(lo, i);
                hi = i + 1;
            }
        if (hi <= lo) continue;
        rows_[v].first = lo;
        for (int i = lo; i < hi; ++i) rows_[v].weight.push_back(weight[static_cast<std::size_t>(i) * kValues + v]);
        first_ = std::min(first_, lo);
        end_ = std::max(end_, hi);
    }
    if (end_ <= first_) first_ = end_ = 0;
    for (int i = first_; i < end_; ++i) {
        const double w = std::clamp(static_cast<double>(wavelengths[static_cast<std::size_t>(i)]), 400.0, 1050.0);
        int r = 1;
        while (r < kWavelengthRows - 1 && !(kWavelengthBreaks[r] > w)) ++r;
        row_.push_back(static_cast<uint8_t>(r));
        at_.push_back((w - kWavelengthBreaks[r - 1]) / (kWavelengthBreaks[r] - kWavelengthBreaks[r - 1]));
    }
}

bool DerivedWeights::Matches(const CSpectrumData& record) const {
    if (record.PixelCount() != pixels_ || record.HasExplicitWavelengths() != explicit_ || record.IsHType() != hType_)
        return false;
    if (explicit_) return record.GetWavelengths() == key_;
    // Bit for bit: a coefficient of -0 or NaN must not pass for another.
    for (std::size_t k = 0; k < key_.size(); ++k) {
        const float c = record.GetCoefficient(k);
        if (std::memcmp(&key_[k], &c, sizeof c) != 0) return false;
    }
    return true;
}

DerivedValues DerivedWeights::Of(const CSpectrumData& record) const {
    double rows[kWavelengthRows];
    TemperatureRowsAt(record.GetTemperature(), rows);
    const float* signal = record.GetSignal().data();
    const float* calibration = record.GetCalibration().data();
    const float dark = record.GetDarkOffset();
    // A pixel without a calibration factor has no irradiance.
    const int end = std::min(end_, static_cast<int>(record.GetCalibration().size()));
    std::vector<float> irradiance(static_cast<std::size_t>(end_ - first_), 0.0f);
    for (int i = first_; i < end; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - first_);
        const int r = row_[k];
        const auto factor = static_cast<float>(rows[r - 1] + (rows[r] - rows[r - 1]) * at_[k]);
        irradiance[k] = (signal[i] - dark) * calibration[i] * factor;
    }
    double sum[kValues] = {};
    for (int v = 0; v < kValues; ++v) {
        const Row& row = rows_[v];
        const float* e = irradiance.data() + (row.first - first_);
        for (std::size_t i = 0; i < row.weight.size(); ++i) sum[v] += row.weight[i] * e[i];
    }
    return {static_cast<float>(sum[kPar]), static_cast<float>(sum[kPhoton]), static_cast<float>(sum[kLux]),
            static_cast<float>(sum[kUvA]), static_cast<float>(sum[kUvB])};
}

DerivedValues DerivedCalculator::Of(const CSpectrumData& record) {
    for (std::size_t i = 0; i < weights_.size(); ++i)
        if (weights_[i]->Matches(record)) {
            std::rotate(weights_.begin(), weights_.begin() + static_cast<std::ptrdiff_t>(i),
                        weights_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return weights_.front()->Of(record);
        }
    // A folder holds a few instruments; anything beyond that is rare enough to prepare again.
    constexpr std::size_t kKept = 8;
    if (weights_.size() == kKept) weights_.pop_back();
    weights_.insert(weights_.begin(), std::make_unique<DerivedWeights>(record));
    return weights_.front()->Of(record);
}
