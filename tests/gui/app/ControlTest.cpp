// Measurement control on an engine the test plays by hand: the state machine and its texts and
// colours, events that arrive after a stop, the exit rules and the dialog's keys; and the queue
// that carries the engine's events from its worker to the GUI thread.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QMenu>
#include <QMenuBar>
#include <fstream>
#include <thread>

#include "AppTestUtil.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/LocalTime.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/browser/BaseDataThumbnailWnd.h"
#include "gui/common/ColorStatic.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailWnd.h"
#include "gui/spectrum/DataGraphView.h"
#include "gui/spectrum/DataGraphWnd.h"
#include "gui/shell/QueuedRunListener.h"
#include "gui/shell/ViewFactory.h"
#include "tests/unit/measure/RecordingListener.h"

namespace {

using apptest::AppTest;
using apptest::Pump;
using namespace platform;

void SetType(int type) {
    CMeasurementPrm prm;
    prm.Load();
    prm.m_MEASUREMENT_TYPE = type;
    prm.Save();
}

TEST_F(AppTest, ManualStartBlinksBlueDisablesTheButtonAndHandsOverTheComment) {
    CHeliarcDlg& d = MakeDialog();
    Find<QLineEdit>("commentEdit")->setText("roof");
    Click("startStopButton");
    EXPECT_EQ(engine->starts, 1);
    EXPECT_EQ(engine->lastType, 0);
    EXPECT_EQ(engine->lastMemo, "roof");
    EXPECT_EQ(TextOf("statusText"), "Measuring");
    EXPECT_EQ(TextOf("startStopButton"), "Stop");
    EXPECT_FALSE(Find<QPushButton>("startStopButton")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("commentEdit")->isEnabled());
    auto* status = Find<CColorStatic>("statusText");
    EXPECT_TRUE(status->IsBlinking());
    EXPECT_EQ(status->BlinkPeriod(), 1000);
    // Pair B first: white text on RGB(32, 32, 255).
    EXPECT_EQ(status->CurrentTextColor(), 0xFFFFFFu);
    EXPECT_EQ(status->CurrentBackgroundColor(), 0xFF2020u);
    EXPECT_EQ(Find<CColorStatic>("modeText")->CurrentBackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(Find<CColorStatic>("clockText")->CurrentTextColor(), 0x000000u);

    engine->Events().OnExposure(120, false);
    Pump();
    EXPECT_EQ(TextOf("statusText"), "Measuring - [120msec]");
    engine->Events().OnExposure(120, true);
    Pump();
    EXPECT_EQ(TextOf("statusText"), "Dark measuring - [120msec]");

    // "Measurement config" is refused while measuring.
    Click("measurementConfigButton");
    ASSERT_EQ(prompter.calls.size(), 1u);
    EXPECT_EQ(prompter.calls[0].text, "Cannot carry out this operation during measurement.");
    EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.Count("modal"), 0);

    // The engine's error stops the run first, then says why.
    engine->Events().OnError("Cannot save the data. Confirm the output folder.");
    Pump();
    EXPECT_EQ(engine->stops, 1);
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_EQ(TextOf("startStopButton"), "Start");
    EXPECT_TRUE(Find<QPushButton>("startStopButton")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>("commentEdit")->isEnabled());
    EXPECT_FALSE(status->IsBlinking());
    EXPECT_EQ(status->CurrentBackgroundColor(), 0x000000u);
    EXPECT_EQ(Find<CColorStatic>("modeText")->CurrentBackgroundColor(), 0x000000u);
    EXPECT_EQ(prompter.Messages().back(), "Measurement error.\r\nCannot save the data. Confirm the output folder.");
    EXPECT_EQ(d.StatusText(), "Standby");
}

// The worker's calls reach the target on the receiver's thread, in order, with their values; none
// after Detach.
TEST_F(AppTest, QueuedEventsArriveOnTheGuiThreadInOrder) {
    QObject receiver;
    CRecordingListener target;
    CQueuedRunListener queue(&receiver, target);
    CSpectrumData record;
    record.SetTime(1781928000);
    std::thread worker([&] {
        queue.OnWaiting(1781928000);
        queue.OnExposure(50, true);
        queue.OnStored(record, StoredPlace{1781881200, 5120}, false);
        queue.OnTransferSkipped(2, 7, "why");
        queue.OnError("failed");
        queue.OnFinished();
    });
    worker.join();
    EXPECT_TRUE(target.All().empty());  // nothing is called on the worker
    Pump();
    const auto events = target.All();
    EXPECT_EQ(target.Kinds(), (std::vector<Ev>{Ev::kWaiting, Ev::kExposure, Ev::kStored, Ev::kSkipped, Ev::kError, Ev::kFinished}));
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].time, 1781928000);
    EXPECT_EQ(events[1].ms, 50);
    EXPECT_TRUE(events[1].dark);
    EXPECT_EQ(events[2].time, 1781928000);
    EXPECT_EQ(events[2].place.fileDate, 1781881200);
    EXPECT_EQ(events[2].place.offset, 5120);
    EXPECT_EQ(events[3].text, "why");
    EXPECT_EQ(events[4].text, "failed");
    queue.Detach();
    queue.OnFinished();
    Pump();
    EXPECT_EQ(target.All().size(), 6u);
}

