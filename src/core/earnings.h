// The pay arithmetic behind the monitor window: pay per second for a month, the amount
// earned over a counting period, and the whole drinks and glass frame that amount buys.
// Pure functions; the monitor window loads the settings and supplies the clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/numtext.h"

namespace quaff {

// Converts salary (float), hours (float) and days (integer) in that order; a conversion
// error propagates. Then monthly pay = salary / 12, working days = Round(days *
// (daysInMonth / 7)), pay per second = monthly / working days / hours / 60 / 60. Division by
// zero, invalid operations and overflow in that arithmetic are caught and yield 0, which
// makes the amount, the drinks and the frame 0.
double PayPerSecond(std::string_view salary, std::string_view hoursADay, std::string_view daysAWeek,
                    int daysInMonth, const FormatSettings& fs);

// Whole seconds between two UTC clock readings in 100 ns units, in either order, at most
// INT32_MAX. The UTC clock does not jump when daylight-saving time starts or ends.
int32_t ElapsedSeconds(int64_t startUtcTicks, int64_t nowUtcTicks);

// payPerSecond * elapsedSeconds; a result too large for a double throws OverflowError and
// a NaN pay throws InvalidOpError.
double AmountEarned(double payPerSecond, int32_t elapsedSeconds);

struct DrinkFrame {
    double drinkCount;  // whole drinks, Trunc(amount / price)
    int frame;          // sixteenths of the current drink, 0 to 15 (negative for a negative amount)
};

// Converts the price (a conversion error propagates). A price of 0 throws ZeroDivideError,
// or InvalidOpError when the amount is 0 too; an overflow throws OverflowError; a quotient
// beyond the 64-bit range throws InvalidOpError.
DrinkFrame IconNumber(double amount, double amountEarned, std::string_view priceOfDrink,
                      const FormatSettings& fs);

// For example "3 drinks earnt".
std::string DrinksHint(double drinkCount, const FormatSettings& fs);

}  // namespace quaff
