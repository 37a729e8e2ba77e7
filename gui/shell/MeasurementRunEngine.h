#pragma once
// The program's engine: CMeasurement behind the dialog's CRunEngine.
#include <memory>

#include "core/instrument/RunListener.h"
#include "gui/shell/RunEngine.h"

class CMeasurement;

class CMeasurementRunEngine : public CRunEngine {
public:
    CMeasurementRunEngine();
    ~CMeasurementRunEngine() override;

    bool Start(const CMeasurementPrm& settings) override;
    void Stop() override;
    bool IsMeasuring() const override;
    std::string GetErrorText() const override;
    void SetListener(CRunListener* listener) override;
    void SetSoundCallback(std::function<void()> play) override;
    void SetPortOverride(const std::string& port) override;

    CMeasurement& Measurement() { return *measurement_; }

private:
    // Events of a run go here, and on to the listener set last (none: dropped).
    class Relay : public CRunListener {
    public:
        void OnExposure(int exposureMs, bool dark) override {
            if (target) target->OnExposure(exposureMs, dark);
        }
        void OnWaiting(platform::CalTime nextStart) override {
            if (target) target->OnWaiting(nextStart);
        }
        void OnMeasuring() override {
            if (target) target->OnMeasuring();
        }
        void OnStored(const CSpectrumData& record, const StoredPlace& place, bool runEnds) override {
            if (target) target->OnStored(record, place, runEnds);
        }
        void OnFinished() override {
            if (target) target->OnFinished();
        }
        void OnError(const std::string& text) override {
            if (target) target->OnError(text);
        }
        void OnTransferProgress(int number, int count) override {
            if (target) target->OnTransferProgress(number, count);
        }
        void OnTransferSkipped(int number, platform::CalTime time, const std::string& why) override {
            if (target) target->OnTransferSkipped(number, time, why);
        }
        void OnMonitorMeasured(const CSpectrumData& spectrum) override {
            if (target) target->OnMonitorMeasured(spectrum);
        }
        void OnMonitorFinished() override {
            if (target) target->OnMonitorFinished();
        }
        CRunListener* target = nullptr;
    };

    Relay relay_;
    std::unique_ptr<CMeasurement> measurement_;
};
