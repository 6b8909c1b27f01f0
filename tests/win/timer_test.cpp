// The window-message timer under Wine: ticks with itself as sender, errors from its handler
// reported once per tick while it keeps running, and its window timer following Enabled and
// Interval.
#include <gtest/gtest.h>

#include <stdexcept>

#include "win/timer.h"
#include "win_test_support.h"

using namespace quaff::win;
using quaff::test::ErrorReports;
using quaff::test::PumpUntil;

namespace {

TEST(Timer, TicksWithItselfAsSender) {
    Timer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    Component* sender = nullptr;
    timer.OnTimer = [&](Component* s) {
        ++ticks;
        sender = s;
    };
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(sender, &timer);
}

TEST(Timer, FailingHandlerIsReportedOncePerTickAndTheTimerGoesOn) {
    ErrorReports().clear();
    Timer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer = [&](Component*) {
        ++ticks;
        throw std::runtime_error("'abc' is not a valid floating point value");
    };
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    ASSERT_EQ(ErrorReports().size(), static_cast<size_t>(ticks));
    for (const std::string& report : ErrorReports())
        EXPECT_EQ(report, "'abc' is not a valid floating point value.");
}

TEST(Timer, WindowTimerRunsOnlyWhenEnabledWithAnInterval) {
    struct Case {
        bool enabled;
        unsigned interval;
        bool running;
    };
    for (Case c : {Case{true, 2000, true}, Case{false, 2000, false}, Case{true, 0, false}}) {
        SCOPED_TRACE(std::to_string(c.enabled) + " " + std::to_string(c.interval));
        Timer timer(nullptr);
        timer.SetInterval(c.interval);
        timer.SetEnabled(c.enabled);
        // KillTimer succeeds exactly when the window has a timer.
        EXPECT_EQ(KillTimer(Timer::SharedWindow(), timer.Identifier()) != FALSE, c.running);
    }
}

}  // namespace
