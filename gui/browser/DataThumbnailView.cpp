#include "gui/browser/DataThumbnailView.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "core/data/SpectrumDataSet.h"
#include "core/platform/StringIds.h"
#include "gui/common/ModalBracket.h"

namespace {

// The picture's clicks as changes of the list's selection model.
class CModelRowSelection : public CRowSelection {
public:
    explicit CModelRowSelection(QItemSelectionModel& model) : model_(model) {}
    bool IsSelected(int row) const override { return model_.isRowSelected(row, QModelIndex()); }
    void Toggle(int row) override {
        const QModelIndex index = model_.model()->index(row, 0);
        model_.select(index, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        model_.setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    void SelectOnly(int first, int last) override {
        const QAbstractItemModel* m = model_.model();
        model_.select(QItemSelection(m->index(first, 0), m->index(last, 0)),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        model_.setCurrentIndex(m->index(last, 0), QItemSelectionModel::NoUpdate);
    }

private:
    QItemSelectionModel& model_;
};

}  // namespace

CDataThumbnailView::CDataThumbnailView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Painted whole from the back buffer: no erasing first, so nothing flickers.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setEnabled(false);
    verticalScrollBar()->setRange(0, 0);
    verticalScrollBar()->installEventFilter(this);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int a) { OnScrollAction(a); });
    prefetch_ = new QTimer(this);
    prefetch_->setInterval(0);
    connect(prefetch_, &QTimer::timeout, this, [this] {
        if (!picture_.PrefetchOne()) prefetch_->stop();
    });
}

CDataThumbnailView::~CDataThumbnailView() = default;

void CDataThumbnailView::Attach(CSpectrumDataSet& data, QItemSelectionModel& selection) {
    selection_ = std::make_unique<CModelRowSelection>(selection);
    picture_.Attach(&data, selection_.get());
    connect(&selection, &QItemSelectionModel::selectionChanged, this, &CDataThumbnailView::Render);
    // Rows come and go with searches, deletes and stored records: the tiles follow the list.
    const QAbstractItemModel* rows = selection.model();
    connect(rows, &QAbstractItemModel::modelReset, this, &CDataThumbnailView::DataSetChanged);
    connect(rows, &QAbstractItemModel::rowsInserted, this, &CDataThumbnailView::DataSetChanged);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &CDataThumbnailView::DataSetChanged);
    LayOut();
    Render();
}

bool CDataThumbnailView::PrefetchPending() const { return prefetch_->isActive(); }

void CDataThumbnailView::LayOut() {
    picture_.SetPixelRatio(devicePixelRatioF());  // crisp tiles on a HiDPI screen
    picture_.Layout(viewport()->width(), viewport()->height());
    SetScrollPosition();
}

void CDataThumbnailView::Render() {
    if (!picture_.Attached()) return;
    dirty_ = true;
    viewport()->update();
}

void CDataThumbnailView::SetScrollPosition() {
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker block(bar);
    if (picture_.Scrollable()) {
        // The bar is in pixels of a picture Extent() tall, of which one client height shows.
        const int page = std::max(1, picture_.Height());
        bar->setRange(0, std::max(0, picture_.Extent() - page));
        bar->setPageStep(page);
        bar->setSingleStep(std::max(1, page / std::max(1, picture_.TileCount())));
        bar->setEnabled(true);
    } else {
        bar->setRange(0, 0);
        bar->setEnabled(false);
    }
    bar->setSliderPosition(picture_.ScrollPosition());
    bar->setValue(picture_.ScrollPosition());
}

void CDataThumbnailView::OnScrollAction(int action) {
    using P = CDataThumbnailPicture;
    P::ScrollRequest request = P::kOtherRequest;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: request = P::kLineUp; break;
        case QAbstractSlider::SliderSingleStepAdd: request = P::kLineDown; break;
        case QAbstractSlider::SliderPageStepSub: request = P::kPageUp; break;
        case QAbstractSlider::SliderPageStepAdd: request = P::kPageDown; break;
        case QAbstractSlider::SliderMove: request = P::kThumbTrack; break;
        default: break;  // top, bottom: ignored
    }
    if (picture_.Scroll(request, verticalScrollBar()->sliderPosition())) Render();
    // The slot may move the slider: it then stands where F is, whatever the request asked.
    verticalScrollBar()->setSliderPosition(picture_.ScrollPosition());
}

void CDataThumbnailView::WheelBy(int delta) {
    if (!picture_.Attached()) return;
    if (picture_.Wheel(delta)) Render();
    SetScrollPosition();
}

void CDataThumbnailView::DataSetChanged() {
    picture_.DataSetChanged();
    Render();
    SetScrollPosition();
}

void CDataThumbnailView::EnsureVisible(int row) {
    if (row >= 0 && picture_.EnsureVisible(row)) {
        Render();
        SetScrollPosition();
    }
}

bool CDataThumbnailView::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the scroll bar moves records like the wheel over the tiles.
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
        WheelBy(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void CDataThumbnailView::paintEvent(QPaintEvent*) {
    if (dirty_ && picture_.Attached()) {
        dirty_ = false;
        if (picture_.Render()) {
            failing_ = false;
            if (!prefetch_->isActive()) prefetch_->start();
        } else if (!failing_) {
            // Not from inside a paint: the box comes once the paint is over.
            failing_ = true;
            QTimer::singleShot(0, this, [this] { ShowBracketedMessage(this, ids::kGraphPlotFailure); });
        }
    }
    QPainter p(viewport());
    const QImage& back = picture_.BackBuffer();
    if (back.isNull()) {
        p.fillRect(viewport()->rect(), Qt::white);
        return;
    }
    p.drawImage(0, 0, back);
    const QSize shown = back.deviceIndependentSize().toSize();
    if (shown.width() < viewport()->width())
        p.fillRect(shown.width(), 0, viewport()->width() - shown.width(), viewport()->height(), Qt::white);
    if (shown.height() < viewport()->height())
        p.fillRect(0, shown.height(), shown.width(), viewport()->height() - shown.height(), Qt::white);
}

void CDataThumbnailView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (!picture_.Attached()) return;
    LayOut();
    Render();
}

void CDataThumbnailView::scrollContentsBy(int, int) {
    // The bar only tells where the first record stands; the picture is composed, never scrolled.
}

void CDataThumbnailView::mousePressEvent(QMouseEvent* event) {
    if (picture_.Attached()) {
        const int k = picture_.HitTest(static_cast<int>(event->position().y()));
        if (event->button() == Qt::LeftButton) {
            const Qt::KeyboardModifiers mods = event->modifiers();
            if (picture_.LeftDown(k, mods & Qt::ControlModifier, mods & Qt::ShiftModifier)) {
                Render();
                emit selectionChanged();
                emit recordClicked(k);
            }
        } else if (event->button() == Qt::RightButton) {
            // The menu then acts on the record under the mouse, or on the selection it is part of.
            if (picture_.RightDown(k)) {
                Render();
                emit selectionChanged();
            }
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CDataThumbnailView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (picture_.Attached() && event->button() == Qt::LeftButton) {
        const int k = picture_.HitTest(static_cast<int>(event->position().y()));
        // The first click of the two has made the selection.
        if (k >= 0 && k < picture_.RecordCount()) emit plotRequested();
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void CDataThumbnailView::wheelEvent(QWheelEvent* event) {
    WheelBy(event->angleDelta().y());
    event->accept();
}

void CDataThumbnailView::contextMenuEvent(QContextMenuEvent* event) { emit contextMenuRequested(event->globalPos()); }
