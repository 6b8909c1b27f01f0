// A sampling profiler for the benchmarks: a thread of its own suspends the profiled thread
// about every millisecond, walks its stack with the modules' unwind tables, and notes the time
// and the process's private bytes. Afterwards the samples are named from the executable's own
// symbols (MinGW keeps a COFF symbol table unless the file is stripped) and added up: the time
// each of the executable's functions was on the stack, its callees included; where the thread
// itself was (the innermost function of the executable's own, and the module below it); and
// what the private bytes grew by meanwhile. It shows where time goes in code that runs under
// Wine, where the host's profilers see no Windows names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quaff::bench {

// An amount (microseconds, KiB) and what it was spent on.
struct Amount {
    double value = 0;
    std::string what;
};

struct Profile {
    double micros = 0;              // the time the samples cover
    double unattributed = 0;        // of it, samples with no frame of the executable's own
    std::vector<Amount> inclusive;  // microseconds with the function on the stack
    std::vector<Amount> innermost;  // microseconds by "innermost own function > module"
    std::vector<Amount> grown;      // KiB of private bytes grown with the function on the stack
};

// Starts sampling the calling thread. Takes nothing from the C runtime (no heap, no static
// constructors), so it may run at an entry point; answers false when it could not start.
bool StartSampling();
// Stops the sampling thread; the samples stay until the next start.
void StopSampling();
// The samples taken between `from` and `until` (NowMicros), each weighing the time since the
// one before.
Profile Summarize(double from, double until);
// Prints the larger lines of a profile (lines of each kind) as "  <ms> ms <share>  <what>".
void PrintProfile(const Profile& profile, size_t lines, double runs = 1);

}  // namespace quaff::bench
