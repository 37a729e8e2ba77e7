#pragma once
// The heat map frame: toolbar and pop-up menu over one CHeatMapView; deletes itself when closed.
#include <string>

#include "gui/common/GraphFrame.h"

class CHeatMapView;

class CHeatMapWnd : public CGraphFrame {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 400;
    static constexpr int kMinHeight = 300;
    explicit CHeatMapWnd(const std::string& title);

    CHeatMapView* View() const { return view_; }
    void RefreshCommands() override;

protected:
    void RunCommand(GraphCommand command) override;

private:
    CHeatMapView* view_;
};
