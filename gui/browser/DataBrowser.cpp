#include "gui/browser/DataBrowser.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "core/config/SearchPrm.h"
#include "core/data/BaseDataSet.h"
#include "core/data/SearchTime.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/browser/DataThumbnailView.h"
#include "gui/browser/ExchangeCommands.h"
#include "gui/browser/RecordListModel.h"
#include "gui/common/ActionButton.h"
#include "gui/common/FrameSet.h"
#include "gui/common/Prompter.h"
#include "gui/common/ViewFactory.h"
#include "gui/common/UiText.h"
#include "gui/dialogs/EditComment.h"

namespace {

constexpr int kMaxPlotRecords = 10;

using uitext::Format;
using uitext::Q;
using uitext::S;

}  // namespace

CDataBrowser::CDataBrowser(CBaseDataSet& standard, Graphs graphs, const CViewFactory& views,
                           std::function<bool()> busy, QWidget* parent)
    : QWidget(parent), standard_(standard), graphs_(graphs), views_(views), busy_(std::move(busy)) {
    setObjectName(QStringLiteral("dataBrowser"));
    QAction* retrieval = MakeAction("actionRetrieval", ids::kRetrieval, &CDataBrowser::Retrieve);
    QAction* clearSearch = MakeAction("actionClearSearch", ids::kClear, &CDataBrowser::ClearSearch);
    QAction* plotMeasured = MakeAction("actionPlotMeasured", ids::kMeasuredDataPlot, &CDataBrowser::PlotMeasured);
    plotMeasured->setEnabled(static_cast<bool>(views_.openDataGraph));
    QAction* plotCalculation =
        MakeAction("actionPlotCalculation", ids::kCalculationDataPlot, &CDataBrowser::PlotCalculation);
    plotCalculation->setEnabled(static_cast<bool>(views_.openNumericalGraph));
    QAction* plot3D = MakeAction("actionPlot3D", ids::k3DPlot, &CDataBrowser::Plot3D);
    plot3D->setEnabled(static_cast<bool>(views_.open3DGraph));
    QAction* heatMap = MakeAction("actionHeatMap", ids::kHeatMap, &CDataBrowser::PlotHeatMap);
    heatMap->setEnabled(static_cast<bool>(views_.openHeatMap));
    QAction* lightQuality = MakeAction("actionLightQuality", ids::kLightQuality, &CDataBrowser::ShowLightQuality);
    lightQuality->setEnabled(static_cast<bool>(views_.openLightQuality));
    QAction* importData = MakeAction("actionImport", ids::kImportEllipsis, &CDataBrowser::ImportData);
    QAction* exportData = MakeAction("actionExport", ids::kExportEllipsis, &CDataBrowser::ExportData);
    QAction* editComment = MakeAction("actionEditComment", ids::kEditCommentEllipsis, &CDataBrowser::EditComment);
    QAction* registerStandard =
        MakeAction("actionRegisterStandard", ids::kRegisterAsStandard, &CDataBrowser::RegisterStandard);
    QAction* deleteData = MakeAction("actionDeleteData", ids::kDeleteDataMenu, &CDataBrowser::DeleteData);
    QAction* removeData = MakeAction("actionRemoveData", ids::kRemoveDataMenu, &CDataBrowser::RemoveData);
    auto button = [this](QAction* action, int textId, const char* name) {
        return MakeActionButton(Q(textId), action, QString::fromLatin1(name), this);
    };

    auto* searchBox = new QGroupBox(Q(ids::kDataRetrieval), this);
    auto makeEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    searchStart_ = makeEdit("searchFromEdit");
    searchEnd_ = makeEdit("searchToEdit");
    searchComment_ = makeEdit("searchCommentEdit");
    // Room for "YYYY/MM/DD HH:MM:SS" and the frame.
    for (QLineEdit* e : {searchStart_, searchEnd_})
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00:00")) + 16);
    auto makeNote = [this](const char* name, const char* colour) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
        l->setWordWrap(true);
        l->setVisible(false);
        return l;
    };
    startNote_ = makeNote("searchFromNote", "#c00000");
    endNote_ = makeNote("searchToNote", "#c00000");
    damageNote_ = makeNote("damagedFilesNote", "#c00000");
    emptyNote_ = makeNote("noRecordsNote", "#505050");
    emptyNote_->setText(Q(ids::kNoRecords));
    QPushButton* retrieve = button(retrieval, ids::kRetrieval, "retrievalButton");
    retrieve->setDefault(true);
    retrieve->setAutoDefault(true);
    QPushButton* clear = button(clearSearch, ids::kClear, "clearSearchButton");
    auto* search = new QGridLayout(searchBox);
    auto label = [this](int id, QWidget* buddy) {
        auto* l = new QLabel(Q(id), this);
        l->setBuddy(buddy);
        return l;
    };
    search->addWidget(label(ids::kStartTime, searchStart_), 0, 0);
    search->addWidget(searchStart_, 0, 1);
    search->addWidget(label(ids::kEndTime, searchEnd_), 0, 2);
    search->addWidget(searchEnd_, 0, 3);
    search->addWidget(label(ids::kComment, searchComment_), 0, 4);
    search->addWidget(searchComment_, 0, 5);
    search->addWidget(retrieve, 0, 6);
    search->addWidget(clear, 0, 7);
    // The notes take the whole row, so they wrap between words.
    search->addWidget(startNote_, 1, 0, 1, 8);
    search->addWidget(endNote_, 2, 0, 1, 8);
    search->addWidget(damageNote_, 3, 0, 1, 8);
    search->addWidget(emptyNote_, 4, 0, 1, 8);
    search->setColumnStretch(1, 2);
    search->setColumnStretch(3, 2);
    search->setColumnStretch(5, 3);

    list_ = new CDataListCtrl(this);
    list_->setObjectName(QStringLiteral("recordList"));
    list_->setMinimumHeight(160);
    // Keys of the list: Delete deletes, Enter plots (the search's Enter stays in its boxes).
    deleteData->setShortcut(QKeySequence::Delete);
    plotMeasured->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    for (QAction* a : {deleteData, plotMeasured}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        list_->addAction(a);
    }

    auto* io = new QGroupBox(Q(ids::kDataInputOutput), this);
    auto* ioGrid = new QGridLayout(io);
    ioGrid->addWidget(button(deleteData, ids::kDeleteDataButton, "deleteDataButton"), 0, 0);
    ioGrid->addWidget(button(removeData, ids::kRemoveDataButton, "removeDataButton"), 0, 1);
    ioGrid->addWidget(button(editComment, ids::kEditCommentEllipsis, "editCommentButton"), 0, 2);
    ioGrid->addWidget(button(registerStandard, ids::kRegisterAsStandard, "registerStandardButton"), 1, 0, 1, 2);
    ioGrid->addWidget(button(importData, ids::kImportEllipsis, "importButton"), 1, 2);
    ioGrid->addWidget(button(exportData, ids::kExportEllipsis, "exportButton"), 1, 3);
    auto* plot = new QGroupBox(Q(ids::kPlot), this);
    auto* plotGrid = new QGridLayout(plot);
    plotGrid->addWidget(button(plotMeasured, ids::kMeasuredData, "plotMeasuredButton"), 0, 0);
    plotGrid->addWidget(button(plotCalculation, ids::kCalculationData, "plotCalculationButton"), 0, 1);
    plotGrid->addWidget(button(plot3D, ids::k3D, "plot3DButton"), 1, 0);
    plotGrid->addWidget(button(heatMap, ids::kHeatMap, "heatMapButton"), 1, 1);
    plotGrid->addWidget(button(lightQuality, ids::kLightQuality, "lightQualityButton"), 2, 0, 1, 2);
    auto* actions = new QHBoxLayout;
    actions->addWidget(io, 3);
    actions->addWidget(plot, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(searchBox);
    layout->addWidget(list_, 1);
    layout->addLayout(actions);

    // The "Data" popup of the record list.
    dataMenu_ = new QMenu(this);
    dataMenu_->setObjectName(QStringLiteral("dataMenu"));  // the measured data thumbnails show it too
    dataMenu_->addActions({plotMeasured, plotCalculation, plot3D, heatMap, lightQuality});
    dataMenu_->addSeparator();
    dataMenu_->addActions({importData, exportData});
    dataMenu_->addSeparator();
    dataMenu_->addActions({editComment, registerStandard});
    dataMenu_->addSeparator();
    dataMenu_->addActions({deleteData, removeData});

    BuildColumns();
    connect(&SelectionModel(), &QItemSelectionModel::selectionChanged, this, &CDataBrowser::selectionChanged);
    connect(this, &CDataBrowser::selectionChanged, this, &CDataBrowser::FollowInLightQuality);
    list_->onClicked = [this](int row) { emit ensureVisible(row); };
    list_->onDoubleClicked = [this](int) { Post(&CDataBrowser::PlotMeasured); };
    list_->onContextMenu = [this](const QPoint& at) { dataMenu_->popup(at); };

    CSearchPrm saved;
    saved.Load();
    searchStart_->setText(QString::fromStdString(saved.m_SEARCH_START_DATE_TIME.Get()));
    searchEnd_->setText(QString::fromStdString(saved.m_SEARCH_END_DATE_TIME.Get()));
    searchComment_->setText(QString::fromStdString(saved.m_SEARCH_COMMENT.Get()));
}

