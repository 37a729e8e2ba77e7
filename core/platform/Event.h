#pragma once
// Auto-reset and manual-reset events on a mutex and a condition variable.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

class Event {
public:
    explicit Event(bool manualReset, bool initiallySet = false)
        : manual_(manualReset), set_(initiallySet) {}

    void Set() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            set_ = true;
        }
        if (manual_) cv_.notify_all(); else cv_.notify_one();
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = false;
    }
    bool IsSet() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return set_;
    }
    // True when the event was set within timeoutMs (negative: wait without limit). An auto-reset
    // event is cleared by the wait that sees it.
    bool Wait(long long timeoutMs) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (timeoutMs < 0) {
            cv_.wait(lock, [this] { return set_; });
        } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return set_; })) {
            return false;
        }
        if (!manual_) set_ = false;
        return true;
    }

private:
    const bool manual_;
    bool set_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
};

}  // namespace platform
