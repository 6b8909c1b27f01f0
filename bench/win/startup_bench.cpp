// Start-up, measured inside fresh processes: from the entry point to the moment the icon is
// in the notification area (NIM_ADD accepted) and shows frame 15 of the stored icon set,
// along the program's own start-up path. Each run is a new process started by this one;
// the time the host needs to make a process before the entry point is shown apart.
// Prints what it measured; it never fails on time.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "bench_support.h"
#include "tray/tray_icon.h"
#include "tray/tray_platform.h"

using namespace quaff;
using namespace quaff::app;

namespace {

// Notes when the shell accepts the icon; every call goes through to Windows.
class AddWatch : public tray::TrayPlatform {
public:
    AddWatch() { tray::InstallPlatform(this); }
    ~AddWatch() override { tray::InstallPlatform(nullptr); }
    BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) override {
        const BOOL ok = TrayPlatform::Shell_NotifyIconA(message, data);
        if (message == NIM_ADD && ok && addedAt == 0) addedAt = bench::NowMicros();
        return ok;
    }
    double addedAt = 0;
};

std::uint64_t FileTimeTicks(const FILETIME& f) {
    return (std::uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

// One start-up in this process; prints "<wall ms> <cpu ms> <add ms> <before entry ms> <ok>".
int Child() {
    const double entry = bench::NowMicros();
    const double cpuAtEntry = bench::ProcessCpuMillis();
    FILETIME now, created, exited, kernel, user;
    GetSystemTimePreciseAsFileTime(&now);
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const double beforeEntry = double(FileTimeTicks(now) - FileTimeTicks(created)) / 1e4;

    AddWatch watch;
    TfrmLaunch* launcher = bench::StartProgram();
    const double done = bench::NowMicros();
    const double cpu = bench::ProcessCpuMillis() - cpuAtEntry;

    const bool ok = watch.addedAt > 0 && launcher->TrayIcon1->IconIndex() == 15 &&
                    !launcher->TrayIcon1->Icon().Empty();
    std::printf("%.3f %.3f %.3f %.3f %d\n", (done - entry) / 1e3, cpu,
                watch.addedAt > 0 ? (watch.addedAt - entry) / 1e3 : -1.0, beforeEntry, ok);
    bench::StopProgram();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return Child();
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;

    bench::StoreCountingSettings();
    std::vector<double> wall, cpu, add, before;
    int failed = 0;
    std::printf("start-up runs (fresh processes; the first one is a warm-up, not counted):\n");
    for (int i = 0; i <= runs; ++i) {
        DWORD code = 1;
        const std::string line = bench::RunSelf("--child", &code);
        double w = 0, c = 0, a = 0, b = 0;
        int ok = 0;
        if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %d", &w, &c, &a, &b, &ok) != 5 || !ok ||
            code != 0) {
            std::printf("  run %d failed: \"%s\" exit %lu\n", i, line.c_str(), code);
            ++failed;
            continue;
        }
        std::printf("  run %d: entry to frame 15 %.1f ms wall, %.1f ms CPU; icon added at "
                    "%.1f ms; process made %.1f ms before entry%s\n",
                    i, w, c, a, b, i == 0 ? " (warm-up)" : "");
        if (i == 0) continue;
        wall.push_back(w), cpu.push_back(c), add.push_back(a), before.push_back(b);
    }
    bench::ForgetSettings();

    const double w = bench::Median(wall), c = bench::Median(cpu);
    std::printf("median of %zu runs: %.1f ms wall, %.1f ms CPU (user+kernel; the host counts "
                "CPU time in coarse steps), icon added at %.1f ms; %.1f ms before entry\n",
                wall.size(), w, c, bench::Median(add), bench::Median(before));
    const bool measured = !wall.empty() && failed == 0;
    bench::Result("Start-up, entry to icon with frame 15 (median wall)",
                  bench::Format("%.1f ms", w), "under 30 ms", measured && w < 30);
    bench::Result("Start-up, CPU time of that stretch (median user+kernel)",
                  bench::Format("%.1f ms", c), "under 30 ms", measured && c < 30);
    bench::Result("Process creation before entry (host, median)",
                  bench::Format("%.1f ms", bench::Median(before)), "", -1);
    return failed ? 1 : 0;
}
