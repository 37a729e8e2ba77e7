// The main dialog with the real thumbnail views: the record list and the measured data thumbnails
// keep one selection, whichever side changes it, and the standard thumbnail follows the panel.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

#include "core/data/SpectrumDataWriter.h"
#include "core/graph/ThumbnailRender.h"
#include "tests/gui/app/AppTestUtil.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/browser/BaseDataThumbnailWnd.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailWnd.h"
#include "gui/browser/BaseDataThumbnailView.h"
#include "gui/browser/DataThumbnailView.h"
#include "gui/shell/ViewFactory.h"

using namespace platform;

namespace {

class InStepTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        datatest::SetGeneral("C:\\", "SPC");
        CSpectrumDataWriter writer;
        for (int i = 0; i < 30; ++i)
            ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(Base() + i * 60, "r" + std::to_string(i), 50.0f + i)), 1);
        // The real thumbnail views; graph windows stay out of these tests.
        const CViewFactory real = MakeViewFactory();
        views.measuredThumbnailView = real.measuredThumbnailView;
        views.standardThumbnailView = real.standardThumbnailView;
    }
    static CalTime Base() { return datatest::Local(2009, 5, 12, 10, 0, 0); }

    CHeliarcDlg& Open() {
        CHeliarcDlg& d = MakeDialog();
        view = dynamic_cast<CDataThumbnailView*>(d.DataThumbnailWnd()->View());
        standardView = dynamic_cast<CBaseDataThumbnailView*>(d.BaseDataThumbnailWnd()->View());
        Pump();
        return d;
    }
    static void Pump() { apptest::Pump(5); }
    int Middle(int tile) const {
        const int n = view->Picture().TileCount();
        const int h = view->viewport()->height();
        return ThumbnailTileTop(tile, n, h) + ThumbnailTileHeight(n, h) / 2;
    }
    void Press(int tile, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* vp = view->viewport();
        const QPointF at(8, Middle(tile));
        QMouseEvent press(QEvent::MouseButtonPress, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, mods);
        QApplication::sendEvent(vp, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, mods);
        QApplication::sendEvent(vp, &release);
        Pump();
    }

    CDataThumbnailView* view = nullptr;
    CBaseDataThumbnailView* standardView = nullptr;
};

}  // namespace

TEST_F(InStepTest, ThumbnailClicksSelectListRowsAndListSelectionMarksTiles) {
    CHeliarcDlg& d = Open();
    ASSERT_NE(view, nullptr) << "the measured data thumbnail has its view";
    ASSERT_NE(standardView, nullptr);
    EXPECT_EQ(view->Picture().RecordCount(), 30);

    Press(1);
    Press(3, Qt::ShiftModifier);
    EXPECT_EQ(d.RecordList()->SelectedRows(), (std::set<int>{1, 2, 3}));
    EXPECT_EQ(d.Selection(), (std::set<int>{1, 2, 3}));
    Press(2, Qt::ControlModifier);
    EXPECT_EQ(d.RecordList()->SelectedRows(), (std::set<int>{1, 3}));

    // The other way: rows selected in the list are marked in the thumbnails, and a click on a row
    // the thumbnails do not show scrolls them there.
    d.RecordList()->clearSelection();
    d.RecordList()->SetRowSelected(20, true);
    d.RecordList()->SetRowSelected(21, true);
    d.RecordList()->onClicked(21);
    Pump();
    EXPECT_EQ(d.Selection(), (std::set<int>{20, 21}));
    CDataThumbnailPicture& p = view->Picture();
    EXPECT_LE(p.First(), 21);
    EXPECT_GT(p.First() + p.TileCount(), 21);
    EXPECT_TRUE(p.IsSelected(20));
    const QImage shot = view->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(1, ThumbnailTileTop(21 - p.First(), p.TileCount(), view->viewport()->height()) + 2) & 0xFFFFFF,
              0x404080u);

    // A Shift click in the thumbnails ranges from the thumbnails' anchor (row 2, the last Ctrl click).
    Press(21 - p.First(), Qt::ShiftModifier);
    std::set<int> range;
    for (int i = 2; i <= 21; ++i) range.insert(i);
    EXPECT_EQ(d.RecordList()->SelectedRows(), range);

    // A right click opens the record list's "Data" pop-up.
    auto* dataMenu = d.findChild<QMenu*>(QStringLiteral("dataMenu"));
    ASSERT_NE(dataMenu, nullptr);
    QWidget* vp = view->viewport();
    QContextMenuEvent onTile(QContextMenuEvent::Mouse, QPoint(8, Middle(0)), vp->mapToGlobal(QPoint(8, Middle(0))));
    QApplication::sendEvent(vp, &onTile);
    EXPECT_TRUE(dataMenu->isVisible());
    dataMenu->close();
}

TEST_F(InStepTest, RetrievalAndDoubleClickReachTheThumbnails) {
    int opened = 0;
    views.openDataGraph = [&](const std::string&) -> QWidget* {
        ++opened;
        return nullptr;
    };
    CHeliarcDlg& d = Open();
    // A narrower search: the thumbnails follow the new list and keep F inside it.
    view->Picture().SetFirst(25);
    Find<QLineEdit>("searchToEdit")->setText("2009/5/12 10:05");
    Click("retrievalButton");
    Pump();
    const int count = d.DataSet().Count();
    ASSERT_GE(count, 5);
    ASSERT_LE(count, 6);
    EXPECT_EQ(view->Picture().RecordCount(), count);
    EXPECT_EQ(view->Picture().First(), std::max(0, count - view->Picture().TileCount()));

    // A double click on a tile plots the selection the first click made.
    Press(0);
    QWidget* vp = view->viewport();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(8, Middle(0)), vp->mapToGlobal(QPointF(8, Middle(0))),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &dbl);
    Pump();
    EXPECT_EQ(opened, 1);
}

TEST_F(InStepTest, StandardThumbnailShowsTheRegisteredStandard) {
    CHeliarcDlg& d = Open();
    // The dialog starts with the registered history alone: nothing registered, a white thumbnail.
    QImage shot = standardView->grab().toImage();
    EXPECT_EQ(shot.pixel(shot.width() / 2, shot.height() / 2) & 0xFFFFFF, 0xFFFFFFu);
    d.RecordList()->SetRowSelected(4, true);
    Pump();
    Click("registerStandardButton");  // "Register as standard data"
    Pump();
    ASSERT_NE(d.StandardSet().Current(), nullptr);
    shot = standardView->grab().toImage();
    int grey = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) grey += (shot.pixel(x, y) & 0xFFFFFF) == 0xEBEBEBu;
    EXPECT_GT(grey, shot.width() * shot.height() / 3) << "the registered record's plot";
}
