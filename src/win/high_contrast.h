// Whether the user has high contrast on: every window then draws in the system colours, which
// the user chose to be able to read, instead of the colours it was designed with.
#pragma once

namespace quaff::win {

// Read each time: the user switches it while the program runs, and windows redraw on
// WM_SYSCOLORCHANGE / WM_SETTINGCHANGE.
bool HighContrast();

// Where the answer comes from. This class asks the system (SPI_GETHIGHCONTRAST); tests install
// their own (win::Seam), as Wine cannot switch high contrast on (SPI_SETHIGHCONTRAST is
// refused).
class HighContrastSetting {
public:
    virtual ~HighContrastSetting() = default;
    virtual bool On();
};

}  // namespace quaff::win
