// The launcher's tick over a long run under Wine: a simulated working day of two-second ticks
// with the real image lists and icons, after which a dialog still answers its keys, and a
// setting that stays wrong for a thousand ticks. The clock is moved by hand, so a day takes as
// long as the ticks themselves.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <utility>
#include <string>

#include "app/launcher.h"
#include "dialog_test_support.h"
#include "monitor/monitor_form.h"
#include "monitor_test_support.h"
#include "registry_test_support.h"
#include "settings/settings.h"
#include "settings/settings_form.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/icon.h"
#include "win/timer.h"
#include "win_test_support.h"

namespace {

using quaff::app::frmLaunch;
using quaff::app::frmMain;
using quaff::app::TfrmLaunch;
using quaff::settings::TfrmSettings;
using quaff::win::Application;
using quaff::win::Icon;

// The day's settings, kept as whole numbers so the expected figures can be worked out exactly:
// a salary of 36500.00, 5 days a week, 7.5 hours a day, 4.20 a drink.
constexpr int64_t kSalaryCents = 3'650'000;
constexpr int64_t kDays = 5;
constexpr int64_t kHoursHalves = 15;
constexpr int64_t kPriceCents = 420;
// The clock stands in January 2024: 31 days, Round(5 * 31 / 7) = 22 working days.
constexpr int64_t kWorkingDays = 22;

quaff::TBeer DaySettings() { return {"Sam", "036500.00", "5", "7.5", "04.20", 3, ""}; }

// Drinks bought after `seconds`, as an exact fraction num / den of drinks:
// salary / 12 / working days / hours / 3600 * seconds / price.
struct Expected {
    int64_t drinks;
    int frame;
};

Expected ExpectedAfter(int64_t seconds) {
    const int64_t num = kSalaryCents * 2 * seconds;
    const int64_t den = 12 * kWorkingDays * kHoursHalves * 3600 * kPriceCents;
    // Sixteenths of a drink to the nearest one. These figures never land on a half: 16 * num
    // / den has denominator 8316 / gcd, and 2 * 584000 * h is never an odd multiple of it.
    const int64_t sixteenths = (32 * num + den) / (2 * den);
    return {num / den, static_cast<int>(sixteenths % 16)};
}

std::string Hint(int64_t drinks) { return std::to_string(drinks) + " drinks earnt"; }

// GDI and USER objects of the process as the system counts them; Wine may answer 0.
struct GuiCounts {
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
};

class SoakTest : public ::testing::Test {
protected:
    void SetUp() override {
        quaff::test::ErrorReports().clear();
        ASSERT_TRUE(quaff::SaveSettings(DaySettings()));
        frmLaunch = quaff::win::CreateMainForm<TfrmLaunch>(nullptr);
        ASSERT_NE(frmMain, nullptr);
        // The test is the timer: every tick is one it counts, at simulated two-second steps.
        frmLaunch->Timer1->SetEnabled(false);
        frmMain->Button1Click(frmMain->Button1);
    }
    void TearDown() override {
        delete frmLaunch;
        Application::Instance().ResetTerminated();
    }

    void Tick() {
        clock_.AdvanceUtc(2);
        elapsed_ += 2;
        frmLaunch->Timer1Timer(frmLaunch->Timer1);
    }

