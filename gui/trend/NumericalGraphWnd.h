#pragma once
// The calculation data graph frame: toolbar and pop-up menu over one CNumericalGraphView; deletes
// itself when closed and posts UM_GRAPH_CLOSED with window set 4.
#include <string>

#include "gui/common/GraphFrame.h"

class CNumericalGraphView;

class CNumericalGraphWnd : public CGraphFrame {
public:
    static constexpr int kWindowSet = 4;
    explicit CNumericalGraphWnd(const std::string& title);

    CNumericalGraphView* View() const { return view_; }
    void RefreshCommands() override;

protected:
    void RunCommand(int command) override;
    int ClosedWindowSet() const override { return kWindowSet; }

private:
    CNumericalGraphView* view_;
    QMenu* yMenu_ = nullptr;
};
