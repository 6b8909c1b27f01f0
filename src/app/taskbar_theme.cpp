#include "app/taskbar_theme.h"

#include "win/high_contrast.h"

namespace quaff::app {

namespace {

constexpr char kPersonalizeKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

uint32_t SystemRgb(int index) {
    const COLORREF c = GetSysColor(index);
    return uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c);
}

COLORREF ColourRef(uint32_t rgb) { return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }

}  // namespace

std::optional<Taskbar> CurrentTaskbar() {
    if (win::HighContrast()) return Taskbar{SystemRgb(COLOR_WINDOW), SystemRgb(COLOR_WINDOWTEXT)};
    DWORD light = 1, size = sizeof(light);
    // A value of another type is no answer: RRF_RT_REG_DWORD refuses it.
    if (RegGetValueA(HKEY_CURRENT_USER, kPersonalizeKey, "SystemUsesLightTheme", RRF_RT_REG_DWORD,
                     nullptr, &light, &size) != ERROR_SUCCESS ||
        light != 0)
        return std::nullopt;
    return kDarkTaskbar;
}

TrayGlass TaskbarGlass(const std::optional<Taskbar>& taskbar, Drink drink) {
    if (!taskbar) return {};
    const GlassColours colours = GlassColoursOn(*taskbar, drink);
    return {ColourRef(colours.outline), colours.empty ? ColourRef(*colours.empty) : CLR_NONE};
}

bool IsThemeChange(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) return true;
    if (message != WM_SETTINGCHANGE) return false;
    return wParam == SPI_SETHIGHCONTRAST ||
           (lParam && lstrcmpA(reinterpret_cast<const char*>(lParam), "ImmersiveColorSet") == 0);
}

}  // namespace quaff::app
