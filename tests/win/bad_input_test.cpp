// Bad input under Wine: each stored setting in every wrong shape the registry can hold it in,
// and a picture folder full of files that are not the pictures they claim to be. Whatever
// comes in, the load behaves as it is meant to, the windows open, the tick counts or reports
// exactly what is wrong, and nothing crashes or piles up.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <jerror.h>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/launcher.h"
#include "core/icon_sets.h"
#include "dialog_test_support.h"
#include "monitor/monitor_form.h"
#include "monitor_test_support.h"
#include "registry_test_support.h"
#include "settings/settings.h"
#include "settings/settings_form.h"
#include "tray/tray_icon.h"
#include "win/application.h"
#include "win/combo_box.h"
#include "win/edit.h"
#include "win/mask_edit.h"
#include "win/timer.h"
#include "win_test_support.h"

namespace {

using quaff::TBeer;
using quaff::app::frmLaunch;
using quaff::app::frmMain;
using quaff::app::TfrmLaunch;
using quaff::settings::TfrmSettings;
using quaff::test::ErrorReports;
using quaff::test::kSettingValues;
using quaff::test::RawValue;
using quaff::test::WindowText;

// The seven settings in the order of kSettingValues.
enum Field { UserName, Salary, DaysAWeek, HoursADay, PriceOfDrink, IconSet, ImageDir, kFields };

enum class Kind { Missing, Empty, Dword, Binary, Long, HighBytes, EmbeddedZero };
const char* const kKindNames[] = {"Missing", "Empty",     "Dword",       "Binary",
                                  "Long",    "HighBytes", "EmbeddedZero"};
constexpr size_t kLong = 10'000;

// The text fields of the record by Field; IconSet is the integer.
std::string TBeer::*const kTexts[kFields] = {
    &TBeer::UserName,     &TBeer::Salary, &TBeer::DaysAWeek, &TBeer::HoursADay,
    &TBeer::PriceOfDrink, nullptr,        &TBeer::ImageDir};

struct Case {
    Field field;
    Kind kind;
};

class BadSettingTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ErrorReports().clear();
        temp_.Jpeg("good.jpg", 40, 30);
        temp_.Folder("Bilder\xC3\xA4");
        temp_.Jpeg("Bilder\xC3\xA4\\bier.jpg", 24, 16);
        StoreCase();
    }
    void TearDown() override { ErrorReports().clear(); }
    quaff::test::NoStoredSettings noSettings_;

    // Good settings: the worked example of the pay arithmetic (3 drinks and frame 6 after an
    // hour in a 31-day month), Lager Full and a folder holding one picture 40 wide.
    std::string Good(Field f) const {
        TBeer good = quaff::test::CountingSettings();
        good.UserName = "Sam";
        good.ImageDir = temp_.Path();
        return f == IconSet ? "4" : good.*kTexts[f];
    }

    // The value of the case's field in its bad shape; nullopt: not stored at all.
    std::optional<RawValue> Bad() const {
        const Field f = GetParam().field;
        const std::string good = Good(f);
        switch (GetParam().kind) {
            case Kind::Missing:
                return std::nullopt;
            case Kind::Empty:
                return RawValue{kSettingValues[f], REG_SZ, ""};  // not even a terminator
            case Kind::Dword:
                return RawValue{kSettingValues[f], REG_DWORD, std::string("\x05\0\0\0", 4)};
            case Kind::Binary:
                return RawValue{kSettingValues[f], REG_BINARY, good};
            case Kind::Long:
                return RawValue{kSettingValues[f], REG_SZ, LongText(f) + '\0'};
            case Kind::HighBytes:
                // A name with an accented letter, a number with a no-break space pasted after
                // it, a folder whose name has an accented letter (UTF-8, the program's code page).
                return RawValue{kSettingValues[f], REG_SZ,
                                (f == UserName   ? std::string("J\xC3\xBCrgen")
                                 : f == ImageDir ? temp_.Path() + "Bilder\xC3\xA4\\"
                                                 : good + "\xC2\xA0") +
                                    '\0'};
            case Kind::EmbeddedZero:
                return RawValue{kSettingValues[f], REG_SZ, good + '\0' + "junk" + '\0'};
        }
        return std::nullopt;
    }

    // 10,000 characters: numbers padded with leading zeros (still the same number), a name of
    // one letter repeated, a folder path far beyond what a path can be.
    std::string LongText(Field f) const {
        const std::string good = Good(f);
        if (f == UserName) return std::string(kLong, 'S');
        if (f == ImageDir)
            return temp_.Path() + std::string(kLong - temp_.Path().size() - 1, 'd') + "\\";
        return std::string(kLong - good.size(), '0') + good;
    }

    void StoreCase() {
        std::vector<RawValue> values;
        for (int f = 0; f < kFields; ++f) {
            if (f != GetParam().field)
                values.push_back({kSettingValues[f], REG_SZ, Good(Field(f)) + '\0'});
            else if (auto bad = Bad())
                values.push_back(*bad);
        }
        quaff::test::PutRaw(HKEY_CURRENT_USER, quaff::test::kSettingsKey, values);
    }

    // What a load into a fresh record yields: a missing or empty value its default, a value
    // that is not text stops the load there (it and every later field stay as a fresh record
    // has them), text is read up to its first zero, and an IconSet that is not a decimal
    // integer is -1.
    TBeer ExpectedLoad() const {
        const auto [bad, kind] = GetParam();
        TBeer want;
        for (int f = 0; f < kFields; ++f) {
            std::string text = Good(Field(f));
            if (f == bad) {
                switch (kind) {
                    case Kind::Missing:
                    case Kind::Empty:
                        text.clear();
                        break;
                    case Kind::Long:
                        text = LongText(bad);
                        break;
                    case Kind::HighBytes:
                        text = Bad()->data.substr(0, Bad()->data.size() - 1);
                        break;
                    default:
                        break;
                }
            }
            if ((kind == Kind::Dword || kind == Kind::Binary) && f >= bad) return want;
            if (f == IconSet)
                want.IconSet = text.empty() || (kind == Kind::HighBytes && f == bad) ? -1 : 4;
            else
                want.*kTexts[f] = text;
        }
        return want;
    }

    quaff::test::ManualClock clock_;  // January 2024: 31 days
    quaff::test::FixedFormats formats_;
    quaff::test::TempFolder temp_;
};

