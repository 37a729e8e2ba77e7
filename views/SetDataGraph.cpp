#include "views/SetDataGraph.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/Prompter.h"
#include "views/ColorSwatch.h"
#include "views/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }

QLineEdit* Edit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(90);
    return e;
}
QCheckBox* Check(QWidget* parent, const char* name, const QString& text) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}
}  // namespace

CSetDataGraph::CSetDataGraph(bool standardPresent, QWidget* parent) : QDialog(parent), standard_(standardPresent) {
    setObjectName("id144");
    setWindowTitle(T(ids::kGraphConfig));
    auto* top = new QGridLayout(this);

    auto* xBox = new QGroupBox(T(ids::kXAxisNm), this);
    auto* xl = new QGridLayout(xBox);
    minX_ = Edit(xBox, "RANGE_MIN_X");
    maxX_ = Edit(xBox, "RANGE_MAX_X");
    xl->addWidget(new QLabel(T(ids::kMin), xBox), 0, 0);
    xl->addWidget(minX_, 0, 1);
    xl->addWidget(new QLabel(T(ids::kMax), xBox), 1, 0);
    xl->addWidget(maxX_, 1, 1);

    auto* yBox = new QGroupBox(T(ids::kYAxis), this);
    auto* yl = new QGridLayout(yBox);
    autoY_ = Check(yBox, "RANGE_AUTO_Y", T(ids::kAuto));
    minY_ = Edit(yBox, "RANGE_MIN_Y");
    maxY_ = Edit(yBox, "RANGE_MAX_Y");
    unit0_ = new QRadioButton(T(ids::kUnitCaptionWm2Um), yBox);
    unit0_->setObjectName("UNIT_Y_0");
    unit1_ = new QRadioButton(T(ids::kUnitCaptionUmolM2SUm), yBox);
    unit1_->setObjectName("UNIT_Y_1");
    yl->addWidget(autoY_, 0, 0, 1, 2);
    yl->addWidget(new QLabel(T(ids::kMin), yBox), 1, 0);
    yl->addWidget(minY_, 1, 1);
    yl->addWidget(new QLabel(T(ids::kMax), yBox), 2, 0);
    yl->addWidget(maxY_, 2, 1);
    yl->addWidget(unit0_, 3, 0, 1, 2);
    yl->addWidget(unit1_, 4, 0, 1, 2);

    auto* rBox = new QGroupBox(T(ids::kRatioDataPercent), this);
    auto* rl = new QGridLayout(rBox);
    autoRatio_ = Check(rBox, "RANGE_AUTO_RATIO", T(ids::kAuto));
    minRatio_ = Edit(rBox, "RANGE_MIN_RATIO");
    maxRatio_ = Edit(rBox, "RANGE_MAX_RATIO");
    rl->addWidget(autoRatio_, 0, 0, 1, 2);
    rl->addWidget(new QLabel(T(ids::kMin), rBox), 1, 0);
    rl->addWidget(minRatio_, 1, 1);
    rl->addWidget(new QLabel(T(ids::kMax), rBox), 2, 0);
    rl->addWidget(maxRatio_, 2, 1);

    auto* iBox = new QGroupBox(T(ids::kIntegrationNm), this);
    auto* il = new QGridLayout(iBox);
    minInt_ = Edit(iBox, "RANGE_MIN_INTEGRATION");
    maxInt_ = Edit(iBox, "RANGE_MAX_INTEGRATION");
    il->addWidget(new QLabel(T(ids::kMin), iBox), 0, 0);
    il->addWidget(minInt_, 0, 1);
    il->addWidget(new QLabel(T(ids::kMax), iBox), 1, 0);
    il->addWidget(maxInt_, 1, 1);

    auto* dBox = new QGroupBox(T(ids::kDisplay), this);
    auto* dl = new QGridLayout(dBox);
    grid_ = Check(dBox, "SHOW_GRID", T(ids::kGrid));
    marker_ = Check(dBox, "SHOW_MARKER", T(ids::kMarker));
    dl->addWidget(grid_, 0, 0);
    dl->addWidget(marker_, 0, 1);
    auto series = [&](int row, const char* name, const char* colorName, int caption, QCheckBox*& box,
                      CColorSwatch*& swatch, QLabel*& label) {
        box = Check(dBox, name, T(caption));
        label = new QLabel(T(ids::kColor), dBox);
        swatch = new CColorSwatch(dBox);
        swatch->setObjectName(colorName);
        dl->addWidget(box, row, 0);
        dl->addWidget(label, row, 1);
        dl->addWidget(swatch, row, 2);
    };
    series(1, "SHOW_MEASURED_DATA", "MEASURED_DATA_COLOR", ids::kMeasuredData, measured_, measuredColor_, measuredLabel_);
    series(2, "SHOW_BASE_DATA", "BASE_DATA_COLOR", ids::kStandardData, base_, baseColor_, baseLabel_);
    series(3, "SHOW_DIFFERENCE_DATA", "DIFFERENCE_DATA_COLOR", ids::kDifferenceData, difference_, differenceColor_,
           differenceLabel_);
    series(4, "SHOW_RATIO_DATA", "RATIO_DATA_COLOR", ids::kRatioData, ratio_, ratioColor_, ratioLabel_);
    parPtmLux_ = Check(dBox, "SHOW_PAR_PTM_LUX", T(ids::kParPtnLux));
    latLonAlt_ = Check(dBox, "SHOW_LAT_LON_ALTITUDE", T(ids::kLatLonAlt));
    integration_ = Check(dBox, "SHOW_INTEGRATION", T(ids::kIntegration));
    uv_ = Check(dBox, "SHOW_UV", T(ids::kUvAUvB));
    uv_->setVisible(false);  // exchanged, never offered
    dl->addWidget(parPtmLux_, 5, 0);
    dl->addWidget(latLonAlt_, 6, 0);
    dl->addWidget(integration_, 7, 0);
    dl->addWidget(uv_, 8, 0);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(T(ids::kOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName("id1");
    ok->setDefault(true);
    buttons->addButton(T(ids::kCancel), QDialogButtonBox::RejectRole)->setObjectName("id2");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });

    top->addWidget(xBox, 0, 0);
    top->addWidget(yBox, 1, 0);
    top->addWidget(rBox, 2, 0);
    top->addWidget(iBox, 3, 0);
    top->addWidget(dBox, 0, 1, 4, 1);
    top->addWidget(buttons, 4, 0, 1, 2);

    for (QCheckBox* c : {autoY_, autoRatio_, measured_, base_, difference_, ratio_, integration_})
        connect(c, &QCheckBox::toggled, this, [this] { ApplyRules(); });
    FillControls();
}

