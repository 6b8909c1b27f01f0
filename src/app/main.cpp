// Quaffometer's entry point: no visible main window; the hidden launcher owns the tray icon.
#include <windows.h>

#include <exception>

#include "app/launcher.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "win/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    quaff::app::SingleInstance instance;
    if (!instance.First()) return 0;

    auto& app = quaff::win::Application::Instance();
    try {
        quaff::app::StartProgram();
    } catch (const std::exception& e) {
        app.HandleException(e);
        app.Finalize();
        return 1;
    }
    app.Run();
    delete quaff::app::frmLaunch;
    app.Finalize();
    return 0;
}
