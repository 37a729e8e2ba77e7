#include "gui/shell/MeasurementPanel.h"

#include <QAction>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>
#include <cstdio>

#include "core/config/GeneralPrm.h"
#include "core/config/MeasurementPrm.h"
#include "core/data/BaseDataSet.h"
#include "core/data/SpectrumDataReader.h"
#include "core/instrument/Measurement.h"
#include "core/platform/File.h"
#include "core/platform/LocalTime.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/ActionButton.h"
#include "gui/common/ColorStatic.h"
#include "gui/common/FrameSet.h"
#include "gui/common/Prompter.h"
#include "gui/common/ViewFactory.h"
#include "gui/common/UiText.h"
#include "gui/dialogs/SetMeasurement.h"
#include "gui/shell/QueuedRunListener.h"
#include "gui/shell/RunEngine.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlinkBlue = 0xFF2020;   // RGB(32, 32, 255)
constexpr uint32_t kBlinkGreen = 0x20FF20;  // RGB(32, 255, 32)
constexpr int kBlinkPeriodMs = 1000;
constexpr int kTransfer = 2;  // the measurement types of a data transfer and a monitor run
constexpr int kMonitor = 3;

using uitext::Format;
using uitext::Q;
using uitext::S;

}  // namespace

CMeasurementPanel::CMeasurementPanel(CRunEngine& engine, const CBaseDataSet& standard, CFrameSet& trend,
                                     CFrameSet& quality, const CViewFactory& views, QWidget* parent)
    : QGroupBox(Q(ids::kMeasurementControl), parent), engine_(engine), standard_(standard), trend_(trend),
      quality_(quality), views_(views), runEvents_(std::make_unique<CQueuedRunListener>(this, static_cast<CRunListener&>(*this))) {
    setObjectName(QStringLiteral("measurementPanel"));
    engine_.SetListener(runEvents_.get());
    // The commands. Buttons and menu items word some of them apart: a button keeps its own text.
    actionStartStop_ = MakeAction("actionStartStop", ids::kStart, &CMeasurementPanel::StartStop);
    QAction* configure =
        MakeAction("actionMeasurementConfig", ids::kMeasurementConfig, &CMeasurementPanel::MeasurementConfig);
    QAction* trendGraph = MakeAction("actionTrendGraph", ids::kTrendGraph, &CMeasurementPanel::TrendGraph);
    trendGraph->setEnabled(static_cast<bool>(views_.openDataGraph));
    actionMonitor_ = MakeAction("actionMonitor", ids::kMonitor, &CMeasurementPanel::Monitor);

    startStop_ = MakeActionButton(Q(ids::kStart), actionStartStop_, QStringLiteral("startStopButton"), this);
    startStop_->setMinimumWidth(90);
    QPushButton* config =
        MakeActionButton(Q(ids::kMeasurementConfig), configure, QStringLiteral("measurementConfigButton"), this);
    QPushButton* trendButton =
        MakeActionButton(Q(ids::kTrendGraph), trendGraph, QStringLiteral("trendGraphButton"), this);
    auto makeStatic = [this](const char* name) {
        auto* s = new CColorStatic(this);
        s->setObjectName(QString::fromLatin1(name));
        s->setMargin(3);
        s->setMinimumWidth(60);
        s->SetColors(kWhite, kBlack);
        return s;
    };
    modeStatic_ = makeStatic("modeText");
    statusStatic_ = makeStatic("statusText");
    clockStatic_ = makeStatic("clockText");
    clockStatic_->setAlignment(Qt::AlignCenter);
    clockStatic_->setMinimumWidth(clockStatic_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);
    comment_ = new QLineEdit(this);
    comment_->setObjectName(QStringLiteral("commentEdit"));
    comment_->setVisible(false);
    comment_->setMaxLength(63);

    auto* grid = new QGridLayout(this);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(startStop_);
    buttonRow->addWidget(config);
    buttonRow->addWidget(trendButton);
    buttonRow->addWidget(MakeActionButton(Q(ids::kMonitor), actionMonitor_, QStringLiteral("monitorButton"), this));
    buttonRow->addStretch(1);
    grid->addLayout(buttonRow, 0, 0, 1, 2);
    grid->addWidget(modeStatic_, 1, 0, 1, 2);
    grid->addWidget(statusStatic_, 2, 0);
    grid->addWidget(clockStatic_, 2, 1);
    grid->setColumnStretch(0, 1);

    latest_.SetTime(0);
    mode_ = S(ids::kManualMeasurement);
    status_ = S(ids::kStandby);
    ShowClock();
    clockTimer_ = startTimer(1000);
    BuildModeText();
}

CMeasurementPanel::~CMeasurementPanel() { Detach(); }

void CMeasurementPanel::Detach() {
    if (detached_) return;  // the engine may be gone by the time the panel is
    detached_ = true;
    runEvents_->Detach();
    engine_.SetListener(nullptr);
}

QAction* CMeasurementPanel::MakeAction(const char* name, int textId, void (CMeasurementPanel::*run)()) {
    auto* action = new QAction(Q(textId), this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, run);
    return action;
}

