// The counting tick as the launcher's timer runs it every two seconds, against the floor
// tick: the work the definition requires of every tick and no more, made in the same
// process, alternately with the program's ticks. The floor tick is five bare
// Shell_NotifyIconA NIM_MODIFY calls on an icon of its own in the same notification area
// (showing frame 0 and then the frame the program shows, with its tip, as the program's five
// calls do) and three settings loads, each opening the key and then, for each of the seven
// values, the subkey, one read and a close, straight through the registry API.
// Prints what it measured; it never fails on time.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "bench_support.h"
#include "sampler.h"
#include "monitor/monitor_form.h"
#include "settings/settings.h"
#include "tray/tray_icon.h"
#include "tray/tray_platform.h"
#include "win/application.h"
#include "win/image_list.h"
#include "win/timer.h"

using namespace quaff;
using namespace quaff::app;
using bench::Format;
using bench::Median;
using bench::NowMicros;

namespace {

// Passes every call to Windows and adds up the time spent inside the shell calls.
class TimedShell : public tray::TrayPlatform {
public:
    BOOL AskShell(DWORD message, NOTIFYICONDATAA* data) override {
        const double start = NowMicros();
        const BOOL ok = TrayPlatform::AskShell(message, data);
        micros += NowMicros() - start;
        ++calls;
        if (!ok) ++refused;
        return ok;
    }
    double micros = 0;
    long calls = 0, refused = 0;

private:
    win::Seam<tray::TrayPlatform> installed_{*this};
};

// One settings load as the definition describes it, with nothing of the program's.
void BareLoad() {
    static const char* const kValues[] = {"UserName",     "Salary",  "DaysAWeek", "HoursADay",
                                          "PriceOfDrink", "IconSet", "ImageDir"};
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Orvik\\Quaffometer", 0, nullptr, 0, KEY_READ,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const char* value : kValues) {
        HKEY section = nullptr;
        if (RegOpenKeyExA(key, "Settings", 0, KEY_READ, &section) != ERROR_SUCCESS) continue;
        char text[1024];
        DWORD type = 0, size = sizeof text;
        RegQueryValueExA(section, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(section);
    }
    RegCloseKey(key);
}

// The floor's icon: its own, in the same notification area as the program's.
class FloorIcon {
public:
    FloorIcon(HICON first, HICON shown) : first_(first), shown_(shown) {
        window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "floor", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        data_.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data_.hWnd = window_;
        data_.uID = 77;
        data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data_.uCallbackMessage = WM_APP;
        data_.hIcon = shown_;
        if (!Shell_NotifyIconA(NIM_ADD, &data_))
            std::printf("note: the floor's icon was not added\n");
    }
    ~FloorIcon() {
        Shell_NotifyIconA(NIM_DELETE, &data_);
        DestroyWindow(window_);
    }
    // Answers the microseconds the tick took and, through the pointers, its two parts.
    double Tick(const std::string& tip, double* shellMicros, double* loadMicros) {
        const double start = NowMicros();
        for (int i = 0; i < 3; ++i) BareLoad();
        const double loaded = NowMicros();
        // The icon set (frame 0, then again), the frame (shown, then again), the tip.
        const HICON icons[] = {first_, first_, shown_, shown_, shown_};
        for (int i = 0; i < 5; ++i) {
            data_.hIcon = icons[i];
            std::memset(data_.szTip, 0, sizeof data_.szTip);
            if (i == 4) std::strncpy(data_.szTip, tip.c_str(), sizeof data_.szTip - 1);
            if (!Shell_NotifyIconA(NIM_MODIFY, &data_)) ++refused;
        }
        const double end = NowMicros();
        *loadMicros = loaded - start;
        *shellMicros = end - loaded;
        return end - start;
    }
    long refused = 0;

private:
    HWND window_ = nullptr;
    HICON first_, shown_;
    NOTIFYICONDATAA data_{};
};

}  // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 500;
    const std::string loadBefore = bench::LoadAverage();
    bench::StoreCountingSettings();
    TimedShell shell;
    bench::StartProgram();
    struct : win::ErrorSink {
        void Show(const std::string& text) override {
            if (errors++ == 0) std::printf("tick error: %s\n", text.c_str());
        }
        int errors = 0;
        win::Seam<win::ErrorSink> installed{*this};
    } sink;
    const int& errors = sink.errors;
    frmLaunch->Timer1->SetEnabled(false);  // the benchmark makes the ticks itself
    frmMain->Button1Click(frmMain->Button1);
    win::Application::Instance().ProcessMessages();
    for (int i = 0; i < 20; ++i) frmLaunch->Timer1Timer(frmLaunch->Timer1);  // warm-up

    // The floor shows what the program's tick shows: frame 0 of the set, then its frame.
    win::ImageList* set = frmMain->BitterLarge;
    HICON first = ImageList_GetIcon(set->Handle(), 0, ILD_NORMAL);
    HICON shown = ImageList_GetIcon(set->Handle(), frmLaunch->TrayIcon1->IconIndex(), ILD_NORMAL);
    std::vector<double> program, programShell, floor, floorShell, floorLoads, ratios, loads;
    long programCalls = 0;
    {
        FloorIcon floorIcon(first, shown);
        shell.micros = 0, shell.calls = 0, shell.refused = 0;
        for (int i = 0; i < ticks; ++i) {
            // Alternately first and second, so neither always follows the other's work.
            double p = 0, ps = 0, f = 0, fs = 0, fl = 0;
            for (int turn = 0; turn < 2; ++turn) {
                if ((turn == 0) == (i % 2 == 0)) {
                    const double inShell = shell.micros, start = NowMicros();
                    frmLaunch->Timer1Timer(frmLaunch->Timer1);
                    p = NowMicros() - start;
                    ps = shell.micros - inShell;
                } else {
                    f = floorIcon.Tick(frmLaunch->TrayIcon1->Hint(), &fs, &fl);
                }
                // Anything queued is handled between ticks, as the message loop would, and
                // not counted.
                win::Application::Instance().ProcessMessages();
            }
            // The program's own three loads, to split its tick against the floor's loads.
            const double start = NowMicros();
            for (int load = 0; load < 3; ++load) {
                TBeer beer;
                LoadSettings(beer);
            }
            loads.push_back(NowMicros() - start);
            program.push_back(p), programShell.push_back(ps), floor.push_back(f),
                floorShell.push_back(fs), floorLoads.push_back(fl), ratios.push_back(p / f);
        }
        programCalls = shell.calls;
        if (floorIcon.refused)
            std::printf("note: the shell refused %ld floor calls\n", floorIcon.refused);
    }
    // Where a tick's time goes: more ticks, sampled.
    const bool sampled = bench::StartSampling();
    const double profileStart = NowMicros();
    for (int i = 0; i < ticks / 2; ++i) {
        frmLaunch->Timer1Timer(frmLaunch->Timer1);
        win::Application::Instance().ProcessMessages();
    }
    const double profileEnd = NowMicros();
    bench::StopSampling();
    const std::string hint = frmLaunch->TrayIcon1->Hint();
    DestroyIcon(first);
    DestroyIcon(shown);
    bench::StopProgram();
    bench::ForgetSettings();

    const double tick = Median(program), floorTick = Median(floor);
    const auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v) sum += x;
        return v.empty() ? 0 : sum / double(v.size());
    };
    std::printf("%d counting ticks of the program and of the floor, alternately:\n", ticks);
    std::printf("  program tick: median %8.1f us; last tip \"%s\"%s\n", tick, hint.c_str(),
                errors ? ", TICKS FAILED" : "");
    std::printf(
        "    mean %.1f us: inside its %.2f shell calls (%ld refused) %.1f us, three "
        "settings loads (timed after each tick) %.1f us, the rest (arithmetic, icons, "
        "label, tip text) about %.1f us\n",
        mean(program), double(programCalls) / ticks, shell.refused, mean(programShell), mean(loads),
        mean(program) - mean(programShell) - mean(loads));
    std::printf("  floor tick:   median %8.1f us\n", floorTick);
    std::printf("    mean %.1f us: five bare NIM_MODIFY %.1f us, three bare loads %.1f us\n",
                mean(floor), mean(floorShell), mean(floorLoads));
    std::printf(
        "  program / floor: %.3f (goal at most 1.15); tick by tick the ratio's median is "
        "%.3f\n",
        tick / floorTick, Median(ratios));
    if (sampled) {
        std::printf(
            "profile of %d more program ticks (sampled about every millisecond), per "
            "tick:\n",
            ticks / 2);
        bench::PrintProfile(bench::Summarize(profileStart, profileEnd), 16, ticks / 2);
    }
    std::printf("load average before %s, after %s\n", loadBefore.c_str(),
                bench::LoadAverage().c_str());

    bench::Result({"Counting tick (median)", Format("%.0f us", tick), Format("%.0f us", floorTick),
                   Format("%.3f", tick / floorTick), "at most 1.15",
                   errors == 0 && tick <= 1.15 * floorTick});
    return errors ? 1 : 0;
}
