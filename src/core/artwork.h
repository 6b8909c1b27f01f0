#pragma once
// The glass artwork: the six sixteen-frame icon sets shown in the tray, and the stored forms
// the program is built with (image-list streams, the two icons, the folder glyph). Portable:
// the resource build runs this natively to produce the files the .rc embeds.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/icon_sets.h"

namespace quaff {

// 16-bit colour, 5 bits per component: red in bits 10-14, green 5-9, blue 0-4, bit 15 zero.
using Colour555 = uint16_t;
constexpr Colour555 kOutlineColour = 0x0000;
constexpr Colour555 kHeadColour = 0x7FFF;
Colour555 LiquidColour(Drink drink);

struct Pixel {
    Colour555 colour = 0;  // a transparent pixel is stored black
    bool transparent = true;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// One 16 by 16 image of a set; rows from the top, columns from the left.
struct Frame {
    static constexpr int kSize = 16;
    std::array<Pixel, kSize * kSize> pixels{};

    Pixel& at(int row, int col) { return pixels[row * kSize + col]; }
    const Pixel& at(int row, int col) const { return pixels[row * kSize + col]; }
    friend bool operator==(const Frame&, const Frame&) = default;
};

constexpr int kFramesPerSet = 16;

// Frame k (0..15) of a set: the glass k sixteenths full, 15 with a head.
// Throws std::out_of_range for any other frame number.
Frame GlassFrame(Drink drink, Measure measure, int frame);

// The pixels of every frame of a measure that draw the glass itself, its walls and base (in
// Frame order, true where they lie); liquid and head are not part of it, even where they are
// black. On a dark taskbar the tray draws them in kLightOutline instead of black.
std::vector<bool> GlassOutline(Measure measure);
// Silver, 0x00RRGGBB: about 9 to 1 against a dark taskbar (#202020), and unlike white it
// keeps the walls apart from the head of a full glass.
constexpr uint32_t kLightOutline = 0xC0C0C0;
// The pixels between the walls of a measure's glass, which liquid and head fill from the
// bottom (in Frame order, true where they lie); what they leave is the empty glass.
std::vector<bool> GlassInside(Measure measure);

// Stored forms, byte for byte.
constexpr size_t kIconSetStreamSize = 11046;
constexpr size_t kInitialTrayIconSize = 318;
constexpr size_t kFolderGlyphSize = 374;

// The image-list stream of one set, as ImageList_Read takes it: header, 16-bit colour
// bitmap, 1-bit mask bitmap, trailer.
std::vector<uint8_t> IconSetStream(Drink drink, Measure measure);
// The program's icon: one 32 by 32, 16-colour image of a full glass of bitter.
std::vector<uint8_t> MainIconFile();
// The tray component's icon before it is given a set: the empty large glass.
std::vector<uint8_t> InitialTrayIconFile();
// The browse button's glyph: 32 by 16, the enabled glyph left, the disabled one right,
// on an olive ground that the button draws transparent.
std::vector<uint8_t> FolderGlyphBmp();

}  // namespace quaff
