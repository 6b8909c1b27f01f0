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

// While they live: the application's error reports go to `show` (then where they went before),
// every monitor runs at `dpi`, high contrast is `on`.
struct ErrorsTo : win::ErrorSink {
    explicit ErrorsTo(std::function<void(const std::string&)> show) : show(std::move(show)) {}
    void Show(const std::string& text) override { show(text); }
    std::function<void(const std::string&)> show;
    win::Seam<win::ErrorSink> installed{*this};
};
struct FixedDpi : win::DpiSource {
    explicit FixedDpi(int dpi) : dpi(dpi) {}
    int SystemDpi() override { return dpi; }
    int ForWindow(HWND) override { return dpi; }
    int dpi;
    win::Seam<win::DpiSource> installed{*this};
};
struct FixedHighContrast : win::HighContrastSetting {
    explicit FixedHighContrast(bool on) : on(on) {}
    bool On() override { return on; }
    bool on;
    win::Seam<win::HighContrastSetting> installed{*this};
};

// Runs the thread's message loop until `done` answers true or `timeout` passes; answers
// whether `done` became true. The timeout only bounds a failing test; a passing test never
// depends on it.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Handles all messages waiting now.
void PumpPending();

}  // namespace quaff::test