TEST_P(BadSettingTest, LoadsAsDefinedAndTheTickCountsOrReportsExactly) {
    const TBeer want = ExpectedLoad();
    TBeer loaded;
    quaff::LoadSettings(loaded);
    EXPECT_EQ(loaded, want);

    frmLaunch = quaff::win::CreateMainForm<TfrmLaunch>(nullptr);
    ASSERT_NE(frmMain, nullptr);
    const std::string list = quaff::IconSetByNumber(want.IconSet).listName;
    EXPECT_EQ(frmLaunch->TrayIcon1->IconList()->Name(), list);
    EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), 15);

    frmMain->Button1Click(frmMain->Button1);
    clock_.AdvanceUtc(3600);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);

    // The first setting the arithmetic cannot convert, in the order it converts them.
    std::string report;
    for (const Field f : {Salary, HoursADay, DaysAWeek, PriceOfDrink}) {
        const std::string& text = want.*kTexts[f];
        const bool unusable =
            text.empty() || (f == GetParam().field && GetParam().kind == Kind::HighBytes);
        if (!unusable) continue;
        report = "'" + text + "' is not a valid " +
                 (f == DaysAWeek ? "integer" : "floating point") + " value.";
        break;
    }
    if (report.empty()) {
        EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();
        EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "3 drinks earnt");
        EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), 6);
        EXPECT_EQ(frmMain->Label3->Caption(), "3");
    } else {
        ASSERT_EQ(ErrorReports().size(), 1u);
        EXPECT_EQ(ErrorReports()[0], report);
        EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "");
        EXPECT_EQ(frmMain->Label3->Caption(), "0");
    }
    EXPECT_EQ(frmLaunch->TrayIcon1->IconList()->Name(), list);
    EXPECT_TRUE(frmMain->Running());

    // Stopped: the ticks leave everything as it was, and report nothing more.
    const std::string hint = frmLaunch->TrayIcon1->Hint();
    const size_t reports = ErrorReports().size();
    frmMain->Button2Click(frmMain->Button2);
    clock_.AdvanceUtc(3600);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(ErrorReports().size(), reports);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), hint);

    delete frmLaunch;
    quaff::win::Application::Instance().ResetTerminated();
}

TEST_P(BadSettingTest, MonitorWindowOpensWithTheNameAndPictureItCanUse) {
    const TBeer want = ExpectedLoad();
    auto form = quaff::test::NewMonitor();
    quaff::PictureDraw draw;  // a run's first draw: the first picture of the folder
    form->SetPictureDraw(&draw);

    const std::map<std::string, int> widths = {{temp_.Path(), 40},
                                               {temp_.Path() + "Bilder\xC3\xA4\\", 24}};
    const auto shown = widths.find(want.ImageDir);
    const int width = shown == widths.end() ? 0 : shown->second;
    const std::string caption =
        want.UserName.empty() ? "Quaffometer" : want.UserName + " 's Quaffometer";

    bool started = false;
    quaff::test::ShowModalWith(*form, [&] {
        EXPECT_EQ(WindowText(form->Handle()), caption);
        EXPECT_EQ(form->Image1->GetPicture().width, width);
        quaff::test::Click(form->Button1->Handle());
        started = form->Running();
        quaff::test::Click(form->Button2->Handle());
        form->Close();
    });
    EXPECT_TRUE(started);
    EXPECT_FALSE(form->Running());
    EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();
}

