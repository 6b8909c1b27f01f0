// A light timer: ticks arrive as WM_TIMER messages at one hidden window shared by every
// simple timer of the process. The tray icon uses three of them (icon cycling, the
// single-click delay and the enter/exit poll).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace quaff::tray {

class TSimpleTimer {
public:
    using TNotifyEvent = std::function<void(TSimpleTimer* sender)>;

    // Interval 1000 ms, no handler, not running.
    TSimpleTimer();
    TSimpleTimer(std::uint32_t interval, TNotifyEvent onTimer);
    ~TSimpleTimer();
    TSimpleTimer(const TSimpleTimer&) = delete;
    TSimpleTimer& operator=(const TSimpleTimer&) = delete;

    // Enabled means "meant to run": it stays true while the timer is paused because its
    // interval is 0 or its handler was cleared. Setting true (re)starts the period from now.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // Milliseconds; 0 means the timer cannot run. A change restarts a running timer.
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t value);

    // Clearing the handler of a running timer pauses it; a new handler does not resume it.
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);

    // Each tick stops the timer (clearing Enabled) before the handler runs.
    bool OneShot() const { return oneShot_; }
    void SetOneShot(bool value) { oneShot_ = value; }

    // Answers whether the window timer was started; with interval 0 nothing changes.
    bool Start();
    // Kills the window timer (answers whether there was one); clear also clears Enabled.
    bool Stop(bool clear);

    // The timer identifier carried by its WM_TIMER messages.
    std::uint32_t Identifier() const { return identifier_; }

    // The shared window, or nullptr while no simple timer exists.
    static HWND SharedWindow();

private:
    friend class TSimpleTimerHandler;
    void Tick();

    std::uint32_t identifier_;
    bool enabled_ = false;
    std::uint32_t interval_;
    bool oneShot_ = false;
    TNotifyEvent onTimer_;
};

}  // namespace quaff::tray