void CMeasurementPanel::timerEvent(QTimerEvent* event) {
    if (event->timerId() == clockTimer_) ShowClock();
    QGroupBox::timerEvent(event);
}

// A status text that arrives late must not put "Measuring" over "Standby": each needs a run.
void CMeasurementPanel::OnExposure(int exposureMs, bool dark) {
    if (!engine_.IsMeasuring() || runType_ == kMonitor) return;  // a monitor run keeps saying so
    status_ = S(dark ? ids::kDarkMeasuring : ids::kMeasuring) + Format(ids::kExposureSuffix, exposureMs);
    PushTexts();
}

void CMeasurementPanel::OnTransferProgress(int number, int count) {
    if (!engine_.IsMeasuring()) return;
    status_ = S(ids::kDataTransferring) +
              Format(ids::kTransferProgressSuffix, static_cast<unsigned>(number), static_cast<unsigned>(count));
    PushTexts();
}

void CMeasurementPanel::OnWaiting(platform::CalTime nextStart) {
    if (!engine_.IsMeasuring()) return;
    // After the day's window the start is another day's: say which.
    status_ = Format(ids::kWaitingStartAt, CMeasurement::NextStartText(nextStart, platform::Now()).c_str());
    PushTexts();
}

void CMeasurementPanel::OnMeasuring() {
    if (!engine_.IsMeasuring()) return;
    status_ = S(ids::kMeasuring);
    PushTexts();
}

void CMeasurementPanel::OnStored(const CSpectrumData&, const StoredPlace& place, bool runEnds) {
    ++stored_;
    // A transfer's records join the list in one search when it is over.
    if (runType_ != kTransfer) {
        CGeneralPrm general;
        general.Load();
        std::string path;
        platform::File file;
        // The record as its day file holds it, where the engine wrote it: others may have appended since.
        CSpectrumDataReader reader;
        CSpectrumData record;
        if (place.offset >= 0 && general.DailyFilePath(place.fileDate, path) &&
            file.Open(path, platform::File::Mode::Read) && file.Seek(place.offset) && reader.ReadRecord(file, record) == 1) {
            latest_ = record;
            // Redrawn where it is: a record stored while the user works elsewhere brings no window
            // forward and takes no keyboard focus.
            RefreshTrend();
            emit recordStored(latest_, place.fileDate, place.offset, runEnds);
        } else {
            ShowMessage(this, ids::kDataReadingFailure);
        }
    }
    if (!runEnds || !engine_.IsMeasuring()) return;
    // A manual measurement can be over in a fraction of a second: "Measuring" stays up for
    // at least one blink period so the user sees that the press did something.
    const int64_t shown = QDateTime::currentMSecsSinceEpoch() - runStartedMs_;
    if (shown >= kBlinkPeriodMs) {
        StartStop();
    } else {
        const int64_t run = runStartedMs_;
        QTimer::singleShot(static_cast<int>(kBlinkPeriodMs - shown), this, [this, run] {
            if (engine_.IsMeasuring() && runStartedMs_ == run) StartStop();
        });
    }
}

void CMeasurementPanel::OnFinished() {
    if (engine_.IsMeasuring()) StartStop();
}

void CMeasurementPanel::OnError(const std::string& text) {
    if (engine_.IsMeasuring()) StartStop();
    ShowMessageText(this, S(ids::kMeasurementError) + "\r\n" + text, Prompter::Icon::Warning);
}

void CMeasurementPanel::StartStop() {
    if (engine_.IsMeasuring()) StopRun();
    else StartRun();
}

void CMeasurementPanel::Monitor() {
    if (!engine_.IsMeasuring()) {
        StartRun(true);
    } else if (runType_ == kMonitor) {
        StopRun();
    } else {
        ShowMessage(this, ids::kCannotOperateDuringMeasurement, Prompter::Icon::Information);
    }
}

void CMeasurementPanel::OnMonitorMeasured(const CSpectrumData& spectrum) {
    if (!engine_.IsMeasuring() || runType_ != kMonitor) return;
    // The spectrum in the trend graph and its values in the light quality window, both opened
    // by the first spectrum and left open when the run stops.
    if (views_.openDataGraph && views_.showLatest) {
        QWidget* frame = trend_.At(0);
        if (!frame && (frame = views_.openDataGraph(S(ids::kTrendData)))) trend_.Add(frame);
        if (frame) views_.showLatest(frame, spectrum, standard_.Current());
    }
    auto shared = std::make_shared<const CSpectrumData>(spectrum);
    if (QWidget* frame = quality_.At(0)) {
        if (views_.showLightQuality) views_.showLightQuality(frame, std::move(shared));
    } else if (views_.openLightQuality) {
        if (QWidget* opened = views_.openLightQuality(S(ids::kLightQuality), std::move(shared))) quality_.Add(opened);
    }
}

void CMeasurementPanel::OnMonitorFinished() {
    if (engine_.IsMeasuring() && runType_ == kMonitor) StopRun();
}

