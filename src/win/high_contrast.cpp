#include "win/high_contrast.h"

#include <windows.h>

namespace quaff::win {

namespace {
std::optional<bool> g_override;
}  // namespace

bool HighContrast() {
    if (g_override) return *g_override;
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof(hc);
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void OverrideHighContrast(std::optional<bool> on) { g_override = on; }

}  // namespace quaff::win
