// Icons and glyphs at the size the screen wants: the 16-pixel artwork made larger by nearest
// neighbour (never blended, so it stays crisp), and a glass outline and empty inside that can
// be drawn in other colours for a dark or high-contrast taskbar.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h (CLR_NONE)
#include <commctrl.h>

#include <compare>
#include <vector>

#include "win/dpi.h"
#include "win/handles.h"

namespace quaff::win {

// How an image becomes an icon: the side of the icon (0: the image's own), the colour its
// outline pixels are drawn in and the colour the transparent pixels of its inside take
// (CLR_NONE: as drawn).
struct IconStyle {
    int size = 0;
    COLORREF outline = CLR_NONE;
    COLORREF empty = CLR_NONE;
    auto operator<=>(const IconStyle&) const = default;
};

// Where an image's parts lie (true where they do, rows from the top, sized as the image;
// empty for none): its outline, and the inside it encloses.
struct IconParts {
    std::vector<bool> outline;
    std::vector<bool> inside;
};

// The side of the shell's small icons (the notification area's) at `dpi`.
int SmallIconSize(int dpi = CurrentDpi());

// Takes `icon` and answers it as it is when `style` asks for nothing it lacks; otherwise
// answers a new icon made from it (and destroys `icon`): the outline pixels in the style's
// outline colour, the transparent pixels of the inside opaque in its empty colour, then scaled
// into the style's size by nearest neighbour, centred with transparent padding where a
// half-step factor fits better (FitSquare). When no new icon can be made (no GDI objects
// left), `icon` as it is: the shell then scales it itself.
HICON RestyleIcon(HICON icon, IconStyle style, const IconParts& parts);

// A strip of `count` square glyphs side by side (a button's enabled and disabled images) with
// each glyph scaled to `side` pixels the same way, padded with the strip's ground colour (its
// bottom-left pixel). Empty when the glyphs already have that side or cannot be read.
UniqueBitmap FitGlyphs(HBITMAP strip, int count, int side);

}  // namespace quaff::win
