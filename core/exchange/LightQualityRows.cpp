#include "core/exchange/LightQualityRows.h"

#include <cstdio>

#include "core/exchange/CsvText.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

namespace {

// The label of a metric's row in the current language.
std::string Label(int metric) {
    static const int kIds[] = {ids::kCsvPpfd,         ids::kCsvEppfd,         ids::kCsvPfdUva,        ids::kCsvPfdBlue,
                               ids::kCsvPfdGreen,     ids::kCsvPfdRed,        ids::kCsvPfdFarRed,     ids::kCsvRfr,
                               ids::kCsvTristimulusX, ids::kCsvTristimulusY,  ids::kCsvTristimulusZ,  ids::kCsvChromaticityX,
                               ids::kCsvChromaticityY, ids::kCsvUPrime,       ids::kCsvVPrime,        ids::kCsvCct,
                               ids::kCsvDuv,          ids::kCsvRa};
    static_assert(sizeof kIds / sizeof kIds[0] == metrics::kRa + 1);
    char text[256];
    if (metric <= metrics::kRa) return platform::LoadString(kIds[metric]);
    if (metric <= metrics::kR14) {
        std::snprintf(text, sizeof text, platform::LoadString(ids::kCsvRi).c_str(), metric - metrics::kR1 + 1);
        return text;
    }
    if (metric == metrics::kMelanopicEdi) return platform::LoadString(ids::kCsvMelanopicEdi);
    if (metric == metrics::kMelanopicDer) return platform::LoadString(ids::kCsvMelanopicDer);
    const metrics::SolarBand& band = metrics::kSolarBands[static_cast<std::size_t>(metric - metrics::kSolarFirst)];
    std::snprintf(text, sizeof text, platform::LoadString(ids::kCsvSolarRatio).c_str(), band.from, band.to);
    return text;
}

}  // namespace

void CLightQualityRows::Write(const std::vector<const CSpectrumData*>& records,
                              const std::function<void(const std::string&)>& row) {
    std::vector<metrics::LightMetrics> values;
    values.reserve(records.size());
    metrics::MetricsCalculator calculator;
    for (const CSpectrumData* r : records) values.push_back(calculator.Compute(*r));
    std::string text;
    for (int m = 0; m < metrics::kMetricCount; ++m) {
        text.clear();
        csvtext::AppendField(text, Label(m));
        for (const metrics::LightMetrics& v : values) {
            text += ',';
            // As the calculation rows of the other types: six significant digits of the float.
            if (v.Has(m)) csvtext::AppendG6(text, static_cast<float>(v.Get(m)));
            else text += "n/a";
        }
        row(text);
    }
    // The names of heliarc-cli's columns, which stay the same in every language.
    text.clear();
    csvtext::AppendField(text, platform::LoadString(ids::kCsvPartialBands));
    for (const metrics::LightMetrics& v : values) {
        std::string names;
        for (int m = 0; m < metrics::kMetricCount; ++m) {
            if (!v.IsPartial(m)) continue;
            if (!names.empty()) names += ' ';
            names += metrics::MetricName(m);
        }
        text += ',';
        csvtext::AppendField(text, names);
    }
    row(text);
}
