// The data browser part of the main dialog: search boxes, the record list's cells and the
// selection it keeps across refreshes, Ctrl+A, and the list commands that work on the selection.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <filesystem>
#include <QKeyEvent>
#include <QStatusBar>
#include <QTest>
#include <QLabel>

#include "AppTestUtil.h"
#include "core/config/MeasurementPrm.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/Text.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/browser/DataBrowser.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailView.h"
#include "gui/browser/DataThumbnailWnd.h"
#include "gui/dialogs/EditComment.h"

namespace {

using apptest::AppTest;
using apptest::Pump;
using namespace platform;

// Counts what the browser tells the windows that follow it.
struct ThumbnailFeed {
    explicit ThumbnailFeed(CHeliarcDlg& d) {
        CDataBrowser* b = &d.Browser();
        QObject::connect(b, &CDataBrowser::selectionChanged, &context, [this] { ++selection; });
        QObject::connect(b, &CDataBrowser::dataSetChanged, &context, [this] { ++dataSet; });
        QObject::connect(b, &CDataBrowser::ensureVisible, &context, [this](int row) { ensureVisible.push_back(row); });
    }
    int selection = 0;
    int dataSet = 0;
    std::vector<int> ensureVisible;
    QObject context;  // first to go: the connections end with the feed
};

class BrowserTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        datatest::SetGeneral("C:\\", "SPC");
        CSpectrumDataWriter writer;
        for (int i = 0; i < 10; ++i)
            ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(Base() + i * 60, "r" + std::to_string(i))), 1);
        views.measuredThumbnailView = [this](QWidget* frame, CSpectrumDataSet& data, QItemSelectionModel& selection) {
            attachedData = &data;
            attachedSelection = &selection;
            view = new CDataThumbnailView(frame);
            view->Attach(data, selection);
            return view;
        };
    }
    static CalTime Base() { return datatest::Local(2009, 5, 12, 10, 0, 0); }
    std::string Cell(int row, int column) {
        return dialog->RecordList()->model()->index(row, column).data().toString().toStdString();
    }
    void Select(std::initializer_list<int> rows) {
        dialog->RecordList()->clearSelection();
        for (int r : rows) dialog->RecordList()->SetRowSelected(r, true);
    }

    CDataThumbnailView* view = nullptr;
    CSpectrumDataSet* attachedData = nullptr;
    QItemSelectionModel* attachedSelection = nullptr;
};

TEST_F(BrowserTest, ListShowsTheRecordsWithTheirCellTexts) {
    CHeliarcDlg& d = MakeDialog();
    ASSERT_EQ(d.DataSet().Count(), 10);
    ASSERT_EQ(d.RecordList()->ItemCount(), 10);
    EXPECT_EQ(Cell(0, 0), "2009/05/12 10:00:00");
    EXPECT_EQ(Cell(9, 0), "2009/05/12 10:09:00");
    EXPECT_EQ(Cell(3, 1), "r3");
    CSpectrumData r = *d.DataSet().Record(3);
    EXPECT_EQ(Cell(3, 2), platform::FormatG(r.GetPar()));
    EXPECT_EQ(Cell(3, 4), platform::FormatG(r.GetLux()));
    EXPECT_EQ(Cell(3, 7), platform::FormatG(r.GetAltitude()));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(d.DataThumbnailWnd()->View(), view);
    EXPECT_EQ(attachedData, &d.DataSet());
    EXPECT_EQ(attachedSelection, d.RecordList()->selectionModel()) << "the list and the thumbnails share one selection";
    ThumbnailFeed feed(d);
    Click("retrievalButton");
    EXPECT_EQ(feed.dataSet, 1);
}

