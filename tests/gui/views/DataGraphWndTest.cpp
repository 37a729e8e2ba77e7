// The spectrum graph frame and view: toolbar states, signals to the main dialog and the frame set,
// the mouse, the settings dialog round trip and the picture output commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QKeySequence>
#include <QMenu>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest/QTest>
#include <memory>

#include "core/config/DataGraphPrm.h"
#include "gui/common/FrameSet.h"
#include "gui/common/WindowMemory.h"
#include "gui/common/WindowPlacement.h"
#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/spectrum/DataGraphView.h"
#include "gui/spectrum/DataGraphWnd.h"
#include "gui/spectrum/SetDataGraph.h"
#include "gui/shell/ViewFactory.h"

using namespace viewstest;
using P = CDataGraphPicture;

namespace {

class WndTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        record_ = Measured(datatest::Local(2009, 5, 12, 10, 0, 0), "roof");
        standard_ = Measured(datatest::Local(2009, 5, 1, 12, 0, 0), "ref", 300.0f);
        frame_ = static_cast<CDataGraphWnd*>(MakeViewFactory().openDataGraph("Data graph"));
        ASSERT_NE(frame_, nullptr);
        recorder_ = std::make_unique<FrameSignals>(frame_);
        frame_->resize(800, 600);
        Pump();
    }
    void TearDown() override {
        if (frame_) frame_->close();
        Pump();
    }
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(x, y), frame_->View()->mapToGlobal(QPointF(x, y)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(frame_->View(), &e);
    }
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    std::unique_ptr<FrameSignals> recorder_;
    ScriptedPrompter prompter_;
    CSpectrumData record_;
    CSpectrumData standard_;
    QPointer<CDataGraphWnd> frame_;
};

}  // namespace

