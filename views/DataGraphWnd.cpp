#include "views/DataGraphWnd.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QToolBar>

#include "platform/Messages.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/WindowMessage.h"
#include "views/DataGraphView.h"
#include "views/GraphIcons.h"

using P = CDataGraphPicture;

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CDataGraphWnd::CDataGraphWnd(const std::string& title, int setIndex) : setIndex_(setIndex) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Q(title));
    setObjectName("CDataGraphWnd");
    view_ = new CDataGraphView(this);
    view_->setObjectName("CDataGraphView");
    setCentralWidget(view_);
    BuildMenuAndToolBar();
    setMinimumSize(kMinWidth, kMinHeight);
    resize(800, 600);
    view_->onStateChanged = [this] { RefreshCommands(); };
    view_->onContextMenu = [this](const QPoint& at) {
        RefreshCommands();
        popup_->popup(at);
    };
    RefreshCommands();
}

CDataGraphWnd::~CDataGraphWnd() = default;

QAction* CDataGraphWnd::Action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* CDataGraphWnd::MakeAction(int command, const std::string& text, const std::string& tip, bool checkable) {
    auto* a = new QAction(Q(text), this);
    a->setObjectName(QString("cmd%1").arg(command));
    a->setToolTip(Q(tip));
    a->setIcon(GraphCommandIcon(command));
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, command, a, checkable] {
        // A refused toggle must show the unchanged state again.
        if (checkable) a->setChecked(view_->Picture().Checked(command));
        view_->OnCommand(command);
    });
    actions_[command] = a;
    return a;
}

void CDataGraphWnd::BuildMenuAndToolBar() {
    const std::string& wavelength = S(ids::kMenuWavelength);
    const std::string& irradiance = S(ids::kIrradiance);
    const std::string& ratio = S(ids::kRatioData);
    auto tip = [](const std::string& group, int id) { return S(id) + " - " + group; };

    QAction* config = MakeAction(P::kCmdConfiguration, S(ids::kGraphConfiguration), S(ids::kGraphConfiguration), false);
    QAction* prev = MakeAction(P::kCmdPrevious, S(ids::kPrevious), S(ids::kPrevious), false);
    QAction* next = MakeAction(P::kCmdNext, S(ids::kNext), S(ids::kNext), false);
    const int zoomIds[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftRight, ids::kShiftLeft};
    const int xCmds[4] = {P::kCmdXZoomIn, P::kCmdXZoomOut, P::kCmdXShiftRight, P::kCmdXShiftLeft};
    const int yIds[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftUp, ids::kShiftDown};
    const int yCmds[4] = {P::kCmdYZoomIn, P::kCmdYZoomOut, P::kCmdYShiftUp, P::kCmdYShiftDown};
    const int rCmds[4] = {P::kCmdRatioZoomIn, P::kCmdRatioZoomOut, P::kCmdRatioShiftUp, P::kCmdRatioShiftDown};
    QAction* x[4];
    QAction* y[4];
    QAction* r[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = MakeAction(xCmds[i], S(zoomIds[i]), tip(wavelength, zoomIds[i]), false);
        y[i] = MakeAction(yCmds[i], S(yIds[i]), tip(irradiance, yIds[i]), false);
        r[i] = MakeAction(rCmds[i], S(yIds[i]), tip(ratio, yIds[i]), false);
    }
    const int toggles[4] = {P::kCmdPlotMeasured, P::kCmdPlotStandard, P::kCmdPlotDifference, P::kCmdShowRatio};
    const int toggleTexts[4] = {ids::kPlotMeasuredData, ids::kPlotStandardData, ids::kPlotDifferenceData,
                                ids::kShowRatioData};
    QAction* t[4];
    for (int i = 0; i < 4; ++i) t[i] = MakeAction(toggles[i], S(toggleTexts[i]), S(toggleTexts[i]), true);
    QAction* par = MakeAction(P::kCmdShowParPhotonLux, S(ids::kShowParPhotonLux), S(ids::kShowParPhotonLux), true);
    QAction* uv = MakeAction(P::kCmdShowUv, S(ids::kShowUvAB), S(ids::kShowUvAB), true);
    QAction* integ = MakeAction(P::kCmdShowIntegration, S(ids::kShowIntegration), S(ids::kShowIntegration), true);
    QAction* copy = MakeAction(P::kCmdCopy, S(ids::kCopyToClipboard), S(ids::kCopyToClipboard), false);
    QAction* save = MakeAction(P::kCmdSaveBmp, S(ids::kSaveAsBmp), S(ids::kSaveAsBmp), false);
    QAction* print = MakeAction(P::kCmdPrint, S(ids::kPrint), S(ids::kPrint), false);

    toolBar_ = addToolBar(Q(S(ids::kDataGraph)));
    toolBar_->setObjectName("id150");
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setMovable(true);
    toolBar_->addAction(config);
    toolBar_->addSeparator();
    toolBar_->addActions({prev, next});
    toolBar_->addSeparator();
    toolBar_->addActions({x[0], x[1], x[2], x[3]});
    toolBar_->addSeparator();
    toolBar_->addActions({y[0], y[1], y[2], y[3]});
    toolBar_->addSeparator();
    toolBar_->addActions({r[0], r[1], r[2], r[3]});
    toolBar_->addSeparator();
    toolBar_->addActions({t[0], t[1], t[2], t[3]});
    toolBar_->addSeparator();
    toolBar_->addActions({par, uv, integ});
    toolBar_->addSeparator();
    toolBar_->addActions({copy, save});
    toolBar_->addSeparator();
    toolBar_->addAction(print);

    popup_ = new QMenu(Q(S(ids::kDataGraph)), this);
    popup_->setObjectName("menu150");
    popup_->addAction(config);
    popup_->addSeparator();
    popup_->addAction(prev);
    popup_->addAction(next);
    popup_->addSeparator();
    QMenu* wl = popup_->addMenu(Q(wavelength));
    wl->addActions({x[0], x[1], x[2], x[3]});
    irradianceMenu_ = popup_->addMenu(Q(irradiance));
    irradianceMenu_->addActions({y[0], y[1], y[2], y[3]});
    ratioMenu_ = popup_->addMenu(Q(ratio));
    ratioMenu_->addActions({r[0], r[1], r[2], r[3]});
    popup_->addSeparator();
    popup_->addActions({t[0], t[1], t[2], t[3]});
    popup_->addSeparator();
    popup_->addActions({par, uv, integ});
    popup_->addSeparator();
    popup_->addActions({copy, save, print});
}

void CDataGraphWnd::RefreshCommands() {
    const CDataGraphPicture& picture = view_->Picture();
    for (auto& [command, action] : actions_) {
        action->setEnabled(picture.Mode() != P::kModeNone || command == P::kCmdConfiguration ? picture.Enabled(command)
                                                                                               : false);
        if (action->isCheckable()) action->setChecked(picture.Checked(command));
    }
    if (irradianceMenu_) irradianceMenu_->setEnabled(picture.IrradianceAdjustable());
    if (ratioMenu_) ratioMenu_->setEnabled(picture.RatioAdjustable());
}

void CDataGraphWnd::closeEvent(QCloseEvent* event) {
    if (!notified_) {
        notified_ = true;
        const int mode = view_->Mode();
        ui::PostToMainWindow(platform::UM_GRAPH_CLOSED, mode >= 0 ? mode : setIndex_, ui::HandleOf(this));
    }
    event->accept();
}
