#include "win/high_contrast.h"

#include <windows.h>

#include "win/seam.h"

namespace quaff::win {

bool HighContrast() { return Seam<HighContrastSetting>::Current().On(); }

bool HighContrastSetting::On() {
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof(hc);
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace quaff::win
