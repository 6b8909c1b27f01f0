// Owners for every kind of handle the program holds, each freeing its handle exactly once,
// and scopes that undo a change to a device context or anything else when they end, also
// when an exception leaves them. A new kind of handle gets an alias here.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include <shtypes.h>

#include <cstdio>
#include <utility>

namespace quaff::win {

template <typename H, typename Free>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, H{}));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    H release() { return std::exchange(h_, H{}); }
    void reset(H h = H{}) {
        H old = std::exchange(h_, h);
        if (old != H{}) Free{}(old);
    }

private:
    H h_{};
};

// Frees a handle with the function that frees it, e.g. Deleter<&DestroyIcon>.
template <auto Free>
struct Deleter {
    template <typename H>
    void operator()(H h) const {
        Free(h);
    }
};

inline void ReleaseInterface(IUnknown* p) { p->Release(); }

using UniqueBitmap = UniqueHandle<HBITMAP, Deleter<&DeleteObject>>;
using UniqueFont = UniqueHandle<HFONT, Deleter<&DeleteObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, Deleter<&DeleteObject>>;
// An icon of one holder (an icon shared by several is a SharedIcon, icon.h).
using UniqueIcon = UniqueHandle<HICON, Deleter<&DestroyIcon>>;
using UniqueDC = UniqueHandle<HDC, Deleter<&DeleteDC>>;
using UniqueMenu = UniqueHandle<HMENU, Deleter<&DestroyMenu>>;
using UniqueKey = UniqueHandle<HKEY, Deleter<&RegCloseKey>>;
using UniqueWindow = UniqueHandle<HWND, Deleter<&DestroyWindow>>;
using UniqueImageList = UniqueHandle<HIMAGELIST, Deleter<&ImageList_Destroy>>;
// A mutex, event or other kernel object (null when none: not INVALID_HANDLE_VALUE).
using UniqueKernelHandle = UniqueHandle<HANDLE, Deleter<&CloseHandle>>;
// A file search; FindFirstFileA's INVALID_HANDLE_VALUE is taken in as null.
using UniqueFind = UniqueHandle<HANDLE, Deleter<&FindClose>>;
// A file of the C runtime (fopen, _wfopen).
using UniqueFile = UniqueHandle<std::FILE*, Deleter<&std::fclose>>;
// A shell item list the shell allocated for the caller.
using UniquePidl = UniqueHandle<PIDLIST_ABSOLUTE, Deleter<&CoTaskMemFree>>;
// A COM interface the caller holds a reference to.
template <class Interface>
class ComPtr : public UniqueHandle<Interface*, Deleter<&ReleaseInterface>> {
public:
    using UniqueHandle<Interface*, Deleter<&ReleaseInterface>>::UniqueHandle;
    Interface* operator->() const { return this->get(); }
};
// Memory the system allocated with LocalAlloc for the caller (FormatMessage's text).
template <class T>
using UniqueLocal = UniqueHandle<T*, Deleter<&LocalFree>>;

// A screen DC borrowed for the scope.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// An object selected into a device context for the scope; what it replaced is selected again
// at the end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Runs `undo` when the scope ends, however it ends: the second half of a change made for the
// length of a scope (a flag set, a count raised, a colour changed).
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F undo) : undo_(std::move(undo)) {}
    ~ScopeExit() { undo_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F undo_;
};

}  // namespace quaff::win
