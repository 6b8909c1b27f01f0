#include "core/arithmetic.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/errors.h"

namespace quaff {
namespace {

TEST(RoundAndTrunc, HalvesGoToEvenAndBadValuesFail) {
    const struct {
        double value;
        int64_t round, trunc;
    } cases[] = {
        {0.5, 0, 0},
        {1.5, 2, 1},
        {2.5, 2, 2},
        {-0.5, 0, 0},
        {-1.5, -2, -1},
        {-2.5, -2, -2},
        {2.4999999, 2, 2},
        {2.5000001, 3, 2},
        {54.1126, 54, 54},
        {15.9933, 16, 15},
        {-2.9, -3, -2},
        {4503599627370497.0, 4503599627370497, 4503599627370497},  // 2^52 + 1
        {-0x1p63, INT64_MIN, INT64_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Round(c.value), c.round);
        EXPECT_EQ(Trunc(c.value), c.trunc);
    }
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          0x1p63,
                          1e19,
                          -1e19};
    for (const double v : bad) {
        SCOPED_TRACE(v);
        EXPECT_THROW(Round(v), InvalidOpError);
        EXPECT_THROW(Trunc(v), InvalidOpError);
    }
}

}  // namespace
}  // namespace quaff
