#pragma once
// The glass's fill level read at a glance on any taskbar: contrast as WCAG 2 measures it, and
// the colours the glass takes on a taskbar its designed colours do not stand out on.

#include <cstdint>
#include <optional>

#include "core/artwork.h"
#include "core/icon_sets.h"

namespace quaff {

// WCAG 2 relative luminance of 0x00RRGGBB, 0 for black to 1 for white; the contrast ratio
// of two colours, 1 to 21.
double RelativeLuminance(uint32_t rgb);
double ContrastRatio(uint32_t a, uint32_t b);

// The least contrast at which a part of a picture reads at a glance (WCAG's for graphics).
constexpr double kLeastContrast = 3.0;

// A 16-bit artwork colour as 0x00RRGGBB, each component stretched to the full 0 to 255.
uint32_t Rgb888(Colour555 colour);

// A taskbar the glass is drawn on: its colour, and the colour of text on it, which the glass's
// outline takes.
struct Taskbar {
    uint32_t background;
    uint32_t text;
};
// Windows' dark taskbar, and the silver outline the glass takes on it.
constexpr Taskbar kDarkTaskbar{0x202020, kLightOutline};

// How the glass of a drink is drawn on a taskbar: the outline in the taskbar's text colour;
// the empty part of the glass transparent where the liquid stands out against the taskbar,
// else filled with the first of a palette grey, black and white that the liquid stands out
// against, so a stout stays dark and its level still shows.
struct GlassColours {
    uint32_t outline;
    std::optional<uint32_t> empty;
};
GlassColours GlassColoursOn(const Taskbar& taskbar, Drink drink);

}  // namespace quaff