void CSetDataGraph::LoadFromSection(const CDataGraphPrm& prm) {
    minX = prm.m_RANGE_MIN_X;
    maxX = prm.m_RANGE_MAX_X;
    minY = prm.m_RANGE_MIN_Y;
    maxY = prm.m_RANGE_MAX_Y;
    autoY = prm.m_RANGE_AUTO_Y;
    unitY = prm.m_UNIT_Y;
    minIntegration = prm.m_RANGE_MIN_INTEGRATION;
    maxIntegration = prm.m_RANGE_MAX_INTEGRATION;
    grid = prm.m_SHOW_GRID;
    marker = prm.m_SHOW_MARKER;
    measured = prm.m_SHOW_MEASURED_DATA;
    measuredColor = prm.m_MEASURED_DATA_COLOR;
    latLonAlt = prm.m_SHOW_LAT_LON_ALTITUDE;
    parPtmLux = prm.m_SHOW_PAR_PTM_LUX;
    uv = prm.m_SHOW_UV;
    integration = prm.m_SHOW_INTEGRATION;
    if (standard_) {
        minRatio = prm.m_RANGE_MIN_RATIO;
        maxRatio = prm.m_RANGE_MAX_RATIO;
        autoRatio = prm.m_RANGE_AUTO_RATIO;
        base = prm.m_SHOW_BASE_DATA;
        baseColor = prm.m_BASE_DATA_COLOR;
        difference = prm.m_SHOW_DIFFERENCE_DATA;
        differenceColor = prm.m_DIFFERENCE_DATA_COLOR;
        ratio = prm.m_SHOW_RATIO_DATA;
        ratioColor = prm.m_RATIO_DATA_COLOR;
    }
    FillControls();
}

