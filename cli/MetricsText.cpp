#include "cli/MetricsText.h"

#include "platform/FloatText.h"

namespace cli {

std::string MetricsHeader() {
    std::string h;
    for (int m = 0; m < metrics::kMetricCount; ++m) {
        h += metrics::MetricName(m);
        h += '\t';
    }
    return h + "partial";
}

void AppendMetrics(std::string& out, const metrics::LightMetrics& m) {
    char number[platform::kMaxG9];
    for (int k = 0; k < metrics::kMetricCount; ++k) {
        out += '\t';
        if (m.Has(k)) out.append(number, platform::WriteG9(number, m.Get(k)));
        else out += "n/a";
    }
    out += '\t';
    bool first = true;
    for (int k = 0; k < metrics::kMetricCount; ++k) {
        if (!m.IsPartial(k)) continue;
        if (!first) out += ',';
        out += metrics::MetricName(k);
        first = false;
    }
}

}  // namespace cli
