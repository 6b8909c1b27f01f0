// A procedure of ours in front of a window's own procedure, for as long as its owner lives:
// the one way the program subclasses a window, a standard control of its own as much as the
// application window or a form someone else owns. It is a subclass of the common controls'
// (SetWindowSubclass), which keeps any number on one window in order, whoever installed them:
// the newest sees a message first, and each can be removed in any order without cutting out
// anything installed after it, by us or by other code.
#pragma once

#include <windows.h>

#include <functional>

namespace quaff::win {

class WindowHook {
public:
    // Answers true when it has handled the message and set the result; false lets the
    // message go on to the hooks installed before it and then to the window's procedure. An
    // exception goes to the application's error report and the message goes on.
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

    WindowHook() = default;
    ~WindowHook() { Remove(); }
    WindowHook(const WindowHook&) = delete;
    WindowHook& operator=(const WindowHook&) = delete;

    // Puts `handler` in front of the window's procedure (replacing what this hook had
    // before). Throws when the window cannot be subclassed (it is not this thread's); then
    // nothing is hooked.
    void Install(HWND window, Handler handler);
    // Takes the handler out; harmless when none is installed or the window is gone.
    void Remove();

    // From within a handler: the message handed on to what is behind its hook (the hooks
    // installed before it, then the window's own procedure), for a handler that wants the
    // result before it answers.
    static LRESULT PassOn(HWND window, UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
    Handler handler_;
};

}  // namespace quaff::win
