#include "core/graph/DIB.h"

#include <string_view>

#include "core/graph/Surface.h"
#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"

namespace {

constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kFileHeaderBytes = 14;

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

std::int32_t Get32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                     (static_cast<std::uint32_t>(p[2]) << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
}

bool SupportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

int CDIB::StrideFor(int width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0) return 0;
    const long long bits = static_cast<long long>(width) * bitsPerPixel;
    return static_cast<int>((bits + 31) / 32 * 4);
}

std::size_t CDIB::ColorTableBytesFor(int bitsPerPixel) {
    if (bitsPerPixel <= 0 || bitsPerPixel > 8) return 0;
    return static_cast<std::size_t>(4) << bitsPerPixel;
}

bool CDIB::Allocate(int width, int height, int bitsPerPixel, std::size_t colorTableBytes) {
    header_.clear();
    pixels_.clear();
    stride_ = 0;
    if (!SupportedDepth(bitsPerPixel) || colorTableBytes > ColorTableBytesFor(8)) return false;
    if (!ImageSizeAcceptable(width, height, 1)) return false;
    const int stride = StrideFor(width, bitsPerPixel);
    const std::size_t pixelBytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (pixelBytes > kMaxImageBytes) return false;
    header_.assign(kInfoHeaderBytes + colorTableBytes, 0);
    Put32(&header_[0], static_cast<std::uint32_t>(kInfoHeaderBytes));
    Put32(&header_[4], static_cast<std::uint32_t>(width));
    Put32(&header_[8], static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    Put16(&header_[12], 1);
    Put16(&header_[14], static_cast<std::uint32_t>(bitsPerPixel));
    Put32(&header_[16], 0);  // uncompressed
    pixels_.assign(pixelBytes, 0);
    stride_ = stride;
    return true;
}

int CDIB::Width() const { return header_.size() >= kInfoHeaderBytes ? Get32(&header_[4]) : 0; }
int CDIB::Height() const { return header_.size() >= kInfoHeaderBytes ? Get32(&header_[8]) : 0; }
int CDIB::BitsPerPixel() const {
    return header_.size() >= kInfoHeaderBytes ? (header_[14] | (header_[15] << 8)) : 0;
}

bool CDIB::FromBitmap(const RgbImage& image, int bitsPerPixel) {
    if (!image.Valid() || (bitsPerPixel != 24 && bitsPerPixel != 32)) {
        Allocate(0, 0, 24, 0);  // leaves the bitmap empty
        return false;
    }
    if (!Allocate(image.width, image.height, bitsPerPixel, ColorTableBytesFor(bitsPerPixel))) return false;
    const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel / 8);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* src = &image.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3u];
        std::uint8_t* dst = &pixels_[static_cast<std::size_t>(image.height - 1 - y) * static_cast<std::size_t>(stride_)];
        for (int x = 0; x < image.width; ++x, src += 3, dst += bytesPerPixel) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return true;
}

bool CDIB::FromBitmap(const Surface& surface, int bitsPerPixel) {
    RgbImage image;
    if (!surface.ReadPixels(image)) {
        Allocate(0, 0, 24, 0);
        return false;
    }
    return FromBitmap(image, bitsPerPixel);
}

std::vector<std::uint8_t> CDIB::FileBytes() const {
    std::vector<std::uint8_t> out;
    if (Empty()) return out;
    const std::size_t offset = kFileHeaderBytes + header_.size();
    const std::size_t total = offset + pixels_.size();
    out.resize(kFileHeaderBytes);
    Put16(&out[0], 0x4D42);
    Put32(&out[2], static_cast<std::uint32_t>(total));
    Put16(&out[6], 0);
    Put16(&out[8], 0);
    Put32(&out[10], static_cast<std::uint32_t>(offset));
    out.reserve(total);
    out.insert(out.end(), header_.begin(), header_.end());
    out.insert(out.end(), pixels_.begin(), pixels_.end());
    return out;
}

bool CDIB::SaveFile(const std::string& storedPath, std::string* error) const {
    if (Empty() || storedPath.empty()) return false;
    const std::vector<std::uint8_t> bytes = FileBytes();
    return platform::ReplaceFile(platform::MapPath(storedPath), platform::kPictureTag,
                                 std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}
