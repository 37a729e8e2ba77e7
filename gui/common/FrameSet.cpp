#include "gui/common/FrameSet.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "gui/common/GraphFrame.h"
#include "gui/common/WindowPlacement.h"

namespace {
constexpr int kCascadeStep = 28;
constexpr int kThumbnailColumn = 170;  // the thumbnail frames are 160 wide at the left edge
int g_cascaded = 0;
}  // namespace

QPoint CFrameSet::CascadePosition(int n, const QSize& size, const QRect& work) {
    const QPoint origin(work.left() + std::min(kThumbnailColumn, std::max(0, work.width() - size.width())),
                        work.top());
    const int across = (work.right() + 1 - origin.x() - size.width()) / kCascadeStep;
    const int down = (work.bottom() + 1 - origin.y() - size.height()) / kCascadeStep;
    const int places = std::max(1, std::min(across, down) + 1);
    const int k = n % places;
    return origin + QPoint(k * kCascadeStep, k * kCascadeStep);
}

void CFrameSet::Prune() const {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](const QPointer<QWidget>& p) { return p.isNull(); }),
                   windows_.end());
}

void CFrameSet::Add(QWidget* window) {
    Prune();
    if (!window || std::find(windows_.begin(), windows_.end(), window) != windows_.end()) return;
    windows_.emplace_back(window);
    if (auto* frame = qobject_cast<CGraphFrame*>(window)) {
        connect(frame, &CGraphFrame::closed, this, [this, frame] { Remove(frame); });
        connect(frame, &CGraphFrame::modalOpened, this, &CFrameSet::modalOpened);
        connect(frame, &CGraphFrame::modalClosed, this, &CFrameSet::modalClosed);
        connect(frame, &CGraphFrame::previousRequested, this,
                [this, frame](qint64 shownTime) { emit previousRequested(frame, shownTime); });
        connect(frame, &CGraphFrame::nextRequested, this,
                [this, frame](qint64 shownTime) { emit nextRequested(frame, shownTime); });
    }
    if (!window->isWindow() || window->property("heliarcCascaded").toBool()) return;
    window->setProperty("heliarcCascaded", true);
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize frame = window->geometry().marginsAdded(FrameMargins(window)).size();
    PlaceWindow(window, QRect(CascadePosition(g_cascaded++, frame, work), frame));
}

void CFrameSet::Remove(const QWidget* window) {
    auto it = std::find_if(windows_.begin(), windows_.end(), [&](const QPointer<QWidget>& p) { return p.data() == window; });
    if (it == windows_.end()) return;
    if (*it) disconnect(it->data(), nullptr, this, nullptr);
    windows_.erase(it);
    Prune();
}

int CFrameSet::Count() const {
    Prune();
    return static_cast<int>(windows_.size());
}

QWidget* CFrameSet::At(int index) const {
    Prune();
    if (index < 0 || index >= static_cast<int>(windows_.size())) return nullptr;
    return windows_[static_cast<std::size_t>(index)].data();
}

void CFrameSet::CloseAll() {
    // Closing one window may close or delete another; walk a copy of the guarded pointers.
    std::vector<QPointer<QWidget>> copy = windows_;
    for (auto& p : copy)
        if (p) p->close();
    windows_.clear();
}