void CSetDataGraph::StoreToSection(CDataGraphPrm& prm) const {
    prm.m_RANGE_MIN_X = minX;
    prm.m_RANGE_MAX_X = maxX;
    prm.m_RANGE_MIN_Y = minY;
    prm.m_RANGE_MAX_Y = maxY;
    prm.m_RANGE_AUTO_Y = autoY;
    prm.m_UNIT_Y = unitY;
    prm.m_RANGE_MIN_INTEGRATION = minIntegration;
    prm.m_RANGE_MAX_INTEGRATION = maxIntegration;
    prm.m_SHOW_GRID = grid;
    prm.m_SHOW_MARKER = marker;
    prm.m_SHOW_MEASURED_DATA = measured;
    prm.m_MEASURED_DATA_COLOR = measuredColor;
    prm.m_SHOW_LAT_LON_ALTITUDE = latLonAlt;
    prm.m_SHOW_PAR_PTM_LUX = parPtmLux;
    prm.m_SHOW_UV = uv;
    prm.m_SHOW_INTEGRATION = integration;
    if (standard_) {
        prm.m_RANGE_MIN_RATIO = minRatio;
        prm.m_RANGE_MAX_RATIO = maxRatio;
        prm.m_RANGE_AUTO_RATIO = autoRatio;
        prm.m_SHOW_BASE_DATA = base;
        prm.m_BASE_DATA_COLOR = baseColor;
        prm.m_SHOW_DIFFERENCE_DATA = difference;
        prm.m_DIFFERENCE_DATA_COLOR = differenceColor;
        prm.m_SHOW_RATIO_DATA = ratio;
        prm.m_RATIO_DATA_COLOR = ratioColor;
    }
}

void CSetDataGraph::FillControls() {
    minX_->setText(NumberText(minX));
    maxX_->setText(NumberText(maxX));
    minY_->setText(NumberText(minY));
    maxY_->setText(NumberText(maxY));
    minRatio_->setText(NumberText(minRatio));
    maxRatio_->setText(NumberText(maxRatio));
    minInt_->setText(NumberText(minIntegration));
    maxInt_->setText(NumberText(maxIntegration));
    autoY_->setChecked(autoY != 0);
    (unitY == 0 ? unit0_ : unit1_)->setChecked(true);
    autoRatio_->setChecked(autoRatio != 0);
    grid_->setChecked(grid != 0);
    marker_->setChecked(marker != 0);
    measured_->setChecked(measured != 0);
    base_->setChecked(base != 0);
    difference_->setChecked(difference != 0);
    ratio_->setChecked(ratio != 0);
    parPtmLux_->setChecked(parPtmLux != 0);
    latLonAlt_->setChecked(latLonAlt != 0);
    integration_->setChecked(integration != 0);
    uv_->setChecked(uv != 0);
    measuredColor_->SetBackgroundColor(static_cast<uint32_t>(measuredColor) & 0xFFFFFFu);
    baseColor_->SetBackgroundColor(static_cast<uint32_t>(baseColor) & 0xFFFFFFu);
    differenceColor_->SetBackgroundColor(static_cast<uint32_t>(differenceColor) & 0xFFFFFFu);
    ratioColor_->SetBackgroundColor(static_cast<uint32_t>(ratioColor) & 0xFFFFFFu);
    ApplyRules();
}

