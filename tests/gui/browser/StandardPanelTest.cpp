// The standard data group of the main dialog: the list of registered standards, its three buttons,
// the "Standard data" popup, and what a change tells the thumbnail and the trend window.
#include <gtest/gtest.h>

#include <functional>

#include <QContextMenuEvent>
#include <QMenu>

#include "gui/browser/StandardPanel.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/Text.h"
#include "tests/gui/app/AppTestUtil.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/browser/DataListCtrl.h"

namespace {

using apptest::AppTest;
using apptest::Pump;
using namespace platform;

class StandardPanelTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        datatest::SetGeneral("C:\\", "SPC");
        CSpectrumDataWriter writer;
        for (int i = 0; i < 6; ++i)
            ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(Base() + i * 60, "r" + std::to_string(i), 100.0f + 10 * i)), 1);
        views.standardThumbnailView = [this](QWidget*, CBaseDataSet& standard) {
            attached = &standard;
            view = new QWidget;
            return view;
        };
        views.openDataGraph = [this](const std::string& title) -> QWidget* {
            opened.push_back(title);
            auto* frame = new QWidget;
            frame->setAttribute(Qt::WA_DeleteOnClose);
            frame->show();
            frames.emplace_back(frame);
            return frame;
        };
        views.showStandard = [this](QWidget* target, const CSpectrumData& r) { shown.push_back({target, r.GetMemo()}); };
        views.showLatest = [this](QWidget* target, const CSpectrumData& latest, const CSpectrumData* standard) {
            latestShown.push_back({target, latest.GetMemo() + "/" + (standard ? standard->GetMemo() : "none")});
        };
    }
    void TearDown() override {
        AppTest::TearDown();
        for (auto& f : frames) delete f.data();
    }
    static CalTime Base() { return datatest::Local(2009, 5, 12, 10, 0, 0); }

    // A dialog with records r<i> registered as standard data in the order given (the last is current).
    // redrawn counts the panel's word to the standard data thumbnail from then on.
    CHeliarcDlg& DialogWithStandards(std::initializer_list<int> rows) {
        CHeliarcDlg& d = MakeDialog();
        QObject::connect(d.StandardPanel(), &CStandardPanel::standardChanged, [this] { ++redrawn; });
        for (int r : rows) {
            SelectRecords({r});
            Trigger("actionRegisterStandard");
        }
        Pump();
        return d;
    }
    void SelectRecords(std::initializer_list<int> rows) {
        dialog->RecordList()->clearSelection();
        for (int r : rows) dialog->RecordList()->SetRowSelected(r, true);
    }
    void SelectStandards(std::initializer_list<int> rows) {
        dialog->StandardList()->clearSelection();
        for (int r : rows) dialog->StandardList()->SetRowSelected(r, true);
    }
    std::string StandardCell(int row, int column) {
        return dialog->StandardList()->model()->index(row, column).data().toString().toStdString();
    }
    std::vector<std::string> StandardMemos() {
        std::vector<std::string> out;
        for (int i = 0; i < dialog->StandardList()->ItemCount(); ++i) out.push_back(StandardCell(i, 1));
        return out;
    }
    using Memos = std::vector<std::string>;

    QWidget* view = nullptr;
    int redrawn = 0;
    CBaseDataSet* attached = nullptr;
    std::vector<std::string> opened;
    std::vector<QPointer<QWidget>> frames;
    std::vector<std::pair<QWidget*, std::string>> shown;
    std::vector<std::pair<QWidget*, std::string>> latestShown;
};

TEST_F(StandardPanelTest, ListShowsTheHistoryNewestFirstWithItsCellsAndColumns) {
    CHeliarcDlg& d = DialogWithStandards({1, 3, 2});
    ASSERT_NE(d.StandardPanel(), nullptr);
    EXPECT_EQ(d.StandardList(), d.StandardPanel()->List());
    EXPECT_EQ(d.StandardList()->objectName().toStdString(), "standardList");
    EXPECT_EQ(StandardMemos(), (Memos{"r2", "r3", "r1"}));
    // The built-in record is never listed: the dialog uses the registered history alone.
    EXPECT_FALSE(d.StandardSet().CurrentIsBuiltIn());
    EXPECT_EQ(d.StandardSet().Current()->GetMemo(), "r2");
    EXPECT_EQ(StandardCell(0, 0), "2009/05/12 10:02:00");
    CSpectrumData r = d.StandardSet().Item(1);
    EXPECT_EQ(StandardCell(1, 2), FormatG(r.GetPar()));
    EXPECT_EQ(StandardCell(1, 3), FormatG(r.GetPhoton()));
    EXPECT_EQ(StandardCell(1, 4), FormatG(r.GetLux()));
    EXPECT_EQ(StandardCell(1, 7), FormatG(r.GetAltitude()));
    auto* header = d.StandardList()->model();
    ASSERT_EQ(header->columnCount(), 8);
    EXPECT_EQ(header->headerData(0, Qt::Horizontal).toString().toStdString(), "Measurement time");
    EXPECT_EQ(header->headerData(1, Qt::Horizontal).toString().toStdString(), "Comment");
    // Each registration redrew the standard data thumbnail.
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(attached, &d.StandardSet());
    EXPECT_EQ(redrawn, 3);
    // A new dialog reads the same history back.
    dialog.reset();
    MakeDialog();
    EXPECT_EQ(StandardMemos(), (Memos{"r2", "r3", "r1"}));
}

