#include "gui/common/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace {

QRect AvailableFor(const QRect& frame) {
    QScreen* best = QGuiApplication::screenAt(frame.center());
    if (!best) best = QGuiApplication::primaryScreen();
    return best ? best->availableGeometry() : QRect(0, 0, 1280, 800);
}

void Apply(QWidget* window, const QRect& frame) {
    const QMargins m = FrameMargins(window);
    const QRect fitted = FitInside(frame, AvailableFor(frame));
    const QRect client = fitted.marginsRemoved(m);
    window->setGeometry(client.x(), client.y(), std::max(window->minimumWidth(), client.width()),
                        std::max(window->minimumHeight(), client.height()));
}

// Fits the window again when the window manager first reports its frame, then removes itself.
class Refitter : public QObject {
public:
    explicit Refitter(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || (event->type() != QEvent::Move && event->type() != QEvent::Show))
            return false;
        if (!window_->isVisible() || window_->frameGeometry() == window_->geometry()) return false;
        const QRect frame = window_->frameGeometry();
        if (FitInside(frame, AvailableFor(frame)) != frame) Apply(window_, frame);
        deleteLater();
        window_->removeEventFilter(this);
        return false;
    }

private:
    QPointer<QWidget> window_;
};

}  // namespace

QRect FitInside(const QRect& frame, const QRect& area) {
    const int w = std::min(frame.width(), area.width());
    const int h = std::min(frame.height(), area.height());
    const int x = std::clamp(frame.x(), area.left(), area.right() + 1 - w);
    const int y = std::clamp(frame.y(), area.top(), area.bottom() + 1 - h);
    return {x, y, w, h};
}

QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry(), client = window->geometry();
    if (window->isVisible() && frame != client)
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    const QStyle* style = window->style() ? window->style() : QApplication::style();
    const int title = style ? style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) : 24;
    constexpr int kBorder = 4;
    return {kBorder, std::max(title, 24) + kBorder, kBorder, kBorder};
}

void PlaceWindow(QWidget* window, const QRect& frame) {
    if (!window) return;
    Apply(window, frame);
    if (!window->findChild<Refitter*>(QString(), Qt::FindDirectChildrenOnly)) new Refitter(window);
}

void KeepOnScreen(QWidget* window) {
    if (!window) return;
    const QRect frame = window->geometry().marginsAdded(FrameMargins(window));
    PlaceWindow(window, frame);
}
