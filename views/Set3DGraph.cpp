#include "views/Set3DGraph.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/Prompter.h"
#include "views/ColorSwatch.h"
#include "views/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }
QLineEdit* Edit(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(90);
    return e;
}
// A "Min"/"Max" pair of edits under an optional check box.
void AddPair(QGridLayout* grid, int row, QWidget* box, QLineEdit* min, QLineEdit* max) {
    grid->addWidget(new QLabel(T(ids::kMin), box), row, 0);
    grid->addWidget(min, row, 1);
    grid->addWidget(new QLabel(T(ids::kMax), box), row + 1, 0);
    grid->addWidget(max, row + 1, 1);
}
}  // namespace

CSet3DGraph::CSet3DGraph(bool standardPresent, QWidget* parent) : QDialog(parent), standard_(standardPresent) {
    setObjectName("id146");
    setWindowTitle(T(ids::k3DGraphConfig));
    auto* top = new QGridLayout(this);

    auto* typeBox = new QGroupBox(T(ids::kDataType), this);
    auto* tl = new QVBoxLayout(typeBox);
    const int captions[3] = {ids::kMeasuredData, ids::kRatioData, ids::kDifferenceData};
    for (int k = 0; k < 3; ++k) {
        kind_[k] = new QRadioButton(T(captions[k]), typeBox);
        kind_[k]->setObjectName(QString("SHOW_KIND_%1").arg(k));
        tl->addWidget(kind_[k]);
        connect(kind_[k], &QRadioButton::toggled, this, [this] { ApplyRules(); });
    }

    auto* axisBox = new QGroupBox(T(ids::kTimeAxisType), this);
    auto* al = new QVBoxLayout(axisBox);
    timeSeries_ = new QRadioButton(T(ids::kTimeSeries), axisBox);
    timeSeries_->setObjectName("TIME_AXIS_KIND_0");
    equalInterval_ = new QRadioButton(T(ids::kEqualInterval), axisBox);
    equalInterval_->setObjectName("TIME_AXIS_KIND_1");
    al->addWidget(timeSeries_);
    al->addWidget(equalInterval_);

    auto* colorBox = new QGroupBox(T(ids::kColor), this);
    auto* cl = new QVBoxLayout(colorBox);
    color_ = new CColorSwatch(colorBox);
    color_->setObjectName("DATA_COLOR");
    cl->addWidget(color_);

    auto* xBox = new QGroupBox(T(ids::kXAxisNm), this);
    auto* xl = new QGridLayout(xBox);
    minX_ = Edit(xBox, "RANGE_MIN_X");
    maxX_ = Edit(xBox, "RANGE_MAX_X");
    AddPair(xl, 0, xBox, minX_, maxX_);

    auto* yBox = new QGroupBox(T(ids::kYAxis), this);
    auto* yl = new QGridLayout(yBox);
    autoY_ = new QCheckBox(T(ids::kAuto), yBox);
    autoY_->setObjectName("RANGE_AUTO_Y");
    minY_ = Edit(yBox, "RANGE_MIN_Y");
    maxY_ = Edit(yBox, "RANGE_MAX_Y");
    unit0_ = new QRadioButton(T(ids::kUnitCaptionWm2Um), yBox);
    unit0_->setObjectName("UNIT_Y_0");
    unit1_ = new QRadioButton(T(ids::kUnitCaptionUmolM2SUm), yBox);
    unit1_->setObjectName("UNIT_Y_1");
    yl->addWidget(autoY_, 0, 0, 1, 2);
    AddPair(yl, 1, yBox, minY_, maxY_);
    yl->addWidget(unit0_, 3, 0, 1, 2);
    yl->addWidget(unit1_, 4, 0, 1, 2);
    connect(autoY_, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    auto* rBox = new QGroupBox(T(ids::kRatioDataPercent), this);
    auto* rl = new QGridLayout(rBox);
    autoRatio_ = new QCheckBox(T(ids::kAuto), rBox);
    autoRatio_->setObjectName("RANGE_AUTO_RATIO");
    minRatio_ = Edit(rBox, "RANGE_MIN_RATIO");
    maxRatio_ = Edit(rBox, "RANGE_MAX_RATIO");
    rl->addWidget(autoRatio_, 0, 0, 1, 2);
    AddPair(rl, 1, rBox, minRatio_, maxRatio_);
    connect(autoRatio_, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    auto* angleBox = new QGroupBox(T(ids::kViewAngle), this);
    auto* gl = new QGridLayout(angleBox);
    theta_ = Edit(angleBox, "ANGLE_THETA");
    phi_ = Edit(angleBox, "ANGLE_PHI");
    gl->addWidget(new QLabel(T(ids::kAngleTheta), angleBox), 0, 0);
    gl->addWidget(theta_, 0, 1);
    gl->addWidget(new QLabel(T(ids::kAnglePhi), angleBox), 1, 0);
    gl->addWidget(phi_, 1, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(T(ids::kOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName("id1");
    ok->setDefault(true);
    buttons->addButton(T(ids::kCancel), QDialogButtonBox::RejectRole)->setObjectName("id2");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });

    top->addWidget(typeBox, 0, 0);
    top->addWidget(axisBox, 1, 0);
    top->addWidget(colorBox, 2, 0);
    top->addWidget(angleBox, 3, 0);
    top->addWidget(xBox, 0, 1);
    top->addWidget(yBox, 1, 1, 2, 1);
    top->addWidget(rBox, 3, 1);
    top->addWidget(buttons, 4, 0, 1, 2);
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
    color_->SetBackgroundColor(static_cast<uint32_t>(color) & 0xFFFFFFu);
    minX_->setText(NumberText(minX));
    maxX_->setText(NumberText(maxX));
    autoY_->setChecked(autoY != 0);
    minY_->setText(NumberText(minY));
    maxY_->setText(NumberText(maxY));
    (unitY == 0 ? unit0_ : unit1_)->setChecked(true);
    autoRatio_->setChecked(autoRatio != 0);
    minRatio_->setText(NumberText(minRatio));
    maxRatio_->setText(NumberText(maxRatio));
    theta_->setText(NumberText(theta));
    phi_->setText(NumberText(phi));
    ApplyRules();
}

int CSet3DGraph::SelectedKind() const {
    for (int k = 0; k < 3; ++k)
        if (kind_[k]->isChecked()) return k;
    return 0;
}

void CSet3DGraph::ApplyRules() {
    kind_[1]->setEnabled(standard_);
    kind_[2]->setEnabled(standard_);
    const bool ratio = SelectedKind() == 1;
    autoY_->setEnabled(!ratio);
    unit0_->setEnabled(!ratio);
    unit1_->setEnabled(!ratio);
    minY_->setEnabled(!ratio && !autoY_->isChecked());
    maxY_->setEnabled(!ratio && !autoY_->isChecked());
    autoRatio_->setEnabled(ratio);
    minRatio_->setEnabled(ratio && !autoRatio_->isChecked());
    maxRatio_->setEnabled(ratio && !autoRatio_->isChecked());
}

bool CSet3DGraph::TakeControls() {
    float v[8];
    if (!ExchangeNumberInRange(this, minX_, 350, 1050, v[0]) || !ExchangeNumberInRange(this, maxX_, 350, 1050, v[1]) ||
        !ExchangeNumber(this, minY_, v[2]) || !ExchangeNumber(this, maxY_, v[3]) ||
        !ExchangeNumber(this, minRatio_, v[4]) || !ExchangeNumber(this, maxRatio_, v[5]) ||
        !ExchangeNumberInRange(this, theta_, 0, 90, v[6]) || !ExchangeNumberInRange(this, phi_, 0, 90, v[7]))
        return false;
    const int k = SelectedKind();
    if (!(v[0] < v[1])) {
        ShowMessage(this, ids::kInvalidXRange);
        return false;
    }
    if (k != 1 && !autoY_->isChecked() && !(v[2] < v[3])) {
        ShowMessage(this, ids::kInvalidYRange);
        return false;
    }
    if (k == 1 && !(v[4] < v[5])) {
        ShowMessage(this, ids::kInvalidRatioRange);
        return false;
    }
    kind = k;
    timeAxis = equalInterval_->isChecked() ? 1 : 0;
    color = static_cast<int>(color_->GetBackgroundColor());
    minX = v[0];
    maxX = v[1];
    autoY = autoY_->isChecked();
    minY = v[2];
    maxY = v[3];
    unitY = unit1_->isChecked() ? 1 : 0;
    autoRatio = autoRatio_->isChecked();
    minRatio = v[4];
    maxRatio = v[5];
    theta = v[6];
    phi = v[7];
    return true;
}

void CSet3DGraph::accept() {
    if (TakeControls()) QDialog::accept();
}