CDataBrowser::~CDataBrowser() = default;

QAction* CDataBrowser::MakeAction(const char* name, int textId, void (CDataBrowser::*run)()) {
    auto* action = new QAction(Q(textId), this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, run);
    return action;
}

void CDataBrowser::BuildColumns() {
    // The value columns name their units and line their numbers up on the right; each is wide
    // enough for its heading.
    auto value = [this](int textId) {
        const std::string& heading = S(textId);
        return CDataListCtrl::Column{heading, std::max(list_->TextWidth("0.0000") + 30, list_->TextWidth(heading) + 16),
                                     true};
    };
    columns_ = {
        {S(ids::kColumnMeasurementTime), list_->TextWidth("YYYY/MM/DD HH:MM:SS") + 20},
        {S(ids::kComment), list_->TextWidth("XXXXXXXXXXXXXXXX") + 30},
        value(ids::kColumnPar),
        value(ids::kLabelPhotonUmolM2S),
        value(ids::kLabelLuxLx),
        value(ids::kLabelLongitudeDeg),
        value(ids::kLabelLatitudeDeg),
        value(ids::kLabelAltitudeM),
    };
    std::vector<CRecordListModel::Column> modelColumns;
    for (const auto& c : columns_) modelColumns.push_back({c.heading, c.rightAligned});
    recordModel_ = std::make_unique<CRecordListModel>(dataSet_, std::move(modelColumns));
    list_->setModel(recordModel_.get());
    for (std::size_t i = 0; i < columns_.size(); ++i) list_->setColumnWidth(static_cast<int>(i), columns_[i].width);
}

