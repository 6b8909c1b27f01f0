// The user's number, date and time formats, read from the locale once when the program
// starts (a locale changed while it runs is seen at the next start, as with the dates shown).
#pragma once

#include <windows.h>

#include "core/numtext.h"

namespace quaff::win {

// The formats in use; read from the user's locale on first use.
const FormatSettings& UserFormats();
// Replaces the formats in use (tests: a comma decimal separator, fixed date pictures).
void SetUserFormats(const FormatSettings& formats);
// Reads the user's locale now.
FormatSettings ReadUserLocale();
// Reads a locale now: the decimal separator, the short date and long time pictures, the AM
// and PM texts, and the month and day names those pictures may use.
FormatSettings ReadLocale(LCID locale);

}  // namespace quaff::win
