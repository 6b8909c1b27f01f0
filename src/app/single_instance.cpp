#include "app/single_instance.h"

#include "app/startup.h"
#include "win/application.h"

namespace quaff::app {

namespace {
const char kMutexName[] = "Local\\Quaffometer.Running";
}  // namespace

UINT SingleInstance::ShowRequestMessage() {
    static const UINT message = RegisterWindowMessageA("Quaffometer.ShowMonitor");
    return message;
}

UINT SingleInstance::CloseForUpdateMessage() {
    static const UINT message = RegisterWindowMessageA("Quaffometer.CloseForUpdate");
    return message;
}

SingleInstance::SingleInstance() {
    mutex_.reset(CreateMutexA(nullptr, FALSE, kMutexName));
    if (!mutex_ || GetLastError() != ERROR_ALREADY_EXISTS) return;
    first_ = false;
    // The first copy may still be starting: give its window a moment to appear.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (HWND running = FindWindowA(win::Application::kWindowClass, kProgramTitle)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(running, &pid);
            AllowSetForegroundWindow(pid);
            PostMessageA(running, ShowRequestMessage(), 0, 0);
            return;
        }
        Sleep(100);
    }
}

}  // namespace quaff::app
