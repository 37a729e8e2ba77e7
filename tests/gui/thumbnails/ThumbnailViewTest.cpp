// The measured and standard data thumbnails: tile layout and scroll rules, hit testing, selection
// with Ctrl and Shift, the wheel and the scroll bar, the back buffer against the stack renderer
// that heliarc-cli uses, the tile cache, and the views' signals and slots.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "core/data/SpectrumDataSet.h"
#include "core/graph/ThumbnailRender.h"
#include "tests/gui/app/AppTestUtil.h"
#include "tests/unit/data/DataTestUtil.h"
#include "render/QtSurfaceImage.h"
#include "gui/browser/BaseDataThumbnailView.h"
#include "gui/browser/DataThumbnailView.h"
#include "gui/browser/RecordListModel.h"
#include "render/ThumbnailPicture.h"

using platform::CalTime;

namespace {

std::set<int> Rows(const QItemSelectionModel& selection) {
    std::set<int> rows;
    for (const QModelIndex& i : selection.selectedRows()) rows.insert(i.row());
    return rows;
}

// Records one minute apart; every third has a different level, so tiles differ.
void Fill(CSpectrumDataSet& set, int count, CalTime base = 1240000000) {
    for (int i = 0; i < count; ++i)
        set.Append(datatest::MakeRecord(base + 60 * i, "", 100.0f + 40.0f * (i % 3)), base - base % 86400,
                   static_cast<int64_t>(i) * 2560);
}

// Stands in for the main dialog: keeps what a measured data thumbnail view signals, in order
// ("selection", "clicked" with the row, "plot").
struct Recorder {
    explicit Recorder(CDataThumbnailView& view) {
        QObject::connect(&view, &CDataThumbnailView::selectionChanged, &context, [this] { events.emplace_back("selection", 0); });
        QObject::connect(&view, &CDataThumbnailView::recordClicked, &context, [this](int row) { events.emplace_back("clicked", row); });
        QObject::connect(&view, &CDataThumbnailView::plotRequested, &context, [this] { events.emplace_back("plot", 0); });
    }
    int Count(const std::string& name) const {
        int n = 0;
        for (const auto& e : events) n += e.first == name;
        return n;
    }
    std::vector<std::pair<std::string, int>> events;
    QObject context;  // first to go: the connections end with the recorder
};

uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
// Pixels of one colour in rows top .. bottom - 1.
int CountOf(const QImage& image, uint32_t color, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x) n += Rgb(image, x, y) == color;
    return n;
}
// The surface's colours are 0x00BBGGRR; QImage's 0x00RRGGBB.
constexpr uint32_t kSelectedQt = 0x404080;
constexpr uint32_t kPlotQt = 0xEBEBEB;

class ThumbnailTest : public ::testing::Test {
protected:
    void SetUp() override { apptest::App(); }
};

}  // namespace

TEST_F(ThumbnailTest, LayoutGivesTheTileCountAndScrollExtent) {
    CSpectrumDataSet set;
    CRowSet selection;
    Fill(set, 40);
    CDataThumbnailPicture p;
    EXPECT_EQ(p.RecordCount(), 0) << "nothing until attached";
    p.Attach(&set, &selection);
    p.Layout(160, 880);
    EXPECT_EQ(p.TileCount(), 7);  // 125:160 is nearest to 300:400
    EXPECT_TRUE(p.Scrollable());
    EXPECT_EQ(p.Extent(), 40 * 880 / 7);
    ASSERT_TRUE(p.SetFirst(33));
    EXPECT_EQ(p.ScrollPosition(), p.Extent() * 33 / 40);
    EXPECT_FALSE(p.SetFirst(34)) << "the last page ends with the last record";

    // A taller window: more tiles, F pulled back so the last page stays full.
    p.Layout(160, 1600);
    EXPECT_EQ(p.TileCount(), 13);
    EXPECT_EQ(p.First(), 27);
    // Fewer records than tiles: nothing to scroll, F back at 0.
    CSpectrumDataSet few;
    Fill(few, 3);
    p.Attach(&few, &selection);
    p.Layout(160, 880);
    EXPECT_FALSE(p.Scrollable());
    EXPECT_EQ(p.Extent(), 1);
    EXPECT_EQ(p.First(), 0);
    // A client area without pixels keeps the tile count and never divides by zero.
    p.Layout(0, 0);
    EXPECT_EQ(p.TileCount(), 7);
    EXPECT_TRUE(p.Render());
}