TEST_F(BrowserTest, SearchClearAndSavedTexts) {
    CHeliarcDlg& d = MakeDialog();
    Find<QLineEdit>("searchFromEdit")->setText("2009/5/12 10:03");
    Find<QLineEdit>("searchToEdit")->setText("2009/5/12 10:05:00");
    Click("retrievalButton");
    ASSERT_EQ(d.DataSet().Count(), 3);
    EXPECT_EQ(Cell(0, 1), "r3");
    EXPECT_EQ(Ini("SEARCH", "SEARCH_START_DATE_TIME"), "2009/5/12 10:03");
    // "Clear" empties the boxes but neither searches nor saves.
    Click("clearSearchButton");
    EXPECT_EQ(TextOf("searchFromEdit"), "");
    EXPECT_EQ(d.DataSet().Count(), 3);
    EXPECT_EQ(Ini("SEARCH", "SEARCH_END_DATE_TIME"), "2009/5/12 10:05:00");
    Click("retrievalButton");
    EXPECT_EQ(d.DataSet().Count(), 10);
    EXPECT_EQ(Ini("SEARCH", "SEARCH_END_DATE_TIME"), "");
    // A search text of any length is harmless and stored as typed.
    const std::string huge(20000, '9');
    Find<QLineEdit>("searchFromEdit")->setText(QString::fromStdString("2009/5/12 " + huge));
    Find<QLineEdit>("searchCommentEdit")->setText(QString::fromStdString(std::string(5000, 'x')));
    Click("retrievalButton");
    EXPECT_EQ(d.DataSet().Count(), 0);
    Find<QLineEdit>("searchCommentEdit")->clear();
    Find<QLineEdit>("searchFromEdit")->setText(QString::fromStdString(std::string(3000, '/')));  // no field at all
    Click("retrievalButton");
    EXPECT_EQ(prompter.calls.size(), 0u);
}

TEST_F(BrowserTest, SelectionStaysOnItsRecordsAndDeleteAsksFirst) {
    CHeliarcDlg& d = MakeDialog();
    Select({5, 6});
    EXPECT_EQ(d.Selection(), (std::set<int>{5, 6}));
    // A search that drops earlier records keeps r5 and r6 highlighted, now in rows 2 and 3.
    Find<QLineEdit>("searchFromEdit")->setText("2009/5/12 10:03");
    Click("retrievalButton");
    ASSERT_EQ(d.DataSet().Count(), 7);
    EXPECT_EQ(d.Selection(), (std::set<int>{2, 3}));
    EXPECT_EQ(d.RecordList()->SelectedRows(), (std::set<int>{2, 3}));
    EXPECT_EQ(Cell(2, 1), "r5");
    Find<QLineEdit>("searchFromEdit")->clear();
    Click("retrievalButton");
    EXPECT_EQ(d.Selection(), (std::set<int>{5, 6}));

    // No is no.
    Select({2, 3});
    prompter.yesNo = {false};
    Click("deleteDataButton");
    EXPECT_EQ(prompter.calls.back().text, "Delete selected record?\r\nCannot restore it when executing!");
    EXPECT_EQ(d.DataSet().Count(), 10);
    prompter.yesNo = {true};
    Click("deleteDataButton");
    ASSERT_EQ(d.DataSet().Count(), 8);
    // The deleted records are gone, and nothing else is highlighted in their place.
    EXPECT_TRUE(d.Selection().empty());
    EXPECT_TRUE(d.RecordList()->SelectedRows().empty());
    EXPECT_EQ(Cell(2, 1), "r4");
    // Deleted records do not come back with the next search.
    Click("retrievalButton");
    EXPECT_EQ(d.DataSet().Count(), 8);

    // Removing only drops them from the list; the row that takes their place is not selected.
    Select({0});
    Click("removeDataButton");
    EXPECT_EQ(d.DataSet().Count(), 7);
    EXPECT_EQ(Cell(0, 1), "r1");
    EXPECT_TRUE(d.Selection().empty());
    Click("retrievalButton");
    EXPECT_EQ(d.DataSet().Count(), 8);

    // A selected record the search no longer finds leaves the selection empty.
    Select({7});
    Find<QLineEdit>("searchCommentEdit")->setText("r1");
    Click("retrievalButton");
    EXPECT_EQ(d.DataSet().Count(), 1);
    EXPECT_TRUE(d.Selection().empty());
}

