// How well the glass's fill level reads on each taskbar: WCAG 2 contrast, computed, and a
// printed table of it for the taskbars Windows has (its dark one and its high-contrast themes).
#include "core/glass_contrast.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quaff {
namespace {

TEST(Contrast, IsWcagsRatioOfRelativeLuminances) {
    const struct {
        uint32_t a, b;
        double ratio;
    } cases[] = {
        {0xFFFFFF, 0x000000, 21.0}, {0x000000, 0xFFFFFF, 21.0}, {0x808080, 0x808080, 1.0},
        {0x767676, 0xFFFFFF, 4.54}, {0x0000FF, 0xFFFFFF, 8.59}, {0xFF0000, 0xFFFFFF, 4.00},
    };
    for (const auto& c : cases) EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01) << c.a;
    EXPECT_EQ(Rgb888(kHeadColour), 0xFFFFFFu);
    EXPECT_EQ(Rgb888(LiquidColour(Drink::Bitter)), 0x848400u);
}

TEST(Contrast, TheLevelAndTheGlassStandOutOnEveryTaskbar) {
    const struct {
        const char* name;
        Taskbar taskbar;
        bool asDrawn;  // the definition's colours are kept there, whatever they give
    } taskbars[] = {
        {"light (as drawn)", {0xEEEEEE, 0x000000}, true},
        {"dark", kDarkTaskbar, false},
        {"high contrast black", {0x000000, 0xFFFFFF}, false},
        {"high contrast white", {0xFFFFFF, 0x000000}, false},
        {"high contrast #1", {0x000000, 0xFFFF00}, false},
        {"high contrast #2", {0x000000, 0x00FF00}, false},
        {"aquatic", {0x202020, 0xFFFFFF}, false},
        {"desert", {0xFFFAEF, 0x3D3D3D}, false},
        {"dusk", {0x2D3236, 0xB6F6F0}, false},
    };
    std::printf("%-22s %-8s %-8s %-10s %-10s\n", "taskbar", "drink", "empty", "level", "glass");
    for (const auto& t : taskbars)
        for (const Drink drink : {Drink::Bitter, Drink::Guiness, Drink::Lager}) {
            const uint32_t liquid = Rgb888(LiquidColour(drink));
            const GlassColours colours =
                t.asDrawn ? GlassColours{0, std::nullopt} : GlassColoursOn(t.taskbar, drink);
            // The level is where the liquid meets the empty glass, which shows the taskbar
            // unless it is filled; the glass is its outline against the taskbar.
            const uint32_t empty = colours.empty.value_or(t.taskbar.background);
            const double level = ContrastRatio(liquid, empty);
            const double glass = ContrastRatio(colours.outline, t.taskbar.background);
            char fill[8] = "clear";
            if (colours.empty) std::snprintf(fill, sizeof fill, "%06X", *colours.empty);
            const char* names[] = {"bitter", "stout", "lager"};
            std::printf("%-22s %-8s %-8s %6.2f:1   %6.2f:1\n", t.name,
                        names[static_cast<int>(drink)], fill, level, glass);
            if (t.asDrawn) continue;
            EXPECT_GE(level, kLeastContrast) << t.name << " " << names[static_cast<int>(drink)];
            EXPECT_GE(glass, kLeastContrast) << t.name;
        }
    // A stout on the dark taskbar stays dark, in a glass whose empty part is grey.
    EXPECT_EQ(GlassColoursOn(kDarkTaskbar, Drink::Guiness).empty, 0x808080u);
}

}  // namespace
}  // namespace quaff
