#include "gui/common/GraphFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/GraphIcons.h"
#include "gui/common/WindowMemory.h"

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CGraphFrame::CGraphFrame(const std::string& title, const char* objectName) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(TitleFor(title));
    setObjectName(objectName);
    close_ = new QAction(this);
    close_->setObjectName(QStringLiteral("actionClose"));
    close_->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    addAction(close_);
    connect(close_, &QAction::triggered, this, &QWidget::close);
    // Made now, so a note never shrinks the picture.
    statusBar()->setObjectName(QStringLiteral("graphStatusBar"));
}

QString CGraphFrame::TitleFor(const std::string& title) {
    const QString name = QStringLiteral("Heliarc");
    return title.empty() ? name : Q(title) + QStringLiteral(" - ") + name;
}

void CGraphFrame::ShowNote(const QString& text) { statusBar()->showMessage(text, 5000); }

QString CGraphFrame::ActionName(GraphCommand command) {
    switch (command) {
        case GraphCommand::Settings: return QStringLiteral("actionSettings");
        case GraphCommand::Previous: return QStringLiteral("actionPrevious");
        case GraphCommand::Next: return QStringLiteral("actionNext");
        case GraphCommand::XZoomIn: return QStringLiteral("actionXZoomIn");
        case GraphCommand::XZoomOut: return QStringLiteral("actionXZoomOut");
        case GraphCommand::XShiftRight: return QStringLiteral("actionXShiftRight");
        case GraphCommand::XShiftLeft: return QStringLiteral("actionXShiftLeft");
        case GraphCommand::YZoomIn: return QStringLiteral("actionYZoomIn");
        case GraphCommand::YZoomOut: return QStringLiteral("actionYZoomOut");
        case GraphCommand::YShiftUp: return QStringLiteral("actionYShiftUp");
        case GraphCommand::YShiftDown: return QStringLiteral("actionYShiftDown");
        case GraphCommand::RatioZoomIn: return QStringLiteral("actionRatioZoomIn");
        case GraphCommand::RatioZoomOut: return QStringLiteral("actionRatioZoomOut");
        case GraphCommand::RatioShiftUp: return QStringLiteral("actionRatioShiftUp");
        case GraphCommand::RatioShiftDown: return QStringLiteral("actionRatioShiftDown");
        case GraphCommand::PlotMeasured: return QStringLiteral("actionPlotMeasured");
        case GraphCommand::PlotStandard: return QStringLiteral("actionPlotStandard");
        case GraphCommand::PlotDifference: return QStringLiteral("actionPlotDifference");
        case GraphCommand::ShowRatio: return QStringLiteral("actionShowRatio");
        case GraphCommand::ShowParPhotonLux: return QStringLiteral("actionShowParPhotonLux");
        case GraphCommand::ShowUv: return QStringLiteral("actionShowUv");
        case GraphCommand::ShowIntegration: return QStringLiteral("actionShowIntegration");
        case GraphCommand::Copy: return QStringLiteral("actionCopy");
        case GraphCommand::Save: return QStringLiteral("actionSave");
        case GraphCommand::Print: return QStringLiteral("actionPrint");
    }
    return {};
}

QAction* CGraphFrame::Action(GraphCommand command) const {
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
    // The size and place of the last window of this kind; the place only for the first one open,
    // so windows opened together still cascade.
    bool alone = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        alone = alone && (w == this || w->objectName() != objectName() || !w->isVisible());
    if (RestoreWindowPlace(this, objectName().toStdString(), alone) && alone) setProperty("heliarcCascaded", true);
}

QAction* CGraphFrame::MakeAction(GraphCommand command, const std::string& text, const std::string& tip, bool checkable) {
    auto* a = new QAction(Q(text), this);
    a->setObjectName(ActionName(command));
    a->setToolTip(Q(tip));
    a->setIcon(GraphCommandIcon(command));
    a->setCheckable(checkable);
    switch (command) {
        case GraphCommand::Copy: a->setShortcut(QKeySequence::Copy); break;
        case GraphCommand::Save: a->setShortcut(QKeySequence::Save); break;
        case GraphCommand::Print: a->setShortcut(QKeySequence::Print); break;
        case GraphCommand::Previous: a->setShortcut(Qt::Key_PageUp); break;
        case GraphCommand::Next: a->setShortcut(Qt::Key_PageDown); break;
        default: break;
    }
    // Shortcuts work with the toolbar hidden too.
    addAction(a);
    connect(a, &QAction::triggered, this, [this, command] { RunCommand(command); });
    actions_[command] = a;
    return a;
}

void CGraphFrame::MakeConfigAction() {
    config_ = MakeAction(GraphCommand::Settings, S(ids::kGraphConfiguration), S(ids::kGraphConfiguration));
}

void CGraphFrame::MakeOutputActions() {
    copy_ = MakeAction(GraphCommand::Copy, S(ids::kCopyToClipboard), S(ids::kCopyToClipboard));
    save_ = MakeAction(GraphCommand::Save, S(ids::kSaveAsBmp), S(ids::kSavePictureTip));
    print_ = MakeAction(GraphCommand::Print, S(ids::kPrint), S(ids::kPrint));
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

void CGraphFrame::ReportModal(bool open) {
    if (open) emit modalOpened();
    else emit modalClosed();
}

void CGraphFrame::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isVisible()) StoreWindowPlace(this, objectName().toStdString());
    if (!notified_) {
        notified_ = true;
        emit closed();
    }
}