QItemSelectionModel& CDataBrowser::SelectionModel() const { return *list_->selectionModel(); }

std::set<int> CDataBrowser::Selection() const { return list_->SelectedRows(); }

void CDataBrowser::Select(const std::set<int>& rows) {
    std::set<int> inside;
    for (int row : rows)
        if (row >= 0 && row < dataSet_.Count()) inside.insert(inside.end(), row);
    list_->SetSelectedRows(inside);
}

CDataBrowser::RecordKeys CDataBrowser::SelectedKeys() const {
    RecordKeys keys;
    for (int row : Selection())
        if (row >= 0 && row < dataSet_.Count()) keys.emplace(dataSet_.At(row).FileDate, dataSet_.At(row).FileOffset);
    return keys;
}

// ---------------------------------------------------------------------------------------------
// Searching

void CDataBrowser::Retrieve() {
    submittedStart_ = searchStart_->text().toStdString();
    submittedEnd_ = searchEnd_->text().toStdString();
    submittedComment_ = searchComment_->text().toStdString();
    Refresh();
    CSearchPrm search;
    search.Load();
    search.m_SEARCH_START_DATE_TIME = submittedStart_;
    search.m_SEARCH_END_DATE_TIME = submittedEnd_;
    search.m_SEARCH_COMMENT = submittedComment_;
    search.Save();
}

void CDataBrowser::Refresh() { Search(submittedStart_, submittedEnd_, submittedComment_); }

