// Helpers shared by the Windows tests.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace quaff::test {

// Error reports recorded instead of shown (the application's error sink).
void InstallErrorRecorder();
std::vector<std::string>& ErrorReports();

// Runs the thread's message loop until `done` answers true or `timeout` passes; answers
// whether `done` became true. The timeout only bounds a failing test; a passing test never
// depends on it.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Handles all messages waiting now.
void PumpPending();

}  // namespace quaff::test
