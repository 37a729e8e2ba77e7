#pragma once
// The open graph windows of one kind. Entries are guarded pointers, so a window that has closed
// (and deleted itself) reads as gone; the list may hold a window twice.
#include <QPointer>
#include <QWidget>
#include <vector>

class CFrameSet {
public:
    // A top-level window seen for the first time is also moved to the next cascade place, so new
    // graph windows do not cover each other.
    void Add(QWidget* window);
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

    // Where the n-th cascaded window of this size goes in the work area: right of the thumbnail
    // column, one title bar further down and right each time, starting over when it would leave.
    static QPoint CascadePosition(int n, const QSize& size, const QRect& work);

private:
    std::vector<QPointer<QWidget>> windows_;
};
