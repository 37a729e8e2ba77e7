#include "gui/spectrum/DataGraphWnd.h"

#include <QAction>
#include <QMenu>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/spectrum/DataGraphView.h"

using P = CDataGraphPicture;

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CDataGraphWnd::CDataGraphWnd(const std::string& title) : CGraphFrame(title, "CDataGraphWnd") {
    view_ = new CDataGraphView(this);
    SetView(view_, "CDataGraphView");
    BuildMenuAndToolBar();
    SetSizes(kMinWidth, kMinHeight);
    ConnectView(view_->onStateChanged, view_->onContextMenu);
    RefreshCommands();
}

CDataGraphWnd::~CDataGraphWnd() = default;

void CDataGraphWnd::RunCommand(GraphCommand command) {
    // A refused toggle must show the unchanged state again.
    QAction* a = Action(command);
    if (a && a->isCheckable()) a->setChecked(view_->Picture().Checked(command));
    switch (command) {
        case GraphCommand::Previous:
            if (view_->Picture().Enabled(command)) emit previousRequested(view_->Picture().ShownTime());
            break;
        case GraphCommand::Next:
            if (view_->Picture().Enabled(command)) emit nextRequested(view_->Picture().ShownTime());
            break;
        default: RunViewCommand(*view_, command); break;
    }
}

void CDataGraphWnd::BuildMenuAndToolBar() {
    const std::string& wavelength = S(ids::kMenuWavelength);
    const std::string& irradiance = S(ids::kIrradiance);
    const std::string& ratio = S(ids::kRatioData);
    auto tip = [](const std::string& group, int id) { return S(id) + " - " + group; };

    MakeConfigAction();
    QAction* prev = MakeAction(GraphCommand::Previous, S(ids::kPrevious), S(ids::kPrevious));
    QAction* next = MakeAction(GraphCommand::Next, S(ids::kNext), S(ids::kNext));
    const int zoomIds[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftRight, ids::kShiftLeft};
    const GraphCommand xCmds[4] = {GraphCommand::XZoomIn, GraphCommand::XZoomOut, GraphCommand::XShiftRight, GraphCommand::XShiftLeft};
    const int yIds[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftUp, ids::kShiftDown};
    const GraphCommand yCmds[4] = {GraphCommand::YZoomIn, GraphCommand::YZoomOut, GraphCommand::YShiftUp, GraphCommand::YShiftDown};
    const GraphCommand rCmds[4] = {GraphCommand::RatioZoomIn, GraphCommand::RatioZoomOut, GraphCommand::RatioShiftUp, GraphCommand::RatioShiftDown};
    QAction* x[4];
    QAction* y[4];
    QAction* r[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = MakeAction(xCmds[i], S(zoomIds[i]), tip(wavelength, zoomIds[i]));
        y[i] = MakeAction(yCmds[i], S(yIds[i]), tip(irradiance, yIds[i]));
        r[i] = MakeAction(rCmds[i], S(yIds[i]), tip(ratio, yIds[i]));
    }
    const GraphCommand toggles[4] = {GraphCommand::PlotMeasured, GraphCommand::PlotStandard, GraphCommand::PlotDifference, GraphCommand::ShowRatio};
    const int toggleTexts[4] = {ids::kPlotMeasuredData, ids::kPlotStandardData, ids::kPlotDifferenceData,
                                ids::kShowRatioData};
    QAction* t[4];
    for (int i = 0; i < 4; ++i) t[i] = MakeAction(toggles[i], S(toggleTexts[i]), S(toggleTexts[i]), true);
    QAction* par = MakeAction(GraphCommand::ShowParPhotonLux, S(ids::kShowParPhotonLux), S(ids::kShowParPhotonLux), true);
    QAction* uv = MakeAction(GraphCommand::ShowUv, S(ids::kShowUvAB), S(ids::kShowUvAB), true);
    QAction* integ = MakeAction(GraphCommand::ShowIntegration, S(ids::kShowIntegration), S(ids::kShowIntegration), true);
    MakeOutputActions();

    const QList<QAction*> xs = {x[0], x[1], x[2], x[3]}, ys = {y[0], y[1], y[2], y[3]}, rs = {r[0], r[1], r[2], r[3]},
                          ts = {t[0], t[1], t[2], t[3]}, values = {par, uv, integ};
    BuildToolBar(Q(S(ids::kDataGraph)), "dataGraphToolBar", {{prev, next}, xs, ys, rs, ts, values});
    QMenu* popup = BeginPopup(Q(S(ids::kDataGraph)), "dataGraphMenu");
    popup->addAction(prev);
    popup->addAction(next);
    popup->addSeparator();
    popup->addMenu(Q(wavelength))->addActions(xs);
    irradianceMenu_ = popup->addMenu(Q(irradiance));
    irradianceMenu_->addActions(ys);
    ratioMenu_ = popup->addMenu(Q(ratio));
    ratioMenu_->addActions(rs);
    popup->addSeparator();
    popup->addActions(ts);
    popup->addSeparator();
    popup->addActions(values);
    EndPopup();
}

void CDataGraphWnd::RefreshCommands() {
    const CDataGraphPicture& picture = view_->Picture();
    for (auto& [command, action] : Actions()) {
        action->setEnabled(picture.Mode() != P::kModeNone || command == GraphCommand::Settings ? picture.Enabled(command)
                                                                                                   : false);
        if (action->isCheckable()) action->setChecked(picture.Checked(command));
    }
    if (irradianceMenu_) irradianceMenu_->setEnabled(picture.IrradianceAdjustable());
    if (ratioMenu_) ratioMenu_->setEnabled(picture.RatioAdjustable());
}
