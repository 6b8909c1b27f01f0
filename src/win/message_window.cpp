#include "win/message_window.h"

#include "win/application.h"

namespace quaff::win {

namespace {
const char kClassName[] = "QuaffUtilWindow";

void RegisterClassOnce(HINSTANCE instance) {
    WNDCLASSA probe;
    if (GetClassInfoA(instance, kClassName, &probe)) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
}
}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterClassOnce(instance);
    // A hidden top-level popup, not a message-only window: broadcasts reach it too.
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, instance, nullptr);
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    }
}

MessageWindow::~MessageWindow() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK MessageWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->handler_) return DefWindowProcA(hwnd, msg, wp, lp);
    return Guarded(LRESULT{0}, [&] { return self->handler_(hwnd, msg, wp, lp); });
}

}  // namespace quaff::win
