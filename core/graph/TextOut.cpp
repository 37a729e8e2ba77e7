#include "core/graph/TextOut.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/platform/StringTable.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kJapaneseFace = "\xEF\xBC\xAD\xEF\xBC\xB3\xE3\x80\x80\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";  // ＭＳ　ゴシック
constexpr int kShiftJisCharSet = 128;
constexpr int kAnsiCharSet = 0;
constexpr int kFixedPitchModern = 0x31;

}  // namespace

CTextOut::CTextOut(Surface* surface, int fontHeight, std::uint32_t textColor)
    : surface_(surface), color_(textColor), height_(fontHeight) {}

double CTextOut::LayoutScale(int width, int height) {
    const double s = std::min(width / 700.0, height / 500.0);
    return std::clamp(s, 0.75, 2.0);
}

int CTextOut::Scaled(int pixels, double scale) { return std::max(1, static_cast<int>(std::lround(pixels * scale))); }

bool CTextOut::JapaneseFont() { return platform::CurrentLanguage() == platform::Language::Japanese; }

SurfaceFont CTextOut::MakeFont(int height, int escapement) {
    SurfaceFont f;
    f.height = -height;
    f.escapement = escapement;
    f.weight = 400;
    f.pitchAndFamily = kFixedPitchModern;
    if (JapaneseFont()) {
        f.face = kJapaneseFace;
        f.charSet = kShiftJisCharSet;
    } else {
        f.face = "Tahoma";
        f.charSet = kAnsiCharSet;
    }
    return f;
}

void CTextOut::DrawText(int x, int y, const std::string& text, unsigned alignment, int escapement) {
    if (surface_ == nullptr) return;
    SurfaceFont oldFont = surface_->SelectFont(MakeFont(height_, escapement));
    std::uint32_t oldColor = surface_->SetTextColor(color_);
    surface_->SetTextAlign(alignment);
    surface_->TextOut(x, y, text);
    surface_->SetTextColor(oldColor);
    surface_->SelectFont(oldFont);
}

SurfaceSize CTextOut::TextExtent(const std::string& text, int escapement) {
    if (surface_ == nullptr) return {0, 0};
    const int e = std::abs(escapement);
    SurfaceFont oldFont = surface_->SelectFont(MakeFont(height_, e));
    const SurfaceSize s = surface_->TextExtent(text);
    surface_->SelectFont(oldFont);
    // Absolute values keep the box positive for any angle; for 0..90 degrees they change nothing.
    const double a = e * kPi / 10.0 / 180.0;
    const double c = std::abs(std::cos(a));
    const double sn = std::abs(std::sin(a));
    return {static_cast<int>(s.cx * c + s.cy * sn), static_cast<int>(s.cy * c + s.cx * sn)};
}
