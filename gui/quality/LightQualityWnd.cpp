#include "gui/quality/LightQualityWnd.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

#include "gui/quality/LightQualityView.h"

CLightQualityWnd::CLightQualityWnd(const std::string& title) : CGraphFrame(title, "CLightQualityWnd") {
    view_ = new CLightQualityView(this);
    SetView(view_, "CLightQualityView");
    SetSizes(400, 300);
    // No settings and no axes: the picture's outputs are the only commands.
    MakeOutputActions();
    QToolBar* bar = addToolBar(QStringLiteral("LIGHT_QUALITY"));
    bar->setObjectName(QStringLiteral("lightQualityToolBar"));
    bar->setIconSize(QSize(16, 15));
    menu_ = new QMenu(QStringLiteral("LIGHT_QUALITY"), this);
    menu_->setObjectName(QStringLiteral("lightQualityMenu"));
    for (auto& [command, action] : Actions()) {
        bar->addAction(action);
        menu_->addAction(action);
    }
    view_->onContextMenu = [this](const QPoint& at) { menu_->popup(at); };
    RefreshCommands();
}

void CLightQualityWnd::ShowRecord(std::shared_ptr<const CSpectrumData> record) {
    view_->ShowRecord(std::move(record));
    RefreshCommands();
}

void CLightQualityWnd::RunCommand(GraphCommand command) {
    switch (command) {
        case GraphCommand::Copy: view_->CopyToClipboard(); break;
        case GraphCommand::Save: view_->SavePicture(); break;
        case GraphCommand::Print: view_->Print(); break;
        default: break;
    }
}

void CLightQualityWnd::RefreshCommands() {
    // A picture without a record is still a picture; the outputs stay on.
    for (auto& [command, action] : Actions()) action->setEnabled(true);
}
