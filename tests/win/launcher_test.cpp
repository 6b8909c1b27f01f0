// The hidden launcher for real under Wine: its start-up in the notification area, the
// counting tick (through the recording seam, passed through to the real shell), the guard
// of the window-opening commands, a persistent tick error, and Exit while a window is modal.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/launcher.h"
#include "app/startup.h"
#include "core/datetime.h"
#include "monitor/monitor_form.h"
#include "registry_test_support.h"
#include "settings/settings.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/clock.h"
#include "win/image_list.h"
#include "win/locale.h"
#include "win/timer.h"
#include "win_test_support.h"

namespace {

using quaff::app::frmAbout;
using quaff::app::frmLaunch;
using quaff::app::frmMain;
using quaff::app::frmSettings;
using quaff::app::TfrmLaunch;
using quaff::win::Application;

// A clock the test moves by hand: local and UTC advance together.
class ManualClock : public quaff::win::Clock {
public:
    SYSTEMTIME LocalTime() const override {
        FILETIME ft{static_cast<DWORD>(local), static_cast<DWORD>(local >> 32)};
        SYSTEMTIME st;
        FileTimeToSystemTime(&ft, &st);
        return st;
    }
    std::int64_t UtcTicks() const override { return utc; }
    void Advance(std::int64_t seconds) {
        local += seconds * 10'000'000;
        utc += seconds * 10'000'000;
    }
    std::int64_t local = 0;
    std::int64_t utc = 0;
};

std::int64_t Ticks(WORD y, WORD m, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME st{y, m, 0, d, h, mi, s, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

void Store(const quaff::TBeer& beer) { ASSERT_TRUE(quaff::SaveSettings(beer)); }

quaff::TBeer WorkedExample(int iconSet) {
    quaff::TBeer b;
    b.UserName = "Sam";
    b.Salary = "025000.00";
    b.DaysAWeek = "5";
    b.HoursADay = "8";
    b.PriceOfDrink = "03.50";
    b.IconSet = iconSet;
    return b;
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        quaff::test::ErrorReports().clear();
        quaff::win::SetUserFormats(quaff::FormatSettings{});
        clock.local = Ticks(2026, 1, 12, 9, 0, 0);  // a 31-day month
        clock.utc = Ticks(2026, 1, 12, 8, 0, 0);
        quaff::win::Clock::SetCurrent(&clock);
    }
    void TearDown() override {
        delete frmLaunch;
        Application::Instance().ResetTerminated();
        quaff::win::Clock::SetCurrent(nullptr);
    }
    void Start() {
        frmLaunch = quaff::win::CreateMainForm<TfrmLaunch>(nullptr);
        ASSERT_NE(frmMain, nullptr);
    }

    quaff::test::NoStoredSettings noSettings_;
    ManualClock clock;
    quaff::test::TrayRecorder tray{/*passThrough=*/true};
};

TEST_F(LauncherTest, StartsInTheTrayWithTheEmptyGlassThenShowsFrame15OfTheStoredSet) {
    Start();
    auto adds = tray.ShellCalls(NIM_ADD);
    ASSERT_FALSE(adds.empty());
    EXPECT_NE(adds.front().data.hIcon, nullptr) << "the initial icon is the empty glass";
    EXPECT_TRUE(adds.front().TipAllZero());
    EXPECT_TRUE(adds.front().result) << "the shell took the icon";
    EXPECT_EQ(frmLaunch->TrayIcon1->IconList(), frmMain->BitterLarge);
    EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), 15);
    EXPECT_FALSE(frmLaunch->TrayIcon1->Icon().Empty());
    EXPECT_TRUE(quaff::test::KeyExists(HKEY_CURRENT_USER, quaff::test::kProgramKey))
        << "the first load leaves the key";
    EXPECT_EQ(frmLaunch->Timer1->Interval(), 2000u);
    EXPECT_TRUE(frmLaunch->Timer1->Enabled());
}

TEST_F(LauncherTest, TheStoredIconSetNumberSelectsTheList) {
    struct Case {
        int stored;
        const char* list;
    };
    const Case cases[] = {{0, "BitterLarge"},  {1, "BitterSmall"}, {2, "GuinessLarge"},
                          {3, "GuinessSmall"}, {4, "LagerLarge"},  {5, "LagerSmall"},
                          {-1, "BitterLarge"}, {6, "BitterLarge"}, {7, "BitterLarge"},
                          {-42, "BitterLarge"}};
    for (const Case& c : cases) {
        Store(WorkedExample(c.stored));
        Start();
        ASSERT_NE(frmLaunch->TrayIcon1->IconList(), nullptr);
        EXPECT_EQ(frmLaunch->TrayIcon1->IconList()->Name(), c.list) << "IconSet " << c.stored;
        EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), 15);
        delete frmLaunch;
    }
}

TEST_F(LauncherTest, IdleTicksChangeNothing) {
    Store(WorkedExample(2));
    Start();
    tray.Clear();
    for (int i = 0; i < 5; ++i) frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(tray.shellCount, 0u);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "");
}

TEST_F(LauncherTest, ACountingTickShowsTheFrameAndTipWithFiveShellCalls) {
    Store(WorkedExample(4));
    Start();
    frmMain->Button1Click(frmMain->Button1);
    clock.Advance(3600);
    tray.Clear();
    frmLaunch->Timer1Timer(frmLaunch->Timer1);

    ASSERT_EQ(tray.shell.size(), 5u);
    for (const auto& call : tray.shell) EXPECT_EQ(call.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(frmLaunch->TrayIcon1->IconList(), frmMain->LagerLarge);
    EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), 6);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "3 drinks earnt");
    EXPECT_EQ(tray.shell.back().Tip(), "3 drinks earnt");
    EXPECT_TRUE(tray.shell.back().result) << "the shell accepted the update";

    // Stop: the tray keeps what it showed.
    frmMain->Button2Click(frmMain->Button2);
    clock.Advance(3600);
    tray.Clear();
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(tray.shellCount, 0u);
    EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), 6);
}