TEST_F(BrowserTest, SearchBoxesSayWhenTheyHoldNoTimeOrTheEndIsBeforeTheStart) {
    CHeliarcDlg& d = MakeDialog();
    auto* startNote = Find<QLabel>("searchFromNote");
    auto* endNote = Find<QLabel>("searchToNote");
    ASSERT_NE(startNote, nullptr);
    ASSERT_NE(endNote, nullptr);
    EXPECT_FALSE(startNote->isVisible());
    // Wide enough for a whole date and time.
    auto* start = Find<QLineEdit>("searchFromEdit");
    EXPECT_GE(start->width(), start->fontMetrics().horizontalAdvance(QStringLiteral("2009/05/12 10:03:00")));

    // A text that names no time is refused, not searched with a guessed date (this one read as
    // 1999/12/31 and listed everything).
    for (const char* text : {"yesterday", "2009/5", "2041/1/1", "2009/4/31"}) {
        start->setText(text);
        Click("retrievalButton");
        EXPECT_TRUE(startNote->isVisible()) << text;
        EXPECT_EQ(startNote->text().toStdString(),
                  "Start time: Not searched: give a date and time as YYYY/MM/DD HH:MM:SS (years 2000 to 2035).");
        EXPECT_FALSE(endNote->isVisible());
        EXPECT_EQ(d.DataSet().Count(), 0) << text;
    }

    start->setText("2009/5/12 10:05");
    Find<QLineEdit>("searchToEdit")->setText("2009/5/12 10:02");
    Click("retrievalButton");
    EXPECT_FALSE(startNote->isVisible());
    EXPECT_TRUE(endNote->isVisible());
    EXPECT_EQ(endNote->text().toStdString(), "The end time is before the start time.");
    EXPECT_EQ(d.DataSet().Count(), 0);

    // Put right, both notes go.
    Find<QLineEdit>("searchToEdit")->setText("2009/5/12 10:07");
    Click("retrievalButton");
    EXPECT_FALSE(startNote->isVisible());
    EXPECT_FALSE(endNote->isVisible());
    EXPECT_EQ(d.DataSet().Count(), 3);
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(BrowserTest, NextAndPreviousInAGraphWindowMoveTheListSelection) {
    std::vector<std::string> shown;
    views.showMeasured = [&](QWidget*, const CSpectrumData& r, const CSpectrumData*) { shown.push_back(r.GetMemo()); };
    CHeliarcDlg& d = MakeDialog();
    QWidget graphView;
    Select({3});
    Pump();
    ThumbnailFeed feed(d);
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(3).Time, true);
    EXPECT_EQ(shown, (std::vector<std::string>{"r4"}));
    EXPECT_EQ(d.Selection(), (std::set<int>{4}));
    EXPECT_EQ(d.RecordList()->SelectedRows(), (std::set<int>{4}));
    EXPECT_EQ(feed.selection, 1);
    EXPECT_EQ(feed.ensureVisible, (std::vector<int>{4}));
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(4).Time, false);
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(3).Time, false);
    EXPECT_EQ(d.Selection(), (std::set<int>{2}));
    // Past the first record nothing is shown and the selection stays.
    Select({0});
    shown.clear();
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(0).Time, false);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(d.Selection(), (std::set<int>{0}));
}

