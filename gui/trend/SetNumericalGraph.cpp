#include "gui/trend/SetNumericalGraph.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"
#include "gui/common/ColorSwatch.h"
#include "gui/common/GraphDialogParts.h"
#include "gui/common/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }

}  // namespace

int NumericalUnitLabel(int kind) {
    switch (kind) {
        case 1: return ids::kUnitUmolM2S;
        case 2: return ids::kUnitLx;
        case 3:
        case 4: return ids::kUnitDeg;
        case 5: return ids::kUnitM;
        case CNumericalGraphPrm::kKindPpfd: return ids::kUnitUmolM2S;
        case CNumericalGraphPrm::kKindRfr: return 0;  // a ratio: no unit
        case CNumericalGraphPrm::kKindCct: return ids::kUnitKelvin;
        case CNumericalGraphPrm::kKindMelanopicEdi: return ids::kUnitLx;
        case CNumericalGraphPrm::kKindDli: return ids::kUnitMolM2D;
        default: return ids::kUnitWm2;
    }
}

CSetNumericalGraph::CSetNumericalGraph(QWidget* parent) : QDialog(parent) {
    setObjectName("numericalGraphSettings");
    setWindowTitle(T(ids::kCalculationDataGraphConfig));
    auto* top = new QGridLayout(this);

    auto* typeBox = new QGroupBox(T(ids::kDataType), this);
    auto* tl = new QVBoxLayout(typeBox);
    const int captions[kKinds] = {ids::kPar,    ids::kPhoton, ids::kLux,         ids::kLongitude,  ids::kLatitude,
                                  ids::kAltitude, ids::kUvA,  ids::kUvB,         ids::kIntegration, ids::kCsvPpfd,
                                  ids::kCsvRfr,   ids::kCsvCct, ids::kCsvMelanopicEdi, ids::kLabelDli};
    // Shown in this order; the position, altitude and UV kinds exist but are not offered.
    for (int k : {0, 1, 2, 8, 9, 10, 11, 12, 13, 3, 4, 5, 6, 7}) {
        auto* b = new QRadioButton(T(captions[k]), typeBox);
        b->setObjectName(QString("SHOW_KIND_%1").arg(k));
        b->setHidden(k >= 3 && k <= 7);
        kind_[static_cast<std::size_t>(k)] = b;
        tl->addWidget(b);
        connect(b, &QRadioButton::toggled, this, [this, k](bool on) {
            if (on) KindChanged(k);
        });
    }

    auto* detail = new QGroupBox(T(ids::kDetail), this);
    auto* dl = new QVBoxLayout(detail);
    GridMarkerChecks(detail, grid_, marker_);
    dl->addWidget(grid_);
    dl->addWidget(marker_);

    QGroupBox* colorBox = ColorBox(this, color_);
    QGroupBox* axisBox = TimeAxisBox(this, timeSeries_, equalInterval_);

    auto* yBox = new QGroupBox(T(ids::kYAxis), this);
    auto* yl = new QGridLayout(yBox);
    autoY_ = NamedCheck(yBox, "RANGE_AUTO_Y", T(ids::kAuto));
    minY_ = new QLineEdit(yBox);
    minY_->setObjectName("RANGE_MIN");
    maxY_ = new QLineEdit(yBox);
    maxY_->setObjectName("RANGE_MAX");
    unit_ = new QLabel(yBox);
    unit_->setObjectName("UNIT");
    yl->addWidget(autoY_, 0, 0, 1, 3);
    yl->addWidget(new QLabel(T(ids::kMin), yBox), 1, 0);
    yl->addWidget(minY_, 1, 1);
    yl->addWidget(new QLabel(T(ids::kMax), yBox), 2, 0);
    yl->addWidget(maxY_, 2, 1);
    yl->addWidget(unit_, 1, 2, 2, 1);
    connect(autoY_, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    auto* areaBox = new QGroupBox(T(ids::kIntegrationNm), this);
    auto* il = new QHBoxLayout(areaBox);
    minArea_ = new QLineEdit(areaBox);
    minArea_->setObjectName("MIN_INTEGRATION_AREA");
    maxArea_ = new QLineEdit(areaBox);
    maxArea_->setObjectName("MAX_INTEGRATION_AREA");
    il->addWidget(minArea_);
    il->addWidget(new QLabel("-", areaBox));
    il->addWidget(maxArea_);

    top->addWidget(typeBox, 0, 0, 3, 1);
    top->addWidget(detail, 0, 1);
    top->addWidget(colorBox, 1, 1);
    top->addWidget(axisBox, 2, 1);
    top->addWidget(yBox, 3, 0);
    top->addWidget(areaBox, 3, 1);
    top->addWidget(OkCancelButtons(this), 4, 0, 1, 2);
    FillControls();
}

void CSetNumericalGraph::LoadFromSection(const CNumericalGraphPrm& prm) {
    kind = prm.m_SHOW_KIND;
    if (kind < 0 || kind >= kKinds) kind = kIntegrationKind;
    color = prm.m_DATA_COLOR;
    timeAxis = prm.m_TIME_AXIS_KIND;
    marker = prm.m_SHOW_MARKER;
    grid = prm.m_SHOW_GRID;
    autoY = prm.m_RANGE_AUTO_Y;
    for (int k = 0; k < kKinds; ++k) {
        auto pair = prm.RangeKeys(k);
        minY[static_cast<std::size_t>(k)] = pair.first->Get();
        maxY[static_cast<std::size_t>(k)] = pair.second->Get();
    }
    minArea = prm.m_MIN_INTEGRATION_AREA;
    maxArea = prm.m_MAX_INTEGRATION_AREA;
    FillControls();
}

void CSetNumericalGraph::StoreToSection(CNumericalGraphPrm& prm) const {
    prm.m_SHOW_KIND = kind;
    prm.m_DATA_COLOR = color;
    prm.m_TIME_AXIS_KIND = timeAxis;
    prm.m_SHOW_MARKER = marker;
    prm.m_SHOW_GRID = grid;
    prm.m_RANGE_AUTO_Y = autoY;
    for (int k = 0; k < kKinds; ++k) {
        auto pair = prm.RangeKeys(k);
        *pair.first = minY[static_cast<std::size_t>(k)];
        *pair.second = maxY[static_cast<std::size_t>(k)];
    }
    prm.m_MIN_INTEGRATION_AREA = minArea;
    prm.m_MAX_INTEGRATION_AREA = maxArea;
}

void CSetNumericalGraph::FillControls() {
    switching_ = true;
    kind_[static_cast<std::size_t>(kind)]->setChecked(true);
    switching_ = false;
    shown_ = kind;
    grid_->setChecked(grid != 0);
    marker_->setChecked(marker != 0);
    ShowColor(color_, color);
    (timeAxis == 0 ? timeSeries_ : equalInterval_)->setChecked(true);
    autoY_->setChecked(autoY != 0);
    minY_->setText(NumberText(minY[static_cast<std::size_t>(kind)]));
    maxY_->setText(NumberText(maxY[static_cast<std::size_t>(kind)]));
    minArea_->setText(NumberText(minArea));
    maxArea_->setText(NumberText(maxArea));
    ApplyRules();
}

void CSetNumericalGraph::ApplyRules() {
    minY_->setEnabled(!autoY_->isChecked());
    maxY_->setEnabled(!autoY_->isChecked());
    minArea_->setEnabled(shown_ == kIntegrationKind);
    maxArea_->setEnabled(shown_ == kIntegrationKind);
    const int unit = NumericalUnitLabel(shown_);
    unit_->setText(unit ? T(unit) : QString());
}

bool CSetNumericalGraph::SaveShownPair() {
    float lo = 0, hi = 0;
    if (!ExchangeNumber(this, minY_, lo) || !ExchangeNumber(this, maxY_, hi)) return false;
    minY[static_cast<std::size_t>(shown_)] = lo;
    maxY[static_cast<std::size_t>(shown_)] = hi;
    return true;
}

void CSetNumericalGraph::KindChanged(int newKind) {
    if (switching_ || newKind == shown_) return;
    // What was typed for the previous kind stays with it; a non-number keeps that kind selected.
    if (!SaveShownPair()) {
        switching_ = true;
        kind_[static_cast<std::size_t>(shown_)]->setChecked(true);
        switching_ = false;
        return;
    }
    shown_ = newKind;
    minY_->setText(NumberText(minY[static_cast<std::size_t>(newKind)]));
    maxY_->setText(NumberText(maxY[static_cast<std::size_t>(newKind)]));
    ApplyRules();
}

bool CSetNumericalGraph::TakeControls() {
    float lo = 0, hi = 0, areaLo = 0, areaHi = 0;
    if (!ExchangeNumber(this, minY_, lo) || !ExchangeNumber(this, maxY_, hi) ||
        !ExchangeNumberInRange(this, minArea_, 350, 1050, areaLo) ||
        !ExchangeNumberInRange(this, maxArea_, 350, 1050, areaHi))
        return false;
    if (!autoY_->isChecked() && !(lo < hi)) {
        ShowMessage(this, ids::kInvalidYRange, Prompter::Icon::Warning);
        return false;
    }
    if (shown_ == kIntegrationKind && !(areaLo < areaHi)) {
        ShowMessage(this, ids::kInvalidIntegrationArea, Prompter::Icon::Warning);
        return false;
    }
    minY[static_cast<std::size_t>(shown_)] = lo;
    maxY[static_cast<std::size_t>(shown_)] = hi;
    kind = shown_;
    grid = grid_->isChecked();
    marker = marker_->isChecked();
    color = ColorOf(color_);
    timeAxis = equalInterval_->isChecked() ? 1 : 0;
    autoY = autoY_->isChecked();
    minArea = areaLo;
    maxArea = areaHi;
    return true;
}

void CSetNumericalGraph::accept() {
    if (TakeControls()) QDialog::accept();
}
