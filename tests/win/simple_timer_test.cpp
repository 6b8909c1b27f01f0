// Simple timers for real under Wine (ticks through the shared window), and their start,
// stop and pause rules as seen in the window timer they leave running or stopped.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tray/simple_timer.h"
#include "tray_test_support.h"
#include "win_test_support.h"

using quaff::test::PumpUntil;
using quaff::test::TrayRecorder;
using quaff::tray::TSimpleTimer;
using quaff::win::Component;

namespace {

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
    Component* seen = nullptr;
    TSimpleTimer timer(10, [&](Component* sender) {
        ++ticks;
        seen = sender;
    });
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
    timer.SetOnTimer([&](Component*) {
        ++ticks;
        enabledInHandler = timer.Enabled();
    });
    timer.SetOneShot(true);
    timer.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ticks == 1; }));
    EXPECT_FALSE(enabledInHandler);
    EXPECT_FALSE(timer.Enabled());
    PumpFor(80);
    EXPECT_EQ(ticks, 1);
}

// What the window-timer calls left behind: whether the timer runs, at what interval, and how
// many times it was started (each start begins a new period). How often a stopped timer is
// killed again does not matter.
struct TimerState {
    bool running = false;
    unsigned interval = 0;
    int starts = 0;
};

TimerState StateFrom(const std::vector<std::string>& log) {
    TimerState state;
    for (const std::string& call : log) {
        unsigned id = 0, interval = 0;
        if (std::sscanf(call.c_str(), "SetTimer %u %u", &id, &interval) == 2) {
            state = {true, interval, state.starts + 1};
        } else if (call.rfind("KillTimer ", 0) == 0) {
            state.running = false;
        }
    }
    return state;
}

// Each case drives a fresh timer (interval 1000, a handler set) from stopped.
struct PauseCase {
    const char* name;
    void (*act)(TSimpleTimer&);
    TimerState after;
    bool enabled;
};

// clang-format off
const PauseCase kPauseCases[] = {
    {"interval 0: Start refuses and changes nothing",
     [](TSimpleTimer& t) { t.SetInterval(0); EXPECT_FALSE(t.Start()); }, {false, 0, 0}, false},
    {"interval 0: Enabled true leaves it not running",
     [](TSimpleTimer& t) { t.SetInterval(0); t.SetEnabled(true); }, {false, 0, 0}, false},
    {"Enabled true twice restarts the period",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetEnabled(true); }, {true, 1000, 2}, true},
    {"same interval on a running timer is no restart",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetInterval(1000); }, {true, 1000, 1}, true},
    {"new interval on a running timer restarts it",
     [](TSimpleTimer& t) { t.SetEnabled(true); t.SetInterval(300); }, {true, 300, 2}, true},
    {"interval 0 pauses, 500 resumes",
     [](TSimpleTimer& t) {
         t.SetEnabled(true); t.SetInterval(0); EXPECT_TRUE(t.Enabled()); t.SetInterval(500);
     },
     {true, 500, 2}, true},
    {"clearing the handler pauses; a new handler does not resume",
     [](TSimpleTimer& t) {
         t.SetEnabled(true); t.SetOnTimer(nullptr); t.SetOnTimer([](Component*) {});
     },
     {false, 1000, 1}, true},
    {"a paused timer resumes on Enabled true",
     [](TSimpleTimer& t) {
         t.SetEnabled(true); t.SetOnTimer(nullptr); t.SetOnTimer([](Component*) {});
         t.SetEnabled(true);
     },
     {true, 1000, 2}, true},
    {"stopping a timer that never ran is harmless",
     [](TSimpleTimer& t) { t.Stop(true); t.SetEnabled(false); }, {false, 0, 0}, false},
};
// clang-format on

TEST(SimpleTimer, StartStopAndPauseRules) {
    for (const PauseCase& c : kPauseCases) {
        SCOPED_TRACE(c.name);
        TrayRecorder rec(true);
        {
            TSimpleTimer timer(1000, [](Component*) {});
            rec.Clear();
            c.act(timer);
            const TimerState state = StateFrom(rec.log);
            EXPECT_EQ(state.running, c.after.running);
            EXPECT_EQ(state.starts, c.after.starts);
            if (c.after.running) {
                EXPECT_EQ(state.interval, c.after.interval);
            }
            EXPECT_EQ(timer.Enabled(), c.enabled);
            if (rec.lastTimerWindow) {
                EXPECT_EQ(rec.lastTimerWindow, TSimpleTimer::SharedWindow());
            }
        }
    }
}

TEST(SimpleTimer, PausedTimerReallyStopsAndResumes) {
    int ticks = 0;
    TSimpleTimer timer(10, [&](Component*) { ++ticks; });
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
    TSimpleTimer again(10, [&](Component*) { ++ticks; });
    EXPECT_TRUE(IsWindow(TSimpleTimer::SharedWindow()));
    again.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }));
}

TEST(SimpleTimer, TickQueuedForADestroyedTimerIsDropped) {
    TSimpleTimer keeper;  // keeps the shared window alive
    int goneTicks = 0, laterTicks = 0;
    auto gone = std::make_unique<TSimpleTimer>(1000, [&](Component*) { ++goneTicks; });
    const std::uint32_t goneId = gone->Identifier();
    PostMessageA(TSimpleTimer::SharedWindow(), WM_TIMER, goneId, 0);
    gone.reset();
    TSimpleTimer later(1000, [&](Component*) { ++laterTicks; });
    EXPECT_NE(later.Identifier(), goneId);
    quaff::test::PumpPending();
    EXPECT_EQ(goneTicks, 0);
    EXPECT_EQ(laterTicks, 0);
}

TEST(SimpleTimer, HandlerMayDestroyTheLastTimer) {
    auto* timer = new TSimpleTimer(10, nullptr);
    HWND window = TSimpleTimer::SharedWindow();
    bool ran = false;
    timer->SetOnTimer([&](Component* self) {
        ran = true;
        delete self;
    });
    timer->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ran; }));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TSimpleTimer::SharedWindow(), nullptr);
}

}  // namespace
