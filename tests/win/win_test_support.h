// Helpers shared by the Windows tests.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "win/application.h"
#include "win/dpi.h"
#include "win/high_contrast.h"
#include "win/seam.h"

namespace quaff::test {

// Error reports recorded instead of shown, for the whole test process.
std::vector<std::string>& ErrorReports();

// The application's error reports go to `show` while it lives, then where they went before.
class ErrorsTo : public win::ErrorSink {
public:
    explicit ErrorsTo(std::function<void(const std::string&)> show) : show_(std::move(show)) {}
    void Show(const std::string& text) override { show_(text); }

private:
    std::function<void(const std::string&)> show_;
    win::Seam<win::ErrorSink> installed_{*this};
};

// Lays out and sizes fonts as if the system and every monitor ran at `dpi` while it lives.
class FixedDpi : public win::DpiSource {
public:
    explicit FixedDpi(int dpi) : dpi(dpi) {}
    int SystemDpi() override { return dpi; }
    int ForWindow(HWND) override { return dpi; }
    int dpi;

private:
    win::Seam<win::DpiSource> installed_{*this};
};

// High contrast is `on` while it lives.
class FixedHighContrast : public win::HighContrastSetting {
public:
    explicit FixedHighContrast(bool on) : on(on) {}
    bool On() override { return on; }
    bool on;

private:
    win::Seam<win::HighContrastSetting> installed_{*this};
};

// Runs the thread's message loop until `done` answers true or `timeout` passes; answers
// whether `done` became true. The timeout only bounds a failing test; a passing test never
// depends on it.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Handles all messages waiting now.
void PumpPending();

}  // namespace quaff::test
