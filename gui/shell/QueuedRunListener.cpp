#include "gui/shell/QueuedRunListener.h"

#include <QMetaObject>
#include <QObject>

#include "core/data/SpectrumData.h"

template <class Call>
void CQueuedRunListener::Queue(Call call) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (receiver_ == nullptr) return;
    CRunListener* target = &target_;
    QMetaObject::invokeMethod(receiver_, [target, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
}

void CQueuedRunListener::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    receiver_ = nullptr;
}

void CQueuedRunListener::OnExposure(int exposureMs, bool dark) {
    Queue([=](CRunListener& l) { l.OnExposure(exposureMs, dark); });
}

void CQueuedRunListener::OnWaiting(platform::CalTime nextStart) {
    Queue([=](CRunListener& l) { l.OnWaiting(nextStart); });
}

void CQueuedRunListener::OnMeasuring() {
    Queue([](CRunListener& l) { l.OnMeasuring(); });
}

void CQueuedRunListener::OnStored(const CSpectrumData& record, const StoredPlace& place, bool runEnds) {
    Queue([record, place, runEnds](CRunListener& l) { l.OnStored(record, place, runEnds); });
}

void CQueuedRunListener::OnFinished() {
    Queue([](CRunListener& l) { l.OnFinished(); });
}

void CQueuedRunListener::OnError(const std::string& text) {
    Queue([text](CRunListener& l) { l.OnError(text); });
}

void CQueuedRunListener::OnTransferProgress(int number, int count) {
    Queue([=](CRunListener& l) { l.OnTransferProgress(number, count); });
}

void CQueuedRunListener::OnTransferSkipped(int number, platform::CalTime time, const std::string& why) {
    Queue([number, time, why](CRunListener& l) { l.OnTransferSkipped(number, time, why); });
}

void CQueuedRunListener::OnMonitorMeasured(const CSpectrumData& spectrum) {
    Queue([spectrum](CRunListener& l) { l.OnMonitorMeasured(spectrum); });
}

void CQueuedRunListener::OnMonitorFinished() {
    Queue([](CRunListener& l) { l.OnMonitorFinished(); });
}