void CDataBrowser::Search(const std::string& startText, const std::string& endText, const std::string& commentText) {
    platform::CalTime start = 0, end = 0;
    const bool startIsTime = startText.empty() || ReadSearchTime(startText, start) == SearchTimeRead::Time;
    const bool endIsTime = endText.empty() || ReadSearchTime(endText, end) == SearchTimeRead::Time;
    ShowSearchNotes(startIsTime, endIsTime,
                    !startText.empty() && !endText.empty() && startIsTime && endIsTime && end < start);
    const RecordKeys keep = SelectedKeys();
    // A box its note refuses is not searched with some other date: the list stays empty until the
    // text names a time.
    if (startIsTime && endIsTime)
        dataSet_.Search(startText.empty() ? nullptr : &start, endText.empty() ? nullptr : &end,
                        commentText.empty() ? nullptr : commentText.c_str());
    else
        dataSet_.Clear();
    QStringList damage;
    for (const std::string& note : dataSet_.DamageNotes()) damage << QString::fromStdString(note);
    damageNote_->setText(damage.join(QLatin1Char('\n')));
    damageNote_->setVisible(!damage.isEmpty());
    RefreshRecordList(keep);
    FollowStored();
}

void CDataBrowser::ClearSearch() {
    searchStart_->clear();
    searchEnd_->clear();
    searchComment_->clear();
}

void CDataBrowser::ShowSearchNotes(bool startIsTime, bool endIsTime, bool endBeforeStart) {
    auto note = [](int boxId, int textId) { return Q(boxId) + QStringLiteral(": ") + Q(textId); };
    startNote_->setText(startIsTime ? QString() : note(ids::kStartTime, ids::kNotASearchTime));
    endNote_->setText(!endIsTime        ? note(ids::kEndTime, ids::kNotASearchTime)
                      : endBeforeStart ? Q(ids::kEndBeforeStart)
                                       : QString());
    startNote_->setVisible(!startNote_->text().isEmpty());
    endNote_->setVisible(!endNote_->text().isEmpty());
}

void CDataBrowser::RefreshRecordList(const RecordKeys& keep) {
    // Rows are selected by the records they show, never by their numbers: after a search or a
    // delete the same records stay highlighted, and rows now holding other records are not.
    std::set<int> rows;
    if (!keep.empty())
        for (int i = 0; i < dataSet_.Count(); ++i)
            if (keep.count({dataSet_.At(i).FileDate, dataSet_.At(i).FileOffset})) rows.insert(i);
    {
        // One selection change for the whole refresh, after the rows are there.
        const QSignalBlocker quiet(&SelectionModel());
        recordModel_->Searched();
        list_->SetSelectedRows(rows);
    }
    list_->viewport()->update();
    emptyNote_->setVisible(dataSet_.Count() == 0 && !startNote_->isVisible() && !endNote_->isVisible());
    emit dataSetChanged();
    emit selectionChanged();
}

void CDataBrowser::AddStored(const CSpectrumData& record, int64_t fileDate, int64_t offset, bool follow) {
    if (follow) followTime_ = record.GetTime();
    if (dataSet_.AddStored(record, fileDate, offset)) RefreshRecordList(SelectedKeys());
    FollowStored();
}

void CDataBrowser::FollowStored() {
    if (followTime_ == 0) return;
    // The record just stored comes into view (the last one of that time: times may repeat).
    for (int i = dataSet_.Count() - 1; i >= 0; --i)
        if (dataSet_.At(i).Time == followTime_) {
            list_->EnsureRowVisible(i);
            break;
        }
    followTime_ = 0;
}

bool CDataBrowser::LastRowVisible() const {
    const int n = list_->ItemCount();
    if (n == 0) return true;
    const QRect last = list_->visualRect(list_->model()->index(n - 1, 0));
    return last.isValid() && list_->viewport()->rect().intersects(last);
}

// ---------------------------------------------------------------------------------------------
// Data commands

bool CDataBrowser::HaveSelection() {
    if (SelectionModel().hasSelection()) return true;
    ShowMessage(this, ids::kSelectAData, Prompter::Icon::Information);
    return false;
}

void CDataBrowser::ExportData() { ExportSelection(this, dataSet_, Selection(), standard_.Current()); }

void CDataBrowser::ImportData() {
    if (!ImportFiles(this, busy_)) return;
    // The import moved the history's entries with their records: read them anew.
    standard_ = CBaseDataSet();
    standard_.SetJisEnabled(0);
    emit standardChanged();
    Post(&CDataBrowser::Refresh);
}

void CDataBrowser::DeleteData() {
    if (!HaveSelection()) return;
    if (!Prompter::Current().AskYesNo(this, S(ids::kConfirmDelete))) return;
    const std::set<int> rows = Selection();
    const RecordKeys keep = SelectedKeys();  // records that could not be deleted stay selected
    std::vector<CSpectrumDataSet::Refused> refused;
    dataSet_.Delete(rows, &refused);
    std::set<int> removed = rows;
    for (const auto& r : refused) removed.erase(r.index);
    recordModel_->Removed(removed);
    RefreshRecordList(keep);
    ShowRefusals(refused, static_cast<int>(rows.size()));
}

