#include "win/window_class.h"

#include <string>
#include <unordered_map>

#include "core/errors.h"
#include "win/handles.h"
#include "win/text.h"

namespace quaff::win {

namespace {

struct Binding {
    void* object;
    const std::type_info* type;
};

// Never destroyed: a window may still get a message while the program's statics go.
std::unordered_map<HWND, Binding>& Bindings() {
    static auto* bindings = new std::unordered_map<HWND, Binding>();
    return *bindings;
}

// The system's text for `code` without its line break, or "" when it has none.
std::string SystemReason(DWORD code) {
    if (code == 0) return {};
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const UniqueLocal<wchar_t> owned(text);
    std::wstring reason(text ? text : L"", length);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) reason.pop_back();
    return NarrowText(reason);
}

}  // namespace

void RegisterWindowClassOnce(WNDCLASSA wc) {
    wc.hInstance = GetModuleHandleA(nullptr);
    WNDCLASSA probe;
    if (GetClassInfoA(wc.hInstance, wc.lpszClassName, &probe)) return;
    RegisterClassA(&wc);
}

HWND CreateWindowOrThrow(const NewWindow& window) {
    const RECT& r = window.rect;
    SetLastError(0);
    const HWND hwnd = CreateWindowExW(window.exStyle, WideText(window.className).c_str(),
                                      WideText(window.caption).c_str(), window.style, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, window.parent,
                                      window.menu, GetModuleHandleA(nullptr), window.object);
    if (hwnd) return hwnd;
    std::string message = std::string("Error creating window of class ") + window.className;
    if (const std::string reason = SystemReason(GetLastError()); !reason.empty())
        message += ": " + reason;
    throw Error(message);
}

void detail::Bind(HWND window, const std::type_info& type, void* object) {
    Bindings()[window] = Binding{object, &type};
}

void* detail::Bound(HWND window, const std::type_info& type) {
    const auto found = Bindings().find(window);
    return found != Bindings().end() && *found->second.type == type ? found->second.object
                                                                    : nullptr;
}

void UnbindWindow(HWND window) { Bindings().erase(window); }

}  // namespace quaff::win
