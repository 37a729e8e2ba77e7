#include "gui/common/WindowMessage.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace ui {

namespace {
QPointer<QWidget>& MainWindowSlot() {
    static QPointer<QWidget> window;
    return window;
}
}  // namespace

QEvent::Type CWindowMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject* receiver, unsigned message, int64_t wParam, int64_t lParam) {
    if (!receiver) return;
    QCoreApplication::postEvent(receiver, new CWindowMessageEvent(message, wParam, lParam));
}

void PostCommand(QObject* receiver, int commandId) { PostWindowMessage(receiver, kCommandMessage, commandId, 0); }

void SetMainWindow(QWidget* window) { MainWindowSlot() = window; }

QWidget* MainWindow() { return MainWindowSlot().data(); }

void PostToMainWindow(unsigned message, int64_t wParam, int64_t lParam) {
    PostWindowMessage(MainWindow(), message, wParam, lParam);
}

int64_t HandleOf(const QObject* object) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(object)); }

}  // namespace ui