TEST_F(AppTest, FailedStartStaysInStandbyAndSaysWhy) {
    MakeDialog();
    engine->startResult = false;
    engine->errorText = "Cannot open the port. Confirm the connection.";
    Click("startStopButton");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Measurement start failure.\r\nCannot open the port. Confirm the connection.");
    EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::Warning);
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_EQ(TextOf("startStopButton"), "Start");
    EXPECT_FALSE(Find<CColorStatic>("statusText")->IsBlinking());
}

TEST_F(AppTest, IntervalAndTransferStatusTexts) {
    SetType(1);
    MakeDialog();
    Click("startStopButton");
    EXPECT_EQ(TextOf("statusText"), "Standby");  // unchanged until the engine speaks
    EXPECT_TRUE(Find<QPushButton>("startStopButton")->isEnabled());
    const CalTime next = datatest::Local(2009, 5, 12, 9, 5, 0);
    engine->Events().OnWaiting(next);
    Pump();
    // A start that is not today carries its date.
    EXPECT_EQ(TextOf("statusText"), "Waiting - Start at 2009/05/12 09:05:00 ");
    engine->Events().OnMeasuring();
    Pump();
    EXPECT_EQ(TextOf("statusText"), "Measuring");
    // The user stops an interval run; there is no question.
    Click("startStopButton");
    EXPECT_EQ(engine->stops, 1);
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_TRUE(prompter.calls.empty());
    dialog.reset();

    SetType(2);
    MakeDialog();
    Click("startStopButton");
    EXPECT_EQ(TextOf("statusText"), "Data transferring");
    EXPECT_FALSE(Find<QPushButton>("startStopButton")->isEnabled());
    EXPECT_EQ(Find<CColorStatic>("statusText")->CurrentBackgroundColor(), 0x20FF20u);  // RGB(32, 255, 32)
    engine->Events().OnTransferProgress(3, 12);
    Pump();
    EXPECT_EQ(TextOf("statusText"), "Data transferring - 3/12");
    engine->Events().OnFinished();
    Pump();
    EXPECT_EQ(engine->stops, 1);
    EXPECT_EQ(TextOf("statusText"), "Standby");
}