void CDataBrowser::ShowRefusals(const std::vector<CSpectrumDataSet::Refused>& refused, int selected) {
    if (refused.empty()) return;
    // One message for the whole selection; a long list names the first records only.
    constexpr std::size_t kNamed = 10;
    std::string text = S(ids::kUpdateDataFailure);
    for (std::size_t i = 0; i < refused.size() && i < kNamed; ++i) text += "\r\n" + refused[i].message;
    if (refused.size() > kNamed) text += "\r\n" + Format(ids::kAndMore, static_cast<int>(refused.size() - kNamed));
    text += "\r\n" + Format(ids::kRecordsChangedCount, selected - static_cast<int>(refused.size()), selected);
    ShowMessageText(this, text, Prompter::Icon::Warning);
}

void CDataBrowser::RemoveData() {
    if (!HaveSelection()) return;
    const std::set<int> rows = Selection();
    dataSet_.RemoveEntries(rows);
    recordModel_->Removed(rows);
    RefreshRecordList();  // the removed records were the selection
}

void CDataBrowser::EditComment() {
    if (!HaveSelection()) return;
    const std::set<int> rows = Selection();
    CEditComment dialog(this);
    if (rows.size() == 1) dialog.SetComment(dataSet_.At(*rows.begin()).Memo);
    if (Prompter::Current().RunModal(dialog) != QDialog::Accepted) return;
    std::vector<CSpectrumDataSet::Refused> refused;
    dataSet_.SetComment(rows, dialog.Comment(), &refused);
    RefreshRecordList(SelectedKeys());
    ShowRefusals(refused, static_cast<int>(rows.size()));
}

void CDataBrowser::RegisterStandard() {
    const std::set<int> rows = Selection();
    if (rows.size() != 1) {
        ShowMessage(this, ids::kSelectOneData, Prompter::Icon::Information);
        return;
    }
    if (!dataSet_.RegisterAsStandard(*rows.begin(), standard_))
        ShowMessage(this, ids::kCannotSaveData, Prompter::Icon::Warning);
    emit standardChanged();
}

void CDataBrowser::PlotMeasured() {
    // Without the spectrum window (a double click still asks) there is nothing to offer.
    if (!views_.openDataGraph) return;
    if (!HaveSelection()) return;
    const std::set<int> rows = Selection();
    if (rows.size() > static_cast<std::size_t>(kMaxPlotRecords)) {
        ShowMessage(this, ids::kTooManyRecordsToDisplay, Prompter::Icon::Information);
        return;
    }
    std::vector<CSpectrumData> records;
    for (int row : rows) {
        std::string error;
        const std::shared_ptr<const CSpectrumData> r = dataSet_.Record(row, &error);
        if (!r) {
            ShowMessageText(this, S(ids::kDataReadingFailure) + "\r\n" + error, Prompter::Icon::Warning);
            return;
        }
        records.push_back(*r);
    }
    QWidget* frame = views_.openDataGraph(S(ids::kDataGraph));
    if (!frame) return;
    if (rows.size() == 1) {
        graphs_.measured.Add(frame);
        if (views_.showMeasured) views_.showMeasured(frame, records.front(), standard_.Current());
    } else {
        graphs_.plural.Add(frame);
        if (views_.showPlural) views_.showPlural(frame, records, standard_.Current());
    }
}

bool CDataBrowser::SelectedRecords(std::size_t atLeast, CSpectrumDataSet& records) {
    const std::set<int> rows = Selection();
    if (rows.size() < atLeast) {
        ShowMessage(this, atLeast > 1 ? ids::kSelectMoreThanOneRecord : ids::kSelectAData, Prompter::Icon::Information);
        return false;
    }
    records.CopySubset(dataSet_, rows);
    return true;
}

void CDataBrowser::PlotCalculation() {
    CSpectrumDataSet records;
    if (!views_.openNumericalGraph || !SelectedRecords(2, records)) return;
    if (QWidget* frame = views_.openNumericalGraph(S(ids::kCalculationDataGraph), records)) graphs_.numerical.Add(frame);
}