// A masked field's stored text: digits or blanks around the point, in the mask's places.
bool MaskShaped(const std::string& text, size_t before, size_t after) {
    if (text.size() != before + 1 + after || text[before] != '.') return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != before && text[i] != ' ' && (text[i] < '0' || text[i] > '9')) return false;
    return true;
}

TEST_P(BadSettingTest, SettingsDialogShowsWhatLoadsAndOkStoresSevenTexts) {
    const TBeer want = ExpectedLoad();
    std::unique_ptr<TfrmSettings> form(quaff::win::CreateForm<TfrmSettings>(nullptr));
    const int result = quaff::test::ShowModalWith(*form, [&] {
        EXPECT_EQ(WindowText(form->edName->Handle()), want.UserName);
        EXPECT_EQ(WindowText(form->edDays->Handle()), want.DaysAWeek);
        EXPECT_EQ(WindowText(form->edHours->Handle()), want.HoursADay);
        EXPECT_EQ(WindowText(form->edImageDir->Handle()), want.ImageDir);
        quaff::test::Click(form->btnOK->Handle());
    });
    EXPECT_EQ(result, quaff::win::mrOk);
    EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();

    for (const char* name : kSettingValues) {
        const auto raw = quaff::test::GetRaw(HKEY_CURRENT_USER, quaff::test::kSettingsKey, name);
        ASSERT_TRUE(raw) << name;
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << name;
    }
    TBeer saved;
    quaff::LoadSettings(saved);
    EXPECT_EQ(saved.UserName, want.UserName);
    EXPECT_EQ(saved.DaysAWeek, want.DaysAWeek);
    EXPECT_EQ(saved.HoursADay, want.HoursADay);
    EXPECT_EQ(saved.ImageDir, want.ImageDir);
    EXPECT_EQ(saved.IconSet, want.IconSet >= 0 && want.IconSet <= 5 ? want.IconSet : -1);
    // The masked fields store what their masks show: the stored text when it has the mask's
    // shape, blanks when it was empty, and otherwise the text cut to the mask.
    for (const auto& [field, before, after] : {std::tuple{Salary, size_t{6}, size_t{2}},
                                               std::tuple{PriceOfDrink, size_t{2}, size_t{2}}}) {
        const std::string& was = want.*kTexts[field];
        const std::string& now = saved.*kTexts[field];
        EXPECT_TRUE(MaskShaped(now, before, after)) << kSettingValues[field] << " '" << now << "'";
        if (MaskShaped(was, before, after)) {
            EXPECT_EQ(now, was) << kSettingValues[field];
        }
        if (was.empty()) {
            EXPECT_EQ(now.find_first_not_of(" ."), std::string::npos) << kSettingValues[field];
        }
    }
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (int f = 0; f < kFields; ++f)
        for (int k = 0; k < static_cast<int>(std::size(kKindNames)); ++k)
            cases.push_back({Field(f), Kind(k)});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(, BadSettingTest, ::testing::ValuesIn(AllCases()), [](const auto& info) {
    return std::string(kSettingValues[info.param.field]) + "_" +
           kKindNames[static_cast<int>(info.param.kind)];
});

// ---- The picture folder ----

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Where the first marker `code` of a JPEG file starts.
size_t MarkerAt(const std::string& jpeg, unsigned char code) {
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
            static_cast<unsigned char>(jpeg[i + 1]) == code)
            return i;
    ADD_FAILURE() << "no marker " << int(code);
    return jpeg.size();
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string BigEndian(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::string PngChunk(const std::string& type, const std::string& data) {
    return BigEndian(uint32_t(data.size())) + type + data + BigEndian(Crc32(type + data));
}

// A complete one-pixel PNG file (an orange dot), pixel data in one stored deflate block.
std::string OnePixelPng() {
    const std::string row("\0\xFF\x80\x00", 4);  // filter 0, then red, green, blue
    uint32_t a = 1, b = 0;
    for (unsigned char c : row) b = (b + (a = (a + c) % 65521)) % 65521;
    const std::string zlib =
        std::string("\x78\x01\x01\x04\x00\xFB\xFF", 7) + row + BigEndian(b << 16 | a);
    return std::string("\x89PNG\r\n\x1A\n", 8) +
           PngChunk("IHDR", BigEndian(1) + BigEndian(1) + std::string("\x08\x02\x00\x00\x00", 5)) +
           PngChunk("IDAT", zlib) + PngChunk("IEND", "");
}

// Committed private memory of the process, region by region.
size_t PrivateBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    uintptr_t at = 0;
    while (VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        const uintptr_t next = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

// What showing the window does with each entry of the folder.
struct Entry {
    int width;           // the picture shown afterwards; -1: the one before is kept
    std::string report;  // the one report, or empty for none
};

class BadPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ErrorReports().clear();
        quaff::TBeer beer = quaff::test::CountingSettings();
        beer.ImageDir = temp_.Path();
        settings_.Store(beer);
        form_->SetPictureDraw(&draw_);
    }

    std::map<std::string, Entry> MakeFolder() {
        const std::string dir = temp_.Path();
        const std::string jpegError = "JPEG error #";
        std::map<std::string, Entry> entries;

        temp_.Jpeg("good.jpg", 40, 30);
        entries["good.jpg"] = {40, ""};

        temp_.File("empty.jpg", "");
        entries["empty.jpg"] = {-1, ""};

        // Cut in the middle of the picture data: what is there is shown, the rest grey.
        const std::string whole = ReadFile(temp_.Jpeg("truncated.jpg", 160, 120));
        const size_t scan = MarkerAt(whole, 0xDA);
        WriteFile(dir + "truncated.jpg", whole.substr(0, scan + (whole.size() - scan) / 2));
        entries["truncated.jpg"] = {160, ""};

        // Cut before its tables: the file ends before any picture starts.
        const std::string header = ReadFile(temp_.Jpeg("header_only.jpg", 40, 30));
        WriteFile(dir + "header_only.jpg", header.substr(0, MarkerAt(header, 0xDB)));
        entries["header_only.jpg"] = {-1, jpegError + std::to_string(JERR_NO_IMAGE) + "."};

        temp_.File("png.jpg", OnePixelPng());
        entries["png.jpg"] = {-1, jpegError + std::to_string(JERR_NO_SOI) + "."};

        temp_.Folder("x.jpg");
        entries["x.jpg"] = {-1, "Cannot open file " + dir + "x.jpg."};

        // A small picture whose frame header claims 60000 by 60000 pixels.
        std::string huge = ReadFile(temp_.Jpeg("huge.jpg", 16, 16));
        const size_t frame = MarkerAt(huge, 0xC0);
        huge.replace(frame + 5, 4, "\xEA\x60\xEA\x60");
        WriteFile(dir + "huge.jpg", huge);
        entries["huge.jpg"] = {-1, "JPEG image too large: 60000 x 60000 pixels."};
        return entries;
    }

    quaff::test::StoredSettings settings_{quaff::test::CountingSettings()};
    quaff::test::TempFolder temp_;
    quaff::PictureDraw draw_;
    std::unique_ptr<quaff::monitor::TfrmMain> form_ = quaff::test::NewMonitor();
};

TEST_F(BadPictureTest, EveryEntryIsShownSkippedOrReportedAndNothingLargeIsAllocated) {
    const std::map<std::string, Entry> entries = MakeFolder();
    const std::vector<std::string> order = quaff::test::ListingOrder(temp_.Path());
    ASSERT_EQ(order.size(), entries.size());

    const size_t before = PrivateBytes();
    size_t most = before;
    std::map<std::string, int> picked;
    for (int showing = 0; showing < 200 && picked.size() < entries.size(); ++showing) {
        // Which entry this showing takes: the next draw, asked of a copy of the generator.
        quaff::PictureDraw next = draw_;
        const std::string name = order[next.Next(static_cast<uint32_t>(order.size()))];
        const Entry& entry = entries.at(name);
        ++picked[name];

        const int widthBefore = form_->Image1->GetPicture().width;
        ErrorReports().clear();
        quaff::test::ShowModalWith(*form_, [&] { form_->Close(); });
        const int width = form_->Image1->GetPicture().width;
        most = std::max(most, PrivateBytes());

        SCOPED_TRACE(name + ", showing " + std::to_string(showing));
        EXPECT_EQ(draw_.Seed(), next.Seed()) << "one draw a showing";
        EXPECT_EQ(width, entry.width < 0 ? widthBefore : entry.width);
        if (entry.report.empty()) {
            EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();
        } else {
            ASSERT_EQ(ErrorReports().size(), 1u);
            EXPECT_EQ(ErrorReports()[0], entry.report);
        }
    }
    EXPECT_EQ(picked.size(), entries.size()) << "every entry was drawn";
    // Measured after each showing: a picture buffer kept or leaked shows here. (Wine keeps no
    // peak of its own that an allocation freed within the showing would leave behind; the
    // too-large file is known to be refused before decoding by its exact report above.)
    std::cout << "[ pictures ] private bytes " << before / 1024 << " KiB, at most " << most / 1024
              << " KiB after a showing\n";
    EXPECT_LT(most - std::min(most, before), size_t{64} << 20);
}

}  // namespace
