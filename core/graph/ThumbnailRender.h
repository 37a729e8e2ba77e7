#pragma once
// The spectrum thumbnail tiles, shared by the thumbnail windows and heliarc-cli: a record's
// spectrum (350..1050 nm, W/m^2/um) on a 400 x 300 logical canvas scaled onto the tile's pixels.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/data/Range.h"
#include "core/graph/Surface.h"

class CSpectrumData;

namespace thumbnail {
constexpr int kLogicalWidth = 400;
constexpr int kLogicalHeight = 300;
constexpr SurfaceRect kPlotRect{50, 10, 350, 270};
constexpr std::uint32_t kPlotBackground = 0xEBEBEB;
constexpr std::uint32_t kSelectedColor = 0x804040;  // RGB(64, 64, 128)
constexpr std::uint32_t kCurveColor = 0x0000FF;     // red
constexpr std::uint32_t kWindowBackground = 0xFFFFFF;
constexpr double kMinWavelength = 350;
constexpr double kMaxWavelength = 1050;
}  // namespace thumbnail

// Where one tile goes, in device pixels of the surface.
struct ThumbnailTile {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool selected = false;
};

// Draws one tile: the selection colour over the whole tile (spilling 10 logical units around it)
// when selected, then, if the series has points, the grey plot with grid, axes and the red curve.
// The window background is not touched. The surface's mapping is restored afterwards.
void RenderThumbnailTile(Surface& surface, const GraphSeries& spectrum, const ThumbnailTile& tile);
void RenderThumbnailTile(Surface& surface, const CSpectrumData& record, const ThumbnailTile& tile);

// How many tiles of the 300:400 shape fit one above the other in width x height (at least 1).
int ThumbnailTileCount(int width, int height);
// Top row and height of tile i of tileCount in a client area height pixels tall.
int ThumbnailTileTop(int index, int tileCount, int height);
int ThumbnailTileHeight(int tileCount, int height);
// Rows from tile i's top to the next tile's top (the tile height, or one more where the rows do not
// divide evenly); the tile's selection colour fills its band and nothing of it reaches the next.
int ThumbnailBandHeight(int index, int tileCount, int height);

// The measured-data thumbnails as a whole: the surface filled white, then tiles 0 .. tileCount - 1
// showing records[first + i] while there are records, each clipped to its band; isSelected(index
// into records) marks tiles.
void RenderThumbnailStack(Surface& surface, const std::vector<const CSpectrumData*>& records, int first,
                          int tileCount, const std::function<bool(int)>& isSelected);
