#include "win/locale.h"

#include <array>
#include <optional>
#include <string>

namespace quaff::win {

namespace {

std::optional<FormatSettings>& Current() {
    static std::optional<FormatSettings> formats;
    return formats;
}

// In the program's code page: without LOCALE_USE_CP_ACP the call answers in the locale's own
// (Russian month names in 1251, say), which the program's windows would show as other letters.
std::string LocaleText(LCID locale, LCTYPE type) {
    char buf[128] = {};
    int n = GetLocaleInfoA(locale, type | LOCALE_USE_CP_ACP, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string();
}

// Names numbered from `first` in the locale's order; the locale numbers days from Monday,
// the formats keep them from Sunday (`rotate` = 1 moves the last, Sunday, to the front).
template <size_t N>
void ReadNames(LCID locale, LCTYPE first, std::array<std::string, N>& names, size_t rotate = 0) {
    for (size_t i = 0; i < N; ++i)
        if (std::string s = LocaleText(locale, first + static_cast<LCTYPE>(i)); !s.empty())
            names[(i + rotate) % N] = s;
}

}  // namespace

FormatSettings ReadLocale(LCID locale) {
    FormatSettings f;
    std::string decimal = LocaleText(locale, LOCALE_SDECIMAL);
    if (decimal.size() == 1) f.decimalSeparator = decimal[0];
    if (std::string s = LocaleText(locale, LOCALE_SSHORTDATE); !s.empty()) f.shortDateFormat = s;
    if (std::string s = LocaleText(locale, LOCALE_STIMEFORMAT); !s.empty()) f.longTimeFormat = s;
    if (std::string s = LocaleText(locale, LOCALE_S1159); !s.empty()) f.timeAMString = s;
    if (std::string s = LocaleText(locale, LOCALE_S2359); !s.empty()) f.timePMString = s;
    ReadNames(locale, LOCALE_SABBREVMONTHNAME1, f.shortMonthNames);
    ReadNames(locale, LOCALE_SMONTHNAME1, f.longMonthNames);
    ReadNames(locale, LOCALE_SABBREVDAYNAME1, f.shortDayNames, 1);
    ReadNames(locale, LOCALE_SDAYNAME1, f.longDayNames, 1);
    return f;
}

FormatSettings ReadUserLocale() { return ReadLocale(LOCALE_USER_DEFAULT); }

const FormatSettings& UserFormats() {
    if (!Current()) Current() = ReadUserLocale();
    return *Current();
}

void SetUserFormats(const FormatSettings& formats) { Current() = formats; }

}  // namespace quaff::win
