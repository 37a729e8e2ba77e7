#pragma once
// The open graph windows of one kind. Entries are guarded pointers, so a window that has closed
// (and deleted itself) reads as gone; the list may hold a window twice.
#include <QPointer>
#include <QWidget>
#include <vector>

class CFrameSet {
public:
    void Add(QWidget* window) { windows_.emplace_back(window); }
    // Erases the first entry naming window; a window not in the list is ignored.
    void Remove(const QWidget* window);
    // Erases the first entry whose handle is this value (the lParam of UM_GRAPH_CLOSED).
    void RemoveHandle(int64_t handle);
    bool Any() const { return !windows_.empty(); }
    int Count() const { return static_cast<int>(windows_.size()); }
    // Null when the window has gone or the index is outside the list.
    QWidget* At(int index) const;
    // Sends a close request to each window that still exists, in order, then empties the list.
    void CloseAll();

private:
    std::vector<QPointer<QWidget>> windows_;
};
