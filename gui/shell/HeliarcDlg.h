#pragma once
// The main dialog: measurement control above, the data browser below. It owns the engine, the data
// set of the last search with the selection, the standard data set, the latest measured record and
// the six graph window sets. It receives the measurement run's events, queued to the GUI thread;
// the graph windows and the thumbnails talk to it by signals.
#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/data/BaseDataSet.h"
#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataSet.h"
#include "core/instrument/RunListener.h"
#include "gui/common/FrameSet.h"
#include "gui/common/ViewFactory.h"

class CBaseDataThumbnailWnd;
class CColorStatic;
class CDataListCtrl;
class CDataThumbnailWnd;
class CQueuedRunListener;
class CRecordListModel;
class CRunEngine;
class CStandardPanel;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class CHeliarcDlg : public QDialog, private CRunListener {
    Q_OBJECT

public:
    // Graph window sets.
    enum { kSetMeasured = 0, kSetPlural = 1, kSetTrend = 2, kSetStandard = 3, kSetNumerical = 4, kSet3D = 5, kSetCount = 6 };
    static constexpr const char* kMakerSite = "https://example.com/zq118";

    // The dialog takes the engine and the factory of the windows it opens (a command whose window
    // the factory lacks is disabled); it is initialised and ready when the constructor returns.
    CHeliarcDlg(std::unique_ptr<CRunEngine> engine, CViewFactory views, QWidget* parent = nullptr);
    ~CHeliarcDlg() override;

    // The commands, shared by the buttons and the menus; each QAction is also found by its object
    // name ("actionStartStop", "actionRetrieval", "actionDeleteData", ...).
    QAction* StartStopAction() const { return actionStartStop_; }

    // The plot commands as a double click asks for them, enabled or not: without the window they
    // need they open nothing.
    void PlotMeasured();
    void PlotCalculation();
    void Plot3D();

    CRunEngine& Engine() { return *engine_; }
    CSpectrumDataSet& DataSet() { return dataSet_; }
    std::set<int>& Selection() { return selection_; }
    CBaseDataSet& StandardSet() { return standard_; }
    const CSpectrumData& Latest() const { return latest_; }
    CFrameSet& FrameSet(int index) { return sets_[static_cast<std::size_t>(index)]; }
    int OpenModalCount() const { return openModal_; }
    const std::string& StatusText() const { return status_; }
    const std::string& ModeText() const { return mode_; }
    CDataListCtrl* RecordList() const { return list_; }
    CDataListCtrl* StandardList() const { return standardList_; }
    CStandardPanel* StandardPanel() const { return standardPanel_; }
    CDataThumbnailWnd* DataThumbnailWnd() const;
    CBaseDataThumbnailWnd* BaseDataThumbnailWnd() const;

    // Where records live (file date, byte offset): the selection follows these across a refresh.
    using RecordKeys = std::set<std::pair<int64_t, int64_t>>;
    RecordKeys SelectedKeys() const;

    // Re-runs the search, redraws the lists (what "Retrieval" and the refreshes do). The refresh
    // selects the rows whose records are in keep and no others.
    void Retrieve();
    void RefreshRecordList(const RecordKeys& keep = {});
    void RefreshStandardList();

