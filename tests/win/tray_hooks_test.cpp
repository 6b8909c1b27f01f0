// The tray icon's procedures in front of the application window and its owner form, for
// real under Wine: the icon put back when the taskbar is re-created, minimising to the
// tray, the start-up decision about the main form, and the procedures put back at the end.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/errors.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/handles.h"
#include "win/form.h"
#include "win_test_support.h"

using quaff::test::TrayRecorder;
using quaff::tray::TTrayIcon;
using quaff::win::Application;
using quaff::win::Component;
using quaff::win::Form;

namespace {

WNDPROC ProcOf(HWND h) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)); }

// Adds of icon `id` that the shell took. A version-3 icon must ask for its version again
// right after each (a newly added icon starts with the classic behaviour), else the add is
// not counted.
int AddsIn(const TrayRecorder& rec, UINT id) {
    int n = 0;
    for (std::size_t i = 0; i < rec.shell.size(); ++i) {
        const auto& c = rec.shell[i];
        if (c.message != NIM_ADD || c.data.uID != id || !c.result) continue;
        const bool asksAgain =
            i + 1 < rec.shell.size() && rec.shell[i + 1].message == NIM_SETVERSION &&
            rec.shell[i + 1].data.uID == id && rec.shell[i + 1].data.uVersion == 3;
        n += c.data.uVersion != 3 || asksAgain;
    }
    return n;
}

// A form that is the application's main form for the length of a test; the application
// window is hidden and restored again afterwards.
struct MainForm {
    Form* form = new Form(nullptr);
    MainForm() { Application::Instance().SetMainForm(form); }
    ~MainForm() {
        delete form;
        Application& app = Application::Instance();
        app.SetMainForm(nullptr);
        app.SetShowMainForm(true);
        ShowWindow(app.Handle(), SW_RESTORE);
        ShowWindow(app.Handle(), SW_HIDE);
    }
};

// Stands in front of a window's procedure for a test, counting a private message that the
// hooks in front of it must pass on.
constexpr UINT kProbe = WM_APP + 77;
struct Counting {
    static inline WNDPROC appNext = nullptr, ownerNext = nullptr;
    static inline int appSeen = 0, ownerSeen = 0;
    static LRESULT CALLBACK App(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == kProbe) ++appSeen;
        return CallWindowProcA(appNext, h, m, w, l);
    }
    static LRESULT CALLBACK Owner(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == kProbe) ++ownerSeen;
        return CallWindowProcA(ownerNext, h, m, w, l);
    }
    static LRESULT CALLBACK Subclass(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR seen) {
        if (m == kProbe) ++*reinterpret_cast<int*>(seen);
        return DefSubclassProc(h, m, w, l);
    }
};

// Tray icons on the same application window and owner form, freed in the orders that
// matter, a new one made after each removal. After every step each live icon, and only
// those, puts itself back when the taskbar is re-created and hears its owner being shown;
// when the last goes both windows have their own procedures back.
TEST(TrayHooks, IconsMadeAndFreedInAnyOrderAllKeepTheirHooks) {
    const std::vector<int> orders[] = {{0, 1, 2}, {2, 1, 0}, {1, 0, 2}, {1, 2, 0}};
    HWND app = Application::Instance().Handle();
    for (const auto& order : orders) {
        SCOPED_TRACE(::testing::PrintToString(order));
        auto* form = new Form(nullptr);
        HWND owner = form->Handle();
        const WNDPROC appBefore = ProcOf(app), ownerBefore = ProcOf(owner);
        TrayRecorder rec(false);
        std::vector<TTrayIcon*> live;
        auto make = [&] {
            live.push_back(new TTrayIcon(form));
            live.back()->SetNotifyVersion(quaff::tray::TNotifyVersion::Version3);
            rec.Clear();
            live.back()->SetIconVisible(true);
            EXPECT_EQ(AddsIn(rec, live.back()->Identity()), 1);
            return live.back();
        };
        auto free = [&](TTrayIcon* t) {
            live.erase(std::find(live.begin(), live.end(), t));
            delete t;
        };
        auto allHear = [&](const char* step) {
            SCOPED_TRACE(step);
            rec.RestartShell();
            rec.Clear();
            SendMessageA(app, TTrayIcon::TaskbarCreatedMessage(), 0, 0);
            SendMessageA(owner, WM_SHOWWINDOW, TRUE, 0);
            EXPECT_EQ(rec.shell.size(), 2 * live.size());  // each adds and asks for its version
            for (TTrayIcon* t : live) EXPECT_EQ(AddsIn(rec, t->Identity()), 1);
            EXPECT_EQ(rec.foreground.size(), 2 * live.size());
        };
        const std::vector<TTrayIcon*> first = {make(), make(), make()};
        allHear("three made");
        for (int i : order) {
            free(first[i]);
            allHear("one freed");
            make();
            allHear("another made");
        }
        while (!live.empty()) free(live.front());
        allHear("all freed");
        EXPECT_EQ(ProcOf(app), appBefore);
        EXPECT_EQ(ProcOf(owner), ownerBefore);
        delete form;
    }
}