TEST_F(AppTest, LateMessagesAfterAStop) {
    datatest::SetGeneral("C:\\", "SPC");
    const CalTime t = datatest::Local(2009, 5, 12, 10, 0, 0);
    SetType(1);
    CHeliarcDlg& d = MakeDialog();
    Click("startStopButton");
    Click("startStopButton");  // stopped
    ASSERT_EQ(engine->stops, 1);
    // Status and finishing messages change nothing now.
    CRunListener& events = engine->Events();
    events.OnExposure(50, false);
    events.OnTransferProgress(1, 2);
    events.OnWaiting(t);
    events.OnMeasuring();
    events.OnFinished();
    events.OnFinished();
    Pump();
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_EQ(engine->stops, 1);
    // A late stored record is still read back and listed; it does not stop anything.
    ASSERT_TRUE(engine->Store(datatest::MakeRecord(t, "late"), false));
    Pump();
    EXPECT_EQ(d.Latest().GetTime(), t);
    EXPECT_EQ(d.Latest().GetMemo(), "late");
    EXPECT_EQ(d.DataSet().Count(), 1);
    EXPECT_EQ(engine->stops, 1);
    EXPECT_EQ(engine->starts, 1);
    // A late error still shows its box.
    events.OnError("Internal system failure.");
    Pump();
    EXPECT_EQ(engine->stops, 1);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Measurement error.\r\nInternal system failure.");
}

// Another program may append to the day file before the dialog reads the record back.
TEST_F(AppTest, AStoredRecordIsReadWhereTheEngineWroteIt) {
    datatest::SetGeneral("C:\\", "SPC");
    const CalTime t = datatest::Local(2009, 5, 12, 10, 0, 0);
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(t, "ours")), 1);
    ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(t + 1, "theirs")), 1);
    CHeliarcDlg& d = MakeDialog();
    engine->Stored(t, 0, false);
    Pump();
    EXPECT_EQ(d.Latest().GetMemo(), "ours");
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(AppTest, StoredRecordThatCannotBeReadSaysSoAndAManualRunStillEnds) {
    views.openDataGraph = [](const std::string&) -> QWidget* { return nullptr; };  // "Trend graph" offered
    CHeliarcDlg& d = MakeDialog();
    Click("startStopButton");
    // No daily file for that time.
    engine->Stored(datatest::Local(2009, 5, 12, 10, 0, 0), 0, true);
    Pump();
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Data reading failure.");
    ASSERT_TRUE(apptest::WaitFor([&] { return engine->stops == 1; }));
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_EQ(d.Latest().GetTime(), 0);

    // A file shorter than one record is no record either.
    datatest::SetGeneral("C:\\", "SPC");
    { std::ofstream("SPC_20090512.hlx", std::ios::binary) << "short"; }
    engine->Stored(datatest::Local(2009, 5, 12, 10, 0, 0), 0, false);
    Pump();
    EXPECT_EQ(prompter.Messages().size(), 2u);
    EXPECT_EQ(d.Latest().GetTime(), 0);
    // "Trend graph" without a measured record is refused.
    prompter.Clear();
    Trigger("actionTrendGraph");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "No measured data.");
}

TEST_F(AppTest, AManualRunShowsMeasuringForABlinkAndTheListScrollsToTheNewRecord) {
    datatest::SetGeneral("C:\\", "SPC");
    const platform::CalTime base = datatest::Local(2009, 5, 12, 10, 0, 0);
    {
        CSpectrumDataWriter writer;
        for (int i = 0; i < 200; ++i) ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(base + i, "old")), 1);
    }
    CHeliarcDlg& d = MakeDialog();
    CDataListCtrl* list = d.RecordList();
    list->EnsureRowVisible(0);
    Pump();
    Click("startStopButton");
    QElapsedTimer shown;
    shown.start();
    // The record lands at the end of the day's file and the worker says so at once.
    ASSERT_TRUE(engine->Store(datatest::MakeRecord(base + 500, "new"), true));
    Pump();
    EXPECT_EQ(TextOf("statusText"), "Measuring");
    EXPECT_TRUE(Find<CColorStatic>("statusText")->IsBlinking());
    ASSERT_TRUE(apptest::WaitFor([&] { return TextOf("statusText") == "Standby"; }, 3000));
    EXPECT_GE(shown.elapsed(), 900);
    EXPECT_EQ(engine->stops, 1);
    ASSERT_EQ(d.DataSet().Count(), 201);
    EXPECT_EQ(d.Latest().GetMemo(), "new");
    // The new record's row is in view.
    const QRect row = list->visualRect(list->model()->index(200, 0));
    EXPECT_TRUE(list->viewport()->rect().intersects(row));
    EXPECT_FALSE(list->viewport()->rect().intersects(list->visualRect(list->model()->index(0, 0))));
}

