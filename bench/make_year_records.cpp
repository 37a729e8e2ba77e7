// Writes a year of one-minute records of the simulated instrument into a folder, for benchmarks
// and for trying the program on a season of data:  make_year_records DIR [YEAR]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/YearOfRecords.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_year_records DIR [YEAR]\n");
        return 2;
    }
    benchdata::YearOptions options;
    if (argc == 3) options.year = std::atoi(argv[2]);
    const int64_t n = benchdata::WriteYear(argv[1], options);
    if (n < 0) {
        std::fprintf(stderr, "cannot write the records into %s\n", argv[1]);
        return 1;
    }
    std::printf("%lld records in %s (prefix %s)\n", static_cast<long long>(n), argv[1], options.prefix.c_str());
    return 0;
}
