#pragma once
// The main window: the measurement panel and the logo above, the data browser with the standard
// panel below, a status line at the foot. It owns the engine, the standard data set, the six graph
// window sets and the thumbnail frames, and connects its parts.
#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>
#include <set>
#include <string>

#include "core/data/BaseDataSet.h"
#include "gui/common/FrameSet.h"
#include "gui/common/ViewFactory.h"

class CBaseDataThumbnailWnd;
class CDataBrowser;
class CDataListCtrl;
class CDataThumbnailWnd;
class CMeasurementPanel;
class CRunEngine;
class CSpectrumData;
class CSpectrumDataSet;
class CStandardPanel;
class QAction;
class QStatusBar;

class CHeliarcDlg : public QDialog {
    Q_OBJECT

public:
    // Graph window sets.
    enum {
        kSetMeasured = 0, kSetPlural = 1, kSetTrend = 2, kSetStandard = 3, kSetNumerical = 4, kSet3D = 5,
        kSetHeatMap = 6, kSetQuality = 7, kSetCount = 8
    };
    static constexpr const char* kMakerSite = "https://example.com/zq118";

    // The dialog takes the engine and the factory of the windows it opens (a command whose window
    // the factory lacks is disabled); it is initialised and ready when the constructor returns.
    CHeliarcDlg(std::unique_ptr<CRunEngine> engine, CViewFactory views, QWidget* parent = nullptr);
    ~CHeliarcDlg() override;

    // Its parts; every command is a QAction found by its object name ("actionStartStop",
    // "actionRetrieval", "actionDeleteData", ...).
    CMeasurementPanel& Panel() const { return *panel_; }
    CDataBrowser& Browser() const { return *browser_; }
    CStandardPanel* StandardPanel() const { return standardPanel_; }
    QAction* StartStopAction() const;

    CRunEngine& Engine() { return *engine_; }
    CSpectrumDataSet& DataSet();
    std::set<int> Selection() const;
    CBaseDataSet& StandardSet() { return standard_; }
    const CSpectrumData& Latest() const;
    CFrameSet& FrameSet(int index) { return sets_[static_cast<std::size_t>(index)]; }
    int OpenModalCount() const { return openModal_; }
    const std::string& StatusText() const;
    const std::string& ModeText() const;
    CDataListCtrl* RecordList() const;
    CDataListCtrl* StandardList() const;
    CDataThumbnailWnd* DataThumbnailWnd() const;
    CBaseDataThumbnailWnd* BaseDataThumbnailWnd() const;
    QStatusBar* StatusLine() const { return statusLine_; }

    // "Retrieval", as the button runs it.
    void Retrieve();
    void RefreshStandardList();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The cancel command: "Exit", the window's close button, the close request.
    void reject() override;

private:
    void BuildControls();
    void CreateThumbnailFrames();
    void Initialize();
    QAction* MakeAction(const char* name, int textId, void (CHeliarcDlg::*run)());
    void DataFolder();
    void UserGuide();
    void About();
    void OpenMakerSite();
    void OnRecordStored(const CSpectrumData& record, qint64 fileDate, qint64 offset, bool runEnds);
    void OnTransferFinished(int copied);
    void ConnectGraphSets();
    void ConnectThumbnails();

    // Declaration order is construction order.
    std::unique_ptr<CRunEngine> engine_;
    const CViewFactory views_;
    CBaseDataSet standard_;
    std::array<CFrameSet, kSetCount> sets_;

    CMeasurementPanel* panel_ = nullptr;
    CDataBrowser* browser_ = nullptr;
    CStandardPanel* standardPanel_ = nullptr;
    QStatusBar* statusLine_ = nullptr;
    QPointer<QWidget> dataThumb_;   // CDataThumbnailWnd
    QPointer<QWidget> baseThumb_;   // CBaseDataThumbnailWnd
    QPointer<QWidget> guide_;       // the user guide, while open
    int openModal_ = 0;
    bool restored_ = false;  // the main window took its remembered place and size
};