TEST_F(ThumbnailTest, HitTestFindsTheTileUnderThePoint) {
    CSpectrumDataSet set;
    CRowSet selection;
    Fill(set, 20);
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    p.Layout(400, 1000);  // three tiles at rows 0, 333 and 666
    ASSERT_EQ(p.TileCount(), 3);
    p.SetFirst(5);
    EXPECT_EQ(p.HitTest(0), 5);
    EXPECT_EQ(p.HitTest(332), 5);
    EXPECT_EQ(p.HitTest(333), 6);
    EXPECT_EQ(p.HitTest(665), 6);
    EXPECT_EQ(p.HitTest(666), 7);
    EXPECT_EQ(p.HitTest(999), 7);
    EXPECT_EQ(p.HitTest(5000), 7) << "below the tiles: the last tile";
    EXPECT_EQ(p.HitTest(-3), 7);
}

TEST_F(ThumbnailTest, ClicksSelectWithControlAndShiftFromTheAnchor) {
    CSpectrumDataSet set;
    CRowSet selection;
    Fill(set, 10);
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    p.Layout(160, 880);

    EXPECT_TRUE(p.LeftDown(3, false, false));
    EXPECT_EQ(selection.rows, (std::set<int>{3}));
    EXPECT_EQ(p.Anchor(), 3);
    EXPECT_TRUE(p.LeftDown(6, false, true));
    EXPECT_EQ(selection.rows, (std::set<int>{3, 4, 5, 6}));
    EXPECT_EQ(p.Anchor(), 3) << "Shift keeps the anchor";
    EXPECT_TRUE(p.LeftDown(1, false, true));
    EXPECT_EQ(selection.rows, (std::set<int>{1, 2, 3})) << "the range is redone from the anchor";
    EXPECT_TRUE(p.LeftDown(8, true, false));
    EXPECT_EQ(selection.rows, (std::set<int>{1, 2, 3, 8}));
    // Ctrl on a selected tile removes it and makes it the anchor; Shift then ranges from there.
    EXPECT_TRUE(p.LeftDown(2, true, false));
    EXPECT_EQ(selection.rows, (std::set<int>{1, 3, 8}));
    EXPECT_EQ(p.Anchor(), 2);
    EXPECT_TRUE(p.LeftDown(4, false, true));
    EXPECT_EQ(selection.rows, (std::set<int>{2, 3, 4}));
    // Past the last record nothing happens.
    EXPECT_FALSE(p.LeftDown(10, false, false));
    EXPECT_FALSE(p.LeftDown(-1, true, false));
    EXPECT_EQ(selection.rows, (std::set<int>{2, 3, 4}));

    // Right button: an unselected record becomes the selection; inside the selection it stays.
    EXPECT_FALSE(p.RightDown(3));
    EXPECT_EQ(selection.rows, (std::set<int>{2, 3, 4}));
    EXPECT_TRUE(p.RightDown(7));
    EXPECT_EQ(selection.rows, (std::set<int>{7}));
    EXPECT_EQ(p.Anchor(), 7);
}

