// Layouts and fonts are designed at 96 DPI: design units become device pixels at the DPI in
// use, and back.
#pragma once

namespace quaff::win {

// 96-DPI design units to device pixels at the DPI in use, and back.
int ScaleDpi(int designUnits);
int UnscaleDpi(int pixels);
// The DPI layouts and fonts are made for: the system's, unless overridden.
int CurrentDpi();
// Lays out and sizes fonts as if the system ran at `dpi` (0: the system's own again). The
// system DPI cannot change inside a process, so tests reach 120, 144 and 192 DPI this way;
// windows and fonts made before keep their size.
void OverrideDpi(int dpi);

}  // namespace quaff::win
