#pragma once
// The "Standard data" group of the data browser: the standard data list over the dialog's standard
// data set, "Delete from History", "Update as standard data", "Plot", and the "Standard data" popup
// with its one item "Plot" (the current standard data). Row 0 is always the current standard data.
#include <QGroupBox>

class CBaseDataSet;
class CDataListCtrl;
class CFrameSet;
struct CViewFactory;
class QAction;
class QMenu;

class CStandardPanel : public QGroupBox {
    Q_OBJECT

public:
    // graphs is graph window set 3 (the one standard data graph window); views opens it (no
    // openDataGraph: "Plot" is not offered). All three outlive the panel.
    CStandardPanel(CBaseDataSet& standard, CFrameSet& graphs, const CViewFactory& views, QWidget* parent = nullptr);

    CDataListCtrl* List() const { return list_; }
    // The "Standard data" popup (the standard data thumbnail shows it too).
    QMenu* Menu() const { return menu_; }

    // After any change of the standard data set: new row count, row 0 in view, then standardChanged.
    void Refresh();

    // The lowest selected row, or -1.
    int SelectedRow() const;

signals:
    // Every refresh: the current standard data may have changed.
    void standardChanged();

private:
    QAction* MakeAction(const char* name, int textId, void (CStandardPanel::*run)());
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
