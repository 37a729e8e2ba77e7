#pragma once
// What the graph frames share: a toolbar and a pop-up menu whose actions run the view's commands,
// "Graph configuration" first and copy, save and print last. A frame deletes itself when closed and
// then posts UM_GRAPH_CLOSED with its window set.
#include <QList>
#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QToolBar;

class CGraphFrame : public QMainWindow {
public:
    // The commands every graph picture numbers alike.
    static constexpr int kCmdConfiguration = 32783, kCmdCopy = 32795, kCmdSaveBmp = 32796, kCmdPrint = 32798;

    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* PopupMenu() const { return popup_; }
    QAction* Action(int command) const;
    // Enabled (and pressed) states of every command from the view's state.
    virtual void RefreshCommands() = 0;

protected:
    CGraphFrame(const std::string& title, const char* objectName);

    // What a triggered action does.
    virtual void RunCommand(int command) = 0;
    // The set UM_GRAPH_CLOSED names.
    virtual int ClosedWindowSet() const = 0;

    // view (named objectName) as the only pane.
    void SetView(QWidget* view, const char* objectName);
    // The frame's first size, no smaller than minWidth x minHeight.
    void SetSizes(int minWidth, int minHeight);
    // An action for command showing the picture of iconCommand (0: command's own).
    QAction* MakeAction(int command, const std::string& text, const std::string& tip, bool checkable = false,
                        int iconCommand = 0);
    // Made first, before the frame's own commands; MakeOutputActions after them.
    void MakeConfigAction();
    void MakeOutputActions();
    // Configuration, each group followed by a separator, copy and save, print.
    void BuildToolBar(const QString& title, const QString& name, const std::vector<QList<QAction*>>& groups);
    // The pop-up menu with configuration and a separator; the frame adds its own part, then EndPopup
    // a separator and copy, save, print.
    QMenu* BeginPopup(const QString& title, const QString& name);
    void EndPopup();
    // The view's state changes refresh the commands; its context menu request opens the pop-up menu.
    void ConnectView(std::function<void()>& stateChanged, std::function<void(const QPoint&)>& contextMenu);
    const std::map<int, QAction*>& Actions() const { return actions_; }

    void closeEvent(QCloseEvent* event) override;

private:
    QToolBar* toolBar_ = nullptr;
    QMenu* popup_ = nullptr;
    QAction *config_ = nullptr, *copy_ = nullptr, *save_ = nullptr, *print_ = nullptr;
    std::map<int, QAction*> actions_;
    bool notified_ = false;
};
