#include "startup_probe.h"

#include <psapi.h>
#include <shellapi.h>
#include <winnt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

#include "bench_measure.h"
#include "sampler.h"

// The entry point the linker normally gives a GUI program; the probe's entry runs it.
extern "C" int WinMainCRTStartup();

namespace quaff::bench::probe {

namespace {

// ---- What the child records -----------------------------------------------------------------
// Plain data only, written from the entry point on, before the C runtime and the program's
// constructors run.

constexpr int kMaxCalls = 64;
struct RecordedCall {
    TrayCall call;
    HICON icon;
};
RecordedCall g_calls[kMaxCalls];
int g_callCount = 0;
double g_entry = 0;
std::uint64_t g_entryBytes = 0;
bool g_profiling = false;

using NotifyFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
NotifyFunction g_shellNotify = nullptr;

BOOL WINAPI TimedNotify(DWORD message, PNOTIFYICONDATAA data) {
    const double start = NowMicros();
    const BOOL ok = g_shellNotify(message, data);
    const double end = NowMicros();
    if (g_callCount < kMaxCalls)
        g_calls[g_callCount++] = {{unsigned(message), ok != FALSE, start, end}, data->hIcon};
    return ok;
}

// Puts `replacement` in the import-table slot of `function` from `dll` in this executable;
// answers what the slot held (null when the executable does not import it).
void* ReplaceImport(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; imports.VirtualAddress && module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(void*), protection, &protection);
            return original;
        }
    }
    return nullptr;
}

// ---- The report -------------------------------------------------------------------------------

// The moment the final icon was in the tray: the end of the first call of the last run of
// accepted calls that carried it. (An icon that replaces another is made before the old one
// is freed, so a handle seen again in that run is the same icon.)
int FirstCallWithFinalIcon() {
    int first = -1;
    for (int i = g_callCount - 1; i >= 0; --i) {
        const RecordedCall& c = g_calls[i];
        const bool shows = c.call.ok && (c.call.message == NIM_ADD || c.call.message == NIM_MODIFY);
        if (!shows) continue;
        if (first >= 0 && c.icon != g_calls[first].icon) break;
        first = i;
    }
    return first;
}

// What an anonymous mapping of the host holds, as the Windows side sees its first page.
std::string WindowsView(unsigned long long address) {
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) ||
        info.State != MEM_COMMIT)
        return "host's own (Wine's Unix side)";
    if (info.Type == MEM_PRIVATE) return "private (heaps, stacks)";
    if (info.Type == MEM_MAPPED) return "mapped sections";
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(info.AllocationBase), path, MAX_PATH);
    const char* file = std::strrchr(path, '\\');
    return n ? std::string(file ? file + 1 : path) + " (image)" : "image";
}

// Wine reports private bytes from the host: the process's anonymous resident memory. The
// host's own account of it, mapping by mapping (/proc/<pid>/smaps), shows what they are:
// pages of the libraries written to (by name), and anonymous memory, which VirtualQuery tells
// apart as the Windows side's (heaps, stacks) or the host's own (Wine's Unix libraries).
// The process is found by its command line, which carries a token the benchmark gave it;
// its own /proc/self would be the server's, which opens files for it.
void WriteMappings(std::ostringstream& out) {
    const std::string commandLine = GetCommandLineA();
    const size_t at = commandLine.find(kRunArgument);
    if (at == std::string::npos) return;
    const std::string token = commandLine.substr(at, commandLine.find(' ', at) - at);
    std::string smaps;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more && smaps.empty();
         more = FindNextFileA(find, &entry)) {
        const std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
        std::FILE* f = std::fopen((dir + "\\cmdline").c_str(), "rb");
        if (!f) continue;
        char text[4096];
        const size_t n = std::fread(text, 1, sizeof text - 1, f);
        std::fclose(f);
        std::replace(text, text + n, '\0', ' ');
        text[n] = ' ';  // the token ends there, not at the start of a longer one
        if (std::string(text, n + 1).find(token + ' ') != std::string::npos)
            smaps = dir + "\\smaps";
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    std::FILE* f = smaps.empty() ? nullptr : std::fopen(smaps.c_str(), "r");
    if (!f) return;
    std::map<std::string, long> kB;
    std::string name;
    char line[1024];
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long from, to;
        long size;
        char path[512] = "";
        if (std::sscanf(line, "%llx-%llx %*s %*s %*s %*s %511[^\n]", &from, &to, path) >= 2) {
            if (const char* slash = std::strrchr(path, '/')) {
                name = slash + 1;
            } else if (path[0]) {
                name = path;
            } else {
                name = WindowsView(from);
            }
        } else if (std::sscanf(line, "Anonymous: %ld kB", &size) == 1) {
            kB[name] += size;
        }
    }
    std::fclose(f);
    for (const auto& [mapping, size] : kB)
        if (size > 0) out << "anon " << size << ' ' << mapping << '\n';
}

