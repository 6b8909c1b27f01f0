#include "win/shell.h"

#include <shlobj.h>

#include "win/handles.h"

namespace quaff::win {

namespace {

// The shell's buffers hold a path of up to MAX_PATH characters and its terminating zero.
constexpr size_t kPathBuffer = MAX_PATH + 1;

}  // namespace

std::string BrowseForFolder(HWND owner, const std::string& title) {
    try {
        char displayName[kPathBuffer] = {};
        BROWSEINFOA request{};
        request.hwndOwner = owner;
        request.pidlRoot = nullptr;  // the desktop
        request.pszDisplayName = displayName;
        request.lpszTitle = title.c_str();
        request.ulFlags = BIF_RETURNONLYFSDIRS;
        const UniquePidl chosen(SHBrowseForFolderA(&request));
        if (!chosen) return {};
        char path[kPathBuffer] = {};
        return SHGetPathFromIDListA(chosen.get(), path) ? std::string(path) : std::string();
    } catch (...) {
        return {};
    }
}

}  // namespace quaff::win
