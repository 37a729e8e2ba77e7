#include "gui/threed/Set3DGraph.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/ColorSwatch.h"
#include "gui/common/GraphDialogParts.h"
#include "gui/common/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }
}  // namespace

CSet3DGraph::CSet3DGraph(bool standardPresent, QWidget* parent) : QDialog(parent), standard_(standardPresent) {
    setObjectName("threeDGraphSettings");
    setWindowTitle(T(ids::k3DGraphConfig));
    auto* top = new QGridLayout(this);

    QGroupBox* typeBox = SpectrumKindBox(this, ids::kDataType, kind_);
    for (QRadioButton* b : kind_) connect(b, &QRadioButton::toggled, this, [this] { ApplyRules(); });
    QGroupBox* axisBox = TimeAxisBox(this, timeSeries_, equalInterval_);
    QGroupBox* colorBox = ColorBox(this, color_);
    r_.Build(this);
    for (QCheckBox* c : {r_.autoY, r_.autoRatio}) connect(c, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    QGroupBox* angleBox =
        EditPairBox(this, ids::kViewAngle, ids::kAngleTheta, "ANGLE_THETA", ids::kAnglePhi, "ANGLE_PHI", theta_, phi_);

    top->addWidget(typeBox, 0, 0);
    top->addWidget(axisBox, 1, 0);
    top->addWidget(colorBox, 2, 0);
    top->addWidget(angleBox, 3, 0);
    top->addWidget(r_.xBox, 0, 1);
    top->addWidget(r_.yBox, 1, 1, 2, 1);
    top->addWidget(r_.ratioBox, 3, 1);
    top->addWidget(OkCancelButtons(this), 4, 0, 1, 2);
    FillControls();
}

void CSet3DGraph::LoadFromSection(const C3DGraphPrm& prm) {
    kind = standard_ ? prm.m_SHOW_KIND.Get() : 0;
    if (kind < 0 || kind > 2) kind = 0;
    timeAxis = prm.m_TIME_AXIS_KIND.Get() != 0 ? 1 : 0;
    color = prm.m_DATA_COLOR;
    minX = prm.m_RANGE_MIN_X;
    maxX = prm.m_RANGE_MAX_X;
    autoY = prm.m_RANGE_AUTO_Y;
    minY = prm.m_RANGE_MIN_Y;
    maxY = prm.m_RANGE_MAX_Y;
    unitY = prm.m_UNIT_Y.Get() != 0 ? 1 : 0;
    autoRatio = prm.m_RANGE_AUTO_RATIO;
    minRatio = prm.m_RANGE_MIN_RATIO;
    maxRatio = prm.m_RANGE_MAX_RATIO;
    theta = prm.m_ANGLE_THETA;
    phi = prm.m_ANGLE_PHI;
    FillControls();
}

void CSet3DGraph::StoreToSection(C3DGraphPrm& prm) const {
    prm.m_SHOW_KIND = kind;
    prm.m_TIME_AXIS_KIND = timeAxis;
    prm.m_DATA_COLOR = color;
    prm.m_RANGE_MIN_X = minX;
    prm.m_RANGE_MAX_X = maxX;
    prm.m_RANGE_AUTO_Y = autoY;
    prm.m_RANGE_MIN_Y = minY;
    prm.m_RANGE_MAX_Y = maxY;
    prm.m_UNIT_Y = unitY;
    prm.m_RANGE_AUTO_RATIO = autoRatio;
    prm.m_RANGE_MIN_RATIO = minRatio;
    prm.m_RANGE_MAX_RATIO = maxRatio;
    prm.m_ANGLE_THETA = theta;
    prm.m_ANGLE_PHI = phi;
}

void CSet3DGraph::FillControls() {
    kind_[standard_ ? std::clamp(kind, 0, 2) : 0]->setChecked(true);
    (timeAxis == 0 ? timeSeries_ : equalInterval_)->setChecked(true);
    ShowColor(color_, color);
    const float ranges[6] = {minX, maxX, minY, maxY, minRatio, maxRatio};
    r_.Fill(ranges, autoY, unitY, autoRatio);
    theta_->setText(NumberText(theta));
    phi_->setText(NumberText(phi));
    ApplyRules();
}

int CSet3DGraph::SelectedKind() const { return CheckedIndex(kind_, 3); }

void CSet3DGraph::ApplyRules() {
    kind_[1]->setEnabled(standard_);
    kind_[2]->setEnabled(standard_);
    const bool ratio = SelectedKind() == 1;
    r_.EnableY(!ratio);
    r_.EnableRatio(ratio);
}

bool CSet3DGraph::TakeControls() {
    float v[8];
    if (!r_.Read(this, v) || !ExchangeNumberInRange(this, theta_, 0, 90, v[6]) ||
        !ExchangeNumberInRange(this, phi_, 0, 90, v[7]))
        return false;
    const int k = SelectedKind();
    if (!r_.CheckOrder(this, v, k != 1, k == 1)) return false;
    kind = k;
    timeAxis = equalInterval_->isChecked() ? 1 : 0;
    color = ColorOf(color_);
    minX = v[0];
    maxX = v[1];
    autoY = r_.autoY->isChecked();
    minY = v[2];
    maxY = v[3];
    unitY = r_.Unit();
    autoRatio = r_.autoRatio->isChecked();
    minRatio = v[4];
    maxRatio = v[5];
    theta = v[6];
    phi = v[7];
    return true;
}

void CSet3DGraph::accept() {
    if (TakeControls()) QDialog::accept();
}
