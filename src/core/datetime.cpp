#include "core/datetime.h"

#include <cmath>

#include "core/arithmetic.h"
#include "core/errors.h"

namespace quaff {
namespace {

constexpr int64_t kMsPerDay = 86'400'000;
// Days from 30 December 1899 to 1 January 1970.
constexpr int64_t kUnixEpochSerial = 25'569;

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// The day number (days since 30 December 1899) and the milliseconds into that day.
struct DayAndTime {
    int64_t day;
    int64_t ms;
};

DayAndTime Split(DateTime value) {
    const int64_t total = Round(value * static_cast<double>(kMsPerDay));
    return {total / kMsPerDay, std::abs(total % kMsPerDay)};
}

std::string Padded(int value, size_t width) {
    std::string s = std::to_string(value);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return s;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) throw ConvertError("Invalid argument to date encode");
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                        int millisecond) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        throw ConvertError("Invalid argument to date encode");
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        throw ConvertError("Invalid argument to time encode");
    const double date = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochSerial);
    const double time =
        static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) /
        static_cast<double>(kMsPerDay);
    return date < 0 ? date - time : date + time;
}

DateTimeParts DecodeDateTime(DateTime value) {
    const DayAndTime dt = Split(value);
    DateTimeParts p{};
    CivilFromDays(dt.day - kUnixEpochSerial, p.year, p.month, p.day);
    int64_t ms = dt.ms;
    p.millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    p.second = static_cast<int>(ms % 60);
    ms /= 60;
    p.minute = static_cast<int>(ms % 60);
    p.hour = static_cast<int>(ms / 60);
    return p;
}

int DayOfWeek(DateTime value) {
    // 30 December 1899 was a Saturday.
    const int64_t d = (Split(value).day + 6) % 7;
    return static_cast<int>(d < 0 ? d + 7 : d);
}

std::string FormatDateTimePicture(std::string_view picture, DateTime value,
                                  const FormatSettings& fs) {
    const DateTimeParts p = DecodeDateTime(value);
    std::string out;
    size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (c == '\'') {
            // A quoted literal; a doubled quote stands for one quote, inside or outside.
            ++i;
            if (i < picture.size() && picture[i] == '\'') {
                out += '\'';
                ++i;
                continue;
            }
            while (i < picture.size()) {
                if (picture[i] == '\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        const size_t width = run >= 2 ? 2 : 1;
        switch (c) {
            case 'd':
                if (run <= 2)
                    out += Padded(p.day, width);
                else
                    out += (run == 3 ? fs.shortDayNames : fs.longDayNames)[DayOfWeek(value)];
                break;
            case 'M':
                if (run <= 2)
                    out += Padded(p.month, width);
                else
                    out += (run == 3 ? fs.shortMonthNames : fs.longMonthNames)[p.month - 1];
                break;
            case 'y':
                out += run <= 2 ? Padded(p.year % 100, width) : Padded(p.year, 4);
                break;
            case 'h':
                out += Padded(p.hour % 12 == 0 ? 12 : p.hour % 12, width);
                break;
            case 'H':
                out += Padded(p.hour, width);
                break;
            case 'm':
                out += Padded(p.minute, width);
                break;
            case 's':
                out += Padded(p.second, width);
                break;
            case 't': {
                const std::string& designator = p.hour < 12 ? fs.timeAMString : fs.timePMString;
                // "t" is its first character, several bytes long in UTF-8 beyond ASCII.
                size_t first = designator.empty() ? 0 : 1;
                while (first < designator.size() && (designator[first] & 0xC0) == 0x80) ++first;
                out += run == 1 ? designator.substr(0, first) : designator;
                break;
            }
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

std::string DateTimeToStr(DateTime value, const FormatSettings& fs) {
    const DateTimeParts p = DecodeDateTime(value);
    std::string text = FormatDateTimePicture(fs.shortDateFormat, value, fs);
    if (p.hour != 0 || p.minute != 0 || p.second != 0) {
        text += ' ';
        text += FormatDateTimePicture(fs.longTimeFormat, value, fs);
    }
    return text;
}

}  // namespace quaff
