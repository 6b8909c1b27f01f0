// Quaffometer's entry point: no visible main window; the hidden launcher owns the tray icon.
#include <windows.h>

#include <exception>

#include "app/launcher.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "win/application.h"

namespace {

// A DLL that Windows or a system DLL loads by name on demand comes from System32 only, never
// from the program's own folder: run from Downloads, anything may lie beside it. Looked up at
// run time: Windows 7 has it only with update KB2533623, and starts without it as before.
void LimitDllSearchToSystem32() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LimitDllSearchToSystem32();
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
