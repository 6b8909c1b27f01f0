#include "win/text.h"

#include "win/font_cache.h"
#include "win/handles.h"

namespace quaff::win {

std::wstring WideText(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string NarrowText(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::wstring WideWindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string WindowTextOf(HWND window) { return NarrowText(WideWindowText(window)); }

int DrawAnyText(HDC dc, std::string_view text, RECT& rect, UINT flags) {
    const std::wstring wide = WideText(text);
    const SelectedObject font(dc, FontWithGlyphsFor(dc, wide));
    return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect, flags);
}

}  // namespace quaff::win
