#pragma once
// The 3-D graph frame: toolbar and pop-up menu over one C3DGraphView; deletes itself when closed.
#include <string>

#include "gui/common/GraphFrame.h"

class C3DGraphView;

class C3DGraphWnd : public CGraphFrame {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 400;
    static constexpr int kMinHeight = 300;
    explicit C3DGraphWnd(const std::string& title);

    C3DGraphView* View() const { return view_; }
    QMenu* IrradianceMenu() const { return irradianceMenu_; }
    QMenu* RatioMenu() const { return ratioMenu_; }
    void RefreshCommands() override;

protected:
    void RunCommand(GraphCommand command) override;

private:
    C3DGraphView* view_;
    QMenu* irradianceMenu_ = nullptr;
    QMenu* ratioMenu_ = nullptr;
};
