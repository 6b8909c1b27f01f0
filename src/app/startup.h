// The program's start-up, after the single-instance check: the application object (main
// form never shown, title "Quaffometer"), the locale's formats read once, a second copy's
// request to show the monitor window, a request to quit (WM_CLOSE to the application window)
// that runs the tray's Exit, the installer's request to close for an update, and the hidden
// launcher as the main form.
#pragma once

namespace quaff::app {

class TfrmLaunch;

// The application title: the caption of the program's message boxes and of its hidden
// application window, by which a second copy finds the first.
inline constexpr char kProgramTitle[] = "Quaffometer";

// Creates the launcher (which puts the icon in the notification area) and answers it;
// an error while creating it propagates.
TfrmLaunch* StartProgram();

}  // namespace quaff::app