void CDataBrowser::Plot3D() {
    CSpectrumDataSet records;
    if (!views_.open3DGraph || !SelectedRecords(2, records)) return;
    if (QWidget* frame = views_.open3DGraph(S(ids::k3DGraph), records, standard_.Current())) graphs_.threeD.Add(frame);
}

void CDataBrowser::PlotHeatMap() {
    CSpectrumDataSet records;
    if (!views_.openHeatMap || !SelectedRecords(1, records)) return;
    if (QWidget* frame = views_.openHeatMap(S(ids::kHeatMap), records, standard_.Current())) graphs_.heatMap.Add(frame);
}

int CDataBrowser::QualityRow() const {
    // The row the user last clicked when it is selected, else the first selected one.
    const QModelIndex current = SelectionModel().currentIndex();
    if (current.isValid() && SelectionModel().isRowSelected(current.row(), QModelIndex())) return current.row();
    const std::set<int> rows = Selection();
    return rows.empty() ? -1 : *rows.begin();
}

void CDataBrowser::ShowLightQuality() {
    if (!views_.openLightQuality) return;
    const int row = QualityRow();
    if (row < 0) {
        ShowMessage(this, ids::kSelectAData, Prompter::Icon::Information);
        return;
    }
    if (QWidget* open = graphs_.quality.At(0)) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        FollowInLightQuality();
        return;
    }
    std::string error;
    std::shared_ptr<const CSpectrumData> record = dataSet_.Record(row, &error);
    if (!record) {
        ShowMessageText(this, S(ids::kDataReadingFailure) + "\r\n" + error, Prompter::Icon::Warning);
        return;
    }
    if (QWidget* frame = views_.openLightQuality(S(ids::kLightQuality), std::move(record))) graphs_.quality.Add(frame);
}

void CDataBrowser::FollowInLightQuality() {
    QWidget* window = graphs_.quality.At(0);
    const int row = QualityRow();
    if (!window || row < 0 || !views_.showLightQuality) return;
    // A record that cannot be read shows as none; the window says so rather than keep a stale one.
    views_.showLightQuality(window, dataSet_.Record(row));
}

void CDataBrowser::ShowNeighbour(QWidget* frame, int64_t t, bool next) {
    if (!views_.showMeasured || !frame) return;
    const int n = dataSet_.Count();
    int found = -1;
    // Records can share a second. When the one selected row shows the window's time, it is the
    // window's record (the selection follows the window), and its neighbour in the list is next.
    const std::set<int> rows = Selection();
    const int shown = rows.size() == 1 ? *rows.begin() : -1;
    if (shown >= 0 && shown < n && dataSet_.At(shown).Time == t) {
        const int neighbour = next ? shown + 1 : shown - 1;
        if (neighbour >= 0 && neighbour < n) found = neighbour;
        else return;
    } else if (next) {
        for (int i = 0; i < n && found < 0; ++i)
            if (dataSet_.At(i).Time > t) found = i;
    } else {
        for (int i = n - 1; i >= 0 && found < 0; --i)
            if (dataSet_.At(i).Time < t) found = i;
    }
    if (found < 0) return;
    std::string error;
    const std::shared_ptr<const CSpectrumData> record = dataSet_.Record(found, &error);
    if (!record) {
        ShowMessageText(this, S(ids::kDataReadingFailure) + "\r\n" + error, Prompter::Icon::Warning);
        return;
    }
    views_.showMeasured(frame, *record, standard_.Current());
    // The selection moves with the window, so the highlighted record is the one shown.
    list_->SetSelectedRows({found});
    list_->EnsureRowVisible(found);
    emit ensureVisible(found);
}

void CDataBrowser::ConnectThumbnails(CDataThumbnailView* view) {
    connect(this, &CDataBrowser::ensureVisible, view, &CDataThumbnailView::EnsureVisible);
    connect(view, &CDataThumbnailView::recordClicked, this, [this](int row) { list_->EnsureRowVisible(row); });
    connect(view, &CDataThumbnailView::plotRequested, this, [this] { Post(&CDataBrowser::PlotMeasured); });
    connect(view, &CDataThumbnailView::contextMenuRequested, dataMenu_, [this](const QPoint& at) { dataMenu_->popup(at); });
}

void CDataBrowser::Post(void (CDataBrowser::*run)()) {
    QMetaObject::invokeMethod(this, [this, run] { (this->*run)(); }, Qt::QueuedConnection);
}
