#pragma once
// The measurement engine's private window messages, numbered from WM_USER as the program always
// has, and the sink that carries them from the worker to a receiver. The windows talk to each other
// by Qt signals instead.
#include <cstdint>

namespace platform {

constexpr unsigned WM_USER = 0x400;

constexpr unsigned UM_MEASUREMENT_ERROR = WM_USER + 16;
constexpr unsigned UM_INTERVAL_WAITING = WM_USER + 17;
constexpr unsigned UM_INTERVAL_MEASURING = WM_USER + 18;
constexpr unsigned UM_INTERVAL_STORED = WM_USER + 19;
constexpr unsigned UM_INTERVAL_FINISHED = WM_USER + 20;
constexpr unsigned UM_MANUAL_STORED = WM_USER + 21;
constexpr unsigned UM_TRANSFER_FINISHED = WM_USER + 22;
constexpr unsigned UM_TRANSFER_PROGRESS = WM_USER + 27;
constexpr unsigned UM_EXPOSURE = WM_USER + 28;
// A record of a data transfer was not copied: its number from 1, its time as the instrument gave it.
constexpr unsigned UM_TRANSFER_SKIPPED = WM_USER + 29;
// A monitor run measured a spectrum (handed to the engine's spectrum callback first; wParam its
// time), and a monitor run left its loop.
constexpr unsigned UM_MONITOR_MEASURED = WM_USER + 30;
constexpr unsigned UM_MONITOR_FINISHED = WM_USER + 31;

// Name of a UM_* message ("UM_MANUAL_STORED"), or "" for another number.
const char* MessageName(unsigned message);

// Posting never blocks and is safe from any thread; the receiver runs on its own thread.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Post(unsigned message, int64_t wParam, int64_t lParam) = 0;
};

}  // namespace platform
