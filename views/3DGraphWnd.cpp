#include "views/3DGraphWnd.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QToolBar>

#include "platform/Messages.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/WindowMessage.h"
#include "views/3DGraphView.h"
#include "views/GraphIcons.h"

using G = C3DGraphPicture;

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

C3DGraphWnd::C3DGraphWnd(const std::string& title) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Q(title));
    setObjectName("C3DGraphWnd");
    view_ = new C3DGraphView(this);
    view_->setObjectName("C3DGraphView");
    setCentralWidget(view_);
    setMinimumSize(kMinWidth, kMinHeight);
    resize(800, 600);

    auto make = [this](int command, const std::string& text, const std::string& tip) {
        auto* a = new QAction(Q(text), this);
        a->setObjectName(QString("cmd%1").arg(command));
        a->setToolTip(Q(tip));
        a->setIcon(GraphCommandIcon(command));
        connect(a, &QAction::triggered, this, [this, command] { view_->OnCommand(command); });
        actions_[command] = a;
        return a;
    };
    const std::string& wavelength = S(ids::kMenuWavelength);
    const std::string& irradiance = S(ids::kIrradiance);
    const std::string& ratio = S(ids::kRatioData);
    auto tip = [](const std::string& group, int id) { return S(id) + " - " + group; };
    const int xTexts[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftRight, ids::kShiftLeft};
    const int yTexts[4] = {ids::kZoomIn, ids::kZoomOut, ids::kShiftUp, ids::kShiftDown};
    const int xCmds[4] = {G::kCmdXZoomIn, G::kCmdXZoomOut, G::kCmdXShiftRight, G::kCmdXShiftLeft};
    const int yCmds[4] = {G::kCmdYZoomIn, G::kCmdYZoomOut, G::kCmdYShiftUp, G::kCmdYShiftDown};
    const int rCmds[4] = {G::kCmdRatioZoomIn, G::kCmdRatioZoomOut, G::kCmdRatioShiftUp, G::kCmdRatioShiftDown};
    QAction* config = make(G::kCmdConfiguration, S(ids::kGraphConfiguration), S(ids::kGraphConfiguration));
    QList<QAction*> x, y, r;
    for (int i = 0; i < 4; ++i) {
        x << make(xCmds[i], S(xTexts[i]), tip(wavelength, xTexts[i]));
        y << make(yCmds[i], S(yTexts[i]), tip(irradiance, yTexts[i]));
        r << make(rCmds[i], S(yTexts[i]), tip(ratio, yTexts[i]));
    }
    QAction* copy = make(G::kCmdCopy, S(ids::kCopyToClipboard), S(ids::kCopyToClipboard));
    QAction* save = make(G::kCmdSaveBmp, S(ids::kSaveAsBmp), S(ids::kSaveAsBmp));
    QAction* print = make(G::kCmdPrint, S(ids::kPrint), S(ids::kPrint));

    toolBar_ = addToolBar("3DGRAPH");
    toolBar_->setObjectName("id3DGRAPH");
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->addAction(config);
    toolBar_->addSeparator();
    toolBar_->addActions(x);
    toolBar_->addSeparator();
    toolBar_->addActions(y);
    toolBar_->addSeparator();
    toolBar_->addActions(r);
    toolBar_->addSeparator();
    toolBar_->addActions({copy, save});
    toolBar_->addSeparator();
    toolBar_->addAction(print);

    popup_ = new QMenu("3DGRAPH", this);
    popup_->setObjectName("menu3DGRAPH");
    popup_->addAction(config);
    popup_->addSeparator();
    popup_->addMenu(Q(wavelength))->addActions(x);
    irradianceMenu_ = popup_->addMenu(Q(irradiance));
    irradianceMenu_->addActions(y);
    ratioMenu_ = popup_->addMenu(Q(ratio));
    ratioMenu_->addActions(r);
    popup_->addSeparator();
    popup_->addActions({copy, save, print});

    view_->onStateChanged = [this] { RefreshCommands(); };
    view_->onContextMenu = [this](const QPoint& at) {
        RefreshCommands();
        popup_->popup(at);
    };
    RefreshCommands();
}

QAction* C3DGraphWnd::Action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void C3DGraphWnd::RefreshCommands() {
    const C3DGraphPicture& picture = view_->Picture();
    for (auto& [command, action] : actions_) action->setEnabled(picture.Enabled(command));
    irradianceMenu_->setEnabled(picture.IrradianceAdjustable());
    ratioMenu_->setEnabled(picture.RatioAdjustable());
}

void C3DGraphWnd::closeEvent(QCloseEvent* event) {
    if (!notified_) {
        notified_ = true;
        ui::PostToMainWindow(platform::UM_GRAPH_CLOSED, kWindowSet, ui::HandleOf(this));
    }
    event->accept();
}
