// The monitor window's picture folder: which "*.jpg" entries it holds and where they are.
// Entries are taken in the order the file system lists them, so the same folder gives the
// same sequence of pictures in every run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quaff::monitor {

// Attributes an entry may have and still count: read-only, hidden, system, volume label,
// directory and archive, that is any entry. A folder named x.jpg counts as a picture too.
inline constexpr DWORD kAnyEntry = 63;

class PictureFolder {
public:
    explicit PictureFolder(std::string_view folder);

    // The "*.jpg" entries of the folder; 0 when the folder does not exist.
    uint32_t Count() const;
    // The full path of entry `index` in the listing, or nothing when the folder no longer
    // holds that many. UTF-16 as the listing gives it: a name need not survive a conversion
    // (an unpaired surrogate is a legal file name).
    std::optional<std::wstring> PathOf(uint32_t index) const;

private:
    // With its separator: a text typed without one names the same folder, not files beside it.
    std::wstring folder_;
    bool exists_;
};

}  // namespace quaff::monitor
