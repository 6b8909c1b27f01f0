// Room for every label's text in a layout designed for another face or DPI.
#pragma once

#include "win/control.h"

namespace quaff::win {

// Widens the window's layout where a label's text runs into the control to its right or past
// the edge of its parent: every position and width across the window grows by one factor,
// the least that gives each such label the room its text takes. A layout drawn for the
// designed face at 96 DPI needs none; a wider substitute face, or a bitmap face that does not
// scale in step with the DPI, does. Docked controls follow their parent.
void FitTextToRoom(WinControl& window);

}  // namespace quaff::win
