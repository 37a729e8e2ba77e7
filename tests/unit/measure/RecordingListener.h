#pragma once
// A run listener for engine tests: keeps every event with its values, in order, and lets the test
// wait for one.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/instrument/RunListener.h"

enum class Ev { kExposure, kWaiting, kMeasuring, kStored, kFinished, kError, kProgress, kSkipped, kMonitorMeasured, kMonitorFinished };

// The values an event carries; the others stay at their defaults.
struct RunEvent {
    explicit RunEvent(Ev k) : kind(k) {}
    Ev kind;
    int64_t time = 0;  // next start, stored or skipped record, monitor spectrum
    int ms = 0;
    bool dark = false;
    int number = 0;  // transfer progress and skipped record
    int count = 0;
    std::string text;  // error or skip reason
    StoredPlace place;
    bool runEnds = false;
};

class CRecordingListener : public CRunListener {
public:
    void OnExposure(int exposureMs, bool dark) override {
        RunEvent e{Ev::kExposure};
        e.ms = exposureMs;
        e.dark = dark;
        Add(std::move(e));
    }
    void OnWaiting(platform::CalTime next) override {
        RunEvent e{Ev::kWaiting};
        e.time = next;
        Add(std::move(e));
    }
    void OnMeasuring() override { Add(RunEvent{Ev::kMeasuring}); }
    void OnStored(const CSpectrumData& record, const StoredPlace& place, bool runEnds) override {
        RunEvent e{Ev::kStored};
        e.time = record.GetTime();
        e.place = place;
        e.runEnds = runEnds;
        Add(std::move(e));
    }
    void OnFinished() override { Add(RunEvent{Ev::kFinished}); }
    void OnError(const std::string& text) override {
        RunEvent e{Ev::kError};
        e.text = text;
        Add(std::move(e));
    }
    void OnTransferProgress(int number, int count) override {
        RunEvent e{Ev::kProgress};
        e.number = number;
        e.count = count;
        Add(std::move(e));
    }
    void OnTransferSkipped(int number, platform::CalTime time, const std::string& why) override {
        RunEvent e{Ev::kSkipped};
        e.time = time;
        e.number = number;
        e.text = why;
        Add(std::move(e));
    }
    void OnMonitorMeasured(const CSpectrumData& spectrum) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            spectra_.push_back(spectrum);
        }
        RunEvent e{Ev::kMonitorMeasured};
        e.time = spectrum.GetTime();
        Add(std::move(e));
    }
    void OnMonitorFinished() override { Add(RunEvent{Ev::kMonitorFinished}); }

    // Waits until `count` events of that kind have arrived; false on time-out.
    bool WaitFor(Ev kind, int count = 1, int timeoutMs = 20000) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return CountLocked(kind) >= count; });
    }
    // Waits for the first of several events that end a run.
    bool WaitForAny(const std::vector<Ev>& any, int timeoutMs = 20000) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            for (Ev kind : any)
                if (CountLocked(kind) > 0) return true;
            return false;
        });
    }
    int Count(Ev kind) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return CountLocked(kind);
    }
    std::vector<RunEvent> All() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    std::vector<RunEvent> Only(Ev kind) const {
        std::vector<RunEvent> out;
        for (const auto& e : All())
            if (e.kind == kind) out.push_back(e);
        return out;
    }
    std::vector<Ev> Kinds() const {
        std::vector<Ev> out;
        for (const auto& e : All()) out.push_back(e.kind);
        return out;
    }
    // The spectra of a monitor run, as the engine handed them over.
    std::vector<CSpectrumData> Spectra() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return spectra_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
        spectra_.clear();
    }

private:
    void Add(RunEvent e) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            events_.push_back(std::move(e));
        }
        cv_.notify_all();
    }
    int CountLocked(Ev kind) const {
        int n = 0;
        for (const auto& e : events_) n += e.kind == kind ? 1 : 0;
        return n;
    }
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<RunEvent> events_;
    std::vector<CSpectrumData> spectra_;
};
