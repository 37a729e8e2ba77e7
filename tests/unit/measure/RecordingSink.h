#pragma once
// A message sink for engine tests: keeps every posted message and lets the test wait for one.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "core/platform/Messages.h"

struct PostedMessage {
    unsigned message;
    int64_t wParam;
    int64_t lParam;
};

class CRecordingSink : public platform::MessageSink {
public:
    void Post(unsigned message, int64_t wParam, int64_t lParam) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            messages_.push_back({message, wParam, lParam});
        }
        cv_.notify_all();
    }

    // Waits until `count` messages of that number have arrived; false on time-out.
    bool WaitFor(unsigned message, int count = 1, int timeoutMs = 20000) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return CountLocked(message) >= count; });
    }
    // Waits for the first of several messages that end a run.
    bool WaitForAny(const std::vector<unsigned>& any, int timeoutMs = 20000) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            for (unsigned m : any)
                if (CountLocked(m) > 0) return true;
            return false;
        });
    }
    int Count(unsigned message) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return CountLocked(message);
    }
    std::vector<PostedMessage> All() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    std::vector<PostedMessage> Only(unsigned message) const {
        std::vector<PostedMessage> out;
        for (const auto& m : All())
            if (m.message == message) out.push_back(m);
        return out;
    }
    std::vector<unsigned> Numbers() const {
        std::vector<unsigned> out;
        for (const auto& m : All()) out.push_back(m.message);
        return out;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.clear();
    }

private:
    int CountLocked(unsigned message) const {
        int n = 0;
        for (const auto& m : messages_) n += m.message == message ? 1 : 0;
        return n;
    }
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<PostedMessage> messages_;
};
