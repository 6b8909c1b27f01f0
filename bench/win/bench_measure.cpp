#include "bench_measure.h"

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace quaff::bench {

namespace {
// Plain data set on first use, so the clock also works before the C runtime has started (the
// start-up probe reads it at the entry point); two threads setting it write the same value.
double g_ticksPerMicro = 0;
}  // namespace

double NowMicros() {
    if (g_ticksPerMicro == 0) {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        g_ticksPerMicro = double(f.QuadPart) / 1e6;
    }
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / g_ticksPerMicro;
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

void Result(const Figure& f) {
    std::printf("RESULT|%s|%s|%s|%s|%s|%s\n", f.name.c_str(), f.measured.c_str(), f.against.c_str(),
                f.ratio.c_str(), f.goal.c_str(),
                f.met < 0 ? ""
                : f.met   ? "met"
                          : "not met");
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

std::string LoadAverage() {
    // Wine shows the host's /proc on drive Z:.
    std::FILE* f = std::fopen("Z:\\proc\\loadavg", "r");
    double a = 0, b = 0, c = 0;
    const bool read = f && std::fscanf(f, "%lf %lf %lf", &a, &b, &c) == 3;
    if (f) std::fclose(f);
    return read ? Format("%.2f %.2f %.2f", a, b, c) : "unknown";
}

std::string OwnFolder() {
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, n);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

std::string RunChild(const std::string& exe, const std::string& arguments, DWORD* exitCode,
                     const std::function<void(const PROCESS_INFORMATION&)>& started) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"";
    commandLine.append(exe.empty() ? self : exe).append("\" ").append(arguments);

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
    const BOOL made = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                     nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);  // the child holds its own copy; EOF comes when it ends
    std::string output;
    if (made) {
        if (started) started(process);
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
