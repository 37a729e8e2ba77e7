#pragma once
// A serial link to the simulated instrument that keeps a log of every command with the time it
// left and the bytes of its reply, so tests can recompute what the engine should have stored.
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/instrument/SerialTransport.h"
#include "core/instrument/Transport.h"
#include "core/platform/LocalTime.h"

struct TapEntry {
    std::string command;  // CR included
    int64_t sentMs = 0;   // platform::NowMilliseconds() when the write began
    std::string reply;
};

class CTapLog {
public:
    void Sent(const std::string& command) {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back({command, platform::NowMilliseconds(), {}});
    }
    void Received(const uint8_t* data, int n) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!entries_.empty()) entries_.back().reply.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(n));
    }
    std::vector<TapEntry> Entries() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<TapEntry> entries_;
};

class CTapTransport : public CTransport {
public:
    CTapTransport(const std::string& path, std::shared_ptr<CTapLog> log) : log_(std::move(log)) { inner_.Open(path); }

    bool IsOpen() const override { return inner_.IsOpen(); }
    int ChunkSize() const override { return inner_.ChunkSize(); }
    bool Write(const uint8_t* data, std::size_t length) override {
        log_->Sent(std::string(reinterpret_cast<const char*>(data), length));
        return inner_.Write(data, length);
    }
    int Read(uint8_t* buffer, int timeoutMs, bool binary) override {
        int n = inner_.Read(buffer, timeoutMs, binary);
        if (n > 0) log_->Received(buffer, n);
        return n;
    }
    void Purge() override { inner_.Purge(); }
    void DiscardInput() override { inner_.DiscardInput(); }
    void Close() override { inner_.Close(); }

private:
    CSerialTransport inner_;
    std::shared_ptr<CTapLog> log_;
};

// The 256 pixel words of an "RB" reply.
inline std::vector<int> PixelWords(const std::string& reply) {
    std::vector<int> w;
    for (std::size_t p = 0; p < 256 && 2 * p + 1 < reply.size(); ++p) {
        auto lo = static_cast<uint8_t>(reply[2 * p]);
        auto hi = static_cast<uint8_t>(reply[2 * p + 1]);
        w.push_back(static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8))));
    }
    return w;
}
