// An ini-style view of one registry key: a "section" is a subkey of the opened key and an
// "ident" is a value name in that subkey. Every section access opens the subkey, does its
// work and closes it again, so nothing stays open between calls but the key itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "win/handles.h"

namespace quaff::win {

// "Failed to create key <section>", "Failed to set data for '<ident>'",
// "Invalid data type for '<ident>'", "Failed to get data for '<ident>'".
class RegistryError : public Error {
public:
    using Error::Error;
};

class RegIniFile {
public:
    // `access` is the mask every key and section is opened with.
    RegIniFile(HKEY root, REGSAM access);

    HKEY RootKey() const { return root_; }
    REGSAM Access() const { return access_; }
    bool HasOpenKey() const { return static_cast<bool>(key_); }

    // Opens `path` and makes it the current key. A leading "\" makes the path absolute from
    // the root; otherwise it is relative to the current key (or the root when none is open).
    // With `canCreate` the key and any missing parents are created. Answers false when the
    // key can be neither opened nor created; the current key is then left as it was.
    bool OpenKey(std::string_view path, bool canCreate);
    void CloseKey() { key_.reset(); }

    // Creates the section if absent (with full access), opens it with the access mask and
    // stores `text` as REG_SZ, terminating zero included. Answers false, writing nothing,
    // when the section cannot be opened after its creation. Throws RegistryError when the
    // section cannot be created or the value cannot be set.
    [[nodiscard]] bool WriteString(std::string_view section, std::string_view ident,
                                   std::string_view text);
    // The decimal text of `value`, as WriteString.
    [[nodiscard]] bool WriteInteger(std::string_view section, std::string_view ident,
                                    int32_t value);

    // Removes the value from the section. Answers whether it is gone now (also when it, or
    // the section, was not there): false without an open key or when the registry refuses.
    [[nodiscard]] bool DeleteValue(std::string_view section, std::string_view ident);

    // The text stored under `ident` in the section, or `fallback` when there is no open key,
    // no such section or no such value. Only REG_SZ and REG_EXPAND_SZ are text (the latter
    // taken as stored, unexpanded); the text ends at its first zero. Throws RegistryError for
    // a value of another type or one that cannot be read.
    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view fallback) const;
    // The stored text read as a decimal integer by the program's integer rules; `fallback`
    // when absent or not a valid integer.
    int32_t ReadInteger(std::string_view section, std::string_view ident, int32_t fallback) const;

    // A value of the current key itself, read as ReadString reads; the empty ident names the
    // key's default value.
    std::string ReadValue(std::string_view ident, std::string_view fallback = {}) const;

private:
    // The section opened with the access mask; empty when it cannot be opened.
    UniqueKey OpenSection(std::string_view section) const;

    HKEY root_;
    REGSAM access_;
    UniqueKey key_;
};

}  // namespace quaff::win
