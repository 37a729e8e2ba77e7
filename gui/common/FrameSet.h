#pragma once
// The open graph windows of one kind. Entries are guarded pointers, so a window that has gone reads
// as gone; a graph frame also leaves the set when it closes. The set passes on what its frames ask
// of the main dialog, so the dialog connects to six sets instead of every window.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class CFrameSet : public QObject {
    Q_OBJECT

public:
    // A top-level window seen for the first time is also moved to the next cascade place, so new
    // graph windows do not cover each other. Adding a window already in the set does nothing.
    void Add(QWidget* window);
    // A window not in the set is ignored.
    void Remove(const QWidget* window);
    bool Any() const { return Count() > 0; }
    // The windows that still exist.
    int Count() const;
    // Null when the index is outside the windows that still exist.
    QWidget* At(int index) const;
    // Sends a close request to each window that still exists, in order, then empties the set.
    void CloseAll();

    // Where the n-th cascaded window of this size goes in the work area: right of the thumbnail
    // column, one title bar further down and right each time, starting over when it would leave.
    static QPoint CascadePosition(int n, const QSize& size, const QRect& work);

signals:
    // A frame of the set shows a modal dialog or message box, and has closed it again.
    void modalOpened();
    void modalClosed();
    // A frame asks for the record before or after the one it shows (taken at shownTime).
    void previousRequested(QWidget* frame, qint64 shownTime);
    void nextRequested(QWidget* frame, qint64 shownTime);

private:
    void Prune() const;
    mutable std::vector<QPointer<QWidget>> windows_;
};
