// The icons the program gives the shell, read back from every Shell_NotifyIconA call: at the
// screen's small-icon size, the 16-pixel frame scaled by nearest neighbour; on a dark taskbar
// (the real Personalize value, a real WM_SETTINGCHANGE broadcast) with a light outline. And
// the settings dialog's folder glyph at the dialog's DPI.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "core/artwork.h"
#include "core/glass_contrast.h"
#include "monitor/monitor_form.h"
#include "monitor_test_support.h"
#include "registry_test_support.h"
#include "resources/resource_names.h"
#include "settings/settings.h"
#include "settings/settings_form.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win_test_support.h"
#include "win/application.h"
#include "win/control.h"
#include "win/high_contrast.h"
#include "win/icon_style.h"
#include "win/image_list.h"
#include "win/speed_button.h"
#include "win/timer.h"

namespace {

using quaff::app::frmLaunch;
using quaff::app::frmMain;
using quaff::app::TfrmLaunch;
using quaff::settings::TfrmSettings;
using quaff::win::UniqueBitmap;

const char kPersonalize[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr uint32_t kClear = 0xFF000000;  // a transparent pixel

// Square pictures as 0x00RRGGBB, rows from the top.
struct Picture {
    int side = 0;
    std::vector<uint32_t> pixels;
    bool operator==(const Picture&) const = default;
};

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    quaff::win::ScreenDC dc;
    if (GetDIBits(dc.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        return {};
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// The icon as the shell draws it: colour where the mask is clear, kClear where it is set.
Picture Read(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP shape{};
    if (!colour || !GetObjectA(colour.get(), sizeof shape, &shape) ||
        shape.bmWidth != shape.bmHeight)
        return {};
    Picture out{shape.bmWidth, BitmapPixels(colour.get(), shape.bmWidth, shape.bmWidth)};
    const std::vector<uint32_t> clear = BitmapPixels(mask.get(), shape.bmWidth, shape.bmWidth);
    if (clear.size() != out.pixels.size()) return {};
    for (size_t i = 0; i < clear.size(); ++i)
        if (clear[i]) out.pixels[i] = kClear;
    return out;
}

// Each screen: its small-icon side, and where the 16-pixel picture goes in it.
struct Screen {
    int dpi, side, offset, scaled;
};
const Screen kScreens[] = {{96, 16, 0, 16}, {120, 20, 2, 16}, {144, 24, 0, 24}, {192, 32, 0, 32}};

// Draws the 16-pixel square at column `left` of `picture` (rows `stride` wide) into `out`
// (rows `outStride` wide) at column `outLeft` as screen `s` shows it: `scaled` pixels wide,
// `offset` in, every pixel the picture pixel it falls on.
void Draw(const std::vector<uint32_t>& picture, int stride, int left, const Screen& s,
          std::vector<uint32_t>& out, int outStride, int outLeft) {
    for (int y = 0; y < s.scaled; ++y)
        for (int x = 0; x < s.scaled; ++x)
            out[(s.offset + y) * outStride + outLeft + s.offset + x] =
                picture[(y * 16 / s.scaled) * stride + left + x * 16 / s.scaled];
}

// A 16 by 16 frame as the tray must get it on screen `s`.
Picture Scaled(const std::vector<uint32_t>& frame, const Screen& s) {
    Picture out{s.side, std::vector<uint32_t>(static_cast<size_t>(s.side * s.side), kClear)};
    Draw(frame, 16, 0, s, out.pixels, s.side, 0);
    return out;
}

class CrispIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        quaff::test::DeleteTree(HKEY_CURRENT_USER, kPersonalize);
        tray.onShell = [this](DWORD message, const NOTIFYICONDATAA& data) {
            if (message == NIM_ADD || message == NIM_MODIFY)
                given.push_back({message, Read(data.hIcon)});
        };
    }
    void TearDown() override {
        delete frmLaunch;
        quaff::test::DeleteTree(HKEY_CURRENT_USER, kPersonalize);
    }
    void Start(int iconSet) {
        quaff::TBeer beer;
        beer.IconSet = iconSet;
        ASSERT_TRUE(quaff::SaveSettings(beer));
        delete frmLaunch;
        given.clear();
        frmLaunch = quaff::win::CreateMainForm<TfrmLaunch>(nullptr);
        ASSERT_NE(frmMain, nullptr);
    }
    // Frame k of the tray's list as the list holds it.
    static std::vector<uint32_t> Frame(int k) {
        HICON icon = ImageList_GetIcon(frmLaunch->TrayIcon1->IconList()->Handle(), k, ILD_NORMAL);
        const Picture frame = Read(icon);
        DestroyIcon(icon);
        return frame.pixels;
    }
    static void Light(std::vector<uint32_t>& frame) {
        const std::vector<bool> outline = quaff::GlassOutline(quaff::Measure::Full);
        for (size_t i = 0; i < frame.size(); ++i)
            if (outline[i]) frame[i] = quaff::kLightOutline;
    }
    static void SetTheme(DWORD light) {
        quaff::test::PutRaw(
            HKEY_CURRENT_USER, kPersonalize,
            {{"SystemUsesLightTheme", REG_DWORD, std::string(reinterpret_cast<char*>(&light), 4)}});
    }
    // As Windows tells every top-level window that the user switched light and dark: the
    // shell broadcasts a Unicode string, which ANSI windows get converted. (Wine 8 garbles the
    // string of an ANSI broadcast.)
    static void BroadcastThemeChange() {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                            reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 2000,
                            &result);
    }

    // The icon of the first NIM_ADD (the program's first icon comes in a NIM_MODIFY before it).
    Picture Added() const {
        for (const Given& g : given)
            if (g.message == NIM_ADD) return g.icon;
        return {};
    }

    struct Given {
        DWORD message;
        Picture icon;
    };
    quaff::test::NoStoredSettings noSettings;
    quaff::test::TrayRecorder tray{/*passThrough=*/true};
    std::vector<Given> given;
};

TEST_F(CrispIconTest, EveryIconGivenToTheShellIsTheFrameScaledToTheSmallIconSize) {
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(s.dpi);
        const quaff::test::FixedDpi dpi(s.dpi);
        EXPECT_EQ(quaff::win::SmallIconSize(), s.side);
        Start(0);
        EXPECT_EQ(Added(), Scaled(Frame(0), s)) << "the empty glass";
        for (int k = 0; k < 16; ++k) {
            given.clear();
            frmLaunch->TrayIcon1->SetIconIndex(k);
            ASSERT_FALSE(given.empty());
            for (const Given& g : given) EXPECT_EQ(g.icon, Scaled(Frame(k), s)) << "frame " << k;
        }
    }
}

