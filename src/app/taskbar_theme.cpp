#include "app/taskbar_theme.h"

#include "core/artwork.h"

namespace quaff::app {

namespace {
constexpr char kPersonalizeKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
}  // namespace

COLORREF TaskbarOutlineColour() {
    DWORD light = 1, size = sizeof(light);
    // A value of another type is no answer: RRF_RT_REG_DWORD refuses it.
    if (RegGetValueA(HKEY_CURRENT_USER, kPersonalizeKey, "SystemUsesLightTheme", RRF_RT_REG_DWORD,
                     nullptr, &light, &size) != ERROR_SUCCESS ||
        light != 0)
        return CLR_NONE;
    return RGB(kLightOutline >> 16 & 0xFF, kLightOutline >> 8 & 0xFF, kLightOutline & 0xFF);
}

bool IsThemeChange(UINT message, LPARAM lParam) {
    return message == WM_SETTINGCHANGE && lParam &&
           lstrcmpA(reinterpret_cast<const char*>(lParam), "ImmersiveColorSet") == 0;
}

}  // namespace quaff::app
