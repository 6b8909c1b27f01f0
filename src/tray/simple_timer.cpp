#include "tray/simple_timer.h"

#include "tray/shared_holder.h"
#include "tray/tray_platform.h"
#include "win/message_window.h"

namespace quaff::tray {

// The window all simple timers tick through, and the table that maps a tick's identifier
// back to its timer.
class TSimpleTimerHandler {
public:
    TSimpleTimerHandler()
        : window([](HWND h, UINT m, WPARAM w, LPARAM l) { return Dispatch(h, m, w, l); }) {}

    static LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_TIMER) return DefWindowProcA(hwnd, message, wParam, lParam);
        // A tick queued before its timer was destroyed names no live timer: dropped.
        if (TSimpleTimer* timer = Timers().Find(static_cast<std::uint32_t>(wParam))) timer->Tick();
        return 0;
    }

    static IdentityTable<TSimpleTimer>& Timers() {
        static IdentityTable<TSimpleTimer> table;
        return table;
    }

    unsigned references = 0;
    win::MessageWindow window;
};

using TimerWindow = SharedHolder<TSimpleTimerHandler>;

namespace {
HWND TimerHwnd() {
    TSimpleTimerHandler* holder = TimerWindow::Get();
    return holder ? holder->window.Handle() : nullptr;
}
}  // namespace

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, nullptr) {}

TSimpleTimer::TSimpleTimer(std::uint32_t interval, TNotifyEvent onTimer)
    : identifier_(TSimpleTimerHandler::Timers().Add(this)), interval_(interval) {
    SetOnTimer(std::move(onTimer));
    try {
        TimerWindow::Acquire();
    } catch (...) {
        TSimpleTimerHandler::Timers().Remove(identifier_);  // a timer never made is not named
        throw;
    }
}

TSimpleTimer::~TSimpleTimer() {
    if (enabled_) Stop(true);
    TSimpleTimerHandler::Timers().Remove(identifier_);
    TimerWindow::Release();
}

HWND TSimpleTimer::SharedWindow() { return TimerHwnd(); }

bool TSimpleTimer::Start() {
    if (interval_ == 0) return false;
    if (enabled_) Stop(true);
    if (win::Seam<TrayPlatform>::Current().SetTimer(TimerHwnd(), identifier_, interval_) == 0)
        return false;
    enabled_ = true;
    return true;
}

bool TSimpleTimer::Stop(bool clear) {
    if (clear) enabled_ = false;
    return win::Seam<TrayPlatform>::Current().KillTimer(TimerHwnd(), identifier_) != FALSE;
}

void TSimpleTimer::SetEnabled(bool value) {
    if (value)
        Start();
    else
        Stop(true);
}

void TSimpleTimer::SetInterval(std::uint32_t value) {
    if (value == interval_) return;
    interval_ = value;
    if (!enabled_) return;
    if (value != 0)
        Start();
    else
        Stop(false);
}

void TSimpleTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    if (!onTimer_ && enabled_) Stop(false);
}

void TSimpleTimer::Tick() {
    if (oneShot_) Stop(true);
    // Copied: the handler may replace itself or destroy this timer while it runs.
    if (TNotifyEvent handler = onTimer_) handler(this);
}

}  // namespace quaff::tray
