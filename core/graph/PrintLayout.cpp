#include "core/graph/PrintLayout.h"

bool FitPictureToPage(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight, SurfaceRect& placement) {
    placement = SurfaceRect{};
    if (pageWidth <= 0 || pageHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return false;
    // Single-precision quotients, as the print path has always computed them.
    const float w = static_cast<float>(pageWidth);
    const float h = static_cast<float>(pageHeight);
    const float qw = w / static_cast<float>(pictureWidth);
    const float qh = h / static_cast<float>(pictureHeight);
    int left = 0, top = 0;
    if (qh >= qw) {
        top = static_cast<int>((h - static_cast<float>(pictureHeight) * qw) * 0.5);
    } else {
        left = static_cast<int>((w - qh * static_cast<float>(pictureWidth)) * 0.5);
    }
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    placement = {left, top, pageWidth - left, pageHeight - top};
    return true;
}
