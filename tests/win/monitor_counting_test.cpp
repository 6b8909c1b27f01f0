// The monitor window's counting: Start and Stop through the real buttons of the shown window,
// and the amounts the launcher's tick brings up to date, on a clock the tests move by hand.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "dialog_test_support.h"
#include "monitor_test_support.h"
#include "win/button.h"
#include "win/image_list.h"
#include "win/label.h"
#include "win/locale.h"
#include "win_test_support.h"

namespace {

using quaff::monitor::TfrmMain;
using namespace quaff::test;

class MonitorCountingTest : public ::testing::Test {
protected:
    void SetUp() override { ErrorReports().clear(); }

    StoredSettings settings_{CountingSettings()};
    ManualClock clock_;
    FixedFormats formats_;
    std::unique_ptr<TfrmMain> form_ = NewMonitor();
};

bool Enabled(quaff::win::Button* b) { return IsWindowEnabled(b->Handle()) != FALSE; }

TEST_F(MonitorCountingTest, StartStopAndStartAgainWithTheRealButtons) {
    TfrmMain& f = *form_;
    ShowModalWith(f, [&] {
        EXPECT_TRUE(Enabled(f.Button1)) << "idle: Start enabled";
        EXPECT_FALSE(Enabled(f.Button2)) << "idle: Stop disabled";

        Click(f.Button1->Handle());
        EXPECT_TRUE(f.Running());
        EXPECT_FALSE(Enabled(f.Button1));
        EXPECT_TRUE(Enabled(f.Button2));
        EXPECT_EQ(f.Label4->Caption(), "15/01/2024 09:30:05");
        EXPECT_EQ(f.AmountEarned(), 0);
        EXPECT_EQ(f.DrinkCount(), 0);

        clock_.AdvanceUtc(3600);
        f.UpdateStuff();
        f.GetIconNumber(f.AmountEarned());
        Click(f.Button2->Handle());
        EXPECT_FALSE(f.Running());
        EXPECT_TRUE(Enabled(f.Button1));
        EXPECT_FALSE(Enabled(f.Button2));
        EXPECT_NEAR(f.AmountEarned(), 11.83712, 1e-5) << "Stop keeps the amount";
        EXPECT_EQ(f.DrinkCount(), 3);
        EXPECT_EQ(f.Label3->Caption(), "3");
        EXPECT_EQ(f.Label4->Caption(), "15/01/2024 09:30:05");

        clock_.SetLocal(2024, 1, 15, 11, 0, 0);
        clock_.AdvanceUtc(1800);
        Click(f.Button1->Handle());
        EXPECT_TRUE(f.Running());
        EXPECT_EQ(f.AmountEarned(), 0) << "a second Start counts from zero";
        EXPECT_EQ(f.DrinkCount(), 0);
        EXPECT_EQ(f.Label4->Caption(), "15/01/2024 11:00:00");
        clock_.AdvanceUtc(1064);
        f.UpdateStuff();
        EXPECT_NEAR(f.AmountEarned(), 3.49853, 1e-5) << "measured from the new start";
        f.Close();
    });

    // Shown again while counting: the buttons follow the running flag.
    ShowModalWith(f, [&] {
        EXPECT_FALSE(Enabled(f.Button1));
        EXPECT_TRUE(Enabled(f.Button2));
        f.Close();
    });
    EXPECT_TRUE(f.Running()) << "closing the window does not stop the counting";
    EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(MonitorCountingTest, StartTimeTakesMonthAndDayNamesFromTheLocale) {
    // 15 January 2024, a Monday, in a date format with names, as a user may set it.
    const struct {
        LCID locale;
        const char* shown;
    } cases[] = {
        {MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT),
         "Mo. Montag 15 Jan Januar 2024 09:30"},
        {MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT),
         "lun. lundi 15 janv. janvier 2024 09:30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        quaff::FormatSettings formats = quaff::win::ReadLocale(c.locale);
        formats.shortDateFormat = "ddd dddd d MMM MMMM yyyy";
        formats.longTimeFormat = "HH:mm";
        quaff::win::SetUserFormats(formats);
        form_->Button1Click(form_->Button1);
        EXPECT_EQ(form_->Label4->Caption(), c.shown);
    }
}

struct TickCase {
    const char* what;
    int month, day, hour;              // local time of the start (2024, half past the hour)
    int seconds;                       // UTC seconds from Start to the tick
    int tickMonth, tickDay, tickHour;  // local time of the tick
    double amount;
    double drinks;
    int frame;
    const char* label;
};

class MonitorTickTest : public MonitorCountingTest,
                        public ::testing::WithParamInterface<TickCase> {};

TEST_P(MonitorTickTest, AmountDrinksAndFrame) {
    const TickCase& c = GetParam();
    clock_.SetLocal(2024, c.month, c.day, c.hour, 30, 0);
    form_->Button1Click(form_->Button1);
    clock_.SetLocal(2024, c.tickMonth, c.tickDay, c.tickHour, 30, 0);
    clock_.AdvanceUtc(c.seconds);

    form_->UpdateStuff();
    EXPECT_NEAR(form_->AmountEarned(), c.amount, 1e-9);
    EXPECT_EQ(form_->GetIconNumber(form_->AmountEarned()), c.frame);
    EXPECT_EQ(form_->DrinkCount(), c.drinks);
    EXPECT_EQ(form_->Label3->Caption(), c.label);
}

INSTANTIATE_TEST_SUITE_P(
    , MonitorTickTest,
    ::testing::Values(
        TickCase{"an hour of January", 1, 15, 9, 3600, 1, 15, 10, 11.837121212121213, 3, 6, "3"},
        TickCase{"just short of a drink", 1, 15, 9, 1064, 1, 15, 9, 3.4985269360269364, 0, 0, "0"},
        TickCase{"an hour of a leap February", 2, 15, 9, 3600, 2, 15, 10, 12.400793650793654, 3, 9,
                 "3"},
        // Started in January, ticking in February: the whole period at February's rate.
        TickCase{"into a new month", 1, 31, 23, 3600, 2, 1, 0, 12.400793650793654, 3, 9, "3"},
        // Clocks go back: local 01:30 again an hour later; the UTC clock says an hour.
        TickCase{"over the end of summer time", 10, 27, 1, 3600, 10, 27, 1, 11.837121212121213, 3,
                 6, "3"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

struct BadSetting {
    const char* what;
    quaff::TBeer settings;
    bool inUpdate;  // fails in UpdateStuff, else in GetIconNumber
    const char* message;
};

class MonitorBadSettingTest : public MonitorCountingTest,
                              public ::testing::WithParamInterface<BadSetting> {};

TEST_P(MonitorBadSettingTest, FailsWithItsMessageAndKeepsTheAmounts) {
    const BadSetting& c = GetParam();
    form_->Button1Click(form_->Button1);
    clock_.AdvanceUtc(3600);
    form_->UpdateStuff();
    form_->GetIconNumber(form_->AmountEarned());
    const double amount = form_->AmountEarned(), drinks = form_->DrinkCount();

    settings_.Store(c.settings);
    clock_.AdvanceUtc(3600);
    try {
        if (c.inUpdate)
            form_->UpdateStuff();
        else
            form_->GetIconNumber(form_->AmountEarned());
        ADD_FAILURE() << "no error";
    } catch (const quaff::Error& e) {
        EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(form_->AmountEarned(), amount);
    EXPECT_EQ(form_->DrinkCount(), drinks);
    EXPECT_EQ(form_->Label3->Caption(), "3");
    EXPECT_TRUE(form_->Running());
}

quaff::TBeer With(void (*change)(quaff::TBeer&)) {
    quaff::TBeer beer = CountingSettings();
    change(beer);
    return beer;
}

INSTANTIATE_TEST_SUITE_P(
    , MonitorBadSettingTest,
    ::testing::Values(BadSetting{"salary", With([](quaff::TBeer& b) { b.Salary = "lots"; }), true,
                                 "'lots' is not a valid floating point value"},
                      BadSetting{"hours", With([](quaff::TBeer& b) { b.HoursADay = ""; }), true,
                                 "'' is not a valid floating point value"},
                      BadSetting{"days", With([](quaff::TBeer& b) { b.DaysAWeek = "5 "; }), true,
                                 "'5 ' is not a valid integer value"},
                      BadSetting{"price", With([](quaff::TBeer& b) { b.PriceOfDrink = "03,50"; }),
                                 false, "'03,50' is not a valid floating point value"},
                      BadSetting{"free_drinks", With([](quaff::TBeer& b) { b.PriceOfDrink = "0"; }),
                                 false, "Floating point division by zero"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(MonitorCountingTest, IconSetNumbersSelectTheirLists) {
    TfrmMain& f = *form_;
    const struct {
        int32_t number;
        quaff::win::ImageList* list;
    } cases[] = {{0, f.BitterLarge},        {1, f.BitterSmall}, {2, f.GuinessLarge},
                 {3, f.GuinessSmall},       {4, f.LagerLarge},  {5, f.LagerSmall},
                 {-1, f.BitterLarge},       {6, f.BitterLarge}, {7, f.BitterLarge},
                 {INT32_MIN, f.BitterLarge}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(f.IconSet(c.number), c.list);
        EXPECT_EQ(c.list->Count(), 16);
        EXPECT_EQ(c.list->Width(), 16);
    }
}

}  // namespace