TEST_F(BrowserTest, NextReachesARecordOfTheSameSecond) {
    {
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(Base() + 9 * 60, "r9b")), 1);
    }
    std::vector<std::string> shown;
    views.showMeasured = [&](QWidget*, const CSpectrumData& r, const CSpectrumData*) { shown.push_back(r.GetMemo()); };
    CHeliarcDlg& d = MakeDialog();
    ASSERT_EQ(d.DataSet().Count(), 11);
    QWidget graphView;
    Select({9});
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(9).Time, true);
    EXPECT_EQ(shown, (std::vector<std::string>{"r9b"}));
    EXPECT_EQ(d.Selection(), (std::set<int>{10}));
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(10).Time, true);
    EXPECT_EQ(shown.size(), 1u);  // the last one
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(10).Time, false);
    EXPECT_EQ(shown.back(), "r9");
    EXPECT_EQ(d.Selection(), (std::set<int>{9}));
    // With no matching selection the walk goes by time as before.
    Select({2, 3});
    d.Browser().ShowNeighbour(&graphView, d.DataSet().At(10).Time, false);
    EXPECT_EQ(shown.back(), "r8");
}

TEST_F(BrowserTest, CommandsThatNeedASelectionSaySo) {
    CHeliarcDlg& d = MakeDialog();
    d.RecordList()->clearSelection();
    for (const char* id : {"actionDeleteData", "actionRemoveData", "actionEditComment"}) {
        prompter.Clear();
        Trigger(id);
        ASSERT_EQ(prompter.calls.size(), 1u) << id;
        EXPECT_EQ(prompter.calls[0].text, "Select a data.");
        EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::Information);
    }
    Select({1, 2});
    prompter.Clear();
    Trigger("actionRegisterStandard");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Select one data.");
    // Exactly one: registered and listed as standard data.
    Select({4});
    prompter.Clear();
    Trigger("actionRegisterStandard");
    EXPECT_TRUE(prompter.calls.empty());
    ASSERT_EQ(d.StandardList()->ItemCount(), 1);
    EXPECT_EQ(d.StandardList()->model()->index(0, 1).data().toString().toStdString(), "r4");
}

TEST_F(BrowserTest, EditCommentOfOneOrSeveralRows) {
    CHeliarcDlg& d = MakeDialog();
    Select({5});
    std::string initial;
    prompter.modal = [&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("commentEdit"));
        initial = edit->text().toStdString();
        edit->setText("shade");
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        return dialog.result();
    };
    Click("editCommentButton");
    EXPECT_EQ(initial, "r5");
    EXPECT_EQ(Cell(5, 1), "shade");
    Select({1, 2, 3});
    Click("editCommentButton");
    EXPECT_EQ(initial, "");
    // Written to the files: a new search finds them all.
    Find<QLineEdit>("searchCommentEdit")->setText("shade");
    Click("retrievalButton");
    EXPECT_EQ(d.DataSet().Count(), 4);
}

// The CLI deleted two of the rows the list still shows: the edit revives neither, changes the
// third and says so once for all three.
TEST_F(BrowserTest, ACommentEditFromAStaleListLeavesRecordsDeletedMeanwhileWithOneMessage) {
    CHeliarcDlg& d = MakeDialog();
    CSpectrumDataSet other;
    other.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(other.Delete({1, 2}), 1);
    Select({1, 2, 3});
    prompter.modal = [&](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("commentEdit"))->setText("shade");
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        return dialog.result();
    };
    const std::size_t before = prompter.Messages().size();
    Click("editCommentButton");
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), before + 1);
    const std::string& m = messages.back();
    EXPECT_EQ(m.rfind("Update data failure.", 0), 0u) << m;
    EXPECT_NE(m.find("2009/05/12 10:01:00 in "), std::string::npos) << m;
    EXPECT_NE(m.find("2009/05/12 10:02:00 in "), std::string::npos) << m;
    EXPECT_NE(m.find("1 of 3 records were changed."), std::string::npos) << m;
    EXPECT_EQ(Cell(1, 1), "r1");
    EXPECT_EQ(Cell(3, 1), "shade");
    Click("retrievalButton");
    EXPECT_EQ(d.DataSet().Count(), 8);
}

