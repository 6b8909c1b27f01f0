// What a screen reader finds in the program's windows. Where Wine's accessibility proxies
// answer (oleacc: an edit's role and its name from the static text before it, every window's
// name from its text) they are asked in-process as a reader asks them; where they answer only
// "client" (buttons, combo boxes, spinners, pictures), the structure Windows' proxies read is
// checked instead: the window's real class and style, and the static text before it in window
// order. And the changing texts of the monitor window announce their changes.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about/about_form.h"
#include "monitor_test_support.h"
#include "registry_test_support.h"
#include "settings/settings_form.h"
#include "win/handles.h"
#include "win/layout.h"
#include "win_test_support.h"

namespace {

using quaff::win::Form;
using quaff::win::WinControl;

// IID_IAccessible as documented: MinGW's import library defines it wrongly, and
// AccessibleObjectFromWindow then answers E_NOINTERFACE.
const GUID kIAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct Spoken {
    long role = 0;
    std::string name;
};

// The role and name a reader gets for the window's client object.
Spoken Speak(HWND window) {
    IAccessible* raw = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&raw))))
        return {-1, "(no object)"};
    const quaff::win::ComPtr<IAccessible> object(raw);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Spoken spoken;
    VARIANT role{};
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) spoken.role = role.lVal;
    BSTR name = nullptr;
    if (object->get_accName(self, &name) == S_OK && name) {
        char text[256] = {};
        WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text, nullptr, nullptr);
        spoken.name = text;
        SysFreeString(name);
    }
    return spoken;
}

std::string RealClass(HWND h) {
    char name[64] = {};
    RealGetWindowClassA(h, name, sizeof name);
    return name;
}

// The text of the nearest static text before the window in window order, which Windows names
// a combo box or a spinner after.
std::string StaticBefore(HWND h) {
    for (HWND w = GetWindow(h, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (RealClass(w) == "Static") {
            char text[256] = {};
            GetWindowTextA(w, text, sizeof text);
            return text;
        }
    return "(none)";
}

enum class Asked { Oleacc, Structure };

struct Control {
    const char* name;  // the control, or null for the window itself
    const char* realClass;
    long role;  // asked of oleacc when not 0
    const char* spoken;
    Asked asked = Asked::Oleacc;
    DWORD style = 0;  // style bits it must have
};

TEST(ScreenReader, EveryControlHasARoleAndAName) {
    quaff::test::NoStoredSettings noSettings;
    const struct {
        std::function<Form*()> make;
        std::vector<Control> controls;
    } forms[] = {
        {[] { return quaff::win::CreateForm<quaff::settings::TfrmSettings>(nullptr); },
         {{nullptr, "QuaffControl", 0, "Settings"},
          {"GroupBox2", "Button", 0, "Your Details", Asked::Oleacc, BS_GROUPBOX},
          {"edName", "Edit", ROLE_SYSTEM_TEXT, "Name:"},
          {"edSalary", "Edit", ROLE_SYSTEM_TEXT, "Annual Salary:"},
          {"edDays", "Edit", ROLE_SYSTEM_TEXT, "Days A Week:"},
          {"UpDown1", "msctls_updown32", 0, "Days A Week:", Asked::Structure},
          {"edHours", "Edit", ROLE_SYSTEM_TEXT, "Normal Day (Hours):"},
          {"UpDown2", "msctls_updown32", 0, "Normal Day (Hours):", Asked::Structure},
          {"edPrice", "Edit", ROLE_SYSTEM_TEXT, "Price Of Drink:"},
          {"Label5", "Static", 0, "Price Of Drink:"},
          {"cbIconSet", "ComboBox", 0, "Icon Set:", Asked::Structure},
          {"edImageDir", "Edit", ROLE_SYSTEM_TEXT, "Image Dir:"},
          {"SpeedButton1", "Button", 0, "Browse...", Asked::Oleacc, BS_OWNERDRAW | WS_TABSTOP},
          {"btnOK", "Button", 0, "OK"},
          {"btnCalcen", "Button", 0, "Cancel"}}},
        {[] { return quaff::test::NewMonitor().release(); },
         {{nullptr, "QuaffControl", 0, "Quaffometer"},
          {"Button1", "Button", 0, "Start"},
          {"Label2", "Static", 0, "Started:"},
          {"Label1", "Static", 0, "Beers Earnt:"},
          {"Label3", "Static", 0, "0"},
          // A picture static: a graphic.
          {"Image1", "Static", 0, "", Asked::Structure, SS_BITMAP}}},
        {[] { return quaff::win::CreateForm<quaff::about::TfrmAbout>(nullptr); },
         {{nullptr, "QuaffControl", 0, "About Quaffometer"},
          {"Label2", "Static", 0, "To make a donation please use the following link:-"},
          {"Label3", "Static", 0, "Donate Via No Chex", Asked::Oleacc, WS_TABSTOP},
          {"Button1", "Button", 0, "OK"}}},
    };
    for (const auto& f : forms) {
        const std::unique_ptr<Form> form(f.make());
        form->Show();
        for (const Control& c : f.controls) {
            const HWND h = c.name ? quaff::win::FindControl<WinControl>(*form, c.name).Handle()
                                  : form->Handle();
            SCOPED_TRACE(form->Name() + "." + (c.name ? c.name : "(window)"));
            EXPECT_EQ(RealClass(h), c.realClass);
            EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & c.style, static_cast<LONG_PTR>(c.style));
            if (c.asked == Asked::Structure) {
                if (*c.spoken) EXPECT_EQ(StaticBefore(h), c.spoken);
                continue;
            }
            const Spoken spoken = Speak(h);
            if (c.role) EXPECT_EQ(spoken.role, c.role);
            EXPECT_EQ(spoken.name, c.spoken);
        }
        form->Hide();
    }
}

std::vector<HWND>& NameChanges() {
    static std::vector<HWND> changed;
    return changed;
}

void CALLBACK NameChanged(HWINEVENTHOOK, DWORD, HWND h, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) NameChanges().push_back(h);
}

TEST(ScreenReader, TheStartTimeAndTheCountAnnounceTheirChanges) {
    quaff::test::StoredSettings settings{quaff::test::CountingSettings()};
    const std::unique_ptr<quaff::monitor::TfrmMain> form = quaff::test::NewMonitor();
    form->Show();
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &NameChanged,
                        GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    const struct {
        const char* what;
        std::function<void()> act;
        std::vector<HWND> announced;
    } cases[] = {
        {"Start", [&] { form->Button1Click(nullptr); }, {form->Label4->Handle()}},
        {"a drink earned", [&] { form->GetIconNumber(4.0); }, {form->Label3->Handle()}},
        {"the same count again", [&] { form->GetIconNumber(4.5); }, {}},
        {"another drink", [&] { form->GetIconNumber(8.0); }, {form->Label3->Handle()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NameChanges().clear();
        c.act();
        quaff::test::PumpPending();
        EXPECT_EQ(NameChanges(), c.announced);
    }
    UnhookWinEvent(hook);
    form->Hide();
}

}  // namespace
