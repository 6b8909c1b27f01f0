#include "core/earnings.h"

#include <climits>
#include <cmath>

#include "core/datetime.h"
#include "core/errors.h"

namespace quaff {
namespace {

// The program reports division by zero, invalid operations and overflow as errors and lets
// underflow pass. These helpers check for the three explicitly rather than relying on
// floating-point traps, which differ between compilers and platforms.
void CheckOperands(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) throw InvalidOpError();
}

void CheckResult(double a, double b, double r) {
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b)) throw OverflowError();
}

double Divide(double a, double b) {
    CheckOperands(a, b);
    if (b == 0) {
        if (a == 0) throw InvalidOpError();
        if (std::isfinite(a)) throw ZeroDivideError();
    }
    if (std::isinf(a) && std::isinf(b)) throw InvalidOpError();
    const double r = a / b;
    CheckResult(a, b, r);
    return r;
}

double Multiply(double a, double b) {
    CheckOperands(a, b);
    if ((std::isinf(a) && b == 0) || (a == 0 && std::isinf(b))) throw InvalidOpError();
    const double r = a * b;
    CheckResult(a, b, r);
    return r;
}

constexpr int64_t kTicksPerSecond = 10'000'000;

}  // namespace

double PayPerSecond(std::string_view salary, std::string_view hoursADay,
                    std::string_view daysAWeek, int daysInMonth, const FormatSettings& fs) {
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
    } catch (const OverflowError&) {
    }
    return 0;
}

int32_t ElapsedSeconds(int64_t startUtcTicks, int64_t nowUtcTicks) {
    // Unsigned difference: exact for any two readings, even at the ends of the range.
    const uint64_t diff = nowUtcTicks >= startUtcTicks
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

int IconSetIndex(int32_t iconSet) { return iconSet >= 0 && iconSet <= 5 ? iconSet : 0; }

}  // namespace quaff
