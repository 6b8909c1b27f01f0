// The hidden launcher for real under Wine: its start-up in the notification area, the
// counting tick (through the recording seam, passed through to the real shell), the guard
// of the window-opening commands, a persistent tick error, and Exit while a window is modal.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "about/about_form.h"
#include "app/launcher.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "core/counting_period.h"
#include "core/datetime.h"
#include "core/errors.h"
#include "monitor/monitor_form.h"
#include "monitor_test_support.h"
#include "registry_test_support.h"
#include "settings/settings.h"
#include "settings/settings_form.h"
#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/button.h"
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
    quaff::win::Seam<quaff::win::Clock> installed{*this};
};

std::int64_t Ticks(WORD y, WORD m, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME st{y, m, 0, d, h, mi, s, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

void Store(const quaff::TBeer& beer) { ASSERT_TRUE(quaff::SaveSettings(beer)); }

quaff::TBeer WorkedExample(int iconSet) {
    quaff::TBeer b = quaff::test::CountingSettings();
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
    }
    void TearDown() override {
        delete frmLaunch;
        Application::Instance().ResetTerminated();
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

TEST_F(LauncherTest, ALastingTickErrorIsReportedOnceUntilItChangesOrTheUserActs) {
    quaff::TBeer bad = WorkedExample(0);
    bad.Salary = "abc";
    Store(bad);
    Start();
    frmMain->Button1Click(frmMain->Button1);

    // While the box is open, further ticks arrive (the box runs a modal loop): none reports.
    int nestedTicks = 0;
    {
        const quaff::test::ErrorsTo box([&](const std::string& text) {
            quaff::test::ErrorReports().push_back(text);
            EXPECT_EQ(Application::Instance().OpenErrorBoxes(), 1);
            for (int i = 0; i < 3; ++i, ++nestedTicks) frmLaunch->Timer1Timer(frmLaunch->Timer1);
        });
        frmLaunch->Timer1Timer(frmLaunch->Timer1);
    }
    EXPECT_EQ(nestedTicks, 3);

    // What happens, then five more failing ticks: whether they report (once) again.
    const auto saveSettingsWithOk = [] {
        quaff::win::Timer ok(nullptr);
        ok.SetInterval(10);
        ok.OnTimer = [](quaff::win::Component*) {
            if (frmSettings) frmSettings->btnOK->Click();
        };
        ok.SetEnabled(true);
        frmLaunch->TrayIcon1DblClick(frmLaunch->Settings1);
    };
    const auto hoursX = [] {
        quaff::TBeer other = WorkedExample(0);
        other.HoursADay = "x";
        Store(other);
    };
    struct Step {
        const char* what;
        std::function<void()> step;
        int newReports;
    };
    const Step steps[] = {
        {"the same message repeats", [] {}, 0},
        {"another box of the program open as the message changes: the tick's report waits",
         [] {
             const quaff::test::ErrorsTo other([](const std::string& text) {
                 quaff::test::ErrorReports().push_back(text);
                 quaff::TBeer days = WorkedExample(0);
                 days.DaysAWeek = "y";
                 Store(days);
                 for (int i = 0; i < 3; ++i) frmLaunch->Timer1Timer(frmLaunch->Timer1);
                 EXPECT_EQ(quaff::test::ErrorReports().back(), text) << "a box on top of it";
             });
             Application::Instance().ShowErrorText("JPEG error #53");
         },
         2},
        {"the message changes", hoursX, 1},
        {"Stop, then Start",
         [] {
             frmMain->Button2Click(frmMain->Button2);
             frmMain->Button1Click(frmMain->Button1);
         },
         1},
        {"settings saved unchanged", saveSettingsWithOk, 1},
        {"a tick that counted in between",
         [&] {
             Store(WorkedExample(0));
             frmLaunch->Timer1Timer(frmLaunch->Timer1);
             hoursX();
         },
         1},
    };
    size_t reports = 1;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.step();
        for (int i = 0; i < 5; ++i) frmLaunch->Timer1Timer(frmLaunch->Timer1);
        reports += s.newReports;
        EXPECT_EQ(quaff::test::ErrorReports().size(), reports);
        EXPECT_TRUE(frmMain->Running());
    }
    EXPECT_EQ(quaff::test::ErrorReports().back(), "'x' is not a valid floating point value.");

    // Mended: counting resumes.
    Store(WorkedExample(0));
    clock.Advance(3600);
    frmLaunch->Timer1Timer(frmLaunch->Timer1);
    EXPECT_EQ(quaff::test::ErrorReports().size(), reports);
    EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), "3 drinks earnt");
}

