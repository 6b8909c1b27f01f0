// The calls through which the tray component reaches the shell and the input state, reached
// through win::Seam<TrayPlatform> (its timers go through win::Seam<win::WindowTimers>). This
// class passes each straight to Windows; a test installs its own (win::Seam) to see the exact
// calls (and may pass them on as well).
// Windows, image lists and message loops are used directly and never go through here.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "win/seam.h"

namespace quaff::tray {

class TrayPlatform {
public:
    virtual ~TrayPlatform() = default;

    // Asks the shell to add, change or remove the icon, or to take its version
    // (Shell_NotifyIconA); answers whether the shell did.
    virtual BOOL AskShell(DWORD message, NOTIFYICONDATAA* data);
    virtual SHORT GetAsyncKeyState(int key);
    virtual BOOL GetCursorPos(POINT* point);
    virtual UINT GetDoubleClickTime();
    virtual BOOL SetForegroundWindow(HWND window);
    // Puts the message in the window's queue and returns (PostMessageA).
    virtual BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace quaff::tray
