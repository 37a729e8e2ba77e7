#include "gui/common/GraphDialogParts.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"
#include "gui/common/ColorSwatch.h"
#include "gui/common/SettingsFields.h"

namespace {
QString T(int id) { return QString::fromStdString(platform::LoadString(id)); }
}  // namespace

QLineEdit* RangeEdit(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(90);
    return e;
}

namespace {
void AddEditRows(QGridLayout* grid, int row, QWidget* box, int firstLabelId, QLineEdit* first, int secondLabelId,
                 QLineEdit* second) {
    grid->addWidget(new QLabel(T(firstLabelId), box), row, 0);
    grid->addWidget(first, row, 1);
    grid->addWidget(new QLabel(T(secondLabelId), box), row + 1, 0);
    grid->addWidget(second, row + 1, 1);
}
}  // namespace

void AddMinMaxRows(QGridLayout* grid, int row, QWidget* box, QLineEdit* min, QLineEdit* max) {
    AddEditRows(grid, row, box, ids::kMin, min, ids::kMax, max);
}

QGroupBox* EditPairBox(QWidget* parent, int titleId, int firstLabelId, const char* firstName, int secondLabelId,
                       const char* secondName, QLineEdit*& first, QLineEdit*& second) {
    auto* box = new QGroupBox(T(titleId), parent);
    auto* layout = new QGridLayout(box);
    first = RangeEdit(box, firstName);
    second = RangeEdit(box, secondName);
    AddEditRows(layout, 0, box, firstLabelId, first, secondLabelId, second);
    return box;
}

QGroupBox* MinMaxBox(QWidget* parent, int titleId, const char* minName, const char* maxName, QLineEdit*& min,
                     QLineEdit*& max) {
    return EditPairBox(parent, titleId, ids::kMin, minName, ids::kMax, maxName, min, max);
}

QCheckBox* NamedCheck(QWidget* parent, const QString& name, const QString& text) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

void GridMarkerChecks(QWidget* box, QCheckBox*& grid, QCheckBox*& marker) {
    grid = NamedCheck(box, "SHOW_GRID", T(ids::kGrid));
    marker = NamedCheck(box, "SHOW_MARKER", T(ids::kMarker));
}

void AddSeriesRow(QGridLayout* grid, int row, QWidget* box, QCheckBox* check, const QString& swatchName,
                  QLabel*& label, CColorSwatch*& swatch) {
    label = new QLabel(T(ids::kColor), box);
    swatch = new CColorSwatch(box);
    swatch->setObjectName(swatchName);
    grid->addWidget(check, row, 0);
    grid->addWidget(label, row, 1);
    grid->addWidget(swatch, row, 2);
}

QGroupBox* SpectrumKindBox(QWidget* parent, int titleId, QRadioButton** out) {
    auto* box = new QGroupBox(T(titleId), parent);
    auto* layout = new QVBoxLayout(box);
    const int captions[3] = {ids::kMeasuredData, ids::kRatioData, ids::kDifferenceData};
    for (int k = 0; k < 3; ++k) {
        out[k] = new QRadioButton(T(captions[k]), box);
        out[k]->setObjectName(QString("SHOW_KIND_%1").arg(k));
        layout->addWidget(out[k]);
    }
    return box;
}

int CheckedIndex(QRadioButton* const* buttons, int n) {
    for (int k = 0; k < n; ++k)
        if (buttons[k]->isChecked()) return k;
    return 0;
}

QGroupBox* TimeAxisBox(QWidget* parent, QRadioButton*& timeSeries, QRadioButton*& equalInterval) {
    auto* box = new QGroupBox(T(ids::kTimeAxisType), parent);
    auto* layout = new QVBoxLayout(box);
    timeSeries = new QRadioButton(T(ids::kTimeSeries), box);
    timeSeries->setObjectName("TIME_AXIS_KIND_0");
    equalInterval = new QRadioButton(T(ids::kEqualInterval), box);
    equalInterval->setObjectName("TIME_AXIS_KIND_1");
    layout->addWidget(timeSeries);
    layout->addWidget(equalInterval);
    return box;
}

QGroupBox* ColorBox(QWidget* parent, CColorSwatch*& swatch) {
    auto* box = new QGroupBox(T(ids::kColor), parent);
    auto* layout = new QVBoxLayout(box);
    swatch = new CColorSwatch(box);
    swatch->setObjectName("DATA_COLOR");
    layout->addWidget(swatch);
    return box;
}

