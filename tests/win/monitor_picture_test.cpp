// The monitor window's picture, caption and frame: real JPEG folders in a temporary folder,
// the window shown modally and acted on from inside its loop.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "core/jpeg_picture.h"
#include "core/jpeg_writer.h"
#include "core/picture_scale.h"
#include "dialog_test_support.h"
#include "monitor_test_support.h"
#include "win_test_support.h"

namespace {

using quaff::monitor::TfrmMain;
using namespace quaff::test;

class MonitorPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ErrorReports().clear();
        form_->SetPictureDraw(&draw_);  // every test starts where a run starts
    }

    void UseFolder(const std::string& folder) {
        quaff::TBeer beer = CountingSettings();
        beer.ImageDir = folder;
        settings_.Store(beer);
    }

    // Shows the window once, runs `inside` while it is up, and closes it.
    void ShowOnce(const std::function<void()>& inside = {}) {
        ShowModalWith(*form_, [&] {
            EXPECT_TRUE(IsWindowVisible(form_->Handle())) << "the window opens";
            if (inside) inside();
            form_->Close();
        });
    }

    int PictureWidth() const { return form_->Image1->GetPicture().width; }

    StoredSettings settings_{CountingSettings()};
    TempFolder temp_;
    quaff::PictureDraw draw_;
    std::unique_ptr<TfrmMain> form_ = NewMonitor();
};

// The pictures of a folder told apart by width; all are smaller than the picture area, so
// they are shown at their own size.
std::map<std::string, int> WidthsByName(TempFolder& temp, const std::string& sub, int count) {
    std::map<std::string, int> widths;
    for (int i = 0; i < count; ++i) {
        const std::string name = "p" + std::to_string(i) + ".jpg";
        temp.Jpeg(sub + name, 10 + i, 8);
        widths[name] = 10 + i;
    }
    return widths;
}

TEST_F(MonitorPictureTest, FolderTextNamesTheFolderWithOrWithoutItsSeparator) {
    temp_.Folder("Pics");
    const auto widths = WidthsByName(temp_, "Pics\\", 3);
    temp_.Jpeg("Pics1.jpg", 50, 8);  // beside the folder: not one of its pictures
    const std::string pics = temp_.Path() + "Pics";
    const int first = widths.at(ListingOrder(pics + "\\").at(0));

    for (const std::string& text : {pics + "\\", pics, pics + "/"}) {
        SCOPED_TRACE(text);
        draw_ = quaff::PictureDraw{};
        form_->Image1->SetPicture(quaff::Picture{});
        UseFolder(text);
        ShowOnce();
        EXPECT_EQ(PictureWidth(), first) << "the first match of the folder";
    }
    EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();
}

TEST_F(MonitorPictureTest, ShowingsOfARunDrawTheSameSequence) {
    const auto widths = WidthsByName(temp_, "", 40);
    const std::vector<std::string> listing = ListingOrder(temp_.Path());
    ASSERT_EQ(listing.size(), 40u);
    UseFolder(temp_.Path());
    // About 0, 0.031, 0.861 and 0.203 of the count, in every run.
    for (size_t expected : {0u, 1u, 34u, 8u}) {
        ShowOnce();
        EXPECT_EQ(PictureWidth(), widths.at(listing[expected]))
            << "showing picks match " << expected;
    }
}

TEST_F(MonitorPictureTest, LargePictureIsDecodedNearTheSizeItIsDrawn) {
    temp_.Jpeg("big.jpg", 1600, 1024);
    UseFolder(temp_.Path());
    RECT area{}, grown{};
    SIZE first{};
    ShowOnce([&] {
        GetClientRect(form_->Image1->Handle(), &area);
        first = {PictureWidth(), form_->Image1->GetPicture().height};
        // On a monitor of twice the scale the area doubles: decoded again for it.
        RECT r;
        GetWindowRect(form_->Handle(), &r);
        r.right += r.right - r.left, r.bottom += r.bottom - r.top;
        SendMessageA(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                     reinterpret_cast<LPARAM>(&r));
        GetClientRect(form_->Image1->Handle(), &grown);
        EXPECT_GE(PictureWidth(), grown.right) << "covers the grown area";
        EXPECT_GE(form_->Image1->GetPicture().height, grown.bottom);
    });
    EXPECT_GE(first.cx, area.right) << "covers the area";
    EXPECT_GE(first.cy, area.bottom);
    EXPECT_LT(first.cx, 2 * area.right) << "not decoded at full size";
    EXPECT_LT(first.cy, 2 * area.bottom);
    EXPECT_GT(grown.right, 3 * area.right / 2);
}

