#include "core/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/errors.h"

namespace quaff {
namespace {

TEST(DaysInMonth, FollowsTheGregorianLeapRules) {
    const struct {
        int year, month, days;
    } cases[] = {
        {1900, 2, 28}, {2000, 2, 29}, {2024, 2, 29},  {2023, 2, 28}, {2100, 2, 28},
        {2024, 1, 31}, {2024, 4, 30}, {2024, 12, 31}, {2023, 9, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month);
        EXPECT_EQ(DaysInMonth(c.year, c.month), c.days);
    }
    EXPECT_THROW(DaysInMonth(2024, 0), ConvertError);
    EXPECT_THROW(DaysInMonth(2024, 13), ConvertError);
}

TEST(EncodeDateTime, CountsDaysFromTheEndOf1899) {
    const struct {
        int y, mo, d, h, mi, s, ms;
        double expected;
    } cases[] = {
        {1899, 12, 30, 0, 0, 0, 0, 0},     {1900, 1, 1, 0, 0, 0, 0, 2},
        {2000, 1, 1, 0, 0, 0, 0, 36526},   {2024, 2, 29, 12, 0, 0, 0, 45351.5},
        {1899, 12, 29, 6, 0, 0, 0, -1.25},  // before the epoch the time is after the sign
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms), c.expected);

    EXPECT_THROW(EncodeDateTime(2023, 2, 29, 0, 0, 0, 0), ConvertError);
    EXPECT_THROW(EncodeDateTime(2024, 1, 1, 24, 0, 0, 0), ConvertError);
    EXPECT_THROW(EncodeDateTime(0, 1, 1, 0, 0, 0, 0), ConvertError);
}

TEST(DecodeDateTime, InvertsEncodeAcrossCenturies) {
    // Every 37th day from 1601 to 2399, each with a different time of day.
    const double first = EncodeDateTime(1601, 1, 1, 0, 0, 0, 0);
    const double last = EncodeDateTime(2399, 12, 31, 0, 0, 0, 0);
    int checked = 0;
    for (double day = first; day <= last; day += 37, ++checked) {
        const DateTimeParts d = DecodeDateTime(day);
        const int h = checked % 24, mi = (checked * 7) % 60, s = (checked * 13) % 60,
                  ms = (checked * 101) % 1000;
        const DateTimeParts p =
            DecodeDateTime(EncodeDateTime(d.year, d.month, d.day, h, mi, s, ms));
        ASSERT_EQ(p.year, d.year);
        ASSERT_EQ(p.month, d.month);
        ASSERT_EQ(p.day, d.day);
        ASSERT_EQ(p.hour, h);
        ASSERT_EQ(p.minute, mi);
        ASSERT_EQ(p.second, s);
        ASSERT_EQ(p.millisecond, ms) << d.year << "-" << d.month << "-" << d.day;
    }
    EXPECT_GT(checked, 7000);

    // A hair before midnight rounds to the next day at 00:00:00.000.
    const DateTimeParts p = DecodeDateTime(EncodeDateTime(2024, 2, 29, 0, 0, 0, 0) + 0.9999999999);
    EXPECT_EQ(p.month, 3);
    EXPECT_EQ(p.day, 1);
    EXPECT_EQ(p.hour + p.minute + p.second + p.millisecond, 0);

    EXPECT_THROW(DecodeDateTime(std::numeric_limits<double>::quiet_NaN()), InvalidOpError);
}

TEST(DateTimeToStr, AppliesTheLocalePicturesAndOmitsMidnight) {
    const struct {
        int h, mi, s, ms;
        const char* date;
        const char* time;
        const char* expected;
    } cases[] = {
        {14, 7, 9, 0, "dd/MM/yyyy", "HH:mm:ss", "05/03/2024 14:07:09"},
        {14, 7, 9, 0, "M/d/yyyy", "h:mm:ss tt", "3/5/2024 2:07:09 PM"},
        {0, 30, 0, 0, "M/d/yyyy", "h:mm tt", "3/5/2024 12:30 AM"},
        {12, 30, 0, 0, "M/d/yyyy", "hh:mm t", "3/5/2024 12:30 P"},
        {0, 0, 0, 0, "dd/MM/yyyy", "HH:mm:ss", "05/03/2024"},
        {0, 0, 0, 500, "dd/MM/yyyy", "HH:mm:ss", "05/03/2024"},  // midnight to the second
        {0, 0, 1, 0, "dd/MM/yyyy", "HH:mm:ss", "05/03/2024 00:00:01"},
        {14, 7, 9, 0, "yyyy-MM-dd", "'at' HH'h'mm", "2024-03-05 at 14h07"},
        {14, 7, 9, 0, "ddd d MMM yy", "H 'o''clock'", "Tue 5 Mar 24 14 o'clock"},
        {14, 7, 9, 0, "dddd, MMMM d, yyyy", "H:m:s", "Tuesday, March 5, 2024 14:7:9"},
        {9, 0, 0, 0, "dd.MM.y", "HH", "05.03.24 09"},
    };
    const DateTime day = EncodeDateTime(2024, 3, 5, 0, 0, 0, 0);
    for (const auto& c : cases) {
        FormatSettings fs;
        fs.shortDateFormat = c.date;
        fs.longTimeFormat = c.time;
        EXPECT_EQ(
            DateTimeToStr(day + (((c.h * 60 + c.mi) * 60 + c.s) * 1000 + c.ms) / 86400000.0, fs),
            c.expected);
    }

    FormatSettings fs;
    fs.shortDateFormat = "d/M/y";
    EXPECT_EQ(DateTimeToStr(EncodeDateTime(2009, 3, 5, 0, 0, 0, 0), fs), "5/3/9");
    fs.longTimeFormat = "h t";
    fs.timePMString = "\xCE\xBC.\xCE\xBC.";  // Greek: one letter is two bytes
    EXPECT_EQ(DateTimeToStr(EncodeDateTime(2009, 3, 5, 14, 0, 0, 0), fs), "5/3/9 2 \xCE\xBC");
}

}  // namespace
}  // namespace quaff
