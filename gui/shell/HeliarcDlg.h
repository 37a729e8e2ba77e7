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
class CRunEngine;
class CStandardPanel;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class CHeliarcDlg : public QDialog, private CRunListener {
    Q_OBJECT

public:
    // Graph window sets.
    enum { kSetMeasured = 0, kSetPlural = 1, kSetTrend = 2, kSetStandard = 3, kSetNumerical = 4, kSet3D = 5, kSetCount = 6 };
    // Commands (control ids and menu command ids).
    enum Command {
        kCmdExit = 2,
        kCmdAbout = 16,
        kCmdMeasurementConfig = 1002,
        kCmdMeasuredData = 1004,
        kCmdRegisterStandard = 1005,
        kCmdRemoveData = 1006,
        kCmdExport = 1007,
        kCmdRetrieval = 1012,
        kCmdDataFolder = 1014,
        kCmdLogo = 1015,
        kCmdStandardPlot = 1017,
        kCmdDeleteData = 1018,
        kCmdImport = 1019,
        kCmdCalculationData = 1020,
        kCmd3D = 1021,
        kCmdEditComment = 1022,
        kCmdClear = 1025,
        kCmdStandardDelete = 1026,
        kCmdStandardUpdate = 1028,
        kCmdStartStop = 1050,
        kCmdTrendGraph = 1051,
        kCmdMenuStandardPlot = 32773,
        kCmdMenuDelete = 32775,
        kCmdMenuRemove = 32776,
        kCmdMenuMeasuredPlot = 32777,
        kCmdMenuCalculationPlot = 32778,
        kCmdMenu3DPlot = 32779,
        kCmdMenuEditComment = 32781,
        kCmdMenuRegister = 32782,
        kCmdMenuImport = 33012,
        kCmdMenuExport = 33013,
    };
    static constexpr const char* kMakerSite = "https://example.com/zq118";

    // The dialog takes the engine and the factory of the windows it opens (a command whose window
    // the factory lacks is disabled); it is initialised and ready when the constructor returns.
    CHeliarcDlg(std::unique_ptr<CRunEngine> engine, CViewFactory views, QWidget* parent = nullptr);
    ~CHeliarcDlg() override;

    // What a button press or menu choice does (WM_COMMAND).
    void OnCommand(int id);

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
    QPushButton* Button(int id, int textId, bool needsHook = false);

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
    std::string CellText(int row, int column);
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
    void MeasuredData();
    void CalculationData();
    void ThreeDGraph();
    void ConnectGraphSets();
    void ConnectThumbnails();
    // Runs command id once the current event is over, as a posted command would.
    void PostCommand(int id);

    // Declaration order is construction order.
    std::unique_ptr<CRunEngine> engine_;
    const CViewFactory views_;
    CSpectrumDataSet dataSet_;
    std::set<int> selection_;
    CBaseDataSet standard_;
    CSpectrumData latest_;
    std::array<CFrameSet, kSetCount> sets_;
    std::unique_ptr<CQueuedRunListener> runEvents_;

    QLineEdit* comment_ = nullptr;       // 1027, hidden
    QPushButton* startStop_ = nullptr;   // 1050
    CDataListCtrl* list_ = nullptr;      // 1003
    CDataListCtrl* standardList_ = nullptr;  // 1016
    CStandardPanel* standardPanel_ = nullptr;
    CColorStatic* statusStatic_ = nullptr;   // 1036
    CColorStatic* modeStatic_ = nullptr;     // 1035
    CColorStatic* clockStatic_ = nullptr;    // 1037
    QLineEdit* searchStart_ = nullptr;   // 1008
    QLineEdit* searchEnd_ = nullptr;     // 1009
    QLineEdit* searchComment_ = nullptr; // 1011
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
