// What the Windows benchmarks share: starting the program as its entry point does, the
// settings they count with, clocks and memory figures of the process, and the one-line
// results tools/bench.sh gathers into the performance table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quaff::app {
class TfrmLaunch;
}

namespace quaff::bench {

// ---- The program -----------------------------------------------------------------------

// The start-up of quaffometer.exe after its single-instance check: the application object
// (main form hidden, title "Quaffometer"), the locale's formats, then the launcher as main
// form. Answers the launcher (also in frmLaunch); it has put its icon in the notification
// area and shows frame 15 of the stored icon set.
app::TfrmLaunch* StartProgram();
// Frees the launcher (its icon leaves the notification area).
void StopProgram();

// Stores settings that count: the pay of 25000 a year over 5 days of 8 hours, drinks at 3.50.
void StoreCountingSettings(const std::string& imageDir = "");
// Removes every stored setting again (the benchmark prefix is left as it was found).
void ForgetSettings();

// ---- Measuring ---------------------------------------------------------------------------

// A monotonic clock in microseconds (the performance counter).
double NowMicros();
// User plus kernel CPU time of this process so far, in milliseconds.
double ProcessCpuMillis();
// The process's private bytes as GetProcessMemoryInfo reports them (PrivateUsage, or the
// equal PagefileUsage where the system leaves PrivateUsage empty).
std::uint64_t PrivateBytes();
// Committed private memory as the process's own address space shows it (VirtualQuery over
// every region): what the program and its libraries have committed, without the host's
// own mappings that the figure above may include when it comes from the host system.
std::uint64_t CommittedPrivateBytes();

double Median(std::vector<double> values);
double MiB(std::uint64_t bytes);

// ---- Reporting ---------------------------------------------------------------------------

// One figure for the performance table, printed as a line tools/bench.sh picks up:
//   RESULT|<figure>|<measured>|<goal>|<met, not met or empty>
void Result(const std::string& figure, const std::string& measured, const std::string& goal,
            int met /* 1 met, 0 not met, -1 no goal */);
std::string Format(const char* format, ...);

// ---- Child processes ---------------------------------------------------------------------

// Runs this executable again with `arguments` and answers what it wrote to its standard
// output, or an empty text when it could not be started. The exit code goes to *exitCode.
std::string RunSelf(const std::string& arguments, DWORD* exitCode = nullptr);

}  // namespace quaff::bench
