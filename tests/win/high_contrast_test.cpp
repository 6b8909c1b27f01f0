// High contrast in the program's windows: the designed colours (the navy link, the yellow
// folders of the browse button) give way to the system's the moment the user switches it on,
// and come back when it is switched off.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "about/about_form.h"
#include "dialog_test_support.h"
#include "settings/settings_form.h"
#include "win/font_cache.h"
#include "win/high_contrast.h"
#include "win/label.h"
#include "win/speed_button.h"

namespace {

using quaff::test::CaptureWindow;

TEST(HighContrast, WindowsDrawInTheSystemColoursFromTheMomentItIsSwitched) {
    const COLORREF link = GetSysColor(COLOR_HOTLIGHT);
    ASSERT_NE(link, quaff::win::kNavy);
    std::unique_ptr<quaff::about::TfrmAbout> about(
        quaff::win::CreateForm<quaff::about::TfrmAbout>(nullptr));
    std::unique_ptr<quaff::settings::TfrmSettings> settings(
        quaff::win::CreateForm<quaff::settings::TfrmSettings>(nullptr));
    about->Show();
    settings->Show();
    const HWND drawn[] = {about->Label3->Handle(), settings->SpeedButton1->Handle()};
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        quaff::win::OverrideHighContrast(on);
        // Windows tells every top-level window with both messages; either redraws it all.
        const UINT message = on ? WM_SETTINGCHANGE : WM_SYSCOLORCHANGE;
        for (quaff::win::Form* form : {static_cast<quaff::win::Form*>(about.get()),
                                       static_cast<quaff::win::Form*>(settings.get())}) {
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
            SendMessageA(form->Handle(), message, on ? SPI_SETHIGHCONTRAST : 0, 0);
        }
        for (const HWND h : drawn) EXPECT_TRUE(GetUpdateRect(h, nullptr, FALSE)) << "redrawn";

        const quaff::test::Capture text = CaptureWindow(about->Label3->Handle());
        const RECT all{0, 0, text.width, text.height};
        EXPECT_EQ(text.Any(all, [](COLORREF c) { return c == quaff::win::kNavy; }), !on);
        EXPECT_EQ(text.Any(all, [&](COLORREF c) { return c == link; }), on);
        const quaff::test::Capture glyph = CaptureWindow(settings->SpeedButton1->Handle());
        const RECT button{0, 0, glyph.width, glyph.height};
        EXPECT_EQ(glyph.Any(button, [](COLORREF c) { return c == RGB(255, 255, 0); }), !on)
            << "yellow folders";
    }
    quaff::win::OverrideHighContrast(std::nullopt);
}

}  // namespace
