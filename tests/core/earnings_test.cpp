#include "core/earnings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/errors.h"

namespace quaff {
namespace {

const FormatSettings kDot;

// The example the pay arithmetic is checked against: 25000 a year, 5 days of 8 hours,
// drinks at 3.50, in a 31-day month.
TEST(Earnings, WorkedExample) {
    const double pay = PayPerSecond("025000.00", "8", "5", 31, kDot);
    EXPECT_NEAR(pay, 0.0032880892, 5e-11);

    const double hour = AmountEarned(pay, 3600);
    EXPECT_NEAR(hour, 11.83712, 5e-6);
    const DrinkFrame afterHour = IconNumber(hour, hour, "03.50", kDot);
    EXPECT_EQ(afterHour.drinkCount, 3);
    EXPECT_EQ(afterHour.frame, 6);  // Round(54.1126) = 54, less three sixteens
    EXPECT_EQ(DrinksHint(afterHour.drinkCount, kDot), "3 drinks earnt");

    const double almost = AmountEarned(pay, 1064);
    EXPECT_NEAR(almost, 3.49853, 5e-6);
    const DrinkFrame beforeFirst = IconNumber(almost, almost, "03.50", kDot);
    EXPECT_EQ(beforeFirst.drinkCount, 0);
    EXPECT_EQ(beforeFirst.frame, 0);  // Round(15.9933) = 16 wraps before the count goes up
}

// With a salary of 12 a year and one hour a day, 1 / (pay per second * 3600) is the number
// of working days the month was given.
TEST(PayPerSecond, WorkingDaysOfTheMonth) {
    const struct {
        const char* days;
        int daysInMonth, workingDays;
    } cases[] = {
        {"5", 29, 21},  // leap February: Round(20.714)
        {"5", 28, 20}, {"7", 30, 30}, {"7", 28, 28},  {"5", 31, 22},
        {"5", 30, 21}, {"3", 28, 12}, {"$5", 31, 22}, {" +5", 31, 22},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.days << " in " << c.daysInMonth);
        const double pay = PayPerSecond("12", "1", c.days, c.daysInMonth, kDot);
        EXPECT_NEAR(1 / (pay * 3600), c.workingDays, 1e-9);
    }
}

TEST(PayPerSecond, ArithmeticFailuresYieldZero) {
    const struct {
        const char *salary, *hours, *days;
    } cases[] = {
        {"      .  ", "8", "5"},                        // empty salary field: 0, no error
        {"25000", "0", "5"},                            // division by zero hours
        {"25000", "  .  ", "5"},  {"25000", "8", "0"},  // no working days
        {"0", "0", "0"},                                // 0 / 0
        {"1e308", "1e-300", "5"},                       // overflow
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.salary << "|" << c.hours << "|" << c.days);
        EXPECT_EQ(PayPerSecond(c.salary, c.hours, c.days, 31, kDot), 0);
    }
    EXPECT_GT(PayPerSecond("25000", "7.5", "5", 31, kDot), 0);
}

TEST(PayPerSecond, ConversionErrorsReachTheCallerInOrder) {
    FormatSettings comma;
    comma.decimalSeparator = ',';
    const struct {
        const char *salary, *hours, *days;
        const FormatSettings& fs;
        const char* message;
    } cases[] = {
        {"x", "y", "z", kDot, "'x' is not a valid floating point value"},
        {"1", "y", "z", kDot, "'y' is not a valid floating point value"},
        {"1", "8", "z", kDot, "'z' is not a valid integer value"},
        {"1", "8", "5.5", kDot, "'5.5' is not a valid integer value"},
        {"1", "8", "5 ", kDot, "'5 ' is not a valid integer value"},
        {"", "8", "5", kDot, "'' is not a valid floating point value"},
        {"025000.00", "8", "5", comma, "'025000.00' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            PayPerSecond(c.salary, c.hours, c.days, 31, c.fs);
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(ElapsedSeconds, WholeSecondsEitherWayClamped) {
    constexpr int64_t s = 10'000'000;
    const struct {
        int64_t start, now;
        int32_t expected;
    } cases[] = {
        {0, s, 1},
        {0, s - 1, 0},
        {5 * s, 0, 5},                                                        // the clock went back
        {133'000'000'000'000'000, 133'000'000'000'000'000 + 3600 * s, 3600},  // exact
        {0, (int64_t{INT32_MAX} + 1) * s, INT32_MAX},
        {INT64_MIN, INT64_MAX, INT32_MAX},
        {INT64_MAX, INT64_MIN, INT32_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(ElapsedSeconds(c.start, c.now), c.expected);
}

TEST(AmountEarned, OverflowIsAnError) {
    EXPECT_EQ(AmountEarned(0.5, 7), 3.5);
    EXPECT_THROW(AmountEarned(1e300, INT32_MAX), OverflowError);
    EXPECT_THROW(AmountEarned(std::numeric_limits<double>::quiet_NaN(), 1), InvalidOpError);
}

TEST(IconNumber, CountsDrinksAndSixteenths) {
    const double price = 2.5;
    const struct {
        double amount;
        double count;
        int frame;
    } cases[] = {
        {0, 0, 0},
        {2 * price, 2, 0},
        {price * 15 / 16, 0, 15},
        {price * 15.75 / 16, 0, 0},  // rounds to 16 and wraps
        {price * 0.5 / 16, 0, 0},    // half a step: halves to even
        {price * 1.5 / 16, 0, 2},
        {price * (3 + 7.0 / 16), 3, 7},
        {-price * 17 / 16, -1, -17},  // a negative frame is left as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.amount);
        const DrinkFrame f = IconNumber(c.amount, c.amount, "02.50", kDot);
        EXPECT_EQ(f.drinkCount, c.count);
        EXPECT_EQ(f.frame, c.frame);
    }
    // The count comes from the amount passed in, the frame from the amount earned.
    const DrinkFrame mixed = IconNumber(10, price * 3 / 16, "2.5", kDot);
    EXPECT_EQ(mixed.drinkCount, 4);
    EXPECT_EQ(mixed.frame, 3);
}

TEST(IconNumber, HugeAmountReturnsAtOnce) {
    // 2^52 + 8 sixteenths: counting down by sixteens would take 2^48 steps.
    const double amount = 0x1p48 + 0.5;
    const DrinkFrame f = IconNumber(amount, amount, "1", kDot);
    EXPECT_EQ(f.drinkCount, 0x1p48);
    EXPECT_EQ(f.frame, 8);
}

TEST(IconNumber, FailuresCarryTheProgramsMessages) {
    const struct {
        double amount;
        const char* price;
        const char* message;
    } cases[] = {
        {5, "0", "Floating point division by zero"},
        {5, "00.00", "Floating point division by zero"},
        {0, "  .  ", "Invalid floating point operation"},  // 0 / 0 from an empty price
        {1e300, "1e-320", "Floating point overflow"},
        {1e300, "1", "Invalid floating point operation"},  // too many drinks to count
        {std::numeric_limits<double>::quiet_NaN(), "1", "Invalid floating point operation"},
        {5, "abc", "'abc' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.price);
        try {
            IconNumber(c.amount, c.amount, c.price, kDot);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_THROW(IconNumber(5, 5, "0", kDot), ZeroDivideError);
    EXPECT_THROW(IconNumber(0, 0, "0", kDot), InvalidOpError);
}

TEST(DrinksHint, UsesTheGeneralFormat) {
    EXPECT_EQ(DrinksHint(0, kDot), "0 drinks earnt");
    EXPECT_EQ(DrinksHint(1e20, kDot), "1E20 drinks earnt");
}

}  // namespace
}  // namespace quaff
