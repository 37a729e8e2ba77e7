#pragma once
// The calculation data graph frame: toolbar and pop-up menu over one CNumericalGraphView; deletes
// itself when closed.
#include <string>

#include "gui/common/GraphFrame.h"

class CNumericalGraphView;

class CNumericalGraphWnd : public CGraphFrame {
    Q_OBJECT

public:
    explicit CNumericalGraphWnd(const std::string& title);

    CNumericalGraphView* View() const { return view_; }
    void RefreshCommands() override;

protected:
    void RunCommand(GraphCommand command) override;

private:
    CNumericalGraphView* view_;
    QMenu* yMenu_ = nullptr;
};
