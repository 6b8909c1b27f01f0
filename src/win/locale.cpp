#include "win/locale.h"

#include <windows.h>

#include <optional>
#include <string>

namespace quaff::win {

namespace {

std::optional<FormatSettings>& Current() {
    static std::optional<FormatSettings> formats;
    return formats;
}

std::string LocaleText(LCTYPE type) {
    char buf[128] = {};
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string();
}

}  // namespace

FormatSettings ReadUserLocale() {
    FormatSettings f;
    std::string decimal = LocaleText(LOCALE_SDECIMAL);
    if (decimal.size() == 1) f.decimalSeparator = decimal[0];
    if (std::string s = LocaleText(LOCALE_SSHORTDATE); !s.empty()) f.shortDateFormat = s;
    if (std::string s = LocaleText(LOCALE_STIMEFORMAT); !s.empty()) f.longTimeFormat = s;
    if (std::string s = LocaleText(LOCALE_S1159); !s.empty()) f.timeAMString = s;
    if (std::string s = LocaleText(LOCALE_S2359); !s.empty()) f.timePMString = s;
    return f;
}

const FormatSettings& UserFormats() {
    if (!Current()) Current() = ReadUserLocale();
    return *Current();
}

void SetUserFormats(const FormatSettings& formats) { Current() = formats; }

}  // namespace quaff::win
