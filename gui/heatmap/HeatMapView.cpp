#include "gui/heatmap/HeatMapView.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/ModalBracket.h"
#include "gui/spectrum/PictureOutput.h"
#include "render/QtSurfaceImage.h"

CHeatMapView::CHeatMapView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CHeatMapView::SetData(const CSpectrumDataSet& records, const CSpectrumData* standard) {
    picture_.SetData(records, standard);
    if (onStateChanged) onStateChanged();
    Render();
}

void CHeatMapView::Render() {
    // At the screen's pixel ratio, so a HiDPI screen shows it crisp.
    if (!picture_.Render(std::max(1, width()), std::max(1, height()), devicePixelRatioF())) {
        ShowBracketedMessage(this, ids::kGraphPlotFailure);
        return;
    }
    update();
}

bool CHeatMapView::Enabled(GraphCommand command) const {
    return command != GraphCommand::ShowRatio || picture_.StandardPresent();
}

bool CHeatMapView::Checked(GraphCommand command) const {
    return command == GraphCommand::ShowRatio && picture_.Ratio();
}

bool CHeatMapView::Execute(GraphCommand command) {
    const double from = picture_.FromNm(), to = picture_.ToNm(), span = to - from, mid = (from + to) / 2;
    switch (command) {
        case GraphCommand::XZoomIn: picture_.SetWavelengths(mid - span / 4, mid + span / 4); break;
        case GraphCommand::XZoomOut: picture_.SetWavelengths(mid - span, mid + span); break;
        case GraphCommand::XShiftRight: picture_.SetWavelengths(from + span / 4, to + span / 4); break;
        case GraphCommand::XShiftLeft: picture_.SetWavelengths(from - span / 4, to - span / 4); break;
        case GraphCommand::ShowRatio: picture_.SetRatio(!picture_.Ratio()); break;
        default: return false;
    }
    if (onStateChanged) onStateChanged();
    Render();
    return true;
}

void CHeatMapView::Configure() {
    const auto Q = [](int id) { return QString::fromStdString(platform::LoadString(id)); };
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("heatMapSettings"));
    dialog.setWindowTitle(Q(ids::kGraphConfiguration));
    auto* form = new QFormLayout(&dialog);
    auto* from = new QDoubleSpinBox(&dialog);
    auto* to = new QDoubleSpinBox(&dialog);
    for (QDoubleSpinBox* box : {from, to}) {
        box->setRange(200, 2000);
        box->setDecimals(0);
    }
    from->setObjectName(QStringLiteral("fromNm"));
    to->setObjectName(QStringLiteral("toNm"));
    from->setValue(picture_.FromNm());
    to->setValue(picture_.ToNm());
    auto* ratio = new QCheckBox(Q(ids::kShowRatioData), &dialog);
    ratio->setObjectName(QStringLiteral("ratio"));
    ratio->setChecked(picture_.Ratio());
    ratio->setEnabled(picture_.StandardPresent());
    form->addRow(Q(ids::kWavelengthNm), from);
    form->addRow(QString(), to);
    form->addRow(ratio);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (RunBracketedModal(dialog) != QDialog::Accepted) return;
    picture_.SetWavelengths(from->value(), to->value());
    picture_.SetRatio(ratio->isChecked());
    if (onStateChanged) onStateChanged();
    Render();
}

void CHeatMapView::CopyToClipboard() { CopyWindowToClipboard(this); }

void CHeatMapView::SavePicture() {
    ::SavePicture(this, picture_.Graph(), [this](Surface& s) { picture_.DrawGraph(s); });
}

void CHeatMapView::Print() { PrintPicture(this, picture_.Graph(), ids::kPrintJobHeatMap); }

void CHeatMapView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QtSurfaceImage* graph = picture_.Graph();
    if (!graph) return;
    std::unique_ptr<QtSurfaceImage> screen;
    if (cursor_ && picture_.ReadAt(cursor_->x(), cursor_->y())) screen = QtSurfaceImage::CopyOf(*graph);
    if (!screen) {
        p.drawImage(0, 0, graph->Image());
        return;
    }
    picture_.DrawReadOut(*screen, cursor_->x(), cursor_->y());
    p.drawImage(0, 0, screen->Image());
}

void CHeatMapView::resizeEvent(QResizeEvent*) { Render(); }

void CHeatMapView::mouseMoveEvent(QMouseEvent* event) {
    cursor_ = event->position().toPoint();
    update();
}

void CHeatMapView::leaveEvent(QEvent*) {
    cursor_.reset();
    update();
}

void CHeatMapView::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}
