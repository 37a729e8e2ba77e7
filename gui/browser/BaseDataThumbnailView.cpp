#include "gui/browser/BaseDataThumbnailView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "core/data/BaseDataSet.h"
#include "core/platform/Messages.h"
#include "core/platform/StringIds.h"
#include "gui/common/WindowMessage.h"
#include "gui/spectrum/DataGraphView.h"
#include "render/ThumbnailPicture.h"

CBaseDataThumbnailView::CBaseDataThumbnailView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CBaseDataThumbnailView::Attach(CBaseDataSet& standard) {
    standard_ = &standard;
    Render();
}

void CBaseDataThumbnailView::Render() {
    if (!standard_) return;
    if (!RenderStandardThumbnail(standard_->Current(), width(), height(), back_)) {
        ShowBracketedMessage(this, ids::kGraphPlotFailure);
        return;
    }
    update();
}

bool CBaseDataThumbnailView::event(QEvent* event) {
    if (event->type() == ui::CWindowMessageEvent::EventType()) {
        if (static_cast<ui::CWindowMessageEvent*>(event)->Message() == platform::UM_STANDARD_CHANGED) Render();
        return true;
    }
    return QWidget::event(event);
}

void CBaseDataThumbnailView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (back_.isNull()) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    p.drawImage(0, 0, back_);
    if (back_.width() < width()) p.fillRect(back_.width(), 0, width() - back_.width(), height(), Qt::white);
    if (back_.height() < height()) p.fillRect(0, back_.height(), back_.width(), height() - back_.height(), Qt::white);
}

void CBaseDataThumbnailView::resizeEvent(QResizeEvent*) { Render(); }

void CBaseDataThumbnailView::contextMenuEvent(QContextMenuEvent* event) {
    // The standard data list's pop-up; its commands go to the main dialog.
    QWidget* main = ui::MainWindow();
    if (auto* menu = main ? main->findChild<QMenu*>(QStringLiteral("menu143Standard")) : nullptr)
        menu->popup(event->globalPos());
}