TEST_F(WndTest, ToolbarStatesFollowTheModeAndTheStandard) {
    EXPECT_GE(frame_->minimumWidth(), 700);
    EXPECT_GE(frame_->minimumHeight(), 500);
    MakeViewFactory().showMeasured(frame_, record_, nullptr);
    const QStringList order{"actionSettings",     "actionPrevious",     "actionNext",           "actionXZoomIn",
                            "actionXZoomOut",     "actionXShiftRight",  "actionXShiftLeft",     "actionYZoomIn",
                            "actionYZoomOut",     "actionYShiftUp",     "actionYShiftDown",     "actionRatioZoomIn",
                            "actionRatioZoomOut", "actionRatioShiftUp", "actionRatioShiftDown", "actionPlotMeasured",
                            "actionPlotStandard", "actionPlotDifference", "actionShowRatio",    "actionShowParPhotonLux",
                            "actionShowUv",       "actionShowIntegration", "actionCopy",        "actionSave",
                            "actionPrint"};
    QStringList shown;
    for (QAction* a : frame_->ToolBar()->actions())
        if (!a->isSeparator()) shown << a->objectName();
    EXPECT_EQ(shown, order);
    // The pop-up menu holds the same actions as the toolbar, and the output ones have shortcuts.
    EXPECT_TRUE(frame_->PopupMenu()->actions().contains(frame_->Action(GraphCommand::Previous)));
    EXPECT_EQ(frame_->Action(GraphCommand::Copy)->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(frame_->findChild<QAction*>("actionSave"), frame_->Action(GraphCommand::Save));
    EXPECT_EQ(frame_->Action(GraphCommand::PlotMeasured)->toolTip(), "Plot measured data");
    EXPECT_EQ(frame_->Action(GraphCommand::XZoomIn)->toolTip(), "Zoom in - Wavelength");
    EXPECT_TRUE(frame_->Action(GraphCommand::Previous)->isEnabled());
    EXPECT_FALSE(frame_->Action(GraphCommand::PlotStandard)->isEnabled());  // no standard data
    EXPECT_FALSE(frame_->Action(GraphCommand::ShowUv)->isEnabled());
    EXPECT_FALSE(frame_->Action(GraphCommand::YZoomIn)->isEnabled());  // automatic irradiance range
    EXPECT_TRUE(frame_->Action(GraphCommand::PlotMeasured)->isChecked());
    // The only curve stays on, and so does its button.
    frame_->Action(GraphCommand::PlotMeasured)->trigger();
    EXPECT_TRUE(frame_->Action(GraphCommand::PlotMeasured)->isChecked());
    EXPECT_EQ(frame_->View()->Picture().Prm().m_SHOW_MEASURED_DATA.Get(), 1);

    MakeViewFactory().showLatest(frame_, record_, &standard_);
    EXPECT_FALSE(frame_->Action(GraphCommand::Previous)->isEnabled());
    EXPECT_TRUE(frame_->Action(GraphCommand::PlotStandard)->isEnabled());
    frame_->Action(GraphCommand::PlotStandard)->trigger();
    EXPECT_TRUE(frame_->Action(GraphCommand::PlotStandard)->isChecked());
    frame_->Action(GraphCommand::PlotMeasured)->trigger();
    EXPECT_FALSE(frame_->Action(GraphCommand::PlotMeasured)->isChecked());
}

TEST_F(WndTest, PreviousNextAndCloseReachTheMainDialogThroughTheFrameSet) {
    CFrameSet set;
    std::vector<std::pair<QWidget*, long long>> previous, next;
    QObject::connect(&set, &CFrameSet::previousRequested, [&](QWidget* f, qint64 t) { previous.emplace_back(f, t); });
    QObject::connect(&set, &CFrameSet::nextRequested, [&](QWidget* f, qint64 t) { next.emplace_back(f, t); });
    set.Add(frame_);
    set.Add(frame_);
    ASSERT_EQ(set.Count(), 1);
    // Without a record shown there is nothing to step from.
    frame_->Action(GraphCommand::Previous)->trigger();
    EXPECT_TRUE(recorder_->events.empty());

    MakeViewFactory().showMeasured(frame_, record_, nullptr);
    frame_->Action(GraphCommand::Previous)->trigger();
    frame_->Action(GraphCommand::Next)->trigger();
    ASSERT_EQ(recorder_->events.size(), 2u);
    EXPECT_EQ(recorder_->events[0].name, "previous");
    EXPECT_EQ(recorder_->events[0].time, record_.GetTime());
    EXPECT_EQ(recorder_->events[1].name, "next");
    EXPECT_EQ(previous, (std::vector<std::pair<QWidget*, long long>>{{frame_.data(), record_.GetTime()}}));
    EXPECT_EQ(next, (std::vector<std::pair<QWidget*, long long>>{{frame_.data(), record_.GetTime()}}));
    // The main dialog answers with the frame that asked.
    MakeViewFactory().showMeasured(frame_, standard_, nullptr);
    EXPECT_EQ(frame_->View()->Picture().ShownTime(), standard_.GetTime());

    // A closed frame leaves its set at once, before it is deleted.
    frame_->close();
    EXPECT_EQ(recorder_->Count("closed"), 1);
    EXPECT_FALSE(set.Any());
    EXPECT_EQ(set.At(0), nullptr);
    Pump();
    EXPECT_TRUE(frame_.isNull());
}

TEST_F(WndTest, ShortcutsRunTheSameCommandsAsTheButtons) {
    MakeViewFactory().showMeasured(frame_, record_, nullptr);
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_));
    QTest::keyClick(frame_, Qt::Key_PageDown);
    QTest::keyClick(frame_, Qt::Key_PageUp);
    ASSERT_EQ(recorder_->events.size(), 2u);
    EXPECT_EQ(recorder_->events[0].name, "next");
    EXPECT_EQ(recorder_->events[1].name, "previous");
    QTest::keyClick(frame_, Qt::Key_P, Qt::ControlModifier);  // the scripted print dialog cancels
    EXPECT_EQ(prompter_.Count("print"), 1);
}

TEST_F(WndTest, TrendWindowRedrawsWithEachLatestRecord) {
    MakeViewFactory().showLatest(frame_, record_, nullptr);
    MakeViewFactory().showLatest(frame_, Measured(record_.GetTime() + 10, "next"), nullptr);
    EXPECT_EQ(frame_->View()->Picture().ShownTime(), record_.GetTime() + 10);
    EXPECT_FALSE(frame_->Action(GraphCommand::Next)->isEnabled());
}