TEST_F(StandardPanelTest, ButtonsWithoutASelectedRowSaySoAndChangeNothing) {
    CHeliarcDlg& d = DialogWithStandards({1, 2});
    SelectStandards({});
    const int before = redrawn;
    for (const char* id : {"standardDeleteButton", "standardUpdateButton", "standardPlotButton"}) {
        prompter.Clear();
        Click(id);
        ASSERT_EQ(prompter.calls.size(), 1u) << id;
        EXPECT_EQ(prompter.calls[0].text, "Select a data.");
        EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::Information);
    }
    Pump();
    EXPECT_EQ(StandardMemos(), (Memos{"r2", "r1"}));
    EXPECT_EQ(redrawn, before);
    EXPECT_TRUE(opened.empty());
    // An empty history: the popup's "Plot" says so too.
    SelectStandards({0});
    Click("standardDeleteButton");
    SelectStandards({0});
    Click("standardDeleteButton");
    ASSERT_EQ(d.StandardList()->ItemCount(), 0);
    prompter.Clear();
    Trigger("actionStandardPlotCurrent");
    ASSERT_EQ(prompter.Messages(), (Memos{"Select a data."}));
    EXPECT_TRUE(opened.empty());
}

TEST_F(StandardPanelTest, DeleteRemovesTheTopmostSelectedEntryAndSavesTheHistory) {
    CHeliarcDlg& d = DialogWithStandards({0, 1, 2, 3});
    Pump();
    const int before = redrawn;
    SelectStandards({2, 1, 3});
    prompter.Clear();
    Click("standardDeleteButton");
    EXPECT_TRUE(prompter.calls.empty());  // no confirmation
    EXPECT_EQ(StandardMemos(), (Memos{"r3", "r1", "r0"}));
    Pump();
    EXPECT_EQ(redrawn, before + 1);
    // Deleting the current entry makes the next newest current.
    SelectStandards({0});
    Click("standardDeleteButton");
    EXPECT_EQ(d.StandardSet().Current()->GetMemo(), "r1");
    dialog.reset();
    MakeDialog();
    EXPECT_EQ(StandardMemos(), (Memos{"r1", "r0"}));
}

TEST_F(StandardPanelTest, UpdateMakesAnOlderEntryCurrentAndLeavesTheTopRowAlone) {
    CHeliarcDlg& d = DialogWithStandards({0, 1, 2});
    Pump();
    int before = redrawn;
    // The top row is already current: nothing happens, not even a refresh.
    SelectStandards({0, 2});
    prompter.Clear();
    Click("standardUpdateButton");
    Pump();
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_EQ(redrawn, before);
    EXPECT_EQ(StandardMemos(), (Memos{"r2", "r1", "r0"}));
    // The topmost of several selected rows counts.
    SelectStandards({2, 1});
    Click("standardUpdateButton");
    Pump();
    EXPECT_EQ(StandardMemos(), (Memos{"r1", "r2", "r0"}));
    EXPECT_EQ(d.StandardSet().Current()->GetMemo(), "r1");
    EXPECT_EQ(redrawn, before + 1);
    // The mark follows the chosen entry to the top: the next "Plot" shows it.
    EXPECT_EQ(d.StandardList()->SelectedRows(), (std::set<int>{0}));
    Click("standardPlotButton");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().second, "r1");
    SelectStandards({2});
    Click("standardUpdateButton");
    EXPECT_EQ(StandardMemos(), (Memos{"r0", "r1", "r2"}));
    // Exports and new graphs take the new current standard; the history file holds the order.
    dialog.reset();
    MakeDialog();
    EXPECT_EQ(StandardMemos(), (Memos{"r0", "r1", "r2"}));
    EXPECT_EQ(dialog->StandardSet().Current()->GetMemo(), "r0");
}