    quaff::test::NoStoredSettings noSettings_;
    quaff::test::ManualClock clock_;
    quaff::test::FixedFormats formats_;
    // The shell is not asked (no tray host is needed for a day of updates), but every update
    // is counted, and the icons come from the real image lists.
    quaff::test::TrayRecorder tray_{/*passThrough=*/false};
    int64_t elapsed_ = 0;
};

TEST_F(SoakTest, ADayOfTicksKeepsHandlesFlatAndEndsOnTheArithmetic) {
    constexpr int kTicks = 43'200;  // 86,400 s
    constexpr int kTicksPerHour = 1'800;
    constexpr int kTicksPerMinute = 30;
    tray_.keepShellCalls = false;

    // The first minute makes whatever the ticks keep (the icons of the set's frames).
    for (int i = 0; i < kTicksPerMinute; ++i) Tick();
    quaff::test::PumpPending();
    const long made = Icon::MadeHandles();
    const long icons = Icon::LiveHandles();
    const GuiCounts before;
    tray_.Clear();

    long iconsMax = icons, iconsMin = icons;
    DWORD gdiMax = before.gdi, userMax = before.user;
    int hoursChecked = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int i = kTicksPerMinute + 1; i <= kTicks; ++i) {
        Tick();
        const long live = Icon::LiveHandles();
        iconsMax = std::max(iconsMax, live);
        iconsMin = std::min(iconsMin, live);
        if (i % 100 == 0) {
            quaff::test::PumpPending();  // what the message loop would have handled meanwhile
            const GuiCounts now;
            gdiMax = std::max(gdiMax, now.gdi);
            userMax = std::max(userMax, now.user);
        }
        if (i % kTicksPerHour == 0) {
            const Expected want = ExpectedAfter(elapsed_);
            ASSERT_EQ(frmLaunch->TrayIcon1->Hint(), Hint(want.drinks))
                << "after " << elapsed_ << " s";
            ASSERT_EQ(frmLaunch->TrayIcon1->IconIndex(), want.frame)
                << "after " << elapsed_ << " s";
            ++hoursChecked;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const GuiCounts after;
    std::cout << "[ soak     ] " << kTicks << " ticks in " << seconds << " s ("
              << (kTicks - 1) / seconds << " ticks/s); live icons " << icons << " (min " << iconsMin
              << ", max " << iconsMax << "), made after the first minute "
              << Icon::MadeHandles() - made << "; GDI objects " << before.gdi << " -> " << after.gdi
              << " (max " << gdiMax << "); USER objects " << before.user << " -> " << after.user
              << " (max " << userMax << ")\n";

    EXPECT_EQ(elapsed_, 86'400);
    EXPECT_EQ(hoursChecked, 24);
    EXPECT_TRUE(quaff::test::ErrorReports().empty()) << quaff::test::ErrorReports().front();
    // Every tick refreshed the tray: list, index and hint, five updates each.
    EXPECT_EQ(tray_.shellCount, 5u * (kTicks - kTicksPerMinute));

    // The icons: none made after the first minute, none left over.
    EXPECT_EQ(Icon::MadeHandles(), made);
    EXPECT_EQ(iconsMin, icons);
    EXPECT_EQ(iconsMax, icons);
    // The system's own counts, where it keeps them.
    if (before.gdi != 0) {
        EXPECT_EQ(gdiMax, before.gdi) << "GDI objects grew";
    }
    if (before.user != 0) {
        EXPECT_EQ(userMax, before.user) << "USER objects grew";
    }

    // The end of the day, by the arithmetic: 2 * 36500 / (22 * 7.5) = 442.42 earned,
    // 105.34 drinks, 1685.43 sixteenths: 105 drinks and frame 1685 mod 16 = 5.
    const Expected day = ExpectedAfter(86'400);
    EXPECT_EQ(day.drinks, 105);
    EXPECT_EQ(day.frame, 5);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), Hint(day.drinks));
    EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), day.frame);
    EXPECT_EQ(frmLaunch->TrayIcon1->IconList(), frmMain->GuinessSmall);
    EXPECT_EQ(frmMain->Label3->Caption(), std::to_string(day.drinks));
    EXPECT_FALSE(frmLaunch->TrayIcon1->Icon().Empty());
    for (auto* list : {frmMain->BitterLarge, frmMain->BitterSmall, frmMain->GuinessLarge,
                       frmMain->GuinessSmall, frmMain->LagerLarge, frmMain->LagerSmall})
        EXPECT_EQ(list->Count(), 16) << list->Name() << " is only read";

