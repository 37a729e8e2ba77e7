#include "gui/dialogs/SetMeasurement.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cstdio>

#include "core/config/MeasurementPrm.h"
#include "core/instrument/ComPort.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"

namespace {

QString Text(int id) { return QString::fromStdString(platform::LoadString(id)); }

QTime TimeOfDay(platform::CalTime t) {
    platform::LocalFields f;
    if (!platform::SplitLocal(t, f)) return QTime(0, 0, 0);
    return QTime(f.hour, f.minute, f.second);
}

QRadioButton* Radio(QButtonGroup* group, const QString& name, int textId, int value, QWidget* parent) {
    auto* r = new QRadioButton(Text(textId), parent);
    r->setObjectName(name);
    group->addButton(r, value);
    return r;
}

}  // namespace

std::vector<std::string> CSetMeasurement::CalibrationNames() {
    std::vector<std::string> names;
    for (int n = 0;; ++n) {
        char pattern[48];
        std::snprintf(pattern, sizeof pattern, "CALIB_%d_*.csv", n);
        const std::vector<std::string> files = platform::ListMatchingFiles(pattern);
        if (files.empty()) break;
        // CALIB_0_Outdoor.csv is listed as "Outdoor": after the "_" that follows the number, up to the last ".".
        const std::string& file = files.front();
        const std::size_t begin = std::snprintf(pattern, sizeof pattern, "CALIB_%d_", n);
        const std::size_t dot = file.rfind('.');
        names.push_back(dot != std::string::npos && dot > begin ? file.substr(begin, dot - begin) : std::string());
    }
    return names;
}