// A day file with a partial record in the middle: the rows after it are listed and a note names it.
TEST_F(BrowserTest, ADamagedDayFileIsListedAndNamedInANote) {
    std::string bytes = testsupport::ReadFileBytes("SPC_20090512.hlx");
    ASSERT_EQ(bytes.size(), 10u * 2560);
    bytes.erase(4 * 2560, 1000);  // a copy that lost part of record 4
    testsupport::WriteFileBytes("SPC_20090512.hlx", bytes);
    CHeliarcDlg& d = MakeDialog();
    EXPECT_EQ(d.DataSet().Count(), 9);
    EXPECT_EQ(Cell(4, 1), "r5");
    auto* note = Find<QLabel>("damagedFilesNote");
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isHidden());
    EXPECT_NE(note->text().toStdString().find("SPC_20090512.hlx is damaged"), std::string::npos)
        << note->text().toStdString();
}

TEST_F(BrowserTest, CtrlASelectsEveryRowWithOneUpdateAndThumbnailsDriveTheList) {
    CHeliarcDlg& d = MakeDialog();
    Pump();
    ASSERT_NE(view, nullptr);
    ThumbnailFeed feed(d);
    QKeyEvent ctrlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(d.RecordList(), &ctrlA);
    Pump();
    EXPECT_EQ(d.Selection().size(), 10u);
    EXPECT_EQ(feed.selection, 1);

    // A click on the thumbnails is a change of the list's own selection.
    feed.selection = 0;
    view->Picture().LeftDown(1, false, false);
    view->Picture().LeftDown(8, true, false);
    EXPECT_EQ(d.RecordList()->SelectedRows(), (std::set<int>{1, 8}));
    EXPECT_EQ(feed.selection, 2);
    // Rows the list does not have are left out.
    d.Browser().Select({-1, 0, 1, 5, 6, 9, 12});
    EXPECT_EQ(d.RecordList()->SelectedRows(), (std::set<int>{0, 1, 5, 6, 9}));
    EXPECT_TRUE(view->Picture().IsSelected(9));
    EXPECT_FALSE(view->Picture().IsSelected(8));
    // A click on a row tells the thumbnails to show it.
    d.RecordList()->onClicked(6);
    EXPECT_EQ(feed.ensureVisible, (std::vector<int>{6}));
}

