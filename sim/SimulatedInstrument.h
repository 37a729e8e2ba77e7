#pragma once
// The simulated instrument on a pseudo-terminal: a thread reads commands from the master side and
// answers them through a CSimModel, with the faults seen in the field on request. Clients open
// SlavePath() as a serial port.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimModel.h"
#include "sim/SimRandom.h"

struct SimFault {
    enum Kind { kErr, kDelay, kDrop };
    Kind kind = kErr;
    // The command's name ("CALT") or the whole command without its CR ("CALT,2").
    std::string command;
    int delayMs = 0;  // kDelay
};

struct SimOptions {
    uint64_t seed = 1;
    int storedRecords = 12;
    int fovCode = 0;
    std::vector<SimFault> faults;
    bool splitReplies = false;  // send replies in pieces of odd sizes with short pauses
    int silentAfter = -1;       // answer only the first N commands (-1: all)
    bool paced = false;         // move bytes no faster than 38400 baud 8N1 allows
    bool realExposures = true;  // GM and AM take their exposure time before answering
};

class CSimulatedInstrument {
public:
    static constexpr int kBytesPerSecond = 3840;  // 38400 baud, 10 bits per byte

    explicit CSimulatedInstrument(const SimOptions& options = SimOptions());
    CSimulatedInstrument(const CSimulatedInstrument&) = delete;
    CSimulatedInstrument& operator=(const CSimulatedInstrument&) = delete;
    ~CSimulatedInstrument();

    // Opens the pseudo-terminal and starts answering. False when no pseudo-terminal is available.
    bool Start();
    // Stops answering and closes the pseudo-terminal: for a client, the port has gone away.
    void Stop();
    bool IsRunning() const { return thread_.joinable(); }

    const std::string& SlavePath() const { return slavePath_; }

    // Commands received so far (complete, CR-terminated).
    int CommandCount() const { return commandCount_.load(); }
    // Bytes received and sent so far.
    int64_t BytesIn() const { return bytesIn_.load(); }
    int64_t BytesOut() const { return bytesOut_.load(); }

    // Runs f on the model while the instrument is not answering (safe while running).
    void Edit(const std::function<void(CSimModel&)>& f);
    // Faults can change while running.
    void SetFaults(const std::vector<SimFault>& faults);
    void SetSilentAfter(int commands);

private:
    void Run();
    void Serve(const std::string& command, int64_t firstByteNs);
    bool SendReply(const std::string& reply, int64_t startNs);
    bool WriteAll(const char* data, std::size_t length);
    bool SleepUntilNs(int64_t ns);
    bool SleepMs(int ms);
    bool Stopping();

    SimOptions options_;
    CSimModel model_;
    CSimRandom splitRng_;
    std::mutex mutex_;  // model_, options_.faults, silentAfter
    std::mutex stopMutex_;
    std::condition_variable stopCv_;
    bool stop_ = false;
    std::thread thread_;
    int master_ = -1;
    int slave_ = -1;  // kept open so the master stays usable while no client has the port
    int wake_[2] = {-1, -1};
    std::string slavePath_;
    std::atomic<int> commandCount_{0};
    std::atomic<int64_t> bytesIn_{0};
    std::atomic<int64_t> bytesOut_{0};
};
