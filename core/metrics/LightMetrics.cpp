#include "core/metrics/LightMetrics.h"

#include <string>

namespace metrics {

const char* MetricName(int metric) {
    static const std::array<std::string, kMetricCount> kNames = [] {
        std::array<std::string, kMetricCount> n{};
        const char* const fixed[] = {"ppfd",   "eppfd", "pfd_uva", "pfd_blue", "pfd_green", "pfd_red",
                                     "pfd_farred", "r_fr", "X", "Y", "Z", "x", "y", "u_prime", "v_prime",
                                     "cct", "duv", "ra"};
        for (int m = 0; m <= kRa; ++m) n[static_cast<std::size_t>(m)] = fixed[m];
        for (int i = 0; i < 14; ++i) n[static_cast<std::size_t>(kR1 + i)] = "r" + std::to_string(i + 1);
        n[kMelanopicEdi] = "mel_edi";
        n[kMelanopicDer] = "mel_der";
        for (std::size_t b = 0; b < kSolarBands.size(); ++b)
            n[kSolarFirst + b] = "g173_" + std::to_string(kSolarBands[b].from) + "_" + std::to_string(kSolarBands[b].to);
        return n;
    }();
    return metric >= 0 && metric < kMetricCount ? kNames[static_cast<std::size_t>(metric)].c_str() : "";
}

}  // namespace metrics