TEST_F(BrowserTest, MeasuredDataOpensOneOrPluralWindowsUpToTen) {
    int opened = 0;
    std::size_t pluralCount = 0;
    std::string oneMemo;
    views.openDataGraph = [&](const std::string& title) -> QWidget* {
        EXPECT_EQ(title, "Data graph");
        ++opened;
        auto* w = new QWidget;
        w->setAttribute(Qt::WA_DeleteOnClose);
        return w;
    };
    QWidget* shownIn = nullptr;
    views.showMeasured = [&](QWidget* target, const CSpectrumData& r, const CSpectrumData*) {
        shownIn = target;
        oneMemo = r.GetMemo();
    };
    views.showPlural = [&](QWidget*, const std::vector<CSpectrumData>& list, const CSpectrumData*) {
        pluralCount = list.size();
    };
    CHeliarcDlg& d = MakeDialog();
    Select({7});
    Click("plotMeasuredButton");
    EXPECT_EQ(oneMemo, "r7");
    Select({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    Click("plotMeasuredButton");
    EXPECT_EQ(pluralCount, 10u);
    EXPECT_EQ(d.FrameSet(0).Count(), 1);
    EXPECT_EQ(d.FrameSet(1).Count(), 1);
    // Previous and next of a window in a set walk the data set by time, for the window that asked.
    QWidget* one = d.FrameSet(CHeliarcDlg::kSetMeasured).At(0);
    oneMemo.clear();
    emit d.FrameSet(CHeliarcDlg::kSetMeasured).nextRequested(one, Base() + 3 * 60);
    EXPECT_EQ(oneMemo, "r4");
    EXPECT_EQ(shownIn, one);
    emit d.FrameSet(CHeliarcDlg::kSetMeasured).previousRequested(one, Base() + 3 * 60);
    EXPECT_EQ(oneMemo, "r2");
    oneMemo.clear();
    emit d.FrameSet(CHeliarcDlg::kSetMeasured).previousRequested(one, Base());
    EXPECT_EQ(oneMemo, "");
    // Eleven is one too many.
    d.DataSet().Append(d.DataSet().Record(0), d.DataSet().At(0).FileDate, 0);
    d.Browser().RefreshRecordList();
    d.RecordList()->SelectAllRows();
    prompter.Clear();
    Click("plotMeasuredButton");
    EXPECT_EQ(opened, 2);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "The record that can be displayed at the same time is up to 10");

    for (int i = 0; i < CHeliarcDlg::kSetCount; ++i) d.FrameSet(i).CloseAll();
}

TEST_F(BrowserTest, CalculationDataNeedsTwoRowsAndGetsACopyOfThem) {
    std::vector<std::string> memos;
    std::string title;
    views.openNumericalGraph = [&](const std::string& t, const CSpectrumDataSet& records) -> QWidget* {
        title = t;
        for (int i = 0; i < records.Count(); ++i) memos.push_back(records.At(i).Memo);
        auto* w = new QWidget;
        w->setAttribute(Qt::WA_DeleteOnClose);
        return w;
    };
    CHeliarcDlg& d = MakeDialog();
    Select({4});
    Click("plotCalculationButton");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Select more than one record.");
    EXPECT_TRUE(memos.empty());
    Select({6, 2, 3});
    Click("plotCalculationButton");
    EXPECT_EQ(title, "Calculation data graph");
    EXPECT_EQ(memos, (std::vector<std::string>{"r2", "r3", "r6"}));
    EXPECT_EQ(d.FrameSet(CHeliarcDlg::kSetNumerical).Count(), 1);
    d.FrameSet(CHeliarcDlg::kSetNumerical).CloseAll();
}

TEST_F(BrowserTest, ThreeDNeedsTwoRowsAndGetsTheSelectionWithTheStandardData) {
    std::vector<std::string> memos;
    std::string title;
    bool standardGiven = false;
    views.open3DGraph = [&](const std::string& t, const CSpectrumDataSet& records,
                                  const CSpectrumData* standard) -> QWidget* {
        title = t;
        standardGiven = standard != nullptr;
        for (int i = 0; i < records.Count(); ++i) memos.push_back(records.At(i).Memo);
        auto* w = new QWidget;
        w->setAttribute(Qt::WA_DeleteOnClose);
        return w;
    };
    CHeliarcDlg& d = MakeDialog();
    Select({1});
    Click("plot3DButton");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Select more than one record.");
    EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::Information);
    EXPECT_TRUE(memos.empty());
    Select({5, 0});
    Click("plot3DButton");
    EXPECT_EQ(title, "3-D graph");
    EXPECT_EQ(memos, (std::vector<std::string>{"r0", "r5"}));
    EXPECT_EQ(standardGiven, d.StandardSet().Current() != nullptr);
    EXPECT_EQ(d.FrameSet(CHeliarcDlg::kSet3D).Count(), 1);
    d.FrameSet(CHeliarcDlg::kSet3D).CloseAll();
}

}  // namespace

namespace {

// What the record list's model told its views.
struct ModelFeed {
    explicit ModelFeed(QAbstractItemModel* m) {
        QObject::connect(m, &QAbstractItemModel::modelReset, &context, [this] { ++resets; });
        QObject::connect(m, &QAbstractItemModel::rowsInserted, &context,
                         [this](const QModelIndex&, int first, int last) { inserted.emplace_back(first, last); });
        QObject::connect(m, &QAbstractItemModel::rowsRemoved, &context,
                         [this](const QModelIndex&, int first, int last) { removed.emplace_back(first, last); });
    }
    int resets = 0;
    std::vector<std::pair<int, int>> inserted, removed;
    QObject context;
};

}  // namespace

