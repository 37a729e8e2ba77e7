#pragma once
// Horizontal or rotated text in the program's font: "Tahoma", or the Japanese system font when the
// user's language is Japanese. A font is made for every call, as the views redraw rarely.
#include <cstdint>
#include <string>

#include "core/graph/Surface.h"

class CTextOut {
public:
    CTextOut(Surface* surface, int fontHeight, std::uint32_t textColor);
    virtual ~CTextOut() = default;

    // Draws text at (x, y) with a TextAlign value, rotated by escapement tenths of a degree
    // counter-clockwise, transparently. The alignment stays set on the surface afterwards.
    void DrawText(int x, int y, const std::string& text, unsigned alignment, int escapement);

    // Width and height of the box that holds the text rotated by escapement.
    SurfaceSize TextExtent(const std::string& text, int escapement);

    // How much the graphs' text and the room around their plots grow with the picture: 1 at
    // 700 x 500, up to twice that in a large window, down to three quarters in a small picture.
    static double LayoutScale(int width, int height);
    // pixels at that scale, at least one.
    static int Scaled(int pixels, double scale);

    // The font the program asks for at a height in pixels (character height) and escapement.
    static SurfaceFont MakeFont(int height, int escapement);
    // The face follows the language the program shows its texts in (the user's locale, or
    // HELIARC_LANG), so labels and fonts always agree.
    static bool JapaneseFont();

private:
    Surface* surface_;
    std::uint32_t color_;
    int height_;
};
