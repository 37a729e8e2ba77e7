#include "gui/heatmap/HeatMapWnd.h"

#include <QAction>
#include <QMenu>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/heatmap/HeatMapView.h"

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CHeatMapWnd::CHeatMapWnd(const std::string& title) : CGraphFrame(title, "CHeatMapWnd") {
    view_ = new CHeatMapView(this);
    SetView(view_, "CHeatMapView");
    SetSizes(kMinWidth, kMinHeight);

    const std::string& wavelength = S(ids::kMenuWavelength);
    auto tip = [&wavelength](int id) { return S(id) + " - " + wavelength; };
    const int texts[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftRight, ids::kShiftLeft};
    const GraphCommand commands[4] = {GraphCommand::XZoomIn, GraphCommand::XZoomOut, GraphCommand::XShiftRight,
                                      GraphCommand::XShiftLeft};
    MakeConfigAction();
    QList<QAction*> x;
    for (int i = 0; i < 4; ++i) x << MakeAction(commands[i], S(texts[i]), tip(texts[i]));
    QAction* ratio = MakeAction(GraphCommand::ShowRatio, S(ids::kShowRatioData), S(ids::kShowRatioData), true);
    MakeOutputActions();

    BuildToolBar(Q(S(ids::kHeatMap)), "heatMapToolBar", {x, {ratio}});
    QMenu* popup = BeginPopup(Q(S(ids::kHeatMap)), "heatMapMenu");
    popup->addMenu(Q(wavelength))->addActions(x);
    popup->addAction(ratio);
    EndPopup();

    ConnectView(view_->onStateChanged, view_->onContextMenu);
    RefreshCommands();
}

void CHeatMapWnd::RunCommand(GraphCommand command) { RunViewCommand(*view_, command); }

void CHeatMapWnd::RefreshCommands() {
    for (auto& [command, action] : Actions()) {
        action->setEnabled(view_->Enabled(command));
        if (action->isCheckable()) action->setChecked(view_->Checked(command));
    }
}
