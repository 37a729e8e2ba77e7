#pragma once
// The spectrum graph view: shows the picture of CDataGraphPicture, handles the mouse (legend
// dragging, cursor read-out) and the commands of its frame's toolbar and pop-up menu.
#include <QWidget>
#include <functional>
#include <vector>

#include "render/DataGraphPicture.h"

class QPrinter;

class CDataGraphView : public QWidget {
    Q_OBJECT

public:
    explicit CDataGraphView(QWidget* parent = nullptr);
    ~CDataGraphView() override;

    // First update: loads DATA_GRAPH and marks the view initialised.
    void InitialUpdate();
    bool Initialised() const { return initialised_; }

    void ShowMeasured(const CSpectrumData& record, const CSpectrumData* standard);
    void ShowPlural(const std::vector<CSpectrumData>& records, const CSpectrumData* standard);
    void ShowLatest(const CSpectrumData& record, const CSpectrumData* standard);
    void ShowStandard(const CSpectrumData& record);

    CDataGraphPicture& Picture() { return picture_; }
    int Mode() const { return picture_.Mode(); }

    // A command that changes the picture (axes, curves, values): true when it changed.
    bool Execute(GraphCommand command);
    // "Graph configuration": the settings dialog for the mode shown.
    void Configure();
    // Renders at the client size; on failure shows "Graph plot failure." and keeps the old picture.
    void Render();

    // Called after every change of the command states (the frame refreshes its toolbar) and after an
    // entry point (the frame learns the mode).
    std::function<void()> onStateChanged;
    // Opens the "Data graph" pop-up at a global position (set by the frame, which owns the menu).
    std::function<void(const QPoint&)> onContextMenu;

    // The printer settings kept for the whole run, shared by every graph window.
    static QPrinter& KeptPrinter();

    // Picture output (also used by the toolbar): copy, save and print the display picture.
    void CopyToClipboard();
    void SavePicture();
    void Print();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void AfterEntryPoint();
    void Message(int stringId);
    void StateChanged();

    CDataGraphPicture picture_;
    bool initialised_ = false;
    bool captured_ = false;
    int mouseMode_ = 1;  // 0 dragging the legend, 1 cursor read-out
    QPoint dragOffset_;
};
