#pragma once
// The measurement engine: runs one measurement run (manual, interval or data transfer) on a worker
// thread against the instrument and reports progress only through its CRunListener. A monitor run
// measures continuously and hands each spectrum to the listener, storing nothing.
//
// User-interface thread: Start, Stop, IsMeasuring, GetErrorText and the Set* configuration calls
// (only while no run exists). Worker thread: everything else. The listener and the sound callback
// are called from the worker; both must stay usable until Stop has returned, after which the engine
// calls neither.
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/config/ExportPrm.h"
#include "core/config/GeneralPrm.h"
#include "core/config/MeasurementPrm.h"
#include "core/data/SpectrumData.h"
#include "core/instrument/InstrumentLink.h"
#include "core/instrument/InstrumentProtocol.h"
#include "core/instrument/RunListener.h"
#include "core/platform/Event.h"
#include "core/platform/LocalTime.h"

class CMeasurement {
public:
    enum Type { kManual = 0, kInterval = 1, kTransfer = 2, kMonitor = 3 };
    static constexpr int kExposureCount = 11;  // EXPOSED_TIME 0 auto, 1..9 fixed, 10 overlap
    static constexpr int kOverlapIndex = 10;
    static constexpr int kStartSlackMs = 10;  // the wait ends this long after the grid point

    // Plays the finish sound; called on the worker thread, so it must hand the work over to its
    // own thread (the GUI posts to a QSoundEffect) and return at once.
    using SoundCallback = std::function<void()>;
    // Replaces OpenPort: returns the open transport the run should use (tests, benchmarks); null
    // fails the start as a port that cannot be opened.
    using TransportFactory = std::function<std::unique_ptr<CTransport>()>;

    CMeasurement();
    CMeasurement(const CMeasurement&) = delete;
    CMeasurement& operator=(const CMeasurement&) = delete;
    virtual ~CMeasurement();  // stops a run that still exists

    // Starts a run of settings.m_MEASUREMENT_TYPE, reporting to listener. False when it could not start:
    // GetErrorText() says why and nothing is left open. A finished run that was not stopped yet is
    // stopped first.
    bool Start(const CMeasurementPrm& settings, CRunListener& listener);
    // Ends the run: a running interval run at its next wait, manual and transfer runs after they
    // finish. Waits without limit for the worker, then closes the port. Harmless without a run.
    // Called on the worker (from inside a listener) it only asks the run to end.
    void Stop();
    // From a successful Start until Stop, also after the worker's procedure has returned.
    bool IsMeasuring() const { return worker_.joinable(); }
    std::string GetErrorText() const;

    void SetSoundCallback(SoundCallback callback) { sound_ = std::move(callback); }
    // "usb", "COM<n>" or a device path that wins over PORT_TYPE/RS232C_PORT; empty removes it.
    void SetPortOverride(const std::string& port) { link_.SetPortOverride(port); }
    void SetTransportFactory(TransportFactory factory) { transportFactory_ = std::move(factory); }

    // The record every measurement fills. Only meaningful while no worker runs.
    const CSpectrumData& CurrentRecord() const { return record_; }

    // Exposure in ms of EXPOSED_TIME 1..9; 0 for any other index.
    static int FixedExposureMs(int index);
    // EXPOSED_TIME as measured: values outside 0..10 mean automatic exposure.
    static int EffectiveExposureIndex(int index);

    static constexpr platform::CalTime kNoStart = INT64_MIN;  // no start measured yet in this run

    // Next interval start (seconds since 1970, a grid point counted from local midnight that lies
    // inside the daily window and after `after`) and the wait to it in ms (+10 ms), at nowMs.
    // Today's start is due at once while the clock still reads it; any other grid point only once
    // the clock has passed it. False when the span is not positive, the window holds no grid point
    // or the calendar cannot place the times.
    static bool ComputeNextIntervalStart(const CMeasurementPrm& settings, int64_t nowMs, platform::CalTime after,
                                         platform::CalTime& next, int64_t& waitMs);
    static bool ComputeNextIntervalStart(const CMeasurementPrm& settings, int64_t nowMs, platform::CalTime& next,
                                         int64_t& waitMs) {
        return ComputeNextIntervalStart(settings, nowMs, kNoStart, next, waitMs);
    }
    // The next start as the waiting status shows it: the time, with the date in front when the
    // start is not on the local date of now. Ends in a blank.
    static std::string NextStartText(platform::CalTime next, platform::CalTime now);
    // Stored path of the run-time CSV of a record time under folder.
    static std::string RunTimeLogPath(const std::string& folder, platform::CalTime t);

    // Worker-side operations (public for tests that drive them directly without a run).
    bool MeasureOnce();
    bool MeasureFixed(int exposureMs);
    bool MeasureOverlap();
    // Next start after `after` (the last start measured in this run, kNoStart before the first).
    bool NextIntervalStart(platform::CalTime after, platform::CalTime& next, int64_t& waitMs) const;
    bool WriteRunTimeLog();

private:
    void RunManual();
    void RunInterval();
    void RunTransfer();
    void RunMonitor();
    bool EnsureInstrumentInfo();
    void KeepRunMemo();
    // Appends the current record to its daily file; a failed append leaves no partial record.
    bool StoreRecord(StoredPlace* place = nullptr);
    // Tells the listener the run's error text (set before).
    void ReportError();
    void PlaySound();
    void SetError(const std::string& text);
    void TakeProtocolError();
    // One exposure of e ms with the shutter as it is: OnExposure, GM, RB.
    bool Expose(int exposureMs, bool dark, std::array<int16_t, CInstrumentProtocol::kPixels>& words);
    bool Fail(const std::string& text);
    bool OpenLink();
    void ReleaseRun();

    CMeasurementPrm settings_;
    CExportPrm export_;
    CGeneralPrm general_;
    std::optional<CSpectrumData> standard_;  // newest standard history record at Start

    CInstrumentLink link_;
    CInstrumentProtocol protocol_;
    std::unique_ptr<platform::Event> stopEvent_;
    std::thread worker_;
    CRunListener* listener_ = nullptr;
    SoundCallback sound_;
    TransportFactory transportFactory_;

    CSpectrumData record_;
    mutable std::mutex errorMutex_;
    std::string errorText_;
};
