#include "win/message_window.h"

#include "win/application.h"
#include "win/window_class.h"

namespace quaff::win {

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &BoundWindowProc<MessageWindow, &MessageWindow::Message>;
    wc.lpszClassName = "QuaffUtilWindow";
    RegisterWindowClassOnce(wc);
    // A hidden top-level popup, not a message-only window: broadcasts reach it too.
    hwnd_ = CreateWindowOrThrow({.className = wc.lpszClassName,
                                 .caption = "",
                                 .style = WS_POPUP,
                                 .exStyle = WS_EX_TOOLWINDOW,
                                 .object = this});
}

MessageWindow::~MessageWindow() {
    // Unbound first: the messages of its destruction go to no handler.
    UnbindWindow(hwnd_);
    DestroyWindow(hwnd_);
}

LRESULT MessageWindow::Message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // While the window is being made (hwnd_ not yet set) the owner is still being built: the
    // handler sees messages only once the window exists.
    if (!hwnd_ || !handler_) return DefWindowProcA(hwnd, msg, wp, lp);
    return Guarded(LRESULT{0}, [&] { return handler_(hwnd, msg, wp, lp); });
}

}  // namespace quaff::win