TEST_F(AppTest, ExitIsRefusedWhileAGraphShowsAModalDialog) {
    CHeliarcDlg& d = MakeDialog();
    // A graph window of a set and a thumbnail window each report a modal box; one has closed again.
    auto* graph = static_cast<CGraphFrame*>(MakeViewFactory().openDataGraph("Data graph"));
    d.FrameSet(CHeliarcDlg::kSetMeasured).Add(graph);
    graph->ReportModal(true);
    d.DataThumbnailWnd()->ReportModal(true);
    d.DataThumbnailWnd()->ReportModal(false);
    EXPECT_EQ(d.OpenModalCount(), 1);
    Click("exitButton");
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Exit after closing all dialogs.");
    // The window's close button takes the same road.
    EXPECT_FALSE(d.close());
    EXPECT_TRUE(d.isVisible());
    graph->ReportModal(false);
    Click("exitButton");
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(d.DataThumbnailWnd()->isVisible());
    EXPECT_FALSE(d.BaseDataThumbnailWnd()->isVisible());
}

TEST_F(AppTest, ExitWhileMeasuringAsksAndStopsOnlyOnYesBeforeClosingWindows) {
    SetType(1);
    CHeliarcDlg& d = MakeDialog();
    // A graph window of set 4, to see that it closes only after the stop.
    auto* graph = new QWidget;
    graph->setAttribute(Qt::WA_DeleteOnClose);
    graph->show();
    d.FrameSet(CHeliarcDlg::kSetNumerical).Add(graph);
    QPointer<QWidget> guard(graph);
    Click("startStopButton");
    ASSERT_TRUE(engine->measuring);

    prompter.yesNo = {false};
    Click("exitButton");
    ASSERT_EQ(prompter.Count("yesno"), 1);
    EXPECT_EQ(prompter.calls.back().text, "Do you stop to measure?");
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(engine->measuring);
    EXPECT_EQ(engine->stops, 0);
    EXPECT_TRUE(graph->isVisible());

    prompter.yesNo = {true};
    Click("exitButton");
    EXPECT_EQ(engine->stops, 1);
    EXPECT_FALSE(engine->measuring);
    EXPECT_FALSE(d.isVisible());
    Pump();
    EXPECT_TRUE(guard.isNull());
    EXPECT_FALSE(d.FrameSet(CHeliarcDlg::kSetNumerical).Any());
}

TEST_F(AppTest, EscapeDoesNothingAndEnterRunsTheSearch) {
    CHeliarcDlg& d = MakeDialog();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&d, &escape);
    Pump();
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(prompter.calls.empty());

    datatest::SetGeneral("C:\\", "SPC");
    {
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(datatest::Local(2009, 5, 12, 10, 0, 0), "new")), 1);
    }
    EXPECT_EQ(d.DataSet().Count(), 0);
    auto* box = Find<QLineEdit>("searchCommentEdit");
    box->setText("new");
    box->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    Pump();
    EXPECT_EQ(d.DataSet().Count(), 1);
    EXPECT_EQ(Ini("SEARCH", "SEARCH_COMMENT"), "new");
}

TEST_F(AppTest, AClosedOrDeletedGraphWindowLeavesItsSet) {
    CHeliarcDlg& d = MakeDialog();
    CFrameSet& trend = d.FrameSet(CHeliarcDlg::kSetTrend);
    QPointer<QWidget> a = MakeViewFactory().openDataGraph("a");
    QPointer<QWidget> b = MakeViewFactory().openDataGraph("b");
    auto* plain = new QWidget;
    trend.Add(a);
    trend.Add(b);
    trend.Add(plain);
    ASSERT_EQ(trend.Count(), 3);
    b->close();
    ASSERT_EQ(trend.Count(), 2);
    EXPECT_EQ(trend.At(0), a.data());
    EXPECT_EQ(trend.At(1), plain);
    // A window that is not a graph frame is gone once it is deleted.
    delete plain;
    ASSERT_EQ(trend.Count(), 1);
    EXPECT_EQ(trend.At(0), a.data());
    Pump();
    EXPECT_TRUE(b.isNull());
    a->close();
    EXPECT_FALSE(trend.Any());
}