    // A spectrum graph frame asks for the record after (next) or before the one it shows, taken at
    // shownTime; the frame shows it and the list's selection moves with it.
    void ShowNeighbour(QWidget* frame, int64_t shownTime, bool next);

signals:
    // What the measured data thumbnails follow: the selection, the data set after a search or a
    // change, a record to bring into view.
    void selectionChanged();
    void dataSetChanged();
    void ensureVisible(int row);

private:
    // The run's events, on the GUI thread (the engine's listener queues them here).
    void OnExposure(int exposureMs, bool dark) override;
    void OnWaiting(platform::CalTime nextStart) override;
    void OnMeasuring() override;
    void OnStored(const CSpectrumData& record, const StoredPlace& place, bool runEnds) override;
    void OnFinished() override;
    void OnError(const std::string& text) override;
    void OnTransferProgress(int number, int count) override;
    void OnTransferSkipped(int, platform::CalTime, const std::string&) override {}  // reported with the error
    void OnMonitorMeasured(const CSpectrumData&) override {}  // the dialog starts no monitor run
    void OnMonitorFinished() override {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // The cancel command: "Exit", the window's close button, the close request.
    void reject() override;

private:
    void BuildControls();
    void CreateThumbnailFrames();
    void Initialize();
    QAction* MakeAction(const char* name, int textId, void (CHeliarcDlg::*run)());
    QPushButton* Button(QAction* action, int textId, const char* name);

    void StartStop();
    void StartRun();
    void StopRun();
    void BuildModeText();
    void ShowClock();
    void PushTexts();
    // follow: the list scrolls to the stored record after the search that this posts.
    void ReadBackStored(const StoredPlace& place, bool follow);
    bool LastRowVisible() const;
    void MeasurementConfig();
    void TrendGraph();
    void RefreshTrend();
    void DataFolder();
    void About();

    void ClearSearch();
    void ShowSearchNotes(bool startIsTime, bool endIsTime, bool endBeforeStart);
    void RebuildSelection();
    void ApplySelectionToList();
    void SelectAll();
    std::string StandardCellText(int row, int column);
    void ShowDataMenu(const QPoint& globalPos);
    bool HaveSelection();
    void DeleteData();
    // One message naming the records a rewrite of the selection left as they were.
    void FollowStored();  // the row of the record just stored, if listed, into view
    void ShowRefusals(const std::vector<CSpectrumDataSet::Refused>& refused, int selected);
    void RemoveData();
    void EditComment();
    void RegisterStandard();
    void ExportData();
    void ImportData();
    void OpenMakerSite();
    void ConnectGraphSets();
    void ConnectThumbnails();
    // Runs run once the current event is over, as a posted command would.
    void Post(void (CHeliarcDlg::*run)());

    // Declaration order is construction order.
    std::unique_ptr<CRunEngine> engine_;
    const CViewFactory views_;
    CSpectrumDataSet dataSet_;
    // The list's rows over dataSet_; it goes before the set it reads (the list then shows none).
    std::unique_ptr<CRecordListModel> recordModel_;
    std::set<int> selection_;
    CBaseDataSet standard_;
    CSpectrumData latest_;
    std::array<CFrameSet, kSetCount> sets_;
    std::unique_ptr<CQueuedRunListener> runEvents_;

    QAction* actionStartStop_ = nullptr;
    QLineEdit* comment_ = nullptr;  // hidden
    QPushButton* startStop_ = nullptr;
    CDataListCtrl* list_ = nullptr;
    CDataListCtrl* standardList_ = nullptr;
    CStandardPanel* standardPanel_ = nullptr;
    CColorStatic* statusStatic_ = nullptr;
    CColorStatic* modeStatic_ = nullptr;
    CColorStatic* clockStatic_ = nullptr;
    QLineEdit* searchStart_ = nullptr;
    QLineEdit* searchEnd_ = nullptr;
    QLineEdit* searchComment_ = nullptr;
    QLabel* startNote_ = nullptr;        // says when the start box holds no time
    QLabel* endNote_ = nullptr;          // the same for the end box, or an end before the start
    QLabel* damageNote_ = nullptr;       // names the damaged day files the search read
    QMenu* dataMenu_ = nullptr;
    QPointer<QWidget> dataThumb_;   // CDataThumbnailWnd
    QPointer<QWidget> baseThumb_;   // CBaseDataThumbnailWnd

    std::string mode_;
    std::string status_;
    int64_t followTime_ = 0;  // a stored record the list scrolls to after the next search
    int64_t runStartedMs_ = 0;  // when the current run started, for the shortest "Measuring"
    int openModal_ = 0;
    int suppress_ = 0;
    int clockTimer_ = 0;
};
