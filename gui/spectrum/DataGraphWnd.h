#pragma once
// The spectrum graph frame: a toolbar and pop-up menu over one CDataGraphView. It deletes itself
// when closed; "Previous" and "Next" ask the main dialog for the neighbouring record.
#include <string>

#include "gui/common/GraphFrame.h"

class CDataGraphView;

class CDataGraphWnd : public CGraphFrame {
    Q_OBJECT

public:
    explicit CDataGraphWnd(const std::string& title);
    ~CDataGraphWnd() override;

    CDataGraphView* View() const { return view_; }
    // Enabled and pressed states of every command from the view's state.
    void RefreshCommands() override;

    static constexpr int kMinWidth = 700;
    static constexpr int kMinHeight = 500;

protected:
    void RunCommand(GraphCommand command) override;

private:
    void BuildMenuAndToolBar();

    CDataGraphView* view_;
    QMenu* irradianceMenu_ = nullptr;
    QMenu* ratioMenu_ = nullptr;
};
