// Linked into the program to show it as it runs with high contrast on, for the README's
// screenshot: Wine refuses to switch high contrast on (SPI_SETHIGHCONTRAST), so the program's
// answer is forced before it starts. Run it in a prefix whose system colours are a
// high-contrast scheme.
#include "win/high_contrast.h"

namespace {
const bool kForced = (quaff::win::OverrideHighContrast(true), true);
}  // namespace
