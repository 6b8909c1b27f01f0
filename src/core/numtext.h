// Conversions between number texts and numbers, by the rules the program applies to the
// settings it stores as text. Locale-dependent parts come in through FormatSettings, which
// the Windows side fills from the user's locale at start-up; the defaults are neutral.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quaff {

struct FormatSettings {
    char decimalSeparator = '.';
    // Windows locale pictures (d dd ddd dddd M MM MMM MMMM y yy yyyy h hh H HH m mm s ss
    // t tt and 'quoted literals'), as the locale gives them.
    std::string shortDateFormat = "dd/MM/yyyy";
    std::string longTimeFormat = "HH:mm:ss";
    std::string timeAMString = "AM";
    std::string timePMString = "PM";
    // Month names January first; day names Sunday first.
    std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> longMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> longDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
};

// Blanks (spaces only) around the number are skipped; then an optional sign, digits, an
// optional decimal separator with digits, an optional exponent "E"/"e" with optional sign
// and digits. A lone separator reads as 0. Anything else, including a value beyond the
// range of a double, throws ConvertError "'<text>' is not a valid floating point value".
// Values too small for a double read as 0.
double StrToFloat(std::string_view text, const FormatSettings& fs);
std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& fs);

// Leading blanks, then an optional sign and decimal digits, or a hexadecimal form
// ("$", "x", "X", "0x", "0X" and up to eight significant hex digits, no sign). Nothing may
// follow. Decimal values must fit 32 bits signed; hexadecimal ones are taken as a 32-bit
// pattern, so $FFFFFFFF is -1. Failure throws ConvertError "'<text>' is not a valid integer
// value".
int32_t StrToInt(std::string_view text);
std::optional<int32_t> TryStrToInt(std::string_view text);

// General format with 15 significant digits: trailing zeros dropped, whole numbers without
// a separator, scientific form ("1.5E20", "1E-6") when the value has more than 15 digits
// before the separator or is below 0.00001 in magnitude.
std::string FloatToStr(double value, const FormatSettings& fs);
std::string IntToStr(int64_t value);

}  // namespace quaff
