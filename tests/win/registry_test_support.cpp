#include "registry_test_support.h"

#include <gtest/gtest.h>

namespace quaff::test {

namespace {

using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);

// Keys are opened as links so that a link is deleted itself instead of its target (and a
// dangling one can be deleted at all); an ordinary key opens the same way either way.
void DeleteOpened(HKEY key) {
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY child = nullptr;
        ASSERT_EQ(RegOpenKeyExA(key, name, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &child),
                  ERROR_SUCCESS) << name;
        DeleteOpened(child);
        RegCloseKey(child);
    }
    static const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    ASSERT_NE(ntDeleteKey, nullptr);
    ASSERT_EQ(ntDeleteKey(key), 0);
}

HKEY CreateKey(HKEY root, const std::string& path, DWORD options) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS)
        << path;
    return key;
}

}  // namespace

void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    DeleteOpened(key);
    RegCloseKey(key);
    EXPECT_FALSE(KeyExists(root, path)) << path;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void PutRaw(HKEY root, const std::string& path, const std::vector<RawValue>& values) {
    HKEY key = CreateKey(root, path, REG_OPTION_NON_VOLATILE);
    if (!key) return;
    for (const RawValue& v : values)
        EXPECT_EQ(RegSetValueExA(key, v.name.c_str(), 0, v.type,
                                 reinterpret_cast<const BYTE*>(v.data.data()),
                                 static_cast<DWORD>(v.data.size())),
                  ERROR_SUCCESS)
            << v.name;
    RegCloseKey(key);
}

std::optional<RawValue> GetRaw(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue v{name, REG_NONE, {}};
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        v.data.resize(size);
        rc = RegQueryValueExA(key, name.c_str(), nullptr, &v.type,
                              reinterpret_cast<BYTE*>(v.data.data()), &size);
        v.data.resize(size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return v;
}

void CreateVolatileKey(HKEY root, const std::string& path) {
    if (HKEY key = CreateKey(root, path, REG_OPTION_VOLATILE)) RegCloseKey(key);
}

void CreateDanglingLink(HKEY root, const std::string& path) {
    HKEY link = CreateKey(root, path, REG_OPTION_CREATE_LINK);
    if (!link) return;
    static const wchar_t kTarget[] = L"\\Registry\\Machine\\Software\\QuaffNowhere\\Gone";
    EXPECT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                             reinterpret_cast<const BYTE*>(kTarget),
                             sizeof kTarget - sizeof(wchar_t)),
              ERROR_SUCCESS);
    RegCloseKey(link);
}

}  // namespace quaff::test
