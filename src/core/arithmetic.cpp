#include "core/arithmetic.h"

#include <cmath>

#include "core/errors.h"

namespace quaff {

namespace {

void CheckInt64Range(double v) {
    // Written so that a NaN fails too.
    if (!(v >= -0x1p63 && v < 0x1p63)) throw InvalidOpError();
}

void CheckOperands(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) throw InvalidOpError();
}

void CheckResult(double a, double b, double r) {
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b)) throw OverflowError();
}

}  // namespace

int64_t Round(double value) {
    CheckInt64Range(value);
    double whole = std::floor(value);
    const double fraction = value - whole;  // exact for doubles
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    return static_cast<int64_t>(whole);
}

int64_t Trunc(double value) {
    CheckInt64Range(value);
    return static_cast<int64_t>(std::trunc(value));
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

}  // namespace quaff
