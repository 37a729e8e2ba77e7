// measure: one measurement run, printed message by message as the engine posts them; a monitor run
// prints the light-quality metrics of each spectrum instead. With --demo the simulated instrument
// runs in this process on a pseudo-terminal and serves as the port.
#include <csignal>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "cli/Cli.h"
#include "cli/MetricsText.h"
#include "core/config/MeasurementPrm.h"
#include "core/config/Parameter.h"
#include "core/instrument/Measurement.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/platform/Messages.h"
#include "core/platform/Text.h"
#include "sim/SimulatedInstrument.h"

namespace cli {
namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int sig) { g_stopSignal = sig; }

// Messages cross from the engine's worker to the command's loop.
class QueueSink : public platform::MessageSink {
public:
    void Post(unsigned message, int64_t wParam, int64_t lParam) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back({message, wParam, lParam});
        }
        cv_.notify_one();
    }
    struct Item {
        unsigned message;
        int64_t wParam;
        int64_t lParam;
    };
    bool Pop(int timeoutMs, Item& out) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !queue_.empty(); }))
            return false;
        out = queue_.front();
        queue_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Item> queue_;
};

// "HH:MM:SS" (or H:MM:SS) as a time text of the configuration, which starts with the date.
bool ClockText(const std::string& text, std::string& out) {
    int h = -1, m = -1, s = -1;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &extra) != 3) return false;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return false;
    out = "2000/1/1 " + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s);
    return true;
}

// MEASUREMENT_TYPE and EXPOSED_TIME, as the measurement settings dialog numbers its choices.
constexpr NamedValue kTypes[] = {
    {"manual", "one measurement"},
    {"interval", "one every --span seconds between --from and --to each day, until stopped"},
    {"transfer", "copies the records stored in the instrument's memory"},
    {"monitor", "one spectrum after another, nothing stored (aiming, setting up lamps)"},
};
constexpr NamedValue kExposures[] = {
    {"auto", "the instrument chooses"}, {"10ms", "10 ms"},     {"20ms", "20 ms"},     {"50ms", "50 ms"},
    {"100ms", "100 ms"},                {"200ms", "200 ms"},   {"500ms", "500 ms"},   {"1000ms", "1000 ms"},
    {"2000ms", "2000 ms"},              {"5000ms", "5000 ms"}, {"overlap", "four exposures blended into one spectrum"},
};

class SignalGuard {
public:
    SignalGuard() {
        g_stopSignal = 0;
        struct sigaction sa {};
        sa.sa_handler = OnStopSignal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGINT, &sa, &oldInt_);
        ::sigaction(SIGTERM, &sa, &oldTerm_);
    }
    ~SignalGuard() {
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// The spectra of a monitor run, from the engine's worker to the command's loop.
class SpectrumQueue {
public:
    void Push(const CSpectrumData& record) {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(record);
    }
    bool Pop(CSpectrumData& out) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (records_.empty()) return false;
        out = std::move(records_.front());
        records_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::deque<CSpectrumData> records_;
};

// A monitor run prints a table rather than its messages: the metrics columns of each spectrum.
void PrintSpectrum(const CSpectrumData& r, metrics::MetricsCalculator& calculator) {
    std::string row = FormatDateTime(r.GetTime()) + '\t' + Text(r.GetMemo());
    AppendMetrics(row, calculator.Compute(r));
    row += '\n';
    std::fwrite(row.data(), 1, row.size(), stdout);
    std::fflush(stdout);
}

// A record a transfer passed over also says why.
void PrintMessage(const QueueSink::Item& m, const CMeasurement& engine) {
    std::string why;
    if (m.message == platform::UM_TRANSFER_SKIPPED) why = "\t" + Escape(engine.SkipNote(static_cast<int>(m.wParam)));
    std::printf("%s\t%lld\t%lld%s\n", platform::MessageName(m.message), static_cast<long long>(m.wParam),
                static_cast<long long>(m.lParam), why.c_str());
    std::fflush(stdout);
}

}  // namespace

