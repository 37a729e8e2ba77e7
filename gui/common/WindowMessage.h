#pragma once
// The measurement engine's messages on Qt: a message is a custom QEvent posted to the receiving
// window, so it is delivered on that window's thread, in posting order, and posting never blocks.
#include <QEvent>
#include <cstdint>
#include <mutex>

#include "core/platform/Messages.h"

class QObject;

namespace ui {

class CWindowMessageEvent : public QEvent {
public:
    CWindowMessageEvent(unsigned message, int64_t wParam, int64_t lParam)
        : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(lParam) {}
    static QEvent::Type EventType();

    unsigned Message() const { return message_; }
    int64_t WParam() const { return wParam_; }
    int64_t LParam() const { return lParam_; }

private:
    unsigned message_;
    int64_t wParam_;
    int64_t lParam_;
};

// Thread-safe. A null receiver drops the message; events still queued when the receiver is
// destroyed are dropped by Qt.
void PostWindowMessage(QObject* receiver, unsigned message, int64_t wParam = 0, int64_t lParam = 0);

// The sink handed to the measurement engine: posts to one receiver from any thread. Detach before
// the receiver goes away (the owner does it in its destructor).
class CWindowMessageSink : public platform::MessageSink {
public:
    explicit CWindowMessageSink(QObject* receiver) : receiver_(receiver) {}
    void Post(unsigned message, int64_t wParam, int64_t lParam) override;
    void Detach();

private:
    std::mutex mutex_;
    QObject* receiver_;
};

}  // namespace ui
