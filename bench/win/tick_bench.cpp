// The counting tick as the launcher's timer runs it every two seconds: the amount brought up
// to date, three settings loads from the registry, the icon set selected, the frame and the
// tip (five notification-area calls), against one bare Shell_NotifyIconA NIM_MODIFY made in
// the same run, on an icon of its own, in the same notification area.
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
#include "monitor/monitor_form.h"
#include "settings/settings.h"
#include "tray/tray_icon.h"
#include "tray/tray_platform.h"
#include "win/application.h"
#include "win/image_list.h"
#include "win/timer.h"

using namespace quaff;
using namespace quaff::app;
using bench::NowMicros;

namespace {

// Passes every call to Windows and adds up the time spent inside the shell calls.
class TimedShell : public tray::TrayPlatform {
public:
    TimedShell() { tray::InstallPlatform(this); }
    ~TimedShell() override { tray::InstallPlatform(nullptr); }
    BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) override {
        const double start = NowMicros();
        const BOOL ok = TrayPlatform::Shell_NotifyIconA(message, data);
        micros += NowMicros() - start;
        ++calls;
        if (!ok) ++refused;
        return ok;
    }
    double micros = 0;
    long calls = 0, refused = 0;
};

// One NIM_MODIFY per call on an icon of the benchmark's own, alternating between two frames
// and two tips so that every call really changes what the notification area shows.
std::vector<double> BareModifies(int count, HICON a, HICON b) {
    HWND window = CreateWindowExA(0, "STATIC", "bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = 77;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_APP;
    data.hIcon = a;
    std::strcpy(data.szTip, "bench");
    if (!Shell_NotifyIconA(NIM_ADD, &data)) std::printf("note: the bare icon was not added\n");

    std::vector<double> micros;
    long refused = 0;
    for (int i = 0; i < count; ++i) {
        data.hIcon = i % 2 ? a : b;
        std::strcpy(data.szTip, i % 2 ? "1 drinks earnt" : "2 drinks earnt");
        const double start = NowMicros();
        if (!Shell_NotifyIconA(NIM_MODIFY, &data)) ++refused;
        micros.push_back(NowMicros() - start);
    }
    if (refused) std::printf("note: the shell refused %ld of the bare calls\n", refused);
    Shell_NotifyIconA(NIM_DELETE, &data);
    DestroyWindow(window);
    return micros;
}

std::vector<double> SettingsLoads(int count) {
    std::vector<double> micros;
    for (int i = 0; i < count; ++i) {
        TBeer beer;
        const double start = NowMicros();
        LoadSettings(beer);
        micros.push_back(NowMicros() - start);
    }
    return micros;
}

}  // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 500;
    bench::StoreCountingSettings();
    TimedShell shell;
    bench::StartProgram();
    int errors = 0;
    win::Application::Instance().SetErrorSink([&](const std::string& text) {
        if (errors++ == 0) std::printf("tick error: %s\n", text.c_str());
    });
    frmLaunch->Timer1->SetEnabled(false);  // the benchmark makes the ticks itself
    frmMain->Button1Click(frmMain->Button1);
    win::Application::Instance().ProcessMessages();

    for (int i = 0; i < 20; ++i) frmLaunch->Timer1Timer(frmLaunch->Timer1);  // warm-up
    shell.micros = 0, shell.calls = 0, shell.refused = 0;
    std::vector<double> tickMicros;
    for (int i = 0; i < ticks; ++i) {
        const double start = NowMicros();
        frmLaunch->Timer1Timer(frmLaunch->Timer1);
        tickMicros.push_back(NowMicros() - start);
        // The shell sends nothing back for a modify; anything queued is handled between
        // ticks, as the message loop would, and not counted.
        win::Application::Instance().ProcessMessages();
    }
    const double shellPerTick = shell.micros / ticks;
    const double callsPerTick = double(shell.calls) / ticks;
    const std::string hint = frmLaunch->TrayIcon1->Hint();

    const std::vector<double> loads = SettingsLoads(ticks);
    win::ImageList* set = frmMain->BitterLarge;
    HICON a = ImageList_GetIcon(set->Handle(), 3, ILD_NORMAL);
    HICON b = ImageList_GetIcon(set->Handle(), 9, ILD_NORMAL);
    const std::vector<double> bare = BareModifies(ticks * 5, a, b);
    DestroyIcon(a);
    DestroyIcon(b);
    bench::StopProgram();
    bench::ForgetSettings();

    const double tick = bench::Median(tickMicros), call = bench::Median(bare);
    const double load = bench::Median(loads);
    std::printf("counting tick, %d ticks: median %.1f us (mean %.1f us), last tip \"%s\"%s\n",
                ticks, tick, [&] {
                    double s = 0;
                    for (double v : tickMicros) s += v;
                    return s / double(tickMicros.size());
                }(),
                hint.c_str(), errors ? ", TICKS FAILED" : "");
    std::printf("  shell calls per tick: %.2f (%ld refused), %.1f us a tick inside them\n",
                callsPerTick, shell.refused, shellPerTick);
    std::printf("  one settings load (seven values): median %.1f us; three of them %.1f us\n",
                load, 3 * load);
    std::printf("  the rest (arithmetic, icon copies, label, tip text): about %.1f us\n",
                tick - shellPerTick - 3 * load);
    std::printf("bare Shell_NotifyIconA NIM_MODIFY, %zu calls: median %.1f us\n", bare.size(),
                call);
    std::printf("a tick costs %.1f bare calls (goal under 20)\n", tick / call);

    bench::Result("Counting tick (median)", bench::Format("%.0f us", tick), "", -1);
    bench::Result("Bare Shell_NotifyIconA NIM_MODIFY (median)", bench::Format("%.0f us", call),
                  "", -1);
    bench::Result("Tick in bare calls", bench::Format("%.1f", tick / call), "under 20",
                  errors == 0 && tick < 20 * call);
    return errors ? 1 : 0;
}
