// How well the glass's fill level reads on each taskbar, as WCAG 2 measures contrast, printed as
// a table for Windows' dark taskbar and its high-contrast themes.
#include "core/glass_contrast.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

namespace quaff {
namespace {

TEST(Contrast, TheLevelAndTheGlassStandOutOnEveryTaskbar) {
    // WCAG's own figures.
    EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);
    EXPECT_NEAR(ContrastRatio(0xFF0000, 0xFFFFFF), 4.00, 0.01);
    // The empty part of each drink's glass (bitter, stout, lager): clear where the liquid
    // stands out against the taskbar, else the first of grey, black and white that it does.
    using Empty = std::optional<uint32_t>;
    constexpr Empty clear, grey = 0x808080;
    const struct {
        const char* name;
        Taskbar taskbar;
        Empty empty[3];
    } taskbars[] = {
        {"light, as drawn", {0xEEEEEE, 0x000000}, {}},
        {"dark", kDarkTaskbar, {clear, grey, clear}},
        {"HC black", {0x000000, 0xFFFFFF}, {clear, grey, clear}},
        {"HC white", {0xFFFFFF, 0x000000}, {clear, clear, grey}},
        {"HC #1", {0x000000, 0xFFFF00}, {clear, grey, clear}},
        {"HC #2", {0x000000, 0x00FF00}, {clear, grey, clear}},
        {"aquatic", {0x202020, 0xFFFFFF}, {clear, grey, clear}},
        {"desert", {0xFFFAEF, 0x3D3D3D}, {clear, clear, grey}},
        {"dusk", {0x2D3236, 0xB6F6F0}, {clear, grey, clear}},
    };
    const char* drinks[] = {"bitter", "stout", "lager"};
    std::printf("%-16s %-7s %-7s %-9s %s\n", "taskbar", "drink", "empty", "level", "glass");
    for (const auto& t : taskbars)
        for (int d = 0; d < 3; ++d) {
            const bool asDrawn = &t == &taskbars[0];  // kept as defined, whatever it gives
            const GlassColours colours =
                asDrawn ? GlassColours{0, std::nullopt} : GlassColoursOn(t.taskbar, Drink(d));
            // The level: the liquid against the empty glass (the taskbar, unless filled);
            // the glass: its outline against the taskbar.
            const double level = ContrastRatio(Rgb888(LiquidColour(Drink(d))),
                                               colours.empty.value_or(t.taskbar.background));
            const double glass = ContrastRatio(colours.outline, t.taskbar.background);
            std::printf("%-16s %-7s %06X  %5.2f:1  %5.2f:1\n", t.name, drinks[d],
                        colours.empty.value_or(t.taskbar.background), level, glass);
            if (asDrawn) continue;
            EXPECT_GE(level, kLeastContrast) << t.name << " " << drinks[d];
            EXPECT_GE(glass, kLeastContrast) << t.name;
            EXPECT_EQ(colours.empty, t.empty[d]) << t.name << " " << drinks[d];
        }
}

}  // namespace
}  // namespace quaff
