#pragma once
// Private window messages, numbered from WM_USER as the program always has, and the sink that
// carries them from a sender (often the measurement worker) to a receiving window.
#include <cstdint>

namespace platform {

constexpr unsigned WM_USER = 0x400;

constexpr unsigned UM_GRAPH_CLOSED = WM_USER + 10;
constexpr unsigned UM_SHOW_PREVIOUS = WM_USER + 11;
constexpr unsigned UM_SHOW_NEXT = WM_USER + 12;
constexpr unsigned UM_STANDARD_CHANGED = WM_USER + 13;
constexpr unsigned UM_SELECTION_CHANGED = WM_USER + 14;
constexpr unsigned UM_DATASET_CHANGED = WM_USER + 15;
constexpr unsigned UM_MEASUREMENT_ERROR = WM_USER + 16;
constexpr unsigned UM_INTERVAL_WAITING = WM_USER + 17;
constexpr unsigned UM_INTERVAL_MEASURING = WM_USER + 18;
constexpr unsigned UM_INTERVAL_STORED = WM_USER + 19;
constexpr unsigned UM_INTERVAL_FINISHED = WM_USER + 20;
constexpr unsigned UM_MANUAL_STORED = WM_USER + 21;
constexpr unsigned UM_TRANSFER_FINISHED = WM_USER + 22;
constexpr unsigned UM_MODAL_OPENED = WM_USER + 23;
constexpr unsigned UM_MODAL_CLOSED = WM_USER + 24;
constexpr unsigned UM_ENSURE_VISIBLE = WM_USER + 26;
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
