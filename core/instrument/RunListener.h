#pragma once
// What a measurement run reports, one call per event, in the order the events happen. Every call
// comes on the engine's worker thread and must return at once: a listener copies what it keeps and
// hands it to its own thread (the GUI queues it to the main dialog, the CLI to its printing loop).
// The names of the original window messages are given where they help to find an event.
#include <cstdint>
#include <string>

#include "core/platform/LocalTime.h"

class CSpectrumData;

// Where a stored record lies: the day file (local midnight of its date) and the record's byte offset.
struct StoredPlace {
    platform::CalTime fileDate = 0;
    int64_t offset = -1;
};

class CRunListener {
public:
    virtual ~CRunListener() = default;

    // An exposure of exposureMs begins, with the shutter closed when dark.
    virtual void OnExposure(int exposureMs, bool dark) = 0;
    // An interval run waits for its next start.
    virtual void OnWaiting(platform::CalTime nextStart) = 0;
    // The wait is over and the measurement begins.
    virtual void OnMeasuring() = 0;
    // The record is in its day file (a manual, interval or transfer run stored it).
    // runEnds: the run (a manual one) has nothing more to report.
    virtual void OnStored(const CSpectrumData& record, const StoredPlace& place, bool runEnds) = 0;
    // An interval or transfer run left its loop.
    virtual void OnFinished() = 0;
    // What went wrong (lines separated by CR LF).
    virtual void OnError(const std::string& text) = 0;
    // Record `number` (from 1) of `count` is being read.
    virtual void OnTransferProgress(int number, int count) = 0;
    // Record `number` stays in the instrument; time as the instrument gave it.
    virtual void OnTransferSkipped(int number, platform::CalTime time, const std::string& why) = 0;
    // A monitor run measured this spectrum (stored nowhere).
    virtual void OnMonitorMeasured(const CSpectrumData& spectrum) = 0;
    // A monitor run left its loop.
    virtual void OnMonitorFinished() = 0;
};
