#include "gui/quality/LightQualityView.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <algorithm>

#include "core/platform/StringIds.h"
#include "gui/common/ModalBracket.h"
#include "gui/spectrum/PictureOutput.h"
#include "render/QtSurfaceImage.h"

CLightQualityView::CLightQualityView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void CLightQualityView::ShowRecord(std::shared_ptr<const CSpectrumData> record) {
    picture_.Show(std::move(record));
    Render();
}

void CLightQualityView::Render() {
    // At the screen's pixel ratio, so a HiDPI screen shows it crisp.
    if (!picture_.Render(std::max(1, width()), std::max(1, height()), devicePixelRatioF())) {
        ShowBracketedMessage(this, ids::kGraphPlotFailure);
        return;
    }
    update();
}

void CLightQualityView::CopyToClipboard() { CopyWindowToClipboard(this); }

void CLightQualityView::SavePicture() {
    ::SavePicture(this, picture_.Graph(), [this](Surface& s) { picture_.Draw(s); });
}

void CLightQualityView::Print() { PrintPicture(this, picture_.Graph(), ids::kLightQuality); }

void CLightQualityView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (const QtSurfaceImage* graph = picture_.Graph()) p.drawImage(0, 0, graph->Image());
}

void CLightQualityView::resizeEvent(QResizeEvent*) { Render(); }

void CLightQualityView::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}
