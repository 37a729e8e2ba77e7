#pragma once
// The "Standard data" group of the data browser: the standard data list (1016) over the dialog's
// standard data set, "Delete from History", "Update as standard data", "Plot", and the "Standard
// data" popup with its one item "Plot" (32773). Row 0 is always the current standard data.
#include <QGroupBox>
#include <functional>

class CBaseDataSet;
class CDataListCtrl;
class CFrameSet;
struct CViewFactory;
class QMenu;
class QPushButton;

class CStandardPanel : public QGroupBox {
    Q_OBJECT

public:
    enum Command { kCmdPlot = 1017, kCmdDelete = 1026, kCmdUpdate = 1028, kCmdMenuPlot = 32773 };

    // graphs is graph window set 3 (the one standard data graph window); views opens it (no
    // openDataGraph: "Plot" is not offered). All three outlive the panel.
    CStandardPanel(CBaseDataSet& standard, CFrameSet& graphs, const CViewFactory& views, QWidget* parent = nullptr);

    CDataListCtrl* List() const { return list_; }
    // The "Standard data" popup; its command goes to the panel's command receiver.
    QMenu* Menu() const { return menu_; }

    // Runs one of the panel's commands; false for an id that is not the panel's.
    bool OnCommand(int id);

    // After any change of the standard data set: new row count, row 0 in view, the standard data
    // thumbnail redrawn, then onChanged.
    void Refresh();

    // The lowest selected row, or -1.
    int SelectedRow() const;

    // Where the popup's command goes (the main dialog's command handler); unset: the panel itself.
    std::function<void(int id)> commandReceiver;
    // After every refresh: the current standard data may have changed.
    std::function<void()> onChanged;

signals:
    // Every refresh, before onChanged: the standard data thumbnail draws anew.
    void standardChanged();

private:
    QPushButton* Button(int id, int textId);
    void ShowMenu(const QPoint& globalPos);
    void PlotSelected();
    void PlotCurrent();
    void Plot(int row);
    void DeleteEntry();
    void UpdateEntry();

    CBaseDataSet& standard_;
    CFrameSet& graphs_;
    const CViewFactory& views_;
    CDataListCtrl* list_ = nullptr;
    QMenu* menu_ = nullptr;
};
