#include "ui/FrameSet.h"

#include <algorithm>

#include "ui/WindowMessage.h"

void CFrameSet::Remove(const QWidget* window) {
    auto it = std::find_if(windows_.begin(), windows_.end(), [&](const QPointer<QWidget>& p) { return p.data() == window; });
    if (it != windows_.end()) windows_.erase(it);
}

void CFrameSet::RemoveHandle(int64_t handle) {
    // A window that deleted itself after posting reads as null here; its entry is the first null one.
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&](const QPointer<QWidget>& p) { return p && ui::HandleOf(p.data()) == handle; });
    if (it == windows_.end())
        it = std::find_if(windows_.begin(), windows_.end(), [](const QPointer<QWidget>& p) { return p.isNull(); });
    if (it != windows_.end()) windows_.erase(it);
}

QWidget* CFrameSet::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return windows_[static_cast<std::size_t>(index)].data();
}

void CFrameSet::CloseAll() {
    // Closing one window may close or delete another; walk a copy of the guarded pointers.
    std::vector<QPointer<QWidget>> copy = windows_;
    for (auto& p : copy)
        if (p) p->close();
    windows_.clear();
}