CSetMeasurement::CSetMeasurement(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgSetMeasurement"));
    setWindowTitle(Text(ids::kMeasurementConfig));

    // Type with its daily window.
    auto* typeBox = new QGroupBox(Text(ids::kType), this);
    type_ = new QButtonGroup(this);
    QRadioButton* manual = Radio(type_, QStringLiteral("manualRadio"), ids::kManualMeasurement, 0, typeBox);
    QRadioButton* interval = Radio(type_, QStringLiteral("intervalRadio"), ids::kIntervalMeasurement, 1, typeBox);
    QRadioButton* transfer = Radio(type_, QStringLiteral("transferRadio"), ids::kDataTransfer, 2, typeBox);
    from_ = new QTimeEdit(typeBox);
    from_->setObjectName(QStringLiteral("intervalFromEdit"));
    from_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    to_ = new QTimeEdit(typeBox);
    to_->setObjectName(QStringLiteral("intervalToEdit"));
    to_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    span_ = new QSpinBox(typeBox);
    span_->setObjectName(QStringLiteral("intervalSpanEdit"));
    span_->setRange(0, kMaxSpan);
    auto* window = new QHBoxLayout;
    window->addSpacing(20);
    window->addWidget(new QLabel(Text(ids::kFrom), typeBox));
    window->addWidget(from_);
    window->addWidget(new QLabel(Text(ids::kTo), typeBox));
    window->addWidget(to_);
    window->addWidget(new QLabel(Text(ids::kEvery), typeBox));
    window->addWidget(span_);
    window->addWidget(new QLabel(Text(ids::kSec), typeBox));
    window->addStretch(1);
    auto* typeLayout = new QVBoxLayout(typeBox);
    typeLayout->addWidget(manual);
    typeLayout->addWidget(interval);
    typeLayout->addLayout(window);
    typeLayout->addWidget(transfer);

    auto* exposureBox = new QGroupBox(Text(ids::kExposureTime), this);
    exposure_ = new QComboBox(exposureBox);
    exposure_->setObjectName(QStringLiteral("exposureCombo"));
    // Index = EXPOSED_TIME: automatic, the nine fixed exposures, the blend of four.
    exposure_->addItem(Text(ids::kAuto));
    for (int id = ids::kExposure10ms; id <= ids::kExposureOverlap; ++id) exposure_->addItem(Text(id));
    auto* exposureLayout = new QHBoxLayout(exposureBox);
    exposureLayout->addWidget(exposure_, 1);

    auto* portBox = new QGroupBox(Text(ids::kPort), this);
    port_ = new QButtonGroup(this);
    QRadioButton* usb = Radio(port_, QStringLiteral("usbRadio"), ids::kUsb, 0, portBox);
    QRadioButton* serial = Radio(port_, QStringLiteral("rs232cRadio"), ids::kRs232c, 1, portBox);
    com_ = new QComboBox(portBox);
    com_->setObjectName(QStringLiteral("portCombo"));
    com_->setMinimumWidth(90);
    auto* portLayout = new QGridLayout(portBox);
    portLayout->addWidget(usb, 0, 0);
    portLayout->addWidget(serial, 1, 0);
    portLayout->addWidget(com_, 1, 1);
    portLayout->setColumnStretch(1, 1);

    auto* soundBox = new QGroupBox(Text(ids::kSound), this);
    sound_ = new QButtonGroup(this);
    QRadioButton* on = Radio(sound_, QStringLiteral("soundOnRadio"), ids::kSoundOn, 0, soundBox);
    QRadioButton* off = Radio(sound_, QStringLiteral("soundOffRadio"), ids::kSoundOff, 1, soundBox);
    auto* soundLayout = new QHBoxLayout(soundBox);
    soundLayout->addWidget(on);
    soundLayout->addWidget(off);
    soundLayout->addStretch(1);

    calibration_ = new QComboBox(this);
    calibration_->setObjectName(QStringLiteral("calibrationCombo"));
    calibration_->setVisible(false);

    auto* ok = new QPushButton(Text(ids::kOk), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Text(ids::kCancel), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* lower = new QHBoxLayout;
    lower->addWidget(exposureBox);
    lower->addWidget(portBox);
    lower->addWidget(soundBox);
    auto* main = new QVBoxLayout(this);
    main->addWidget(typeBox);
    main->addLayout(lower);
    main->addWidget(calibration_);
    main->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(type_, &QButtonGroup::idClicked, this, [this](int) { ApplyEnabling(); });
    connect(port_, &QButtonGroup::idClicked, this, [this](int) { ApplyEnabling(); });

    // Opening: the stored values into the controls.
    CMeasurementPrm prm;
    prm.Load();
    if (QAbstractButton* b = type_->button(prm.m_MEASUREMENT_TYPE.Get())) b->setChecked(true);
    from_->setTime(TimeOfDay(prm.m_INTERVAL_MEASUREMENT_START_TIME.Get()));
    to_->setTime(TimeOfDay(prm.m_INTERVAL_MEASUREMENT_END_TIME.Get()));
    span_->setValue(prm.m_INTERVAL_MEASUREMENT_SPAN.Get());
    // An index the list does not have selects nothing.
    exposure_->setCurrentIndex(prm.m_EXPOSED_TIME.Get() >= 0 && prm.m_EXPOSED_TIME.Get() < exposure_->count()
                                   ? prm.m_EXPOSED_TIME.Get()
                                   : -1);
    // PORT_TYPE other than 0 is RS-232C, as the engine reads it.
    port_->button(prm.m_PORT_TYPE.Get() == 0 ? 0 : 1)->setChecked(true);
    if (QAbstractButton* b = sound_->button(prm.m_MEASUREMENT_SOUND.Get())) b->setChecked(true);
    for (const std::string& name : CalibrationNames()) calibration_->addItem(QString::fromStdString(name));
    calibration_->setCurrentIndex(prm.m_CALIBRATION_TYPE.Get() >= 0 && prm.m_CALIBRATION_TYPE.Get() < calibration_->count()
                                      ? prm.m_CALIBRATION_TYPE.Get()
                                      : -1);

    for (int n : CComPort::ProbePorts()) com_->addItem(QStringLiteral("COM%1").arg(n), n);
    com_->setCurrentIndex(com_->findData(prm.m_RS232C_PORT.Get()));
    ApplyEnabling();
    if (prm.m_PORT_TYPE.Get() != 0 && com_->count() == 0)
        ShowMessage(parent ? parent : this, ids::kCannotFindComPort);
}

void CSetMeasurement::ApplyEnabling() {
    const bool interval = type_->checkedId() == 1;
    from_->setEnabled(interval);
    to_->setEnabled(interval);
    span_->setEnabled(interval);
    com_->setEnabled(port_->checkedId() == 1);
}

void CSetMeasurement::OnOk() {
    if (!span_->hasAcceptableInput()) {
        Prompter::Current().Message(this, [] {
            char text[256];
            std::snprintf(text, sizeof text, platform::LoadString(ids::kEnterNumberInRange).c_str(), "0", "86399");
            return std::string(text);
        }(), Prompter::Icon::Warning);
        return;
    }
    const int type = type_->checkedId();
    const bool serial = port_->checkedId() == 1;
    if (type == 1 && from_->time() >= to_->time()) {
        ShowMessage(this, ids::kIntervalEndNotAfterStart);
        to_->setFocus();
        return;
    }
    if (serial && com_->currentIndex() < 0) {
        ShowMessage(this, ids::kComPortNotSelected);
        return;
    }
    CMeasurementPrm prm;
    prm.Load();
    if (type >= 0) prm.m_MEASUREMENT_TYPE = type;
    auto today = [](const QTime& t) {
        platform::CalTime now = platform::Now(), joined = now;
        platform::LocalFields f;
        if (platform::SplitLocal(now, f)) platform::JoinLocal(f.year, f.month, f.day, t.hour(), t.minute(), t.second(), joined);
        return joined;
    };
    prm.m_INTERVAL_MEASUREMENT_START_TIME.Set(today(from_->time()));
    prm.m_INTERVAL_MEASUREMENT_END_TIME.Set(today(to_->time()));
    prm.m_INTERVAL_MEASUREMENT_SPAN = span_->value();
    prm.m_EXPOSED_TIME = exposure_->currentIndex();
    prm.m_PORT_TYPE = serial ? 1 : 0;
    prm.m_RS232C_PORT = com_->currentIndex() >= 0 ? com_->currentData().toInt() : -1;
    if (sound_->checkedId() >= 0) prm.m_MEASUREMENT_SOUND = sound_->checkedId();
    // The list is hidden and often empty: without a choice the stored calibration stays.
    if (calibration_->currentIndex() >= 0) prm.m_CALIBRATION_TYPE = calibration_->currentIndex();
    prm.Save();
    accept();
}
