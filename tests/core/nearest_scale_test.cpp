#include "core/nearest_scale.h"

#include <gtest/gtest.h>

#include "core/artwork.h"

namespace quaff {
namespace {

TEST(FitSquare, HalfStepFactorsFillTheSquareOthersAreCentredWithPadding) {
    struct Case {
        int to;
        Square want;
    };
    const Case cases[] = {{16, {0, 0, 16}}, {20, {2, 2, 16}}, {24, {0, 0, 24}},
                          {28, {2, 2, 24}}, {32, {0, 0, 32}}, {36, {2, 2, 32}},
                          {40, {0, 0, 40}}, {48, {0, 0, 48}}, {12, {0, 0, 12}}};
    for (const Case& c : cases) EXPECT_EQ(FitSquare(16, c.to), c.want) << "side " << c.to;
}

TEST(ScaleNearest, EachPixelTakesTheSourcePixelItFallsOnAndLeavesTheRestAlone) {
    PixelGrid src(3, 2, 0);
    src.pixels = {1, 2, 9, 3, 4, 9};
    PixelGrid dst(5, 4, 7);
    ScaleNearest(src, {0, 0, 2}, dst, {1, 0, 3});
    EXPECT_EQ(dst.pixels, (std::vector<uint32_t>{7, 1, 1, 2, 7,  //
                                                 7, 1, 1, 2, 7,  //
                                                 7, 3, 3, 4, 7,  //
                                                 7, 7, 7, 7, 7}));
    EXPECT_THROW(ScaleNearest(src, {2, 0, 2}, dst, {0, 0, 2}), std::out_of_range);
}

// The glass stands symmetric about its middle column; scaled, each row's opaque pixels must
// still mirror each other, or one wall comes out thicker than the other.
TEST(ScaleNearest, TheFittedGlassKeepsBothWallsEquallyThickAtEverySide) {
    for (Measure measure : {Measure::Full, Measure::Half})
        for (int side = 16; side <= 48; side += 2) {
            const Frame frame = GlassFrame(Drink::Bitter, measure, 0);
            PixelGrid src(16, 16, 0);
            for (int i = 0; i < 256; ++i) src.pixels[i] = frame.pixels[i].transparent ? 0 : 1;
            PixelGrid out(side, side, 0);
            ScaleNearest(src, {0, 0, 16}, out, FitSquare(16, side));
            for (int y = 0; y < side; ++y) {
                int left = side, right = -1;
                for (int x = 0; x < side; ++x)
                    if (out.at(x, y)) left = std::min(left, x), right = std::max(right, x);
                for (int x = left; x <= right; ++x)
                    ASSERT_EQ(out.at(x, y), out.at(left + right - x, y))
                        << "measure " << static_cast<int>(measure) << " side " << side << " row "
                        << y;
            }
        }
}

TEST(GlassOutline, IsTheBlackGlassOfEveryFrameAndNeverItsLiquid) {
    for (Measure measure : {Measure::Full, Measure::Half}) {
        const std::vector<bool> outline = GlassOutline(measure);
        ASSERT_EQ(outline.size(), 256u);
        // The inside is what the full glass fills with liquid and head, and nothing else.
        const std::vector<bool> inside = GlassInside(measure);
        const Frame full = GlassFrame(Drink::Lager, measure, 15);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(inside[i], !full.pixels[i].transparent && !outline[i]) << i;
        for (Drink drink : {Drink::Bitter, Drink::Guiness, Drink::Lager})
            for (int k = 0; k < kFramesPerSet; ++k) {
                const Frame frame = GlassFrame(drink, measure, k);
                for (int i = 0; i < 256; ++i) {
                    const Pixel p = frame.pixels[i];
                    if (outline[i])
                        ASSERT_EQ(p, (Pixel{kOutlineColour, false})) << k << " pixel " << i;
                    // Inside the glass only liquid and head: black there is stout, not outline.
                    else if (!p.transparent)
                        ASSERT_TRUE(p.colour == LiquidColour(drink) || p.colour == kHeadColour);
                }
            }
    }
    // The stout's black liquid stays out of it.
    const Frame stout = GlassFrame(Drink::Guiness, Measure::Full, 15);
    const std::vector<bool> outline = GlassOutline(Measure::Full);
    EXPECT_FALSE(outline[13 * 16 + 7]);
    EXPECT_EQ(stout.at(13, 7), (Pixel{kOutlineColour, false}));
}

}  // namespace
}  // namespace quaff
