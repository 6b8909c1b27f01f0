// Start-up measured the same way for the program and for the floor (the least a tray program
// can be), each in fresh processes. A child executable linked with this probe and started at
// ProbeEntry (the linker's entry point) notes the time before its C runtime starts, and times
// every Shell_NotifyIconA call it makes by taking the place of the call in the executable's
// import table: the program's own code is not changed, and the calls go through to the shell.
// The benchmark waits until the child first waits for input (its start-up is over), then
// posts kReportMessage to the child's main thread; the child writes its report to standard
// output and ends its message loop. The report is read with ParseReport.
//
// The icon is in the tray when the shell call that first carried the icon the child shows
// at the end has returned: under Wine, Shell_NotifyIconA is a synchronous round trip to the
// tray in explorer.exe, which has taken the icon when the call returns; on Windows the same.
// That moment is observed alike in both programs, whatever calls come before it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sampler.h"

namespace quaff::bench::probe {

// Posted by the benchmark to a child's main thread once the child waits for input.
constexpr UINT kReportMessage = WM_APP + 0x3131;
// Given to each child on its command line, followed by a token of the run (see
// WriteMappings in startup_probe.cpp).
constexpr char kRunArgument[] = "--probe-run=";
// Set (to 1) in a child's environment: sample the main thread's stack every millisecond from
// entry until the icon is in the tray, and report where the time went.
constexpr char kProfileVariable[] = "QUAFF_PROBE_PROFILE";

// The pixels (colour and mask) of an icon as one number, to tell icons apart; 0 for none.
std::uint64_t IconPixelsHash(HICON icon);

struct TrayCall {
    unsigned message = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE, NIM_SETVERSION
    bool ok = false;
    double start = 0, end = 0;  // microseconds on NowMicros's clock
};

struct Report {
    double entry = 0;                     // the child's entry point was reached
    std::uint64_t entryPrivateBytes = 0;  // before the child's runtime and code ran
    double iconShown = 0;                 // the final icon was in the tray; 0 if it never was
    std::uint64_t iconHash = 0;
    std::vector<TrayCall> calls;
    std::uint64_t privateBytes = 0, committedPrivate = 0;  // when the report was asked for
    // The host's anonymous resident memory (what Wine reports as private bytes) by mapping:
    // KiB and the library's file name, or which side's anonymous memory.
    std::vector<Amount> anonymousKiB;
    // With profiling: time by the functions of the child's own code on the stack (a function
    // counts for every sample it is anywhere on the stack), and by where the thread was.
    std::vector<Amount> inclusive, innermost;
    // With profiling: KiB the private bytes grew by while each function was on the stack, and
    // the microseconds of samples with no frame of the child's own code.
    std::vector<Amount> grown;
    double unattributed = 0;
};

// Reads a child's report; false when the text is not one.
bool ParseReport(const std::string& text, Report& report);

}  // namespace quaff::bench::probe
