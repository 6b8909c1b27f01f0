#include "win/dpi.h"

#include "win/handles.h"
#include "win/seam.h"

namespace quaff::win {

int DpiSource::SystemDpi() {
    static const int dpi = [] {
        ScreenDC dc;
        int value = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int DpiSource::ForWindow(HWND window) {
    // Windows 10 1607 and later; before them every window has the system DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto forWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const int dpi = forWindow && window ? static_cast<int>(forWindow(window)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

int CurrentDpi() { return Seam<DpiSource>::Current().SystemDpi(); }

int WindowDpi(HWND window) { return Seam<DpiSource>::Current().ForWindow(window); }

int ScaleDpi(int designUnits, int dpi) { return MulDiv(designUnits, dpi, 96); }

int UnscaleDpi(int pixels, int dpi) { return MulDiv(pixels, 96, dpi); }

int ScaleDpi(int designUnits) { return ScaleDpi(designUnits, CurrentDpi()); }

int UnscaleDpi(int pixels) { return UnscaleDpi(pixels, CurrentDpi()); }

}  // namespace quaff::win
