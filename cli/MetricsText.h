#pragma once
// The light-quality metrics as heliarc-cli writes them: tab-separated columns, "%.9g" numbers and
// n/a where a metric is not available, then the partial column naming the values computed over
// part of their band only (comma-separated, empty when none).
#include <string>

#include "core/metrics/LightMetrics.h"

namespace cli {

// "ppfd\t...\tpartial": the metric columns and the partial column.
std::string MetricsHeader();
// Appends "\t" and each column of m.
void AppendMetrics(std::string& out, const metrics::LightMetrics& m);

}  // namespace cli
