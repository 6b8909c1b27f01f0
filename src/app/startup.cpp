#include "app/startup.h"

#include "app/launcher.h"
#include "app/single_instance.h"
#include "win/application.h"
#include "win/locale.h"

namespace quaff::app {

TfrmLaunch* StartProgram() {
    auto& app = win::Application::Instance();
    app.SetShowMainForm(false);
    app.SetTitle(kProgramTitle);
    app.Initialize();
    win::UserFormats();  // the locale's formats, read once at start-up

    // A second copy asks for the monitor window; WM_CLOSE to the application window (sent by
    // the installer and uninstaller, or by Windows itself) quits the way the tray's Exit does,
    // also while a window is shown modally.
    const UINT showRequest = SingleInstance::ShowRequestMessage();
    app.SetMessageHook([showRequest](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (!frmLaunch || (msg != showRequest && msg != WM_CLOSE)) return false;
        if (msg == showRequest)
            frmLaunch->stuff1Click(frmLaunch);
        else
            frmLaunch->exit1Click(frmLaunch);
        result = 0;
        return true;
    });

    frmLaunch = win::CreateMainForm<TfrmLaunch>(nullptr);
    return frmLaunch;
}

}  // namespace quaff::app
