#include "win/icon_style.h"

#include <algorithm>
#include <cstdint>

#include "core/nearest_scale.h"
#include "win/control.h"

namespace quaff::win {

namespace {

// A bitmap's pixels as 0x00RRGGBB (0x000000 or 0xFFFFFF for a mask); empty when unreadable.
PixelGrid ReadPixels(HBITMAP bitmap) {
    BITMAP shape{};
    if (!bitmap || !GetObjectA(bitmap, sizeof(shape), &shape) || shape.bmWidth <= 0 ||
        shape.bmHeight <= 0)
        return {};
    PixelGrid grid(shape.bmWidth, shape.bmHeight, 0);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), grid.width, -grid.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ScreenDC screen;
    if (GetDIBits(screen.get(), bitmap, 0, grid.height, grid.pixels.data(), &info,
                  DIB_RGB_COLORS) != grid.height)
        return {};
    for (std::uint32_t& p : grid.pixels) p &= 0xFFFFFF;
    return grid;
}

// A 32-bit top-down DIB section holding `grid`'s pixels.
UniqueBitmap MakeBitmap(const PixelGrid& grid) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), grid.width, -grid.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
        std::copy(grid.pixels.begin(), grid.pixels.end(), static_cast<std::uint32_t*>(bits));
        GdiFlush();
    }
    return bitmap;
}

constexpr std::uint32_t kMaskTransparent = 0xFFFFFF;

std::uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

}  // namespace

int SmallIconSize(int dpi) {
    // Windows 10 1607 and later answer for any DPI; before them a process aware of the system
    // DPI got the small-icon side scaled from 16 as below.
    using ForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi")));
    const int side = forDpi ? forDpi(SM_CXSMICON, static_cast<UINT>(dpi)) : MulDiv(16, dpi, 96);
    return side > 0 ? side : 16;
}

namespace {

// The new icon, or null when it cannot be made.
HICON MakeRestyled(HICON icon, IconStyle style, const IconParts& parts) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return nullptr;
    UniqueBitmap colourBitmap(info.hbmColor), maskBitmap(info.hbmMask);
    PixelGrid colour = ReadPixels(colourBitmap.get());
    PixelGrid mask = ReadPixels(maskBitmap.get());
    if (colour.pixels.empty() || mask.width != colour.width || mask.height != colour.height ||
        colour.width != colour.height)
        return nullptr;
    const int side = style.size > 0 ? style.size : colour.width;

    if (style.outline != CLR_NONE && parts.outline.size() == colour.pixels.size())
        for (std::size_t i = 0; i < parts.outline.size(); ++i)
            if (parts.outline[i]) colour.pixels[i] = Rgb(style.outline);
    if (style.empty != CLR_NONE && parts.inside.size() == colour.pixels.size())
        for (std::size_t i = 0; i < parts.inside.size(); ++i)
            if (parts.inside[i] && mask.pixels[i] == kMaskTransparent) {
                colour.pixels[i] = Rgb(style.empty);
                mask.pixels[i] = 0;
            }
    // Opaque pixels carry full alpha, so a shell that draws with alpha shows them as the mask
    // does; transparent ones are black, as the artwork stores them.
    for (std::size_t i = 0; i < colour.pixels.size(); ++i)
        colour.pixels[i] = mask.pixels[i] == kMaskTransparent ? 0 : colour.pixels[i] | 0xFF000000u;

    const Square from{0, 0, colour.width};
    const Square to = FitSquare(colour.width, side);
    PixelGrid bigColour(side, side, 0), bigMask(side, side, kMaskTransparent);
    ScaleNearest(colour, from, bigColour, to);
    ScaleNearest(mask, from, bigMask, to);

    UniqueBitmap newColour = MakeBitmap(bigColour);
    UniqueBitmap newMask(CreateBitmap(side, side, 1, 1, nullptr));
    if (!newColour || !newMask) return nullptr;
    BITMAPINFO maskInfo{};
    maskInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ScreenDC screen;
    if (SetDIBits(screen.get(), newMask.get(), 0, side, bigMask.pixels.data(), &maskInfo,
                  DIB_RGB_COLORS) != side)
        return nullptr;
    ICONINFO made{TRUE, 0, 0, newMask.get(), newColour.get()};
    return CreateIconIndirect(&made);
}

// Whether the style changes any colour of an icon with these parts.
bool Recolours(IconStyle style, const IconParts& parts) {
    return (style.outline != CLR_NONE && !parts.outline.empty()) ||
           (style.empty != CLR_NONE && !parts.inside.empty());
}

bool AsksForNothing(HICON icon, IconStyle style, const IconParts& parts) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return true;
    UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP shape{};
    if (!GetObjectA(mask.get(), sizeof(shape), &shape)) return true;
    const int width = shape.bmWidth;
    const int height = colour ? shape.bmHeight : shape.bmHeight / 2;  // a monochrome icon
    return (style.size <= 0 || (style.size == width && style.size == height)) &&
           !Recolours(style, parts);
}

}  // namespace

HICON RestyleIcon(HICON icon, IconStyle style, const IconParts& parts) {
    // A style with no size and no colours asks for nothing: answered without reading the icon,
    // since at 96 DPI on a light taskbar every icon of every list comes this way at start-up.
    if (!icon || (style.size <= 0 && !Recolours(style, parts))) return icon;
    if (AsksForNothing(icon, style, parts)) return icon;
    if (HICON made = MakeRestyled(icon, style, parts)) {
        DestroyIcon(icon);
        return made;
    }
    return icon;  // the icon as drawn is better than none
}

UniqueBitmap FitGlyphs(HBITMAP strip, int count, int side) {
    const PixelGrid source = ReadPixels(strip);
    if (source.pixels.empty() || count < 1 || source.width != count * source.height || side <= 0 ||
        side == source.height)
        return {};
    const int glyph = source.height;
    PixelGrid fitted(count * side, side, source.at(0, glyph - 1));
    const Square to = FitSquare(glyph, side);
    for (int i = 0; i < count; ++i)
        ScaleNearest(source, {i * glyph, 0, glyph}, fitted, {i * side + to.left, to.top, to.side});
    return MakeBitmap(fitted);
}

}  // namespace quaff::win
