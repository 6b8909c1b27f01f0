#include "win/timer.h"

#include "win/message_window.h"

namespace quaff::win {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer(Component* owner)
    : Component(owner),
      window_(
          std::make_unique<MessageWindow>([this](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
              if (m == WM_TIMER && w == kTimerId) {
                  Tick();  // an error goes to the application's report; the timer runs on
                  return 0;
              }
              return DefWindowProcA(h, m, w, l);
          })) {
    Update();
}

Timer::~Timer() {
    if (running_) KillTimer(window_->Handle(), kTimerId);
    window_.reset();
}

HWND Timer::WindowHandle() const { return window_->Handle(); }

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
    HWND h = window_->Handle();
    if (running_) {
        KillTimer(h, kTimerId);
        running_ = false;
    }
    if (enabled_ && interval_ > 0 && h) running_ = SetTimer(h, kTimerId, interval_, nullptr) != 0;
}

void Timer::Tick() {
    if (OnTimer) OnTimer(this);
}

}  // namespace quaff::win
