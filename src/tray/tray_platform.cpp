#include "tray/tray_platform.h"

namespace quaff::tray {

BOOL TrayPlatform::AskShell(DWORD message, NOTIFYICONDATAA* data) {
    return ::Shell_NotifyIconA(message, data);
}

SHORT TrayPlatform::GetAsyncKeyState(int key) { return ::GetAsyncKeyState(key); }

BOOL TrayPlatform::GetCursorPos(POINT* point) { return ::GetCursorPos(point); }

UINT TrayPlatform::GetDoubleClickTime() { return ::GetDoubleClickTime(); }

BOOL TrayPlatform::SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window); }

BOOL TrayPlatform::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(window, message, wParam, lParam);
}

}  // namespace quaff::tray
