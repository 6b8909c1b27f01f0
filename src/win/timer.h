// Timers. Every timer of the program ticks the same way: WM_TIMER at one hidden window that all
// timers of the process share (made with the first, destroyed with the last), so they also
// tick inside modal loops and open menus. A tick carries its timer's number, which leads back
// to the timer; a tick queued for a timer that has gone leads nowhere and is dropped.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win/component.h"

namespace quaff::win {

// The window-timer calls every timer makes, reached through Seam<WindowTimers>. This class
// passes them to Windows; a test installs its own to see them, or to give the ticks by hand.
class WindowTimers {
public:
    virtual ~WindowTimers() = default;
    virtual UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse);
    virtual BOOL KillTimer(HWND window, UINT_PTR id);
};

// What every timer is made of (Timer below, the tray's simple timer): its number and its window
// timer on the shared window. How it starts and stops is each timer's own.
class WindowTimer : public Component {
public:
    ~WindowTimer() override;

    // The number its ticks carry (their wParam).
    std::uint32_t Identifier() const { return identifier_; }
    // The window all timers tick through, or nullptr while no timer exists.
    static HWND SharedWindow();

protected:
    // Throws Error when the shared window cannot be made; nothing of the timer is left then.
    explicit WindowTimer(Component* owner);

    // Starts the window timer, its period beginning now; answers whether Windows started it.
    bool StartTicks(unsigned ms);
    // Stops the window timer; answers whether one was running.
    bool StopTicks();

    // At every tick. An error it throws goes to the application's report; ticking goes on.
    virtual void Tick() = 0;

private:
    friend class TimerWindow;
    const std::uint32_t identifier_;
};

// A timer: ticks every Interval milliseconds while enabled.
class Timer : public WindowTimer {
public:
    explicit Timer(Component* owner);
    ~Timer() override;

    // Milliseconds between ticks (default 1000); 0 stops the ticks.
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // Raised at every tick. An error it throws is reported by the application and the timer
    // keeps running.
    NotifyEvent OnTimer;

protected:
    // Runs OnTimer.
    void Tick() override;

private:
    void Update();
    unsigned interval_ = 1000;
    bool enabled_ = true;
    bool running_ = false;
};

}  // namespace quaff::win
