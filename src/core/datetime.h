// Date-time values as the program keeps them: days since 30 December 1899, the fraction
// being the time of day. Dates before that day are negative and carry the time of day as a
// positive fraction after the sign (-1.25 is 29 December 1899, 06:00).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/numtext.h"

namespace quaff {

using DateTime = double;

bool IsLeapYear(int year);
// Month 1 to 12; any other month throws ConvertError.
int DaysInMonth(int year, int month);

// Years 1 to 9999 and the usual ranges of the other parts; anything else throws
// ConvertError.
DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                        int millisecond);

struct DateTimeParts {
    int year, month, day, hour, minute, second, millisecond;
};
// Rounds to the nearest millisecond. A value that is not finite or lies beyond every
// representable day throws InvalidOpError.
DateTimeParts DecodeDateTime(DateTime value);
// 0 is Sunday.
int DayOfWeek(DateTime value);

// The short date, then, unless the time is midnight to the second, a blank and the long
// time, both by the pictures of `fs`.
std::string DateTimeToStr(DateTime value, const FormatSettings& fs);
// One Windows date or time picture applied to a value.
std::string FormatDateTimePicture(std::string_view picture, DateTime value,
                                  const FormatSettings& fs);

}  // namespace quaff