// A record stored during a run joins the list by itself: the folder is searched again only on Retrieval.
TEST_F(BrowserTest, ARecordStoredDuringARunJoinsTheListWithoutANewSearch) {
    CHeliarcDlg& d = MakeDialog();
    ASSERT_EQ(d.RecordList()->ItemCount(), 10);
    // A day file the search would find appears behind the program's back.
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(datatest::Local(2009, 5, 13, 9, 0, 0), "planted")), 1);
    // Text typed into a box but not submitted is no search: the stored record still joins.
    Find<QLineEdit>("searchCommentEdit")->setText("typed only");
    Select({3});
    Click("startStopButton");
    ASSERT_TRUE(engine->Store(datatest::MakeRecord(Base() + 10 * 60, "stored"), true));
    ASSERT_TRUE(apptest::WaitFor([&] { return TextOf("statusText") == "Standby"; }, 3000));
    ASSERT_EQ(d.RecordList()->ItemCount(), 11);
    EXPECT_EQ(Cell(10, 1), "stored");
    EXPECT_EQ(Ini("SEARCH", "SEARCH_COMMENT"), "");
    EXPECT_EQ(d.Selection(), (std::set<int>{3}));
    EXPECT_TRUE(view->Picture().IsSelected(3));
    Find<QLineEdit>("searchCommentEdit")->clear();
    Click("retrievalButton");
    ASSERT_EQ(d.RecordList()->ItemCount(), 12);
    EXPECT_EQ(Cell(10, 1), "stored");
    EXPECT_EQ(Cell(11, 1), "planted");
}