void ShowColor(CColorSwatch* swatch, int color) { swatch->SetBackgroundColor(static_cast<uint32_t>(color) & 0xFFFFFFu); }

int ColorOf(const CColorSwatch* swatch) { return static_cast<int>(swatch->GetBackgroundColor()); }

QWidget* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(T(ids::kOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    buttons->addButton(T(ids::kCancel), QDialogButtonBox::RejectRole)->setObjectName("cancelButton");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog] { dialog->accept(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, [dialog] { dialog->reject(); });
    return buttons;
}

void GraphRangeBoxes::Build(QWidget* parent) {
    xBox = MinMaxBox(parent, ids::kXAxisNm, "RANGE_MIN_X", "RANGE_MAX_X", minX, maxX);

    yBox = new QGroupBox(T(ids::kYAxis), parent);
    auto* yl = new QGridLayout(yBox);
    autoY = NamedCheck(yBox, "RANGE_AUTO_Y", T(ids::kAuto));
    minY = RangeEdit(yBox, "RANGE_MIN_Y");
    maxY = RangeEdit(yBox, "RANGE_MAX_Y");
    unit0 = new QRadioButton(T(ids::kUnitCaptionWm2Um), yBox);
    unit0->setObjectName("UNIT_Y_0");
    unit1 = new QRadioButton(T(ids::kUnitCaptionUmolM2SUm), yBox);
    unit1->setObjectName("UNIT_Y_1");
    yl->addWidget(autoY, 0, 0, 1, 2);
    AddMinMaxRows(yl, 1, yBox, minY, maxY);
    yl->addWidget(unit0, 3, 0, 1, 2);
    yl->addWidget(unit1, 4, 0, 1, 2);

    ratioBox = new QGroupBox(T(ids::kRatioDataPercent), parent);
    auto* rl = new QGridLayout(ratioBox);
    autoRatio = NamedCheck(ratioBox, "RANGE_AUTO_RATIO", T(ids::kAuto));
    minRatio = RangeEdit(ratioBox, "RANGE_MIN_RATIO");
    maxRatio = RangeEdit(ratioBox, "RANGE_MAX_RATIO");
    rl->addWidget(autoRatio, 0, 0, 1, 2);
    AddMinMaxRows(rl, 1, ratioBox, minRatio, maxRatio);
}

void GraphRangeBoxes::Fill(const float* v, int autoYOn, int unitY, int autoRatioOn) {
    QLineEdit* edits[6] = {minX, maxX, minY, maxY, minRatio, maxRatio};
    for (int i = 0; i < 6; ++i) edits[i]->setText(NumberText(v[i]));
    autoY->setChecked(autoYOn != 0);
    (unitY == 0 ? unit0 : unit1)->setChecked(true);
    autoRatio->setChecked(autoRatioOn != 0);
}

void GraphRangeBoxes::EnableY(bool on) {
    autoY->setEnabled(on);
    unit0->setEnabled(on);
    unit1->setEnabled(on);
    minY->setEnabled(on && !autoY->isChecked());
    maxY->setEnabled(on && !autoY->isChecked());
}

void GraphRangeBoxes::EnableRatio(bool on) {
    autoRatio->setEnabled(on);
    minRatio->setEnabled(on && !autoRatio->isChecked());
    maxRatio->setEnabled(on && !autoRatio->isChecked());
}

bool GraphRangeBoxes::Read(QWidget* dialog, float* v) const {
    return ExchangeNumberInRange(dialog, minX, 350, 1050, v[0]) && ExchangeNumberInRange(dialog, maxX, 350, 1050, v[1]) &&
           ExchangeNumber(dialog, minY, v[2]) && ExchangeNumber(dialog, maxY, v[3]) &&
           ExchangeNumber(dialog, minRatio, v[4]) && ExchangeNumber(dialog, maxRatio, v[5]);
}

bool GraphRangeBoxes::CheckOrder(QWidget* dialog, const float* v, bool checkY, bool checkRatio) const {
    int fault = 0;
    if (!(v[0] < v[1]))
        fault = ids::kInvalidXRange;
    else if (checkY && !autoY->isChecked() && !(v[2] < v[3]))
        fault = ids::kInvalidYRange;
    else if (checkRatio && !(v[4] < v[5]))
        fault = ids::kInvalidRatioRange;
    if (fault == 0) return true;
    ShowMessage(dialog, fault, Prompter::Icon::Warning);
    return false;
}

int GraphRangeBoxes::Unit() const { return unit1->isChecked() ? 1 : 0; }
