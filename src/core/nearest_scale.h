#pragma once
// Pixel art made larger without blending: every pixel of the result is one pixel of the
// source (nearest neighbour), so a 16-pixel glass stays crisp at 20, 24 or 32 pixels.
// Portable; the tray icons and the settings dialog's folder glyph are made with it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quaff {

// Rows of 32-bit pixels from the top; what a pixel holds (a colour, a mask bit) is the
// caller's.
struct PixelGrid {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    PixelGrid() = default;
    PixelGrid(int w, int h, uint32_t fill)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    friend bool operator==(const PixelGrid&, const PixelGrid&) = default;
};

// A square: its top-left corner and its side.
struct Square {
    int left = 0, top = 0, side = 0;
    friend bool operator==(const Square&, const Square&) = default;
};

// Where a square picture of side `from` goes in a square of side `to`: scaled by the largest
// multiple of one half that fits (a factor of 1.25 or 1.75 would draw one wall of the glass
// thicker than the other), centred, the rest left as padding; shrunk to `to` when smaller.
Square FitSquare(int from, int to);

// Draws the square `from` of `src` into the square `to` of `dst`: the pixel at (x, y) of `to`
// takes the source pixel at (x * from.side / to.side, y * from.side / to.side) of `from`.
// Pixels of `dst` outside `to` are left as they are. Squares must lie inside their grids.
void ScaleNearest(const PixelGrid& src, Square from, PixelGrid& dst, Square to);

}  // namespace quaff
