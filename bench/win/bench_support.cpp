#include "bench_support.h"

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "app/launcher.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "settings/settings.h"
#include "win/application.h"
#include "win/locale.h"

namespace quaff::bench {

namespace {
std::unique_ptr<app::SingleInstance> g_instance;
}

app::TfrmLaunch* StartProgram() {
    // As the program's WinMain does.
    g_instance = std::make_unique<app::SingleInstance>();
    if (!g_instance->First()) {
        std::fprintf(stderr, "another copy of the program is running in this prefix\n");
        std::exit(2);
    }
    return app::StartProgram();
}

void StopProgram() {
    delete app::frmLaunch;
    app::frmLaunch = nullptr;
    g_instance.reset();
}

void StoreCountingSettings(const std::string& imageDir) {
    const TBeer beer{"Bench", "025000.00", "5", "8", "03.50", 0, imageDir};
    if (!SaveSettings(beer)) {
        std::fprintf(stderr, "the settings could not be stored\n");
        std::exit(2);
    }
}

void ForgetSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Orvik\\Quaffometer");
}

double NowMicros() {
    static const double perMicro = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart) / 1e6;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / perMicro;
}

double ProcessCpuMillis() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto ticks = [](const FILETIME& f) {
        return (std::uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return double(ticks(kernel) + ticks(user)) / 1e4;  // 100 ns units
}

std::uint64_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    // Windows documents PrivateUsage and PagefileUsage as the same figure, the process's
    // commit charge; Wine 8 fills in only the second, so it stands in when the first is 0.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

std::uint64_t CommittedPrivateBytes() {
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* at = nullptr;
    while (VirtualQuery(at, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double MiB(std::uint64_t bytes) { return double(bytes) / (1024.0 * 1024.0); }

void Result(const std::string& figure, const std::string& measured, const std::string& goal,
            int met) {
    std::printf("RESULT|%s|%s|%s|%s\n", figure.c_str(), measured.c_str(), goal.c_str(),
                met < 0 ? "" : met ? "met" : "not met");
    std::fflush(stdout);
}

std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string RunSelf(const std::string& arguments, DWORD* exitCode) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"";
    commandLine.append(self).append("\" ").append(arguments);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);  // the child holds its own copy; EOF comes when it ends
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        if (exitCode) GetExitCodeProcess(process.hProcess, exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

}  // namespace quaff::bench
