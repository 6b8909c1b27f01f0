// Procedures of ours put in front of a window's own procedure, for as long as their owner
// lives. Any number can sit in front of one window and be removed in any order: they share
// one subclass of the window and the newest sees a message first. Removing one never cuts
// out anything installed after it, by us or by other code. When the last one goes the
// window gets back the procedure it had before the first, unless other code has subclassed
// it on top of ours meanwhile: then ours stays and passes every message on, until it is on
// top again or the window is destroyed.
#pragma once

#include <windows.h>

#include <cstdint>
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
    // before). Throws when the window cannot be subclassed; then nothing is hooked.
    void Install(HWND window, Handler handler);
    // Takes the handler out; harmless when none is installed or the window is gone.
    void Remove();

private:
    HWND window_ = nullptr;
    std::uint64_t id_ = 0;
};

}  // namespace quaff::win
