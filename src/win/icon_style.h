// Icons and glyphs at the size the screen wants: the 16-pixel artwork made larger by nearest
// neighbour (never blended, so it stays crisp), and a glass outline that can be drawn in
// another colour for a dark taskbar.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h (CLR_NONE)
#include <commctrl.h>

#include <compare>
#include <vector>

#include "win/handles.h"

namespace quaff::win {

// How an image becomes an icon: the side of the icon (0: the image's own) and the colour its
// outline pixels are drawn in (CLR_NONE: as drawn).
struct IconStyle {
    int size = 0;
    COLORREF outline = CLR_NONE;
    auto operator<=>(const IconStyle&) const = default;
};

// The side of the shell's small icons (the notification area's) at the DPI in use.
int SmallIconSize();

// Takes `icon` and answers it as it is when `style` asks for nothing it lacks; otherwise
// answers a new icon made from it (and destroys `icon`): the outline pixels (`outline`: true
// where they lie, rows from the top, sized as the icon; empty for none) in the style's
// colour, then scaled into the style's size by nearest neighbour, centred with transparent
// padding where a half-step factor fits better (FitSquare). When no new icon can be made
// (no GDI objects left), `icon` as it is: the shell then scales it itself.
HICON RestyleIcon(HICON icon, IconStyle style, const std::vector<bool>& outline);

// A strip of `count` square glyphs side by side (a button's enabled and disabled images) with
// each glyph scaled to `side` pixels the same way, padded with the strip's ground colour (its
// bottom-left pixel). Empty when the glyphs already have that side or cannot be read.
UniqueBitmap FitGlyphs(HBITMAP strip, int count, int side);

}  // namespace quaff::win
