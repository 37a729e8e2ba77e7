#include "bench/YearOfRecords.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "core/config/GeneralPrm.h"
#include "core/config/Parameter.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Path.h"
#include "sim/SimRandom.h"

extern char** environ;

namespace benchdata {

CSpectrumData FromSimulator(const CSimModel& model, const CSimModel::Record& stored) {
    CSpectrumData r;
    r.SetIdText(model.IdText());
    r.SetSerialNumber(model.SerialText());
    r.SetStText(model.StText());
    r.SetFvText(model.FvText());
    r.SetFtText(model.FtText());
    for (std::size_t k = 0; k < 5; ++k) r.SetCoefficient(k, static_cast<float>(model.Coefficients()[k]));
    r.SetValid(1);
    r.SetTime(stored.time);
    r.SetMemo(stored.memo);
    r.SetExposureTime(stored.exposureMs);
    r.SetTemperature(stored.temperature);
    r.SetLongitude(stored.longitude);
    r.SetLatitude(stored.latitude);
    r.SetAltitude(stored.altitude);
    r.SetFovCode(stored.fovCode);
    r.SetCalibration(model.CalibrationTable(stored.tableNumber));
    std::vector<float> signal(CSimModel::kPixels);
    for (std::size_t p = 0; p < signal.size(); ++p) {
        const int16_t v = stored.words[p];
        signal[p] = v < CSimModel::kSaturated
                        ? static_cast<float>(v) * 1000.0f / static_cast<float>(stored.exposureMs)
                        : 0.0f;
    }
    r.SetSignal(signal);
    return r;
}

namespace {

std::string OptionsText(const YearOptions& options) {
    return std::to_string(options.year) + " " + std::to_string(options.spacingSeconds) + " " + std::to_string(options.seed) +
           " " + options.prefix + "\n";
}

// Thin and thick clouds: a level for the day and a slow drift through it.
struct Sky {
    double clearness;  // of the day, 0.3 .. 1
    double phase;
    double Factor(int64_t secondOfDay) const {
        const double drift = 0.5 + 0.5 * std::sin(phase + static_cast<double>(secondOfDay) / 2700.0);
        return std::clamp(clearness * (0.75 + 0.25 * drift), 0.05, 1.0);
    }
};

}  // namespace

int64_t WriteYear(const std::string& folder, const YearOptions& options) {
    namespace fs = std::filesystem;
    const std::string marker = folder + "/.year-of-records";
    std::error_code ec;
    fs::create_directories(folder, ec);
    {
        std::ifstream in(marker);
        const std::string had((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string want = OptionsText(options);
        if (!had.empty() && had.substr(0, want.size()) == want) return std::stoll(had.substr(want.size()));
    }
    fs::remove(marker, ec);

    CGeneralPrm general;
    general.m_DATA_STORED_FOLDER = folder;
    general.m_FILE_NAME_ID = options.prefix;
    platform::CalTime first = 0, end = 0;
    if (!platform::JoinLocal(options.year, 1, 1, 0, 0, 0, first) || !platform::JoinLocal(options.year + 1, 1, 1, 0, 0, 0, end))
        return -1;
    const int days = static_cast<int>((end - first + 7200) / 86400);

    std::atomic<int> nextDay{0};
    std::atomic<int64_t> written{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        CSimModel model(options.seed, 0);  // the same instrument on both threads
        CSimRandom sky;
        std::vector<unsigned char> bytes;
        for (int d; (d = nextDay.fetch_add(1)) < days && !failed;) {
            platform::CalTime midnight = 0, next = 0;
            if (!platform::JoinLocal(options.year, 1, 1 + d, 0, 0, 0, midnight) ||
                !platform::JoinLocal(options.year, 1, 2 + d, 0, 0, 0, next)) {
                failed = true;
                break;
            }
            sky.Seed(options.seed * 7919 + static_cast<uint64_t>(d));
            const Sky today{0.3 + 0.7 * sky.Uniform(), 6.2831853 * sky.Uniform()};
            bytes.clear();
            for (platform::CalTime t = midnight; t < next; t += options.spacingSeconds) {
                CSimModel::Record stored = model.MeasureAuto(t, 0);
                CSpectrumData r = FromSimulator(model, stored);
                std::vector<float> signal = r.GetSignal();
                const auto f = static_cast<float>(today.Factor(t - midnight));
                for (float& s : signal) s *= f;
                r.SetSignal(signal);
                const std::size_t at = bytes.size();
                bytes.resize(at + CSpectrumDataWriter::kRecordSize);
                if (!CSpectrumDataWriter::Encode(r, bytes.data() + at)) failed = true;
            }
            std::string path;
            if (failed || !general.DailyFilePath(midnight, path)) {
                failed = true;
                break;
            }
            std::ofstream out(platform::MapPath(path), std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!out.flush()) failed = true;
            written += static_cast<int64_t>(bytes.size() / CSpectrumDataWriter::kRecordSize);
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    if (failed) return -1;
    std::ofstream(marker) << OptionsText(options) << written.load() << "\n";
    return written;
}

long long ReadDayFiles(const std::string& folder, const std::string& prefix) {
    std::vector<char> buf(1 << 18);
    long long bytes = 0;
    for (const auto& n : platform::ListMatchingFiles(folder + "/" + prefix + "_????????.hlx")) {
        const int fd = ::open((folder + "/" + n).c_str(), O_RDONLY);
        for (ssize_t r; fd >= 0 && (r = ::read(fd, buf.data(), buf.size())) > 0;) bytes += r;
        if (fd >= 0) ::close(fd);
    }
    return bytes;
}

const std::string& BenchWorkFolder() {
    static const std::string work = "/tmp/heliarc-bench-year/work";
    return work;
}

const std::string& BenchYearFolder() {
    static const std::string folder = [] {
        const std::string data = "/tmp/heliarc-bench-year/data";
        if (WriteYear(data) < 0) std::abort();
        std::filesystem::create_directories(BenchWorkFolder());
        CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", data);
        return data;
    }();
    return folder;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

CliRun RunCliOnYear(const std::string& cli, const std::string& command) {
    std::vector<std::string> args = {cli, "--workdir", BenchWorkFolder(), "--folder", BenchYearFolder(), command};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    CliRun run;
    const double t0 = WallSeconds();
    pid_t pid;
    int status = -1;
    rusage usage{};
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::wait4(pid, &status, 0, &usage);
    run.seconds = WallSeconds() - t0;
    run.maxRssMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.ok = status == 0;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

}  // namespace benchdata