void CSetDataGraph::ApplyRules() {
    minY_->setEnabled(!autoY_->isChecked());
    maxY_->setEnabled(!autoY_->isChecked());
    for (QCheckBox* c : {base_, difference_, ratio_}) c->setEnabled(standard_);
    const bool ratioOn = ratio_->isChecked();
    autoRatio_->setEnabled(ratioOn);
    minRatio_->setEnabled(ratioOn && !autoRatio_->isChecked());
    maxRatio_->setEnabled(ratioOn && !autoRatio_->isChecked());
    minInt_->setEnabled(integration_->isChecked());
    maxInt_->setEnabled(integration_->isChecked());
    // isHidden, not isVisible: the rule holds before the dialog is shown too.
    measuredColor_->setHidden(!measured_->isChecked());
    measuredLabel_->setHidden(!measured_->isChecked());
    baseColor_->setHidden(!base_->isChecked());
    baseLabel_->setHidden(!base_->isChecked());
    differenceColor_->setHidden(!difference_->isChecked());
    differenceLabel_->setHidden(!difference_->isChecked());
    ratioColor_->setHidden(!ratioOn);
    ratioLabel_->setHidden(!ratioOn);
}

bool CSetDataGraph::TakeControls() {
    float v[8];
    if (!ExchangeNumberInRange(this, minX_, 350, 1050, v[0]) || !ExchangeNumberInRange(this, maxX_, 350, 1050, v[1]) ||
        !ExchangeNumber(this, minY_, v[2]) || !ExchangeNumber(this, maxY_, v[3]) ||
        !ExchangeNumber(this, minRatio_, v[4]) || !ExchangeNumber(this, maxRatio_, v[5]) ||
        !ExchangeNumberInRange(this, minInt_, 350, 1050, v[6]) || !ExchangeNumberInRange(this, maxInt_, 350, 1050, v[7]))
        return false;
    if (!(v[0] < v[1])) {
        ShowMessage(this, ids::kInvalidXRange);
        return false;
    }
    if (!autoY_->isChecked() && !(v[2] < v[3])) {
        ShowMessage(this, ids::kInvalidYRange);
        return false;
    }
    if (ratio_->isChecked() && !(v[4] < v[5])) {
        ShowMessage(this, ids::kInvalidRatioRange);
        return false;
    }
    if (integration_->isChecked() && !(v[6] < v[7])) {
        ShowMessage(this, ids::kInvalidIntegrationArea);
        return false;
    }
    if (!measured_->isChecked() && !base_->isChecked() && !difference_->isChecked() && !ratio_->isChecked()) {
        ShowMessage(this, ids::kNoDataToPlot);
        return false;
    }
    minX = v[0];
    maxX = v[1];
    minY = v[2];
    maxY = v[3];
    minRatio = v[4];
    maxRatio = v[5];
    minIntegration = v[6];
    maxIntegration = v[7];
    autoY = autoY_->isChecked();
    unitY = unit1_->isChecked() ? 1 : 0;
    autoRatio = autoRatio_->isChecked();
    grid = grid_->isChecked();
    marker = marker_->isChecked();
    measured = measured_->isChecked();
    base = base_->isChecked();
    difference = difference_->isChecked();
    ratio = ratio_->isChecked();
    parPtmLux = parPtmLux_->isChecked();
    latLonAlt = latLonAlt_->isChecked();
    integration = integration_->isChecked();
    uv = uv_->isChecked();
    measuredColor = static_cast<int>(measuredColor_->GetBackgroundColor());
    baseColor = static_cast<int>(baseColor_->GetBackgroundColor());
    differenceColor = static_cast<int>(differenceColor_->GetBackgroundColor());
    ratioColor = static_cast<int>(ratioColor_->GetBackgroundColor());
    return true;
}

void CSetDataGraph::accept() {
    if (TakeControls()) QDialog::accept();
}
