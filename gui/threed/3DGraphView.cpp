#include "gui/threed/3DGraphView.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/platform/StringIds.h"
#include "render/QtSurfaceImage.h"
#include "gui/common/ModalBracket.h"
#include "gui/spectrum/PictureOutput.h"
#include "gui/threed/Set3DGraph.h"

C3DGraphView::C3DGraphView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void C3DGraphView::InitialUpdate() {
    if (ready_) return;
    picture_.LoadSettings();
    ready_ = true;
}

void C3DGraphView::StateChanged() {
    if (onStateChanged) onStateChanged();
}

void C3DGraphView::SetData(const CSpectrumDataSet& records, const CSpectrumData* standard) {
    InitialUpdate();
    picture_.SetData(records, standard);
    StateChanged();
    Render();
}

void C3DGraphView::Render() {
    // Drawn in device pixels, so a HiDPI screen shows it crisp (and the text in proportion).
    const qreal dpr = devicePixelRatioF();
    if (!picture_.Render(std::max(1, qRound(width() * dpr)), std::max(1, qRound(height() * dpr)))) {
        ShowBracketedMessage(this, ids::kGraphPlotFailure, Prompter::Icon::Warning);
        return;
    }
    update();
}

void C3DGraphView::CopyToClipboard() { CopyWindowToClipboard(this); }

void C3DGraphView::SavePicture() {
    ::SavePicture(this, picture_.Graph(), [this](Surface& surface) { picture_.DrawGraph(surface); });
}

void C3DGraphView::Print() { PrintPicture(this, picture_.Graph(), ids::kPrintJob3DGraph); }

bool C3DGraphView::Execute(GraphCommand command) {
    const bool changed = picture_.Execute(command);
    StateChanged();
    if (changed) Render();
    return changed;
}

void C3DGraphView::Configure() {
    CSet3DGraph dialog(picture_.StandardPresent(), this);
    dialog.LoadFromSection(picture_.Prm());
    if (RunBracketedModal(dialog) == QDialog::Accepted) {
        dialog.StoreToSection(picture_.Prm());
        picture_.Prm().Save();
    }
    StateChanged();
    Render();
}

void C3DGraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const qreal dpr = devicePixelRatioF();
    if (const QtSurfaceImage* graph = picture_.Graph())
        p.drawImage(QRectF(0, 0, graph->Width() / dpr, graph->Height() / dpr), graph->Image());
}

void C3DGraphView::resizeEvent(QResizeEvent*) {
    if (ready_) Render();
}

void C3DGraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    turning_ = true;
    // The widget keeps the mouse while the button is down, so the drag follows it anywhere.
    last_ = event->position().toPoint();
}

void C3DGraphView::mouseMoveEvent(QMouseEvent* event) {
    if (!turning_) return;
    const QPoint pos = event->position().toPoint();
    const int dx = pos.x() - last_.x(), dy = pos.y() - last_.y();
    const bool changed = picture_.Turn(dx, dy);
    // Only the pixels that turned are used up: a slow drag of one pixel a move still turns.
    const int step = C3DGraphPicture::kPixelsPerDegree;
    last_ += QPoint(dx / step * step, dy / step * step);
    if (changed) Render();
}

void C3DGraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !turning_) return;
    turning_ = false;
}

void C3DGraphView::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}
