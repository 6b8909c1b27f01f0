// Simple timers for real under Wine (ticks through the shared window), and their start,
// stop and pause rules as seen in the window-timer calls they make.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tray/simple_timer.h"
#include "tray_test_support.h"
#include "win_test_support.h"

using quaff::tray::TSimpleTimer;
using quaff::test::PumpUntil;
using quaff::test::TrayRecorder;

namespace {

std::string Set(const TSimpleTimer& t, unsigned ms) {
    return "SetTimer " + std::to_string(t.Identifier()) + " " + std::to_string(ms);
}
std::string Kill(const TSimpleTimer& t) { return "KillTimer " + std::to_string(t.Identifier()); }

// Pumps messages for `ms`; a slow machine only makes a "nothing more happened" check weaker.
void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        quaff::test::PumpPending();
    }
}

TEST(SimpleTimer, TicksThroughTheSharedWindowAndStops) {
    int ticks = 0;
    TSimpleTimer* seen = nullptr;
    TSimpleTimer timer(10, [&](TSimpleTimer* sender) { ++ticks; seen = sender; });
    EXPECT_FALSE(timer.Enabled());
    timer.SetEnabled(true);
    ASSERT_TRUE(timer.Enabled());
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(seen, &timer);
    timer.SetEnabled(false);
    const int atStop = ticks;
    PumpFor(100);
    EXPECT_EQ(ticks, atStop);
}

TEST(SimpleTimer, OneShotTicksOnceAndIsStoppedInsideItsHandler) {
    int ticks = 0;
    bool enabledInHandler = true;
    TSimpleTimer timer(10, nullptr);
    timer.SetOnTimer([&](TSimpleTimer* t) { ++ticks; enabledInHandler = t->Enabled(); });
    timer.SetOneShot(true);
    timer.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ticks == 1; }));
    EXPECT_FALSE(enabledInHandler);
    EXPECT_FALSE(timer.Enabled());
    PumpFor(80);
    EXPECT_EQ(ticks, 1);
}

// Each case drives a fresh timer (interval 1000, a handler set) from stopped and lists the
// window-timer calls it must make and the Enabled it must end with.
struct PauseCase {
    const char* name;
    void (*act)(TSimpleTimer&);
    std::vector<std::string> (*calls)(const TSimpleTimer&);
    bool enabled;
};

const PauseCase kPauseCases[] = {
    {"interval 0: Start refuses and changes nothing",
     [](TSimpleTimer& t) { t.SetInterval(0); EXPECT_FALSE(t.Start()); },
     [](const TSimpleTimer&) { return std::vector<std::string>{}; }, false},
    {"interval 0: Enabled true leaves it not running",
     [](TSimpleTimer& t) { t.SetInterval(0); t.SetEnabled(true); },
     [](const TSimpleTimer&) { return std::vector<std::string>{}; }, false},
    {"Enabled true twice restarts the period",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetEnabled(true); },
     [](const TSimpleTimer& t) { return std::vector<std::string>{Set(t, 1000), Kill(t), Set(t, 1000)}; },
     true},
    {"same interval on a running timer is no restart",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetInterval(1000); },
     [](const TSimpleTimer& t) { return std::vector<std::string>{Set(t, 1000)}; }, true},
    {"new interval on a running timer restarts it",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetInterval(300); },
     [](const TSimpleTimer& t) { return std::vector<std::string>{Set(t, 1000), Kill(t), Set(t, 300)}; },
     true},
    {"interval 0 pauses, 500 resumes",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetInterval(0); EXPECT_TRUE(t.Enabled()); t.SetInterval(500); },
     [](const TSimpleTimer& t) { return std::vector<std::string>{Set(t, 1000), Kill(t), Kill(t), Set(t, 500)}; },
     true},
    {"clearing the handler pauses; a new handler does not resume",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetOnTimer(nullptr); t.SetOnTimer([](TSimpleTimer*) {}); },
     [](const TSimpleTimer& t) { return std::vector<std::string>{Set(t, 1000), Kill(t)}; }, true},
    {"a paused timer resumes on Enabled true",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetOnTimer(nullptr); t.SetOnTimer([](TSimpleTimer*) {}); t.SetEnabled(true); },
     [](const TSimpleTimer& t) { return std::vector<std::string>{Set(t, 1000), Kill(t), Kill(t), Set(t, 1000)}; },
     true},
    {"stopping a timer that never ran is harmless",
     [](TSimpleTimer& t) { t.Stop(true); t.SetEnabled(false); },
     [](const TSimpleTimer& t) { return std::vector<std::string>{Kill(t), Kill(t)}; }, false},
};