TEST_F(BrowserTest, ModelInsertsStoredRecordsRemovesDeletedRowsAndResetsOnANewSearch) {
    CHeliarcDlg& d = MakeDialog();
    ModelFeed feed(d.RecordList()->model());
    Select({2, 8});
    Pump();
    // A search that finds the same records and one more stored since adds that row only.
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(Base() + 10 * 60, "r10")), 1);
    Click("retrievalButton");
    Pump();
    EXPECT_EQ(feed.resets, 0);
    EXPECT_EQ(feed.inserted, (std::vector<std::pair<int, int>>{{10, 10}}));
    EXPECT_EQ(Cell(10, 1), "r10");
    EXPECT_EQ(d.Selection(), (std::set<int>{2, 8}));
    // Deleting rows 2 and 3 removes those rows; row 8 (now 6) stays selected.
    Select({2, 3});
    prompter.yesNo = {true};
    Trigger("actionDeleteData");
    Pump();
    EXPECT_EQ(feed.removed, (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(d.RecordList()->ItemCount(), 9);
    EXPECT_EQ(Cell(2, 1), "r4");
    Select({6});
    auto thumbnailsAgree = [&] {
        for (int i = 0; i < d.DataSet().Count(); ++i)
            if (view->Picture().IsSelected(i) != (d.Selection().count(i) > 0)) return false;
        return true;
    };
    EXPECT_TRUE(thumbnailsAgree());
    // A narrower search lays the rows out anew, the selected record still selected.
    Find<QLineEdit>("searchCommentEdit")->setText("r8");
    Click("retrievalButton");
    Pump();
    EXPECT_EQ(feed.resets, 1);
    ASSERT_EQ(d.RecordList()->ItemCount(), 1);
    EXPECT_EQ(Cell(0, 1), "r8");
    EXPECT_EQ(d.Selection(), (std::set<int>{0}));
    EXPECT_TRUE(thumbnailsAgree());
    EXPECT_TRUE(view->Picture().IsSelected(0));
}

TEST_F(BrowserTest, ATransferRefreshesTheListAndSaysHowManyRecordsItCopied) {
    CMeasurementPrm prm;
    prm.Load();
    prm.m_MEASUREMENT_TYPE = 2;
    prm.Save();
    CHeliarcDlg& d = MakeDialog();
    Select({2});
    Click("startStopButton");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(engine->Store(datatest::MakeRecord(Base() + (20 + i) * 60, "copied"), false));
    engine->Events().OnFinished();
    ASSERT_TRUE(apptest::WaitFor([&] { return TextOf("statusText") == "Standby"; }, 3000));
    EXPECT_EQ(d.RecordList()->ItemCount(), 13);
    EXPECT_EQ(d.Selection(), (std::set<int>{2}));
    EXPECT_EQ(d.StatusLine()->currentMessage().toStdString(), "3 records copied from the instrument.");
    // An empty result says so.
    Find<QLineEdit>("searchCommentEdit")->setText("nothing like it");
    Click("retrievalButton");
    EXPECT_FALSE(Find<QLabel>("noRecordsNote")->isHidden());
    Find<QLineEdit>("searchCommentEdit")->clear();
    Click("retrievalButton");
    EXPECT_TRUE(Find<QLabel>("noRecordsNote")->isHidden());
}

TEST_F(BrowserTest, DeleteAndEnterInTheListDeleteAndPlot) {
    int plotted = 0;
    views.openDataGraph = [&](const std::string&) -> QWidget* {
        ++plotted;
        return nullptr;
    };
    CHeliarcDlg& d = MakeDialog();
    d.show();
    Select({4});
    d.RecordList()->setFocus();
    Pump();
    QTest::keyClick(d.RecordList(), Qt::Key_Return);
    EXPECT_EQ(plotted, 1);
    prompter.yesNo = {false};
    QTest::keyClick(d.RecordList(), Qt::Key_Delete);
    ASSERT_EQ(prompter.calls.size(), 1u) << "asked first";
    EXPECT_EQ(d.DataSet().Count(), 10);
    // Enter in a search box searches, it plots nothing.
    Find<QLineEdit>("searchFromEdit")->setFocus();
    QTest::keyClick(Find<QLineEdit>("searchFromEdit"), Qt::Key_Return);
    EXPECT_EQ(plotted, 1);
}

TEST_F(BrowserTest, TheLightQualityWindowFollowsTheSelectionAndTheHeatMapTakesIt) {
    std::vector<std::string> quality;
    QWidget qualityWindow;
    views.openLightQuality = [&](const std::string& title, std::shared_ptr<const CSpectrumData> r) -> QWidget* {
        EXPECT_EQ(title, "Light quality");
        quality.push_back(r ? r->GetMemo() : "none");
        return &qualityWindow;
    };
    views.showLightQuality = [&](QWidget* target, std::shared_ptr<const CSpectrumData> r) {
        EXPECT_EQ(target, &qualityWindow);
        quality.push_back(r ? r->GetMemo() : "none");
    };
    int heatMapRecords = 0;
    views.openHeatMap = [&](const std::string&, const CSpectrumDataSet& records, const CSpectrumData*) -> QWidget* {
        heatMapRecords = records.Count();
        return nullptr;
    };
    CHeliarcDlg& d = MakeDialog();
    Select({2});
    Trigger("actionLightQuality");
    EXPECT_EQ(quality, (std::vector<std::string>{"r2"}));
    // The window follows the row last clicked, or the first one selected.
    Select({5});
    EXPECT_EQ(quality.back(), "r5");
    d.RecordList()->clearSelection();
    const std::size_t shown = quality.size();
    Select({});
    EXPECT_EQ(quality.size(), shown) << "nothing selected: the window keeps its record";
    Select({1, 2, 3});
    Trigger("actionHeatMap");
    EXPECT_EQ(heatMapRecords, 3);
    d.FrameSet(CHeliarcDlg::kSetQuality).CloseAll();
}

TEST_F(BrowserTest, AnotherDataFolderListsItsOwnRecords) {
    CHeliarcDlg& d = MakeDialog();
    ASSERT_EQ(d.DataSet().Count(), 10);
    const std::string other = work.Path() + "/other";
    std::filesystem::create_directory(other);
    prompter.paths = {other};
    prompter.modal = [](QDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        return dialog.result();
    };
    Trigger("actionDataFolder");
    EXPECT_EQ(d.DataSet().Count(), 0) << "the old folder's records are not listed";
    EXPECT_FALSE(Find<QLabel>("noRecordsNote")->isHidden());
}
