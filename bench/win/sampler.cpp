#include "sampler.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <map>
#include <memory>
#include <set>

#include "bench_measure.h"

namespace quaff::bench {

namespace {

// Plain data only: written by StartSampling, possibly at an entry point, and by the sampling
// thread while the profiled thread is suspended.
constexpr int kMaxSamples = 20000, kMaxDepth = 48;
struct Sample {
    double at;
    std::uint64_t privateBytes;  // read just after the stack, once the thread runs again
    int depth;
    DWORD64 frames[kMaxDepth];
};
Sample* g_samples = nullptr;  // committed by the first StartSampling
volatile LONG g_sampleCount = 0;
volatile LONG g_stopSampling = 0;
HANDLE g_thread = nullptr, g_sampler = nullptr;
ULONG_PTR g_stackLow = 0, g_stackHigh = 0;

// The loaded modules with their unwind tables, read while the profiled thread runs, so that
// the walk itself needs no lock: the suspended thread may hold the heap's or the loader's.
struct ModuleRange {
    DWORD64 base, end;
    const RUNTIME_FUNCTION* functions;
    DWORD count;
};
constexpr int kMaxModules = 128;
ModuleRange g_modules[kMaxModules];
int g_moduleCount = 0;

void ReadModules() {
    HMODULE handles[kMaxModules];
    DWORD bytes = 0;
    if (!EnumProcessModules(GetCurrentProcess(), handles, sizeof handles, &bytes)) return;
    int n = 0;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && n < kMaxModules; ++i) {
        auto* base = reinterpret_cast<BYTE*>(handles[i]);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& pdata =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXCEPTION];
        g_modules[n++] = {DWORD64(base), DWORD64(base) + nt->OptionalHeader.SizeOfImage,
                          reinterpret_cast<const RUNTIME_FUNCTION*>(base + pdata.VirtualAddress),
                          DWORD(pdata.Size / sizeof(RUNTIME_FUNCTION))};
    }
    g_moduleCount = n;
}

const ModuleRange* ModuleOf(DWORD64 pc) {
    for (int i = 0; i < g_moduleCount; ++i)
        if (pc >= g_modules[i].base && pc < g_modules[i].end) return &g_modules[i];
    return nullptr;
}

const RUNTIME_FUNCTION* FunctionOf(const ModuleRange& m, DWORD64 pc) {
    const DWORD rva = DWORD(pc - m.base);
    const RUNTIME_FUNCTION* end = m.functions + m.count;
    const RUNTIME_FUNCTION* f =
        std::upper_bound(m.functions, end, rva,
                         [](DWORD r, const RUNTIME_FUNCTION& e) { return r < e.BeginAddress; });
    if (f == m.functions) return nullptr;
    --f;
    return rva < f->EndAddress ? f : nullptr;
}

// Walks the suspended thread's stack from `context`; answers false when it met code of no
// module known (the host's own code, or a module loaded since the list was read: the walk
// stops there, and the list is read anew for the next sample).
bool Walk(CONTEXT context, Sample& sample) {
    sample.depth = 0;
    while (sample.depth < kMaxDepth && context.Rip) {
        sample.frames[sample.depth++] = context.Rip;
        const ModuleRange* module = ModuleOf(context.Rip);
        if (!module) return false;
        if (context.Rsp < g_stackLow || context.Rsp + 8 > g_stackHigh) break;
        if (const RUNTIME_FUNCTION* f = FunctionOf(*module, context.Rip)) {
            void* handlerData;
            DWORD64 frame;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, module->base, context.Rip,
                             const_cast<RUNTIME_FUNCTION*>(f), &context, &handlerData, &frame,
                             nullptr);
        } else {  // a leaf function: the return address is on top of the stack
            context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
            context.Rsp += 8;
        }
    }
    return true;
}

DWORD WINAPI Sampler(void*) {
    ReadModules();
    while (!g_stopSampling && g_sampleCount < kMaxSamples) {
        Sleep(1);
        Sample& sample = g_samples[g_sampleCount];
        CONTEXT context{};
        context.ContextFlags = CONTEXT_FULL;
        if (SuspendThread(g_thread) == DWORD(-1)) break;
        const bool taken = GetThreadContext(g_thread, &context);
        bool known = true;
        if (taken) {
            sample.at = NowMicros();
            known = Walk(context, sample);
        }
        ResumeThread(g_thread);
        // Not while the thread is suspended: the host reads the figure with its C library,
        // whose locks the suspended thread may hold.
        sample.privateBytes = PrivateBytes();
        if (taken) InterlockedIncrement(&g_sampleCount);
        if (!known) ReadModules();
    }
    return 0;
}

