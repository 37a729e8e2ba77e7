#pragma once
// "Measurement control": start and stop of a run, its settings, the trend graph of the latest
// record, and the mode, status and clock fields. It receives the run's events, queued to the GUI
// thread, reads each stored record back from its day file and tells the window about it.
#include <QGroupBox>
#include <memory>
#include <string>

#include "core/data/SpectrumData.h"
#include "core/instrument/RunListener.h"

class CBaseDataSet;
class CColorStatic;
class CFrameSet;
class CQueuedRunListener;
class CRunEngine;
struct CViewFactory;
class QAction;
class QLineEdit;
class QPushButton;

class CMeasurementPanel : public QGroupBox, private CRunListener {
    Q_OBJECT

public:
    // engine, standard (the trend graph's reference), trend (its window set), quality (the light
    // quality window's) and views outlive the panel.
    CMeasurementPanel(CRunEngine& engine, const CBaseDataSet& standard, CFrameSet& trend, CFrameSet& quality,
                      const CViewFactory& views, QWidget* parent = nullptr);
    ~CMeasurementPanel() override;

    QAction* StartStopAction() const { return actionStartStop_; }
    const CSpectrumData& Latest() const { return latest_; }
    const std::string& StatusText() const { return status_; }
    const std::string& ModeText() const { return mode_; }

    // The trend graph shows the latest record against the current standard data.
    void RefreshTrend();
    // The engine's events stop reaching the panel; the owner calls it before the engine goes.
    void Detach();

signals:
    // A record the run stored, as its day file holds it; runEnds: the run is over with it.
    void recordStored(const CSpectrumData& record, qint64 fileDate, qint64 offset, bool runEnds);
    // A transfer run is over; copied records were stored.
    void transferFinished(int copied);

private:
    void OnExposure(int exposureMs, bool dark) override;
    void OnWaiting(platform::CalTime nextStart) override;
    void OnMeasuring() override;
    void OnStored(const CSpectrumData& record, const StoredPlace& place, bool runEnds) override;
    void OnFinished() override;
    void OnError(const std::string& text) override;
    void OnTransferProgress(int number, int count) override;
    void OnTransferSkipped(int, platform::CalTime, const std::string&) override {}  // reported with the error
    void OnMonitorMeasured(const CSpectrumData& spectrum) override;
    void OnMonitorFinished() override;

    void timerEvent(QTimerEvent* event) override;
    QAction* MakeAction(const char* name, int textId, void (CMeasurementPanel::*run)());
    void StartStop();
    // "Monitor": spectra one after another into the trend graph and the light quality window,
    // stored nowhere; pressed again it stops.
    void Monitor();
    void StartRun(bool monitor = false);
    void StopRun();
    void BuildModeText();
    void ShowClock();
    void PushTexts();
    void MeasurementConfig();
    void TrendGraph();

    CRunEngine& engine_;
    const CBaseDataSet& standard_;
    CFrameSet& trend_;
    CFrameSet& quality_;
    const CViewFactory& views_;
    std::unique_ptr<CQueuedRunListener> runEvents_;
    CSpectrumData latest_;

    QAction* actionStartStop_ = nullptr;
    QAction* actionMonitor_ = nullptr;
    QLineEdit* comment_ = nullptr;  // hidden
    QPushButton* startStop_ = nullptr;
    CColorStatic* statusStatic_ = nullptr;
    CColorStatic* modeStatic_ = nullptr;
    CColorStatic* clockStatic_ = nullptr;

    std::string mode_;
    std::string status_;
    int64_t runStartedMs_ = 0;  // when the current run started, for the shortest "Measuring"
    int runType_ = 0;           // the current run's measurement type (3: monitor)
    int stored_ = 0;            // records the current run stored
    int clockTimer_ = 0;
    bool detached_ = false;
};
