#include "gui/spectrum/SetDataGraph.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"
#include "gui/common/ColorSwatch.h"
#include "gui/common/GraphDialogParts.h"
#include "gui/common/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }
}  // namespace

CSetDataGraph::CSetDataGraph(bool standardPresent, QWidget* parent) : QDialog(parent), standard_(standardPresent) {
    setObjectName("dataGraphSettings");
    setWindowTitle(T(ids::kGraphConfig));
    auto* top = new QGridLayout(this);

    r_.Build(this);
    QGroupBox* iBox = MinMaxBox(this, ids::kIntegrationNm, "RANGE_MIN_INTEGRATION", "RANGE_MAX_INTEGRATION", minInt_,
                                maxInt_);

    auto* dBox = new QGroupBox(T(ids::kDisplay), this);
    auto* dl = new QGridLayout(dBox);
    GridMarkerChecks(dBox, grid_, marker_);
    dl->addWidget(grid_, 0, 0);
    dl->addWidget(marker_, 0, 1);
    auto series = [&](int row, const char* name, const char* colorName, int caption, QCheckBox*& box,
                      CColorSwatch*& swatch, QLabel*& label) {
        box = NamedCheck(dBox, name, T(caption));
        AddSeriesRow(dl, row, dBox, box, colorName, label, swatch);
    };
    series(1, "SHOW_MEASURED_DATA", "MEASURED_DATA_COLOR", ids::kMeasuredData, measured_, measuredColor_, measuredLabel_);
    series(2, "SHOW_BASE_DATA", "BASE_DATA_COLOR", ids::kStandardData, base_, baseColor_, baseLabel_);
    series(3, "SHOW_DIFFERENCE_DATA", "DIFFERENCE_DATA_COLOR", ids::kDifferenceData, difference_, differenceColor_,
           differenceLabel_);
    series(4, "SHOW_RATIO_DATA", "RATIO_DATA_COLOR", ids::kRatioData, ratio_, ratioColor_, ratioLabel_);
    parPtmLux_ = NamedCheck(dBox, "SHOW_PAR_PTM_LUX", T(ids::kParPtnLux));
    latLonAlt_ = NamedCheck(dBox, "SHOW_LAT_LON_ALTITUDE", T(ids::kLatLonAlt));
    integration_ = NamedCheck(dBox, "SHOW_INTEGRATION", T(ids::kIntegration));
    uv_ = NamedCheck(dBox, "SHOW_UV", T(ids::kUvAUvB));
    uv_->setVisible(false);  // exchanged, never offered
    dl->addWidget(parPtmLux_, 5, 0);
    dl->addWidget(latLonAlt_, 6, 0);
    dl->addWidget(integration_, 7, 0);
    dl->addWidget(uv_, 8, 0);

    top->addWidget(r_.xBox, 0, 0);
    top->addWidget(r_.yBox, 1, 0);
    top->addWidget(r_.ratioBox, 2, 0);
    top->addWidget(iBox, 3, 0);
    top->addWidget(dBox, 0, 1, 4, 1);
    top->addWidget(OkCancelButtons(this), 4, 0, 1, 2);

    for (QCheckBox* c : {r_.autoY, r_.autoRatio, measured_, base_, difference_, ratio_, integration_})
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
    const float ranges[6] = {minX, maxX, minY, maxY, minRatio, maxRatio};
    r_.Fill(ranges, autoY, unitY, autoRatio);
    minInt_->setText(NumberText(minIntegration));
    maxInt_->setText(NumberText(maxIntegration));
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
    ShowColor(measuredColor_, measuredColor);
    ShowColor(baseColor_, baseColor);
    ShowColor(differenceColor_, differenceColor);
    ShowColor(ratioColor_, ratioColor);
    ApplyRules();
}

void CSetDataGraph::ApplyRules() {
    r_.EnableY(true);
    for (QCheckBox* c : {base_, difference_, ratio_}) c->setEnabled(standard_);
    const bool ratioOn = ratio_->isChecked();
    r_.EnableRatio(ratioOn);
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
    if (!r_.Read(this, v) || !ExchangeNumberInRange(this, minInt_, 350, 1050, v[6]) ||
        !ExchangeNumberInRange(this, maxInt_, 350, 1050, v[7]))
        return false;
    if (!r_.CheckOrder(this, v, true, ratio_->isChecked())) return false;
    if (integration_->isChecked() && !(v[6] < v[7])) {
        ShowMessage(this, ids::kInvalidIntegrationArea, Prompter::Icon::Warning);
        return false;
    }
    if (!measured_->isChecked() && !base_->isChecked() && !difference_->isChecked() && !ratio_->isChecked()) {
        ShowMessage(this, ids::kNoDataToPlot, Prompter::Icon::Warning);
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
    autoY = r_.autoY->isChecked();
    unitY = r_.Unit();
    autoRatio = r_.autoRatio->isChecked();
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
    measuredColor = ColorOf(measuredColor_);
    baseColor = ColorOf(baseColor_);
    differenceColor = ColorOf(differenceColor_);
    ratioColor = ColorOf(ratioColor_);
    return true;
}

void CSetDataGraph::accept() {
    if (TakeControls()) QDialog::accept();
}
