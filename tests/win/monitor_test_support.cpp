#include "monitor_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/jpeg_writer.h"
#include "win/form.h"
#include "win/locale.h"

namespace quaff::test {

TBeer CountingSettings() { return {"", "025000.00", "5", "8", "03.50", 0, ""}; }

StoredSettings::StoredSettings(const TBeer& beer) {
    LoadSettings(previous_);
    Store(beer);
}

StoredSettings::~StoredSettings() { SaveSettings(previous_); }

void StoredSettings::Store(const TBeer& beer) {
    ASSERT_TRUE(SaveSettings(beer)) << "the test prefix's registry refused the settings";
}

ManualClock::ManualClock() { SetLocal(2024, 1, 15, 9, 30, 5); }

void ManualClock::SetLocal(int year, int month, int day, int hour, int minute, int second) {
    local_ = SYSTEMTIME{};
    local_.wYear = static_cast<WORD>(year);
    local_.wMonth = static_cast<WORD>(month);
    local_.wDay = static_cast<WORD>(day);
    local_.wHour = static_cast<WORD>(hour);
    local_.wMinute = static_cast<WORD>(minute);
    local_.wSecond = static_cast<WORD>(second);
}

FixedFormats::FixedFormats() : previous_(win::UserFormats()) {
    win::SetUserFormats(FormatSettings{});
}

FixedFormats::~FixedFormats() { win::SetUserFormats(previous_); }

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + "\\");
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static int serial = 0;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "quaff_monitor_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++serial) + "\\";
    RemoveTree(path_);  // what a crashed run may have left
    if (!CreateDirectoryA(path_.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << path_;
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::Jpeg(const std::string& name, int width, int height) {
    const std::string path = path_ + name;
    WriteJpeg(path, JpegSpec{.width = width, .height = height}, [width](int y, JSAMPLE* row) {
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<JSAMPLE>(40 + (x + y) % 160);
            row[x * 3 + 1] = 120;
            row[x * 3 + 2] = 200;
        }
    });
    return path;
}

std::string TempFolder::File(const std::string& name, const std::string& bytes) {
    const std::string path = path_ + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    } else {
        ADD_FAILURE() << "cannot write " << path;
    }
    return path;
}

std::string TempFolder::Folder(const std::string& name) {
    const std::string path = path_ + name;
    if (!CreateDirectoryA(path.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << path;
    return path;
}

std::vector<std::string> ListingOrder(const std::string& folderWithSeparator) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folderWithSeparator + "*.jpg").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

std::unique_ptr<monitor::TfrmMain> NewMonitor() {
    return std::unique_ptr<monitor::TfrmMain>(win::CreateForm<monitor::TfrmMain>(nullptr));
}

}  // namespace quaff::test
