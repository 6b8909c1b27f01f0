// Linked into the program to show it as it runs with high contrast on, for the README's
// screenshot: Wine refuses to switch high contrast on (SPI_SETHIGHCONTRAST), so the program's
// answer is forced before it starts. Run it in a prefix whose system colours are a
// high-contrast scheme.
#include "win/high_contrast.h"
#include "win/seam.h"

namespace {
struct AlwaysOn : quaff::win::HighContrastSetting {
    bool On() override { return true; }
} g_on;
const quaff::win::Seam<quaff::win::HighContrastSetting> kForced(g_on);
}  // namespace
