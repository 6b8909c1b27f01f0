// A window-message timer: ticks every Interval milliseconds while enabled, delivered through
// a hidden window of its own, so it also ticks inside modal loops and open menus.
#pragma once

#include <windows.h>

#include <memory>

#include "win/component.h"

namespace quaff::win {

class MessageWindow;

class Timer : public Component {
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

    // The window the ticks arrive at (tests post to it).
    HWND WindowHandle() const;

protected:
    // Runs OnTimer.
    virtual void Tick();

private:
    void Update();
    unsigned interval_ = 1000;
    bool enabled_ = true;
    bool running_ = false;
    std::unique_ptr<MessageWindow> window_;
};

}  // namespace quaff::win
