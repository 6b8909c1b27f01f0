#include "win/shell.h"

#include <shlobj.h>

#include "win/handles.h"
#include "win/text.h"

namespace quaff::win {

namespace {

// The shell's buffers hold a path of up to MAX_PATH characters and its terminating zero.
constexpr size_t kPathBuffer = MAX_PATH + 1;

}  // namespace

// The UTF-16 calls: a path of MAX_PATH characters may take three times as many bytes in the
// program's code page, more than the ANSI calls' buffers hold.
std::string BrowseForFolder(HWND owner, const std::string& title) {
    try {
        const std::wstring wideTitle = WideText(title);
        wchar_t displayName[kPathBuffer] = {};
        BROWSEINFOW request{};
        request.hwndOwner = owner;
        request.pidlRoot = nullptr;  // the desktop
        request.pszDisplayName = displayName;
        request.lpszTitle = wideTitle.c_str();
        request.ulFlags = BIF_RETURNONLYFSDIRS;
        const UniquePidl chosen(SHBrowseForFolderW(&request));
        if (!chosen) return {};
        wchar_t path[kPathBuffer] = {};
        return SHGetPathFromIDListW(chosen.get(), path) ? NarrowText(path) : std::string();
    } catch (...) {
        return {};
    }
}

}  // namespace quaff::win