// The function names of a module from its COFF symbol table (MinGW keeps one unless the file
// is stripped), or from its exports (exact for the system-call stubs of win32u.dll, where
// every function is exported). Answers the name of the function holding `pc`, if known.
class Names {
public:
    void ReadSymbols(HMODULE module) {
        char path[MAX_PATH];
        const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
        std::FILE* f = std::fopen(std::string(path, n).c_str(), "rb");
        if (!f) return;
        std::string file;
        char buffer[65536];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            file.append(buffer, got);
        std::fclose(f);
        auto* base = reinterpret_cast<const BYTE*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
        const DWORD table = nt->FileHeader.PointerToSymbolTable;
        const DWORD count = nt->FileHeader.NumberOfSymbols;
        if (!table || table + size_t(count) * IMAGE_SIZEOF_SYMBOL > file.size()) return;
        const char* strings = file.data() + table + size_t(count) * IMAGE_SIZEOF_SYMBOL;
        for (DWORD i = 0; i < count; ++i) {
            IMAGE_SYMBOL sym;
            std::memcpy(&sym, file.data() + table + size_t(i) * IMAGE_SIZEOF_SYMBOL, sizeof sym);
            i += sym.NumberOfAuxSymbols;
            if (!ISFCN(sym.Type) || sym.SectionNumber <= 0 ||
                sym.SectionNumber > nt->FileHeader.NumberOfSections)
                continue;
            const std::string name =
                sym.N.Name.Short
                    ? std::string(reinterpret_cast<const char*>(sym.N.ShortName),
                                  strnlen(reinterpret_cast<const char*>(sym.N.ShortName), 8))
                    : std::string(strings + sym.N.Name.Long);
            Add(DWORD64(base) + sections[sym.SectionNumber - 1].VirtualAddress + sym.Value, name);
        }
    }
    void ReadExports(HMODULE module) {
        auto* base = reinterpret_cast<const BYTE*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        if (!dir.VirtualAddress) return;
        const auto* exports =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
        const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
        const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i)
            Add(DWORD64(base) + functions[ordinals[i]],
                reinterpret_cast<const char*>(base + names[i]));
    }
    std::string Find(DWORD64 pc) const {
        auto it = byAddress_.upper_bound(pc);
        return it == byAddress_.begin() ? "" : std::prev(it)->second;
    }

private:
    void Add(DWORD64 address, const std::string& name) {
        int status = 0;
        std::unique_ptr<char, decltype(&std::free)> plain(
            abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), &std::free);
        std::string text = status == 0 && plain ? plain.get() : name;
        // Arguments make the lines long and add nothing here: the last parenthesised group
        // goes (not "(anonymous namespace)" within the name), and the compiler's copies are
        // named as the function.
        if (const size_t clone = text.find(" [clone"); clone != std::string::npos)
            text.resize(clone);
        if (text.size() > 6 && text.compare(text.size() - 6, 6, " const") == 0)
            text.resize(text.size() - 6);
        if (!text.empty() && text.back() == ')') {
            int depth = 0;
            for (size_t i = text.size(); i-- > 0;) {
                depth += text[i] == ')' ? 1 : text[i] == '(' ? -1 : 0;
                if (depth == 0) {
                    text.resize(i);
                    break;
                }
            }
        }
        byAddress_[address] = text;
    }
    std::map<DWORD64, std::string> byAddress_;
};

// Frames every sample shares or that only pass a call on: the runtime's entry points and the
// standard library's function wrappers.
bool Plumbing(const std::string& name) {
    static const char* const kEntry[] = {
        "main",      "WinMain", "mainCRTStartup", "WinMainCRTStartup", "__tmainCRTStartup",
        "ProbeEntry"};
    for (const char* entry : kEntry)
        if (name == entry) return true;
    return name.rfind("std::", 0) == 0;
}

std::string ModuleName(DWORD64 pc) {
    const ModuleRange* m = ModuleOf(pc);
    if (!m) return "host";  // Wine's own Unix side
    char path[MAX_PATH] = "?";
    GetModuleFileNameA(reinterpret_cast<HMODULE>(m->base), path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    return name ? name + 1 : path;
}

}  // namespace

