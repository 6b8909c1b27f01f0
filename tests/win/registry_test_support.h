// Raw registry access for the tests: values stored and inspected byte for byte, bypassing
// the program's accessor, and keys shaped so that the registry refuses what the program asks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quaff::test {

struct RawValue {
    std::string name;
    DWORD type = REG_SZ;
    std::string data;  // exactly the bytes stored (REG_SZ text without an implied terminator)
};

// Removes the key and everything below it, symbolic links included (a link is removed, never
// followed). Absent keys are fine.
void DeleteTree(HKEY root, const std::string& path);

bool KeyExists(HKEY root, const std::string& path);

// Creates the key (and parents) if need be and stores each value as given.
void PutRaw(HKEY root, const std::string& path, const std::vector<RawValue>& values);

// The value as stored, read with the ANSI call; nullopt when key or value is absent.
std::optional<RawValue> GetRaw(HKEY root, const std::string& path, const std::string& name);

// A key that lives only in memory: the registry refuses to create a lasting key below it.
void CreateVolatileKey(HKEY root, const std::string& path);

// A symbolic link key whose target does not exist: it can be neither opened nor created.
void CreateDanglingLink(HKEY root, const std::string& path);

// While it lives the key can be read but nothing in it changed: its values can be neither set
// nor deleted (its access list grants only reading).
struct ReadOnlyKey {
    ReadOnlyKey(HKEY root, std::string path);
    ~ReadOnlyKey();
    HKEY root;
    std::string path;
};

// The program's keys below HKEY_CURRENT_USER.
inline const std::string kOrvikKey = "Software\\Orvik";
inline const std::string kProgramKey = kOrvikKey + "\\Quaffometer";
inline const std::string kSettingsKey = kProgramKey + "\\Settings";

// The seven values under Settings in the order the program writes and reads them: written out
// here, not taken from the program, so that a name the program got wrong shows.
inline const char* const kSettingValues[] = {"UserName",     "Salary",  "DaysAWeek", "HoursADay",
                                             "PriceOfDrink", "IconSet", "ImageDir"};
// Each of `texts` as text under its name, in that order.
std::vector<RawValue> SettingTexts(const std::vector<std::string>& texts);
// A typical record as the settings dialog stores it, in that order.
inline const std::vector<std::string> kTypicalSettings = {"Joe", "025000.00",     "5", "8", "03.50",
                                                          "3",   "C:\\Pictures\\"};

// For as long as it lives the test starts from no stored settings and leaves none behind.
struct NoStoredSettings {
    NoStoredSettings() { DeleteTree(HKEY_CURRENT_USER, kOrvikKey); }
    ~NoStoredSettings() { DeleteTree(HKEY_CURRENT_USER, kOrvikKey); }
    NoStoredSettings(const NoStoredSettings&) = delete;
    NoStoredSettings& operator=(const NoStoredSettings&) = delete;
};

}  // namespace quaff::test