void CMeasurementPanel::StartRun(bool monitor) {
    CMeasurementPrm settings;
    settings.Load();
    settings.m_Memo = comment_->text().toStdString();
    // A monitor run is this start's only; the stored measurement type stays as it is.
    if (monitor) settings.m_MEASUREMENT_TYPE = kMonitor;
    if (!engine_.Start(settings)) {
        ShowMessageText(this, S(ids::kMeasurementStartFailure) + "\r\n" + engine_.GetErrorText(),
                        Prompter::Icon::Warning);
        return;
    }
    runType_ = settings.m_MEASUREMENT_TYPE.Get();
    stored_ = 0;
    switch (runType_) {
        case 0:
            status_ = S(ids::kMeasuring);
            actionStartStop_->setEnabled(false);
            statusStatic_->SetBlinkColors(kBlack, kWhite, kWhite, kBlinkBlue);
            break;
        case 1:
            statusStatic_->SetBlinkColors(kBlack, kWhite, kWhite, kBlinkBlue);
            break;
        case kMonitor:
            status_ = S(ids::kMonitoring);
            actionStartStop_->setEnabled(false);
            actionMonitor_->setText(Q(ids::kStop));
            statusStatic_->SetBlinkColors(kBlack, kWhite, kWhite, kBlinkGreen);
            break;
        default:
            status_ = S(ids::kDataTransferring);
            actionStartStop_->setEnabled(false);
            statusStatic_->SetBlinkColors(kBlack, kWhite, kWhite, kBlinkGreen);
            break;
    }
    runStartedMs_ = QDateTime::currentMSecsSinceEpoch();
    if (!monitor) {
        startStop_->setText(Q(ids::kStop));
        actionStartStop_->setText(Q(ids::kStop));
        actionMonitor_->setEnabled(false);
    }
    comment_->setEnabled(false);
    modeStatic_->SetColors(kBlack, kWhite);
    clockStatic_->SetColors(kBlack, kWhite);
    statusStatic_->StartBlink(kBlinkPeriodMs);
    PushTexts();
}

void CMeasurementPanel::StopRun() {
    engine_.Stop();
    status_ = S(ids::kStandby);
    startStop_->setText(Q(ids::kStart));
    actionStartStop_->setText(Q(ids::kStart));
    comment_->setEnabled(true);
    actionStartStop_->setEnabled(true);
    actionMonitor_->setEnabled(true);
    actionMonitor_->setText(Q(ids::kMonitor));
    statusStatic_->StopBlink();
    statusStatic_->SetColors(kWhite, kBlack);
    clockStatic_->SetColors(kWhite, kBlack);
    modeStatic_->SetColors(kWhite, kBlack);
    PushTexts();
    if (runType_ == kTransfer) emit transferFinished(stored_);
    // After a monitor run the trend graph shows the latest stored record again.
    if (runType_ == kMonitor) RefreshTrend();
}

void CMeasurementPanel::BuildModeText() {
    CMeasurementPrm prm;
    prm.Load();
    switch (prm.m_MEASUREMENT_TYPE.Get()) {
        case 0: mode_ = S(ids::kManualMeasurement); break;
        case 1:
            mode_ = Format(ids::kIntervalModeFormat,
                           platform::FormatLocal(prm.m_INTERVAL_MEASUREMENT_START_TIME.Get(), "%H:%M:%S").c_str(),
                           platform::FormatLocal(prm.m_INTERVAL_MEASUREMENT_END_TIME.Get(), "%H:%M:%S").c_str(),
                           prm.m_INTERVAL_MEASUREMENT_SPAN.Get());
            break;
        default: mode_ = S(ids::kDataTransfer); break;
    }
    PushTexts();
}

void CMeasurementPanel::ShowClock() {
    clockStatic_->setText(QString::fromStdString(platform::FormatLocal(platform::Now(), "%H:%M:%S")));
}

void CMeasurementPanel::PushTexts() {
    modeStatic_->setText(QString::fromStdString(mode_));
    statusStatic_->setText(QString::fromStdString(status_));
}

void CMeasurementPanel::RefreshTrend() {
    QWidget* trend = trend_.At(0);
    if (trend && latest_.GetTime() != 0 && views_.showLatest) views_.showLatest(trend, latest_, standard_.Current());
}

void CMeasurementPanel::MeasurementConfig() {
    if (engine_.IsMeasuring()) {
        ShowMessage(this, ids::kCannotOperateDuringMeasurement, Prompter::Icon::Information);
        return;
    }
    CSetMeasurement dialog(this);
    if (Prompter::Current().RunModal(dialog) != QDialog::Rejected) BuildModeText();
}

void CMeasurementPanel::TrendGraph() {
    if (latest_.GetTime() == 0) {
        ShowMessage(this, ids::kNoMeasuredData, Prompter::Icon::Information);
        return;
    }
    if (!views_.openDataGraph) return;
    QWidget* frame = trend_.At(0);
    if (frame) {
        frame->showNormal();
        frame->raise();
        frame->activateWindow();
    } else {
        frame = views_.openDataGraph(S(ids::kTrendData));
        if (!frame) return;
        trend_.Add(frame);
    }
    if (views_.showLatest) views_.showLatest(frame, latest_, standard_.Current());
}
