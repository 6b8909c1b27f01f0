// Owning wrappers for Win32 handles: each frees its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace quaff::win {

template <typename H, typename Deleter>
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
        if (old != H{}) Deleter{}(old);
    }

private:
    H h_{};
};

struct GdiObjectDeleter { void operator()(HGDIOBJ h) const { DeleteObject(h); } };
struct DcDeleter { void operator()(HDC h) const { DeleteDC(h); } };
struct MenuDeleter { void operator()(HMENU h) const { DestroyMenu(h); } };
struct KeyDeleter { void operator()(HKEY h) const { RegCloseKey(h); } };
struct WindowDeleter { void operator()(HWND h) const { DestroyWindow(h); } };

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniqueDC = UniqueHandle<HDC, DcDeleter>;
using UniqueMenu = UniqueHandle<HMENU, MenuDeleter>;
using UniqueKey = UniqueHandle<HKEY, KeyDeleter>;
using UniqueWindow = UniqueHandle<HWND, WindowDeleter>;

// A screen DC borrowed for the scope.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() { if (dc_) ReleaseDC(nullptr, dc_); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }
private:
    HDC dc_;
};

}  // namespace quaff::win
