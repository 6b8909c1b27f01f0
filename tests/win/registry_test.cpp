// The ini-style registry accessor against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "registry_test_support.h"
#include "win/registry.h"

namespace {

using quaff::test::DeleteTree;
using quaff::test::GetRaw;
using quaff::test::KeyExists;
using quaff::test::PutRaw;
using quaff::test::RawValue;
using quaff::win::RegIniFile;
using quaff::win::RegistryError;

const std::string kKey = "Software\\QuaffTest";
const std::string kSection = kKey + "\\Sec";

// Every character from U+0001 to U+07FF, then one of three and one of four bytes, in UTF-8
// (the program's code page).
std::string EveryCharacterFrom(int first) {
    std::string s;
    for (int c = first; c < 0x800; ++c) {
        if (c < 0x80) {
            s += static_cast<char>(c);
        } else {
            s += static_cast<char>(0xC0 | c >> 6);
            s += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return s + "\xE6\x9D\xB1\xF0\x9F\x8D\xBA";
}

std::string LongText(size_t length) {
    std::string s;
    for (size_t i = 0; i < length; ++i) s += static_cast<char>('a' + i % 26);
    return s;
}

// The message of the RegistryError `read` throws, or "no error".
template <typename F>
std::string ErrorOf(F&& read) {
    try {
        read();
    } catch (const RegistryError& e) {
        return e.what();
    }
    return "no error";
}

class RegIniFileTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kKey); }

    // An accessor on the test key, created if absent.
    static RegIniFile OpenTestKey(REGSAM access) {
        RegIniFile ini(HKEY_CURRENT_USER, access);
        EXPECT_TRUE(ini.OpenKey("\\" + kKey, true));
        return ini;
    }
};

TEST_F(RegIniFileTest, WrittenTextIsStoredAsTerminatedRegSzAndReadsBackExactly) {
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"blanks kept", "  025000.00  "},
        {"folder", "C:\\My Pictures\\"},
        {"10,000 characters", LongText(10000)},
        {"every character but zero", EveryCharacterFrom(1)},
    };
    RegIniFile writer = OpenTestKey(KEY_WRITE);
    const RegIniFile reader = OpenTestKey(KEY_READ);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(writer.WriteString("Sec", "v", c.text));
        const auto raw = GetRaw(HKEY_CURRENT_USER, kSection, "v");
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(raw->data, c.text + '\0');
        EXPECT_EQ(reader.ReadString("Sec", "v", "fallback"), c.text);
    }
}

TEST_F(RegIniFileTest, StoredTextIsReadUpToItsEndWhateverItsShape) {
    const struct {
        const char* what;
        RawValue stored;
        std::string expected;
    } cases[] = {
        {"embedded zero", {"v", REG_SZ, std::string("abc\0def\0", 8)}, "abc"},
        {"no terminator", {"v", REG_SZ, "abc"}, "abc"},
        {"long, no terminator", {"v", REG_SZ, LongText(10000)}, LongText(10000)},
        {"as long as a short read takes", {"v", REG_SZ, LongText(255)}, LongText(255)},
        {"one more than that", {"v", REG_SZ, LongText(256)}, LongText(256)},
        {"zero length", {"v", REG_SZ, ""}, ""},
        {"expandable, unexpanded",
         {"v", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)},
         "%TEMP%\\x"},
        {"expandable, zero length", {"v", REG_EXPAND_SZ, ""}, ""},
    };
    const RegIniFile reader = OpenTestKey(KEY_READ);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutRaw(HKEY_CURRENT_USER, kSection, {c.stored});
        EXPECT_EQ(reader.ReadString("Sec", "v", "fallback"), c.expected);
    }
}

TEST_F(RegIniFileTest, ValueOfAnotherTypeIsAnError) {
    const RawValue cases[] = {
        {"v", REG_DWORD, std::string("\x05\0\0\0", 4)},
        {"v", REG_QWORD, std::string(8, '\0')},
        {"v", REG_BINARY, "abc"},
        {"v", REG_BINARY, ""},
        {"v", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
        {"v", REG_NONE, ""},
    };
    const RegIniFile reader = OpenTestKey(KEY_READ);
    for (const auto& stored : cases) {
        SCOPED_TRACE(stored.type);
        PutRaw(HKEY_CURRENT_USER, kSection, {stored});
        EXPECT_EQ(ErrorOf([&] { reader.ReadString("Sec", "v", ""); }), "Invalid data type for 'v'");
        EXPECT_EQ(ErrorOf([&] { reader.ReadInteger("Sec", "v", 0); }), "Invalid data type for 'v'");
    }
}

TEST_F(RegIniFileTest, IntegerTextIsReadByTheProgramsIntegerRules) {
    const struct {
        std::string stored;
        int32_t expected;
    } cases[] = {
        {"  -7", -7}, {"$1F", 31}, {"7 ", 99},         {"12abc", 99},
        {"1.0", 99},  {"", 99},    {"2147483648", 99}, {"-2147483648", INT32_MIN},
    };
    const RegIniFile reader = OpenTestKey(KEY_READ);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        PutRaw(HKEY_CURRENT_USER, kSection, {{"n", REG_SZ, c.stored + '\0'}});
        EXPECT_EQ(reader.ReadInteger("Sec", "n", 99), c.expected);
    }
}