int RunMeasure(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.Parse(argv, {"--type", "--port", "--exposure", "--from", "--to", "--span", "--memo", "--count",
                           "--duration"},
                    {}, error))
        return Usage(error);
    if (!args.Positional().empty()) return Usage("measure takes no arguments");

    // Options become run-only values of the MEASUREMENT section: applied over the file, never saved.
    const std::string section = "MEASUREMENT";
    if (args.Has("--type")) {
        int type;
        if (!ReadNamed(args, "--type", kTypes, type, error)) return Usage(error);
        CParameter::SetRunOverride(section, "MEASUREMENT_TYPE", std::to_string(type));
    }
    if (args.Has("--exposure")) {
        int exposure;
        if (!ReadNamed(args, "--exposure", kExposures, exposure, error)) return Usage(error);
        CParameter::SetRunOverride(section, "EXPOSED_TIME", std::to_string(exposure));
    }
    long long n = 0;
    if (args.Has("--span")) {
        // A span of 0 or less is the engine's to refuse, with its own message.
        if (!ParseInt(args.Get("--span"), n) || n < -2147483647LL || n > 2147483647LL)
            return Usage("--span must be a number of seconds");
        CParameter::SetRunOverride(section, "INTERVAL_MEASUREMENT_SPAN", std::to_string(n));
    }
    std::string text;
    for (const char* option : {"--from", "--to"}) {
        if (!args.Has(option)) continue;
        if (!ClockText(args.Get(option), text)) return Usage(std::string(option) + " must be HH:MM:SS");
        CParameter::SetRunOverride(section,
                                   option[2] == 'f' ? "INTERVAL_MEASUREMENT_START_TIME" : "INTERVAL_MEASUREMENT_END_TIME",
                                   text);
    }
    if (ctx.demo && !args.Has("--from") && !args.Has("--to")) {
        // The simulated instrument is there around the clock; so is the demo's window.
        CParameter::SetRunOverride(section, "INTERVAL_MEASUREMENT_START_TIME", "2000/1/1 0:00:00");
        CParameter::SetRunOverride(section, "INTERVAL_MEASUREMENT_END_TIME", "2000/1/1 23:59:59");
    }
    long long count = 0;
    if (args.Has("--count") && (!ParseInt(args.Get("--count"), count) || count < 1))
        return Usage("--count must be a positive number");
    double duration = 0;
    if (args.Has("--duration") && (!ParseDouble(args.Get("--duration"), duration) || !(duration > 0) ||
                                   duration > 1e9))
        return Usage("--duration must be a positive number of seconds");
    if (ctx.demo && args.Has("--port")) return Usage("--port cannot be combined with --demo");
    if (!platform::IsValidUtf8(args.Get("--memo"))) return Usage("--memo must be UTF-8 text");

    CMeasurementPrm settings;
    settings.Load();
    settings.m_Memo = args.Get("--memo");

    QueueSink sink;  // outlives the engine, which posts to it until Stop
    CMeasurement engine;
    std::unique_ptr<CSimulatedInstrument> sim;
    if (ctx.demo) {
        SimOptions options;
        options.realExposures = false;  // the demo answers at once; intervals still keep their grid
        sim = std::make_unique<CSimulatedInstrument>(options);
        if (!sim->Start()) return Fail("Cannot start the simulated instrument: no pseudo-terminal is available.");
        engine.SetPortOverride(sim->SlavePath());
    } else if (args.Has("--port")) {
        engine.SetPortOverride(args.Get("--port"));
    }

    const bool monitor = settings.m_MEASUREMENT_TYPE.Get() == CMeasurement::kMonitor;
    SpectrumQueue spectra;  // outlives the engine too
    metrics::MetricsCalculator calculator;
    if (monitor) engine.SetSpectrumCallback([&spectra](const CSpectrumData& r) { spectra.Push(r); });

    SignalGuard signals;
    if (!engine.Start(settings, sink)) return Fail(engine.GetErrorText());
    if (monitor) {
        std::fputs(("time\tmemo\t" + MetricsHeader() + "\n").c_str(), stdout);
        std::fflush(stdout);
    }

    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long long>(duration * 1000.0));
    bool failed = false;
    long long stored = 0;
    for (bool done = false; !done;) {
        if (g_stopSignal != 0) break;
        if (duration > 0 && std::chrono::steady_clock::now() >= deadline) break;
        QueueSink::Item m{};
        if (!sink.Pop(100, m)) continue;
        if (monitor) {
            CSpectrumData r;
            if (m.message == platform::UM_MONITOR_MEASURED && spectra.Pop(r)) {
                PrintSpectrum(r, calculator);
                if (count > 0 && ++stored >= count) done = true;
            }
            if (m.message == platform::UM_MEASUREMENT_ERROR) failed = done = true;
            if (m.message == platform::UM_MONITOR_FINISHED) done = true;
            continue;
        }
        PrintMessage(m, engine);
        switch (m.message) {
            case platform::UM_MEASUREMENT_ERROR: failed = true; done = true; break;
            case platform::UM_MANUAL_STORED:
            case platform::UM_INTERVAL_FINISHED:
            case platform::UM_TRANSFER_FINISHED: done = true; break;
            case platform::UM_INTERVAL_STORED:
                if (count > 0 && ++stored >= count) done = true;
                break;
            default: break;
        }
    }
    engine.Stop();
    // What the run posted on its way out (an interval run's finish) still belongs to the output.
    for (QueueSink::Item m{}; sink.Pop(0, m);) {
        if (m.message == platform::UM_MEASUREMENT_ERROR) failed = true;
        if (!monitor) {
            PrintMessage(m, engine);
            continue;
        }
        // The spectra measured while the run was asked to stop, unless --count is reached.
        CSpectrumData r;
        if (m.message == platform::UM_MONITOR_MEASURED && (count == 0 || stored < count) && spectra.Pop(r)) {
            PrintSpectrum(r, calculator);
            ++stored;
        }
    }
    if (failed) return Fail(engine.GetErrorText());
    return kExitOk;
}

