#include "win/window_hook.h"

#include <unordered_map>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "win/application.h"

namespace quaff::win {

namespace {

// What a hooked window had before our subclass, and the hooks in front of it, oldest first.
// A hook is known by a number that is never reused, so a hook whose window was destroyed
// (and whose handle a new window may carry) finds nothing to remove.
struct Chain {
    WNDPROC original = nullptr;
    std::vector<std::pair<std::uint64_t, WindowHook::Handler>> hooks;
};

// Never destroyed: a window may still get a message while the program's statics go.
std::unordered_map<HWND, Chain>& Chains() {
    static auto* chains = new std::unordered_map<HWND, Chain>();
    return *chains;
}

std::uint64_t g_lastId = 0;

LRESULT CALLBACK ChainProc(HWND, UINT, WPARAM, LPARAM);

bool OnTop(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == &ChainProc;
}

// With no hook left and nothing in front of our subclass, the window gets its own
// procedure back.
void DropIfUnused(HWND hwnd) {
    auto it = Chains().find(hwnd);
    if (it == Chains().end() || !it->second.hooks.empty() || !OnTop(hwnd)) return;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.original));
    Chains().erase(it);
}

// The handler of the newest hook older than `below`, or none. Looked up afresh for every
// hook, since a handler may add or remove hooks (and destroy their owners).
bool NextHandler(HWND hwnd, std::uint64_t& below, WindowHook::Handler& handler) {
    auto it = Chains().find(hwnd);
    if (it == Chains().end()) return false;
    const auto& hooks = it->second.hooks;
    for (auto h = hooks.rbegin(); h != hooks.rend(); ++h) {
        if (h->first < below) {
            below = h->first;
            handler = h->second;  // a copy: the hook may be removed while it runs
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK ChainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto it = Chains().find(hwnd);
    if (it == Chains().end()) return DefWindowProcA(hwnd, msg, wp, lp);
    const WNDPROC original = it->second.original;
    std::uint64_t below = UINT64_MAX;
    WindowHook::Handler handler;
    while (NextHandler(hwnd, below, handler)) {
        LRESULT result = 0;
        if (Guarded(false, [&] { return handler(hwnd, msg, wp, lp, result); })) return result;
    }
    if (msg == WM_NCDESTROY) {
        const LRESULT result = CallWindowProcA(original, hwnd, msg, wp, lp);
        Chains().erase(hwnd);
        return result;
    }
    DropIfUnused(hwnd);
    return CallWindowProcA(original, hwnd, msg, wp, lp);
}

}  // namespace

void WindowHook::Install(HWND window, Handler handler) {
    Remove();
    auto [it, fresh] = Chains().try_emplace(window);
    if (fresh) {
        // Only a window of this thread can be subclassed (an invalid one belongs to none).
        const bool ours = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
        it->second.original =
            ours ? reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                       window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainProc)))
                 : nullptr;
        if (!it->second.original) {
            Chains().erase(it);
            throw Error("Cannot hook a window that is not this thread's");
        }
    }
    id_ = ++g_lastId;
    window_ = window;
    it->second.hooks.emplace_back(id_, std::move(handler));
}

void WindowHook::Remove() {
    if (id_ == 0) return;
    auto it = Chains().find(window_);
    if (it != Chains().end()) {
        auto& hooks = it->second.hooks;
        for (auto h = hooks.begin(); h != hooks.end(); ++h) {
            if (h->first == id_) {
                hooks.erase(h);
                break;
            }
        }
        DropIfUnused(window_);
    }
    id_ = 0;
    window_ = nullptr;
}

}  // namespace quaff::win