using Command = void (TfrmLaunch::*)(quaff::win::Component*);
using quaff::win::Form;

// Runs `action` once the window that `open` shows (`shown` reads it) is in its modal loop.
void WhileShown(Command open, Form* (*shown)(), const std::function<void()>& action) {
    auto* timer = new quaff::win::Timer(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = [timer, shown, action](quaff::win::Component*) {
        const Form* window = shown();
        if (!window || !window->Modal()) return;
        timer->SetEnabled(false);
        action();
    };
    timer->SetEnabled(true);
    (frmLaunch->*open)(nullptr);
    delete timer;
}

void WhileMonitorShown(const std::function<void()>& action) {
    WhileShown(
        &TfrmLaunch::stuff1Click, []() -> Form* { return frmMain; }, action);
}

std::set<HWND> VisibleWindows() {
    std::set<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM windows) {
            if (IsWindowVisible(h)) reinterpret_cast<std::set<HWND>*>(windows)->insert(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// While it lives, closes and counts every window of the thread that shows beyond those shown
// when it was made: a window the guard let through would hold the test in its modal loop.
struct NewWindowCloser {
    static inline std::set<HWND> known;
    static inline int closed = 0;
    UINT_PTR id = (known = VisibleWindows(), closed = 0, SetTimer(nullptr, 0, 10, Close));
    ~NewWindowCloser() { KillTimer(nullptr, id); }
    static void CALLBACK Close(HWND, UINT, UINT_PTR, DWORD) {
        for (HWND h : VisibleWindows())
            if (known.insert(h).second) {
                ++closed;
                PostMessageA(h, WM_CLOSE, 0, 0);
            }
    }
};

// The tray keeps taking clicks while a window is shown modally: with any of the program's
// windows open, none of the three window-opening commands opens another.
TEST_F(LauncherTest, WindowOpeningCommandsDoNothingWhileAWindowIsOpen) {
    const struct {
        const char* name;
        Command open;
        Form* (*shown)();
    } windows[] = {
        {"the monitor window", &TfrmLaunch::stuff1Click, []() -> Form* { return frmMain; }},
        {"the settings dialog", &TfrmLaunch::TrayIcon1DblClick,
         []() -> Form* { return frmSettings; }},
        {"the about box", &TfrmLaunch::About1Click, []() -> Form* { return frmAbout; }},
    };
    Start();
    for (const auto& shown : windows) {
        for (const auto& asked : windows) {
            SCOPED_TRACE(std::string(asked.name) + " asked for while " + shown.name + " is open");
            int opened = -1;
            WhileShown(shown.open, shown.shown, [&] {
                Form* window = shown.shown();
                {
                    NewWindowCloser closer;
                    (frmLaunch->*asked.open)(nullptr);
                    opened = NewWindowCloser::closed;
                }
                window->Close();
            });
            EXPECT_EQ(opened, 0);
        }
    }
    EXPECT_FALSE(frmMain->Visible()) << "closing the monitor window keeps it";
    EXPECT_EQ(frmSettings, nullptr);
    EXPECT_EQ(frmAbout, nullptr);
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
        HWND monitor = frmMain->Handle();
        WhileMonitorShown([request, monitor] {
            request();
            EXPECT_TRUE(IsWindow(monitor)) << "not destroyed inside its own showing";
        });
        EXPECT_EQ(frmMain, nullptr);
        EXPECT_TRUE(Application::Instance().Terminated());
        tray.Clear();
        delete frmLaunch;
        Application::Instance().ResetTerminated();
        EXPECT_FALSE(IsWindow(monitor));
        auto deletes = tray.ShellCalls(NIM_DELETE);
        ASSERT_FALSE(deletes.empty()) << "the icon leaves the notification area";
        EXPECT_TRUE(deletes.front().result);
    }
}

// A period an earlier run left in the registry, and what the next start makes of it.
TEST_F(LauncherTest, AStoredPeriodIsResumedAsIfTheProgramHadNeverStopped) {
    Store(WorkedExample(4));
    const quaff::CountingPeriod hourAgo{quaff::win::ToDateTime(clock.LocalTime()) - 1.0 / 24,
                                        clock.utc - 3600LL * 10'000'000};
    // The same start on a clock that is behind by an hour (after a restart), or two days.
    quaff::CountingPeriod hourAhead = hourAgo, daysAhead = hourAgo;
    hourAhead.utcStartTicks = clock.utc + 3600LL * 10'000'000;
    daysAhead.utcStartTicks = clock.utc + 2 * 86400LL * 10'000'000;
    struct Case {
        std::string stored;
        DWORD type;
        bool resumes;
        bool kept = true;  // still stored afterwards
    };
    const Case cases[] = {{PeriodText(hourAgo), REG_SZ, true},
                          {PeriodText(hourAhead), REG_SZ, true},
                          {PeriodText(daysAhead), REG_SZ, false, false},
                          {"yesterday morning", REG_SZ, false},
                          {std::string("\x01\0\0\0", 4), REG_DWORD, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        quaff::test::PutRaw(HKEY_CURRENT_USER, quaff::test::kSettingsKey,
                            {{"PeriodStart", c.type, c.stored}});
        Start();
        EXPECT_EQ(frmMain->Running(), c.resumes);
        EXPECT_EQ(frmMain->Button1->Enabled(), !c.resumes);
        if (c.resumes) EXPECT_TRUE(frmMain->Button2->Enabled());
        EXPECT_EQ(
            frmMain->Label4->Caption(),
            c.resumes ? quaff::DateTimeToStr(hourAgo.localStart, quaff::FormatSettings{}) : "");
        frmLaunch->Timer1Timer(frmLaunch->Timer1);
        EXPECT_EQ(frmLaunch->TrayIcon1->IconIndex(), c.resumes ? 6 : 15) << "an hour's frame";
        EXPECT_EQ(frmLaunch->TrayIcon1->Hint(), c.resumes ? "3 drinks earnt" : "");
        EXPECT_TRUE(quaff::test::ErrorReports().empty());
        EXPECT_EQ(quaff::test::GetRaw(HKEY_CURRENT_USER, quaff::test::kSettingsKey, "PeriodStart")
                      .has_value(),
                  c.kept);
        delete frmLaunch;
    }
}

// How a period under way ends or is kept for the next start; at the end of the session the
// icon leaves the tray at once (Windows may end the process as soon as it is told).
TEST_F(LauncherTest, StopAndExitEndThePeriodTheEndOfTheSessionAndAnUpdateKeepIt) {
    struct Case {
        const char* what;
        void (*end)();
        bool kept, iconGoneAtOnce;
    };
    const Case cases[] = {
        {"Stop", [] { frmMain->Button2Click(frmMain->Button2); }, false, false},
        {"Exit", [] { frmLaunch->exit1Click(frmLaunch->exit1); }, false, false},
        {"end of session", [] { SendMessageA(frmLaunch->Handle(), WM_ENDSESSION, TRUE, 0); }, true,
         true},
        {"update",
         [] {
             EXPECT_EQ(SendMessageA(Application::Instance().Handle(),
                                    quaff::app::SingleInstance::CloseForUpdateMessage(), 0, 0),
                       quaff::app::SingleInstance::kClosingForUpdate);
         },
         true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        quaff::app::StartProgram();
        frmMain->Button1Click(frmMain->Button1);
        tray.Clear();
        c.end();
        EXPECT_EQ(quaff::LoadCountingPeriod().has_value(), c.kept);
        EXPECT_EQ(tray.ShellCalls(NIM_DELETE).empty(), !c.iconGoneAtOnce);
        delete frmLaunch;
        Application::Instance().ResetTerminated();
    }
}

TEST_F(LauncherTest, StartStopAndExitSaySoWhenTheRegistryCannotKeepOrEndThePeriod) {
    using Button = void (quaff::monitor::TfrmMain::*)(quaff::win::Component*);
    const auto reports = [](Button button, const char* message) {
        try {
            (frmMain->*button)(nullptr);
            ADD_FAILURE() << "no report";
        } catch (const quaff::Error& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    Start();
    frmMain->Button1Click(frmMain->Button1);
    {
        // Stop and Exit end the counting, and say that the next start would resume it.
        const quaff::test::ReadOnlyKey locked(HKEY_CURRENT_USER, quaff::test::kSettingsKey);
        reports(&quaff::monitor::TfrmMain::Button2Click, quaff::monitor::kPeriodNotCleared);
        EXPECT_FALSE(frmMain->Running());
        frmLaunch->exit1Click(frmLaunch->exit1);
        EXPECT_EQ(quaff::test::ErrorReports(),
                  std::vector<std::string>{std::string(quaff::monitor::kPeriodNotCleared) + "."});
        EXPECT_TRUE(Application::Instance().Terminated());
    }
    delete frmLaunch;
    Application::Instance().ResetTerminated();

    Start();
    quaff::test::DeleteTree(HKEY_CURRENT_USER, quaff::test::kOrvikKey);
    quaff::test::CreateDanglingLink(HKEY_CURRENT_USER, quaff::test::kProgramKey);
    reports(&quaff::monitor::TfrmMain::Button1Click, quaff::monitor::kPeriodNotSaved);
    EXPECT_TRUE(frmMain->Running());
}

// The shell hears nothing more than the icon's removal (and the second removal the component
// always asks for, which the shell refuses).
TEST_F(LauncherTest, ExitWhenIdleFreesTheMonitorAndTerminates) {
    Start();
    tray.Clear();
    frmLaunch->exit1Click(frmLaunch->exit1);
    EXPECT_EQ(frmMain, nullptr);
    EXPECT_TRUE(Application::Instance().Terminated());
    delete frmLaunch;
    EXPECT_EQ(tray.Answers(),
              (std::vector<std::pair<DWORD, BOOL>>{{NIM_DELETE, 1}, {NIM_DELETE, 0}}));
}

// A launcher whose create step fails once its icon is in the notification area.
class LauncherThatFails : public TfrmLaunch {
public:
    using TfrmLaunch::TfrmLaunch;
    ~LauncherThatFails() override { freed = true; }
    static inline bool freed = false;

protected:
    void DoCreate() override {
        TfrmLaunch::DoCreate();
        throw quaff::Error("Failed to read ImageList data from stream");
    }
};

TEST_F(LauncherTest, AnErrorWhileTheLauncherIsCreatedLeavesNoIconBehind) {
    EXPECT_THROW(quaff::win::CreateMainForm<LauncherThatFails>(nullptr), quaff::Error);
    EXPECT_TRUE(LauncherThatFails::freed);
    EXPECT_EQ(Application::Instance().MainForm(), nullptr);
    EXPECT_EQ(frmMain, nullptr);
    // The shell held the icon: only an accepted NIM_DELETE leaves it holding none.
    EXPECT_TRUE(tray.held.empty()) << "a ghost icon is left in the notification area";
}

}  // namespace
