#include "gui/common/GraphFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QToolBar>

#include "core/platform/Messages.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/WindowMessage.h"
#include "gui/common/GraphIcons.h"

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CGraphFrame::CGraphFrame(const std::string& title, const char* objectName) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Q(title));
    setObjectName(objectName);
}

QAction* CGraphFrame::Action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void CGraphFrame::SetView(QWidget* view, const char* objectName) {
    view->setObjectName(objectName);
    setCentralWidget(view);
}

void CGraphFrame::SetSizes(int minWidth, int minHeight) {
    setMinimumSize(minWidth, minHeight);
    resize(800, 600);
}

QAction* CGraphFrame::MakeAction(int command, const std::string& text, const std::string& tip, bool checkable,
                                 int iconCommand) {
    auto* a = new QAction(Q(text), this);
    a->setObjectName(QString("cmd%1").arg(command));
    a->setToolTip(Q(tip));
    a->setIcon(GraphCommandIcon(iconCommand != 0 ? iconCommand : command));
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, command] { RunCommand(command); });
    actions_[command] = a;
    return a;
}

void CGraphFrame::MakeConfigAction() {
    config_ = MakeAction(kCmdConfiguration, S(ids::kGraphConfiguration), S(ids::kGraphConfiguration));
}

void CGraphFrame::MakeOutputActions() {
    copy_ = MakeAction(kCmdCopy, S(ids::kCopyToClipboard), S(ids::kCopyToClipboard));
    save_ = MakeAction(kCmdSaveBmp, S(ids::kSaveAsBmp), S(ids::kSaveAsBmp));
    print_ = MakeAction(kCmdPrint, S(ids::kPrint), S(ids::kPrint));
}

void CGraphFrame::BuildToolBar(const QString& title, const QString& name, const std::vector<QList<QAction*>>& groups) {
    toolBar_ = addToolBar(title);
    toolBar_->setObjectName(name);
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->addAction(config_);
    toolBar_->addSeparator();
    for (const QList<QAction*>& group : groups) {
        toolBar_->addActions(group);
        toolBar_->addSeparator();
    }
    toolBar_->addActions({copy_, save_});
    toolBar_->addSeparator();
    toolBar_->addAction(print_);
}

QMenu* CGraphFrame::BeginPopup(const QString& title, const QString& name) {
    popup_ = new QMenu(title, this);
    popup_->setObjectName(name);
    popup_->addAction(config_);
    popup_->addSeparator();
    return popup_;
}

void CGraphFrame::EndPopup() {
    popup_->addSeparator();
    popup_->addActions({copy_, save_, print_});
}

void CGraphFrame::ConnectView(std::function<void()>& stateChanged,
                              std::function<void(const QPoint&)>& contextMenu) {
    stateChanged = [this] { RefreshCommands(); };
    contextMenu = [this](const QPoint& at) {
        RefreshCommands();
        popup_->popup(at);
    };
}

void CGraphFrame::closeEvent(QCloseEvent* event) {
    if (!notified_) {
        notified_ = true;
        ui::PostToMainWindow(platform::UM_GRAPH_CLOSED, ClosedWindowSet(), ui::HandleOf(this));
    }
    event->accept();
}
