#include "win/registry.h"

#include <algorithm>

#include "core/numtext.h"

namespace quaff::win {

namespace {

// A value that changes size between the size query and the read is asked for again; the
// headroom added on each retry means a value flipping between two sizes is caught by the
// second attempt, so running out of attempts takes a value that keeps growing.
constexpr int kReadAttempts = 8;

std::string CreateFailed(const std::string& section) { return "Failed to create key " + section; }
std::string SetDataFailed(const std::string& ident) {
    return "Failed to set data for '" + ident + "'";
}
std::string InvalidType(const std::string& ident) {
    return "Invalid data type for '" + ident + "'";
}
std::string GetDataFailed(const std::string& ident) {
    return "Failed to get data for '" + ident + "'";
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// Creates `section` under `key` with full access if it is absent; empty when it cannot.
UniqueKey CreateSection(HKEY key, const std::string& section) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(key, section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &created, nullptr) != ERROR_SUCCESS)
        return {};
    return UniqueKey(created);
}

// Reads a text value of `key`. The stored data is never trusted to carry its terminator: the
// buffer keeps one zero past what the call may fill, and the text is cut at the first zero
// within the length the call reported.
std::string ReadText(HKEY key, const std::string& ident, std::string_view fallback) {
    // The settings are short: one call reads them (every call is a round trip to the system's
    // registry, and the tick loads seven values three times). A longer one reports its size.
    char first[256];
    DWORD type = REG_NONE;
    DWORD size = sizeof first - 1;
    LONG rc =
        RegQueryValueExA(key, ident.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(first), &size);
    if (rc == ERROR_FILE_NOT_FOUND) return std::string(fallback);
    if (rc == ERROR_SUCCESS) {
        if (!IsText(type)) throw RegistryError(InvalidType(ident));
        const std::string_view text(first, std::min<DWORD>(size, sizeof first - 1));
        return std::string(text.substr(0, text.find('\0')));
    }
    if (rc != ERROR_MORE_DATA) throw RegistryError(GetDataFailed(ident));

    std::string buffer;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (!IsText(type)) throw RegistryError(InvalidType(ident));
        if (size == 0) return {};
        buffer.assign(static_cast<size_t>(size) + 1, '\0');
        DWORD got = size;
        rc = RegQueryValueExA(key, ident.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (rc == ERROR_SUCCESS) {
            if (!IsText(type)) throw RegistryError(InvalidType(ident));
            buffer.resize(std::min(got, size));
            buffer.resize(std::min(buffer.find('\0'), buffer.size()));
            return buffer;
        }
        if (rc == ERROR_FILE_NOT_FOUND) return std::string(fallback);  // deleted meanwhile
        if (rc != ERROR_MORE_DATA) throw RegistryError(GetDataFailed(ident));
        const uint64_t wanted = uint64_t{got} + got / 2;
        size = static_cast<DWORD>(std::min<uint64_t>(wanted, MAXDWORD - 1));
    }
    throw RegistryError(GetDataFailed(ident));
}

}  // namespace

RegIniFile::RegIniFile(HKEY root, REGSAM access) : root_(root), access_(access) {}

bool RegIniFile::OpenKey(std::string_view path, bool canCreate) {
    HKEY base = key_ ? key_.get() : root_;
    if (!path.empty() && path.front() == '\\') {
        base = root_;
        path.remove_prefix(1);
    }
    const std::string subkey(path);
    HKEY opened = nullptr;
    const LONG rc = canCreate && !subkey.empty()
                        ? RegCreateKeyExA(base, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          access_, nullptr, &opened, nullptr)
                        : RegOpenKeyExA(base, subkey.c_str(), 0, access_, &opened);
    if (rc != ERROR_SUCCESS) return false;
    key_.reset(opened);
    return true;
}

UniqueKey RegIniFile::OpenSection(std::string_view section) const {
    if (!key_) return {};
    HKEY opened = nullptr;
    if (RegOpenKeyExA(key_.get(), std::string(section).c_str(), 0, access_, &opened) !=
        ERROR_SUCCESS)
        return {};
    return UniqueKey(opened);
}

bool RegIniFile::WriteString(std::string_view section, std::string_view ident,
                             std::string_view text) {
    const std::string sectionName(section);
    // Made with full access and closed again at once: the value goes through the access mask.
    if (!key_ || !CreateSection(key_.get(), sectionName))
        throw RegistryError(CreateFailed(sectionName));

    const UniqueKey sub = OpenSection(section);
    if (!sub) return false;
    const std::string name(ident);
    const std::string data(text);
    if (data.size() >= MAXDWORD ||
        RegSetValueExA(sub.get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
        throw RegistryError(SetDataFailed(name));
    return true;
}

bool RegIniFile::WriteInteger(std::string_view section, std::string_view ident, int32_t value) {
    return WriteString(section, ident, IntToStr(value));
}

bool RegIniFile::DeleteValue(std::string_view section, std::string_view ident) {
    if (!key_) return false;
    const LSTATUS status =
        RegDeleteKeyValueA(key_.get(), std::string(section).c_str(), std::string(ident).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string RegIniFile::ReadString(std::string_view section, std::string_view ident,
                                   std::string_view fallback) const {
    const UniqueKey sub = OpenSection(section);
    if (!sub) return std::string(fallback);
    return ReadText(sub.get(), std::string(ident), fallback);
}

int32_t RegIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                int32_t fallback) const {
    return TryStrToInt(ReadString(section, ident, {})).value_or(fallback);
}

std::string RegIniFile::ReadValue(std::string_view ident, std::string_view fallback) const {
    if (!key_) return std::string(fallback);
    return ReadText(key_.get(), std::string(ident), fallback);
}

}  // namespace quaff::win
