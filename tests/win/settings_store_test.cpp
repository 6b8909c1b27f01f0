// The settings store against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "registry_test_support.h"
#include "settings/settings.h"

namespace quaff {

void PrintTo(const TBeer& b, std::ostream* os) {
    *os << "{UserName \"" << b.UserName << "\", Salary \"" << b.Salary << "\", DaysAWeek \""
        << b.DaysAWeek << "\", HoursADay \"" << b.HoursADay << "\", PriceOfDrink \""
        << b.PriceOfDrink << "\", IconSet " << b.IconSet << ", ImageDir \"" << b.ImageDir << "\"}";
}

}  // namespace quaff

namespace {

using quaff::LoadSettings;
using quaff::SaveSettings;
using quaff::TBeer;
using quaff::test::GetRaw;
using quaff::test::KeyExists;
using quaff::test::kOrvikKey;
using quaff::test::kProgramKey;
using quaff::test::kSettingsKey;
using quaff::test::RawValue;

RawValue Text(const std::string& name, const std::string& text) {
    return {name, REG_SZ, text + '\0'};
}

// What a record held before a load, so that fields a load leaves alone stand out.
TBeer Previous() {
    return {"old name", "old salary", "old days", "old hours", "old price", 7, "old dir"};
}

TBeer Typical() { return {"Joe", "025000.00", "5", "8", "03.50", 3, "C:\\Pictures\\"}; }

TBeer Defaults() { return {"", "", "", "", "", -1, ""}; }

std::vector<RawValue> TypicalStored() {
    return quaff::test::SettingTexts(quaff::test::kTypicalSettings);
}

std::vector<RawValue> StoredWith(const RawValue& changed) {
    auto values = TypicalStored();
    for (RawValue& v : values)
        if (v.name == changed.name) v = changed;
    return values;
}

std::vector<RawValue> StoredWithout(const std::string& name) {
    auto values = TypicalStored();
    std::erase_if(values, [&](const RawValue& v) { return v.name == name; });
    return values;
}

// The previous record with its first `count` fields, in load order, as typically stored.
TBeer LoadedUpTo(int count) {
    TBeer b = Previous();
    const TBeer t = Typical();
    if (count > 0) b.UserName = t.UserName;
    if (count > 1) b.Salary = t.Salary;
    if (count > 2) b.DaysAWeek = t.DaysAWeek;
    if (count > 3) b.HoursADay = t.HoursADay;
    if (count > 4) b.PriceOfDrink = t.PriceOfDrink;
    if (count > 5) b.IconSet = t.IconSet;
    if (count > 6) b.ImageDir = t.ImageDir;
    return b;
}

TBeer TypicalWith(int32_t iconSet) {
    TBeer b = Typical();
    b.IconSet = iconSet;
    return b;
}

TBeer Load() {
    TBeer b = Previous();
    LoadSettings(b);
    return b;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    quaff::test::NoStoredSettings noSettings_;
};

TEST_F(SettingsStoreTest, FirstRunYieldsEmptyTextsAndNoIconSetAndLeavesAnEmptyKey) {
    EXPECT_EQ(Load(), Defaults());
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kProgramKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKey.c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD subkeys = 1, values = 1;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(subkeys, 0u);
    EXPECT_EQ(values, 0u);
}

TEST_F(SettingsStoreTest, LoadReadsWhatIsStoredAndStopsAtTheFirstValueThatIsNotText) {
    const std::string dword(4, '\x02');
    const struct {
        const char* what;
        std::vector<RawValue> stored;
        TBeer expected;
    } cases[] = {
        {"all seven stored", TypicalStored(), Typical()},
        {"Salary a number", StoredWith({"Salary", REG_DWORD, dword}), LoadedUpTo(1)},
        {"HoursADay binary", StoredWith({"HoursADay", REG_BINARY, "\x01\x02"}), LoadedUpTo(3)},
        {"IconSet a number", StoredWith({"IconSet", REG_DWORD, dword}), LoadedUpTo(5)},
        {"IconSet not an integer", StoredWith(Text("IconSet", "abc")), TypicalWith(-1)},
        {"IconSet empty", StoredWith(Text("IconSet", "")), TypicalWith(-1)},
        {"IconSet missing", StoredWithout("IconSet"), TypicalWith(-1)},
        {"UserName missing", StoredWithout("UserName"),
         [] {
             TBeer b = Typical();
             b.UserName = "";
             return b;
         }()},
        {"ImageDir expandable, kept unexpanded",
         StoredWith({"ImageDir", REG_EXPAND_SZ, std::string("%USERPROFILE%\\Pics\\\0", 19)}),
         [] {
             TBeer b = Typical();
             b.ImageDir = "%USERPROFILE%\\Pics\\";
             return b;
         }()},
        {"UserName with an embedded zero",
         StoredWith({"UserName", REG_SZ, std::string("Joe\0Bloggs\0", 11)}), Typical()},
        {"Settings empty", {}, Defaults()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        quaff::test::DeleteTree(HKEY_CURRENT_USER, kOrvikKey);
        quaff::test::PutRaw(HKEY_CURRENT_USER, kSettingsKey, c.stored);
        EXPECT_EQ(Load(), c.expected);
    }
}

TEST_F(SettingsStoreTest, SaveStoresSevenTextValuesThatLoadBackExactly) {
    TBeer longTexts;
    char fill = 'A';
    for (std::string* field : {&longTexts.UserName, &longTexts.Salary, &longTexts.DaysAWeek,
                               &longTexts.HoursADay, &longTexts.PriceOfDrink, &longTexts.ImageDir})
        *field = std::string(10000, fill++);
    // Text in several scripts, two to four bytes a character (the program's code page is UTF-8).
    const std::string scripts =
        "\xC5\x81\xC3\xB3"
        "d\xC5\xBA \xCE\xA9\xCE\xBC \xD0\x96 \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8D\xBA";
    const struct {
        const char* what;
        TBeer record;
        const char* iconSetText;
    } cases[] = {
        {"new record", TBeer{}, "0"},
        {"typical", Typical(), "3"},
        {"no icon set chosen", TypicalWith(-1), "-1"},
        {"empty masked fields", {"", "      .  ", "", "", "  .  ", 2, ""}, "2"},
        {"10,000 characters each", longTexts, "0"},
        {"any script",
         {scripts, scripts, scripts, scripts, scripts, INT32_MAX, scripts},
         "2147483647"},
        {"lowest icon set", TypicalWith(INT32_MIN), "-2147483648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(SaveSettings(c.record));
        for (const char* name : quaff::test::kSettingValues) {
            const auto raw = GetRaw(HKEY_CURRENT_USER, kSettingsKey, name);
            ASSERT_TRUE(raw) << name;
            EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << name;
        }
        EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kSettingsKey, "IconSet")->data,
                  std::string(c.iconSetText) + '\0');
        EXPECT_EQ(Load(), c.record);
    }
}

// Wine grants every registry access whatever a key's security says, so these obstacles are
// ones it does enforce: no lasting key under one that lives only in memory, and a link
// whose target is gone can be neither opened nor created.
TEST_F(SettingsStoreTest, SaveAnswersFalseWhenTheRegistryRefusesAndLoadStillYieldsDefaults) {
    const struct {
        const char* what;
        void (*obstruct)();
    } cases[] = {
        {"program key cannot be created",
         [] { quaff::test::CreateVolatileKey(HKEY_CURRENT_USER, kOrvikKey); }},
        {"Settings cannot be created",
         [] { quaff::test::CreateVolatileKey(HKEY_CURRENT_USER, kProgramKey); }},
        {"Settings cannot be opened",
         [] { quaff::test::CreateDanglingLink(HKEY_CURRENT_USER, kSettingsKey); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        quaff::test::DeleteTree(HKEY_CURRENT_USER, kOrvikKey);
        c.obstruct();
        EXPECT_FALSE(SaveSettings(Typical()));
        EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, kSettingsKey, "UserName"));
        EXPECT_EQ(Load(), Defaults());
    }
}

}  // namespace