TEST_F(LauncherTest, ASettingChangedWhileCountingIsSeenAtTheNextTick) {
    Store(WorkedExample(0));
    Start();
    frmMain->Button1Click(frmMain->Button1);
    clock.Advance(3600);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    quaff::TBeer dearer = WorkedExample(5);
    dearer.PriceOfDrink = "07.00";
    Store(dearer);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(frmLaunch->TrayIcon1->IconList(), frmMain->LagerSmall);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "1 drinks earnt");
}

TEST_F(LauncherTest, APersistentTickErrorShowsOneBoxAtATime) {
    quaff::TBeer bad = WorkedExample(0);
    bad.Salary = "abc";
    Store(bad);
    Start();
    frmMain->Button1Click(frmMain->Button1);

    // While the box is open, further ticks arrive (the box runs a modal loop): none reports.
    int nestedTicks = 0;
    Application::Instance().SetErrorSink([&](const std::string& text) {
        quaff::test::ErrorReports().push_back(text);
        EXPECT_TRUE(frmLaunch->TickErrorShowing());
        for (int i = 0; i < 3; ++i, ++nestedTicks) frmLaunch->Timer1Timer(frmLaunch->Timer1);
    });
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(nestedTicks, 3);
    ASSERT_EQ(quaff::test::ErrorReports().size(), 1u);
    EXPECT_EQ(quaff::test::ErrorReports()[0], "'abc' is not a valid floating point value.");

    // Closed: the next failing tick reports again, and the counting state is unharmed.
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(quaff::test::ErrorReports().size(), 2u);
    EXPECT_TRUE(frmMain->Running());
    quaff::test::InstallErrorRecorder();

    // Mended: counting resumes.
    Store(WorkedExample(0));
    clock.Advance(3600);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(quaff::test::ErrorReports().size(), 2u);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "3 drinks earnt");
}

// Runs `action` once the monitor window's modal showing is under way.
void WhileMonitorShown(const std::function<void()>& action) {
    auto* timer = new quaff::win::Timer(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = [timer, action](quaff::win::Component*) {
        if (!frmMain || !frmMain->Modal()) return;
        timer->SetEnabled(false);
        action();
    };
    timer->SetEnabled(true);
    frmLaunch->stuff1Click(frmLaunch->stuff1);
    delete timer;
}

TEST_F(LauncherTest, WindowOpeningCommandsDoNothingWhileTheMonitorIsShown) {
    Start();
    bool checked = false;
    WhileMonitorShown([&] {
        frmLaunch->TrayIcon1DblClick(frmLaunch->Settings1);
        frmLaunch->About1Click(frmLaunch->About1);
        frmLaunch->stuff1Click(frmLaunch->stuff1);  // a second showing would nest a loop
        EXPECT_EQ(frmSettings, nullptr);
        EXPECT_EQ(frmAbout, nullptr);
        checked = true;
        frmMain->Close();
    });
    EXPECT_TRUE(checked);
    EXPECT_FALSE(frmMain->Visible());
    EXPECT_NE(frmMain, nullptr) << "closing the monitor window keeps it";
}

TEST_F(LauncherTest, CountingGoesOnInTheTrayAfterTheMonitorWindowCloses) {
    Store(WorkedExample(0));
    Start();
    WhileMonitorShown([] {
        SendMessageA(frmMain->Button1->Handle(), BM_CLICK, 0, 0);
        frmMain->Close();
    });
    ASSERT_TRUE(frmMain->Running());
    clock.Advance(3600);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "3 drinks earnt");
}

// The tray's Exit, and WM_CLOSE to the application window (how the installer asks a running
// copy to quit), take the same way out.
TEST_F(LauncherTest, ExitWhileTheMonitorIsShownEndsTheShowingThenFreesIt) {
    const std::pair<const char*, void (*)()> requests[] = {
        {"Exit", [] { frmLaunch->exit1Click(frmLaunch->exit1); }},
        {"WM_CLOSE", [] { SendMessageA(Application::Instance().Handle(), WM_CLOSE, 0, 0); }},
    };
    for (const auto& [name, request] : requests) {
        SCOPED_TRACE(name);
        quaff::app::StartProgram();
        WhileMonitorShown([request] {
            request();
            EXPECT_NE(frmMain, nullptr) << "not destroyed inside its own showing";
        });
        EXPECT_EQ(frmMain, nullptr);
        EXPECT_TRUE(Application::Instance().Terminated());
        tray.Clear();
        delete frmLaunch;
        Application::Instance().ResetTerminated();
        auto deletes = tray.ShellCalls(NIM_DELETE);
        ASSERT_FALSE(deletes.empty()) << "the icon leaves the notification area";
        EXPECT_TRUE(deletes.front().result);
    }
}

TEST_F(LauncherTest, ExitWhenIdleFreesTheMonitorAndTerminates) {
    Start();
    frmLaunch->exit1Click(frmLaunch->exit1);
    EXPECT_EQ(frmMain, nullptr);
    EXPECT_TRUE(Application::Instance().Terminated());
}

}  // namespace
