// Helpers for the tray and timer tests.
//
// TrayRecorder: a platform for the tray and timer tests that records every call the program makes to the
// shell, the window timers, the foreground and posted messages, and answers input-state
// questions from values the test sets. Its shell behaves like the shell: it holds icons by
// (window, id), takes an add of an icon it does not hold and a modify, delete or version of
// one it holds, and refuses the rest; refuseShell makes it refuse everything for a while (a
// shell not ready yet). With passThrough the calls it takes, and the timer, foreground and
// post calls, also go to Windows, so the icon and the timers are real.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tray/tray_icon.h"
#include "tray/tray_platform.h"
#include "win/component.h"
#include "win/image_list.h"
#include "win/timer.h"

namespace quaff::test {

class TrayRecorder : public tray::TrayPlatform, public win::WindowTimers {
public:
    struct ShellCall {
        DWORD message;
        NOTIFYICONDATAA data;
        BOOL result;
        std::string Tip() const { return std::string(data.szTip, strnlen(data.szTip, 128)); }
        bool TipAllZero() const {
            for (char c : data.szTip)
                if (c != 0) return false;
            return true;
        }
    };

    explicit TrayRecorder(bool passThrough) : passThrough(passThrough) {}

    BOOL AskShell(DWORD message, NOTIFYICONDATAA* data) override;
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse) override {
        log.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(elapse));
        lastTimerWindow = window;
        return passThrough ? WindowTimers::SetTimer(window, id, elapse) : id;
    }
    BOOL KillTimer(HWND window, UINT_PTR id) override {
        log.push_back("KillTimer " + std::to_string(id));
        return passThrough ? WindowTimers::KillTimer(window, id) : TRUE;
    }
    SHORT GetAsyncKeyState(int key) override {
        return keysDown.count(key) ? static_cast<SHORT>(0x8000) : 0;
    }
    BOOL GetCursorPos(POINT* point) override {
        if (!cursorReadable) return FALSE;
        *point = cursor;
        return TRUE;
    }
    UINT GetDoubleClickTime() override { return doubleClickTime; }
    BOOL SetForegroundWindow(HWND window) override {
        log.push_back("SetForegroundWindow");
        foreground.push_back(window);
        return passThrough ? TrayPlatform::SetForegroundWindow(window) : TRUE;
    }
    BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        log.push_back("PostMessage " + std::to_string(message));
        posted.push_back(window);
        return passThrough ? TrayPlatform::Post(window, message, wParam, lParam) : TRUE;
    }

    // The kinds of the shell calls, in order.
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> out;
        for (const ShellCall& c : shell) out.push_back(c.message);
        return out;
    }
    // The kinds of the shell calls with the shell's answers, in order.
    std::vector<std::pair<DWORD, BOOL>> Answers() const {
        std::vector<std::pair<DWORD, BOOL>> out;
        for (const ShellCall& c : shell) out.emplace_back(c.message, c.result);
        return out;
    }
    // Shell calls of one kind, in order.
    std::vector<ShellCall> ShellCalls(DWORD message) const {
        std::vector<ShellCall> out;
        for (const ShellCall& c : shell)
            if (c.message == message) out.push_back(c);
        return out;
    }
    void Clear() {
        shell.clear();
        log.clear();
        foreground.clear();
        posted.clear();
        shellCount = 0;
    }
    // The shell restarts: it holds no icon any more (a real one behind forgets them too).
    void RestartShell();

    bool passThrough;
    bool refuseShell = false;  // answers every shell call as refused (a shell not ready yet)
    std::set<std::pair<HWND, UINT>> held;  // the icons the shell holds
    bool keepShellCalls = true;
    // Sees each shell call as it is made (while the icon it names is still alive).
    std::function<void(DWORD message, const NOTIFYICONDATAA& data)> onShell;
    std::size_t shellCount = 0;
    std::vector<ShellCall> shell;
    std::vector<std::string> log;
    std::vector<HWND> foreground;
    std::vector<HWND> posted;
    HWND lastTimerWindow = nullptr;

    POINT cursor{640, 1000};
    bool cursorReadable = true;
    UINT doubleClickTime = 500;
    std::set<int> keysDown;

private:
    win::Seam<tray::TrayPlatform> installed_{*this};
    win::Seam<win::WindowTimers> timersInstalled_{*this};
};

// A tray icon made while a recorder stands in for the platform, owned by a plain component
// (which frees it after the recorder has gone, as a program's form would).
struct RecordedTray {
    explicit RecordedTray(bool passThrough) : rec(passThrough) {}
    win::Component owner{nullptr};
    TrayRecorder rec;
    tray::TTrayIcon* tray = new tray::TTrayIcon(&owner);
};

// The colour of image i in lists made by FillImageList: distinct for every i below 32.
inline COLORREF FrameColour(int i) { return RGB(8 * i, 255 - 8 * i, (i * 37) % 256); }

// Fills `list` with `count` 16 by 16 images of one colour each (image i in the colour of
// frame first + i), going through the same stored-stream path as the program's icon sets.
void FillImageList(win::ImageList& list, int count, int first = 0);

// The colour at the centre of an icon's image, or CLR_INVALID when there is none.
COLORREF IconCentreColour(HICON icon);

// The number the recorder logs for the last SetTimer of the given interval, 0 if none.
UINT_PTR LastTimerId(const std::vector<std::string>& log, unsigned interval);

}  // namespace quaff::test
