#pragma once
// The program's engine: CMeasurement behind the dialog's CRunEngine.
#include <memory>

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
    void SetMessageSink(platform::MessageSink* sink) override;
    void SetSoundCallback(std::function<void()> play) override;
    void SetPortOverride(const std::string& port) override;

    CMeasurement& Measurement() { return *measurement_; }

private:
    // Messages of a run go here, and on to the sink set last (none: dropped).
    class Relay : public platform::MessageSink {
    public:
        void Post(unsigned message, int64_t wParam, int64_t lParam) override {
            if (target) target->Post(message, wParam, lParam);
        }
        platform::MessageSink* target = nullptr;
    };

    Relay relay_;
    std::unique_ptr<CMeasurement> measurement_;
};
