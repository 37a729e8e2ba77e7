#include "gui/shell/MeasurementRunEngine.h"

#include "core/instrument/Measurement.h"

CMeasurementRunEngine::CMeasurementRunEngine() : measurement_(std::make_unique<CMeasurement>()) {}

// The engine stops its run before the relay it reports to goes away.
CMeasurementRunEngine::~CMeasurementRunEngine() { measurement_.reset(); }

bool CMeasurementRunEngine::Start(const CMeasurementPrm& settings) { return measurement_->Start(settings, relay_); }

void CMeasurementRunEngine::Stop() { measurement_->Stop(); }

bool CMeasurementRunEngine::IsMeasuring() const { return measurement_->IsMeasuring(); }

std::string CMeasurementRunEngine::GetErrorText() const { return measurement_->GetErrorText(); }

// Only while no worker runs (the dialog sets it once, before the first start, and clears it after the last stop).
void CMeasurementRunEngine::SetListener(CRunListener* listener) { relay_.target = listener; }

void CMeasurementRunEngine::SetSoundCallback(std::function<void()> play) { measurement_->SetSoundCallback(std::move(play)); }

void CMeasurementRunEngine::SetPortOverride(const std::string& port) { measurement_->SetPortOverride(port); }
