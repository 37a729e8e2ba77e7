// The main dialog with the real windows plugged in, as the program builds it, and with factories
// that lack some of them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <algorithm>
#include <functional>
#include <vector>

#include "core/data/SpectrumDataWriter.h"
#include "tests/gui/app/AppTestUtil.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/browser/BaseDataThumbnailWnd.h"
#include "gui/browser/DataBrowser.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailWnd.h"
#include "gui/spectrum/DataGraphView.h"
#include "gui/shell/ViewFactory.h"

namespace {

using apptest::AppTest;
using apptest::Pump;

class RealWindowsTest : public AppTest {
protected:
    static void WriteRecords(int n) {
        datatest::SetGeneral("C:\\", "SPC");
        CSpectrumDataWriter writer;
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(datatest::Local(2009, 5, 12, 10, i, 0), "s" + std::to_string(i))), 1);
    }
    bool Enabled(const char* name) const {
        if (auto* b = Find<QPushButton>(name)) return b->isEnabled();
        if (auto* a = Find<QAction>(name)) return a->isEnabled();
        ADD_FAILURE() << "no " << name;
        return false;
    }
};

// The one record a standard data graph shows.
std::string Shown(CDataGraphView& view) {
    if (view.Mode() != CDataGraphPicture::kModeStandard || view.Picture().Records().size() != 1) return "<not standard>";
    return view.Picture().Records().front().GetMemo();
}

TEST_F(RealWindowsTest, PlotShowsTheEntryInOneStandardDataGraphWindow) {
    WriteRecords(3);
    views = MakeViewFactory();
    CHeliarcDlg& d = MakeDialog();
    for (int row : {0, 2}) {
        d.RecordList()->clearSelection();
        d.RecordList()->SetRowSelected(row, true);
        Trigger("actionRegisterStandard");
    }
    ASSERT_EQ(d.StandardList()->ItemCount(), 2);
    d.StandardList()->SetRowSelected(1, true);
    Click("standardPlotButton");
    Pump();
    CFrameSet& set = d.FrameSet(CHeliarcDlg::kSetStandard);
    ASSERT_EQ(set.Count(), 1);
    QWidget* frame = set.At(0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle().toStdString(), "Standard data graph - Heliarc");
    auto* view = frame->findChild<CDataGraphView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Shown(*view), "s0");
    // The popup's "Plot": the current standard, in the same window.
    Trigger("actionStandardPlotCurrent");
    Pump();
    EXPECT_EQ(set.Count(), 1);
    EXPECT_EQ(Shown(*view), "s2");
    EXPECT_TRUE(prompter.calls.empty());
    frame->close();
    Pump();
}

