#pragma once
// Private window messages on Qt: a message is a custom QEvent posted to the receiving window, so it
// is delivered on that window's thread, in posting order, and posting never blocks. Commands that a
// window posts to itself "as if a button had been pressed" travel the same way as kCommandMessage.
#include <QEvent>
#include <QPointer>
#include <cstdint>

#include "core/platform/Messages.h"

class QObject;
class QWidget;

namespace ui {

// WM_COMMAND: wParam is the command id (1012 "Retrieval", 32777 "Measured data plot", ...).
constexpr unsigned kCommandMessage = 0x0111;

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
void PostCommand(QObject* receiver, int commandId);

// The window that the graph windows and the thumbnails post to; set by the application.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();
void PostToMainWindow(unsigned message, int64_t wParam = 0, int64_t lParam = 0);

// A window handle in a message parameter (UM_GRAPH_CLOSED's lParam, UM_SHOW_NEXT's view).
int64_t HandleOf(const QObject* object);

}  // namespace ui
