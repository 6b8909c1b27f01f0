// The calls through which the tray component and the simple timers reach the shell, the
// window-message timers and the input state. The default passes each straight to Windows;
// a test installs its own to see the exact calls (and may pass them on as well). Windows,
// image lists and message loops are used directly and never go through here.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace quaff::tray {

class TrayPlatform {
public:
    virtual ~TrayPlatform() = default;

    virtual BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data);
    virtual UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse);
    virtual BOOL KillTimer(HWND window, UINT_PTR id);
    virtual SHORT GetAsyncKeyState(int key);
    virtual BOOL GetCursorPos(POINT* point);
    virtual UINT GetDoubleClickTime();
    virtual BOOL SetForegroundWindow(HWND window);
    virtual BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// The platform in use: the one last installed, else the real one.
TrayPlatform& Platform();
// Installs `platform` (nullptr: the real one again); answers the one it replaces, or nullptr
// when that was the real one. The caller keeps ownership.
TrayPlatform* InstallPlatform(TrayPlatform* platform);

}  // namespace quaff::tray
