// The program's floating-point arithmetic: rounding to whole numbers, and division and
// multiplication that report division by zero, invalid operations and overflow as the
// program's errors (underflow passes), checked explicitly rather than left to floating-point
// traps, which differ between compilers and platforms.
#pragma once

#include <cstdint>

namespace quaff {

// Round to nearest with halves to the even neighbour, and round toward zero. A NaN, an
// infinity or a value outside the 64-bit range throws InvalidOpError.
int64_t Round(double value);
int64_t Trunc(double value);

// a / b. A zero divisor throws ZeroDivideError (InvalidOpError for 0 / 0); a NaN operand, or
// infinity by infinity, throws InvalidOpError; a finite quotient too large throws
// OverflowError.
double Divide(double a, double b);
// a * b. A NaN operand, or infinity times 0, throws InvalidOpError; a finite product too
// large throws OverflowError.
double Multiply(double a, double b);

}  // namespace quaff
