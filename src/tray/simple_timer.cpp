#include "tray/simple_timer.h"

namespace quaff::tray {

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, nullptr) {}

TSimpleTimer::TSimpleTimer(std::uint32_t interval, TNotifyEvent onTimer)
    : win::WindowTimer(nullptr), interval_(interval) {
    SetOnTimer(std::move(onTimer));
}

TSimpleTimer::~TSimpleTimer() {
    if (enabled_) Stop(true);
}

bool TSimpleTimer::Start() {
    if (interval_ == 0) return false;
    if (enabled_) Stop(true);
    if (!StartTicks(interval_)) return false;
    enabled_ = true;
    return true;
}

bool TSimpleTimer::Stop(bool clear) {
    if (clear) enabled_ = false;
    return StopTicks();
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