// Share of pixels drawn clearly black or clearly white: near 1 for a black-and-white board
// drawn sharply, far less where its squares are smeared into grey.
double Crisp(const Capture& shot) {
    long crisp = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF c = shot.Pixel(x, y);
            const int grey = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
            crisp += grey < 64 || grey > 192;
        }
    return shot.width > 0 ? double(crisp) / (double(shot.width) * shot.height) : 0;
}

TEST_F(MonitorPictureTest, PictureStaysSharpWhenTheWindowGrowsAndSmallWhenItHides) {
    // Squares of 4 pixels: shown first in the designed window (about a quarter of the file's
    // size) they are smeared grey; at 800 x 600 they are 2 pixels, sharp when decoded for it.
    const int kSquare = 4, kWidth = 1600, kHeight = 1200;
    const std::string file = temp_.Path() + "board.jpg";
    quaff::test::WriteJpeg(file,
                           {.width = kWidth, .height = kHeight, .quality = 100, .components = 1},
                           [&](int y, JSAMPLE* row) {
                               for (int x = 0; x < kWidth; ++x)
                                   row[x] = (x / kSquare + y / kSquare) % 2 ? 255 : 0;
                           });
    UseFolder(temp_.Path());
    for (const bool fileGone : {false, true}) {
        SCOPED_TRACE(fileGone ? "file gone before the window grows" : "file there");
        ShowOnce([&] {
            const int first = PictureWidth();
            // The window sized so that the picture area is w x h.
            auto resize = [&](int w, int h) {
                RECT frame, area;
                GetWindowRect(form_->Handle(), &frame);
                GetClientRect(form_->Image1->Handle(), &area);
                SetWindowPos(form_->Handle(), nullptr, 0, 0,
                             frame.right - frame.left + w - area.right,
                             frame.bottom - frame.top + h - area.bottom, SWP_NOZORDER);
            };
            if (fileGone) ASSERT_TRUE(DeleteFileA(file.c_str()));
            resize(800, 600);
            const double crisp = Crisp(CaptureWindow(form_->Image1->Handle()));
            if (fileGone) {
                EXPECT_EQ(PictureWidth(), first) << "the copy shown is kept";
                return;
            }
            resize(500, 400);
            EXPECT_EQ(PictureWidth(), 800) << "a smaller area draws the copy smaller";
            // The file resampled directly to 800 x 600, drawn the same way.
            resize(800, 600);
            form_->Image1->SetPicture(quaff::ShrinkTo(DecodeFileAt(file), 800, 600));
            const double direct = Crisp(CaptureWindow(form_->Image1->Handle()));
            ASSERT_GT(direct, 0.8);
            EXPECT_GT(crisp, 0.9 * direct) << "as sharp as the file drawn directly at 800 x 600";
            resize(500, 400);
        });
        if (!fileGone) EXPECT_EQ(PictureWidth(), 500) << "hidden, a copy for the size last shown";
    }
    EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();
}

struct KeptCase {
    const char* what;
    std::string (*make)(TempFolder&);  // makes the folder, answers the folder text
    const char* report;                // a pattern for the one report, or null for none
};

class MonitorKeptPictureTest : public MonitorPictureTest,
                               public ::testing::WithParamInterface<KeptCase> {};

TEST_P(MonitorKeptPictureTest, KeepsThePreviousPicture) {
    const KeptCase& c = GetParam();
    quaff::Picture previous;
    previous.width = 30;
    previous.height = 8;
    previous.pixels.assign(30 * 8, 0x00336699);
    form_->Image1->SetPicture(std::move(previous));

    UseFolder(c.make(temp_));
    ShowOnce();
    EXPECT_EQ(PictureWidth(), 30);
    if (!c.report) {
        EXPECT_TRUE(ErrorReports().empty()) << ErrorReports().front();
        return;
    }
    ASSERT_EQ(ErrorReports().size(), 1u);
    std::string pattern = c.report;
    const size_t at = pattern.find("<folder>");
    if (at != std::string::npos)
        pattern.replace(at, 8,
                        std::regex_replace(temp_.Path(), std::regex(R"([\\.$^])"), R"(\$&)"));
    EXPECT_TRUE(std::regex_match(ErrorReports().front(), std::regex(pattern)))
        << ErrorReports().front();
}

