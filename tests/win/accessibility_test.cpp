// The program's windows as a keyboard user, a screen reader and high contrast meet them, on
// the real windows. Screen readers: where Wine's accessibility proxies answer (an edit's role
// and its name from the static text before it, any window's name from its text) oleacc is
// asked in-process as a reader asks it; where they answer only "client" (combo boxes,
// spinners, pictures) the structure Windows' proxies read is checked: the real class and
// style, and the static text before the control in window order.
#include <windows.h>
#include <oleacc.h>

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
#include "win/handles.h"
#include "win/high_contrast.h"
#include "win/layout.h"
#include "win/speed_button.h"
#include "win_test_support.h"

namespace {

using quaff::win::Application;
using quaff::win::CreateForm;
using quaff::win::Form;
using quaff::win::WinControl;

std::unique_ptr<Form> Settings() {
    return std::unique_ptr<Form>(CreateForm<quaff::settings::TfrmSettings>(nullptr));
}
std::unique_ptr<Form> Monitor() { return quaff::test::NewMonitor(); }
std::unique_ptr<Form> About() {
    return std::unique_ptr<Form>(CreateForm<quaff::about::TfrmAbout>(nullptr));
}

HWND Control(Form& form, const char* name) {
    return name ? quaff::win::FindControl<WinControl>(form, name).Handle() : form.Handle();
}

// The control that has the focus (a combo box for the field inside it), by name.
std::string FocusName() {
    for (HWND h = GetFocus(); h; h = GetParent(h))
        if (const WinControl* c = WinControl::FromHandle(h)) return c->Name();
    return "(none)";
}

// A key pressed and released in the focused window, handled as the program's loop handles it.
// The menu key goes through the real keyboard input: Wine asks for a context menu from that.
void Key(WPARAM key) {
    INPUT input[2]{};
    for (INPUT& i : input) i.type = INPUT_KEYBOARD, i.ki.wVk = static_cast<WORD>(key);
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    if (key == VK_APPS)
        SendInput(2, input, sizeof(INPUT));
    else
        quaff::test::PressKey(key);
    Application::Instance().ProcessMessages();
}

struct Step {
    WPARAM key;
    const char* focus;                          // where the focus is after the key
    std::function<bool(Form&)> done = nullptr;  // what the key did
};

bool Running(Form& monitor) { return static_cast<quaff::monitor::TfrmMain&>(monitor).Running(); }

TEST(Keyboard, EveryWindowOpensOnItsFirstControlAndEveryActionHasItsKey) {
    quaff::test::StoredSettings settings{quaff::test::CountingSettings()};
    int browsers = 0, menus = 0;
    quaff::win::Timer closer(nullptr);  // closes the folder browser and menus as they come up
    closer.SetInterval(10);
    closer.OnTimer = [&](quaff::win::Component*) {
        if (IsWindowVisible(FindWindowA("#32768", nullptr))) ++menus, EndMenu();
        if (const HWND box = quaff::test::FindThreadDialog())
            ++browsers, quaff::test::Click(GetDlgItem(box, IDCANCEL));
    };
    struct : quaff::about::AboutShell {
        HINSTANCE Open(HWND, const char*, const char*, const char*, const char*, int) override {
            ++pages;
            return reinterpret_cast<HINSTANCE>(42);  // started
        }
        int pages = 0;
        quaff::win::Seam<quaff::about::AboutShell> installed{*this};
    } shell;
    const struct {
        std::function<std::unique_ptr<Form>()> make;
        const char* first;
        std::vector<Step> steps;
    } walks[] = {
        // clang-format off
        {Settings, "cbIconSet", {{VK_TAB, "edImageDir"}, {VK_TAB, "SpeedButton1"},
                                 {VK_SPACE, "SpeedButton1", [&](Form&) { return browsers == 1; }},
                                 {VK_RETURN, "SpeedButton1", [&](Form&) { return browsers == 2; }},
                                 {VK_TAB, "edName"}}},
        {Monitor, "Button1", {{VK_SPACE, "Button2", Running},
                              {VK_SPACE, "Button1", [](Form& f) { return !Running(f); }},
                              {VK_APPS, "Button1", [&](Form&) {
                                   return quaff::test::PumpUntil([&] { return menus == 1; }); }}}},
        {About, "Button1", {{VK_TAB, "Label3"},
                            {VK_RETURN, "Label3", [&](Form&) { return shell.pages == 1; }},
                            {VK_SPACE, "Label3", [&](Form&) { return shell.pages == 2; }}}},
        // clang-format on
    };
    for (const auto& walk : walks) {
        const std::unique_ptr<Form> form = walk.make();
        SCOPED_TRACE(form->Name());
        quaff::test::ShowModalWith(*form, [&] {
            EXPECT_EQ(FocusName(), walk.first);
            for (const Step& step : walk.steps) {
                Key(step.key);
                EXPECT_EQ(FocusName(), step.focus) << "after key " << step.key;
                if (step.done) EXPECT_TRUE(step.done(*form)) << "key " << step.key;
            }
            form->Close();
        });
    }
}

// The shell sends a right button press for Enter or Space on the icon focused from the
// keyboard (Win+B, then the arrows): the menu comes up and keys choose from it.
TEST(Keyboard, TheTrayMenuIsChosenFromWithKeys) {
    quaff::test::NoStoredSettings noSettings;
    quaff::test::TrayRecorder tray{/*passThrough=*/true};
    quaff::app::frmLaunch = quaff::win::CreateMainForm<quaff::app::TfrmLaunch>(nullptr);
    bool chosen = false, settingsShown = false;
    quaff::win::Timer keys(nullptr);
    keys.SetInterval(20);
    keys.OnTimer = [&](quaff::win::Component*) {
        if (quaff::app::frmSettings && quaff::app::frmSettings->Visible())
            settingsShown = true, quaff::test::PressKey(VK_ESCAPE);
        else if (!chosen && FindWindowA("#32768", nullptr))  // "Drink Stuff...", "Settings..."
            for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
                chosen = PostMessageA(Application::Instance().Handle(), WM_KEYDOWN, key, 1);
    };
    SendMessageA(quaff::tray::TTrayIcon::TrayWindow(), quaff::tray::kTrayCallbackMessage,
                 quaff::app::frmLaunch->TrayIcon1->Identity(), WM_RBUTTONDOWN);
    EXPECT_TRUE(quaff::test::PumpUntil([&] { return settingsShown && !quaff::app::frmSettings; }));
    keys.SetEnabled(false);
    delete quaff::app::frmLaunch;
    Application::Instance().ResetTerminated();
}

// IID_IAccessible as documented: MinGW's import library has it wrong (E_NOINTERFACE).
const GUID kIAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The role (0 when none) and name a reader gets for the window's client object.
std::pair<long, std::string> Speak(HWND window) {
    IAccessible* raw = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&raw))))
        return {-1, "(no object)"};
    const quaff::win::ComPtr<IAccessible> object(raw);
    VARIANT self{}, role{};
    self.vt = VT_I4;
    BSTR name = nullptr;
    char text[256] = {};
    if (object->get_accName(self, &name) == S_OK && name)
        WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text, nullptr, nullptr);
    SysFreeString(name);
    return {object->get_accRole(self, &role) == S_OK ? role.lVal : 0, text};
}

