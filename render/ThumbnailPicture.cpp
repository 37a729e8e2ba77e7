#include "render/ThumbnailPicture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <climits>
#include <cstring>

#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/Range.h"
#include "core/graph/ThumbnailRender.h"
#include "render/QtSurfaceImage.h"

namespace {

void Spectrum(const CSpectrumData& record, GraphSeries& out) {
    out.Clear();
    record.SpectrumSeries(thumbnail::kMinWavelength, thumbnail::kMaxWavelength, kUnitWm2um, out);
}

// A record that can no longer be read shows as an empty tile.
void Spectrum(const std::shared_ptr<const CSpectrumData>& record, GraphSeries& out) {
    out.Clear();
    if (record) Spectrum(*record, out);
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    // FNV-1a over the eight bytes of v.
    for (int i = 0; i < 8; ++i) {
        h ^= (v >> (8 * i)) & 0xFF;
        h *= 1099511628211ull;
    }
    return h;
}

std::uint64_t Bits(double d) {
    std::uint64_t u = 0;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tile cache

std::uint64_t CThumbnailTileCache::ContentHash(const GraphSeries& series) {
    std::uint64_t h = Mix(14695981039346656037ull, series.Count());
    for (const GraphSeries::Point& p : series.Points()) h = Mix(Mix(h, Bits(p.first)), Bits(p.second));
    return h;
}

std::size_t CThumbnailTileCache::KeyHash::operator()(const Key& k) const {
    std::uint64_t h = Mix(k.content, static_cast<std::uint64_t>(k.width));
    h = Mix(h, static_cast<std::uint64_t>(k.tileHeight) * 2 + (k.selected ? 1 : 0));
    h = Mix(h, static_cast<std::uint64_t>(k.ratioPercent));
    return static_cast<std::size_t>(h);
}

const QImage* CThumbnailTileCache::Tile(const GraphSeries& series, const Key& key) {
    auto found = index_.find(key);
    if (found != index_.end()) {
        entries_.splice(entries_.begin(), entries_, found->second);
        return &found->second->image;
    }
    if (key.width <= 0 || key.tileHeight <= 0) return nullptr;
    std::unique_ptr<QtSurfaceImage> surface = QtSurfaceImage::Create(key.width, key.tileHeight + 1, key.ratioPercent / 100.0);
    if (!surface) return nullptr;
    RenderThumbnailTile(*surface, series, ThumbnailTile{0, 0, key.width, key.tileHeight, key.selected});
    QImage image = surface->Image();
    surface.reset();  // ends the painter; the image keeps the pixels
    ++draws_;
    entries_.push_front(Entry{key, std::move(image)});
    index_[key] = entries_.begin();
    while (entries_.size() > std::max<std::size_t>(capacity_, 1)) {
        index_.erase(entries_.back().key);
        entries_.pop_back();
    }
    return &entries_.front().image;
}

void CThumbnailTileCache::SetCapacity(std::size_t capacity) {
    capacity_ = std::max<std::size_t>(capacity, 1);
    while (entries_.size() > capacity_) {
        index_.erase(entries_.back().key);
        entries_.pop_back();
    }
}

void CThumbnailTileCache::Clear() {
    entries_.clear();
    index_.clear();
}

// ---------------------------------------------------------------------------------------------
// Measured data thumbnails

void CDataThumbnailPicture::Attach(const CSpectrumDataSet* data, CRowSelection* selection) {
    data_ = data;
    selection_ = selection;
    first_ = 0;
    anchor_ = 0;
    RememberAnchor();
    Layout(width_, height_);
}

int CDataThumbnailPicture::RecordCount() const { return data_ ? data_->Count() : 0; }

void CDataThumbnailPicture::Layout(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (width_ > 0 && height_ > 0) tiles_ = std::max(1, ThumbnailTileCount(width_, height_));
    const int r = RecordCount();
    if (tiles_ < r) {
        const long long extent = static_cast<long long>(r) * height_ / tiles_;
        extent_ = static_cast<int>(std::clamp<long long>(extent, 1, INT_MAX));
    } else {
        extent_ = 1;
    }
    if (r < first_ + tiles_) first_ = std::max(0, r - tiles_);
    // The visible tiles, the ones prefetched on both sides and room for selection changes.
    cache_.SetCapacity(std::max<std::size_t>(64, static_cast<std::size_t>(tiles_) * 6));
}

void CDataThumbnailPicture::RememberAnchor() {
    anchorOffset_ = -1;
    if (!data_ || anchor_ < 0 || anchor_ >= data_->Count()) return;
    const CSpectrumDataSet::Entry& e = data_->At(anchor_);
    anchorTime_ = e.Time;
    anchorFileDate_ = e.FileDate;
    anchorOffset_ = e.FileOffset;
}

void CDataThumbnailPicture::DataSetChanged() {
    // Records are known by their file and place in it; row numbers change with every search.
    int found = -1;
    const int r = RecordCount();
    if (anchorOffset_ >= 0 && r > 0) {
        const int nearest = data_->FindNearest(anchorTime_);
        auto matches = [&](int i) {
            const CSpectrumDataSet::Entry& e = data_->At(i);
            return e.FileDate == anchorFileDate_ && e.FileOffset == anchorOffset_;
        };
        for (int i = nearest; found < 0 && i >= 0 && data_->At(i).Time == anchorTime_; --i)
            if (matches(i)) found = i;
        for (int i = nearest + 1; found < 0 && i < r && data_->At(i).Time == anchorTime_; ++i)
            if (matches(i)) found = i;
    }
    anchor_ = std::max(0, found);
    RememberAnchor();
    Layout(width_, height_);
}

void CDataThumbnailPicture::Clamp() { first_ = std::clamp(first_, 0, std::max(0, RecordCount() - tiles_)); }

int CDataThumbnailPicture::ScrollPosition() const {
    const int r = RecordCount();
    if (r <= 0) return 0;
    return static_cast<int>(static_cast<long long>(extent_) * first_ / r);
}

int CDataThumbnailPicture::HitTest(int y) const {
    for (int i = 0; i < tiles_; ++i)
        if (ThumbnailTileTop(i, tiles_, height_) <= y && y < ThumbnailTileTop(i + 1, tiles_, height_)) return first_ + i;
    return first_ + tiles_ - 1;
}

bool CDataThumbnailPicture::IsSelected(int index) const { return selection_ && selection_->IsSelected(index); }

bool CDataThumbnailPicture::LeftDown(int k, bool control, bool shift) {
    if (!selection_ || k < 0 || k >= RecordCount()) return false;
    if (control) {
        selection_->Toggle(k);
    } else if (shift) {
        selection_->SelectOnly(std::min(k, anchor_), std::max(k, anchor_));
        return true;
    } else {
        selection_->SelectOnly(k, k);
    }
    anchor_ = k;
    RememberAnchor();
    return true;
}

bool CDataThumbnailPicture::RightDown(int k) {
    if (!selection_ || k < 0 || k >= RecordCount() || selection_->IsSelected(k)) return false;
    selection_->SelectOnly(k, k);
    anchor_ = k;
    RememberAnchor();
    return true;
}

bool CDataThumbnailPicture::SetFirst(int first) {
    const int before = first_;
    first_ = first;
    Clamp();
    if (first_ != before) lastStep_ = first_ > before ? 1 : -1;
    return first_ != before;
}

bool CDataThumbnailPicture::Wheel(int delta) {
    // One notch (120) is one record. Touchpads send parts of a notch: they add up, so a slow swipe
    // scrolls too; turning back drops what was left of the other direction.
    if ((delta > 0 && wheelRest_ < 0) || (delta < 0 && wheelRest_ > 0)) wheelRest_ = 0;
    wheelRest_ += delta;
    const int steps = wheelRest_ / 120;
    wheelRest_ -= steps * 120;
    return SetFirst(first_ - steps);
}

bool CDataThumbnailPicture::Scroll(ScrollRequest request, int trackPosition) {
    switch (request) {
        case kLineUp: return SetFirst(first_ - 1);
        case kLineDown: return SetFirst(first_ + 1);
        case kPageUp: return SetFirst(first_ - tiles_);
        case kPageDown: return SetFirst(first_ + tiles_);
        case kThumbTrack: {
            const long long span = std::max(0, RecordCount() - tiles_) + tiles_;
            return SetFirst(static_cast<int>(static_cast<double>(span) * trackPosition / extent_ + 0.5));
        }
        default: return false;
    }
}

bool CDataThumbnailPicture::EnsureVisible(int index) {
    if (first_ <= index && index < first_ + tiles_) return false;
    // Below the tiles: one more record shows under it when there is room.
    return SetFirst(index < first_ ? index : std::min(index, index - tiles_ + 2));
}

CThumbnailTileCache::Key CDataThumbnailPicture::KeyFor(const GraphSeries& series, int index) const {
    return {CThumbnailTileCache::ContentHash(series), width_, ThumbnailTileHeight(tiles_, height_), IsSelected(index),
            ratioPercent_};
}

void CDataThumbnailPicture::SetPixelRatio(double ratio) {
    ratioPercent_ = std::clamp(static_cast<int>(std::lround(ratio * 100.0)), 100, 800);
}

bool CDataThumbnailPicture::Render() {
    prefetchNext_ = 0;
    if (width_ <= 0 || height_ <= 0) return true;
    const double ratio = ratioPercent_ / 100.0;
    auto pixels = [ratio](int units) { return static_cast<int>(std::lround(units * ratio)); };
    QImage back(pixels(width_), pixels(height_), QImage::Format_RGB32);
    if (back.isNull()) return false;
    back.setDevicePixelRatio(ratio);  // painted in window units
    back.fill(Qt::white);
    const int r = RecordCount();
    if (r > 0) {
        QPainter painter(&back);
        GraphSeries series;
        for (int i = 0; i < tiles_ && first_ + i < r; ++i) {
            const int index = first_ + i;
            Spectrum(data_->Record(index), series);
            const QImage* tile = cache_.Tile(series, KeyFor(series, index));
            if (!tile) return false;
            painter.drawImage(QPoint(0, ThumbnailTileTop(i, tiles_, height_)), *tile,
                              QRect(0, 0, pixels(width_), pixels(ThumbnailBandHeight(i, tiles_, height_))));
        }
    }
    back_ = std::move(back);
    return true;
}

bool CDataThumbnailPicture::PrefetchOne() {
    const int r = RecordCount();
    if (width_ <= 0 || height_ <= 0 || r <= 0) return false;
    GraphSeries series;
    // The next page in the direction of the last scroll, then the page on the other side.
    while (prefetchNext_ < 2 * tiles_) {
        const int p = prefetchNext_++;
        const bool ahead = p < tiles_;
        const int d = ahead ? p + 1 : p - tiles_ + 1;
        const bool below = ahead == (lastStep_ > 0);
        const int index = below ? first_ + tiles_ - 1 + d : first_ - d;
        if (index < 0 || index >= r) continue;
        Spectrum(data_->Record(index), series);
        const CThumbnailTileCache::Key key = KeyFor(series, index);
        if (cache_.Contains(key)) continue;
        cache_.Tile(series, key);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Standard data thumbnail

bool RenderStandardThumbnail(const CSpectrumData* current, int width, int height, QImage& out, double pixelRatio) {
    std::unique_ptr<QtSurfaceImage> surface = QtSurfaceImage::Create(std::max(1, width), std::max(1, height), pixelRatio);
    if (!surface) return false;
    if (current) {
        GraphSeries series;
        Spectrum(*current, series);
        RenderThumbnailTile(*surface, series, ThumbnailTile{0, 0, surface->Width(), surface->Height(), false});
    }
    QImage image = surface->Image();
    surface.reset();
    out = std::move(image);
    return true;
}
