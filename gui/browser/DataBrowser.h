#pragma once
// The data browser: the search boxes, the record list over the data set of the last search, the
// data commands ("Data" popup, "Data input/output", "Plot") and the graph windows they open. The
// list's selection model is the one selection: the measured data thumbnails share it.
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/data/SpectrumDataSet.h"
#include "gui/browser/DataListCtrl.h"

class CBaseDataSet;
class CDataThumbnailView;
class CFrameSet;
class CRecordListModel;
class CSpectrumData;
struct CViewFactory;
class QItemSelectionModel;
class QLabel;
class QLineEdit;
class QMenu;

class CDataBrowser : public QWidget {
    Q_OBJECT

public:
    // The graph window sets the plot commands add their windows to.
    struct Graphs {
        CFrameSet& measured;
        CFrameSet& plural;
        CFrameSet& numerical;
        CFrameSet& threeD;
        CFrameSet& heatMap;
        CFrameSet& quality;  // the one light quality window, which follows the selection
    };
    // standard, graphs and views outlive the browser; busy says whether a run writes the day files
    // (no import then).
    CDataBrowser(CBaseDataSet& standard, Graphs graphs, const CViewFactory& views, std::function<bool()> busy,
                 QWidget* parent = nullptr);
    ~CDataBrowser() override;

    CSpectrumDataSet& DataSet() { return dataSet_; }
    CDataListCtrl* List() const { return list_; }
    QItemSelectionModel& SelectionModel() const;
    QMenu* DataMenu() const { return dataMenu_; }
    // The list's columns (the standard data list shows the same).
    const std::vector<CDataListCtrl::Column>& Columns() const { return columns_; }

    // The selected rows, and a new selection (rows outside the list are left out).
    std::set<int> Selection() const;
    void Select(const std::set<int>& rows);

    // Where records live (file date, byte offset): the selection follows these across a refresh.
    using RecordKeys = std::set<std::pair<int64_t, int64_t>>;
    RecordKeys SelectedKeys() const;

    // "Retrieval": the boxes' texts become the search, saved as the next start's. Refresh runs the
    // last submitted search again (after an import, a transfer, another data folder): text typed
    // but not submitted never counts.
    void Retrieve();
    void Refresh();
    // The list shows the data set anew and selects the rows whose records are in keep, no others.
    void RefreshRecordList(const RecordKeys& keep = {});

    // A record the run stored: listed where the search shows it, without searching the folder
    // again; follow brings it into view.
    void AddStored(const CSpectrumData& record, int64_t fileDate, int64_t offset, bool follow);
    bool LastRowVisible() const;

    void PlotMeasured();
    void PlotCalculation();
    void Plot3D();
    void PlotHeatMap();
    void ShowLightQuality();
    // A spectrum graph frame asks for the record after (next) or before the one it shows, taken at
    // shownTime; the frame shows it and the selection moves with it.
    void ShowNeighbour(QWidget* frame, int64_t shownTime, bool next);

    // The measured data thumbnails: their clicks, double clicks and popup act here.
    void ConnectThumbnails(CDataThumbnailView* view);

signals:
    void selectionChanged();
    void dataSetChanged();
    // A record to bring into view (the list does; the thumbnails follow).
    void ensureVisible(int row);
    // The standard data history changed (a record registered, an import moved it).
    void standardChanged();

private:
    QAction* MakeAction(const char* name, int textId, void (CDataBrowser::*run)());
    void BuildColumns();
    void Search(const std::string& start, const std::string& end, const std::string& comment);
    void ClearSearch();
    void ShowSearchNotes(bool startIsTime, bool endIsTime, bool endBeforeStart);
    void FollowStored();
    bool HaveSelection();
    // A copy of the selected records, or false after saying that fewer than atLeast are selected.
    bool SelectedRecords(std::size_t atLeast, CSpectrumDataSet& records);
    void DeleteData();
    void RemoveData();
    void EditComment();
    void RegisterStandard();
    void ExportData();
    void ImportData();
    // The light quality window, when open, shows the current record of the selection.
    void FollowInLightQuality();
    int QualityRow() const;
    // One message naming the records a rewrite of the selection left as they were.
    void ShowRefusals(const std::vector<CSpectrumDataSet::Refused>& refused, int selected);
    // Runs run once the current event is over, as a posted command would.
    void Post(void (CDataBrowser::*run)());

    CBaseDataSet& standard_;
    Graphs graphs_;
    const CViewFactory& views_;
    const std::function<bool()> busy_;
    CSpectrumDataSet dataSet_;
    // The list's rows over dataSet_; it goes before the set it reads (the list then shows none).
    std::unique_ptr<CRecordListModel> recordModel_;
    std::vector<CDataListCtrl::Column> columns_;

    CDataListCtrl* list_ = nullptr;
    QLineEdit* searchStart_ = nullptr;
    QLineEdit* searchEnd_ = nullptr;
    QLineEdit* searchComment_ = nullptr;
    QLabel* startNote_ = nullptr;   // says when the start box holds no time
    QLabel* endNote_ = nullptr;     // the same for the end box, or an end before the start
    QLabel* damageNote_ = nullptr;  // names the damaged day files the search read
    QLabel* emptyNote_ = nullptr;   // "No records"
    QMenu* dataMenu_ = nullptr;

    // The search as last submitted: start, end, comment.
    std::string submittedStart_, submittedEnd_, submittedComment_;
    int64_t followTime_ = 0;  // a stored record the list scrolls to after the next refresh
};
