// The taskbar the glass is shown on, as the user's settings have it now, and the colours the
// glass takes there: black disappears on a dark taskbar (the empty glass of frame 0 with it,
// and a stout's liquid), and in high contrast the user's own colours are the ones to read.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h (CLR_NONE)
#include <commctrl.h>

#include <optional>

#include "core/glass_contrast.h"

namespace quaff::app {

// In high contrast the system's window and text colours; a dark taskbar when
// HKCU\...\Themes\Personalize holds SystemUsesLightTheme as the DWORD 0; otherwise none (a
// light taskbar, or a Windows or Wine that has no such value: the artwork as drawn).
std::optional<Taskbar> CurrentTaskbar();

// The colours the tray draws the glass of `drink` in on `taskbar` (CLR_NONE: as drawn).
struct TrayGlass {
    COLORREF outline = CLR_NONE;
    COLORREF empty = CLR_NONE;
};
TrayGlass TaskbarGlass(const std::optional<Taskbar>& taskbar, Drink drink);

// Whether a message tells that the taskbar's look may have changed: the WM_SETTINGCHANGE that
// Windows broadcasts to top-level windows with "ImmersiveColorSet" (light or dark) or for
// high contrast, and WM_SYSCOLORCHANGE.
bool IsThemeChange(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quaff::app
