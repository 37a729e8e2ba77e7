#pragma once
// The spectrum graph frame: a toolbar and pop-up menu over one CDataGraphView. It deletes itself
// when closed and then tells the main window with UM_GRAPH_CLOSED.
#include <string>

#include "gui/common/GraphFrame.h"

class CDataGraphView;

class CDataGraphWnd : public CGraphFrame {
public:
    // setIndex: the main dialog's window set the frame belongs to (0 one record, 1 several,
    // 2 trend, 3 standard data); the view's mode replaces it once an entry point was called.
    CDataGraphWnd(const std::string& title, int setIndex);
    ~CDataGraphWnd() override;

    CDataGraphView* View() const { return view_; }
    // Enabled and pressed states of every command from the view's state.
    void RefreshCommands() override;

    static constexpr int kMinWidth = 700;
    static constexpr int kMinHeight = 500;

protected:
    void RunCommand(int command) override;
    int ClosedWindowSet() const override;

private:
    void BuildMenuAndToolBar();

    CDataGraphView* view_;
    QMenu* irradianceMenu_ = nullptr;
    QMenu* ratioMenu_ = nullptr;
    int setIndex_;
};
