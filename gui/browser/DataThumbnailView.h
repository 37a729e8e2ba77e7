#pragma once
// "Measured data thumbnail": the records of the data browser's list as small graphs one below the
// other, the selected ones marked. Clicks select (Ctrl toggles, Shift selects from the anchor), the
// wheel and the scroll bar move one record or one page, a double click plots the selection. The
// main dialog posts UM_SELECTION_CHANGED, UM_DATASET_CHANGED and UM_ENSURE_VISIBLE; the view posts
// UM_SELECTION_CHANGED, UM_ENSURE_VISIBLE and the "Measured data plot" command back.
//
// Only the visible tiles are drawn, each once: tiles come from a cache, and while the program is
// idle the tiles of the next and previous page are drawn ahead, one per turn of the event loop.
#include <QAbstractScrollArea>
#include <set>

#include "render/ThumbnailPicture.h"

class QTimer;

class CDataThumbnailView : public QAbstractScrollArea {
public:
    explicit CDataThumbnailView(QWidget* parent = nullptr);
    ~CDataThumbnailView() override;

    void Attach(CSpectrumDataSet& data, std::set<int>& selection);
    CDataThumbnailPicture& Picture() { return picture_; }

    // Marks the picture for composing and repaints (composed at the next paint).
    void Render();
    // Tiles still to be drawn ahead while idle.
    bool PrefetchPending() const;

    static constexpr int kCmdMeasuredDataPlot = 32777;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void OnScrollAction(int action);
    void WheelBy(int delta);
    void SetScrollPosition();
    void LayOut();

    CDataThumbnailPicture picture_;
    QTimer* prefetch_ = nullptr;
    bool dirty_ = true;
    bool failing_ = false;
};
