#include "gui/spectrum/SetMultiDataGraph.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"
#include "gui/common/ColorSwatch.h"
#include "render/DataGraphPicture.h"
#include "gui/common/GraphDialogParts.h"
#include "gui/common/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }
}  // namespace

CSetMultiDataGraph::CSetMultiDataGraph(bool standardPresent, QWidget* parent)
    : QDialog(parent), standard_(standardPresent) {
    setObjectName("multiDataGraphSettings");
    setWindowTitle(T(ids::kGraphConfig));
    color.fill(255);
    auto* top = new QGridLayout(this);

    QGroupBox* typeBox = SpectrumKindBox(this, ids::kType, kind_.data());
    for (QRadioButton* b : kind_) connect(b, &QRadioButton::toggled, this, [this] { ApplyRules(); });

    auto* dBox = new QGroupBox(T(ids::kDisplay), this);
    auto* dl = new QGridLayout(dBox);
    GridMarkerChecks(dBox, grid_, marker_);
    dl->addWidget(grid_, 0, 0);
    dl->addWidget(marker_, 0, 1);
    for (int i = 0; i < kSlots; ++i) {
        show_[i] = NamedCheck(dBox, QString("SHOW_DATA%1").arg(i + 1),
                              QString::fromStdString(FormatText(platform::LoadString(ids::kDataSlot), {i + 1})));
        AddSeriesRow(dl, i + 1, dBox, show_[i], QString("DATA_COLOR%1").arg(i + 1), colorLabel_[i], color_[i]);
        connect(show_[i], &QCheckBox::toggled, this, [this] { ApplyRules(); });
    }
    base_ = NamedCheck(dBox, "SHOW_BASE_DATA", T(ids::kStandardData));
    AddSeriesRow(dl, kSlots + 1, dBox, base_, "BASE_DATA_COLOR", baseLabel_, baseColor_);
    connect(base_, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    r_.Build(this);
    for (QCheckBox* c : {r_.autoY, r_.autoRatio}) connect(c, &QCheckBox::toggled, this, [this] { ApplyRules(); });

    top->addWidget(typeBox, 0, 0);
    top->addWidget(r_.xBox, 1, 0);
    top->addWidget(r_.yBox, 2, 0);
    top->addWidget(r_.ratioBox, 3, 0);
    top->addWidget(dBox, 0, 1, 4, 1);
    top->addWidget(OkCancelButtons(this), 4, 0, 1, 2);
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
        ShowColor(color_[i], color[i]);
    }
    base_->setChecked(standard_ && base != 0);
    ShowColor(baseColor_, baseColor);
    const float ranges[6] = {minX, maxX, minY, maxY, minRatio, maxRatio};
    r_.Fill(ranges, autoY, unitY, autoRatio);
    ApplyRules();
}

int CSetMultiDataGraph::SelectedKind() const { return CheckedIndex(kind_.data(), 3); }

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
    r_.EnableY(!ratioKind);
    r_.EnableRatio(standard_ && ratioKind);
}

bool CSetMultiDataGraph::TakeControls() {
    float v[6];
    if (!r_.Read(this, v)) return false;
    const int k = SelectedKind();
    if (!r_.CheckOrder(this, v, k != 1, k == 1)) return false;
    bool any = base_->isChecked();
    for (int i = 0; i < kSlots; ++i) any = any || show_[i]->isChecked();
    if (!any) {
        ShowMessage(this, ids::kNoDataToPlot, Prompter::Icon::Warning);
        return false;
    }
    kind = k;
    grid = grid_->isChecked();
    marker = marker_->isChecked();
    for (int i = 0; i < kSlots; ++i) {
        show[i] = show_[i]->isChecked();
        color[i] = ColorOf(color_[i]);
    }
    base = base_->isChecked();
    baseColor = ColorOf(baseColor_);
    minX = v[0];
    maxX = v[1];
    minY = v[2];
    maxY = v[3];
    minRatio = v[4];
    maxRatio = v[5];
    autoY = r_.autoY->isChecked();
    unitY = r_.Unit();
    autoRatio = r_.autoRatio->isChecked();
    return true;
}

void CSetMultiDataGraph::accept() {
    if (TakeControls()) QDialog::accept();
}