TEST_F(ThumbnailTest, WheelAndScrollRequestsStopAtTheEnds) {
    CSpectrumDataSet set;
    CRowSet selection;
    Fill(set, 30);
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    p.Layout(160, 880);
    const int n = p.TileCount();
    const int last = 30 - n;

    EXPECT_FALSE(p.Wheel(120)) << "already at the top";
    EXPECT_TRUE(p.Wheel(-360));
    EXPECT_EQ(p.First(), 3);
    // Parts of a notch add up; turning back starts afresh.
    EXPECT_FALSE(p.Wheel(-60));
    EXPECT_TRUE(p.Wheel(-60));
    EXPECT_EQ(p.First(), 4);
    EXPECT_FALSE(p.Wheel(-100));
    EXPECT_FALSE(p.Wheel(100));
    EXPECT_EQ(p.First(), 4);
    EXPECT_TRUE(p.Wheel(-120 * 1000));
    EXPECT_EQ(p.First(), last);

    using P = CDataThumbnailPicture;
    EXPECT_FALSE(p.Scroll(P::kLineDown));
    EXPECT_FALSE(p.Scroll(P::kPageDown));
    EXPECT_TRUE(p.Scroll(P::kLineUp));
    EXPECT_EQ(p.First(), last - 1);
    EXPECT_TRUE(p.Scroll(P::kPageUp));
    EXPECT_EQ(p.First(), last - 1 - n);
    EXPECT_FALSE(p.Scroll(P::kOtherRequest, 0)) << "top, bottom and the end of a drag are ignored";
    EXPECT_TRUE(p.Scroll(P::kThumbTrack, 0));
    EXPECT_EQ(p.First(), 0);
    // The bar's last position (the extent less one page) is the last page.
    EXPECT_TRUE(p.Scroll(P::kThumbTrack, p.Extent() - 880));
    EXPECT_EQ(p.First(), last);
    EXPECT_TRUE(p.Scroll(P::kThumbTrack, p.Extent() / 2));
    EXPECT_EQ(p.First(), 15);
    EXPECT_TRUE(p.Scroll(P::kPageUp));
    EXPECT_TRUE(p.Scroll(P::kPageUp));
    EXPECT_TRUE(p.Scroll(P::kPageUp));
    EXPECT_EQ(p.First(), 0);
}

TEST_F(ThumbnailTest, EnsureVisibleScrollsOnlyWhenTheRecordIsHidden) {
    CSpectrumDataSet set;
    CRowSet selection;
    Fill(set, 30);
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    p.Layout(400, 1000);  // three tiles
    p.SetFirst(10);
    EXPECT_FALSE(p.EnsureVisible(10));
    EXPECT_FALSE(p.EnsureVisible(12));
    EXPECT_TRUE(p.EnsureVisible(4));
    EXPECT_EQ(p.First(), 4);
    // Below: it becomes the second-to-last tile, one more record under it.
    EXPECT_TRUE(p.EnsureVisible(20));
    EXPECT_EQ(p.First(), 19);
    EXPECT_TRUE(p.EnsureVisible(29));
    EXPECT_EQ(p.First(), 27) << "no room under the last record";
    // With one tile the record is that tile.
    p.Layout(400, 300);
    ASSERT_EQ(p.TileCount(), 1);
    p.SetFirst(0);
    EXPECT_TRUE(p.EnsureVisible(6));
    EXPECT_EQ(p.First(), 6);
}

TEST_F(ThumbnailTest, TheAnchorStaysOnItsRecordWhenTheListChanges) {
    CSpectrumDataSet set;
    CRowSet selection;
    Fill(set, 10);
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    p.Layout(160, 880);
    p.LeftDown(6, false, false);
    // The same records after two earlier ones were removed: the anchor follows its record.
    set.RemoveEntries({0, 1});
    p.DataSetChanged();
    EXPECT_EQ(p.Anchor(), 4);
    // Its record gone: back to the first.
    set.RemoveEntries({4});
    p.DataSetChanged();
    EXPECT_EQ(p.Anchor(), 0);
    set.Clear();
    p.DataSetChanged();
    EXPECT_EQ(p.Anchor(), 0);
    EXPECT_TRUE(p.Render());
}

