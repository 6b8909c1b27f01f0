// Real fonts for designed ones. A designed face the system lacks is replaced by one it has;
// each distinct font is created once and shared by every control that uses it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/dpi.h"

namespace quaff::win {

// A colour that stands for the system's window-text colour.
constexpr COLORREF kDefaultColor = 0xFF000000;
// Named colours the program's forms use.
constexpr COLORREF kNavy = RGB(0, 0, 0x80);

// A font as designed: face, size in points, style and text colour.
struct FontSpec {
    std::string face = "MS Sans Serif";
    int size = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    COLORREF color = kDefaultColor;

    bool operator==(const FontSpec&) const = default;
};

// The face actually used for a designed face: the face itself when installed, else the
// closest the system has for dialogs: "Microsoft Sans Serif" (the outline twin of the
// designed "MS Sans Serif"), else "Tahoma", else the face of the default GUI font (the
// system's dialog face, which it maps to what it has). Bold or italic text (`styled`) avoids
// a face that exists only as a bitmap font, which the system may draw without the style.
// Forms widen where the face chosen runs wider than designed (FitTextToRoom).
std::string ResolveFontFace(const std::string& designedFace, bool styled = false);

// Treats `face` as not installed (empty: none), as on a system without it (tests).
void TreatFaceAsMissing(std::string face);

// The shared font for a design at a DPI (never destroyed by the caller; lives as long as the
// process).
HFONT SharedFont(const FontSpec& font, int dpi = CurrentDpi());

// The font selected into `dc` when it has a glyph for every character of `text`; else the same
// size and style in the first face that has them all ("Microsoft Sans Serif", "Segoe UI",
// "Tahoma", "Arial", the system's message font), or in the one that misses fewest. Shared and
// kept like SharedFont.
HFONT FontWithGlyphsFor(HDC dc, std::wstring_view text);

// The system's window-text colour for kDefaultColor, else the colour itself. In high contrast
// always the system's text colour for controls.
COLORREF TextColor(const FontSpec& font);

}  // namespace quaff::win
