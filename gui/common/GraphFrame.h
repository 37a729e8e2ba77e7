#pragma once
// What the graph frames share: one action per graph command, shared by the toolbar, the pop-up
// menu and the shortcut, "Graph configuration" first and copy, save and print last. A frame deletes
// itself when closed; it tells the main dialog by its signals (through the frame set that holds it).
#include <QList>
#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/common/ModalBracket.h"
#include "render/GraphCommand.h"

class QAction;
class QMenu;
class QPoint;
class QToolBar;

class CGraphFrame : public QMainWindow, public CModalReporter {
    Q_OBJECT

public:
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* PopupMenu() const { return popup_; }
    // The frame's action for command; null when the frame does not offer it.
    QAction* Action(GraphCommand command) const;
    // Enabled (and pressed) states of every command from the view's state.
    virtual void RefreshCommands() = 0;
    void ReportModal(bool open) override;

    // The object name of command's action ("actionCopy").
    static QString ActionName(GraphCommand command);
    // "actionClose": Esc and Ctrl+W close the window.
    QAction* CloseAction() const { return close_; }
    // A short note in the window's status line that goes away by itself (a copy to the clipboard).
    void ShowNote(const QString& text);
    // The window title: the graph's own name, then the program's.
    static QString TitleFor(const std::string& title);

signals:
    void closed();
    void modalOpened();
    void modalClosed();
    // "Previous" and "Next": the record before or after the one shown, taken at shownTime.
    void previousRequested(qint64 shownTime);
    void nextRequested(qint64 shownTime);

protected:
    CGraphFrame(const std::string& title, const char* objectName);

    // What a triggered action does.
    virtual void RunCommand(GraphCommand command) = 0;
    // Settings and the picture outputs go to the view, every other command to its picture.
    template <class View>
    static void RunViewCommand(View& view, GraphCommand command) {
        switch (command) {
            case GraphCommand::Settings: view.Configure(); break;
            case GraphCommand::Copy: view.CopyToClipboard(); break;
            case GraphCommand::Save: view.SavePicture(); break;
            case GraphCommand::Print: view.Print(); break;
            default: view.Execute(command); break;
        }
    }

    // view (named objectName) as the only pane.
    void SetView(QWidget* view, const char* objectName);
    // The frame's first size, no smaller than minWidth x minHeight.
    void SetSizes(int minWidth, int minHeight);
    // The action of command with its picture, text and tip.
    QAction* MakeAction(GraphCommand command, const std::string& text, const std::string& tip, bool checkable = false);
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
    const std::map<GraphCommand, QAction*>& Actions() const { return actions_; }

    void closeEvent(QCloseEvent* event) override;

private:
    QToolBar* toolBar_ = nullptr;
    QMenu* popup_ = nullptr;
    QAction *config_ = nullptr, *copy_ = nullptr, *save_ = nullptr, *print_ = nullptr, *close_ = nullptr;
    std::map<GraphCommand, QAction*> actions_;
    bool notified_ = false;
};
