#include "views/SetMultiDataGraph.h"

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
#include "views/DataGraphPicture.h"
#include "views/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }
QLineEdit* Edit(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(90);
    return e;
}
}  // namespace

CSetMultiDataGraph::CSetMultiDataGraph(bool standardPresent, QWidget* parent)
    : QDialog(parent), standard_(standardPresent) {
    setObjectName("id145");
    setWindowTitle(T(ids::kGraphConfig));
    color.fill(255);
    auto* top = new QGridLayout(this);

    auto* typeBox = new QGroupBox(T(ids::kType), this);
    auto* tl = new QVBoxLayout(typeBox);
    const int kindCaptions[3] = {ids::kMeasuredData, ids::kRatioData, ids::kDifferenceData};
    for (int k = 0; k < 3; ++k) {
        kind_[k] = new QRadioButton(T(kindCaptions[k]), typeBox);
        kind_[k]->setObjectName(QString("SHOW_KIND_%1").arg(k));
        tl->addWidget(kind_[k]);
        connect(kind_[k], &QRadioButton::toggled, this, [this] { ApplyRules(); });
    }

    auto* dBox = new QGroupBox(T(ids::kDisplay), this);
    auto* dl = new QGridLayout(dBox);
    grid_ = new QCheckBox(T(ids::kGrid), dBox);
    grid_->setObjectName("SHOW_GRID");
    marker_ = new QCheckBox(T(ids::kMarker), dBox);
    marker_->setObjectName("SHOW_MARKER");
    dl->addWidget(grid_, 0, 0);
    dl->addWidget(marker_, 0, 1);
    for (int i = 0; i < kSlots; ++i) {
        show_[i] = new QCheckBox(QString::fromStdString(FormatText(platform::LoadString(ids::kDataSlot), {i + 1})), dBox);
        show_[i]->setObjectName(QString("SHOW_DATA%1").arg(i + 1));
        colorLabel_[i] = new QLabel(T(ids::kColor), dBox);
        color_[i] = new CColorSwatch(dBox);
        color_[i]->setObjectName(QString("DATA_COLOR%1").arg(i + 1));
        dl->addWidget(show_[i], i + 1, 0);
        dl->addWidget(colorLabel_[i], i + 1, 1);
        dl->addWidget(color_[i], i + 1, 2);
        connect(show_[i], &QCheckBox::toggled, this, [this] { ApplyRules(); });
    }
    base_ = new QCheckBox(T(ids::kStandardData), dBox);
    base_->setObjectName("SHOW_BASE_DATA");
    baseLabel_ = new QLabel(T(ids::kColor), dBox);
    baseColor_ = new CColorSwatch(dBox);
    baseColor_->setObjectName("BASE_DATA_COLOR");
    dl->addWidget(base_, kSlots + 1, 0);
    dl->addWidget(baseLabel_, kSlots + 1, 1);
    dl->addWidget(baseColor_, kSlots + 1, 2);
    connect(base_, &QCheckBox::toggled, this, [this] { ApplyRules(); });

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
    autoY_ = new QCheckBox(T(ids::kAuto), yBox);
    autoY_->setObjectName("RANGE_AUTO_Y");
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
    connect(autoY_, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    auto* rBox = new QGroupBox(T(ids::kRatioDataPercent), this);
    auto* rl = new QGridLayout(rBox);
    autoRatio_ = new QCheckBox(T(ids::kAuto), rBox);
    autoRatio_->setObjectName("RANGE_AUTO_RATIO");
    minRatio_ = Edit(rBox, "RANGE_MIN_RATIO");
    maxRatio_ = Edit(rBox, "RANGE_MAX_RATIO");
    rl->addWidget(autoRatio_, 0, 0, 1, 2);
    rl->addWidget(new QLabel(T(ids::kMin), rBox), 1, 0);
    rl->addWidget(minRatio_, 1, 1);
    rl->addWidget(new QLabel(T(ids::kMax), rBox), 2, 0);
    rl->addWidget(maxRatio_, 2, 1);
    connect(autoRatio_, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(T(ids::kOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName("id1");
    ok->setDefault(true);
    buttons->addButton(T(ids::kCancel), QDialogButtonBox::RejectRole)->setObjectName("id2");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });

    top->addWidget(typeBox, 0, 0);
    top->addWidget(xBox, 1, 0);
    top->addWidget(yBox, 2, 0);
    top->addWidget(rBox, 3, 0);
    top->addWidget(dBox, 0, 1, 4, 1);
    top->addWidget(buttons, 4, 0, 1, 2);
    FillControls();
}

void CSetMultiDataGraph::LoadFromSection(const CDataGraphPrm& prm, int records) {
    records_ = std::clamp(records, 0, kSlots);
    kind = standard_ ? prm.m_SHOW_KIND.Get() : 0;
    if (kind < 0 || kind > 2) kind = 0;
    grid = prm.m_SHOW_GRID;
    marker = prm.m_SHOW_MARKER;
    for (int i = 0; i < records_; ++i) {
        show[i] = prm.m_SHOW_DATA[i];
        color[i] = prm.m_DATA_COLOR[i];
    }
    minX = prm.m_RANGE_MIN_X;
    maxX = prm.m_RANGE_MAX_X;
    minY = prm.m_RANGE_MIN_Y;
    maxY = prm.m_RANGE_MAX_Y;
    autoY = prm.m_RANGE_AUTO_Y;
    unitY = prm.m_UNIT_Y;
    if (standard_) {
        base = prm.m_SHOW_BASE_DATA;
        baseColor = prm.m_BASE_DATA_COLOR;
        autoRatio = prm.m_RANGE_AUTO_RATIO;
        minRatio = prm.m_RANGE_MIN_RATIO;
        maxRatio = prm.m_RANGE_MAX_RATIO;
    }
    FillControls();
}

void CSetMultiDataGraph::StoreToSection(CDataGraphPrm& prm) const {
    prm.m_SHOW_KIND = kind;
    prm.m_SHOW_GRID = grid;
    prm.m_SHOW_MARKER = marker;
    for (int i = 0; i < records_; ++i) {
        prm.m_SHOW_DATA[i] = show[i];
        prm.m_DATA_COLOR[i] = color[i];
    }
    prm.m_RANGE_MIN_X = minX;
    prm.m_RANGE_MAX_X = maxX;
    prm.m_RANGE_MIN_Y = minY;
    prm.m_RANGE_MAX_Y = maxY;
    prm.m_RANGE_AUTO_Y = autoY;
    prm.m_UNIT_Y = unitY;
    if (standard_) {
        prm.m_SHOW_BASE_DATA = base;
        prm.m_BASE_DATA_COLOR = baseColor;
        prm.m_RANGE_AUTO_RATIO = autoRatio;
        prm.m_RANGE_MIN_RATIO = minRatio;
        prm.m_RANGE_MAX_RATIO = maxRatio;
    }
}

void CSetMultiDataGraph::FillControls() {
    kind_[std::clamp(kind, 0, 2)]->setChecked(true);
    grid_->setChecked(grid != 0);
    marker_->setChecked(marker != 0);
    for (int i = 0; i < kSlots; ++i) {
        show_[i]->setChecked(i < records_ && show[i] != 0);
        color_[i]->SetBackgroundColor(static_cast<uint32_t>(color[i]) & 0xFFFFFFu);
    }
    base_->setChecked(standard_ && base != 0);
    baseColor_->SetBackgroundColor(static_cast<uint32_t>(baseColor) & 0xFFFFFFu);
    minX_->setText(NumberText(minX));
    maxX_->setText(NumberText(maxX));
    minY_->setText(NumberText(minY));
    maxY_->setText(NumberText(maxY));
    minRatio_->setText(NumberText(minRatio));
    maxRatio_->setText(NumberText(maxRatio));
    autoY_->setChecked(autoY != 0);
    (unitY == 0 ? unit0_ : unit1_)->setChecked(true);
    autoRatio_->setChecked(autoRatio != 0);
    ApplyRules();
}

int CSetMultiDataGraph::SelectedKind() const {
    for (int k = 0; k < 3; ++k)
        if (kind_[k]->isChecked()) return k;
    return 0;
}

void CSetMultiDataGraph::ApplyRules() {
    kind_[1]->setEnabled(standard_);
    kind_[2]->setEnabled(standard_);
    for (int i = 0; i < kSlots; ++i) {
        show_[i]->setEnabled(i < records_);
        const bool on = show_[i]->isChecked();
        color_[i]->setHidden(!on);
        colorLabel_[i]->setHidden(!on);
        color_[i]->setEnabled(i < records_);
    }
    base_->setEnabled(standard_);
    baseColor_->setHidden(!base_->isChecked());
    baseLabel_->setHidden(!base_->isChecked());
    const bool ratioKind = SelectedKind() == 1;
    autoY_->setEnabled(!ratioKind);
    unit0_->setEnabled(!ratioKind);
    unit1_->setEnabled(!ratioKind);
    minY_->setEnabled(!ratioKind && !autoY_->isChecked());
    maxY_->setEnabled(!ratioKind && !autoY_->isChecked());
    const bool ratioOn = standard_ && ratioKind;
    autoRatio_->setEnabled(ratioOn);
    minRatio_->setEnabled(ratioOn && !autoRatio_->isChecked());
    maxRatio_->setEnabled(ratioOn && !autoRatio_->isChecked());
}

bool CSetMultiDataGraph::TakeControls() {
    float v[6];
    if (!ExchangeNumberInRange(this, minX_, 350, 1050, v[0]) || !ExchangeNumberInRange(this, maxX_, 350, 1050, v[1]) ||
        !ExchangeNumber(this, minY_, v[2]) || !ExchangeNumber(this, maxY_, v[3]) ||
        !ExchangeNumber(this, minRatio_, v[4]) || !ExchangeNumber(this, maxRatio_, v[5]))
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
    bool any = base_->isChecked();
    for (int i = 0; i < kSlots; ++i) any = any || show_[i]->isChecked();
    if (!any) {
        ShowMessage(this, ids::kNoDataToPlot);
        return false;
    }
    kind = k;
    grid = grid_->isChecked();
    marker = marker_->isChecked();
    for (int i = 0; i < kSlots; ++i) {
        show[i] = show_[i]->isChecked();
        color[i] = static_cast<int>(color_[i]->GetBackgroundColor());
    }
    base = base_->isChecked();
    baseColor = static_cast<int>(baseColor_->GetBackgroundColor());
    minX = v[0];
    maxX = v[1];
    minY = v[2];
    maxY = v[3];
    minRatio = v[4];
    maxRatio = v[5];
    autoY = autoY_->isChecked();
    unitY = unit1_->isChecked() ? 1 : 0;
    autoRatio = autoRatio_->isChecked();
    return true;
}

void CSetMultiDataGraph::accept() {
    if (TakeControls()) QDialog::accept();
}