TEST_F(AppTest, TrendGraphOpensOnceThenRaisesAndEveryStoredRecordRefreshesIt) {
    int opened = 0, shown = 0;
    std::string shownMemo;
    QPointer<QWidget> frame;
    views.openDataGraph = [&](const std::string& title) -> QWidget* {
        ++opened;
        EXPECT_EQ(title, "Trend data");
        frame = new QWidget;
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->show();
        return frame;
    };
    views.showLatest = [&](QWidget* target, const CSpectrumData& r, const CSpectrumData*) {
        EXPECT_EQ(target, frame.data());
        ++shown;
        shownMemo = r.GetMemo();
    };
    datatest::SetGeneral("C:\\", "SPC");
    const CalTime t = datatest::Local(2009, 5, 12, 10, 0, 0);
    CHeliarcDlg& d = MakeDialog();
    EXPECT_TRUE(Find<QPushButton>("trendGraphButton")->isEnabled());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(engine->Store(datatest::MakeRecord(t + i, "rec" + std::to_string(i)), false));
        Pump();
        if (i == 0) Click("trendGraphButton");
    }
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(shownMemo, "rec1");
    EXPECT_EQ(d.DataSet().Count(), 2);
    Click("trendGraphButton");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(shown, 3);
    // Once the window has gone, the next press opens a new one.
    frame->close();
    Pump();
    Click("trendGraphButton");
    EXPECT_EQ(opened, 2);
    dialog.reset();
}

// A stored record during a run redraws the trend window where it is: a minimised one stays
// minimised and the keyboard stays where the user is typing. Only the user's press brings it back.
TEST_F(AppTest, AStoredRecordRedrawsTheTrendWindowInPlace) {
    views = MakeViewFactory();
    SetType(1);
    datatest::SetGeneral("C:\\", "SPC");
    const CalTime t = datatest::Local(2009, 5, 12, 10, 0, 0);
    CHeliarcDlg& d = MakeDialog();
    auto store = [&](int i) {
        ASSERT_TRUE(engine->Store(datatest::MakeRecord(t + i, "rec" + std::to_string(i)), false));
        Pump();
    };
    Click("startStopButton");
    ASSERT_TRUE(engine->measuring);
    store(0);
    Click("trendGraphButton");
    auto* trend = dynamic_cast<CDataGraphWnd*>(d.FrameSet(CHeliarcDlg::kSetTrend).At(0));
    ASSERT_NE(trend, nullptr);
    trend->showMinimized();
    d.activateWindow();
    auto* typing = Find<QLineEdit>("searchCommentEdit");
    typing->setFocus();
    ASSERT_TRUE(apptest::WaitFor([&] { return QApplication::focusWidget() == typing; }));

    store(1);
    EXPECT_TRUE(trend->isMinimized());
    EXPECT_EQ(QApplication::focusWidget(), typing);
    ASSERT_EQ(trend->View()->Picture().Records().size(), 1u);
    EXPECT_EQ(trend->View()->Picture().Records()[0].GetMemo(), "rec1");

    Click("trendGraphButton");
    EXPECT_FALSE(trend->isMinimized());
    dialog.reset();
}

