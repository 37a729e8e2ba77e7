// Search over a year of interval data (365 daily files, 35,040 records, ~90 MB), warm cache,
// against reading the same files sequentially; target: within 1.5x the read. The ratio of the mean
// CPU times (this thread's: the machine is shared) is printed as a counter.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/GeneralPrm.h"
#include "data/SpectrumDataSet.h"
#include "data/SpectrumDataWriter.h"
#include "platform/LocalTime.h"
#include "platform/Path.h"

namespace {

const std::string& Folder() {
    static std::string folder = [] {
        std::string dir = "/tmp/heliarc-bench-search";
        std::filesystem::create_directories(dir + "/data");
        const bool complete = platform::ListMatchingFiles(dir + "/data/SPC_????????.hlx").size() == 365 &&
                              std::filesystem::file_size(dir + "/data/SPC_20091231.hlx") == 96 * 2560;
        if (!complete) {
            std::filesystem::remove_all(dir + "/data");
            std::filesystem::create_directories(dir + "/data");
        }
        if (::chdir(dir.c_str()) != 0) std::abort();
        CGeneralPrm g;
        g.Load();
        g.m_DATA_STORED_FOLDER = dir + "/data";
        g.m_FILE_NAME_ID = "SPC";
        g.Save();
        if (!complete) {
            std::vector<CSpectrumData> day;
            CSpectrumData r;
            r.SetTypeCode("100");
            r.SetValid(1);
            r.SetCoefficient(0, 300.0f);
            r.SetCoefficient(1, 3.1372549f);
            for (int k = 2; k < 5; ++k) r.SetCoefficient(static_cast<std::size_t>(k), 0.0f);
            r.SetSignal(std::vector<float>(256, 1000.0f));
            r.SetCalibration(std::vector<float>(256, 0.5f));
            platform::CalTime t0;
            platform::JoinLocal(2009, 1, 1, 0, 0, 0, t0);
            CSpectrumDataWriter writer;
            std::vector<CSpectrumData> all;
            for (int i = 0; i < 35040; ++i) {
                r.SetTime(t0 + 900LL * i);  // 96 a day: 365 days
                r.SetMemo(i % 100 == 0 ? "marked" : "plain");
                all.push_back(r);
            }
            writer.WriteAll(all);
        }
        return dir + "/data";
    }();
    return folder;
}

long MaxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double SearchCpuSeconds(const char* comment) {
    const double t0 = ThreadCpuSeconds();
    {
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, comment);
    }
    return ThreadCpuSeconds() - t0;
}

double g_sequentialCpu = 0;  // mean per iteration

void BM_SequentialRead(benchmark::State& state) {
    const std::string& folder = Folder();
    std::vector<std::string> names = platform::ListMatchingFiles(folder + "/SPC_????????.hlx");
    std::vector<char> buf(1 << 18);
    double cpu = 0;
    for (auto _ : state) {
        long long total = 0;
        const double t0 = ThreadCpuSeconds();
        for (const auto& n : names) {
            int fd = ::open((folder + "/" + n).c_str(), O_RDONLY);
            ssize_t r;
            while ((r = ::read(fd, buf.data(), buf.size())) > 0) total += r;
            ::close(fd);
        }
        cpu += ThreadCpuSeconds() - t0;
        benchmark::DoNotOptimize(total);
        state.counters["MB"] = static_cast<double>(total) / 1e6;
    }
    g_sequentialCpu = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SequentialRead)->Unit(benchmark::kMillisecond)->Iterations(5);

// Keeps 1 % of the records: memory must follow what is kept, not the ~90 MB read.
void BM_SearchKeepingFew(benchmark::State& state) {
    Folder();
    long rssBefore = MaxRssKb();
    // The first search of a process also faults in the memory its result lives in; the timed ones
    // after it are what searching again costs (its counter is the first one's CPU time).
    state.counters["first_ms"] = SearchCpuSeconds("marked") * 1e3;
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuSeconds();
        {
            CSpectrumDataSet set;
            set.Search(nullptr, nullptr, "marked");
            state.counters["records"] = set.Count();
        }
        cpu += ThreadCpuSeconds() - t0;  // freeing the result counts too
    }
    if (g_sequentialCpu > 0) state.counters["ratio_to_read"] = cpu / static_cast<double>(state.iterations()) / g_sequentialCpu;
    state.counters["max_rss_growth_MB"] = static_cast<double>(MaxRssKb() - rssBefore) / 1024.0;
}
BENCHMARK(BM_SearchKeepingFew)->Unit(benchmark::kMillisecond)->Iterations(5);


void BM_SearchKeepingAll(benchmark::State& state) {
    Folder();
    long rssBefore = MaxRssKb();
    // The first search of a process also faults in the memory its result lives in; the timed ones
    // after it are what searching again costs (its counter is the first one's CPU time).
    state.counters["first_ms"] = SearchCpuSeconds(nullptr) * 1e3;
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuSeconds();
        {
            CSpectrumDataSet set;
            set.Search(nullptr, nullptr, nullptr);
            state.counters["records"] = set.Count();
        }
        cpu += ThreadCpuSeconds() - t0;  // freeing the result counts too
    }
    if (g_sequentialCpu > 0) state.counters["ratio_to_read"] = cpu / static_cast<double>(state.iterations()) / g_sequentialCpu;
    state.counters["max_rss_growth_MB"] = static_cast<double>(MaxRssKb() - rssBefore) / 1024.0;
}
BENCHMARK(BM_SearchKeepingAll)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