TEST_F(WndTest, ReadOutFollowsTheButtonAndEndsOnRelease) {
    MakeViewFactory().showMeasured(frame_, record_, nullptr);
    CDataGraphPicture& pic = frame_->View()->Picture();
    const SurfaceRect plot = pic.PlotRect();
    const int y = (plot.top + plot.bottom) / 2 + 60;
    Mouse(QEvent::MouseButtonPress, plot.left + 100, y, Qt::LeftButton);
    ASSERT_TRUE(pic.ReadingOut());
    const float first = pic.CursorWavelength();
    Mouse(QEvent::MouseMove, plot.left + 300, y, Qt::LeftButton);
    const float second = pic.CursorWavelength();
    EXPECT_GT(second, first);
    Mouse(QEvent::MouseMove, plot.right + 20, y, Qt::LeftButton);  // outside: the last read-out stays
    EXPECT_EQ(pic.CursorWavelength(), second);
    EXPECT_TRUE(pic.ReadingOut());
    Mouse(QEvent::MouseButtonRelease, plot.right + 20, y, Qt::NoButton);
    EXPECT_FALSE(pic.ReadingOut());
    EXPECT_EQ(pic.LegendLines(false)[0].text, "Measured data: 2009/05/12-10:00:00 roof");

    // Dragging the legend moves it and leaves it where the button was released.
    const SurfacePoint at = pic.LegendPosition();
    Mouse(QEvent::MouseButtonPress, at.x + 5, at.y + 5, Qt::LeftButton);
    Mouse(QEvent::MouseMove, at.x + 105, at.y + 45, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, at.x + 105, at.y + 45, Qt::NoButton);
    EXPECT_EQ(pic.LegendPosition(), (SurfacePoint{at.x + 100, at.y + 40}));
    EXPECT_FALSE(pic.ReadingOut());
    frame_->resize(900, 650);
    Pump();
    EXPECT_EQ(pic.LegendPosition(), (SurfacePoint{at.x + 100, at.y + 40}));
}

TEST_F(WndTest, SettingsDialogIsBracketedAndWritesTheSection) {
    MakeViewFactory().showMeasured(frame_, record_, nullptr);
    frame_->Action(GraphCommand::XZoomOut)->trigger();  // zoom state goes to the file with the dialog's values
    frame_->View()->Picture().Prm().m_RANGE_MIN_X = 400;
    prompter_.modal = [](QDialog& d) {
        auto* dialog = dynamic_cast<CSetDataGraph*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        d.findChild<QCheckBox*>("SHOW_GRID")->setChecked(false);
        d.accept();
        return d.result();
    };
    frame_->Action(GraphCommand::Settings)->trigger();
    ASSERT_EQ(prompter_.Count("modal"), 1);
    EXPECT_EQ(prompter_.calls[0].text, "dataGraphSettings");
    ASSERT_EQ(recorder_->events.size(), 2u);
    EXPECT_EQ(recorder_->events[0].name, "modalOpened");
    EXPECT_EQ(recorder_->events[1].name, "modalClosed");
    CDataGraphPrm stored;
    stored.Load();
    EXPECT_EQ(stored.m_SHOW_GRID.Get(), 0);
    EXPECT_EQ(stored.m_RANGE_MIN_X.Get(), 400.0f);

    // Cancel changes nothing.
    prompter_.modal = nullptr;
    frame_->View()->Picture().Prm().m_SHOW_GRID = 1;
    frame_->Action(GraphCommand::Settings)->trigger();
    CDataGraphPrm again;
    again.Load();
    EXPECT_EQ(again.m_SHOW_GRID.Get(), 0);
}