// Each command that opens a window is offered exactly when the factory has that window.
TEST_F(RealWindowsTest, APlotCommandIsOfferedOnlyWhenTheFactoryHasItsWindow) {
    WriteRecords(2);
    const CViewFactory real = MakeViewFactory();
    struct Case {
        const char* what;
        std::function<void(CViewFactory&)> take;
        std::vector<const char*> offered;
    };
    const std::vector<Case> cases = {
        {"nothing", [](CViewFactory&) {}, {}},
        {"spectrum", [&](CViewFactory& f) { f.openDataGraph = real.openDataGraph; },
         {"plotMeasuredButton", "trendGraphButton", "standardPlotButton", "actionPlotMeasured", "actionStandardPlotCurrent"}},
        {"calculation", [&](CViewFactory& f) { f.openNumericalGraph = real.openNumericalGraph; }, {"plotCalculationButton", "actionPlotCalculation"}},
        {"3-D", [&](CViewFactory& f) { f.open3DGraph = real.open3DGraph; }, {"plot3DButton", "actionPlot3D"}},
    };
    const std::vector<const char*> all = {"plotMeasuredButton", "trendGraphButton", "standardPlotButton", "plotCalculationButton", "plot3DButton",
                                          "actionPlotMeasured", "actionPlotCalculation", "actionPlot3D", "actionStandardPlotCurrent"};
    for (const Case& c : cases) {
        views = CViewFactory();
        c.take(views);
        MakeDialog();
        for (const char* name : all) {
            const bool expected = std::find(c.offered.begin(), c.offered.end(), std::string(name)) != c.offered.end();
            EXPECT_EQ(Enabled(name), expected) << c.what << ": " << name;
        }
        // A command that reaches a missing window anyway (a double click does) opens nothing.
        dialog->RecordList()->SelectAllRows();
        Pump();
        dialog->Browser().PlotMeasured();
        dialog->Browser().PlotCalculation();
        dialog->Browser().Plot3D();
        Pump();
        int open = 0;
        for (int set = 0; set < CHeliarcDlg::kSetCount; ++set) open += dialog->FrameSet(set).Count();
        EXPECT_EQ(open, c.offered.empty() ? 0 : 1) << c.what;
        for (int set = 0; set < CHeliarcDlg::kSetCount; ++set) dialog->FrameSet(set).CloseAll();
        Pump();
    }
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(RealWindowsTest, TheRealFactoryGivesThumbnailViewsAndOpensEachGraphWindow) {
    WriteRecords(3);
    views = MakeViewFactory();
    CHeliarcDlg& d = MakeDialog();
    ASSERT_NE(d.DataThumbnailWnd(), nullptr);
    ASSERT_NE(d.DataThumbnailWnd()->View(), nullptr);
    EXPECT_EQ(d.DataThumbnailWnd()->View()->objectName().toStdString(), "CDataThumbnailView");
    ASSERT_NE(d.BaseDataThumbnailWnd()->View(), nullptr);
    EXPECT_EQ(d.BaseDataThumbnailWnd()->View()->objectName().toStdString(), "CBaseDataThumbnailView");

    d.RecordList()->SelectAllRows();
    Pump();
    Click("plotMeasuredButton");
    Click("plotCalculationButton");
    Click("plot3DButton");
    Pump();
    const struct {
        int set;
        const char* frame;
    } opened[] = {{CHeliarcDlg::kSetPlural, "CDataGraphWnd"},
                  {CHeliarcDlg::kSetNumerical, "CNumericalGraphWnd"},
                  {CHeliarcDlg::kSet3D, "C3DGraphWnd"}};
    for (const auto& o : opened) {
        ASSERT_EQ(d.FrameSet(o.set).Count(), 1) << o.frame;
        QWidget* frame = d.FrameSet(o.set).At(0);
        ASSERT_NE(frame, nullptr) << o.frame;
        EXPECT_EQ(frame->objectName().toStdString(), o.frame);
        EXPECT_TRUE(frame->isVisible()) << o.frame;
    }
    auto* spectrum = d.FrameSet(CHeliarcDlg::kSetPlural).At(0)->findChild<CDataGraphView*>();
    ASSERT_NE(spectrum, nullptr);
    EXPECT_EQ(spectrum->Picture().Records().size(), 3u);
    EXPECT_TRUE(prompter.calls.empty());
    for (int set = 0; set < CHeliarcDlg::kSetCount; ++set) d.FrameSet(set).CloseAll();
    Pump();
}

// A right click on the standard data thumbnail opens the "Standard data" popup of the dialog; its
// "Plot" shows the current standard data whatever row of the list is selected.
TEST_F(RealWindowsTest, TheStandardThumbnailsPopupPlotsTheCurrentStandard) {
    WriteRecords(3);
    views = MakeViewFactory();
    CHeliarcDlg& d = MakeDialog();
    QWidget* thumbnail = d.BaseDataThumbnailWnd()->View();
    ASSERT_NE(thumbnail, nullptr);
    auto* menu = d.findChild<QMenu*>(QStringLiteral("standardMenu"));
    ASSERT_NE(menu, nullptr);
    const auto rightClick = [&] {
        const QPoint at(20, 20);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, thumbnail->mapToGlobal(at));
        QApplication::sendEvent(thumbnail, &event);
        Pump();
    };
    // Without standard data the item asks for one.
    rightClick();
    EXPECT_TRUE(menu->isVisible());
    menu->actions().at(0)->trigger();
    menu->close();
    Pump();
    EXPECT_EQ(prompter.Messages(), (std::vector<std::string>{"Select a data."}));
    prompter.Clear();

    for (int row : {0, 2}) {
        d.RecordList()->clearSelection();
        d.RecordList()->SetRowSelected(row, true);
        Trigger("actionRegisterStandard");
    }
    d.StandardList()->SetRowSelected(1, true);
    rightClick();
    ASSERT_TRUE(menu->isVisible());
    menu->actions().at(0)->trigger();
    menu->close();
    Pump();
    CFrameSet& set = d.FrameSet(CHeliarcDlg::kSetStandard);
    ASSERT_EQ(set.Count(), 1);
    auto* view = set.At(0)->findChild<CDataGraphView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Shown(*view), "s2");
    EXPECT_TRUE(prompter.calls.empty());
    set.CloseAll();
    Pump();
}

}  // namespace
