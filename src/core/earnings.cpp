#include "core/earnings.h"

#include <climits>

#include "core/arithmetic.h"
#include "core/errors.h"

namespace quaff {
namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;

}  // namespace

double PayPerSecond(std::string_view salary, std::string_view hoursADay, std::string_view daysAWeek,
                    int daysInMonth, const FormatSettings& fs) {
    const double yearly = StrToFloat(salary, fs);
    const double hours = StrToFloat(hoursADay, fs);
    const int32_t days = StrToInt(daysAWeek);
    try {
        const double monthly = Divide(yearly, 12);
        const double weeks = Divide(daysInMonth, 7);
        const double workingDays = static_cast<double>(Round(Multiply(days, weeks)));
        return Divide(Divide(Divide(Divide(monthly, workingDays), hours), 60), 60);
    } catch (const ZeroDivideError&) {
    } catch (const InvalidOpError&) {
    } catch (const OverflowError&) {}
    return 0;
}

int32_t ElapsedSeconds(int64_t startUtcTicks, int64_t nowUtcTicks) {
    // Unsigned difference: exact for any two readings, even at the ends of the range.
    const uint64_t diff =
        nowUtcTicks >= startUtcTicks
            ? static_cast<uint64_t>(nowUtcTicks) - static_cast<uint64_t>(startUtcTicks)
            : static_cast<uint64_t>(startUtcTicks) - static_cast<uint64_t>(nowUtcTicks);
    const uint64_t seconds = diff / kTicksPerSecond;
    return seconds > INT32_MAX ? INT32_MAX : static_cast<int32_t>(seconds);
}

double AmountEarned(double payPerSecond, int32_t elapsedSeconds) {
    return Multiply(payPerSecond, elapsedSeconds);
}

DrinkFrame IconNumber(double amount, double amountEarned, std::string_view priceOfDrink,
                      const FormatSettings& fs) {
    const double price = StrToFloat(priceOfDrink, fs);
    const double drinkCount = static_cast<double>(Trunc(Divide(amount, price)));
    const double step = Divide(price, 16);
    int64_t n = Round(Divide(amountEarned, step));
    // Counting down from n by sixteens; a negative n is left as it is.
    if (n >= 16) n %= 16;
    return {drinkCount, n < INT_MIN ? INT_MIN : static_cast<int>(n)};
}

std::string DrinksHint(double drinkCount, const FormatSettings& fs) {
    return FloatToStr(drinkCount, fs) + " drinks earnt";
}

}  // namespace quaff
