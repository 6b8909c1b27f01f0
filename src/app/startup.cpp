#include "app/startup.h"

#include "app/launcher.h"
#include "app/single_instance.h"
#include "win/application.h"
#include "win/locale.h"
#include "win/window_hook.h"

namespace quaff::app {

namespace {

// In front of the application window's procedure from the start to the end of the program.
win::WindowHook& ProgramRequests() {
    static win::WindowHook hook;
    return hook;
}

}  // namespace

TfrmLaunch* StartProgram() {
    auto& app = win::Application::Instance();
    app.SetShowMainForm(false);
    app.SetTitle(kProgramTitle);
    app.Initialize();
    win::UserFormats();  // the locale's formats, read once at start-up

    // A second copy asks for the monitor window; WM_CLOSE to the application window (sent by
    // the uninstaller, or by Windows itself) quits the way the tray's Exit does, also while a
    // window is shown modally; the installer's request before an update quits too, keeping a
    // counting period for the copy it starts afterwards.
    const UINT showRequest = SingleInstance::ShowRequestMessage();
    const UINT closeForUpdate = SingleInstance::CloseForUpdateMessage();
    ProgramRequests().Install(app.Handle(), [=](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (!frmLaunch) return false;
        result = 0;
        if (msg == showRequest)
            frmLaunch->stuff1Click(frmLaunch);
        else if (msg == WM_CLOSE)
            frmLaunch->exit1Click(frmLaunch);
        else if (msg == closeForUpdate) {
            frmLaunch->CloseKeepingPeriod();
            result = SingleInstance::kClosingForUpdate;
        } else
            return false;
        return true;
    });

    frmLaunch = win::CreateMainForm<TfrmLaunch>(nullptr);
    return frmLaunch;
}

}  // namespace quaff::app