TEST_F(WndTest, SaveWritesTheDisplayPictureAsBitmapPngOrSvg) {
    MakeViewFactory().showMeasured(frame_, record_, nullptr);
    frame_->resize(frame_->width() + 700 - frame_->View()->width(), frame_->height() + 500 - frame_->View()->height());
    Pump();
    ASSERT_EQ(frame_->View()->width(), 700);
    ASSERT_EQ(frame_->View()->height(), 500);
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    prompter_.paths.push_back(std::nullopt);  // cancel: nothing written, nothing said
    frame_->Action(GraphCommand::Save)->trigger();
    EXPECT_TRUE(prompter_.Messages().empty());
    char after[4096];
    ASSERT_NE(getcwd(after, sizeof after), nullptr);
    EXPECT_STREQ(before, after);

    const std::string path = dir_.Path() + "/graph.bmp";
    prompter_.paths.push_back(path);
    frame_->Action(GraphCommand::Save)->trigger();
    EXPECT_TRUE(prompter_.Messages().empty());
    const std::string bytes = testsupport::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 1050054u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    auto le32 = [&](std::size_t at) {
        return static_cast<int>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8 |
                                static_cast<unsigned char>(bytes[at + 2]) << 16 |
                                static_cast<unsigned char>(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(le32(18), 700);
    EXPECT_EQ(le32(22), 500);
    EXPECT_EQ(bytes[28], 24);

    prompter_.paths.push_back(dir_.Path() + "/no/such/folder/graph.bmp");
    frame_->Action(GraphCommand::Save)->trigger();
    ASSERT_EQ(prompter_.Messages().size(), 1u);
    EXPECT_EQ(prompter_.Messages()[0], "Bitmap saving failure.\r\nCannot create a file in " + dir_.Path() +
                                           "/no/such/folder: No such file or directory");
    EXPECT_EQ(recorder_->Count("modalOpened"), 1);
    EXPECT_EQ(recorder_->Count("modalClosed"), 1);
    for (const auto& call : prompter_.calls)
        EXPECT_TRUE(call.kind != "message" || call.icon == Prompter::Icon::Warning) << call.text;

    // A link planted under the chosen name is left standing, its target unwritten.
    testsupport::WriteFileBytes(dir_.Path() + "/victim", "precious");
    ASSERT_EQ(::symlink("victim", (dir_.Path() + "/planted.bmp").c_str()), 0);
    prompter_.paths.push_back(dir_.Path() + "/planted.bmp");
    frame_->Action(GraphCommand::Save)->trigger();
    ASSERT_EQ(prompter_.Messages().size(), 2u);
    EXPECT_EQ(prompter_.Messages()[1],
              "Bitmap saving failure.\r\n" + dir_.Path() + "/planted.bmp is a symbolic link; it was left as it is.");
    EXPECT_EQ(testsupport::ReadFileBytes(dir_.Path() + "/victim"), "precious");

    // The chosen name's ending picks the format; the SVG holds the same picture as vectors.
    prompter_.paths.push_back(dir_.Path() + "/graph.PNG");
    prompter_.paths.push_back(dir_.Path() + "/graph.svg");
    frame_->Action(GraphCommand::Save)->trigger();
    frame_->Action(GraphCommand::Save)->trigger();
    EXPECT_EQ(prompter_.Messages().size(), 2u);
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString(dir_.Path() + "/graph.PNG"), "PNG"));
    EXPECT_EQ(png.size(), QSize(700, 500));
    const std::string svg = testsupport::ReadFileBytes(dir_.Path() + "/graph.svg");
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"700\" height=\"500\""),
              std::string::npos);
    EXPECT_NE(svg.find("<polyline"), std::string::npos);
    EXPECT_NE(svg.find("2009/05/12-10:00:00 roof</text>"), std::string::npos);  // the legend is in it
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST_F(WndTest, CopyAndPrintUseThePlatformServices) {
    MakeViewFactory().showMeasured(frame_, record_, nullptr);
    frame_->Action(GraphCommand::Copy)->trigger();
    // A copy that worked is told in the status line, not by a box; a failure's box has its icon.
    if (prompter_.Messages().empty()) {
        EXPECT_EQ(frame_->statusBar()->currentMessage(), "Completed copying to clipboard.");
    } else {
        EXPECT_EQ(prompter_.Messages()[0], "Copy to clipboard failure.");
        EXPECT_EQ(prompter_.calls.back().icon, Prompter::Icon::Warning);
    }
    const std::size_t boxes = prompter_.Messages().size();
    frame_->Action(GraphCommand::Print)->trigger();  // the scripted print dialog cancels
    EXPECT_EQ(prompter_.Count("print"), 1);
    EXPECT_EQ(prompter_.Messages().size(), boxes);
    EXPECT_EQ(&CDataGraphView::KeptPrinter(), &CDataGraphView::KeptPrinter());

    // Without a printer the page goes to a PDF file the user names.
    prompter_.printerAvailable = false;
    const std::string pdf = dir_.Path() + "/graph.pdf";
    prompter_.paths.push_back(pdf);
    frame_->Action(GraphCommand::Print)->trigger();
    EXPECT_EQ(prompter_.Count("print"), 1);
    EXPECT_EQ(prompter_.Count("save"), 1);
    const std::string bytes = testsupport::ReadFileBytes(pdf);
    EXPECT_EQ(bytes.substr(0, 4), "%PDF");
    EXPECT_GT(bytes.size(), 10000u);  // the picture is in it, not an empty page
    EXPECT_EQ(prompter_.Messages().size(), boxes);
}

