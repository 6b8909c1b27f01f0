#include "monitor/picture_folder.h"

#include <functional>

#include "core/folder_text.h"
#include "win/handles.h"
#include "win/text.h"

namespace quaff::monitor {

namespace {

const wchar_t kPattern[] = L"*.jpg";

// Attribute bits an entry must not have unless the mask asks for them; the others (read-only,
// archive, normal, ...) never keep an entry out.
constexpr DWORD kSelectable = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              0x8 /* volume label */ | FILE_ATTRIBUTE_DIRECTORY;

bool PassesMask(DWORD attributes, DWORD mask) { return (attributes & kSelectable & ~mask) == 0; }

// Calls `visit` with the name of each entry matching the pattern whose attributes pass the
// mask, in listing order, until it answers false. The UTF-16 call: a name of 255 characters
// in another script may need more bytes than the ANSI call's MAX_PATH.
void ForEachMatch(const std::wstring& pattern, DWORD mask,
                  const std::function<bool(const wchar_t* name)>& visit) {
    WIN32_FIND_DATAW data;
    const HANDLE first = FindFirstFileW(pattern.c_str(), &data);
    if (first == INVALID_HANDLE_VALUE) return;
    const win::UniqueFind find(first);
    do {
        if (PassesMask(data.dwFileAttributes, mask) && !visit(data.cFileName)) return;
    } while (FindNextFileW(find.get(), &data));
}

// True when the text names a folder that exists (with or without the final separator).
bool FolderExists(const std::wstring& folder) {
    if (folder.empty()) return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

PictureFolder::PictureFolder(std::string_view folder)
    : folder_(win::WideText(WithTrailingSeparator(folder))),
      exists_(FolderExists(win::WideText(folder))) {}

uint32_t PictureFolder::Count() const {
    uint32_t count = 0;
    if (!exists_) return count;
    ForEachMatch(folder_ + kPattern, kAnyEntry, [&count](const wchar_t*) {
        ++count;
        return count < UINT32_MAX;
    });
    return count;
}

std::optional<std::wstring> PictureFolder::PathOf(uint32_t index) const {
    std::optional<std::wstring> path;
    if (!exists_) return path;
    uint32_t seen = 0;
    ForEachMatch(folder_ + kPattern, kAnyEntry, [&](const wchar_t* name) {
        if (seen++ < index) return true;
        path = folder_ + name;
        return false;
    });
    return path;
}

}  // namespace quaff::monitor
