#include "gui/browser/BaseDataThumbnailView.h"

#include <QContextMenuEvent>
#include <QPainter>

#include "core/data/BaseDataSet.h"
#include "core/platform/StringIds.h"
#include "gui/common/ModalBracket.h"
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
    if (!RenderStandardThumbnail(standard_->Current(), width(), height(), back_, devicePixelRatioF())) {
        ShowBracketedMessage(this, ids::kGraphPlotFailure);
        return;
    }
    update();
}

void CBaseDataThumbnailView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (back_.isNull()) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    p.drawImage(0, 0, back_);
    const QSize shown = back_.deviceIndependentSize().toSize();
    if (shown.width() < width()) p.fillRect(shown.width(), 0, width() - shown.width(), height(), Qt::white);
    if (shown.height() < height()) p.fillRect(0, shown.height(), shown.width(), height() - shown.height(), Qt::white);
}

void CBaseDataThumbnailView::resizeEvent(QResizeEvent*) { Render(); }

void CBaseDataThumbnailView::contextMenuEvent(QContextMenuEvent* event) { emit contextMenuRequested(event->globalPos()); }
