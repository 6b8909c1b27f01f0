// Mouse notifications on the tray icon turned into events: the orders of events for clicks
// and double-clicks, the shift state and cursor, enter and exit, the menu and its default
// item. Notifications are sent to the real shared window as the shell sends them; the
// timers' ticks are delivered by hand, so nothing depends on how fast the machine is.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tray/simple_timer.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/form.h"
#include "win/menu.h"
#include "win_test_support.h"

using quaff::test::LastTimerId;
using quaff::test::TrayRecorder;
using quaff::tray::TMouseButton;
using quaff::tray::TShiftState;
using quaff::tray::TSimpleTimer;
using quaff::tray::TTrayIcon;
using quaff::win::Component;

namespace {

const char* ButtonName(TMouseButton b) {
    return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
}

// A tray icon whose events are written to `events` as short words.
struct Tray : quaff::test::RecordedTray {
    std::vector<std::string> events;

    explicit Tray(bool withDblClick) : RecordedTray(false) {
        tray->OnClick = [this](Component*) { events.push_back("click"); };
        if (withDblClick) tray->OnDblClick = [this](Component*) { events.push_back("dbl"); };
        tray->OnMouseDown = [this](Component*, TMouseButton b, TShiftState, int, int) {
            events.push_back(std::string("down ") + ButtonName(b));
        };
        tray->OnMouseUp = [this](Component*, TMouseButton b, TShiftState, int, int) {
            events.push_back(std::string("up ") + ButtonName(b));
        };
        tray->OnMouseEnter = [this](Component*) { events.push_back("enter"); };
        tray->OnMouseExit = [this](Component*) { events.push_back("exit"); };
        tray->OnBalloonHintClick = [this](Component*) { events.push_back("balloon click"); };
        tray->OnBalloonHintHide = [this](Component*) { events.push_back("balloon hide"); };
        tray->OnBalloonHintTimeout = [this](Component*) { events.push_back("balloon timeout"); };
    }
    void Send(LPARAM code) { SendMessageA(TTrayIcon::TrayWindow(), 2048, tray->Identity(), code); }
    void Send(std::initializer_list<LPARAM> codes) {
        for (LPARAM c : codes) Send(c);
    }
    // Delivers the tick of the timer last started with this interval.
    void Tick(unsigned interval) {
        const UINT_PTR id = LastTimerId(rec.log, interval);
        ASSERT_NE(id, 0u) << "no timer of " << interval << " ms was started";
        SendMessageA(TSimpleTimer::SharedWindow(), WM_TIMER, id, 0);
    }
};

using Events = std::vector<std::string>;

TEST(TrayMouse, ClickAndDoubleClickOrders) {
    struct Case {
        const char* name;
        bool withDblClick;
        std::vector<LPARAM> codes;
        Events beforeTick;
        Events afterTick;  // once the double-click time has passed
    };
    const Case cases[] = {
        {"single click, OnDblClick set",
         true,
         {WM_LBUTTONDOWN, WM_LBUTTONUP},
         {"down L", "up L"},
         {"down L", "up L", "click"}},
        {"double-click, OnDblClick set",
         true,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
         {"down L", "up L", "dbl", "up L"},
         {"down L", "up L", "dbl", "up L"}},
        {"triple click, OnDblClick set: the third press is part of the double-click",
         true,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN,
          WM_LBUTTONUP},
         {"down L", "up L", "dbl", "up L", "down L", "up L"},
         {"down L", "up L", "dbl", "up L", "down L", "up L"}},
        {"single click, OnDblClick unset",
         false,
         {WM_LBUTTONDOWN, WM_LBUTTONUP},
         {"down L", "click", "up L"},
         {"down L", "click", "up L"}},
        {"double-click, OnDblClick unset",
         false,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
         {"down L", "click", "up L", "up L"},
         {"down L", "click", "up L", "up L"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tray t(c.withDblClick);
        t.rec.doubleClickTime = 432;
        for (LPARAM code : c.codes) t.Send(code);
        EXPECT_EQ(t.events, c.beforeTick);
        const UINT_PTR clickTimer = LastTimerId(t.rec.log, 432);
        EXPECT_EQ(clickTimer != 0, c.withDblClick);
        if (clickTimer) t.Tick(432);
        EXPECT_EQ(t.events, c.afterTick);
    }
}

// A double-click while no click was held back (OnDblClick not set yet) leaves nothing that
// could swallow the first single click after OnDblClick is set.
TEST(TrayMouse, ADoubleClickWithNoClickPendingSwallowsNoLaterClick) {
    Tray t(false);
    t.Send({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    t.tray->OnDblClick = [&](Component*) { t.events.push_back("dbl"); };
    t.events.clear();
    t.Send({WM_LBUTTONDOWN, WM_LBUTTONUP});
    t.Tick(500);
    EXPECT_EQ(t.events, (Events{"down L", "up L", "click"}));
}

TEST(TrayMouse, EachPressRestartsTheClickTimer) {
    Tray t(true);
    t.Send({WM_LBUTTONDOWN, WM_LBUTTONUP});
    t.rec.log.clear();
    t.Send({WM_LBUTTONDOWN, WM_LBUTTONUP});
    // The second press starts the click's 500 ms afresh.
    const std::string id = std::to_string(LastTimerId(t.rec.log, 500));
    EXPECT_EQ(std::count(t.rec.log.begin(), t.rec.log.end(), "SetTimer " + id + " 500"), 1);
    t.Tick(500);
    EXPECT_EQ(t.events, (Events{"down L", "up L", "down L", "up L", "click"}));
}

TEST(TrayMouse, WhatEachNotificationRaises) {
    struct Case {
        const char* name;
        bool enabled;
        LPARAM code;
        Events events;
    };
    const Case cases[] = {
        {"right press without a menu", true, WM_RBUTTONDOWN, {"down R"}},
        {"right release", true, WM_RBUTTONUP, {"up R"}},
        {"middle press", true, WM_MBUTTONDOWN, {"down M"}},
        {"middle release", true, WM_MBUTTONUP, {"up M"}},
        {"right double-click", true, WM_RBUTTONDBLCLK, {}},
        {"middle double-click", true, WM_MBUTTONDBLCLK, {}},
        {"context menu is for version 3 only", true, WM_CONTEXTMENU, {}},
        {"balloon shown", true, 0x402, {}},
        {"balloon click", true, 0x405, {"balloon click"}},
        {"disabled: left press", false, WM_LBUTTONDOWN, {}},
        {"disabled: left release", false, WM_LBUTTONUP, {}},
        {"disabled: double-click", false, WM_LBUTTONDBLCLK, {}},
        {"disabled: right press", false, WM_RBUTTONDOWN, {}},
        {"disabled: move", false, WM_MOUSEMOVE, {}},
        {"disabled: balloon click", false, 0x405, {"balloon click"}},
        {"disabled: balloon hide", false, 0x403, {"balloon hide"}},
        {"disabled: balloon timeout", false, 0x404, {"balloon timeout"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tray t(true);
        t.tray->SetWantEnterExitEvents(true);
        t.tray->SetEnabled(c.enabled);
        t.rec.Clear();
        t.Send(c.code);
        EXPECT_EQ(t.events, c.events);
        if (!c.enabled) {
            EXPECT_TRUE(t.rec.log.empty());
        }  // no click timer, no menu
    }
}

TEST(TrayMouse, Version3ReportsTheRightReleaseAsContextMenu) {
    Tray t(false);
    t.tray->SetNotifyVersion(quaff::tray::TNotifyVersion::Version3);
    EXPECT_EQ(t.rec.shell.back().message, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_EQ(t.rec.shell.back().data.uVersion, 3u);
    t.Send({WM_RBUTTONUP, WM_CONTEXTMENU, 0x400, 0x401});
    EXPECT_EQ(t.events, (Events{"up R", "up R", "up R"}));
}

TEST(TrayMouse, ShiftStateAndCursorPosition) {
    struct Case {
        std::set<int> keys;
        LPARAM code;
        TShiftState shift;
    };
    using namespace quaff::tray;
    const Case cases[] = {
        {{}, WM_LBUTTONDOWN, ssLeft},
        {{VK_SHIFT}, WM_RBUTTONDOWN, ssShift | ssRight},
        {{VK_CONTROL, VK_MENU}, WM_MBUTTONUP, ssCtrl | ssAlt | ssMiddle},
        {{VK_SHIFT, VK_CONTROL, VK_MENU}, WM_MOUSEMOVE, ssShift | ssCtrl | ssAlt},
    };
    for (const Case& c : cases) {
        Tray t(false);
        TShiftState seen = 0xFFFF;
        POINT at{-1, -1};
        auto record = [&](TShiftState s, int x, int y) {
            seen = s;
            at = POINT{x, y};
        };
        t.tray->OnMouseDown = [&](Component*, TMouseButton, TShiftState s, int x, int y) {
            record(s, x, y);
        };
        t.tray->OnMouseUp = t.tray->OnMouseDown;
        t.tray->OnMouseMove = [&](Component*, TShiftState s, int x, int y) { record(s, x, y); };
        t.rec.keysDown = c.keys;
        t.rec.cursor = POINT{1234, 987};
        t.Send(c.code);
        EXPECT_EQ(seen, c.shift) << c.code;
        EXPECT_EQ(at.x, 1234);
        EXPECT_EQ(at.y, 987);
    }
}

TEST(TrayMouse, UnreadableCursorStandsAtTheLastMove) {
    Tray t(false);
    POINT at{};
    t.tray->OnMouseDown = [&](Component*, TMouseButton, TShiftState, int x, int y) {
        at = POINT{x, y};
    };
    t.tray->SetWantEnterExitEvents(true);
    t.rec.cursor = POINT{300, 400};
    t.Send(WM_MOUSEMOVE);
    t.rec.cursorReadable = false;
    t.Send(WM_LBUTTONDOWN);
    EXPECT_EQ(at.x, 300);
    EXPECT_EQ(at.y, 400);
    t.Tick(20);  // the poll cannot read the cursor either: no exit
    EXPECT_EQ(t.events, (Events{"enter"}));
}

TEST(TrayMouse, EnterAndExit) {
    Tray t(false);
    t.rec.cursor = POINT{10, 10};
    t.Send(WM_MOUSEMOVE);  // not wanted yet
    t.tray->SetWantEnterExitEvents(true);
    t.Send(WM_MOUSEMOVE);
    t.Send(WM_MOUSEMOVE);
    t.Tick(20);  // cursor still where it was last seen
    EXPECT_EQ(t.events, (Events{"enter"}));
    t.rec.cursor = POINT{11, 10};
    t.Tick(20);
    t.Tick(20);
    EXPECT_EQ(t.events, (Events{"enter", "exit"}));
    t.Send(WM_MOUSEMOVE);
    EXPECT_EQ(t.events, (Events{"enter", "exit", "enter"}));
    t.tray->SetWantEnterExitEvents(false);
    EXPECT_EQ(t.rec.log.back(), "KillTimer " + std::to_string(LastTimerId(t.rec.log, 20)));
}

// Closes any menu the thread shows, from a timer that ticks inside the menu's own loop.
struct MenuCloser {
    static inline int closed = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (FindWindowA(MAKEINTATOM(32768), nullptr)) ++closed;
        EndMenu();
    });
    ~MenuCloser() { KillTimer(nullptr, id); }
};

struct MenuTray : Tray {
    quaff::win::PopupMenu* menu = new quaff::win::PopupMenu(&owner);
    std::vector<quaff::win::MenuItem*> items;
    MenuTray(int count, std::vector<int> defaults) : Tray(true) {
        for (int i = 0; i < count; ++i) {
            auto* item = new quaff::win::MenuItem(menu);
            item->SetCaption("Item " + std::to_string(i));
            item->SetDefault(std::find(defaults.begin(), defaults.end(), i) != defaults.end());
            item->OnClick = [this, i](Component*) {
                events.push_back("item " + std::to_string(i));
            };
            menu->Items().Add(item);
            items.push_back(item);
        }
        tray->SetPopupMenu(menu);
    }
};

TEST(TrayMouse, DoubleClickRunsTheUppermostTopLevelDefaultItem) {
    struct Case {
        const char* name;
        std::vector<int> defaults;
        bool autoPopup;
        bool leftPopup;
        Events events;
    };
    const Case cases[] = {
        {"two defaults: the upper runs", {1, 3}, true, false, {"dbl", "item 1"}},
        {"no default", {}, true, false, {"dbl"}},
        {"AutoPopup false", {2}, false, false, {"dbl"}},
        {"LeftPopup", {2}, true, true, {"dbl"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuTray t(4, c.defaults);
        t.menu->SetAutoPopup(c.autoPopup);
        t.tray->SetLeftPopup(c.leftPopup);
        t.Send(WM_LBUTTONDBLCLK);
        EXPECT_EQ(t.events, c.events);
    }
}

TEST(TrayMouse, DefaultItemInASubmenuIsNotFound) {
    MenuTray t(2, {});
    auto* sub = new quaff::win::MenuItem(t.menu);
    sub->SetDefault(true);
    sub->OnClick = [&](Component*) { t.events.push_back("sub"); };
    t.items[1]->Add(sub);
    t.Send(WM_LBUTTONDBLCLK);
    EXPECT_EQ(t.events, (Events{"dbl"}));
}

TEST(TrayMouse, PressesPopTheMenuAtTheCursor) {
    struct Case {
        const char* name;
        bool leftPopup;
        bool autoPopup;
        LPARAM code;
        bool pops;
    };
    const Case cases[] = {
        {"right press", false, true, WM_RBUTTONDOWN, true},
        {"left press", false, true, WM_LBUTTONDOWN, false},
        {"left press with LeftPopup", true, true, WM_LBUTTONDOWN, true},
        {"right press, AutoPopup false", false, false, WM_RBUTTONDOWN, false},
    };
    HWND app = quaff::win::Application::Instance().Handle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuTray t(3, {});
        t.tray->SetLeftPopup(c.leftPopup);
        t.menu->SetAutoPopup(c.autoPopup);
        t.tray->OnMouseDown = [&](Component*, TMouseButton, TShiftState, int, int) {
            t.rec.log.push_back("OnMouseDown");
        };
        MenuCloser closer;
        MenuCloser::closed = 0;
        t.rec.log.clear();
        t.Send(c.code);
        const bool popped =
            std::find(t.rec.log.begin(), t.rec.log.end(), "SetForegroundWindow") != t.rec.log.end();
        EXPECT_EQ(popped, c.pops);
        if (!popped) continue;
        // The menu comes after the press event.
        EXPECT_LT(std::find(t.rec.log.begin(), t.rec.log.end(), "OnMouseDown"),
                  std::find(t.rec.log.begin(), t.rec.log.end(), "SetForegroundWindow"));
        EXPECT_EQ(t.rec.foreground.at(0), app);
        EXPECT_EQ(MenuCloser::closed, 1);
        EXPECT_EQ(t.menu->PopupComponent(), t.tray);
        EXPECT_TRUE(t.rec.posted.empty());  // the owner is no window
    }
}

// The null message goes to the owner's window only while it has one: showing the menu
// makes no window.
TEST(TrayMouse, MenuPostsANullMessageToAWindowedOwner) {
    for (bool windowGone : {false, true}) {
        SCOPED_TRACE(windowGone ? "owner's window destroyed" : "owner's window there");
        auto* form = new quaff::win::Form(nullptr);
        {
            TrayRecorder rec(false);
            auto* tray = new TTrayIcon(form);
            auto* menu = new quaff::win::PopupMenu(form);
            auto* item = new quaff::win::MenuItem(menu);
            item->SetCaption("Only");
            menu->Items().Add(item);
            tray->SetPopupMenu(menu);
            if (windowGone) DestroyWindow(form->Handle());
            MenuCloser closer;
            SendMessageA(TTrayIcon::TrayWindow(), 2048, tray->Identity(), WM_RBUTTONDOWN);
            EXPECT_EQ(form->HandleAllocated(), !windowGone);
            EXPECT_EQ(rec.posted,
                      windowGone ? std::vector<HWND>{} : std::vector<HWND>{form->Handle()});
            if (!windowGone) {
                EXPECT_EQ(rec.log.back(), "PostMessage 0");
            }
        }
        delete form;
    }
}

TEST(TrayMouse, HandlerMayDestroyTheComponent) {
    auto* owner = new Component(nullptr);
    TrayRecorder rec(false);
    auto* tray = new TTrayIcon(owner);
    tray->OnDblClick = [&](Component* sender) { delete sender; };
    tray->SetPopupMenu(new quaff::win::PopupMenu(owner));
    const UINT id = tray->Identity();
    SendMessageA(TTrayIcon::TrayWindow(), 2048, id, WM_LBUTTONDOWN);
    SendMessageA(TTrayIcon::TrayWindow(), 2048, id, WM_LBUTTONDBLCLK);
    EXPECT_EQ(owner->Components().size(), 1u);  // only the menu is left
    delete owner;
}

}  // namespace
