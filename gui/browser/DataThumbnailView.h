#pragma once
// "Measured data thumbnail": the records of the data browser's list as small graphs one below the
// other, the selected ones marked. Clicks select (Ctrl toggles, Shift selects from the anchor), the
// wheel and the scroll bar move one record or one page, a double click plots the selection. The
// selection is the record list's own selection model: the view follows it and the model's rows,
// and changes it by its clicks; it signals the record clicked and the plot asked for.
//
// Only the visible tiles are drawn, each once: tiles come from a cache, and while the program is
// idle the tiles of the next and previous page are drawn ahead, one per turn of the event loop.
#include <QAbstractScrollArea>
#include <memory>

#include "render/ThumbnailPicture.h"

class QItemSelectionModel;
class QTimer;

class CDataThumbnailView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CDataThumbnailView(QWidget* parent = nullptr);
    ~CDataThumbnailView() override;

    // selection is over a model whose rows are data's records.
    void Attach(CSpectrumDataSet& data, QItemSelectionModel& selection);
    CDataThumbnailPicture& Picture() { return picture_; }

    // Marks the picture for composing and repaints (composed at the next paint).
    void Render();
    // Tiles still to be drawn ahead while idle.
    bool PrefetchPending() const;

    // The data set was searched again or changed: the tiles are laid out anew (the model's row
    // changes call it too).
    void DataSetChanged();
    // Scrolls so that record row is in view (a row outside the data set is ignored).
    void EnsureVisible(int row);

signals:
    // A click changed the selection.
    void selectionChanged();
    // A left click on record row, which the record list brings into view.
    void recordClicked(int row);
    // A double click on a record: "Measured data plot" of the selection.
    void plotRequested();
    // The record list's "Data" pop-up at a global position.
    void contextMenuRequested(const QPoint& globalPos);

protected:
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
    std::unique_ptr<CRowSelection> selection_;
    QTimer* prefetch_ = nullptr;
    bool dirty_ = true;
    bool failing_ = false;
};
