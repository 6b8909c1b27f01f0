// The user's settings and their home in the current user's registry. Nothing is cached:
// every consumer makes a fresh record and loads it, so a save is seen by the next load.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/counting_period.h"

namespace quaff {

// The numeric settings stay text as typed; each consumer converts them when it uses them.
struct TBeer {
    std::string UserName;
    std::string Salary;        // annual salary, e.g. 025000.00
    std::string DaysAWeek;     // 1 to 7
    std::string HoursADay;     // 1 to 24
    std::string PriceOfDrink;  // e.g. 02.50
    int32_t IconSet = 0;       // -1 when nothing is stored
    std::string ImageDir;      // normally ends in "\"

    bool operator==(const TBeer&) const = default;
};

// The seven stored settings in the order they are written and read: the registry value (in
// the Settings section), the settings dialog's field and the record's member. IconSet is the
// one number (the dialog's combo box item); the others are text.
struct StoredSetting {
    const char* valueName;
    const char* field;
    std::string TBeer::*text = nullptr;
    int32_t TBeer::*number = nullptr;
};
inline constexpr StoredSetting kStoredSettings[] = {
    {"UserName", "edName", &TBeer::UserName},
    {"Salary", "edSalary", &TBeer::Salary},
    {"DaysAWeek", "edDays", &TBeer::DaysAWeek},
    {"HoursADay", "edHours", &TBeer::HoursADay},
    {"PriceOfDrink", "edPrice", &TBeer::PriceOfDrink},
    {"IconSet", "cbIconSet", nullptr, &TBeer::IconSet},
    {"ImageDir", "edImageDir", &TBeer::ImageDir},
};

// Writes all seven values under HKEY_CURRENT_USER\Software\Orvik\Quaffometer\Settings.
// Answers true only when every one of them was written; nothing is shown on failure, and
// values written before a failure stay written.
bool SaveSettings(const TBeer& beer) noexcept;

// The counting period under way, kept beside the seven values in one of its own
// ("PeriodStart", which earlier versions do not read) so that the next start resumes it.
// Saving answers whether the registry took it; clearing, whether no period is stored now
// (a registry that refuses the clearing would have the next start resume the period).
bool SaveCountingPeriod(const CountingPeriod& period) noexcept;
bool ClearCountingPeriod() noexcept;
// The stored period; nothing when none is stored or what is stored cannot be read.
std::optional<CountingPeriod> LoadCountingPeriod() noexcept;

// Fills the record from the registry. A missing value reads as empty text (IconSet -1). The
// load stops silently at the first value it cannot read (one that is not text, say): the
// fields before it are filled and the rest keep what the record held.
void LoadSettings(TBeer& beer) noexcept;

}  // namespace quaff