TEST(SimpleTimer, StartStopAndPauseRules) {
    for (const PauseCase& c : kPauseCases) {
        SCOPED_TRACE(c.name);
        TrayRecorder rec(true);
        {
            TSimpleTimer timer(1000, [](TSimpleTimer*) {});
            rec.Clear();
            c.act(timer);
            EXPECT_EQ(rec.log, c.calls(timer));
            EXPECT_EQ(timer.Enabled(), c.enabled);
            if (rec.lastTimerWindow) { EXPECT_EQ(rec.lastTimerWindow, TSimpleTimer::SharedWindow()); }
        }
    }
}

TEST(SimpleTimer, PausedTimerReallyStopsAndResumes) {
    int ticks = 0;
    TSimpleTimer timer(10, [&](TSimpleTimer*) { ++ticks; });
    timer.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 1; }));
    timer.SetInterval(0);
    quaff::test::PumpPending();
    const int paused = ticks;
    PumpFor(80);
    EXPECT_EQ(ticks, paused);
    EXPECT_TRUE(timer.Enabled());
    timer.SetInterval(10);
    EXPECT_TRUE(PumpUntil([&] { return ticks > paused; }));
}

TEST(SimpleTimer, SharedWindowComesAndGoesWithTheLastTimer) {
    ASSERT_EQ(TSimpleTimer::SharedWindow(), nullptr) << "a simple timer outlived its test";
    auto first = std::make_unique<TSimpleTimer>();
    HWND window = TSimpleTimer::SharedWindow();
    ASSERT_TRUE(IsWindow(window));
    auto second = std::make_unique<TSimpleTimer>();
    EXPECT_EQ(TSimpleTimer::SharedWindow(), window);
    first.reset();
    EXPECT_TRUE(IsWindow(window));
    second.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TSimpleTimer::SharedWindow(), nullptr);

    int ticks = 0;
    TSimpleTimer again(10, [&](TSimpleTimer*) { ++ticks; });
    EXPECT_TRUE(IsWindow(TSimpleTimer::SharedWindow()));
    again.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }));
}

TEST(SimpleTimer, TickQueuedForADestroyedTimerIsDropped) {
    TSimpleTimer keeper;  // keeps the shared window alive
    int goneTicks = 0, laterTicks = 0;
    auto gone = std::make_unique<TSimpleTimer>(1000, [&](TSimpleTimer*) { ++goneTicks; });
    const std::uint32_t goneId = gone->Identifier();
    PostMessageA(TSimpleTimer::SharedWindow(), WM_TIMER, goneId, 0);
    gone.reset();
    TSimpleTimer later(1000, [&](TSimpleTimer*) { ++laterTicks; });
    EXPECT_NE(later.Identifier(), goneId);
    quaff::test::PumpPending();
    EXPECT_EQ(goneTicks, 0);
    EXPECT_EQ(laterTicks, 0);
}

TEST(SimpleTimer, HandlerMayDestroyTheLastTimer) {
    auto* timer = new TSimpleTimer(10, nullptr);
    HWND window = TSimpleTimer::SharedWindow();
    bool ran = false;
    timer->SetOnTimer([&](TSimpleTimer* self) { ran = true; delete self; });
    timer->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ran; }));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TSimpleTimer::SharedWindow(), nullptr);
}

}  // namespace
