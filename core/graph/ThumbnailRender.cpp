#include "core/graph/ThumbnailRender.h"

#include <cmath>

#include "core/data/SpectrumData.h"
#include "core/graph/DataGraph.h"

void RenderThumbnailTile(Surface& surface, const GraphSeries& spectrum, const ThumbnailTile& tile) {
    if (tile.width <= 0 || tile.height <= 0) return;
    const Surface::Mapping saved = surface.SaveMapping();
    surface.SetMapMode(MapMode::Anisotropic);
    surface.SetWindowOrg(0, 0);
    surface.SetWindowExt(thumbnail::kLogicalWidth, thumbnail::kLogicalHeight);
    surface.SetViewportExt(tile.width, tile.height);
    surface.SetViewportOrg(tile.left, tile.top);
    if (tile.selected) {
        surface.FillRect({-10, -10, thumbnail::kLogicalWidth + 10, thumbnail::kLogicalHeight + 10},
                         thumbnail::kSelectedColor);
    }
    if (spectrum.Count() > 0) {
        CDataGraph graph(&surface, thumbnail::kPlotRect, thumbnail::kPlotBackground, true, false);
        graph.SetXRange(thumbnail::kMinWavelength, thumbnail::kMaxWavelength);
        graph.SetYRangeFromData(spectrum);
        graph.Draw(thumbnail::kCurveColor, spectrum, true);
    }
    surface.RestoreMapping(saved);
}

void RenderThumbnailTile(Surface& surface, const CSpectrumData& record, const ThumbnailTile& tile) {
    GraphSeries spectrum;
    record.SpectrumSeries(thumbnail::kMinWavelength, thumbnail::kMaxWavelength, kUnitWm2um, spectrum);
    RenderThumbnailTile(surface, spectrum, tile);
}

int ThumbnailTileCount(int width, int height) {
    if (width <= 0 || height <= 0) return 1;
    // The count whose tile shape comes closest to 300:400; on a tie the larger count.
    int n = 1;
    double r = static_cast<double>(height) / width;
    double previous = 0;
    while (r > 0.75) {
        previous = r;
        ++n;
        r = static_cast<double>(height / n) / width;
    }
    return std::abs(r - 0.75) > std::abs(previous - 0.75) ? n - 1 : n;
}

int ThumbnailTileTop(int index, int tileCount, int height) {
    if (tileCount <= 0) return 0;
    return static_cast<int>(static_cast<long long>(index) * height / tileCount);
}

int ThumbnailTileHeight(int tileCount, int height) { return tileCount <= 0 ? height : height / tileCount; }

int ThumbnailBandHeight(int index, int tileCount, int height) {
    if (tileCount <= 0) return height;
    return ThumbnailTileTop(index + 1, tileCount, height) - ThumbnailTileTop(index, tileCount, height);
}

void RenderThumbnailStack(Surface& surface, const std::vector<const CSpectrumData*>& records, int first,
                          int tileCount, const std::function<bool(int)>& isSelected) {
    const Surface::Mapping saved = surface.SaveMapping();
    surface.SetMapMode(MapMode::Text);
    surface.SetWindowOrg(0, 0);
    surface.SetViewportOrg(0, 0);
    surface.FillRect({0, 0, surface.Width(), surface.Height()}, thumbnail::kWindowBackground);
    if (tileCount <= 0 || first < 0) {
        surface.RestoreMapping(saved);
        return;
    }
    const int h = surface.Height();
    const int tileHeight = ThumbnailTileHeight(tileCount, h);
    for (int i = 0; i < tileCount; ++i) {
        const long long index = static_cast<long long>(first) + i;
        if (index >= static_cast<long long>(records.size())) break;
        const CSpectrumData* record = records[static_cast<std::size_t>(index)];
        if (record == nullptr) continue;
        ThumbnailTile tile;
        tile.left = 0;
        tile.top = ThumbnailTileTop(i, tileCount, h);
        tile.width = surface.Width();
        tile.height = tileHeight;
        tile.selected = isSelected && isSelected(static_cast<int>(index));
        // Each tile keeps to its band, so a tile looks the same whatever its neighbours are and the
        // windows can reuse a tile drawn once.
        surface.SetClipRect({0, tile.top, surface.Width(), tile.top + ThumbnailBandHeight(i, tileCount, h)});
        RenderThumbnailTile(surface, *record, tile);
        surface.ClearClip();
    }
    surface.RestoreMapping(saved);
}