// Other code subclasses the windows between two tray icons: freeing either never cuts it
// out, and the icon made after it keeps working.
TEST(TrayHooks, AForeignSubclassBetweenTwoIconsStaysInPlace) {
    HWND app = Application::Instance().Handle();
    auto* form = new Form(nullptr);
    HWND owner = form->Handle();
    const WNDPROC appBefore = ProcOf(app), ownerBefore = ProcOf(owner);
    TrayRecorder rec(false);
    auto probe = [&] {
        Counting::appSeen = Counting::ownerSeen = 0;
        SendMessageA(app, kProbe, 0, 0);
        SendMessageA(owner, kProbe, 0, 0);
        return Counting::appSeen == 1 && Counting::ownerSeen == 1;
    };

    {
        auto* first = new TTrayIcon(form);
        Counting::appNext = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(app, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting::App)));
        Counting::ownerNext = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting::Owner)));
        // The other code goes as it came, however the test ends: a procedure left behind
        // would take every later test down with it.
        const quaff::win::ScopeExit otherCodeGone([&] {
            SetWindowLongPtrA(app, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Counting::appNext));
            SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Counting::ownerNext));
        });
        auto* second = new TTrayIcon(form);
        second->SetIconVisible(true);
        delete first;
        EXPECT_TRUE(probe());
        rec.RestartShell();
        rec.Clear();
        SendMessageA(app, TTrayIcon::TaskbarCreatedMessage(), 0, 0);
        EXPECT_EQ(AddsIn(rec, second->Identity()), 1);
        delete second;
        EXPECT_TRUE(probe());
    }

    // With the other code gone, the windows get their own procedures back.
    SendMessageA(app, WM_NULL, 0, 0);
    SendMessageA(owner, WM_NULL, 0, 0);
    EXPECT_EQ(ProcOf(app), appBefore);
    EXPECT_EQ(ProcOf(owner), ownerBefore);
    delete form;
}

// The same for other code's subclass of the common controls'.
TEST(TrayHooks, AForeignCommonControlsSubclassBetweenTwoIconsStaysInPlace) {
    HWND app = Application::Instance().Handle();
    const WNDPROC before = ProcOf(app);
    Component owner(nullptr);
    int seen = 0;
    {
        auto* first = new TTrayIcon(&owner);
        SetWindowSubclass(app, &Counting::Subclass, 1, reinterpret_cast<DWORD_PTR>(&seen));
        const quaff::win::ScopeExit otherCodeGone(
            [app] { RemoveWindowSubclass(app, &Counting::Subclass, 1); });
        auto* second = new TTrayIcon(&owner);
        delete first;
        delete second;
        SendMessageA(app, kProbe, 0, 0);
        EXPECT_EQ(seen, 1);
    }
    EXPECT_EQ(ProcOf(app), before);
}

// An owner that has no window and cannot get one (a child control without a parent): the
// error reaches the caller and the failed icon leaves no hook and no share of the tray window.
TEST(TrayHooks, AFailedConstructionLeavesNothingBehind) {
    HWND app = Application::Instance().Handle();
    const WNDPROC before = ProcOf(app);
    Component plain(nullptr);
    auto* keeper = new TTrayIcon(&plain);
    HWND trayWindow = TTrayIcon::TrayWindow();
    const WNDPROC hooked = ProcOf(app);
    quaff::win::WinControl windowless(nullptr);
    EXPECT_THROW(new TTrayIcon(&windowless), quaff::Error);
    EXPECT_EQ(ProcOf(app), hooked);
    EXPECT_TRUE(windowless.Components().empty());
    EXPECT_TRUE(IsWindow(trayWindow));
    delete keeper;
    EXPECT_EQ(TTrayIcon::TrayWindow(), nullptr);
    EXPECT_EQ(ProcOf(app), before);
}

TEST(TrayHooks, WithoutAWindowedOwnerOnlyTheApplicationIsHooked) {
    HWND app = Application::Instance().Handle();
    const WNDPROC before = ProcOf(app);
    Component owner(nullptr);
    auto* tray = new TTrayIcon(&owner);
    EXPECT_NE(ProcOf(app), before);
    delete tray;
    EXPECT_EQ(ProcOf(app), before);
}

TEST(TrayHooks, TaskbarCreatedPutsAVisibleIconBackAndLeavesAHiddenOneAway) {
    const UINT taskbarCreated = TTrayIcon::TaskbarCreatedMessage();
    ASSERT_NE(taskbarCreated, 0u);  // Wine's common controls are newer than 4.71
    Component owner(nullptr);
    TrayRecorder rec(true);
    auto* shown = new TTrayIcon(&owner);
    auto* hidden = new TTrayIcon(&owner);
    shown->SetHint("3 drinks earnt");
    shown->SetIconVisible(true);
    hidden->SetHint("hidden");
    ASSERT_EQ(AddsIn(rec, shown->Identity()), 1);

    rec.RestartShell();
    rec.Clear();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    EXPECT_EQ(AddsIn(rec, shown->Identity()), 1);
    EXPECT_EQ(rec.ShellCalls(NIM_ADD).at(0).Tip(), "3 drinks earnt");
    EXPECT_EQ(rec.ShellCalls(NIM_ADD).at(0).data.hIcon, shown->Icon().Handle());
    for (const auto& c : rec.shell) EXPECT_NE(c.data.uID, hidden->Identity());
}

