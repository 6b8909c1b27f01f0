// Real fonts for designed ones. A designed face the system lacks is replaced by one it has;
// each distinct font is created once and shared by every control that uses it.
#pragma once

#include <windows.h>

#include <string>

#include "win/control.h"

namespace quaff::win {

// The face actually used for a designed face: the face itself when installed, else "Tahoma",
// else the face of the default GUI font. Bold or italic text (`styled`) avoids a face that
// exists only as a bitmap font, which the system may draw without the style.
std::string ResolveFontFace(const std::string& designedFace, bool styled = false);

// The shared font for a design (never destroyed by the caller; lives as long as the process).
HFONT SharedFont(const FontSpec& font);

// The system's window-text colour for kDefaultColor, else the colour itself.
COLORREF TextColor(const FontSpec& font);

}  // namespace quaff::win
