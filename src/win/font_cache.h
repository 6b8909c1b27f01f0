// Real fonts for designed ones. A designed face the system lacks is replaced by one it has;
// each distinct font is created once and shared by every control that uses it.
#pragma once

#include <windows.h>

#include <string>

#include "win/control.h"

namespace quaff::win {

// The face actually used for a designed face: the face itself when installed, else the
// closest the system has for dialogs: "Microsoft Sans Serif" (the outline twin of the
// designed "MS Sans Serif"), else "Tahoma", else the face of the default GUI font (the
// system's dialog face, which it maps to what it has). Bold or italic text (`styled`) avoids
// a face that exists only as a bitmap font, which the system may draw without the style.
// Forms widen where the face chosen runs wider than designed (FitTextToRoom).
std::string ResolveFontFace(const std::string& designedFace, bool styled = false);

// Treats `face` as not installed (empty: none), as on a system without it (tests).
void TreatFaceAsMissing(std::string face);

// The shared font for a design (never destroyed by the caller; lives as long as the process).
HFONT SharedFont(const FontSpec& font);

// The system's window-text colour for kDefaultColor, else the colour itself.
COLORREF TextColor(const FontSpec& font);

}  // namespace quaff::win
