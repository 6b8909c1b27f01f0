// Whether the user has high contrast on: every window then draws in the system colours, which
// the user chose to be able to read, instead of the colours it was designed with.
#pragma once

#include <optional>

namespace quaff::win {

// The system's answer (SPI_GETHIGHCONTRAST), read each time: the user switches it while the
// program runs, and windows redraw on WM_SYSCOLORCHANGE / WM_SETTINGCHANGE.
bool HighContrast();

// Answers `on` instead of the system (nullopt: the system again). Wine cannot switch high
// contrast on (SPI_SETHIGHCONTRAST is refused), so tests reach it this way.
void OverrideHighContrast(std::optional<bool> on);

}  // namespace quaff::win
