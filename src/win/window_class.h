// The program's own windows: their classes, how each is made, and the one store that binds a
// window to the object it answers for.
//
// Every window of ours is bound the same way. A class of ours has `BoundWindowProc` as its
// procedure: the object goes in as the creation parameter, is bound at WM_NCCREATE (the first
// message a window gets) and let go after WM_NCDESTROY (the last). A standard control, whose
// class is not ours, is bound as soon as it exists and watched through a `WindowHook`. No
// window of ours is made with one procedure and switched to another afterwards.
//
// The store is a map kept in the process, not a window property: every message looks its
// window up, and under Wine a property is a round trip to the server (a fifth of the time a
// window took to open, measured).
#pragma once

#include <windows.h>

#include <string_view>
#include <typeinfo>

namespace quaff::win {

// Registers `wc` for this program's module (its hInstance is filled in) unless a class of
// that name is registered already.
void RegisterWindowClassOnce(WNDCLASSA wc);

// What to make. `object` reaches the class's procedure at WM_NCCREATE.
struct NewWindow {
    const char* className = nullptr;
    std::string_view caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{0, 0, 0, 0};
    HWND parent = nullptr;
    HMENU menu = nullptr;
    void* object = nullptr;
};

// Makes the window. The caption goes in as UTF-16 and the window is made by the "W" call, so
// a standard control is a UTF-16 window that keeps text in any script whole (a class of ours,
// registered as ANSI, still gets its messages as ANSI). Throws Error naming the class, with
// the system's reason when it gives one, when no window results.
HWND CreateWindowOrThrow(const NewWindow& window);

namespace detail {
void Bind(HWND window, const std::type_info& type, void* object);
void* Bound(HWND window, const std::type_info& type);
}  // namespace detail

// Binds `object` to `window` (in place of any earlier binding); may throw std::bad_alloc.
template <class T>
void BindWindow(HWND window, T* object) {
    detail::Bind(window, typeid(T), object);
}

// The object bound to `window` as a T, or null (none, or one of another kind).
template <class T>
T* BoundObject(HWND window) {
    return static_cast<T*>(detail::Bound(window, typeid(T)));
}

void UnbindWindow(HWND window);

// The procedure of a window class of ours whose objects are T: every message of a bound
// window goes to (object->*Handle). A window whose object cannot be bound is not made, and
// messages of a window bound to nothing (yet, or any more) get the default handling.
template <class T, LRESULT (T::*Handle)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    T* object = nullptr;
    if (msg == WM_NCCREATE) {
        object = static_cast<T*>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams);
        try {
            if (object) BindWindow(hwnd, object);
        } catch (...) {
            return FALSE;  // no memory to bind it
        }
    } else {
        object = BoundObject<T>(hwnd);
    }
    if (!object) return DefWindowProcA(hwnd, msg, wp, lp);
    const LRESULT result = (object->*Handle)(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) UnbindWindow(hwnd);
    return result;
}

}  // namespace quaff::win