std::string RealClass(HWND h) {
    char name[64] = {};
    RealGetWindowClassA(h, name, sizeof name);
    return name;
}

// The nearest static text before the window in window order, which Windows names a combo
// box or a spinner after.
std::string StaticBefore(HWND h) {
    while ((h = GetWindow(h, GW_HWNDPREV)) && RealClass(h) != "Static") {}
    return h ? quaff::test::WindowText(h) : "(none)";
}

TEST(ScreenReader, EveryControlHasARoleAndAName) {
    enum Asked { Oleacc, Structure };
    const struct {
        std::function<std::unique_ptr<Form>()> make;
        const char* control;  // null: the window
        const char* realClass;
        long role;  // asked of oleacc when not 0
        const char* spoken;
        Asked asked = Oleacc;
        DWORD style = 0;  // bits it must have
    } controls[] = {
        // clang-format off
        {Settings, nullptr, "QuaffControl", 0, "Settings"},
        {Settings, "GroupBox2", "Button", 0, "Your Details", Oleacc, BS_GROUPBOX},
        {Settings, "edName", "Edit", ROLE_SYSTEM_TEXT, "Name:"},
        {Settings, "edSalary", "Edit", ROLE_SYSTEM_TEXT, "Annual Salary:"},
        {Settings, "edDays", "Edit", ROLE_SYSTEM_TEXT, "Days A Week:"},
        {Settings, "UpDown1", "msctls_updown32", 0, "Days A Week:", Structure},
        {Settings, "edHours", "Edit", ROLE_SYSTEM_TEXT, "Normal Day (Hours):"},
        {Settings, "UpDown2", "msctls_updown32", 0, "Normal Day (Hours):", Structure},
        {Settings, "edPrice", "Edit", ROLE_SYSTEM_TEXT, "Price Of Drink:"},
        {Settings, "cbIconSet", "ComboBox", 0, "Icon Set:", Structure},
        {Settings, "edImageDir", "Edit", ROLE_SYSTEM_TEXT, "Image Dir:"},
        {Settings, "SpeedButton1", "Button", 0, "Browse...", Oleacc, BS_OWNERDRAW | WS_TABSTOP},
        {Settings, "btnOK", "Button", 0, "OK"},
        {Monitor, "Label3", "Static", 0, "0"},
        {Monitor, "Image1", "Static", 0, "", Structure, SS_BITMAP},
        {About, nullptr, "QuaffControl", 0, "About Quaffometer"},
        {About, "Label3", "Static", 0, "Donate Via No Chex", Oleacc, WS_TABSTOP},
        // clang-format on
    };
    for (const auto& c : controls) {
        const std::unique_ptr<Form> form = c.make();
        form->Show();
        const HWND h = Control(*form, c.control);
        SCOPED_TRACE(form->Name() + "." + (c.control ? c.control : "(window)"));
        EXPECT_EQ(RealClass(h), c.realClass);
        EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & c.style, static_cast<LONG_PTR>(c.style));
        if (c.asked == Structure && *c.spoken) EXPECT_EQ(StaticBefore(h), c.spoken);
        if (c.asked == Structure) continue;
        const auto [role, name] = Speak(h);
        if (c.role) EXPECT_EQ(role, c.role);
        EXPECT_EQ(name, c.spoken);
    }
}

