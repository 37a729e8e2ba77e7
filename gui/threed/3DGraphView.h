#pragma once
// The 3-D graph view: shows the picture of C3DGraphPicture, turns it while the left button drags,
// and runs the commands of its frame's toolbar and pop-up menu.
#include <QPoint>
#include <QWidget>
#include <functional>

#include "render/3DGraphPicture.h"

class C3DGraphView : public QWidget {
    Q_OBJECT

public:
    explicit C3DGraphView(QWidget* parent = nullptr);

    // First showing: the section is loaded and the view renders from then on.
    void InitialUpdate();
    bool Ready() const { return ready_; }
    void SetData(const CSpectrumDataSet& records, const CSpectrumData* standard);
    C3DGraphPicture& Picture() { return picture_; }
    const C3DGraphPicture& Picture() const { return picture_; }
    // A command that changes the picture (the axes): true when it changed.
    bool Execute(GraphCommand command);
    void Configure();
    void CopyToClipboard();
    void SavePicture();
    void Print();
    void Render();
    bool Turning() const { return turning_; }

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
    void StateChanged();

    C3DGraphPicture picture_;
    bool ready_ = false;
    bool turning_ = false;
    QPoint last_;
};
