// The program's windows driven with keys only, as the keyboard delivers them to the real
// windows: each opens with the focus on its first control, Tab walks the controls in their
// order, Space and Enter act, and the tray's menu is reached from the notification area.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about/about_form.h"
#include "app/launcher.h"
#include "dialog_test_support.h"
#include "monitor_test_support.h"
#include "registry_test_support.h"
#include "settings/settings_form.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/timer.h"
#include "win_test_support.h"

namespace {

using quaff::win::Application;
using quaff::win::Form;
using quaff::win::WinControl;

// The control that has the focus (a combo box for the field inside it), by name.
std::string FocusName() {
    for (HWND h = GetFocus(); h; h = GetParent(h))
        if (const WinControl* c = WinControl::FromHandle(h)) return c->Name();
    return "(none)";
}

// A key pressed and released in the focused window, handled as the program's loop handles it.
// The menu key goes through the real keyboard input: Wine makes the context-menu request from
// that alone.
void Key(WPARAM key) {
    if (key == VK_APPS) {
        INPUT input[2]{};
        for (INPUT& i : input) i.type = INPUT_KEYBOARD, i.ki.wVk = VK_APPS;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    } else {
        quaff::test::PressKey(key);
    }
    Application::Instance().ProcessMessages();
}

// Closes the folder browser and menus each time one comes up, counting them.
class Closer {
public:
    Closer() : timer_(nullptr) {
        timer_.SetInterval(10);
        timer_.OnTimer = [this](quaff::win::Component*) {
            if (FindWindowA("#32768", nullptr) && IsWindowVisible(FindWindowA("#32768", nullptr))) {
                ++menus;
                EndMenu();
            }
            const HWND box = quaff::test::FindThreadDialog();
            if (!box || !FindWindowExA(box, nullptr, "SysTreeView32", nullptr)) return;
            ++browsers;
            quaff::test::Click(GetDlgItem(box, IDCANCEL));
        };
    }
    int browsers = 0, menus = 0;

private:
    quaff::win::Timer timer_;
};

struct Step {
    WPARAM key;
    const char* focus;                     // where the focus is after the key
    std::function<bool()> done = nullptr;  // what the key did
};

TEST(Keyboard, EveryWindowOpensOnItsFirstControlAndEveryActionHasItsKey) {
    quaff::test::NoStoredSettings noSettings;
    quaff::test::StoredSettings settings{quaff::test::CountingSettings()};
    Closer closer;
    int pageOpened = 0;
    const auto shell = quaff::about::SetShellExecute(
        [&](HWND, const char*, const char*, const char*, const char*, int) {
            ++pageOpened;
            return reinterpret_cast<HINSTANCE>(42);  // started
        });
    std::unique_ptr<quaff::monitor::TfrmMain> monitor = quaff::test::NewMonitor();
    const struct {
        std::function<Form*()> make;
        const char* first;
        std::vector<Step> steps;
    } walks[] = {
        {[] { return quaff::win::CreateForm<quaff::settings::TfrmSettings>(nullptr); },
         "cbIconSet",
         {{VK_TAB, "edImageDir"},
          {VK_TAB, "SpeedButton1"},
          {VK_SPACE, "SpeedButton1", [&] { return closer.browsers == 1; }},
          {VK_RETURN, "SpeedButton1", [&] { return closer.browsers == 2; }},
          {VK_TAB, "edName"},
          {VK_TAB, "edDays"},
          {VK_TAB, "edHours"},
          {VK_TAB, "edSalary"},
          {VK_TAB, "edPrice"},
          {VK_TAB, "btnOK"},
          {VK_TAB, "btnCalcen"},
          {VK_TAB, "cbIconSet"}}},
        {[&] { return monitor.get(); },
         "Button1",
         {{VK_SPACE, "Button2", [&] { return monitor->Running(); }},
          {VK_SPACE, "Button1", [&] { return !monitor->Running(); }},
          {VK_APPS, "Button1",
           [&] { return quaff::test::PumpUntil([&] { return closer.menus == 1; }); }}}},
        {[] { return quaff::win::CreateForm<quaff::about::TfrmAbout>(nullptr); },
         "Button1",
         {{VK_TAB, "Label3"},
          {VK_RETURN, "Label3", [&] { return pageOpened == 1; }},
          {VK_SPACE, "Label3", [&] { return pageOpened == 2; }},
          {VK_TAB, "Button1"}}},
    };
    for (const auto& walk : walks) {
        Form* form = walk.make();
        const std::unique_ptr<Form> owned(form == monitor.get() ? nullptr : form);
        SCOPED_TRACE(form->Name());
        quaff::test::ShowModalWith(*form, [&] {
            EXPECT_EQ(FocusName(), walk.first);
            for (const Step& step : walk.steps) {
                Key(step.key);
                EXPECT_EQ(FocusName(), step.focus) << "after key " << step.key;
                if (step.done) EXPECT_TRUE(step.done()) << "key " << step.key;
            }
            form->Close();
        });
    }
    quaff::about::SetShellExecute(shell);
}

// The shell sends a right button press for Enter or Space on the icon focused from the
// keyboard (Win+B, then the arrows): the menu comes up and the keys choose from it.
TEST(Keyboard, TheTrayMenuIsChosenFromWithKeys) {
    quaff::test::NoStoredSettings noSettings;
    quaff::test::TrayRecorder tray{/*passThrough=*/true};
    quaff::app::frmLaunch = quaff::win::CreateMainForm<quaff::app::TfrmLaunch>(nullptr);
    bool settingsShown = false, chosen = false;
    quaff::win::Timer keys(nullptr);
    keys.SetInterval(20);
    keys.OnTimer = [&](quaff::win::Component*) {
        if (quaff::app::frmSettings && quaff::app::frmSettings->Visible()) {
            settingsShown = true;
            quaff::test::PressKey(VK_ESCAPE);
        } else if (!chosen && FindWindowA("#32768", nullptr)) {
            chosen = true;
            // "Drink Stuff...", then "Settings...".
            for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
                PostMessageA(Application::Instance().Handle(), WM_KEYDOWN, key, 1);
        }
    };
    SendMessageA(quaff::tray::TTrayIcon::TrayWindow(), quaff::tray::kTrayCallbackMessage,
                 quaff::app::frmLaunch->TrayIcon1->Identity(), WM_RBUTTONDOWN);
    EXPECT_TRUE(quaff::test::PumpUntil([&] { return settingsShown && !quaff::app::frmSettings; }));
    keys.SetEnabled(false);
    delete quaff::app::frmLaunch;
    Application::Instance().ResetTerminated();
}

}  // namespace
