// The program's own window classes, and how each binds its windows to their objects. Every
// class registered here does it one way: the class's procedure is a static member, the object
// goes in as CreateWindowExA's last argument, and the procedure takes it at WM_NCCREATE (the
// first message a window gets) and lets it go at WM_NCDESTROY (the last). No window of ours
// is made with one procedure and switched to another afterwards.
#pragma once

#include <windows.h>

namespace quaff::win {

// Registers `wc` for this program's module (its hInstance is filled in) unless a class of
// that name is registered already.
void RegisterWindowClassOnce(WNDCLASSA wc);

// At WM_NCCREATE, the object passed to CreateWindowExA for the window; else null.
template <class T>
T* CreatingObject(UINT msg, LPARAM lp) {
    if (msg != WM_NCCREATE) return nullptr;
    return static_cast<T*>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams);
}

}  // namespace quaff::win
