// The user's number, date and time formats, read from the locale once when the program
// starts (a locale changed while it runs is seen at the next start, as with the dates shown).
#pragma once

#include "core/numtext.h"

namespace quaff::win {

// The formats in use; read from the user's locale on first use.
const FormatSettings& UserFormats();
// Replaces the formats in use (tests: a comma decimal separator, fixed date pictures).
void SetUserFormats(const FormatSettings& formats);
// Reads the user's locale now.
FormatSettings ReadUserLocale();

}  // namespace quaff::win
