#pragma once
// The 3-D graph frame: toolbar and pop-up menu over one C3DGraphView; deletes itself when closed
// and posts UM_GRAPH_CLOSED with window set 5.
#include <QMainWindow>
#include <map>
#include <string>

class QAction;
class QMenu;
class QToolBar;
class C3DGraphView;

class C3DGraphWnd : public QMainWindow {
public:
    static constexpr int kWindowSet = 5;
    static constexpr int kMinWidth = 400;
    static constexpr int kMinHeight = 300;
    explicit C3DGraphWnd(const std::string& title);

    C3DGraphView* View() const { return view_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* PopupMenu() const { return popup_; }
    QMenu* IrradianceMenu() const { return irradianceMenu_; }
    QMenu* RatioMenu() const { return ratioMenu_; }
    QAction* Action(int command) const;
    void RefreshCommands();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    C3DGraphView* view_;
    QToolBar* toolBar_ = nullptr;
    QMenu* popup_ = nullptr;
    QMenu* irradianceMenu_ = nullptr;
    QMenu* ratioMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    bool notified_ = false;
};
