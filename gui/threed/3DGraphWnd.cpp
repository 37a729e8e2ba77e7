#include "gui/threed/3DGraphWnd.h"

#include <QAction>
#include <QMenu>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/threed/3DGraphView.h"

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

C3DGraphWnd::C3DGraphWnd(const std::string& title) : CGraphFrame(title, "C3DGraphWnd") {
    view_ = new C3DGraphView(this);
    SetView(view_, "C3DGraphView");
    SetSizes(kMinWidth, kMinHeight);

    const std::string& wavelength = S(ids::kMenuWavelength);
    const std::string& irradiance = S(ids::kIrradiance);
    const std::string& ratio = S(ids::kRatioData);
    auto tip = [](const std::string& group, int id) { return S(id) + " - " + group; };
    const int xTexts[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftRight, ids::kShiftLeft};
    const int yTexts[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftUp, ids::kShiftDown};
    const GraphCommand xCmds[4] = {GraphCommand::XZoomIn, GraphCommand::XZoomOut, GraphCommand::XShiftRight, GraphCommand::XShiftLeft};
    const GraphCommand yCmds[4] = {GraphCommand::YZoomIn, GraphCommand::YZoomOut, GraphCommand::YShiftUp, GraphCommand::YShiftDown};
    const GraphCommand rCmds[4] = {GraphCommand::RatioZoomIn, GraphCommand::RatioZoomOut, GraphCommand::RatioShiftUp, GraphCommand::RatioShiftDown};
    MakeConfigAction();
    QList<QAction*> x, y, r;
    for (int i = 0; i < 4; ++i) {
        x << MakeAction(xCmds[i], S(xTexts[i]), tip(wavelength, xTexts[i]));
        y << MakeAction(yCmds[i], S(yTexts[i]), tip(irradiance, yTexts[i]));
        r << MakeAction(rCmds[i], S(yTexts[i]), tip(ratio, yTexts[i]));
    }
    MakeOutputActions();

    BuildToolBar("3DGRAPH", "threeDGraphToolBar", {x, y, r});
    QMenu* popup = BeginPopup("3DGRAPH", "threeDGraphMenu");
    popup->addMenu(Q(wavelength))->addActions(x);
    irradianceMenu_ = popup->addMenu(Q(irradiance));
    irradianceMenu_->addActions(y);
    ratioMenu_ = popup->addMenu(Q(ratio));
    ratioMenu_->addActions(r);
    EndPopup();

    ConnectView(view_->onStateChanged, view_->onContextMenu);
    RefreshCommands();
}

void C3DGraphWnd::RunCommand(GraphCommand command) {
    RunViewCommand(*view_, command);
}

void C3DGraphWnd::RefreshCommands() {
    const C3DGraphPicture& picture = view_->Picture();
    for (auto& [command, action] : Actions()) action->setEnabled(picture.Enabled(command));
    irradianceMenu_->setEnabled(picture.IrradianceAdjustable());
    ratioMenu_->setEnabled(picture.RatioAdjustable());
}