namespace {
const std::string kMeasureHelp =
    "usage: heliarc-cli [--demo] measure [--type TYPE] [--port PORT]\n"
    "                   [--exposure EXPOSURE] [--from HH:MM:SS --to HH:MM:SS --span SECONDS]\n"
    "                   [--memo TEXT] [--count N] [--duration SECONDS]\n"
    "\n"
    "One measurement run with the settings of the MEASUREMENT section of ./ZQ118.ini, as the\n"
    "program's Start button starts it; every record is stored in the daily data files. Options hold\n"
    "for this run only. A line is printed for each step of the run as it happens; a monitor run\n"
    "prints a table instead: time, memo and the columns of heliarc-cli metrics from ppfd on.\n"
    "\n"
    "  --type TYPE        the kind of run, by number or name (any case):\n" +
    DescribeValues(kTypes) +
    "  --port PORT        usb, COM<n> (COM1 is /dev/ttyS0 unless HELIARC_COM1 names a device) or the\n"
    "                     path of a serial device; not with --demo, which measures on the simulated\n"
    "                     instrument\n"
    "  --exposure EXPOSURE\n"
    "                     the exposure, by number or name (any case):\n" +
    DescribeValues(kExposures) +
    "  --from HH:MM:SS, --to HH:MM:SS\n"
    "                     the daily window of an interval run (local time)\n"
    "  --span SECONDS     the time between two interval measurements\n"
    "  --memo TEXT        the comment stored with each record (UTF-8)\n"
    "  --count N          ends an interval or monitor run after N records\n"
    "  --duration SECONDS ends the run after that time\n"
    "SIGINT and SIGTERM end a run too, always with a clean stop of the instrument. A failed run\n"
    "prints the engine's message on standard error and exits with status 1.\n";

const CommandRegistrar kMeasure(50, "measure", RunMeasure, "one measurement run: manual, interval, transfer or monitor",
                                kMeasureHelp.c_str());
}  // namespace

}  // namespace cli