TEST_F(AppTest, SmallCommandsOfTheFrame) {
    CHeliarcDlg& d = MakeDialog();
    {
        QWidget* logo = Find("logo");
        ASSERT_NE(logo, nullptr);
        const QPointF at(logo->width() / 2, logo->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, logo->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(logo, &press);
    }
    ASSERT_EQ(prompter.Count("url"), 1);
    EXPECT_EQ(prompter.calls.back().text, CHeliarcDlg::kMakerSite);

    // The version item runs the version box.
    auto* about = d.findChild<QAction*>(QStringLiteral("actionAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text().toStdString(), "Version(&A)...");
    about->trigger();
    EXPECT_EQ(prompter.calls.back().kind, "modal");
    EXPECT_EQ(prompter.calls.back().text, "aboutDialog");
    // It is also in the visible Help menu of the dialog's menu bar.
    auto* bar = d.findChild<QMenuBar*>(QStringLiteral("menuBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    auto* help = d.findChild<QMenu*>(QStringLiteral("helpMenu"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->title().toStdString(), "Help(&H)");
    EXPECT_TRUE(help->actions().contains(about));
    EXPECT_TRUE(bar->actions().contains(help->menuAction()));

    // "Measurement config" cancelled leaves the mode text; OK rebuilds it.
    Click("measurementConfigButton");
    EXPECT_EQ(prompter.calls.back().text, "dlgSetMeasurement");
    EXPECT_EQ(TextOf("modeText"), "Manual measurement");
    prompter.modal = [](QDialog& dialog) {
        dialog.findChild<QAbstractButton*>(QStringLiteral("transferRadio"))->click();  // data transfer
        dialog.findChild<QAbstractButton*>(QStringLiteral("usbRadio"))->click();  // USB
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        return dialog.result();
    };
    Click("measurementConfigButton");
    EXPECT_EQ(TextOf("modeText"), "Data transfer");
    EXPECT_EQ(Ini("MEASUREMENT", "MEASUREMENT_TYPE"), "2");

    // "Data folder" runs its dialog; the search is not re-run.
    prompter.modal = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("fileIdEdit"))->setText("ABC");
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        return dialog.result();
    };
    Click("dataFolderButton");
    EXPECT_EQ(prompter.calls.back().text, "dlg133");
    EXPECT_EQ(Ini("GENERAL", "FILE_NAME_ID"), "ABC");
}

}  // namespace

TEST_F(AppTest, AMonitorRunShowsEachSpectrumStoresNothingAndLeavesTheSettingsAlone) {
    int spectra = 0, qualities = 0;
    QWidget graph, quality;
    views.openDataGraph = [&](const std::string&) -> QWidget* { return &graph; };
    views.showLatest = [&](QWidget* target, const CSpectrumData&, const CSpectrumData*) {
        EXPECT_EQ(target, &graph);
        ++spectra;
    };
    views.openLightQuality = [&](const std::string&, std::shared_ptr<const CSpectrumData> r) -> QWidget* {
        EXPECT_EQ(r->GetMemo(), "live");
        ++qualities;
        return &quality;
    };
    views.showLightQuality = [&](QWidget* target, std::shared_ptr<const CSpectrumData>) {
        EXPECT_EQ(target, &quality);
        ++qualities;
    };
    SetType(1);
    CHeliarcDlg& d = MakeDialog();
    const int listed = d.DataSet().Count();
    Click("monitorButton");
    EXPECT_EQ(engine->lastType, 3);
    EXPECT_EQ(TextOf("statusText"), "Monitoring - nothing is stored");
    EXPECT_FALSE(d.StartStopAction()->isEnabled()) << "no other run while it monitors";
    for (int i = 0; i < 3; ++i) engine->Events().OnMonitorMeasured(datatest::MakeRecord(1240000000 + i, "live"));
    engine->Events().OnExposure(50, false);
    ASSERT_TRUE(apptest::WaitFor([&] { return spectra == 3; }, 3000));
    EXPECT_EQ(qualities, 3);
    EXPECT_EQ(TextOf("statusText"), "Monitoring - nothing is stored");
    Click("monitorButton");
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_TRUE(d.StartStopAction()->isEnabled());
    EXPECT_EQ(d.DataSet().Count(), listed);
    EXPECT_EQ(Ini("MEASUREMENT", "MEASUREMENT_TYPE"), "1");
    d.FrameSet(CHeliarcDlg::kSetTrend).CloseAll();
    d.FrameSet(CHeliarcDlg::kSetQuality).CloseAll();
}
