#include "gui/dialogs/ExportDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataSet.h"
#include "core/exchange/CSVExporter.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"
#include "gui/common/SettingsFields.h"

namespace {

QString Q(int id) { return QString::fromStdString(platform::LoadString(id)); }

// The button's id in its group is the stored value it stands for.
QRadioButton* Radio(QButtonGroup* group, int textId, const QString& name, int id, QWidget* parent) {
    auto* b = new QRadioButton(Q(textId), parent);
    b->setObjectName(name);
    group->addButton(b, id);
    return b;
}

// The number an edit holds when it is one within the export's range; otherwise the fallback. For
// edits the user cannot change right now (disabled or hidden): they never block an export.
float NumberOr(QLineEdit* edit, float fallback) {
    double v = 0;
    if (!ParseNumber(edit->text(), v) || v < CExport::kLowest || v > CExport::kHighest) return fallback;
    return static_cast<float>(v);
}

// The working folder is the program's: whatever a file dialog does, it comes back unchanged.
class WorkingFolderGuard {
public:
    WorkingFolderGuard() : saved_(QDir::currentPath()) {}
    ~WorkingFolderGuard() { QDir::setCurrent(saved_); }
    WorkingFolderGuard(const WorkingFolderGuard&) = delete;
    WorkingFolderGuard& operator=(const WorkingFolderGuard&) = delete;

private:
    QString saved_;
};

}  // namespace

CExport::CExport(const CSpectrumDataSet& data, const CSpectrumData* standard, QWidget* parent)
    : QDialog(parent), data_(data), standard_(standard) {
    setObjectName(QStringLiteral("dlgExport"));
    setWindowTitle(Q(ids::kExport));

    auto* typeBox = new QGroupBox(Q(ids::kOutputType), this);
    type_ = new QButtonGroup(this);
    auto* typeLayout = new QVBoxLayout(typeBox);
    const int typeTexts[] = {ids::kOutputSpectralAndCalculation, ids::kOutputCalculation, ids::kOutputRatio,
                             ids::kOutputDifference, ids::kOutputLightQuality};
    const QString typeNames[] = {QStringLiteral("spectralTypeRadio"), QStringLiteral("calculationTypeRadio"),
                                 QStringLiteral("ratioTypeRadio"), QStringLiteral("differenceTypeRadio"),
                                 QStringLiteral("lightQualityTypeRadio")};
    for (int i = 0; i < kTypeCount; ++i) typeLayout->addWidget(Radio(type_, typeTexts[i], typeNames[i], i, typeBox));

    auto* unitBox = new QGroupBox(Q(ids::kUnit), this);
    unit_ = new QButtonGroup(this);
    auto* unitLayout = new QVBoxLayout(unitBox);
    unitLayout->addWidget(Radio(unit_, ids::kUnitCaptionWm2Um, QStringLiteral("wattUnitRadio"), 0, unitBox));
    unitLayout->addWidget(Radio(unit_, ids::kUnitCaptionUmolM2SUm, QStringLiteral("umolUnitRadio"), 1, unitBox));

    auto* stepBox = new QGroupBox(Q(ids::kWavelengthInterval), this);
    step_ = new QButtonGroup(this);
    auto* stepLayout = new QVBoxLayout(stepBox);
    const int stepTexts[] = {ids::kWavelengthOriginal, ids::kWavelength1nmStep, ids::kWavelength5nmStep};
    const QString stepNames[] = {QStringLiteral("originalStepRadio"), QStringLiteral("step1nmRadio"),
                                 QStringLiteral("step5nmRadio")};
    for (int i = 0; i < 3; ++i) stepLayout->addWidget(Radio(step_, stepTexts[i], stepNames[i], i, stepBox));

    auto* rangeBox = new QGroupBox(Q(ids::kWavelengthRangeNm), this);
    auto edit = [](const QString& name, QWidget* parent) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(name);
        return e;
    };
    min_ = edit(QStringLiteral("minWavelengthEdit"), rangeBox);
    max_ = edit(QStringLiteral("maxWavelengthEdit"), rangeBox);
    auto* rangeLayout = new QGridLayout(rangeBox);
    rangeLayout->addWidget(new QLabel(Q(ids::kMin), rangeBox), 0, 0);
    rangeLayout->addWidget(min_, 0, 1);
    rangeLayout->addWidget(new QLabel(Q(ids::kMax), rangeBox), 1, 0);
    rangeLayout->addWidget(max_, 1, 1);
    minIntegration_ = edit(QStringLiteral("minIntegrationEdit"), this);
    maxIntegration_ = edit(QStringLiteral("maxIntegrationEdit"), this);
    minIntegration_->setVisible(false);
    maxIntegration_->setVisible(false);

    auto* fileBox = new QGroupBox(Q(ids::kOutputFilename), this);
    file_ = edit(QStringLiteral("exportFileEdit"), fileBox);
    MakeReadOnlyField(file_);
    file_->setMinimumWidth(320);
    auto* ref = new QPushButton(Q(ids::kRef), fileBox);
    ref->setObjectName(QStringLiteral("browseButton"));
    ref->setAutoDefault(false);
    auto* fileLayout = new QHBoxLayout(fileBox);
    fileLayout->addWidget(file_, 1);
    fileLayout->addWidget(ref);

    auto* exportButton = new QPushButton(Q(ids::kExport), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setDefault(true);
    auto* close = new QPushButton(Q(ids::kClose), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(typeBox);
    auto* middle = new QHBoxLayout;
    middle->addWidget(unitBox);
    middle->addWidget(stepBox);
    middle->addWidget(rangeBox);
    left->addLayout(middle);
    left->addWidget(fileBox);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(buttons);

    connect(type_, &QButtonGroup::idClicked, this, [this](int) { ApplyEnabling(); });
    connect(step_, &QButtonGroup::idClicked, this, [this](int) { ApplyEnabling(); });
    connect(ref, &QPushButton::clicked, this, [this] { ChooseFile(); });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        if (DoExport()) accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    prm_.Load();
    ShowSettings();
}

void CExport::ShowSettings() {
    const bool haveStandard = standard_ != nullptr;
    type_->button(2)->setEnabled(haveStandard);
    type_->button(3)->setEnabled(haveStandard);
    int type = prm_.m_EXPORT_TYPE.Get();
    // A stored ratio or difference choice cannot be offered without standard data, nor can a value
    // outside the types: the dialog starts from spectral data then.
    if (type < 0 || type >= kTypeCount || (!haveStandard && (type == 2 || type == 3))) type = 0;
    type_->button(type)->setChecked(true);
    unit_->button(prm_.m_SPECTRUM_UNIT.Get() != 0 ? 1 : 0)->setChecked(true);
    int step = prm_.m_WAVELENGTH_TYPE.Get();
    if (step < 0 || step > 2) step = 0;
    step_->button(step)->setChecked(true);
    min_->setText(NumberText(prm_.m_MIN_WAVELENGTH.Get()));
    max_->setText(NumberText(prm_.m_MAX_WAVELENGTH.Get()));
    minIntegration_->setText(NumberText(prm_.m_MIN_INTEGRATION.Get()));
    maxIntegration_->setText(NumberText(prm_.m_MAX_INTEGRATION.Get()));
    file_->setText(QString::fromStdString(prm_.m_FILE_NAME.Get()));
    ApplyEnabling();
}

void CExport::ApplyEnabling() {
    // Calculation data and light quality have no spectral columns.
    const bool spectral = type_->checkedId() != 1 && type_->checkedId() != kTypeLightQuality;
    for (QAbstractButton* b : unit_->buttons()) b->setEnabled(spectral);
    for (QAbstractButton* b : step_->buttons()) b->setEnabled(spectral);
    const bool stepped = spectral && step_->checkedId() != 0;
    min_->setEnabled(stepped);
    max_->setEnabled(stepped);
}

std::string CExport::FileName() const { return file_->text().toStdString(); }

std::string CExport::WithCsvExtension(const std::string& path) {
    const std::string name = platform::StoredNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && name.compare(dot + 1, std::string::npos, "csv") == 0) return path;
    return path + ".csv";
}

