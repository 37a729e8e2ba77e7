// zq118-sim: the simulated instrument on a pseudo-terminal. Prints the terminal's path (use it as
// the serial port) and answers until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <pthread.h>

#include "sim/SimulatedInstrument.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: zq118-sim [--seed N] [--records N] [--fov 0..3] [--err CMD] [--drop CMD]\n"
                 "                 [--delay CMD:MS] [--split] [--silent-after N] [--paced] [--fast]\n"
                 "  CMD is a command name (CALT) or a whole command without CR (CALT,2).\n"
                 "  --fast answers GM and AM without waiting for the exposure.\n");
}

bool ToLong(const char* text, long lo, long hi, long& out) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        long n = 0;
        if (a == "--split") options.splitReplies = true;
        else if (a == "--paced") options.paced = true;
        else if (a == "--fast") options.realExposures = false;
        else if (a == "--seed" || a == "--records" || a == "--fov" || a == "--silent-after") {
            const char* v = value();
            long hi = a == "--seed" ? 0x7FFFFFFFL : (a == "--records" ? 799 : (a == "--fov" ? 3 : 1000000000L));
            if (v == nullptr || !ToLong(v, 0, hi, n)) {
                Usage();
                return 2;
            }
            if (a == "--seed") options.seed = static_cast<uint64_t>(n);
            else if (a == "--records") options.storedRecords = static_cast<int>(n);
            else if (a == "--fov") options.fovCode = static_cast<int>(n);
            else options.silentAfter = static_cast<int>(n);
        } else if (a == "--err" || a == "--drop") {
            const char* v = value();
            if (v == nullptr || *v == '\0') {
                Usage();
                return 2;
            }
            options.faults.push_back({a == "--err" ? SimFault::kErr : SimFault::kDrop, v, 0});
        } else if (a == "--delay") {
            const char* v = value();
            const char* colon = v != nullptr ? std::strrchr(v, ':') : nullptr;
            if (colon == nullptr || colon == v || !ToLong(colon + 1, 0, 600000, n)) {
                Usage();
                return 2;
            }
            options.faults.push_back({SimFault::kDelay, std::string(v, colon), static_cast<int>(n)});
        } else {
            Usage();
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }

    // Signals are taken by sigwait below, never by the answering thread.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    CSimulatedInstrument instrument(options);
    if (!instrument.Start()) {
        std::fprintf(stderr, "zq118-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", instrument.SlavePath().c_str());
    std::fflush(stdout);

    int sig = 0;
    sigwait(&set, &sig);
    instrument.Stop();
    return 0;
}
