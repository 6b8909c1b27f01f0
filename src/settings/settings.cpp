#include "settings/settings.h"

#include "win/registry.h"

namespace quaff {

namespace {

constexpr const char* kKey = "\\Software\\Orvik\\Quaffometer";
constexpr const char* kSection = "Settings";
constexpr const char* kPeriodValue = "PeriodStart";

}  // namespace

bool SaveSettings(const TBeer& beer) noexcept {
    try {
        win::RegIniFile ini(HKEY_CURRENT_USER, KEY_WRITE);
        if (!ini.OpenKey(kKey, true)) return false;
        // A value the accessor had to skip does not end the save: the rest are still
        // written, and the answer is false.
        bool all = true;
        for (const StoredSetting& s : kStoredSettings)
            all &= s.text ? ini.WriteString(kSection, s.valueName, beer.*s.text)
                          : ini.WriteInteger(kSection, s.valueName, beer.*s.number);
        return all;
    } catch (...) {
        return false;
    }
}

void LoadSettings(TBeer& beer) noexcept {
    try {
        win::RegIniFile ini(HKEY_CURRENT_USER, KEY_READ);
        // Creating the key on a first run leaves it behind empty; the section is never
        // created here. When the key cannot be had at all, every read yields its default.
        ini.OpenKey(kKey, true);
        for (const StoredSetting& s : kStoredSettings) {
            if (s.text)
                beer.*s.text = ini.ReadString(kSection, s.valueName, "");
            else
                beer.*s.number = ini.ReadInteger(kSection, s.valueName, -1);
        }
    } catch (...) {
        // Stops at the value that failed; the fields read so far keep what they got.
    }
}

bool SaveCountingPeriod(const CountingPeriod& period) noexcept {
    try {
        win::RegIniFile ini(HKEY_CURRENT_USER, KEY_WRITE);
        return ini.OpenKey(kKey, true) &&
               ini.WriteString(kSection, kPeriodValue, PeriodText(period));
    } catch (...) {
        return false;
    }
}

bool ClearCountingPeriod() noexcept {
    try {
        win::RegIniFile ini(HKEY_CURRENT_USER, KEY_WRITE);
        if (ini.OpenKey(kKey, false)) return ini.DeleteValue(kSection, kPeriodValue);
        // No key to write to: ended as long as no period is there to be resumed.
        return !LoadCountingPeriod();
    } catch (...) {
        return false;
    }
}

std::optional<CountingPeriod> LoadCountingPeriod() noexcept {
    try {
        win::RegIniFile ini(HKEY_CURRENT_USER, KEY_READ);
        if (!ini.OpenKey(kKey, false)) return std::nullopt;
        return ParsePeriod(ini.ReadString(kSection, kPeriodValue, ""));
    } catch (...) {
        return std::nullopt;  // a value of another type is no period either
    }
}

}  // namespace quaff
