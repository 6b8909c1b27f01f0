// The shell's own dialogs, as the program's windows use them.
#pragma once

#include <windows.h>

#include <string>

namespace quaff::win {

// Shows the shell's folder browser, modal to `owner` (the window it is opened from, which
// cannot be used meanwhile), and answers the chosen folder's file-system path, or empty text
// when the user cancels or anything fails. Needs the thread in a COM apartment, which
// Application::Initialize provides.
std::string BrowseForFolder(HWND owner, const std::string& title);

}  // namespace quaff::win
