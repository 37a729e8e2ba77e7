#pragma once
// A plain 8-bit-per-channel RGB picture, top row first, three bytes per pixel (red, green, blue).
// It is how pixels leave a Surface, so the bitmap writer needs no drawing library.
#include <cstddef>
#include <cstdint>
#include <vector>

// Largest picture the program agrees to allocate: no screen, page or export comes near it, and a
// corrupt or mistyped size must fail instead of exhausting memory.
constexpr int kMaxImageSide = 30000;
constexpr std::size_t kMaxImageBytes = 500u * 1000u * 1000u;

// True when a width x height picture of bytesPerPixel bytes a pixel is within the limits above.
inline bool ImageSizeAcceptable(int width, int height, int bytesPerPixel) {
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0) return false;
    if (width > kMaxImageSide || height > kMaxImageSide) return false;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
               static_cast<std::size_t>(bytesPerPixel) <= kMaxImageBytes;
}

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes

    bool Resize(int w, int h) {
        if (!ImageSizeAcceptable(w, h, 3)) return false;
        width = w;
        height = h;
        rgb.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3u, 0);
        return true;
    }
    bool Valid() const {
        return width > 0 && height > 0 &&
               rgb.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3u;
    }
    // Colour of a pixel as 0x00BBGGRR; the caller keeps (x, y) inside the picture.
    std::uint32_t At(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3u;
        return static_cast<std::uint32_t>(rgb[i]) | (static_cast<std::uint32_t>(rgb[i + 1]) << 8) |
               (static_cast<std::uint32_t>(rgb[i + 2]) << 16);
    }
    void Set(int x, int y, std::uint32_t color) {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3u;
        rgb[i] = static_cast<std::uint8_t>(color & 0xFF);
        rgb[i + 1] = static_cast<std::uint8_t>((color >> 8) & 0xFF);
        rgb[i + 2] = static_cast<std::uint8_t>((color >> 16) & 0xFF);
    }
};
