#pragma once
// The calculation data graph frame: toolbar and pop-up menu over one CNumericalGraphView; deletes
// itself when closed and posts UM_GRAPH_CLOSED with window set 4.
#include <QMainWindow>
#include <map>
#include <string>

class QAction;
class QMenu;
class QToolBar;
class CNumericalGraphView;

class CNumericalGraphWnd : public QMainWindow {
public:
    static constexpr int kWindowSet = 4;
    explicit CNumericalGraphWnd(const std::string& title);

    CNumericalGraphView* View() const { return view_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* PopupMenu() const { return popup_; }
    QAction* Action(int command) const;
    void RefreshCommands();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CNumericalGraphView* view_;
    QToolBar* toolBar_ = nullptr;
    QMenu* popup_ = nullptr;
    QMenu* yMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    bool notified_ = false;
};
