#include "win/dpi.h"

#include <windows.h>

#include "win/handles.h"

namespace quaff::win {

namespace {

int SystemDpi() {
    static const int dpi = [] {
        ScreenDC dc;
        int value = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int g_dpiOverride = 0;

}  // namespace

int CurrentDpi() { return g_dpiOverride > 0 ? g_dpiOverride : SystemDpi(); }

void OverrideDpi(int dpi) { g_dpiOverride = dpi; }

int ScaleDpi(int designUnits) { return MulDiv(designUnits, CurrentDpi(), 96); }

int UnscaleDpi(int pixels) { return MulDiv(pixels, 96, CurrentDpi()); }

}  // namespace quaff::win