TEST_F(WndTest, EscapeAndCtrlWCloseTheWindowWhichCarriesTheProgramName) {
    EXPECT_EQ(frame_->windowTitle(), "Data graph - Heliarc");
    QPointer<CDataGraphWnd> second = static_cast<CDataGraphWnd*>(MakeViewFactory().openDataGraph("Trend data"));
    ASSERT_TRUE(second);
    for (CDataGraphWnd* f : {frame_.data(), second.data()}) {
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    }
    QTest::keyClick(second, Qt::Key_W, Qt::ControlModifier);
    Pump();
    EXPECT_TRUE(second.isNull());
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_));
    QTest::keyClick(frame_, Qt::Key_Escape);
    EXPECT_EQ(recorder_->Count("closed"), 1);
    Pump();
    EXPECT_TRUE(frame_.isNull());
}

TEST(WindowPlacementTest, FramesAreMovedAndShrunkOntoTheAvailableArea) {
    const QRect area(0, 30, 1600, 940);
    EXPECT_EQ(FitInside(QRect(100, 100, 800, 600), area), QRect(100, 100, 800, 600));
    EXPECT_EQ(FitInside(QRect(100, -20, 800, 600), area), QRect(100, 30, 800, 600));      // title bar above
    EXPECT_EQ(FitInside(QRect(1200, 800, 800, 600), area), QRect(800, 370, 800, 600));    // off the far corner
    EXPECT_EQ(FitInside(QRect(-50, 0, 2000, 1200), area), area);                          // larger than the screen

    // A cascaded graph window lies inside the screen frame included, whatever was asked of it.
    viewstest::App();
    testsupport::TempWorkDir dir;
    ScriptedPrompter prompter;
    QPointer<QWidget> frame = MakeViewFactory().openDataGraph("Data graph");
    ASSERT_TRUE(frame);
    frame->setGeometry(-300, -300, 900, 700);
    CFrameSet set;
    set.Add(frame);
    const QRect work = frame->screen()->availableGeometry();
    const QRect outer = frame->geometry().marginsAdded(FrameMargins(frame));
    EXPECT_TRUE(work.contains(outer)) << outer.x() << "," << outer.y() << " in " << work.width() << "x" << work.height();
    EXPECT_GT(FrameMargins(frame).top(), 0);
    frame->close();
    viewstest::Pump();
}

TEST(WindowMemoryTest, GraphWindowsReopenAtTheSizeTheLastOneHadAndKeepTheFilesOtherLines) {
    viewstest::App();
    testsupport::TempWorkDir dir;
    ScriptedPrompter prompter;
    testsupport::WriteFileBytes(dir.Path() + "/ZQ118_WINDOWS.ini", "; kept\n[OTHER]\nkey=1\n[WINDOWS]\nC3DGraphWnd=1,2,3\n");
    QPointer<QWidget> first = MakeViewFactory().openDataGraph("Data graph");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size(), QSize(800, 600));  // nothing usable stored yet
    first->resize(760, 540);
    first->close();
    viewstest::Pump();
    const std::string ini = testsupport::ReadFileBytes(dir.Path() + "/ZQ118_WINDOWS.ini");
    EXPECT_EQ(ini.find("; kept\n[OTHER]\nkey=1\n[WINDOWS]\nC3DGraphWnd=1,2,3\nCDataGraphWnd="), 0u) << ini;
    EXPECT_NE(ini.find(",760,540\n"), std::string::npos) << ini;
    EXPECT_EQ(RememberedPlace("C3DGraphWnd"), std::nullopt);

    QPointer<QWidget> again = MakeViewFactory().openDataGraph("Data graph");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->size(), QSize(760, 540));
    again->close();
    viewstest::Pump();
}