TEST_F(CrispIconTest, TheOutlineIsLightOnlyOnADarkTaskbarAndFollowsItsChangeAtOnce) {
    enum Stored { None, Dword1, Dword0, Text0 };
    const struct {
        Stored stored;
        bool dark;
    } cases[] = {{None, false}, {Dword1, false}, {Dword0, true}, {Text0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        quaff::test::DeleteTree(HKEY_CURRENT_USER, kPersonalize);
        if (c.stored == Dword0 || c.stored == Dword1) SetTheme(c.stored == Dword0 ? 0 : 1);
        if (c.stored == Text0)
            quaff::test::PutRaw(HKEY_CURRENT_USER, kPersonalize,
                                {{"SystemUsesLightTheme", REG_SZ, "0"}});
        Start(2);  // stout: its black liquid must stay black
        std::vector<uint32_t> empty = Frame(0), full = Frame(15);
        if (c.dark) Light(empty), Light(full);
        EXPECT_EQ(Added().pixels, empty);
        EXPECT_EQ(given.back().icon.pixels, full);
    }

    // Light to dark and back, each with one call that shows the glass at once.
    std::vector<uint32_t> full = Frame(15), lightFull = full;
    Light(lightFull);
    for (DWORD light : {0, 1}) {
        SetTheme(light);
        given.clear();
        tray.Clear();
        BroadcastThemeChange();
        EXPECT_EQ(tray.Messages(), std::vector<DWORD>{NIM_MODIFY})
            << "SystemUsesLightTheme " << light;
        ASSERT_EQ(given.size(), 1u);
        EXPECT_EQ(given[0].icon.pixels, light ? full : lightFull);
    }

    // Counting on the dark taskbar, the tick that changes the drink (a stout's empty glass turns
    // grey) draws it in its new colours within the tick's own five calls.
    SetTheme(0);
    BroadcastThemeChange();
    quaff::TBeer beer = quaff::test::CountingSettings();
    beer.IconSet = 0;
    ASSERT_TRUE(quaff::SaveSettings(beer));
    frmMain->Button1Click(frmMain->Button1);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    beer.IconSet = 2;
    ASSERT_TRUE(quaff::SaveSettings(beer));
    tray.Clear();
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(tray.shell.size(), 5u);
}

TEST_F(CrispIconTest, TheGlassFollowsTheScaleOfTheNotificationAreaInOneCall) {
    Start(0);
    for (const Screen& s : {kScreens[2], kScreens[3], kScreens[1], kScreens[0]}) {
        SCOPED_TRACE(s.dpi);
        given.clear();
        tray.Clear();
        RECT r;
        GetWindowRect(frmLaunch->Handle(), &r);
        SendMessageA(frmLaunch->Handle(), WM_DPICHANGED, MAKEWPARAM(s.dpi, s.dpi),
                     reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(tray.Messages(), std::vector<DWORD>{NIM_MODIFY});
        ASSERT_EQ(given.size(), 1u);
        EXPECT_EQ(given[0].icon, Scaled(Frame(15), s));
    }
}

// The level of a glass half full (frame 8) against the empty glass above it, and the glass's
// outline against the taskbar, measured on the icon the shell gets. High contrast is switched
// on while the program runs.
TEST_F(CrispIconTest, TheLevelAndTheGlassStandOutOnDarkAndHighContrastTaskbars) {
    const struct {
        bool highContrast;
        int iconSet;
    } cases[] = {{false, 0}, {false, 2}, {false, 4}, {true, 0}, {true, 2}, {true, 4}};
    quaff::test::FixedHighContrast highContrast(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.highContrast ? "high contrast" : "dark") + ", set " +
                     std::to_string(c.iconSet));
        SetTheme(c.highContrast ? 1 : 0);
        highContrast.on = false;
        Start(c.iconSet);
        if (c.highContrast) {
            tray.Clear();
            highContrast.on = true;
            SendMessageA(frmLaunch->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
            EXPECT_EQ(tray.Messages(), std::vector<DWORD>{NIM_MODIFY});
        }
        given.clear();
        frmLaunch->TrayIcon1->SetIconIndex(8);
        ASSERT_FALSE(given.empty());
        const Picture& icon = given.back().icon;
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        const uint32_t taskbar = c.highContrast
                                     ? uint32_t{GetRValue(window)} << 16 |
                                           uint32_t{GetGValue(window)} << 8 | GetBValue(window)
                                     : quaff::kDarkTaskbar.background;
        const auto at = [&](int x, int y) {
            const uint32_t p = icon.pixels[static_cast<size_t>(y * icon.side + x)];
            return p == kClear ? taskbar : p;
        };
        // Liquid up to row 6 in column 7; the empty glass above it; the left wall.
        const double level = quaff::ContrastRatio(at(7, 6), at(7, 5));
        const double glass = quaff::ContrastRatio(at(2, 3), taskbar);
        std::printf("[ contrast ] %s taskbar %06X, set %d: level %.2f:1, glass %.2f:1\n",
                    c.highContrast ? "high contrast" : "dark", taskbar, c.iconSet, level, glass);
        EXPECT_GE(level, quaff::kLeastContrast);
        EXPECT_GE(glass, quaff::kLeastContrast);
    }
}

TEST_F(CrispIconTest, TheFolderGlyphIsScaledToTheDialogsDpi) {
    UniqueBitmap stored(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), QUAFF_RES_FOLDER_GLYPH,
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const std::vector<uint32_t> strip = BitmapPixels(stored.get(), 32, 16);
    ASSERT_EQ(strip.size(), 512u);
    for (const Screen& s : {kScreens[0], kScreens[1], kScreens[2]}) {
        SCOPED_TRACE(s.dpi);
        const quaff::test::FixedDpi dpi(s.dpi);
        std::unique_ptr<TfrmSettings> form(quaff::win::CreateForm<TfrmSettings>(nullptr));
        BITMAP shape{};
        ASSERT_TRUE(GetObjectA(form->SpeedButton1->Glyph(), sizeof shape, &shape));
        ASSERT_EQ(shape.bmWidth, 2 * s.side);
        ASSERT_EQ(shape.bmHeight, s.side);
        // Enabled and disabled glyph side by side on the olive ground, which the button leaves out.
        std::vector<uint32_t> want(static_cast<size_t>(2 * s.side * s.side), strip[15 * 32]);
        Draw(strip, 32, 0, s, want, 2 * s.side, 0);
        Draw(strip, 32, 16, s, want, 2 * s.side, s.side);
        EXPECT_EQ(BitmapPixels(form->SpeedButton1->Glyph(), 2 * s.side, s.side), want);
    }
}

}  // namespace