std::vector<HWND> g_renamed;

TEST(ScreenReader, TheStartTimeAndTheCountAnnounceTheirChanges) {
    quaff::test::StoredSettings settings{quaff::test::CountingSettings()};
    const std::unique_ptr<quaff::monitor::TfrmMain> form = quaff::test::NewMonitor();
    form->Show();
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND h, LONG object, LONG, DWORD, DWORD) {
            if (object == OBJID_CLIENT) g_renamed.push_back(h);
        },
        GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    const HWND time = form->Label4->Handle(), count = form->Label3->Handle();
    const struct {
        std::function<void()> act;
        std::vector<HWND> announced;
    } cases[] = {{[&] { form->Button1Click(nullptr); }, {time}},
                 {[&] { form->GetIconNumber(4.0); }, {count}},  // a drink at 3.50
                 {[&] { form->GetIconNumber(4.5); }, {}},       // the same count
                 {[&] { form->GetIconNumber(8.0); }, {count}}};
    for (const auto& c : cases) {
        g_renamed.clear();
        c.act();
        quaff::test::PumpPending();
        EXPECT_EQ(g_renamed, c.announced);
    }
    UnhookWinEvent(hook);
}

// High contrast switched while the windows are up: the link and the browse button's glyph
// give up their designed colours for the system's, and take them back.
TEST(HighContrast, WindowsDrawInTheSystemColoursFromTheMomentItIsSwitched) {
    const COLORREF link = GetSysColor(COLOR_HOTLIGHT);
    ASSERT_NE(link, quaff::win::kNavy);
    const std::unique_ptr<Form> about = About(), settings = Settings();
    const HWND text = Control(*about, "Label3"), glyph = Control(*settings, "SpeedButton1");
    about->Show(), settings->Show();
    quaff::test::FixedHighContrast highContrast(true);
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        highContrast.on = on;
        for (Form* form : {about.get(), settings.get()}) {
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
            // Windows sends both; either redraws everything.
            SendMessageA(form->Handle(), on ? WM_SETTINGCHANGE : WM_SYSCOLORCHANGE,
                         on ? SPI_SETHIGHCONTRAST : 0, 0);
        }
        EXPECT_TRUE(GetUpdateRect(text, nullptr, FALSE) && GetUpdateRect(glyph, nullptr, FALSE));
        const quaff::test::Capture t = quaff::test::CaptureWindow(text);
        const quaff::test::Capture g = quaff::test::CaptureWindow(glyph);
        EXPECT_EQ(
            t.Any({0, 0, t.width, t.height}, [](COLORREF c) { return c == quaff::win::kNavy; }),
            !on);
        EXPECT_EQ(t.Any({0, 0, t.width, t.height}, [&](COLORREF c) { return c == link; }), on);
        EXPECT_EQ(
            g.Any({0, 0, g.width, g.height}, [](COLORREF c) { return c == RGB(255, 255, 0); }),
            !on);
    }
}

}  // namespace