bool CExport::ChooseFile() {
    std::string path = FileName();
    bool chosen;
    {
        WorkingFolderGuard keep;
        chosen = Prompter::Current().SaveFileName(this, platform::LoadString(ids::kExportFileFilter), "csv", path);
    }
    if (!chosen || path.empty()) return false;
    file_->setText(QString::fromStdString(WithCsvExtension(path)));
    return true;
}

bool CExport::ReadBack(CExportPrm& prm) {
    prm.m_EXPORT_TYPE = type_->checkedId();
    prm.m_SPECTRUM_UNIT = unit_->checkedId();
    prm.m_WAVELENGTH_TYPE = step_->checkedId();
    if (min_->isEnabled()) {
        float lo = 0, hi = 0;
        if (!ExchangeNumberInRange(this, min_, kLowest, kHighest, lo)) return false;
        if (!ExchangeNumberInRange(this, max_, kLowest, kHighest, hi)) return false;
        // A reversed range would give a column of one wavelength, which nobody asks for.
        if (lo > hi) {
            ShowMessage(this, ids::kMinAboveMax, Prompter::Icon::Warning);
            min_->setFocus();
            min_->selectAll();
            return false;
        }
        prm.m_MIN_WAVELENGTH = lo;
        prm.m_MAX_WAVELENGTH = hi;
    } else {
        prm.m_MIN_WAVELENGTH = NumberOr(min_, prm.m_MIN_WAVELENGTH.Get());
        prm.m_MAX_WAVELENGTH = NumberOr(max_, prm.m_MAX_WAVELENGTH.Get());
    }
    prm.m_MIN_INTEGRATION = NumberOr(minIntegration_, prm.m_MIN_INTEGRATION.Get());
    prm.m_MAX_INTEGRATION = NumberOr(maxIntegration_, prm.m_MAX_INTEGRATION.Get());
    prm.m_FILE_NAME = FileName();
    return true;
}

bool CExport::DoExport() {
    CExportPrm prm = prm_;
    if (!ReadBack(prm)) return false;
    if (FileName().empty()) {
        ShowMessage(this, ids::kInputValidFileName, Prompter::Icon::Information);
        return false;
    }
    prm_ = prm;
    prm_.Save();
    CCSVExporter exporter;
    bool ok;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ok = exporter.ExportDataSet(prm_.m_FILE_NAME.Get(), data_, standard_, prm_);
        QApplication::restoreOverrideCursor();
    }
    if (!ok) {
        ReportFailure(exporter.Error());
        return false;
    }
    ShowMessage(this, ids::kExportCompleted, Prompter::Icon::Information);
    file_->clear();
    return true;
}

// What failed and where (a folder that cannot be written, a full disk), so the user knows what to
// change before trying again.
void CExport::ReportFailure(const std::string& reason) {
    std::string text = platform::LoadString(ids::kExportFailure);
    if (!reason.empty()) text += "\r\n" + reason;
    ShowMessageText(this, text);
}
