#pragma once
// A device-independent bitmap in memory and its .bmp file: a 40-byte information header (plus a
// colour table for depths up to 8), bottom-up rows padded to 32 bits, blue-green-red at 24 bits.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/graph/RgbImage.h"

class Surface;

class CDIB {
public:
    CDIB() = default;
    virtual ~CDIB() = default;

    // Sizes the buffers, writes the information header and zero-fills the pixels. Fails (and
    // leaves the bitmap empty) for a non-positive or absurd size or an unsupported depth.
    bool Allocate(int width, int height, int bitsPerPixel, std::size_t colorTableBytes);

    // The picture's pixels at 24 or 32 bits per pixel.
    bool FromBitmap(const RgbImage& image, int bitsPerPixel);
    bool FromBitmap(const Surface& surface, int bitsPerPixel);

    // Writes the file to a stored path, replacing a file of that name only once every byte is on
    // the disk. error (when given) says what failed and where.
    bool SaveFile(const std::string& storedPath, std::string* error = nullptr) const;
    // The same bytes in memory; empty when nothing is allocated.
    std::vector<std::uint8_t> FileBytes() const;

    bool Empty() const { return header_.empty(); }
    int Width() const;
    int Height() const;
    int BitsPerPixel() const;
    int Stride() const { return stride_; }
    const std::vector<std::uint8_t>& HeaderBytes() const { return header_; }
    const std::vector<std::uint8_t>& PixelBytes() const { return pixels_; }

    // Bytes per row: bits per pixel times width, rounded up to a multiple of 32 bits.
    static int StrideFor(int width, int bitsPerPixel);
    // Colour table bytes for a depth: 4 * 2^depth up to 8 bits, none above.
    static std::size_t ColorTableBytesFor(int bitsPerPixel);

private:
    std::vector<std::uint8_t> header_;
    std::vector<std::uint8_t> pixels_;
    std::int32_t stride_ = 0;
};