bool StartSampling() {
    StopSampling();
    if (!g_samples)
        g_samples = static_cast<Sample*>(VirtualAlloc(nullptr, sizeof(Sample) * kMaxSamples,
                                                      MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!g_samples) return false;
    // The stack's reservation, and the top of its committed part, which holds this frame.
    MEMORY_BASIC_INFORMATION stack;
    VirtualQuery(&stack, &stack, sizeof stack);
    g_stackLow = ULONG_PTR(stack.AllocationBase);
    g_stackHigh = ULONG_PTR(stack.BaseAddress) + stack.RegionSize;
    if (g_thread) CloseHandle(g_thread);
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_thread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    g_sampleCount = 0;
    g_stopSampling = 0;
    g_sampler = CreateThread(nullptr, 0, &Sampler, nullptr, 0, nullptr);
    return g_sampler != nullptr;
}

void StopSampling() {
    if (!g_sampler) return;
    g_stopSampling = 1;
    WaitForSingleObject(g_sampler, INFINITE);
    CloseHandle(g_sampler);
    g_sampler = nullptr;
}

Profile Summarize(double from, double until) {
    ReadModules();
    const auto self = GetModuleHandleA(nullptr);
    const ModuleRange* own = ModuleOf(DWORD64(self));
    Names ours, system;
    ours.ReadSymbols(self);
    if (HMODULE user = GetModuleHandleA("win32u.dll")) system.ReadExports(user);
    auto isOurs = [&](DWORD64 pc) { return own && pc >= own->base && pc < own->end; };

    std::map<std::string, double> inclusive, innermost, grown;
    Profile profile;
    double previous = from;
    std::uint64_t previousBytes = 0;
    for (LONG i = 0; i < g_sampleCount; ++i) {
        const Sample& s = g_samples[i];
        if (s.at <= from) {
            previousBytes = s.privateBytes;
            continue;
        }
        if (s.at > until) break;
        const double weight = s.at - previous;
        const double bytes = previousBytes ? double(s.privateBytes) - double(previousBytes) : 0;
        previous = s.at;
        previousBytes = s.privateBytes;
        profile.micros += weight;
        std::set<std::string> seen;
        std::string inner;
        for (int d = 0; d < s.depth; ++d) {
            if (!isOurs(s.frames[d])) continue;
            // A return address points after its call: look up the call itself.
            const std::string n = ours.Find(d == 0 ? s.frames[d] : s.frames[d] - 1);
            if (Plumbing(n)) continue;
            if (inner.empty()) inner = n;
            if (seen.insert(n).second) inclusive[n] += weight, grown[n] += bytes / 1024;
        }
        if (inner.empty()) profile.unattributed += weight;
        if (s.depth == 0) continue;
        std::string where = isOurs(s.frames[0]) ? "its own code" : ModuleName(s.frames[0]);
        if (where == "win32u.dll") where.append("!").append(system.Find(s.frames[0]));
        innermost[(inner.empty() ? "(none of the program's)" : inner) + " > " + where] += weight;
    }
    for (const auto& [what, micros] : inclusive) profile.inclusive.push_back({micros, what});
    for (const auto& [what, micros] : innermost) profile.innermost.push_back({micros, what});
    for (const auto& [what, kib] : grown) profile.grown.push_back({kib, what});
    return profile;
}

void PrintProfile(const Profile& p, size_t lines, double runs) {
    auto print = [&](std::vector<Amount> amounts, double scale, const char* unit, double whole) {
        std::sort(amounts.begin(), amounts.end(),
                  [](const Amount& a, const Amount& b) { return a.value > b.value; });
        for (size_t i = 0; i < amounts.size() && i < lines; ++i)
            std::printf("  %3.0f%% %7.2f %s  %s\n", whole > 0 ? 100 * amounts[i].value / whole : 0,
                        amounts[i].value / scale / runs, unit, amounts[i].what.c_str());
    };
    // Suspending the thread every millisecond slows it (under Wine each suspension is a round
    // trip to the server): the shares are the figures to read.
    std::printf(
        " share of the time with the function on the stack (its callees included; in %.0f%% "
        "of it no frame of the program's own was found):\n",
        p.micros > 0 ? 100 * p.unattributed / p.micros : 0);
    print(p.inclusive, 1e3, "ms ", p.micros);
    std::printf(
        " share of the time by the innermost function of the program's own > where the "
        "thread was:\n");
    print(p.innermost, 1e3, "ms ", p.micros);
    double grown = 0;
    for (const Amount& a : p.grown) grown = std::max(grown, a.value);
    if (grown / runs < 64) return;  // less than 64 KiB: nothing worth a list
    std::printf(" private bytes grown while the function was on the stack:\n");
    print(p.grown, 1024, "MiB", grown);
}

}  // namespace quaff::bench
