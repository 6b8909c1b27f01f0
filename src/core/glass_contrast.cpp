#include "core/glass_contrast.h"

#include <algorithm>
#include <cmath>

namespace quaff {

namespace {

double Linear(uint32_t component) {
    const double c = component / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(uint32_t rgb) {
    return 0.2126 * Linear(rgb >> 16 & 0xFF) + 0.7152 * Linear(rgb >> 8 & 0xFF) +
           0.0722 * Linear(rgb & 0xFF);
}

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

uint32_t Rgb888(Colour555 colour) {
    const auto stretch = [colour](int shift) {
        return ((colour >> shift & 0x1F) * 255u + 15) / 31;
    };
    return stretch(10) << 16 | stretch(5) << 8 | stretch(0);
}

GlassColours GlassColoursOn(const Taskbar& taskbar, Drink drink) {
    const uint32_t liquid = Rgb888(LiquidColour(drink));
    GlassColours colours{taskbar.text, std::nullopt};
    if (ContrastRatio(liquid, taskbar.background) >= kLeastContrast) return colours;
    for (const uint32_t empty : {0x808080u, 0x000000u, 0xFFFFFFu})
        if (ContrastRatio(liquid, empty) >= kLeastContrast) {
            colours.empty = empty;
            break;
        }
    return colours;
}

}  // namespace quaff
