// Layouts and fonts are designed at 96 DPI: design units become device pixels at the DPI of
// the window they are in, and back. Each window has its own DPI: the program is aware of each
// monitor's scale and lays a window out again when it moves to a monitor of another scale.
#pragma once

#include <windows.h>

namespace quaff::win {

// 96-DPI design units to device pixels at `dpi`, and back.
int ScaleDpi(int designUnits, int dpi);
int UnscaleDpi(int pixels, int dpi);
// The same at CurrentDpi().
int ScaleDpi(int designUnits);
int UnscaleDpi(int pixels);
// The DPI new layouts and fonts are made for.
int CurrentDpi();
// The DPI a window is laid out for.
int WindowDpi(HWND window);

// Where those two come from. This class asks Windows; tests install their own (win::Seam):
// Wine gives every window the system DPI, which cannot change inside a process, so tests reach
// 120, 144 and 192 DPI this way. Windows and fonts made before keep their size.
class DpiSource {
public:
    virtual ~DpiSource() = default;
    // The system's DPI.
    virtual int SystemDpi();
    // The window's own (its monitor's), else the system's.
    virtual int ForWindow(HWND window);
};

}  // namespace quaff::win