TEST_F(ThumbnailTest, BackBufferIsTheStackThatTheCommandLineDraws) {
    CSpectrumDataSet set;
    CRowSet selection;
    selection.rows = {2, 3, 6};
    Fill(set, 9);
    set.At(4).Held = std::make_shared<const CSpectrumData>();  // no points between 350 and 1050 nm
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    // 613 rows do not divide into five tiles: bands of one more row here and there.
    p.Layout(150, 613);
    ASSERT_TRUE(p.SetFirst(2));
    ASSERT_TRUE(p.Render());
    const QImage& back = p.BackBuffer();
    ASSERT_EQ(back.size(), QSize(150, 613));

    auto reference = QtSurfaceImage::Create(150, 613);
    ASSERT_TRUE(reference);
    std::vector<const CSpectrumData*> records;
    for (int i = 0; i < set.Count(); ++i) records.push_back(set.Record(i).get());  // the set holds them
    RenderThumbnailStack(*reference, records, 2, p.TileCount(), [&](int i) { return selection.IsSelected(i); });
    int differences = 0;
    for (int y = 0; y < 613; ++y)
        for (int x = 0; x < 150; ++x) differences += Rgb(back, x, y) != Rgb(reference->Image(), x, y);
    EXPECT_EQ(differences, 0);

    // Selected tiles carry the selection colour in their margin, the plot stays grey; the empty
    // record shows a white tile; the tiles past the last record stay white.
    const int n = p.TileCount();
    ASSERT_EQ(n, 5);
    auto top = [&](int i) { return ThumbnailTileTop(i, n, 613); };
    EXPECT_EQ(Rgb(back, 1, top(0) + 2), kSelectedQt);
    EXPECT_EQ(Rgb(back, 75, top(0) + ThumbnailTileHeight(n, 613) / 2), kPlotQt);
    EXPECT_EQ(Rgb(back, 1, top(2) + 2), 0xFFFFFFu) << "record 4, not selected";
    EXPECT_EQ(Rgb(back, 75, top(2) + ThumbnailTileHeight(n, 613) / 2), 0xFFFFFFu) << "record 4 has no curve";
    EXPECT_EQ(Rgb(back, 1, top(4) + 2), kSelectedQt);
}

TEST_F(ThumbnailTest, TilesAreDrawnOnceAndThePageAheadWhileIdle) {
    CSpectrumDataSet set;
    CRowSet selection;
    Fill(set, 200);
    // Distinct spectra, so no two records share a tile.
    for (int i = 0; i < set.Count(); ++i)
        set.At(i).Held = std::make_shared<const CSpectrumData>(datatest::MakeRecord(1240000000 + i, "", 50.0f + i));
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    p.Layout(160, 880);
    const int n = p.TileCount();
    ASSERT_TRUE(p.Render());
    EXPECT_EQ(p.Cache().Draws(), n) << "only the visible tiles";
    ASSERT_TRUE(p.Render());
    EXPECT_EQ(p.Cache().Draws(), n) << "nothing drawn twice";
    // A step down draws the one record that came into view.
    p.Scroll(CDataThumbnailPicture::kLineDown);
    ASSERT_TRUE(p.Render());
    EXPECT_EQ(p.Cache().Draws(), n + 1);
    // Idle time draws the next page, then the previous one, then stops.
    int prefetched = 0;
    while (p.PrefetchOne()) ++prefetched;
    EXPECT_EQ(prefetched, n) << "the page below; above is only record 0, drawn already";
    const long long before = p.Cache().Draws();
    for (int step = 0; step < n; ++step) {
        p.Scroll(CDataThumbnailPicture::kLineDown);
        ASSERT_TRUE(p.Render());
    }
    EXPECT_EQ(p.Cache().Draws(), before) << "the page ahead came from the cache";
    // Selecting a tile draws it again in its selected state, once.
    p.LeftDown(p.First() + 1, false, false);
    ASSERT_TRUE(p.Render());
    EXPECT_EQ(p.Cache().Draws(), before + 1);
    // The cache is bounded.
    while (p.Scroll(CDataThumbnailPicture::kPageDown)) ASSERT_TRUE(p.Render());
    EXPECT_LE(p.Cache().Size(), p.Cache().Capacity());
}

// ---------------------------------------------------------------------------------------------
// The views

