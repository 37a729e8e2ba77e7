#pragma once
// Carries a measurement run's events from the engine's worker to the GUI thread: each call is
// queued to the receiver's thread (never waiting for it) and handed there, in order, to the target
// listener. Events still queued when the receiver is destroyed are dropped by Qt.
#include <mutex>
#include <string>

#include "core/instrument/RunListener.h"

class QObject;

class CQueuedRunListener : public CRunListener {
public:
    // target is called on receiver's thread and must live as long as receiver.
    CQueuedRunListener(QObject* receiver, CRunListener& target) : receiver_(receiver), target_(target) {}
    // Drops every later event; the owner calls it before the receiver goes away.
    void Detach();

    void OnExposure(int exposureMs, bool dark) override;
    void OnWaiting(platform::CalTime nextStart) override;
    void OnMeasuring() override;
    void OnStored(const CSpectrumData& record, const StoredPlace& place, bool runEnds) override;
    void OnFinished() override;
    void OnError(const std::string& text) override;
    void OnTransferProgress(int number, int count) override;
    void OnTransferSkipped(int number, platform::CalTime time, const std::string& why) override;
    void OnMonitorMeasured(const CSpectrumData& spectrum) override;
    void OnMonitorFinished() override;

private:
    template <class Call>
    void Queue(Call call);

    std::mutex mutex_;
    QObject* receiver_;
    CRunListener& target_;
};
