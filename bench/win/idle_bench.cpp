// How often the program wakes up, idle and counting: the real message loop runs for a
// measured period while hooks on the GUI thread count every message it takes from its queue
// (timer messages by the timer they are for) and every message another thread or process
// sends it; the timers' seam counts the window timers started.
// Prints what it measured; it never fails on time.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/launcher.h"
#include "bench_support.h"
#include "monitor/monitor_form.h"
#include "tray/simple_timer.h"
#include "tray/tray_icon.h"
#include "tray/tray_platform.h"
#include "win/application.h"
#include "win/timer.h"

using namespace quaff;
using namespace quaff::app;

namespace {

struct Counts {
    long launcherTicks = 0;     // WM_TIMER for Timer1
    long simpleTimerTicks = 0;  // WM_TIMER for the other timers (the tray component's)
    long otherTimers = 0;       // WM_TIMER for any other window
    long otherPosted = 0;       // every other message taken from the queue
    long sentFromOutside = 0;   // messages sent by another thread or process
    long timersStarted = 0;     // SetTimer through the timers' seam
};

Counts g_counts;
WPARAM g_launcherTimer = 0;

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message != WM_QUIT) {
        if (msg->message != WM_TIMER)
            ++g_counts.otherPosted;
        else if (msg->hwnd && msg->hwnd == win::WindowTimer::SharedWindow())
            ++(msg->wParam == g_launcherTimer ? g_counts.launcherTicks : g_counts.simpleTimerTicks);
        else
            ++g_counts.otherTimers;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK SentMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    // wParam is zero when another thread (or process) sent the message.
    if (code == HC_ACTION && wParam == 0) ++g_counts.sentFromOutside;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class CountedTimers : public win::WindowTimers {
public:
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse) override {
        ++g_counts.timersStarted;
        return WindowTimers::SetTimer(window, id, elapse);
    }

private:
    win::Seam<win::WindowTimers> installed_{*this};
};

struct Phase {
    Counts counts;
    double seconds;
};

// Runs the program's message loop for `milliseconds`; a helper thread ends it with WM_QUIT,
// which the hook does not count.
Phase RunLoopFor(DWORD milliseconds) {
    struct Ender {
        DWORD thread, wait;
    } ender{GetCurrentThreadId(), milliseconds};
    auto& app = win::Application::Instance();
    app.ProcessMessages();  // what was already waiting belongs to before the period
    g_counts = {};
    const double start = bench::NowMicros();
    HANDLE helper = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            const auto* e = static_cast<const Ender*>(p);
            Sleep(e->wait);
            PostThreadMessageA(e->thread, WM_QUIT, 0, 0);
            return 0;
        },
        &ender, 0, nullptr);
    app.Run();
    const double seconds = (bench::NowMicros() - start) / 1e6;
    WaitForSingleObject(helper, INFINITE);
    CloseHandle(helper);
    app.ResetTerminated();
    return {g_counts, seconds};
}

void Print(const char* state, const Phase& p) {
    const double perMinute = 60.0 / p.seconds;
    const Counts& c = p.counts;
    const long wakeUps =
        c.launcherTicks + c.simpleTimerTicks + c.otherTimers + c.otherPosted + c.sentFromOutside;
    std::printf(
        "%s for %.1f s: %ld launcher ticks, %ld simple-timer ticks, %ld other timer "
        "messages, %ld other queued messages, %ld messages sent from outside, "
        "%ld window timers started\n",
        state, p.seconds, c.launcherTicks, c.simpleTimerTicks, c.otherTimers, c.otherPosted,
        c.sentFromOutside, c.timersStarted);
    std::printf("  = %.1f wake-ups a minute (%.1f of them the launcher's tick)\n",
                wakeUps * perMinute, c.launcherTicks * perMinute);
    const bool onlyTheTick = wakeUps == c.launcherTicks && c.timersStarted == 0;
    bench::Result({std::string("Wake-ups a minute, ") + state,
                   bench::Format("%.1f (launcher tick %.1f, tray timers %.1f, other %.1f)",
                                 wakeUps * perMinute, c.launcherTicks * perMinute,
                                 c.simpleTimerTicks * perMinute,
                                 (wakeUps - c.launcherTicks - c.simpleTimerTicks) * perMinute),
                   "", "", "only the 2 s tick (30 a minute)", onlyTheTick});
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? DWORD(std::atoi(argv[1])) : 30;
    bench::StoreCountingSettings();
    CountedTimers timers;
    bench::StartProgram();
    g_launcherTimer = frmLaunch->Timer1->Identifier();
    HHOOK queued = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, SentMessageHook, nullptr, GetCurrentThreadId());
    if (!queued || !sent) std::printf("note: a message hook could not be set\n");

    RunLoopFor(2000);  // settling: the start-up's own messages are not the idle state
    const Phase idle = RunLoopFor(seconds * 1000);
    frmMain->Button1Click(frmMain->Button1);
    const Phase counting = RunLoopFor(seconds * 1000);
    const std::string hint = frmLaunch->TrayIcon1->Hint();

    UnhookWindowsHookEx(queued);
    UnhookWindowsHookEx(sent);
    bench::StopProgram();
    bench::ForgetSettings();

    Print("idle", idle);
    Print("counting", counting);
    std::printf("  last tip while counting: \"%s\"\n", hint.c_str());
    return 0;
}
