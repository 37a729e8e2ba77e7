#include "gui/trend/NumericalGraphWnd.h"

#include <QAction>
#include <QMenu>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/trend/NumericalGraphView.h"

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CNumericalGraphWnd::CNumericalGraphWnd(const std::string& title) : CGraphFrame(title, "CNumericalGraphWnd") {
    view_ = new CNumericalGraphView(this);
    SetView(view_, "CNumericalGraphView");
    SetSizes(700, 500);

    MakeConfigAction();
    auto make = [this](GraphCommand command, int text, int tip) { return MakeAction(command, S(text), S(tip)); };
    const QList<QAction*> y = {make(GraphCommand::YZoomIn, ids::kZoomIn, ids::kZoomInYAxisTip),
                               make(GraphCommand::YZoomOut, ids::kZoomOut, ids::kZoomOut),
                               make(GraphCommand::YShiftUp, ids::kShiftUp, ids::kShiftUp),
                               make(GraphCommand::YShiftDown, ids::kShiftDown, ids::kShiftDown)};
    MakeOutputActions();

    BuildToolBar("NUMERICAL_GRAPH", "numericalGraphToolBar", {y});
    yMenu_ = BeginPopup("NUMERICAL_GRAPH", "numericalGraphMenu")->addMenu(Q(S(ids::kIrradiance)));
    yMenu_->addActions(y);
    EndPopup();

    ConnectView(view_->onStateChanged, view_->onContextMenu);
    RefreshCommands();
}

void CNumericalGraphWnd::RunCommand(GraphCommand command) {
    RunViewCommand(*view_, command);
}

void CNumericalGraphWnd::RefreshCommands() {
    const CNumericalGraphPicture& picture = view_->Picture();
    for (auto& [command, action] : Actions()) action->setEnabled(picture.Enabled(command));
    yMenu_->setEnabled(picture.Enabled(GraphCommand::YZoomIn));
}
