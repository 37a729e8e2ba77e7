#include "gui/trend/NumericalGraphWnd.h"

#include <QAction>
#include <QMenu>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/trend/NumericalGraphView.h"

using N = CNumericalGraphPicture;
static_assert(N::kCmdConfiguration == CGraphFrame::kCmdConfiguration && N::kCmdCopy == CGraphFrame::kCmdCopy &&
              N::kCmdSaveBmp == CGraphFrame::kCmdSaveBmp && N::kCmdPrint == CGraphFrame::kCmdPrint);

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

// The Y commands share the spectrum graph's irradiance pictures.
int IconOf(int command) {
    switch (command) {
        case N::kCmdYZoomIn: return 32787;
        case N::kCmdYZoomOut: return 32788;
        case N::kCmdYShiftUp: return 32789;
        case N::kCmdYShiftDown: return 32790;
        default: return command;
    }
}
}  // namespace

CNumericalGraphWnd::CNumericalGraphWnd(const std::string& title) : CGraphFrame(title, "CNumericalGraphWnd") {
    view_ = new CNumericalGraphView(this);
    SetView(view_, "CNumericalGraphView");
    SetSizes(700, 500);

    MakeConfigAction();
    auto make = [this](int command, int text, int tip) { return MakeAction(command, S(text), S(tip), false, IconOf(command)); };
    const QList<QAction*> y = {make(N::kCmdYZoomIn, ids::kZoomIn, ids::kZoomInYAxisTip),
                               make(N::kCmdYZoomOut, ids::kZoomOut, ids::kZoomOut),
                               make(N::kCmdYShiftUp, ids::kShiftUp, ids::kShiftUp),
                               make(N::kCmdYShiftDown, ids::kShiftDown, ids::kShiftDown)};
    MakeOutputActions();

    BuildToolBar("NUMERICAL_GRAPH", "id154", {y});
    yMenu_ = BeginPopup("NUMERICAL_GRAPH", "menu154")->addMenu(Q(S(ids::kIrradiance)));
    yMenu_->addActions(y);
    EndPopup();

    ConnectView(view_->onStateChanged, view_->onContextMenu);
    RefreshCommands();
}

void CNumericalGraphWnd::RunCommand(int command) { view_->OnCommand(command); }

void CNumericalGraphWnd::RefreshCommands() {
    const CNumericalGraphPicture& picture = view_->Picture();
    for (auto& [command, action] : Actions()) action->setEnabled(picture.Enabled(command));
    yMenu_->setEnabled(picture.Enabled(N::kCmdYZoomIn));
}
