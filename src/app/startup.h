// The program's start-up, after the single-instance check: the application object (main
// form never shown, title "Quaffometer"), the locale's formats read once, a second copy's
// request to show the monitor window, a request to quit (WM_CLOSE to the application window)
// that runs the tray's Exit, and the hidden launcher as the main form.
#pragma once

class TfrmLaunch;

namespace quaff::app {

// Creates the launcher (which puts the icon in the notification area) and answers it;
// an error while creating it propagates.
TfrmLaunch* StartProgram();

}  // namespace quaff::app