INSTANTIATE_TEST_SUITE_P(
    , MonitorKeptPictureTest,
    ::testing::Values(
        KeptCase{"missing_folder", [](TempFolder& t) { return t.Path() + "gone\\"; }, nullptr},
        KeptCase{"empty_folder_text", [](TempFolder&) { return std::string(); }, nullptr},
        KeptCase{"no_jpg_files",
                 [](TempFolder& t) {
                     t.File("notes.txt", "not a picture");
                     return t.Path();
                 },
                 nullptr},
        KeptCase{"zero_length_file",
                 [](TempFolder& t) {
                     t.File("empty.jpg", "");
                     return t.Path();
                 },
                 nullptr},
        KeptCase{"not_a_jpeg",
                 [](TempFolder& t) {
                     t.File("bad.jpg", "this is a text file named like a picture");
                     return t.Path();
                 },
                 R"(JPEG error #[0-9]+\.)"},
        KeptCase{"folder_named_like_a_picture",
                 [](TempFolder& t) {
                     t.Folder("x.jpg");
                     return t.Path();
                 },
                 R"(Cannot open file <folder>x\.jpg\.)"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(MonitorPictureTest, PictureFailureIsReportedOnceTheButtonsAreSet) {
    temp_.File("bad.jpg", "\xFF\xD8 broken");
    UseFolder(temp_.Path());
    struct Seen {
        std::string text;
        bool visible, startEnabled, stopEnabled;
    };
    std::vector<Seen> seen;
    {
        const quaff::test::ErrorsTo box([&](const std::string& text) {
            seen.push_back({text, IsWindowVisible(form_->Handle()) != FALSE,
                            IsWindowEnabled(form_->Button1->Handle()) != FALSE,
                            IsWindowEnabled(form_->Button2->Handle()) != FALSE});
        });
        ShowOnce();
    }

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(std::regex_match(seen[0].text, std::regex(R"(JPEG error #[0-9]+\.)")))
        << seen[0].text;
    EXPECT_TRUE(seen[0].visible);
    EXPECT_TRUE(seen[0].startEnabled);
    EXPECT_FALSE(seen[0].stopEnabled) << "Stop is set for an idle window before the report";
}

TEST_F(MonitorPictureTest, CaptionFollowsTheUserNameUntilTheNameIsCleared) {
    const struct {
        const char* name;
        const char* caption;
    } steps[] = {{"", "Quaffometer"}, {"Sam", "Sam 's Quaffometer"}, {"", "Sam 's Quaffometer"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        quaff::TBeer beer = CountingSettings();
        beer.UserName = step.name;
        settings_.Store(beer);
        char text[128] = {};
        ShowOnce([&] { GetWindowTextA(form_->Handle(), text, sizeof text); });
        EXPECT_STREQ(text, step.caption);
    }
}

TEST_F(MonitorPictureTest, FixInPlaceTakesTheFrameAwayAndGivesItBack) {
    auto style = [&] { return GetWindowLongPtrA(form_->Handle(), GWL_STYLE); };
    auto choose = [&] {
        const bool before = form_->FixInPlace1->Checked();
        PostMessageA(form_->PopupMenu1->WindowHandle(), WM_COMMAND, form_->FixInPlace1->Command(),
                     0);
        EXPECT_TRUE(PumpUntil([&] { return form_->FixInPlace1->Checked() != before; }));
    };
    ShowOnce([&] {
        ASSERT_TRUE(style() & WS_CAPTION);
        choose();
        EXPECT_TRUE(form_->FixInPlace1->Checked());
        EXPECT_FALSE(style() & WS_CAPTION) << "no caption bar";
        EXPECT_FALSE(style() & WS_THICKFRAME) << "no frame";
        EXPECT_TRUE(IsWindowVisible(form_->Handle()));
        choose();
        EXPECT_FALSE(form_->FixInPlace1->Checked());
        EXPECT_TRUE(style() & WS_CAPTION);
        EXPECT_TRUE(style() & WS_THICKFRAME);
        EXPECT_TRUE(GetWindowLongPtrA(form_->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    });
    EXPECT_EQ(form_->Image1->ContextMenu(), form_->PopupMenu1);
}

TEST_F(MonitorPictureTest, PictureIsDrawnOverThePictureArea) {
    temp_.Jpeg("view.jpg", 400, 300);
    UseFolder(temp_.Path());
    ShowOnce([&] {
        Click(form_->Button1->Handle());
        const Capture shot = CaptureWindow(form_->Image1->Handle());
        ASSERT_GT(shot.width, 0);
        // The test picture is blue-green everywhere (green 120, blue 200).
        const COLORREF middle = shot.Pixel(shot.width / 2, shot.height / 2);
        EXPECT_NEAR(GetGValue(middle), 120, 24);
        EXPECT_NEAR(GetBValue(middle), 200, 24);
        SaveScreenshot(form_->Handle(), "monitor.bmp");
    });
}

}  // namespace
