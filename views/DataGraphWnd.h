#pragma once
// The spectrum graph frame: a toolbar and pop-up menu over one CDataGraphView. It deletes itself
// when closed and then tells the main window with UM_GRAPH_CLOSED.
#include <QMainWindow>
#include <map>
#include <string>

class QAction;
class QMenu;
class QToolBar;
class CDataGraphView;

class CDataGraphWnd : public QMainWindow {
public:
    // setIndex: the main dialog's window set the frame belongs to (0 one record, 1 several,
    // 2 trend, 3 standard data); the view's mode replaces it once an entry point was called.
    CDataGraphWnd(const std::string& title, int setIndex);
    ~CDataGraphWnd() override;

    CDataGraphView* View() const { return view_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* PopupMenu() const { return popup_; }
    QAction* Action(int command) const;
    // Enabled and pressed states of every command from the view's state.
    void RefreshCommands();

    static constexpr int kMinWidth = 700;
    static constexpr int kMinHeight = 500;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* MakeAction(int command, const std::string& text, const std::string& tip, bool checkable);
    void BuildMenuAndToolBar();

    CDataGraphView* view_;
    QToolBar* toolBar_ = nullptr;
    QMenu* popup_ = nullptr;
    QMenu* irradianceMenu_ = nullptr;
    QMenu* ratioMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    int setIndex_;
    bool notified_ = false;
};
