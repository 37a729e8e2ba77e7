#pragma once
// A year of one instrument's records for benchmarks: one every minute (525,600), each the spectrum
// the simulated instrument measures at its local time under a sky whose clouds change from day to
// day and from minute to minute. Written once into a folder and reused while it is complete.
#include <cstdint>
#include <string>

#include "core/data/SpectrumData.h"
#include "sim/SimModel.h"

namespace benchdata {

struct YearOptions {
    int year = 2025;
    int spacingSeconds = 60;
    uint64_t seed = 7;  // the instrument and its noise
    std::string prefix = "SPC";
};

// The record the measurement engine makes of what the simulator stored: pixel words to counts per
// second, the instrument's texts, coefficients and the calibration table of its field of view.
CSpectrumData FromSimulator(const CSimModel& model, const CSimModel::Record& stored);

// Writes the year's day files (prefix_YYYYMMDD.hlx) into folder, on two threads, unless a complete
// set of the same options is there already. Returns the number of records in the folder, or -1 when
// a file could not be written.
int64_t WriteYear(const std::string& folder, const YearOptions& options = YearOptions());

// Reads every day file of the folder whole, as plainly as it can be done: the baseline the searches
// are measured against. Returns the bytes read.
long long ReadDayFiles(const std::string& folder, const std::string& prefix = "SPC");

// The benchmarks' year in /tmp/heliarc-bench-year/data, written on first use, made this process's
// data folder; heliarc-cli's working folder is /tmp/heliarc-bench-year/work.
const std::string& BenchYearFolder();
const std::string& BenchWorkFolder();
// Seconds on the steady clock.
double WallSeconds();

// One run of heliarc-cli COMMAND on the benchmarks' year, its output thrown away.
struct CliRun {
    bool ok = false;
    double seconds = 0;
    double maxRssMB = 0;  // the child's peak resident memory
};
CliRun RunCliOnYear(const std::string& cli, const std::string& command);

}  // namespace benchdata
