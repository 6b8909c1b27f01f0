#include "core/picture_draw.h"

#include <gtest/gtest.h>

namespace quaff {
namespace {

TEST(PictureDraw, FirstDrawOfARunIsAlwaysTheFirstPicture) {
    for (const uint32_t count : {1u, 2u, 31u, 1000u, 0xFFFFFFFFu}) {
        PictureDraw draw;
        EXPECT_EQ(draw.Next(count), 0u) << count;
    }
}

TEST(PictureDraw, LaterDrawsFollowTheFixedSequence) {
    constexpr uint32_t count = 1'000'000;
    PictureDraw draw;
    draw.Next(count);
    const double expected[] = {0.031, 0.861, 0.203};
    for (const double share : expected) {
        const uint32_t k = draw.Next(count);
        EXPECT_NEAR(k / double(count), share, 0.0005);
        EXPECT_LT(k, count);
    }
}

TEST(PictureDraw, SecondDrawNeedsThirtyTwoPictures) {
    const struct { uint32_t count, second; } cases[] = {{31, 0}, {32, 1}, {1, 0}};
    for (const auto& c : cases) {
        PictureDraw draw;
        draw.Next(c.count);
        EXPECT_EQ(draw.Next(c.count), c.second) << c.count;
    }
}

}  // namespace
}  // namespace quaff
