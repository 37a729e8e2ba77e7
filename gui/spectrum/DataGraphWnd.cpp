#include "gui/spectrum/DataGraphWnd.h"

#include <QAction>
#include <QMenu>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/spectrum/DataGraphView.h"

using P = CDataGraphPicture;
static_assert(P::kCmdConfiguration == CGraphFrame::kCmdConfiguration && P::kCmdCopy == CGraphFrame::kCmdCopy &&
              P::kCmdSaveBmp == CGraphFrame::kCmdSaveBmp && P::kCmdPrint == CGraphFrame::kCmdPrint);

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CDataGraphWnd::CDataGraphWnd(const std::string& title, int setIndex)
    : CGraphFrame(title, "CDataGraphWnd"), setIndex_(setIndex) {
    view_ = new CDataGraphView(this);
    SetView(view_, "CDataGraphView");
    BuildMenuAndToolBar();
    SetSizes(kMinWidth, kMinHeight);
    ConnectView(view_->onStateChanged, view_->onContextMenu);
    RefreshCommands();
}

CDataGraphWnd::~CDataGraphWnd() = default;

void CDataGraphWnd::RunCommand(int command) {
    // A refused toggle must show the unchanged state again.
    QAction* a = Action(command);
    if (a && a->isCheckable()) a->setChecked(view_->Picture().Checked(command));
    view_->OnCommand(command);
}

void CDataGraphWnd::BuildMenuAndToolBar() {
    const std::string& wavelength = S(ids::kMenuWavelength);
    const std::string& irradiance = S(ids::kIrradiance);
    const std::string& ratio = S(ids::kRatioData);
    auto tip = [](const std::string& group, int id) { return S(id) + " - " + group; };

    MakeConfigAction();
    QAction* prev = MakeAction(P::kCmdPrevious, S(ids::kPrevious), S(ids::kPrevious));
    QAction* next = MakeAction(P::kCmdNext, S(ids::kNext), S(ids::kNext));
    const int zoomIds[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftRight, ids::kShiftLeft};
    const int xCmds[4] = {P::kCmdXZoomIn, P::kCmdXZoomOut, P::kCmdXShiftRight, P::kCmdXShiftLeft};
    const int yIds[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftUp, ids::kShiftDown};
    const int yCmds[4] = {P::kCmdYZoomIn, P::kCmdYZoomOut, P::kCmdYShiftUp, P::kCmdYShiftDown};
    const int rCmds[4] = {P::kCmdRatioZoomIn, P::kCmdRatioZoomOut, P::kCmdRatioShiftUp, P::kCmdRatioShiftDown};
    QAction* x[4];
    QAction* y[4];
    QAction* r[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = MakeAction(xCmds[i], S(zoomIds[i]), tip(wavelength, zoomIds[i]));
        y[i] = MakeAction(yCmds[i], S(yIds[i]), tip(irradiance, yIds[i]));
        r[i] = MakeAction(rCmds[i], S(yIds[i]), tip(ratio, yIds[i]));
    }
    const int toggles[4] = {P::kCmdPlotMeasured, P::kCmdPlotStandard, P::kCmdPlotDifference, P::kCmdShowRatio};
    const int toggleTexts[4] = {ids::kPlotMeasuredData, ids::kPlotStandardData, ids::kPlotDifferenceData,
                                ids::kShowRatioData};
    QAction* t[4];
    for (int i = 0; i < 4; ++i) t[i] = MakeAction(toggles[i], S(toggleTexts[i]), S(toggleTexts[i]), true);
    QAction* par = MakeAction(P::kCmdShowParPhotonLux, S(ids::kShowParPhotonLux), S(ids::kShowParPhotonLux), true);
    QAction* uv = MakeAction(P::kCmdShowUv, S(ids::kShowUvAB), S(ids::kShowUvAB), true);
    QAction* integ = MakeAction(P::kCmdShowIntegration, S(ids::kShowIntegration), S(ids::kShowIntegration), true);
    MakeOutputActions();

    const QList<QAction*> xs = {x[0], x[1], x[2], x[3]}, ys = {y[0], y[1], y[2], y[3]}, rs = {r[0], r[1], r[2], r[3]},
                          ts = {t[0], t[1], t[2], t[3]}, values = {par, uv, integ};
    BuildToolBar(Q(S(ids::kDataGraph)), "id150", {{prev, next}, xs, ys, rs, ts, values});
    QMenu* popup = BeginPopup(Q(S(ids::kDataGraph)), "menu150");
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
        action->setEnabled(picture.Mode() != P::kModeNone || command == P::kCmdConfiguration ? picture.Enabled(command)
                                                                                               : false);
        if (action->isCheckable()) action->setChecked(picture.Checked(command));
    }
    if (irradianceMenu_) irradianceMenu_->setEnabled(picture.IrradianceAdjustable());
    if (ratioMenu_) ratioMenu_->setEnabled(picture.RatioAdjustable());
}

int CDataGraphWnd::ClosedWindowSet() const {
    const int mode = view_->Mode();
    return mode >= 0 ? mode : setIndex_;
}
