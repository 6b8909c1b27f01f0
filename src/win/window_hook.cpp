#include "win/window_hook.h"

#include <commctrl.h>

#include <utility>

#include "core/errors.h"
#include "win/application.h"

namespace quaff::win {

namespace {

// The window's procedure as it reads in the window's own character set: the common controls'
// entry itself when it sits in front, not a stand-in for the other set.
LONG_PTR ProcedureOf(HWND hwnd) {
    return IsWindowUnicode(hwnd) ? GetWindowLongPtrW(hwnd, GWLP_WNDPROC)
                                 : GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
}

// The common controls' entry into a window's subclasses, seen when the first subclass of a
// window put it in front; 0 until then.
LONG_PTR g_subclassEntry = 0;

// Whether nothing but subclasses sit in front of the window's own procedure.
bool OnTop(HWND hwnd) { return g_subclassEntry != 0 && ProcedureOf(hwnd) == g_subclassEntry; }

}  // namespace

LRESULT CALLBACK WindowHook::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                  DWORD_PTR ref) {
    auto* hook = reinterpret_cast<WindowHook*>(ref);
    // A copy: the hook may be removed, and its owner destroyed, while it runs.
    const Handler handler = hook ? hook->handler_ : nullptr;
    // Nothing of ours outlives the window; a hook whose owner went goes once it can (Remove).
    if (msg == WM_NCDESTROY || (!hook && OnTop(hwnd))) RemoveWindowSubclass(hwnd, &Proc, id);
    if (msg == WM_NCDESTROY && hook) {
        hook->window_ = nullptr;
        hook->id_ = 0;
    }
    if (handler) {
        LRESULT result = 0;
        if (Guarded(false, [&] { return handler(hwnd, msg, wp, lp, result); })) return result;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT WindowHook::PassOn(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    return DefSubclassProc(window, msg, wp, lp);
}

void WindowHook::Install(HWND window, Handler handler) {
    Remove();
    // Only a window of this thread can be subclassed (an invalid one belongs to none).
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        throw Error("Cannot hook a window that is not this thread's");
    // A number never used again: a hook left in place by an owner that went (Remove) stays
    // apart from any hook made later, wherever that one lives.
    static UINT_PTR lastId = 0;
    const UINT_PTR id = ++lastId;
    const LONG_PTR before = ProcedureOf(window);
    handler_ = std::move(handler);
    if (!SetWindowSubclass(window, &Proc, id, reinterpret_cast<DWORD_PTR>(this))) {
        handler_ = nullptr;
        throw Error("Cannot hook the window");
    }
    if (const LONG_PTR after = ProcedureOf(window); after != before) g_subclassEntry = after;
    window_ = window;
    id_ = id;
}

void WindowHook::Remove() {
    if (id_ == 0) return;  // none installed, or gone with its window
    const HWND window = std::exchange(window_, nullptr);
    const UINT_PTR id = std::exchange(id_, 0);
    handler_ = nullptr;
    // When the last subclass goes, the common controls (as Wine has them) put the window's
    // own procedure back even over other code that subclassed the window after us, cutting
    // that code out. So a hook removed while other code sits in front stays, handing every
    // message on, until it is on top again or the window is destroyed.
    if (OnTop(window))
        RemoveWindowSubclass(window, &Proc, id);
    else
        SetWindowSubclass(window, &Proc, id, 0);
}

}  // namespace quaff::win
