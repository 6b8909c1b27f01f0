// Quaffometer's entry point: no visible main window; the hidden launcher owns the tray icon.
#include <windows.h>

#include <exception>

#include "app/launcher.h"
#include "app/single_instance.h"
#include "win/application.h"
#include "win/locale.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    quaff::app::SingleInstance instance;
    if (!instance.First()) return 0;

    auto& app = quaff::win::Application::Instance();
    app.SetShowMainForm(false);
    app.SetTitle("Quaffometer");
    app.Initialize();
    quaff::win::UserFormats();  // the locale's formats, read once at start-up

    const UINT showRequest = quaff::app::SingleInstance::ShowRequestMessage();
    app.SetMessageHook([showRequest](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != showRequest) return false;
        if (frmLaunch) frmLaunch->stuff1Click(frmLaunch);
        result = 0;
        return true;
    });

    try {
        frmLaunch = quaff::win::CreateMainForm<TfrmLaunch>(nullptr);
    } catch (const std::exception& e) {
        app.HandleException(e);
        return 1;
    }
    app.Run();
    delete frmLaunch;
    return 0;
}
