#include "gui/trend/NumericalGraphView.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>

#include "core/graph/RgbImage.h"
#include "core/platform/StringIds.h"
#include "render/QtSurfaceImage.h"
#include "gui/common/ModalBracket.h"
#include "gui/spectrum/PictureOutput.h"
#include "gui/trend/SetNumericalGraph.h"

CNumericalGraphView::CNumericalGraphView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void CNumericalGraphView::InitialUpdate() {
    if (initialised_) return;
    picture_.LoadSettings();
    initialised_ = true;
}

void CNumericalGraphView::ShowRecords(const CSpectrumDataSet& records) {
    InitialUpdate();
    picture_.ShowRecords(records);
    if (onStateChanged) onStateChanged();
    Render();
}

void CNumericalGraphView::Render() {
    // Drawn in device pixels, so a HiDPI screen shows it crisp (and the text in proportion).
    const qreal dpr = devicePixelRatioF();
    if (!picture_.Render(std::max(1, qRound(width() * dpr)), std::max(1, qRound(height() * dpr)))) {
        ShowBracketedMessage(this, ids::kGraphPlotFailure, Prompter::Icon::Warning);
        return;
    }
    update();
}

void CNumericalGraphView::CopyToClipboard() { CopyWindowToClipboard(this); }

void CNumericalGraphView::SavePicture() {
    ::SavePicture(this, picture_.Graph(), [this](Surface& surface) { picture_.DrawGraph(surface); });
}

void CNumericalGraphView::Print() { PrintPicture(this, picture_.Graph(), ids::kPrintJobNumericalGraph); }

bool CNumericalGraphView::Execute(GraphCommand command) {
    const bool changed = picture_.Execute(command);
    if (onStateChanged) onStateChanged();
    if (changed) Render();
    return changed;
}

void CNumericalGraphView::Configure() {
    CSetNumericalGraph dialog(this);
    dialog.LoadFromSection(picture_.Prm());
    if (RunBracketedModal(dialog) == QDialog::Accepted) {
        dialog.StoreToSection(picture_.Prm());
        picture_.Prm().Save();
    }
    if (onStateChanged) onStateChanged();
    Render();
}

void CNumericalGraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QtSurfaceImage* graph = picture_.Graph();
    if (!graph) return;
    const qreal dpr = devicePixelRatioF();
    const QRectF shown(0, 0, graph->Width() / dpr, graph->Height() / dpr);
    if (!cursor_) {
        p.drawImage(shown, graph->Image());
        return;
    }
    // The read-out is painted over a copy: the picture itself never holds it.
    std::unique_ptr<QtSurfaceImage> screen = QtSurfaceImage::Create(graph->Width(), graph->Height());
    if (!screen) {
        p.drawImage(shown, graph->Image());
        return;
    }
    const RgbImage& px = picture_.GraphPixels();
    screen->BlockCopy(0, 0, px, 0, 0, px.width, px.height);
    picture_.DrawReadOut(*screen, point_.x());
    p.drawImage(shown, screen->Image());
}

void CNumericalGraphView::resizeEvent(QResizeEvent*) {
    if (initialised_) Render();
}

void CNumericalGraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = (event->position() * devicePixelRatioF()).toPoint();
    const SurfaceRect& plot = picture_.PlotRect();
    if (pos.x() < plot.left || pos.x() >= plot.right || pos.y() < plot.top || pos.y() >= plot.bottom) return;
    cursor_ = true;
    point_ = pos;
    update();
}

void CNumericalGraphView::mouseMoveEvent(QMouseEvent* event) {
    if (!cursor_) return;
    const QPoint pos = (event->position() * devicePixelRatioF()).toPoint();
    const SurfaceRect& plot = picture_.PlotRect();
    if (pos.x() < plot.left || pos.x() >= plot.right || pos.y() < plot.top || pos.y() >= plot.bottom) return;
    point_ = pos;
    update();
}

void CNumericalGraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !cursor_) return;
    cursor_ = false;
    update();
}

void CNumericalGraphView::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}
