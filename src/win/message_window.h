// A hidden window whose messages go to a handler: the utility window of the tray component,
// of popup menus and of the timers (one for all of them).
#pragma once

#include <windows.h>

#include <functional>

namespace quaff::win {

class MessageWindow {
public:
    // The handler answers a message; it is not called for messages that arrive while the
    // window is being created. An exception thrown by the handler goes to the application's
    // error report and the message gets the result 0.
    using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

    // Throws Error when the window cannot be made.
    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Handle() const { return hwnd_; }

private:
    LRESULT Message(HWND, UINT, WPARAM, LPARAM);
    Handler handler_;
    HWND hwnd_ = nullptr;
};

}  // namespace quaff::win
