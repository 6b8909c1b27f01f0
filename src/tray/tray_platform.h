// The calls through which the tray component and the simple timers reach the shell, the
// window-message timers and the input state. This class passes each straight to Windows; a
// test installs its own (win::Seam) to see the exact calls (and may pass them on as well).
// Windows, image lists and message loops are used directly and never go through here.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "win/seam.h"

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

// The platform in use.
inline TrayPlatform& Platform() { return win::Seam<TrayPlatform>::Current(); }

}  // namespace quaff::tray
