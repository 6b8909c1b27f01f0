#include "win/timer.h"

#include "win/message_window.h"
#include "win/seam.h"
#include "win/shared_holder.h"

namespace quaff::win {

// The window all timers tick through, and the table that leads a tick's number back to its
// timer.
class TimerWindow {
public:
    TimerWindow()
        : window([](HWND h, UINT m, WPARAM w, LPARAM l) { return Dispatch(h, m, w, l); }) {}

    static LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_TIMER) return DefWindowProcA(hwnd, message, wParam, lParam);
        // A tick queued before its timer was destroyed names no live timer: dropped.
        if (WindowTimer* timer = Timers().Find(static_cast<std::uint32_t>(wParam))) timer->Tick();
        return 0;
    }

    static IdentityTable<WindowTimer>& Timers() {
        static IdentityTable<WindowTimer> table;
        return table;
    }

    // A number for `timer`, and a reference to the window; neither is kept when the window
    // cannot be made.
    static std::uint32_t Register(WindowTimer* timer) {
        const std::uint32_t identifier = Timers().Add(timer);
        try {
            SharedHolder<TimerWindow>::Acquire();
        } catch (...) {
            Timers().Remove(identifier);
            throw;
        }
        return identifier;
    }

    unsigned references = 0;
    MessageWindow window;
};

UINT_PTR WindowTimers::SetTimer(HWND window, UINT_PTR id, UINT elapse) {
    return ::SetTimer(window, id, elapse, nullptr);
}

BOOL WindowTimers::KillTimer(HWND window, UINT_PTR id) { return ::KillTimer(window, id); }

WindowTimer::WindowTimer(Component* owner)
    : Component(owner), identifier_(TimerWindow::Register(this)) {}

WindowTimer::~WindowTimer() {
    TimerWindow::Timers().Remove(identifier_);
    SharedHolder<TimerWindow>::Release();
}

HWND WindowTimer::SharedWindow() {
    TimerWindow* holder = SharedHolder<TimerWindow>::Get();
    return holder ? holder->window.Handle() : nullptr;
}

bool WindowTimer::StartTicks(unsigned ms) {
    return Seam<WindowTimers>::Current().SetTimer(SharedWindow(), identifier_, ms) != 0;
}

bool WindowTimer::StopTicks() {
    return Seam<WindowTimers>::Current().KillTimer(SharedWindow(), identifier_) != FALSE;
}

Timer::Timer(Component* owner) : WindowTimer(owner) { Update(); }

Timer::~Timer() {
    if (running_) StopTicks();
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    Update();
}

void Timer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Update();
}

void Timer::Update() {
    if (running_) {
        StopTicks();
        running_ = false;
    }
    if (enabled_ && interval_ > 0) running_ = StartTicks(interval_);
}

void Timer::Tick() {
    if (OnTimer) OnTimer(this);
}

}  // namespace quaff::win
