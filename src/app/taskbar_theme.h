// Whether the user's taskbar is dark, and the colour the glass's outline takes on it: black
// disappears on a dark taskbar (the empty glass of frame 0 with it).
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h (CLR_NONE)
#include <commctrl.h>

namespace quaff::app {

// The outline colour for the taskbar as the user's settings have it now: the light outline
// when HKCU\...\Themes\Personalize holds SystemUsesLightTheme as the DWORD 0, otherwise (a
// light taskbar, or a Windows or Wine that has no such value) CLR_NONE, the artwork as drawn.
COLORREF TaskbarOutlineColour();

// Whether a message tells that the user's light or dark choice may have changed: the
// WM_SETTINGCHANGE that Windows broadcasts to top-level windows with "ImmersiveColorSet".
bool IsThemeChange(UINT message, LPARAM lParam);

}  // namespace quaff::app
