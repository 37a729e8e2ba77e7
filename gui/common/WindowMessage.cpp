#include "gui/common/WindowMessage.h"

#include <QCoreApplication>

namespace ui {

QEvent::Type CWindowMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject* receiver, unsigned message, int64_t wParam, int64_t lParam) {
    if (!receiver) return;
    QCoreApplication::postEvent(receiver, new CWindowMessageEvent(message, wParam, lParam));
}

void CWindowMessageSink::Post(unsigned message, int64_t wParam, int64_t lParam) {
    std::lock_guard<std::mutex> lock(mutex_);
    PostWindowMessage(receiver_, message, wParam, lParam);
}

void CWindowMessageSink::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    receiver_ = nullptr;
}

}  // namespace ui