TEST(TrayHooks, MinimisingToTheTray) {
    struct Case {
        const char* name;
        bool minimizeToTray;
        bool withHandler;
        bool ownedByMainForm;  // else by another form
        bool byOwnerCommand;   // else the application window is minimised
        int handlerCalls;
        bool taken;  // the component hid the main form and added the icon
        bool ownerMinimised;
    };
    const Case cases[] = {
        {"application minimised, no handler", true, false, true, false, 0, true, false},
        {"main form's minimise command, no handler", true, false, true, true, 0, true, false},
        {"other owner's minimise command, no handler: not intercepted", true, false, false, true, 0,
         false, true},
        {"owner's minimise command with handler", true, true, false, true, 1, true, false},
        {"MinimizeToTray false, application", false, true, true, false, 0, false, false},
        {"MinimizeToTray false, owner", false, true, true, true, 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainForm main;
        std::unique_ptr<Form> other(c.ownedByMainForm ? nullptr : new Form(nullptr));
        Form* ownerForm = other ? other.get() : main.form;
        TrayRecorder rec(true);
        auto* tray = new TTrayIcon(ownerForm);
        ownerForm->FinishCreation();
        int calls = 0;
        tray->SetMinimizeToTray(c.minimizeToTray);
        tray->SetNotifyVersion(quaff::tray::TNotifyVersion::Version3);
        if (c.withHandler)
            tray->OnMinimizeToTray = [&](Component* s) {
                EXPECT_EQ(s, tray);
                ++calls;
            };
        main.form->Show();
        ownerForm->Show();
        HWND app = Application::Instance().Handle();
        HWND owner = ownerForm->Handle();
        rec.Clear();
        if (c.byOwnerCommand) {
            const LRESULT r = SendMessageA(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            if (c.taken) {
                EXPECT_EQ(r, 1);
            }
        } else {
            ShowWindow(app, SW_MINIMIZE);
        }
        EXPECT_EQ(calls, c.handlerCalls);
        EXPECT_EQ(tray->IconVisible(), c.taken);
        EXPECT_EQ(AddsIn(rec, tray->Identity()), c.taken ? 1 : 0);
        EXPECT_EQ(main.form->Visible(), !c.taken);
        if (c.taken) {
            EXPECT_FALSE(IsWindowVisible(app));
        }  // no taskbar button
        EXPECT_EQ(IsIconic(owner) != FALSE, c.ownerMinimised);
    }
}

TEST(TrayHooks, StartupHandlerDecidesWhetherTheMainFormShows) {
    for (bool show : {true, false}) {
        SCOPED_TRACE(show ? "leaves ShowMainForm" : "clears ShowMainForm");
        MainForm main;
        HWND app = Application::Instance().Handle();
        auto* tray = new TTrayIcon(main.form);
        int calls = 0;
        tray->OnStartup = [&](Component* s, bool& showMainForm) {
            EXPECT_EQ(s, tray);
            EXPECT_TRUE(showMainForm);
            ++calls;
            showMainForm = show;
        };
        ShowWindow(app, SW_SHOWNA);
        main.form->FinishCreation();  // the loaded step
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(Application::Instance().ShowMainForm(), show);
        EXPECT_EQ(IsWindowVisible(app) != FALSE, show);
        // A plain main form: the first position change ends the check without asking again.
        SetWindowPos(app, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        EXPECT_EQ(calls, 1);
    }
}

TEST(TrayHooks, AnMdiMainFormIsAskedAgainAtTheFirstPositionChange) {
    MainForm main;
    main.form->SetStyle(Form::FormStyle::MDIForm);
    HWND app = Application::Instance().Handle();
    auto* tray = new TTrayIcon(main.form);
    int calls = 0;
    tray->OnStartup = [&](Component*, bool& showMainForm) {
        EXPECT_TRUE(showMainForm);
        ++calls;
    };
    main.form->FinishCreation();
    EXPECT_EQ(calls, 1);
    for (int i = 0; i < 2; ++i)
        SetWindowPos(app, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    EXPECT_EQ(calls, 2);
}

TEST(TrayHooks, ShowingTheOwnerBringsItToTheFront) {
    auto* form = new Form(nullptr);
    {
        TrayRecorder rec(true);
        new TTrayIcon(form);
        form->Show();
        ASSERT_GE(rec.foreground.size(), 2u);
        EXPECT_EQ(rec.foreground[0], Application::Instance().Handle());
        EXPECT_EQ(rec.foreground[1], form->Handle());
    }
    delete form;
}

}  // namespace
