#pragma once
// The six icon sets: the one table every other place takes them from (the artwork generator
// and the resource script it writes, the monitor window's image lists, the settings dialog's
// combo box, the choice of a set by its stored number).

#include <array>
#include <cstdint>
#include <string>

namespace quaff {

enum class Drink { Bitter, Guiness, Lager };
enum class Measure { Full, Half };

struct IconSet {
    int32_t number;            // 0 to 5: the stored setting, and the item's index in the box
    const char* itemText;      // the settings dialog's item, e.g. "Bitter Full"
    const char* listName;      // the monitor window's image list, e.g. "BitterLarge"
    const char* resourceName;  // the image-list stream built into the program, e.g. "BITTERLARGE"
    Drink drink;
    Measure measure;
};

constexpr int kIconSetCount = 6;
// The sets in the order of their numbers.
inline constexpr std::array<IconSet, kIconSetCount> kIconSets = {{
    {0, "Bitter Full", "BitterLarge", "BITTERLARGE", Drink::Bitter, Measure::Full},
    {1, "Bitter Half", "BitterSmall", "BITTERSMALL", Drink::Bitter, Measure::Half},
    {2, "Guiness Full", "GuinessLarge", "GUINESSLARGE", Drink::Guiness, Measure::Full},
    {3, "Guiness Half", "GuinessSmall", "GUINESSSMALL", Drink::Guiness, Measure::Half},
    {4, "Lager Full", "LagerLarge", "LAGERLARGE", Drink::Lager, Measure::Full},
    {5, "Lager Half", "LagerSmall", "LAGERSMALL", Drink::Lager, Measure::Half},
}};

// The set a stored number selects: numbers 0 to 5 are kept, any other (-1 when nothing is
// stored) falls back to set 0, "Bitter Full".
constexpr const IconSet& IconSetByNumber(int32_t number) {
    return kIconSets[number >= 0 && number < kIconSetCount ? number : 0];
}

// The settings dialog's items in number order, separated by '\n'.
const std::string& IconSetItems();

}  // namespace quaff