TEST_F(RegIniFileTest, LeadingBackslashMakesThePathAbsoluteOtherwiseItIsRelative) {
    RegIniFile ini(HKEY_CURRENT_USER, KEY_WRITE);
    ASSERT_TRUE(ini.OpenKey("\\" + kKey + "\\A", true));
    ASSERT_TRUE(ini.OpenKey("B", true));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey + "\\A\\B"));
    ASSERT_TRUE(ini.OpenKey("\\" + kKey + "\\C", true));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey + "\\C"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + "\\A\\B\\" + kKey + "\\C"));
}

TEST_F(RegIniFileTest, SectionThatCannotBeCreatedIsAnError) {
    // The registry keeps no lasting key below one that lives only in memory.
    quaff::test::CreateVolatileKey(HKEY_CURRENT_USER, kKey);
    RegIniFile writer = OpenTestKey(KEY_WRITE);
    EXPECT_EQ(ErrorOf([&] { (void)writer.WriteString("Sec", "v", "x"); }),
              "Failed to create key Sec");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSection));

    RegIniFile unopened(HKEY_CURRENT_USER, KEY_WRITE);
    EXPECT_EQ(ErrorOf([&] { (void)unopened.WriteString("Sec", "v", "x"); }),
              "Failed to create key Sec");
}

// The browser lookup reads a key's default value from the classes root without creating
// anything. (Wine's classes root is the machine's; the throwaway prefix may be written.)
TEST(RegIniFileClassesTest, DefaultValueOfAKeyIsReadWithoutCreatingIt) {
    const std::string classes = "Software\\Classes\\QuaffTestProto";
    const std::string command = "QuaffTestProto\\shell\\open\\command";
    DeleteTree(HKEY_LOCAL_MACHINE, classes);

    RegIniFile ini(HKEY_CLASSES_ROOT, KEY_READ);
    EXPECT_FALSE(ini.OpenKey(command, false));
    EXPECT_EQ(ini.ReadValue(""), "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, classes));

    const std::string stored = "\"C:\\Browser\\browse.exe\" -nohome";
    PutRaw(HKEY_LOCAL_MACHINE, classes + "\\shell\\open\\command", {{"", REG_SZ, stored + '\0'}});
    ASSERT_TRUE(ini.OpenKey(command, false));
    EXPECT_EQ(ini.ReadValue(""), stored);

    PutRaw(HKEY_LOCAL_MACHINE, classes + "\\shell\\open\\command",
           {{"", REG_DWORD, std::string(4, '\0')}});
    EXPECT_EQ(ErrorOf([&] { ini.ReadValue(""); }), "Invalid data type for ''");
    DeleteTree(HKEY_LOCAL_MACHINE, classes);
}

// Another process may rewrite a value between the accessor's size query and its read; the
// text read is then one of the stored texts in full, never a cut or overrun one.
TEST_F(RegIniFileTest, ValueRewrittenWhileBeingReadIsReadWhole) {
    const std::string shortText = "short";
    const std::string longText = LongText(5000);
    PutRaw(HKEY_CURRENT_USER, kSection, {{"v", REG_SZ, shortText + '\0'}});
    std::atomic<bool> stop{false};
    std::atomic<int> rewrites{0};
    std::thread writer([&] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSection.c_str(), 0, KEY_SET_VALUE, &key)) return;
        for (int i = 0; !stop; ++i) {
            const std::string& text = i % 2 ? longText : shortText;
            RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
            ++rewrites;
        }
        RegCloseKey(key);
    });
    const RegIniFile reader = OpenTestKey(KEY_READ);
    int wrong = 0;
    std::string failure;
    for (int i = 0; i < 300; ++i) {
        try {
            const std::string text = reader.ReadString("Sec", "v", "");
            if (text != shortText && text != longText) ++wrong;
        } catch (const RegistryError& e) {
            failure = e.what();
        }
    }
    stop = true;
    writer.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(failure, "");
    std::printf("value rewritten %d times during 300 reads\n", rewrites.load());
}

}  // namespace
