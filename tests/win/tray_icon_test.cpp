// The tray icon's shell calls and notification data, seen through the recording platform,
// with real image lists, real icons and the real shared window under Wine.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tray/simple_timer.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/image_list.h"
#include "win_test_support.h"

using quaff::test::FillImageList;
using quaff::test::FrameColour;
using quaff::test::IconCentreColour;
using quaff::test::LastTimerId;
using quaff::test::TrayRecorder;
using quaff::tray::TSimpleTimer;
using quaff::tray::TTrayIcon;
using quaff::win::Component;
using quaff::win::ImageList;

namespace {

// An owner for the component and its image lists that is not a window.
struct Fixture {
    Component owner{nullptr};
    ImageList* list16 = new ImageList(&owner);
    ImageList* empty = new ImageList(&owner);
    Fixture() {
        FillImageList(*list16, 16);
        FillImageList(*empty, 0);
    }
};

// A test's tray icon, made with the recorder in place, and lists owned beside it.
template <bool PassThrough>
class TrayIconTestOf : public ::testing::Test, public quaff::test::RecordedTray {
protected:
    TrayIconTestOf() : RecordedTray(PassThrough) {}
    Fixture f;
};
using TrayIconTest = TrayIconTestOf<false>;
using RealTrayIconTest = TrayIconTestOf<true>;

TEST_F(TrayIconTest, ListIndexAndHintMakeFiveModifyCallsWithTheV2Data) {
    rec.Clear();
    tray->SetIconList(f.list16);
    tray->SetIconIndex(7);
    tray->SetHint("3 drinks earnt");
    ASSERT_EQ(rec.shell.size(), 5u);
    for (const auto& call : rec.shell) {
        EXPECT_EQ(call.message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(call.data.cbSize, sizeof(void*) == 8 ? 504u : 488u);
        EXPECT_EQ(call.data.hWnd, TTrayIcon::TrayWindow());
        EXPECT_EQ(call.data.uID, tray->Identity());
        EXPECT_EQ(call.data.uFlags, 7u);
        EXPECT_EQ(call.data.uCallbackMessage, 2048u);
        EXPECT_NE(call.data.hIcon, nullptr);
    }
    EXPECT_TRUE(rec.shell[3].TipAllZero());
    EXPECT_EQ(rec.shell[4].Tip(), "3 drinks earnt");
    EXPECT_EQ(IconCentreColour(tray->Icon().Handle()), FrameColour(7));
}

struct IndexCase {
    const char* name;
    int listKind;  // 0 none, 1 sixteen images, 2 no images
    int set;
    int readBack;
    int shownFrame;  // -1: no image
    int shellCalls;
};

TEST(TrayIcon, IconIndexIsKeptWithinTheList) {
    const IndexCase cases[] = {
        {"in range", 1, 9, 9, 9, 2},
        {"past the end shows the last", 1, 20, 15, 15, 2},
        {"exactly the count", 1, 16, 15, 15, 2},
        {"no list reads 0", 0, 5, 0, -2, 1},
        {"empty list reads -1", 2, 0, -1, -1, 2},
        {"empty list, larger index", 2, 3, -1, -1, 2},
        {"negative goes to the list unchanged", 1, -1, -1, -1, 2},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        TrayRecorder rec(false);
        auto* tray = new TTrayIcon(&f.owner);
        if (c.listKind != 0) tray->SetIconList(c.listKind == 1 ? f.list16 : f.empty);
        rec.Clear();
        tray->SetIconIndex(c.set);
        EXPECT_EQ(tray->IconIndex(), c.readBack);
        EXPECT_EQ(static_cast<int>(rec.shell.size()), c.shellCalls);
        if (c.shownFrame >= 0) {
            EXPECT_EQ(IconCentreColour(tray->Icon().Handle()), FrameColour(c.shownFrame));
        } else if (c.shownFrame == -1) {
            EXPECT_TRUE(tray->Icon().Empty());
        }
    }
}

TEST_F(TrayIconTest, SettingAListShowsItsFirstImageAtOnce) {
    tray->SetIconList(f.list16);
    tray->SetIconIndex(12);
    tray->SetIconList(f.list16);
    EXPECT_EQ(tray->IconIndex(), 0);
    EXPECT_EQ(IconCentreColour(rec.shell.back().data.hIcon), FrameColour(0));
    // The list read again with other images: their icons show, not those of the first ones.
    FillImageList(*f.list16, 16, 16);
    tray->SetIconIndex(12);
    EXPECT_EQ(IconCentreColour(rec.shell.back().data.hIcon), FrameColour(28));
}

TEST(TrayIcon, TipRules) {
    struct Case {
        const char* name;
        std::string hint;
        bool showHint;
        std::string tip;  // empty: all 128 bytes zero
    };
    const std::string h200 = [] {
        std::string s;
        for (int i = 0; i < 200; ++i) s += static_cast<char>('a' + i % 26);
        return s;
    }();
    const Case cases[] = {
        {"200 characters show the first 127", h200, true, h200.substr(0, 127)},
        {"128 characters show 127", h200.substr(0, 128), true, h200.substr(0, 127)},
        {"127 characters fit", h200.substr(0, 127), true, h200.substr(0, 127)},
        {"ShowHint false", "3 drinks earnt", false, ""},
        {"empty hint", "", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component owner(nullptr);
        TrayRecorder rec(false);
        auto* tray = new TTrayIcon(&owner);
        tray->SetHint("something before");
        tray->SetShowHint(c.showHint);
        tray->SetHint(c.hint);
        const auto& call = rec.shell.back();
        if (c.tip.empty()) {
            EXPECT_TRUE(call.TipAllZero());
        } else {
            EXPECT_EQ(call.Tip(), c.tip);
            for (std::size_t i = c.tip.size(); i < 128; ++i) EXPECT_EQ(call.data.szTip[i], 0) << i;
        }
    }
}

TEST_F(RealTrayIconTest, HintWhileHiddenIsShownByTheNextAdd) {
    tray->SetHint("1 drinks earnt");
    rec.Clear();
    tray->SetIconVisible(true);
    ASSERT_EQ(rec.shell.size(), 1u);
    EXPECT_EQ(rec.shell[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(rec.shell[0].result);
    EXPECT_EQ(rec.shell[0].Tip(), "1 drinks earnt");
    EXPECT_TRUE(tray->IconVisible());
}

TEST(TrayIcon, DestroyingRemovesTheIconAndTheLastOneTheSharedWindow) {
    Component owner(nullptr);
    TrayRecorder rec(true);
    auto* first = new TTrayIcon(&owner);
    auto* second = new TTrayIcon(&owner);
    HWND window = TTrayIcon::TrayWindow();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_NE(first->Identity(), second->Identity());
    second->SetIconVisible(true);
    ASSERT_TRUE(rec.shell.back().result);
    const UINT id = second->Identity();
    rec.Clear();
    delete second;
    ASSERT_FALSE(rec.shell.empty());
    EXPECT_EQ(rec.shell[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(rec.shell[0].data.uID, id);
    EXPECT_TRUE(rec.shell[0].result);
    EXPECT_TRUE(IsWindow(window));
    delete first;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TTrayIcon::TrayWindow(), nullptr);
}

TEST_F(RealTrayIconTest, DesignPreviewAtRunTimeAddsWithoutChangingIconVisible) {
    rec.Clear();
    tray->SetDesignPreview(true);
    ASSERT_EQ(rec.shell.size(), 1u);
    EXPECT_EQ(rec.shell[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(rec.shell[0].result);
    EXPECT_FALSE(tray->IconVisible());
    tray->SetDesignPreview(false);
    EXPECT_EQ(rec.shell.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(rec.shell.back().result);
}

TEST_F(TrayIconTest, InDesignStateOnlyThePreviewReachesTheShell) {
    tray->SetDesigning(true);
    rec.Clear();
    tray->SetIconVisible(true);
    tray->SetHint("designed");
    EXPECT_TRUE(rec.shell.empty());
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_TRUE(tray->Icon().Empty());
    tray->SetDesignPreview(true);
    EXPECT_FALSE(tray->Icon().Empty());  // the standard Windows logo
    ASSERT_FALSE(rec.shell.empty());
    EXPECT_EQ(rec.shell.back().message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(rec.shell.back().data.hIcon, tray->Icon().Handle());
    EXPECT_EQ(rec.shell.back().Tip(), "designed");
    rec.Clear();
    tray->SetHint("previewed");
    ASSERT_EQ(rec.shell.size(), 1u);
    EXPECT_EQ(rec.shell[0].message, static_cast<DWORD>(NIM_MODIFY));
}

TEST(TrayIcon, RemovedListOrMenuIsForgottenWhoeverOwnedIt) {
    Component trayOwner(nullptr);
    auto* tray = new TTrayIcon(&trayOwner);
    {
        Component elsewhere(nullptr);  // the program keeps its icon sets on another form
        auto* list = new ImageList(&elsewhere);
        FillImageList(*list, 4);
        tray->SetIconList(list);
        tray->SetIconIndex(3);
    }
    EXPECT_EQ(tray->IconList(), nullptr);
    EXPECT_EQ(tray->IconIndex(), 0);
    auto* sibling = new ImageList(&trayOwner);
    FillImageList(*sibling, 4);
    tray->SetIconList(sibling);
    tray->SetIconIndex(2);
    delete sibling;
    EXPECT_EQ(tray->IconList(), nullptr);
    EXPECT_EQ(tray->IconIndex(), 0);
}

TEST_F(TrayIconTest, CycleIntervalZeroShowsImageZeroAndNeverSteps) {
    tray->SetIconList(f.list16);
    tray->SetIconIndex(5);
    rec.Clear();
    tray->SetCycleIcons(true);
    EXPECT_EQ(tray->IconIndex(), 0);
    for (const std::string& call : rec.log)
        EXPECT_EQ(call.rfind("SetTimer", 0), std::string::npos) << call;
}

// The handler sets IconIndex once, to 3 while 1 shows: cycling goes on from there.
TEST(TrayIcon, CyclingStepsThroughTheListAndReportsTheNextIndex) {
    Component owner(nullptr);
    auto* list = new ImageList(&owner);
    FillImageList(*list, 4);
    auto* tray = new TTrayIcon(&owner);
    tray->SetIconList(list);
    std::vector<int> reported, showing;
    tray->OnCycle = [&](Component* sender, int next) {
        EXPECT_EQ(sender, tray);
        showing.push_back(tray->IconIndex());
        EXPECT_EQ(IconCentreColour(tray->Icon().Handle()), FrameColour(tray->IconIndex()));
        reported.push_back(next);
        if (reported.size() == 2) tray->SetIconIndex(3);
        if (reported.size() == 7) tray->SetCycleIcons(false);
    };
    tray->SetCycleInterval(10);
    tray->SetCycleIcons(true);
    ASSERT_TRUE(quaff::test::PumpUntil([&] { return reported.size() >= 7; }));
    quaff::test::PumpPending();
    EXPECT_EQ(showing, (std::vector<int>{0, 1, 0, 1, 2, 3, 0}));
    EXPECT_EQ(reported, (std::vector<int>{1, 2, 1, 2, 3, 0, 1}));
    EXPECT_EQ(tray->IconIndex(), 1);  // the last step was still taken
    EXPECT_EQ(IconCentreColour(tray->Icon().Handle()), FrameColour(1));
}

// The shell refuses for a while, then takes the icon. A refusal while the icon is meant to
// show has it added again a second later, then twice as long after each further refusal, at
// most a minute apart, and at any change; once the shell has taken it (and been asked for
// the version again) a change is a modify and nothing else runs.
TEST(TrayIcon, ARefusedIconIsAddedAgainUntilTheShellTakesIt) {
    Fixture f;
    quaff::test::RecordedTray t(false);
    t.tray->SetNotifyVersion(quaff::tray::TNotifyVersion::Version3);
    t.tray->SetIconList(f.list16);
    t.rec.refuseShell = true;
    t.tray->SetIconVisible(true);
    const UINT_PTR retry = LastTimerId(t.rec.log, 1000);
    ASSERT_NE(retry, 0u);
    auto tick = [&] { SendMessageA(TSimpleTimer::SharedWindow(), WM_TIMER, retry, 0); };
    for (int i = 0; i < 7; ++i) tick();
    std::vector<unsigned long> delays;
    const std::string started = "SetTimer " + std::to_string(retry) + " ";
    for (const std::string& line : t.rec.log)
        if (line.rfind(started, 0) == 0) delays.push_back(std::stoul(line.substr(started.size())));
    EXPECT_EQ(delays, (std::vector<unsigned long>{1000, 2000, 4000, 8000, 16000, 32000, 60000}));
    t.rec.refuseShell = false;
    t.rec.Clear();
    t.tray->SetHint("2 drinks earnt");
    EXPECT_EQ(t.rec.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
    t.rec.Clear();
    tick();  // one already queued when the timer stopped
    t.tray->SetHint("3 drinks earnt");
    EXPECT_EQ(t.rec.Messages(), std::vector<DWORD>{NIM_MODIFY});
}

// What the shell is asked at each step of a shown icon (a hidden one where said), and then by
// a retry, if one runs, once the shell takes calls again. Only an icon the shell could not
// take, or lost, is added again: not one it refuses by the icon's own sequence, nor one
// removed on purpose.
TEST(TrayIcon, OnlyAnIconTheShellCouldNotTakeOrLostIsAddedAgain) {
    using Step = std::function<void(quaff::test::RecordedTray&, Fixture&)>;
    using Calls = std::vector<std::pair<DWORD, BOOL>>;
    const UINT taskbarCreated = TTrayIcon::TaskbarCreatedMessage();
    HWND app = quaff::win::Application::Instance().Handle();
    const struct {
        const char* name;
        bool shown;
        bool refusing;  // the shell refuses everything during the step
        Step step;
        Calls calls;
    } cases[] = {
        // clang-format off
        {"refused on becoming visible (the shell not ready at sign-in)", false, true,
         [](auto& t, auto&) { t.tray->SetIconVisible(true); },
         {{NIM_ADD, 0}, {NIM_ADD, 1}}},
        {"lost by a shell that restarted and has not said so yet", true, false,
         [](auto& t, auto&) { t.rec.RestartShell(); t.tray->SetHint("1 drinks earnt"); },
         {{NIM_MODIFY, 0}, {NIM_ADD, 1}}},
        {"removed by DesignPreview at run time: stays removed", true, false,
         [](auto& t, auto&) { t.tray->SetDesignPreview(false); t.tray->SetHint("1 drinks earnt"); },
         {{NIM_DELETE, 1}, {NIM_MODIFY, 0}}},
        {"TaskbarCreated while the shell kept the icon", true, false,
         [&](auto&, auto&) { SendMessageA(app, taskbarCreated, 0, 0); },
         {{NIM_ADD, 0}, {NIM_MODIFY, 1}}},
        {"TaskbarCreated from a new taskbar not ready yet", true, true,
         [&](auto& t, auto&) { t.rec.RestartShell(); SendMessageA(app, taskbarCreated, 0, 0); },
         {{NIM_ADD, 0}, {NIM_MODIFY, 0}, {NIM_ADD, 1}}},
        {"refused while it has no image", true, true,
         [](auto& t, auto& f) { t.tray->SetIconList(f.empty); },
         {{NIM_MODIFY, 0}, {NIM_ADD, 0}, {NIM_MODIFY, 0}}},
        {"the loaded step adds again what the shell holds", true, false,
         [](auto& t, auto&) { t.owner.EndLoading(); },
         {{NIM_MODIFY, 1}, {NIM_ADD, 0}, {NIM_SETVERSION, 1}}},
        {"a modify of a hidden icon", false, false,
         [](auto& t, auto&) { t.tray->SetHint("1 drinks earnt"); },
         {{NIM_MODIFY, 0}}},
        {"minimising to the tray while the icon shows", true, false,
         [&](auto& t, auto&) { t.tray->SetMinimizeToTray(true);
                               SendMessageA(app, WM_SIZE, SIZE_MINIMIZED, 0); },
         {{NIM_ADD, 0}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        quaff::test::RecordedTray t(false);
        t.owner.BeginLoading();  // shown as its designed values are applied, as on a form
        t.tray->SetIconList(f.list16);
        t.tray->SetIconVisible(c.shown);
        t.rec.Clear();
        t.rec.refuseShell = c.refusing;
        c.step(t, f);
        t.rec.refuseShell = false;
        if (const UINT_PTR retry = LastTimerId(t.rec.log, 1000))
            SendMessageA(TSimpleTimer::SharedWindow(), WM_TIMER, retry, 0);
        EXPECT_EQ(t.rec.Answers(), c.calls);
    }
}

TEST(TrayIcon, SharedWindowRefusesToCloseOrEndTheSession) {
    Component owner(nullptr);
    auto* tray = new TTrayIcon(&owner);
    HWND window = TTrayIcon::TrayWindow();
    const UINT refused[] = {WM_DESTROY, WM_CLOSE,      WM_QUERYENDSESSION,
                            WM_QUIT,    WM_ENDSESSION, WM_NCDESTROY};
    for (UINT m : refused) {
        EXPECT_EQ(SendMessageA(window, m, 0, 0), 1) << m;
        EXPECT_TRUE(IsWindow(window)) << m;
    }
    EXPECT_EQ(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed")), TRUE);
    char text[16] = {};
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "renamed");  // other messages get the default handling
    delete tray;
}

TEST(TrayIcon, NotificationForAGoneIconIsDropped) {
    Component owner(nullptr);
    auto* keeper = new TTrayIcon(&owner);
    auto* gone = new TTrayIcon(&owner);
    int events = 0;
    keeper->OnMouseDown = [&](Component*, auto, auto, int, int) { ++events; };
    gone->OnMouseDown = [&](Component*, auto, auto, int, int) { ++events; };
    const UINT goneId = gone->Identity();
    delete gone;
    auto* later = new TTrayIcon(&owner);
    later->OnMouseDown = [&](Component*, auto, auto, int, int) { ++events; };
    EXPECT_NE(later->Identity(), goneId);
    EXPECT_EQ(SendMessageA(TTrayIcon::TrayWindow(), 2048, goneId, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(events, 0);
    SendMessageA(TTrayIcon::TrayWindow(), 2048, later->Identity(), WM_LBUTTONDOWN);
    EXPECT_EQ(events, 1);
}

TEST(TrayIcon, AHundredThousandFrameChangesMakeEachFrameOnceAndItOutlivesItsList) {
    Fixture f;
    using quaff::win::Icon;
    const long live = Icon::LiveHandles(), made = Icon::MadeHandles();
    TrayRecorder rec(false);
    rec.keepShellCalls = false;
    auto* tray = new TTrayIcon(&f.owner);
    tray->SetIconList(f.list16);
    for (int i = 0; i < 100000; ++i) tray->SetIconIndex(i % 16);
    EXPECT_EQ(Icon::MadeHandles() - made, 16);
    EXPECT_EQ(Icon::LiveHandles() - live, 16);
    // The list goes while its frame 15 is shown: the tray keeps showing that icon until it
    // changes, and the icon goes with its last holder.
    delete f.list16;
    EXPECT_EQ(Icon::LiveHandles() - live, 1);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(tray->Icon().Handle(), &info));
    const quaff::win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    delete tray;
    EXPECT_EQ(Icon::LiveHandles(), live);
}

}  // namespace
