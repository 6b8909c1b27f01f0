// The counting period's stored text: what reads back exactly, and what is no period at all.
#include "core/counting_period.h"

#include <gtest/gtest.h>

namespace {

TEST(CountingPeriodTest, ReadsBackExactlyWhatItWroteAndNothingElse) {
    const quaff::CountingPeriod periods[] = {{46364.677400914350, 134412201274392760},
                                             {-1.25, 1},
                                             {0.1 + 0.2, 2'650'467'743'999'999'999}};
    for (const quaff::CountingPeriod& p : periods)
        EXPECT_EQ(quaff::ParsePeriod(quaff::PeriodText(p)), p) << quaff::PeriodText(p);
    EXPECT_EQ(quaff::PeriodText(periods[0]), "134412201274392760 46364.67740091435");

    for (const char* text :
         {"", "134412201274392760", "134412201274392760 ", " 1 46364.5", "1 46364.5 ", "1  46364.5",
          "1 46364,5", "x 46364.5", "0 46364.5", "-5 46364.5", "1 inf", "1 nan", "1 1e300",
          "1 46364.5x", "99999999999999999999 46364.5",
          // beyond the years 1 to 9999: the year 273 million, the year -2, the UTC year 10000
          "1 1e11", "1 -694000", "2650467744000000000 46364.5"})
        EXPECT_FALSE(quaff::ParsePeriod(text).has_value()) << "'" << text << "'";
}

}  // namespace
