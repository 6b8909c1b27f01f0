#include "registry_test_support.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include "win/handles.h"

namespace quaff::test {

std::vector<RawValue> SettingTexts(const std::vector<std::string>& texts) {
    std::vector<RawValue> values;
    for (size_t i = 0; i < texts.size(); ++i)
        values.push_back({kSettingValues[i], REG_SZ, texts[i] + '\0'});
    return values;
}

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
                  ERROR_SUCCESS)
            << name;
        const win::UniqueKey owned(child);
        DeleteOpened(child);
    }
    static const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    ASSERT_NE(ntDeleteKey, nullptr);
    ASSERT_EQ(ntDeleteKey(key), 0);
}

win::UniqueKey CreateKey(HKEY root, const std::string& path, DWORD options) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS)
        << path;
    return win::UniqueKey(key);
}

// The key opened, or empty when it cannot be.
win::UniqueKey OpenKey(HKEY root, const std::string& path, DWORD options, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), options, access, &key) != ERROR_SUCCESS) return {};
    return win::UniqueKey(key);
}

}  // namespace

void DeleteTree(HKEY root, const std::string& path) {
    {
        const win::UniqueKey key = OpenKey(root, path, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS);
        if (!key) return;
        DeleteOpened(key.get());
    }
    EXPECT_FALSE(KeyExists(root, path)) << path;
}

bool KeyExists(HKEY root, const std::string& path) {
    return static_cast<bool>(OpenKey(root, path, REG_OPTION_OPEN_LINK, KEY_READ));
}

void PutRaw(HKEY root, const std::string& path, const std::vector<RawValue>& values) {
    const win::UniqueKey key = CreateKey(root, path, REG_OPTION_NON_VOLATILE);
    if (!key) return;
    for (const RawValue& v : values)
        EXPECT_EQ(RegSetValueExA(key.get(), v.name.c_str(), 0, v.type,
                                 reinterpret_cast<const BYTE*>(v.data.data()),
                                 static_cast<DWORD>(v.data.size())),
                  ERROR_SUCCESS)
            << v.name;
}

std::optional<RawValue> GetRaw(HKEY root, const std::string& path, const std::string& name) {
    const win::UniqueKey key = OpenKey(root, path, 0, KEY_READ);
    if (!key) return std::nullopt;
    RawValue v{name, REG_NONE, {}};
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &v.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        v.data.resize(size);
        rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &v.type,
                              reinterpret_cast<BYTE*>(v.data.data()), &size);
        v.data.resize(size);
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return v;
}

void CreateVolatileKey(HKEY root, const std::string& path) {
    CreateKey(root, path, REG_OPTION_VOLATILE);
}

void CreateDanglingLink(HKEY root, const std::string& path) {
    const win::UniqueKey link = CreateKey(root, path, REG_OPTION_CREATE_LINK);
    if (!link) return;
    static const wchar_t kTarget[] = L"\\Registry\\Machine\\Software\\QuaffNowhere\\Gone";
    EXPECT_EQ(
        RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                       reinterpret_cast<const BYTE*>(kTarget), sizeof kTarget - sizeof(wchar_t)),
        ERROR_SUCCESS);
}

namespace {

// Gives the key the access list of the text (the owner may always change it back).
void SetAccess(HKEY root, const std::string& path, const char* sddl) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS) << path;
    const win::UniqueKey owned(key);
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr));
    const win::UniqueLocal<void> described(sd);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
}

}  // namespace

ReadOnlyKey::ReadOnlyKey(HKEY root, std::string path) : root(root), path(std::move(path)) {
    SetAccess(root, this->path, "D:(A;;KR;;;WD)");
}

ReadOnlyKey::~ReadOnlyKey() { SetAccess(root, path, "D:(A;;KA;;;WD)"); }

}  // namespace quaff::test
