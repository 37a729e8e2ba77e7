#pragma once
// The 3-D graph frame: toolbar and pop-up menu over one C3DGraphView; deletes itself when closed
// and posts UM_GRAPH_CLOSED with window set 5.
#include <string>

#include "gui/common/GraphFrame.h"

class C3DGraphView;

class C3DGraphWnd : public CGraphFrame {
public:
    static constexpr int kWindowSet = 5;
    static constexpr int kMinWidth = 400;
    static constexpr int kMinHeight = 300;
    explicit C3DGraphWnd(const std::string& title);

    C3DGraphView* View() const { return view_; }
    QMenu* IrradianceMenu() const { return irradianceMenu_; }
    QMenu* RatioMenu() const { return ratioMenu_; }
    void RefreshCommands() override;

protected:
    void RunCommand(int command) override;
    int ClosedWindowSet() const override { return kWindowSet; }

private:
    C3DGraphView* view_;
    QMenu* irradianceMenu_ = nullptr;
    QMenu* ratioMenu_ = nullptr;
};
