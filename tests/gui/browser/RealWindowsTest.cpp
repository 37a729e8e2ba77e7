// The standard data panel with the real spectrum graph window plugged in (the GUI library linked
// whole, so the windows register their entry points as in the program).
#include <gtest/gtest.h>

#include "data/SpectrumDataWriter.h"
#include "tests/gui/app/AppTestUtil.h"
#include "tests/unit/data/DataTestUtil.h"
#include "ui/DataListCtrl.h"
#include "views/DataGraphView.h"

namespace {

using apptest::AppTest;
using apptest::Pump;

class RealWindowsTest : public AppTest {};

// The one record a standard data graph shows.
std::string Shown(CDataGraphView& view) {
    if (view.Mode() != CDataGraphPicture::kModeStandard || view.Picture().Records().size() != 1) return "<not standard>";
    return view.Picture().Records().front().GetMemo();
}

TEST_F(RealWindowsTest, PlotShowsTheEntryInOneStandardDataGraphWindow) {
    datatest::SetGeneral("C:\\", "SPC");
    CSpectrumDataWriter writer;
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(datatest::Local(2009, 5, 12, 10, i, 0), "s" + std::to_string(i))), 1);
    CHeliarcDlg& d = MakeDialog();
    for (int row : {0, 2}) {
        d.RecordList()->clearSelection();
        d.RecordList()->SetRowSelected(row, true);
        d.OnCommand(CHeliarcDlg::kCmdRegisterStandard);
    }
    ASSERT_EQ(d.StandardList()->ItemCount(), 2);
    d.StandardList()->SetRowSelected(1, true);
    Click("id1017");
    Pump();
    CFrameSet& set = d.FrameSet(CHeliarcDlg::kSetStandard);
    ASSERT_EQ(set.Count(), 1);
    QWidget* frame = set.At(0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle().toStdString(), "Standard data graph");
    auto* view = frame->findChild<CDataGraphView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Shown(*view), "s0");
    // The popup's "Plot": the current standard, in the same window.
    d.OnCommand(CHeliarcDlg::kCmdMenuStandardPlot);
    Pump();
    EXPECT_EQ(set.Count(), 1);
    EXPECT_EQ(Shown(*view), "s2");
    EXPECT_TRUE(prompter.calls.empty());
    frame->close();
    Pump();
}

}  // namespace
