#include "gui/spectrum/DataGraphView.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "render/QtSurfaceImage.h"
#include "gui/common/ModalBracket.h"
#include "gui/spectrum/PictureOutput.h"
#include "gui/spectrum/SetDataGraph.h"
#include "gui/spectrum/SetMultiDataGraph.h"

using P = CDataGraphPicture;

CDataGraphView::CDataGraphView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

CDataGraphView::~CDataGraphView() = default;

QPrinter& CDataGraphView::KeptPrinter() { return ::KeptPrinter(); }

void CDataGraphView::InitialUpdate() {
    if (initialised_) return;
    picture_.LoadSettings();
    initialised_ = true;
}

void CDataGraphView::Message(int stringId) { ShowBracketedMessage(this, stringId, Prompter::Icon::Warning); }

void CDataGraphView::StateChanged() {
    if (onStateChanged) onStateChanged();
}

void CDataGraphView::AfterEntryPoint() {
    if (!initialised_) InitialUpdate();
    StateChanged();
    Render();
}

void CDataGraphView::ShowMeasured(const CSpectrumData& record, const CSpectrumData* standard) {
    InitialUpdate();
    picture_.ShowMeasured(record, standard);
    AfterEntryPoint();
}

void CDataGraphView::ShowPlural(const std::vector<CSpectrumData>& records, const CSpectrumData* standard) {
    InitialUpdate();
    picture_.ShowPlural(records, standard);
    AfterEntryPoint();
}

void CDataGraphView::ShowLatest(const CSpectrumData& record, const CSpectrumData* standard) {
    InitialUpdate();
    picture_.ShowLatest(record, standard);
    AfterEntryPoint();
}

void CDataGraphView::ShowStandard(const CSpectrumData& record) {
    InitialUpdate();
    picture_.ShowStandard(record);
    AfterEntryPoint();
}

void CDataGraphView::Render() {
    if (picture_.Mode() == P::kModeNone) return;
    // Drawn in device pixels, so a HiDPI screen shows it crisp (and the text in proportion).
    const qreal dpr = devicePixelRatioF();
    const int w = std::max(1, qRound(width() * dpr));
    const int h = std::max(1, qRound(height() * dpr));
    if (!picture_.Render(w, h)) {
        Message(ids::kGraphPlotFailure);
        return;
    }
    update();
}

bool CDataGraphView::Execute(GraphCommand command) {
    if (picture_.Mode() == P::kModeNone) return false;
    const bool changed = picture_.Execute(command);
    StateChanged();
    if (changed) Render();
    return changed;
}

void CDataGraphView::Configure() {
    CDataGraphPrm& prm = picture_.Prm();
    bool accepted = false;
    if (picture_.Mode() == P::kModePlural) {
        CSetMultiDataGraph dialog(picture_.StandardPresent(), this);
        dialog.LoadFromSection(prm, static_cast<int>(picture_.Records().size()));
        if (RunBracketedModal(dialog) == QDialog::Accepted) {
            dialog.StoreToSection(prm);
            accepted = true;
        }
    } else {
        CSetDataGraph dialog(picture_.StandardPresent(), this);
        dialog.LoadFromSection(prm);
        if (RunBracketedModal(dialog) == QDialog::Accepted) {
            dialog.StoreToSection(prm);
            accepted = true;
        }
    }
    // The whole section goes to the file, the current zoom state with it.
    if (accepted) prm.Save();
    StateChanged();
    Render();
}

void CDataGraphView::CopyToClipboard() { CopyWindowToClipboard(this); }

void CDataGraphView::SavePicture() {
    ::SavePicture(this, picture_.Display(), [this](Surface& surface) {
        picture_.DrawGraph(surface);
        picture_.DrawLegend(surface, picture_.LegendPosition().x, picture_.LegendPosition().y, false);
    });
}

void CDataGraphView::Print() { PrintPicture(this, picture_.Display(), ids::kPrintJobDataGraph); }

void CDataGraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QtSurfaceImage* display = picture_.Display();
    if (display) {
        const qreal dpr = devicePixelRatioF();
        const QRectF shown(0, 0, display->Width() / dpr, display->Height() / dpr);
        p.drawImage(shown, display->Image());
        if (shown.width() < width()) p.fillRect(QRectF(shown.width(), 0, width() - shown.width(), height()), Qt::white);
        if (shown.height() < height())
            p.fillRect(QRectF(0, shown.height(), shown.width(), height() - shown.height()), Qt::white);
    } else {
        p.fillRect(rect(), Qt::white);
    }
}

void CDataGraphView::resizeEvent(QResizeEvent*) {
    if (initialised_) Render();
}

void CDataGraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || picture_.Mode() == P::kModeNone) return;
    const QPoint pos = (event->position() * devicePixelRatioF()).toPoint();
    if (picture_.InLegend(pos.x(), pos.y())) {
        mouseMode_ = 0;
        captured_ = true;
        dragOffset_ = QPoint(pos.x() - picture_.LegendPosition().x, pos.y() - picture_.LegendPosition().y);
    } else if (picture_.InPlot(pos.x(), pos.y())) {
        mouseMode_ = 1;
        captured_ = true;
        if (picture_.ReadOutAt(pos.x())) update();
    }
}

void CDataGraphView::mouseMoveEvent(QMouseEvent* event) {
    if (!captured_) return;
    const QPoint pos = (event->position() * devicePixelRatioF()).toPoint();
    if (mouseMode_ == 0) {
        picture_.SetLegendPosition({pos.x() - dragOffset_.x(), pos.y() - dragOffset_.y()});
        if (picture_.Compose()) update();
    } else if (picture_.InPlot(pos.x(), pos.y())) {
        if (picture_.ReadOutAt(pos.x())) update();
    }
}

void CDataGraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !captured_) return;
    captured_ = false;
    picture_.EndReadOut();
    Render();
}

void CDataGraphView::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}
