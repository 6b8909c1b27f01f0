#include "win/message_window.h"

#include "win/application.h"
#include "win/window_class.h"

namespace quaff::win {

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "QuaffUtilWindow";
    RegisterWindowClassOnce(wc);
    // A hidden top-level popup, not a message-only window: broadcasts reach it too.
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, GetModuleHandleA(nullptr), this);
}

MessageWindow::~MessageWindow() {
    if (!hwnd_) return;
    // Unbound first: the messages of its destruction go to no handler.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (auto* creating = CreatingObject<MessageWindow>(msg, lp))
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    // While CreateWindowExA runs (hwnd_ not yet set) the owner is still being built: the
    // handler sees messages only once the window exists.
    if (!self || !self->hwnd_ || !self->handler_) return DefWindowProcA(hwnd, msg, wp, lp);
    return Guarded(LRESULT{0}, [&] { return self->handler_(hwnd, msg, wp, lp); });
}

}  // namespace quaff::win
