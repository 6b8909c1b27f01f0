#include "core/picture_scale.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quaff {
namespace {

Picture Make(int w, int h, uint32_t (*colour)(int x, int y)) {
    Picture p;
    p.width = w;
    p.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.pixels.push_back(colour(x, y));
    return p;
}

TEST(ShrinkTo, EachTargetPixelIsTheMeanOfTheBlockItCovers) {
    // Four 3x2 blocks of one colour each shrink to their four colours; a block of two
    // alternating colours shrinks to their mean.
    Picture blocks = Make(6, 4, [](int x, int y) -> uint32_t {
        static const uint32_t c[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
        return c[(y / 2) * 2 + x / 3];
    });
    Picture out = ShrinkTo(blocks, 2, 2);
    ASSERT_EQ(out.width, 2);
    ASSERT_EQ(out.height, 2);
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x808080}));

    Picture stripes =
        Make(4, 2, [](int x, int) -> uint32_t { return x % 2 ? 0x204060 : 0x000000; });
    EXPECT_EQ(ShrinkTo(stripes, 1, 1).pixels, std::vector<uint32_t>{0x102030});
}

TEST(ShrinkTo, KeepsPicturesThatAreNotLargerInBothDirections) {
    struct Case {
        int w, h, tw, th;
    } cases[] = {
        {10, 10, 10, 10}, {10, 10, 20, 5}, {10, 10, 5, 20}, {10, 10, 0, 5}, {10, 10, 5, -1}};
    for (const Case& c : cases) {
        Picture p = Make(c.w, c.h, [](int x, int y) -> uint32_t { return x * 16 + y; });
        Picture out = ShrinkTo(p, c.tw, c.th);
        EXPECT_EQ(out.width, c.w) << c.tw << "x" << c.th;
        EXPECT_EQ(out.pixels, p.pixels) << c.tw << "x" << c.th;
    }
}

TEST(ShrinkTo, OddSizesCoverEverySourcePixelOnce) {
    // 7x5 of one colour to 3x2: every target pixel has that colour (no gaps, no overrun).
    Picture p = Make(7, 5, [](int, int) -> uint32_t { return 0x123456; });
    Picture out = ShrinkTo(p, 3, 2);
    EXPECT_EQ(out.pixels, std::vector<uint32_t>(6, 0x123456));
}

}  // namespace
}  // namespace quaff