void WriteReport() {
    std::ostringstream out;
    out.precision(1);
    out << std::fixed;
    const int shown = FirstCallWithFinalIcon();
    out << "entry " << g_entry << ' ' << g_entryBytes << '\n';
    if (shown >= 0) {
        out << "shown " << g_calls[shown].call.end << '\n';
        out << "icon " << IconPixelsHash(g_calls[shown].icon) << '\n';
    }
    for (int i = 0; i < g_callCount; ++i) {
        const TrayCall& c = g_calls[i].call;
        out << "call " << c.message << ' ' << c.ok << ' ' << c.start << ' ' << c.end << '\n';
    }
    out << "memory " << PrivateBytes() << ' ' << CommittedPrivateBytes() << '\n';
    WriteMappings(out);
    if (g_profiling) {
        StopSampling();
        const Profile p = Summarize(g_entry, shown >= 0 ? g_calls[shown].call.end : NowMicros());
        for (const Amount& a : p.inclusive) out << "incl " << a.value << ' ' << a.what << '\n';
        for (const Amount& a : p.innermost) out << "leaf " << a.value << ' ' << a.what << '\n';
        for (const Amount& a : p.grown) out << "grew " << a.value << ' ' << a.what << '\n';
        out << "unattributed " << p.unattributed << '\n';
    }
    out << "end\n";
    const std::string text = out.str();
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

LRESULT CALLBACK ReportHook(int code, WPARAM removed, LPARAM lp) {
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && removed == PM_REMOVE && !msg->hwnd && msg->message == kReportMessage) {
        WriteReport();
        PostQuitMessage(0);
    }
    return CallNextHookEx(nullptr, code, removed, lp);
}

}  // namespace

std::uint64_t IconPixelsHash(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over both bitmaps' pixels
    HDC dc = GetDC(nullptr);
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
        BITMAP shape{};
        if (!bitmap || !GetObjectA(bitmap, sizeof shape, &shape)) continue;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = shape.bmWidth;
        bi.bmiHeader.biHeight = -shape.bmHeight;  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        std::vector<std::uint32_t> pixels(size_t(shape.bmWidth) * shape.bmHeight);
        GetDIBits(dc, bitmap, 0, UINT(shape.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS);
        for (std::uint32_t p : pixels) hash = (hash ^ p) * 1099511628211ull;
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, dc);
    return hash;
}

bool ParseReport(const std::string& text, Report& report) {
    std::istringstream in(text);
    std::string line;
    bool ended = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "entry") {
            fields >> report.entry >> report.entryPrivateBytes;
        } else if (kind == "shown") {
            fields >> report.iconShown;
        } else if (kind == "icon") {
            fields >> report.iconHash;
        } else if (kind == "call") {
            TrayCall c;
            fields >> c.message >> c.ok >> c.start >> c.end;
            report.calls.push_back(c);
        } else if (kind == "unattributed") {
            fields >> report.unattributed;
        } else if (kind == "memory") {
            fields >> report.privateBytes >> report.committedPrivate;
        } else if (kind == "anon") {
            Amount s;
            fields >> s.value >> std::ws;
            std::getline(fields, s.what);
            report.anonymousKiB.push_back(s);
        } else if (kind == "incl" || kind == "leaf" || kind == "grew") {
            Amount s;
            fields >> s.value >> std::ws;
            std::getline(fields, s.what);
            (kind == "incl"   ? report.inclusive
             : kind == "leaf" ? report.innermost
                              : report.grown)
                .push_back(s);
        } else if (kind == "end") {
            ended = true;
        }
    }
    return ended && report.entry > 0;
}

}  // namespace quaff::bench::probe

using namespace quaff::bench::probe;

// The child's entry point (linked with --entry=ProbeEntry): runs before the C runtime and
// the program's static constructors, then hands over to the runtime's usual entry.
extern "C" int ProbeEntry() {
    g_entry = quaff::bench::NowMicros();
    g_entryBytes = quaff::bench::PrivateBytes();
    g_shellNotify = reinterpret_cast<NotifyFunction>(
        ReplaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(&TimedNotify)));
    SetWindowsHookExA(WH_GETMESSAGE, &ReportHook, nullptr, GetCurrentThreadId());
    char profile[4] = "";
    if (GetEnvironmentVariableA(kProfileVariable, profile, sizeof profile) && profile[0] == '1')
        g_profiling = quaff::bench::StartSampling();
    return WinMainCRTStartup();
}
