#include "cli/MetricsText.h"

#include <cstring>

#include "core/platform/FloatText.h"

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
    // The numbers into one buffer, appended at once.
    char row[metrics::kMetricCount * (platform::kMaxG9 + 1)];
    char* p = row;
    for (int k = 0; k < metrics::kMetricCount; ++k) {
        *p++ = '\t';
        if (m.Has(k)) {
            p = platform::WriteG9(p, m.Get(k));
        } else {
            std::memcpy(p, "n/a", 3);
            p += 3;
        }
    }
    out.append(row, static_cast<std::size_t>(p - row));
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