namespace {

void Press(CDataThumbnailView& view, int y, Qt::KeyboardModifiers mods = Qt::NoModifier,
           Qt::MouseButton button = Qt::LeftButton) {
    QWidget* vp = view.viewport();
    const QPointF at(10, y);
    QMouseEvent press(QEvent::MouseButtonPress, at, vp->mapToGlobal(at), button, button, mods);
    QApplication::sendEvent(vp, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, vp->mapToGlobal(at), button, Qt::NoButton, mods);
    QApplication::sendEvent(vp, &release);
}

void DoubleClick(CDataThumbnailView& view, int y) {
    QWidget* vp = view.viewport();
    const QPointF at(10, y);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(vp, &dbl);
}

void Wheel(QWidget* target, int delta) {
    QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

}  // namespace

TEST_F(ThumbnailTest, ViewSelectsScrollsAndPlotsThroughTheMainWindow) {
    CSpectrumDataSet set;
    Fill(set, 50);
    CRecordListModel rows(set, {{"time"}});
    QItemSelectionModel selection(&rows);
    CDataThumbnailView view;
    Recorder main(view);
    view.resize(176, 880);
    view.show();
    view.Attach(set, selection);
    apptest::Pump();
    CDataThumbnailPicture& p = view.Picture();
    const int h = view.viewport()->height();
    const int n = p.TileCount();
    ASSERT_GT(n, 2);
    auto middle = [&](int i) { return ThumbnailTileTop(i, n, h) + ThumbnailTileHeight(n, h) / 2; };

    Press(view, middle(1));
    Press(view, middle(3), Qt::ShiftModifier);
    Press(view, middle(0), Qt::ControlModifier);
    apptest::Pump();
    EXPECT_EQ(Rows(selection), (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(main.Count("selection"), 3);
    ASSERT_EQ(main.Count("clicked"), 3);
    EXPECT_EQ(main.events.back(), (std::pair<std::string, int>{"clicked", 0}));
    // The picture shows it: the selection colour in the margins of tiles 0..3, not of tile 4.
    const QImage shot = view.viewport()->grab().toImage();
    EXPECT_EQ(Rgb(shot, 1, ThumbnailTileTop(3, n, h) + 2), kSelectedQt);
    EXPECT_EQ(Rgb(shot, 1, ThumbnailTileTop(4, n, h) + 2), 0xFFFFFFu);

    // A right click inside the selection keeps it and says nothing; outside it selects that one.
    main.events.clear();
    Press(view, middle(2), Qt::NoModifier, Qt::RightButton);
    apptest::Pump();
    EXPECT_EQ(Rows(selection).size(), 4u);
    EXPECT_TRUE(main.events.empty());

    // Double click: "Measured data plot" of the selection.
    DoubleClick(view, middle(1));
    apptest::Pump();
    ASSERT_EQ(main.events.size(), 1u);
    EXPECT_EQ(main.events[0].first, "plot");

    // The wheel over the tiles and over the bar; the bar follows F.
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_TRUE(bar->isEnabled());
    Wheel(view.viewport(), -240);
    EXPECT_EQ(p.First(), 2);
    Wheel(bar, -120);
    EXPECT_EQ(p.First(), 3);
    EXPECT_EQ(bar->value(), p.ScrollPosition());
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(p.First(), 3 + n);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(p.First(), 3 + n) << "to the bottom is ignored";
    EXPECT_EQ(bar->sliderPosition(), p.ScrollPosition());
    Wheel(view.viewport(), -120 * 100);
    EXPECT_EQ(p.First(), 50 - n);
    EXPECT_EQ(bar->value(), p.ScrollPosition());
    EXPECT_EQ(bar->value(), bar->maximum()) << "the last page is the bottom of the bar";

    // The dialog asks to show a record; a record already shown stays where it is.
    view.EnsureVisible(5);
    EXPECT_EQ(p.First(), 5);
    EXPECT_EQ(bar->value(), p.ScrollPosition());
    view.EnsureVisible(6);
    EXPECT_EQ(p.First(), 5);
    view.EnsureVisible(-1);
    EXPECT_EQ(p.First(), 5);

    // Fewer records than tiles: the bar stays but cannot be used, the lower tiles are white.
    selection.clear();
    std::set<int> gone;
    for (int i = 3; i < 49; ++i) gone.insert(i);
    set.RemoveEntries(gone);
    rows.Removed(gone);  // the view follows the model's rows
    apptest::Pump();
    EXPECT_EQ(p.First(), 0);
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_TRUE(bar->isVisible());
    const QImage few = view.viewport()->grab().toImage();
    EXPECT_EQ(CountOf(few, 0xFFFFFF, ThumbnailTileTop(4, n, h), h), view.viewport()->width() * (h - ThumbnailTileTop(4, n, h)))
        << "white below the four records";
    EXPECT_GT(CountOf(few, kPlotQt, ThumbnailTileTop(3, n, h), ThumbnailTileTop(4, n, h)), 100) << "record 3 is drawn";
    // A double click under the last record plots nothing.
    main.events.clear();
    DoubleClick(view, middle(n - 1));
    apptest::Pump();
    EXPECT_TRUE(main.events.empty());
    Press(view, middle(n - 1));
    apptest::Pump();
    EXPECT_TRUE(main.events.empty());
}

TEST_F(ThumbnailTest, StandardViewShowsTheCurrentStandardOrStaysWhite) {
    testsupport::TempWorkDir work;
    datatest::SetGeneral("C:\\", "SPC");
    CBaseDataSet standard;
    standard.SetJisEnabled(0);
    CBaseDataThumbnailView view;
    view.resize(160, 120);
    view.show();
    view.Attach(standard);
    apptest::Pump();
    QImage shot = view.grab().toImage();
    int white = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) white += Rgb(shot, x, y) == 0xFFFFFFu;
    EXPECT_EQ(white, shot.width() * shot.height()) << "no standard: white";

    standard.SetJisEnabled(1);  // the built-in standard becomes the current one
    ASSERT_NE(standard.Current(), nullptr);
    view.Render();
    apptest::Pump();
    shot = view.grab().toImage();
    EXPECT_GT(CountOf(shot, kPlotQt, 0, shot.height()), shot.width() * shot.height() / 3) << "the grey plot";
    int red = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) red += Rgb(shot, x, y) == 0xFF0000u;
    EXPECT_GT(red, 20) << "the curve";
    // The tile fills the whole window at any size.
    view.resize(300, 200);
    apptest::Pump();
    EXPECT_EQ(view.BackBuffer().size(), QSize(300, 200));
}

// On a HiDPI screen the tiles and the back buffer have the screen's pixels, laid out as before.
TEST_F(ThumbnailTest, AtAPixelRatioOfTwoTheBackBufferHasTwiceThePixels) {
    CSpectrumDataSet set;
    CRowSet selection;
    selection.rows = {1};
    Fill(set, 9);
    CDataThumbnailPicture p;
    p.Attach(&set, &selection);
    p.SetPixelRatio(2.0);
    p.Layout(150, 613);
    const int n = p.TileCount();
    ASSERT_TRUE(p.Render());
    const QImage& back = p.BackBuffer();
    EXPECT_EQ(back.size(), QSize(300, 1226));
    EXPECT_EQ(back.deviceIndependentSize().toSize(), QSize(150, 613));
    EXPECT_EQ(Rgb(back, 2, 2 * ThumbnailTileTop(1, n, 613) + 4), kSelectedQt);
    EXPECT_EQ(Rgb(back, 2, 2 * ThumbnailTileTop(0, n, 613) + 4), 0xFFFFFFu);
    EXPECT_GT(CountOf(back, kPlotQt, 0, 2 * ThumbnailTileHeight(n, 613)), 4 * 100) << "the plot fills its pixels";
    QImage standard;
    ASSERT_TRUE(RenderStandardThumbnail(nullptr, 160, 120, standard, 2.0));
    EXPECT_EQ(standard.size(), QSize(320, 240));
    // Every window picture draws in window units on such a surface; a copy keeps its ratio.
    auto surface = QtSurfaceImage::Create(100, 50, 2.0);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->Width(), 100);
    surface->FillRect({10, 10, 20, 20}, 0x0000FF);
    auto copy = QtSurfaceImage::CopyOf(*surface);
    EXPECT_EQ(copy->Image().size(), QSize(200, 100));
    EXPECT_EQ(Rgb(copy->Image(), 39, 39), 0xFF0000u);
    EXPECT_EQ(Rgb(copy->Image(), 40, 40), 0xFFFFFFu);
}