    // A dialog opened after the day still takes Enter and Escape (its test timers really tick).
    quaff::win::WindowTimers realTimers;
    const quaff::win::Seam<quaff::win::WindowTimers> ticking(realTimers);
    for (const auto& [key, result] :
         {std::pair{VK_RETURN, quaff::win::mrOk}, std::pair{VK_ESCAPE, quaff::win::mrCancel}}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        std::unique_ptr<TfrmSettings> dialog(quaff::win::CreateForm<TfrmSettings>(nullptr));
        EXPECT_EQ(quaff::test::ShowModalWith(*dialog, [&] { quaff::test::PressKey(key); }), result);
    }
}

// A setting that every tick rejects, ticks that keep arriving while its box is open, and the
// setting mended at last.
struct PersistentError {
    const char* what;
    quaff::TBeer settings;
    const char* report;
};

quaff::TBeer With(std::string quaff::TBeer::*field, const char* text) {
    quaff::TBeer beer = DaySettings();
    beer.*field = text;
    return beer;
}

class PersistentErrorTest : public SoakTest,
                            public ::testing::WithParamInterface<PersistentError> {};

TEST_P(PersistentErrorTest, OneBoxForAThousandTicksThenCountingResumes) {
    ASSERT_TRUE(quaff::SaveSettings(GetParam().settings));
    constexpr int kTicks = 1'000;
    constexpr int kTicksWhileOpen = 7;  // the user reads the box for 14 s before closing it

    int ticks = 0, depth = 0, deepest = 0, boxes = 0, nestedTicks = 0;
    std::vector<std::string> reports;
    // The box as the real one behaves: it stays open for a while, and the timer's ticks are
    // handled inside its modal loop meanwhile.
    const long icons = Icon::LiveHandles();
    int outerTicks = 0;
    {
        const quaff::test::ErrorsTo box([&](const std::string& text) {
            ++boxes;
            deepest = std::max(deepest, ++depth);
            reports.push_back(text);
            for (int i = 0; i < kTicksWhileOpen && ticks < kTicks; ++i, ++ticks, ++nestedTicks)
                Tick();
            --depth;
        });
        for (; ticks < kTicks; ++ticks, ++outerTicks) Tick();
    }

    EXPECT_EQ(ticks, kTicks);
    EXPECT_EQ(deepest, 1) << "never a box inside a box";
    // One box for the lasting error: the ticks in it and after it report nothing.
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(nestedTicks, kTicksWhileOpen);
    EXPECT_EQ(outerTicks + nestedTicks, kTicks);
    for (const std::string& text : reports) ASSERT_EQ(text, GetParam().report);
    EXPECT_EQ(Icon::LiveHandles(), icons);
    EXPECT_TRUE(frmMain->Running());
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "") << "no tick got as far as the hint";

    // Mended: the next tick counts the whole period, and nothing more is reported.
    ASSERT_TRUE(quaff::SaveSettings(DaySettings()));
    quaff::test::ErrorReports().clear();
    Tick();
    EXPECT_TRUE(quaff::test::ErrorReports().empty()) << quaff::test::ErrorReports().front();
    EXPECT_EQ(elapsed_, 2 * (kTicks + 1));
    const Expected want = ExpectedAfter(elapsed_);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), Hint(want.drinks));
    EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), want.frame);
}

INSTANTIATE_TEST_SUITE_P(
    , PersistentErrorTest,
    ::testing::Values(
        PersistentError{"salary_not_a_number", With(&quaff::TBeer::Salary, "abc"),
                        "'abc' is not a valid floating point value."},
        PersistentError{"days_with_a_fraction", With(&quaff::TBeer::DaysAWeek, "5.5"),
                        "'5.5' is not a valid integer value."},
        // The icon set is chosen before the price is read: these ticks replace the icon.
        PersistentError{"price_zero", With(&quaff::TBeer::PriceOfDrink, "00.00"),
                        "Floating point division by zero."},
        PersistentError{"price_empty", With(&quaff::TBeer::PriceOfDrink, ""),
                        "'' is not a valid floating point value."}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
