#pragma once
// The calculation data graph view: shows the picture of CNumericalGraphPicture and paints the
// read-out over it while the left button is held in the plot.
#include <QWidget>
#include <functional>

#include "render/NumericalGraphPicture.h"

class CNumericalGraphView : public QWidget {
    Q_OBJECT

public:
    explicit CNumericalGraphView(QWidget* parent = nullptr);

    void InitialUpdate();
    void ShowRecords(const CSpectrumDataSet& records);
    CNumericalGraphPicture& Picture() { return picture_; }
    // A command that changes the picture (the Y axis): true when it changed.
    bool Execute(GraphCommand command);
    void Configure();
    void CopyToClipboard();
    void SavePicture();
    void Print();
    void Render();

    bool CursorActive() const { return cursor_; }
    const QPoint& CursorPoint() const { return point_; }

    std::function<void()> onStateChanged;
    std::function<void(const QPoint&)> onContextMenu;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CNumericalGraphPicture picture_;
    bool initialised_ = false;
    bool cursor_ = false;
    QPoint point_;
};
