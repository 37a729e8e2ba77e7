#pragma once
// The pictures and the rules of the two thumbnail windows, without any widget: tile layout, scroll
// state, hit testing and selection of the measured data thumbnails, their back buffer composed from
// tiles kept in a cache, and the one tile of the standard data thumbnail. The views in
// DataThumbnailView / BaseDataThumbnailView only pass events in and show the back buffer.
#include <QImage>
#include <cstdint>
#include <list>
#include <set>
#include <unordered_map>
#include <vector>

#include "core/platform/LocalTime.h"

class CSpectrumData;
class CSpectrumDataSet;
class GraphSeries;

// Tile pictures by what they show (the spectrum's points), their size and their selected state, so
// a record scrolled back into view, or shown by another row after a search, is not drawn again.
// Least recently used tiles go first.
class CThumbnailTileCache {
public:
    explicit CThumbnailTileCache(std::size_t capacity = 64) : capacity_(capacity) {}

    struct Key {
        std::uint64_t content = 0;
        int width = 0;
        int tileHeight = 0;
        bool selected = false;
        int ratioPercent = 100;  // the screen's pixel ratio the tile is drawn at, in percent
        bool operator==(const Key&) const = default;
    };
    static std::uint64_t ContentHash(const GraphSeries& series);

    // The picture of one tile with one row more than the tile (the tallest band a tile can have:
    // the windows show as many rows of it as the tile's band has), drawn on a miss; null when no
    // picture of that size can be had.
    const QImage* Tile(const GraphSeries& series, const Key& key);
    bool Contains(const Key& key) const { return index_.count(key) != 0; }

    void SetCapacity(std::size_t capacity);
    std::size_t Capacity() const { return capacity_; }
    std::size_t Size() const { return entries_.size(); }
    void Clear();
    // Tiles drawn so far (misses), for tests and the benchmark.
    long long Draws() const { return draws_; }

private:
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    struct Entry {
        Key key;
        QImage image;
    };
    std::size_t capacity_;
    std::list<Entry> entries_;  // most recent first
    std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index_;
    long long draws_ = 0;
};

// The rows a picture marks and its clicks change. The GUI backs it by the record list's selection
// model, so the list and the thumbnails keep one selection.
class CRowSelection {
public:
    virtual ~CRowSelection() = default;
    virtual bool IsSelected(int row) const = 0;
    virtual void Toggle(int row) = 0;
    // Rows first..last selected, no others.
    virtual void SelectOnly(int first, int last) = 0;
};

// A selection of its own, for pictures drawn without a list.
class CRowSet : public CRowSelection {
public:
    std::set<int> rows;
    bool IsSelected(int row) const override { return rows.count(row) != 0; }
    void Toggle(int row) override {
        if (!rows.erase(row)) rows.insert(row);
    }
    void SelectOnly(int first, int last) override {
        rows.clear();
        for (int i = first; i <= last; ++i) rows.insert(rows.end(), i);
    }
};

// The measured data thumbnails: N tiles one above the other show records F .. F + N - 1 of the
// data set; A is the anchor of Shift selection. Nothing is shown until attached.
class CDataThumbnailPicture {
public:
    enum ScrollRequest { kLineUp, kLineDown, kPageUp, kPageDown, kThumbTrack, kOtherRequest };

    // Attach: the data set and the selection stay the caller's; F and A become 0.
    void Attach(const CSpectrumDataSet* data, CRowSelection* selection);
    bool Attached() const { return data_ != nullptr; }

    // Client size in pixels; tile count, scroll extent and F follow the rules. A zero width or
    // height keeps the previous tile count.
    void Layout(int width, int height);
    // The record list changed: the anchor stays on its record when that record is still listed
    // (else 0), then the layout is redone.
    void DataSetChanged();

    int Width() const { return width_; }
    int Height() const { return height_; }
    int RecordCount() const;
    int TileCount() const { return tiles_; }
    int First() const { return first_; }
    int Anchor() const { return anchor_; }
    // Vertical scroll extent in pixels (1 when every record fits) and the position for F.
    int Extent() const { return extent_; }
    bool Scrollable() const { return extent_ > 1; }
    int ScrollPosition() const;

    // Record index under the point at y (F + tile index; the last tile below the tiles).
    int HitTest(int y) const;
    // Mouse buttons at record index k; true when the selection changed. Nothing happens for k
    // outside the records.
    bool LeftDown(int k, bool control, bool shift);
    bool RightDown(int k);
    // Scrolling; true when F changed.
    bool Wheel(int delta);
    bool Scroll(ScrollRequest request, int trackPosition = 0);
    bool EnsureVisible(int index);
    bool SetFirst(int first);

    // Composes the back buffer (white, then the visible tiles from the cache); false when no
    // picture of the client size can be had (the previous one stays).
    bool Render();
    const QImage& BackBuffer() const { return back_; }
    bool IsSelected(int index) const;

    // The screen's pixel ratio: tiles and the back buffer get that many more pixels (HiDPI).
    void SetPixelRatio(double ratio);

    // Draws one not yet cached tile of the records next to the visible ones (the direction of the
    // last scroll first); false when there is none left to draw.
    bool PrefetchOne();
    CThumbnailTileCache& Cache() { return cache_; }

private:
    CThumbnailTileCache::Key KeyFor(const GraphSeries& series, int index) const;
    void Clamp();
    void RememberAnchor();

    const CSpectrumDataSet* data_ = nullptr;
    CRowSelection* selection_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int tiles_ = 1;
    int first_ = 0;
    int anchor_ = 0;
    int extent_ = 1;
    int lastStep_ = 1;  // +1 after scrolling down, -1 after scrolling up
    int prefetchNext_ = 0;  // position in the prefetch order, restarted by each Render
    int ratioPercent_ = 100;
    int wheelRest_ = 0;     // wheel delta short of a whole notch
    // The anchor's record, to find it again after the list changed.
    platform::CalTime anchorTime_ = 0;
    platform::CalTime anchorFileDate_ = 0;
    std::int64_t anchorOffset_ = -1;
    QImage back_;
    CThumbnailTileCache cache_;
};

// The standard data thumbnail: one tile over the whole client area showing the current standard,
// white when there is none; false when no picture of that size can be had.
bool RenderStandardThumbnail(const CSpectrumData* current, int width, int height, QImage& out, double pixelRatio = 1.0);
