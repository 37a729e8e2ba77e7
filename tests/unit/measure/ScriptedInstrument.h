#pragma once
// An in-memory instrument for engine unit tests: answers the command set at once, with pixel
// words chosen by the test per exposure, shutter state and repeat, and logs every command.
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/instrument/Transport.h"

struct ScriptState {
    std::mutex mutex;
    std::vector<std::string> commands;  // as written, CR included
    // words(exposureMs, open, repeat): repeat counts the GMs of that exposure and shutter state.
    std::function<std::array<int16_t, 256>(int, bool, int)> words;
    int autoExposureMs = 100;                  // what AM chooses
    std::array<int16_t, 256> autoWords{};      // what AM measures
    std::string refuse;                        // command (without CR) answered with ERR
    bool open = true;

    std::vector<std::string> Commands() {
        std::lock_guard<std::mutex> lock(mutex);
        return commands;
    }
};

class CScriptedInstrument : public CTransport {
public:
    explicit CScriptedInstrument(std::shared_ptr<ScriptState> state) : state_(std::move(state)) {}

    bool IsOpen() const override { return open_; }
    int ChunkSize() const override { return 64; }
    bool Write(const uint8_t* data, std::size_t length) override {
        std::string command(reinterpret_cast<const char*>(data), length);
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->commands.push_back(command);
        if (!command.empty() && command.back() == '\r') command.pop_back();
        Answer(command);
        return true;
    }
    int Read(uint8_t* buffer, int, bool) override {
        if (pending_.empty()) return 0;
        std::size_t n = std::min<std::size_t>(64, pending_.size());
        for (std::size_t i = 0; i < n; ++i) buffer[i] = static_cast<uint8_t>(pending_[i]);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<int>(n);
    }
    void Close() override { open_ = false; }

private:
    void Text(const std::string& s) { Queue(s + "\rOK\r"); }
    void Queue(const std::string& s) { pending_.insert(pending_.end(), s.begin(), s.end()); }
    void Answer(const std::string& c) {
        if (c == state_->refuse) return Queue("ERR\r");
        if (c == "ID" || c == "SER" || c == "ST" || c == "FV" || c == "FT") return Text("T" + c);
        if (c.size() == 2 && c[0] == 'C' && c[1] >= '0' && c[1] <= '4') return Text(c[1] == '0' ? "300" : c[1] == '1' ? "3" : "0");
        if (c.rfind("CALT,", 0) == 0) {
            std::string t;
            for (int i = 0; i < 256; ++i) t += std::to_string(c.back() - '0' + 1) + ",";
            return Text(t);
        }
        if (c == "OP") { state_->open = true; return Queue("OK\r"); }
        if (c == "CL") { state_->open = false; return Queue("OK\r"); }
        if (c.rfind("DPM,799,", 0) == 0) {
            switch (c.back()) {
                case '0': return Text("LIVE");
                case '2': return Text(std::to_string(lastAuto_ ? state_->autoExposureMs : 0));
                case '3': return Text("21.5");
                case '7': return Text("1");
                case '8': return Text("1");
                default: return Text("0");
            }
        }
        if (c.rfind("GM,", 0) == 0) {
            int e = std::atoi(c.c_str() + 3);
            int& n = repeats_[{e, state_->open}];
            last_ = state_->words ? state_->words(e, state_->open, n) : std::array<int16_t, 256>{};
            ++n;
            lastAuto_ = false;
            return Queue("OK\r");
        }
        if (c == "AM,799") {
            last_ = state_->autoWords;
            lastAuto_ = true;
            return Queue("OK\r");
        }
        if (c == "RB,799") {
            std::string b;
            for (int16_t w : last_) {
                b.push_back(static_cast<char>(static_cast<uint16_t>(w) & 0xFF));
                b.push_back(static_cast<char>(static_cast<uint16_t>(w) >> 8));
            }
            return Queue(b + "OK\r");
        }
        Queue("ERR\r");
    }

    std::shared_ptr<ScriptState> state_;
    std::deque<char> pending_;
    std::array<int16_t, 256> last_{};
    bool lastAuto_ = true;
    std::map<std::pair<int, bool>, int> repeats_;
    bool open_ = true;
};
