#include "views/NumericalGraphWnd.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QToolBar>

#include "platform/Messages.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/WindowMessage.h"
#include "views/GraphIcons.h"
#include "views/NumericalGraphView.h"

using N = CNumericalGraphPicture;

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

CNumericalGraphWnd::CNumericalGraphWnd(const std::string& title) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Q(title));
    setObjectName("CNumericalGraphWnd");
    view_ = new CNumericalGraphView(this);
    view_->setObjectName("CNumericalGraphView");
    setCentralWidget(view_);
    setMinimumSize(700, 500);
    resize(800, 600);

    auto make = [this](int command, const std::string& text, const std::string& tip) {
        auto* a = new QAction(Q(text), this);
        a->setObjectName(QString("cmd%1").arg(command));
        a->setToolTip(Q(tip));
        a->setIcon(GraphCommandIcon(IconOf(command)));
        connect(a, &QAction::triggered, this, [this, command] { view_->OnCommand(command); });
        actions_[command] = a;
        return a;
    };
    QAction* config = make(N::kCmdConfiguration, S(ids::kGraphConfiguration), S(ids::kGraphConfiguration));
    QAction* zin = make(N::kCmdYZoomIn, S(ids::kZoomIn), S(ids::kZoomInYAxisTip));
    QAction* zout = make(N::kCmdYZoomOut, S(ids::kZoomOut), S(ids::kZoomOut));
    QAction* up = make(N::kCmdYShiftUp, S(ids::kShiftUp), S(ids::kShiftUp));
    QAction* down = make(N::kCmdYShiftDown, S(ids::kShiftDown), S(ids::kShiftDown));
    QAction* copy = make(N::kCmdCopy, S(ids::kCopyToClipboard), S(ids::kCopyToClipboard));
    QAction* save = make(N::kCmdSaveBmp, S(ids::kSaveAsBmp), S(ids::kSaveAsBmp));
    QAction* print = make(N::kCmdPrint, S(ids::kPrint), S(ids::kPrint));

    toolBar_ = addToolBar("NUMERICAL_GRAPH");
    toolBar_->setObjectName("id154");
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->addAction(config);
    toolBar_->addSeparator();
    toolBar_->addActions({zin, zout, up, down});
    toolBar_->addSeparator();
    toolBar_->addActions({copy, save});
    toolBar_->addSeparator();
    toolBar_->addAction(print);

    popup_ = new QMenu("NUMERICAL_GRAPH", this);
    popup_->setObjectName("menu154");
    popup_->addAction(config);
    popup_->addSeparator();
    yMenu_ = popup_->addMenu(Q(S(ids::kIrradiance)));
    yMenu_->addActions({zin, zout, up, down});
    popup_->addSeparator();
    popup_->addActions({copy, save, print});

    view_->onStateChanged = [this] { RefreshCommands(); };
    view_->onContextMenu = [this](const QPoint& at) {
        RefreshCommands();
        popup_->popup(at);
    };
    RefreshCommands();
}

QAction* CNumericalGraphWnd::Action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void CNumericalGraphWnd::RefreshCommands() {
    const CNumericalGraphPicture& picture = view_->Picture();
    for (auto& [command, action] : actions_) action->setEnabled(picture.Enabled(command));
    yMenu_->setEnabled(picture.Enabled(N::kCmdYZoomIn));
}

void CNumericalGraphWnd::closeEvent(QCloseEvent* event) {
    if (!notified_) {
        notified_ = true;
        ui::PostToMainWindow(platform::UM_GRAPH_CLOSED, kWindowSet, ui::HandleOf(this));
    }
    event->accept();
}
