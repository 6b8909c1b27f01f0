#include "tray/tray_platform.h"

namespace quaff::tray {

BOOL TrayPlatform::AskShell(DWORD message, NOTIFYICONDATAA* data) {
    return ::Shell_NotifyIconA(message, data);
}

UINT_PTR TrayPlatform::SetTimer(HWND window, UINT_PTR id, UINT elapse) {
    return ::SetTimer(window, id, elapse, nullptr);
}

BOOL TrayPlatform::KillTimer(HWND window, UINT_PTR id) { return ::KillTimer(window, id); }

SHORT TrayPlatform::GetAsyncKeyState(int key) { return ::GetAsyncKeyState(key); }

BOOL TrayPlatform::GetCursorPos(POINT* point) { return ::GetCursorPos(point); }

UINT TrayPlatform::GetDoubleClickTime() { return ::GetDoubleClickTime(); }

BOOL TrayPlatform::SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window); }

BOOL TrayPlatform::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(window, message, wParam, lParam);
}

}  // namespace quaff::tray
