#pragma once
// What the main dialog needs of a measurement engine. The program runs the real one
// (CMeasurementRunEngine over CMeasurement); tests may drive the dialog with their own.
#include <functional>
#include <string>


class CMeasurementPrm;
class CRunListener;

class CRunEngine {
public:
    virtual ~CRunEngine() = default;

    // Starts a run with these settings (the memo included); false with the reason in GetErrorText.
    virtual bool Start(const CMeasurementPrm& settings) = 0;
    // Ends the run and waits for its worker; harmless when there is none.
    virtual void Stop() = 0;
    // From a successful Start until Stop, also after the worker has finished by itself.
    virtual bool IsMeasuring() const = 0;
    virtual std::string GetErrorText() const = 0;

    // Where the worker reports its events, on its own thread (kept until replaced; null drops them).
    virtual void SetListener(CRunListener* listener) = 0;
    // Called (on the worker) when a stored measurement's finish sound is due.
    virtual void SetSoundCallback(std::function<void()> play) = 0;
    // A port given for this run of the program ("usb", "COM<n>" or a device path); empty: the settings' port.
    virtual void SetPortOverride(const std::string& port) = 0;
};