TEST_F(StandardPanelTest, PlotOpensOneStandardGraphAndReusesIt) {
    CHeliarcDlg& d = DialogWithStandards({0, 1, 2});
    EXPECT_TRUE(Find<QPushButton>("standardPlotButton")->isEnabled());
    SelectStandards({2, 1});
    Click("standardPlotButton");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "Standard data graph");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, frames[0].data());
    EXPECT_EQ(shown[0].second, "r1");
    EXPECT_EQ(d.FrameSet(CHeliarcDlg::kSetStandard).Count(), 1);
    // A second entry goes to the same window.
    SelectStandards({2});
    Click("standardPlotButton");
    EXPECT_EQ(opened.size(), 1u);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].first, frames[0].data());
    EXPECT_EQ(shown[1].second, "r0");
    // The popup's "Plot" shows the current standard data whatever row is selected.
    Trigger("actionStandardPlotCurrent");
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].second, "r2");
    EXPECT_EQ(opened.size(), 1u);
    // Once the window has closed, the next plot opens a new one.
    frames[0]->close();
    Pump();
    ASSERT_TRUE(frames[0].isNull());
    Click("standardPlotButton");
    ASSERT_EQ(opened.size(), 2u);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].first, frames[1].data());
    EXPECT_EQ(d.FrameSet(CHeliarcDlg::kSetStandard).Count(), 1);
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(StandardPanelTest, WithoutTheSpectrumWindowPlotIsNotOffered) {
    views.openDataGraph = nullptr;
    CHeliarcDlg& d = DialogWithStandards({0});
    EXPECT_FALSE(Find<QPushButton>("standardPlotButton")->isEnabled());
    QAction* item = Find<QAction>("actionStandardPlotCurrent");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(d.StandardPanel()->Menu()->actions().contains(item));
    EXPECT_FALSE(item->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("standardDeleteButton")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("standardUpdateButton")->isEnabled());
    Trigger("actionStandardPlotCurrent");
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(StandardPanelTest, RightClickOpensTheStandardDataPopupWhoseItemReachesTheDialog) {
    CHeliarcDlg& d = DialogWithStandards({0, 1});
    QMenu* menu = d.StandardPanel()->Menu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text().toStdString(), "Plot");
    EXPECT_EQ(menu->title().toStdString(), "Standard data");
    EXPECT_EQ(d.findChild<QMenu*>(QStringLiteral("standardMenu")), menu);
    QWidget* viewport = d.StandardList()->viewport();
    const QPoint at(10, 10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    Pump();
    EXPECT_TRUE(menu->isVisible());
    SelectStandards({1});
    menu->actions()[0]->trigger();
    menu->close();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].second, "r1");  // the current standard, not the selected row
}

TEST_F(StandardPanelTest, AChangedStandardReachesTheTrendWindow) {
    CHeliarcDlg& d = DialogWithStandards({0, 1});
    // The engine stored r5 (the last record of its day); the trend window shows it.
    engine->measuring = true;
    engine->Stored(Base() + 5 * 60, 5 * CSpectrumDataWriter::kRecordSize, true);
    ASSERT_TRUE(apptest::WaitFor([&] { return d.Latest().GetTime() == Base() + 5 * 60; }));
    auto* trend = new QWidget;
    frames.emplace_back(trend);
    d.FrameSet(CHeliarcDlg::kSetTrend).Add(trend);
    latestShown.clear();
    SelectStandards({1});
    Click("standardUpdateButton");
    ASSERT_EQ(latestShown.size(), 1u);
    EXPECT_EQ(latestShown[0].first, trend);
    EXPECT_EQ(latestShown[0].second, "r5/r0");
    SelectRecords({3});
    Trigger("actionRegisterStandard");
    ASSERT_EQ(latestShown.size(), 2u);
    EXPECT_EQ(latestShown[1].second, "r5/r3");
}

// A full disk: every command that saves says so, and the files on disk stay as they were.
TEST_F(StandardPanelTest, EveryFailedSaveSaysSoAndLeavesTheFiles) {
    const std::string kDayFile = "SPC_20090512.hlx";  // "C:\\" is the working folder here
    CHeliarcDlg& d = DialogWithStandards({0, 1});
    const std::string history = testsupport::ReadFileBytes("./ZQ118_BASE.ini");
    const std::string day = testsupport::ReadFileBytes(kDayFile);
    ASSERT_FALSE(history.empty());
    ASSERT_FALSE(day.empty());
    const std::string cannotSave = "Cannot save the data. Confirm the output folder.";
    const std::string notDeleted = "Update data failure.\r\nThe record of 2009/05/12 10:04:00 in ./SPC_20090512.hlx "
                                   "(byte 10240) was left as it was: it cannot be written (File too large).\r\n"
                                   "0 of 1 records were changed.";
    {
        testsupport::FileSizeLimit full(64);
        const auto expectFailure = [&](const char* what, const std::function<void()>& command,
                                       const std::string& message) {
            prompter.Clear();
            prompter.yesNo = {true};
            command();
            Pump();
            EXPECT_EQ(prompter.Messages(), (std::vector<std::string>{message})) << what;
            EXPECT_EQ(testsupport::ReadFileBytes("./ZQ118_BASE.ini"), history) << what;
            EXPECT_EQ(testsupport::ReadFileBytes(kDayFile), day) << what;
        };
        expectFailure("update", [&] { SelectStandards({1}); Click("standardUpdateButton"); }, cannotSave);
        expectFailure("delete from history", [&] { SelectStandards({1}); Click("standardDeleteButton"); }, cannotSave);
        expectFailure("register", [&] { SelectRecords({3}); Trigger("actionRegisterStandard"); }, cannotSave);
        // The deletion names the record it could not mark.
        expectFailure("delete data", [&] { SelectRecords({4}); Trigger("actionDeleteData"); }, notDeleted);
    }
    // With room again the same commands save without a word.
    prompter.Clear();
    prompter.yesNo = {true};
    SelectRecords({4});
    Trigger("actionDeleteData");
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_NE(testsupport::ReadFileBytes(kDayFile), day);
    EXPECT_EQ(d.DataSet().Count(), 5);
}

}  // namespace
