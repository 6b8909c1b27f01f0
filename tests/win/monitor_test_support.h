// What the monitor window tests set up: stored settings that are put back afterwards, a clock
// the test moves by hand, fixed locale formats and picture folders that are removed again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/numtext.h"
#include "monitor/monitor_form.h"
#include "settings/settings.h"
#include "win/clock.h"

namespace quaff::test {

// Settings the monitor reads: the worked example's figures, no name, no picture folder.
TBeer CountingSettings();

// Stores `beer` for the test and puts back what was stored before when it ends.
class StoredSettings {
public:
    explicit StoredSettings(const TBeer& beer);
    ~StoredSettings();
    StoredSettings(const StoredSettings&) = delete;
    StoredSettings& operator=(const StoredSettings&) = delete;
    // Stores a changed record (the test fails when it cannot be stored).
    void Store(const TBeer& beer);

private:
    TBeer previous_;
};

// A clock standing still until the test moves it; local time and the UTC clock move
// independently, as they do when daylight-saving time ends. Put in while it lives.
class ManualClock : public win::Clock {
public:
    ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    SYSTEMTIME LocalTime() const override { return local_; }
    std::int64_t UtcTicks() const override { return utc_; }

    void SetLocal(int year, int month, int day, int hour, int minute, int second);
    // Moves the UTC clock (and not the local time) on by whole seconds.
    void AdvanceUtc(int seconds) { utc_ += std::int64_t{seconds} * 10'000'000; }

private:
    SYSTEMTIME local_{};
    std::int64_t utc_ = 133'500'000'000'000'000;  // early in 2024
    win::Seam<win::Clock> installed_{*this};
};

// Known formats ("." separator, dd/MM/yyyy HH:mm:ss) while it lives.
class FixedFormats {
public:
    FixedFormats();
    ~FixedFormats();
    FixedFormats(const FixedFormats&) = delete;
    FixedFormats& operator=(const FixedFormats&) = delete;

private:
    FormatSettings previous_;
};

// A new empty folder under the temporary folder, removed with all it holds at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a final "\".
    const std::string& Path() const { return path_; }
    // Writes a real JPEG of that size, a flat colour, as `name` (relative to the folder).
    std::string Jpeg(const std::string& name, int width, int height);
    std::string File(const std::string& name, const std::string& bytes);
    std::string Folder(const std::string& name);

private:
    std::string path_;
};

// The names of the "*.jpg" entries of a folder in the order the file system lists them.
std::vector<std::string> ListingOrder(const std::string& folderWithSeparator);

// A monitor window as the launcher makes it, freed at the end of the test.
std::unique_ptr<monitor::TfrmMain> NewMonitor();

}  // namespace quaff::test
