// A light timer: ticks arrive as WM_TIMER messages at the hidden window every timer of the
// process shares (win/timer.h). The tray icon uses several of them (icon cycling, the
// single-click delay, the enter/exit poll and adding a refused icon again).
#pragma once

#include <cstdint>

#include "win/timer.h"

namespace quaff::tray {

using TNotifyEvent = win::NotifyEvent;

class TSimpleTimer : public win::WindowTimer {
public:
    // Interval 1000 ms, no handler, not running.
    TSimpleTimer();
    TSimpleTimer(std::uint32_t interval, TNotifyEvent onTimer);
    ~TSimpleTimer() override;

    // Enabled means "meant to run": it stays true while the timer is paused because its
    // interval is 0 or its handler was cleared. Setting true (re)starts the period from now.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // Milliseconds; 0 means the timer cannot run. A change restarts a running timer.
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t value);

    // Clearing the handler of a running timer pauses it; a new handler does not resume it.
    // The handler's sender is this timer.
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);

    // Each tick stops the timer (clearing Enabled) before the handler runs.
    bool OneShot() const { return oneShot_; }
    void SetOneShot(bool value) { oneShot_ = value; }

    // Answers whether the window timer was started; with interval 0 nothing changes.
    bool Start();
    // Kills the window timer (answers whether there was one); clear also clears Enabled.
    bool Stop(bool clear);

private:
    void Tick() override;

    bool enabled_ = false;
    std::uint32_t interval_;
    bool oneShot_ = false;
    TNotifyEvent onTimer_;
};

}  // namespace quaff::tray
