// The program's text and the system's. The program keeps text in the ANSI code page, which
// its manifest makes UTF-8 (Windows 10 1903 and later, Wine 8): every "A" call then passes
// any script through exactly. Where a call would not (a fixed buffer of MAX_PATH bytes, a
// conversion by another code page, drawing with a font that lacks a script), the program
// goes through the "W" call and these conversions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quaff::win {

// From the program's text to UTF-16, and back.
std::wstring WideText(std::string_view text);
std::string NarrowText(std::wstring_view text);

// A window's text, read as UTF-16 (a standard control of the program is a UTF-16 window, whose
// ANSI length would be counted in another code page) and converted once.
std::wstring WideWindowText(HWND window);
std::string WindowTextOf(HWND window);

// DrawTextW of the program's text with the font selected into `dc`; when that font has no
// glyph for some character, the text is drawn in the same size and style in a face that has
// them all (the designed "MS Sans Serif" has no Greek or Cyrillic, nor even Polish letters).
int DrawAnyText(HDC dc, std::string_view text, RECT& rect, UINT flags);

}  // namespace quaff::win
