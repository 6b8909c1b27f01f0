// The instruments every Windows benchmark and the start-up probe share: clocks and memory
// figures of the process, medians, the one-line results tools/bench.sh gathers into the
// performance table, and child processes. Nothing here depends on the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quaff::bench {

// ---- Measuring ---------------------------------------------------------------------------

// A monotonic clock in microseconds (the performance counter, the same in every process of
// the machine, so a child's readings compare with its parent's).
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
//   RESULT|<figure>|<measured>|<against>|<ratio or difference>|<goal>|<verdict>
// `against` is what the figure is set against in the same run (the floor, or the same work
// without the part measured); figures that stand alone leave it and the ratio empty.
struct Figure {
    std::string name, measured, against, ratio, goal;
    int met = -1;  // 1 met, 0 not met, -1 no goal
};
void Result(const Figure& figure);
std::string Format(const char* format, ...);
// The machine's load as the system reports it (1, 5 and 15 minute averages).
std::string LoadAverage();

// ---- Child processes ---------------------------------------------------------------------

// Runs `exe` (this executable when empty) with `arguments` and answers what it wrote to its
// standard output, or an empty text when it could not be started. `started`, when given, runs
// once the child exists (its process and main-thread identity) while the output is still
// being collected. The exit code goes to *exitCode.
std::string RunChild(const std::string& exe, const std::string& arguments,
                     DWORD* exitCode = nullptr,
                     const std::function<void(const PROCESS_INFORMATION&)>& started = {});
inline std::string RunSelf(const std::string& arguments, DWORD* exitCode = nullptr) {
    return RunChild("", arguments, exitCode);
}
// The folder of this executable, with a trailing backslash.
std::string OwnFolder();

}  // namespace quaff::bench
