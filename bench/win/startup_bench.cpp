// Start-up and private bytes after it, the program against the floor (the least a tray
// program can be, bench_floor_tray) and against the floor with comctl32 loaded (what that
// library costs by itself), in fresh processes started in turn, the same number of each, so
// that all meet the same load on the machine. All are started at the probe's entry point
// (startup_probe.h says how the icon in the tray is observed); the program runs its own
// WinMain with settings that choose the LagerLarge set, and must show frame 15 of it. Then a
// few more program runs sample the main thread's stack, to show where the time goes.
// Prints what it measured; it never fails on time.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/icon_sets.h"
#include "startup_probe.h"
#include "win/image_list.h"

using namespace quaff;
using namespace quaff::app;
using bench::Format;
using bench::Median;
using bench::MiB;

namespace {

constexpr int kIconSet = 4;  // LagerLarge: not the set an empty registry falls back on

struct Run {
    double entryToIcon, creationToIcon;
    bench::probe::Report report;
};

struct Kind {
    Kind(const char* name, const char* exe, std::uint64_t iconHash)
        : name(name), exe(bench::OwnFolder() + exe), iconHash(iconHash) {}
    const char* name;
    std::string exe;
    std::uint64_t iconHash;  // what the tray must show at the end
    std::vector<Run> runs;

    double Median(double (*field)(const Run&)) const {
        std::vector<double> v;
        for (const Run& r : runs) v.push_back(field(r));
        return bench::Median(v);
    }
};

// One start of `kind`: asks for the report once the child first waits for input.
bool Launch(const Kind& kind, bool profile, Run& run, std::string& failure) {
    if (profile) SetEnvironmentVariableA(bench::probe::kProfileVariable, "1");
    DWORD code = 1;
    bool idle = false;
    static int launches = 0;
    // Unique on the machine, also beside another benchmark's children in another prefix.
    const std::string token = Format("%s%lu.%d.%.0f", bench::probe::kRunArgument,
                                     GetCurrentProcessId(), ++launches, bench::NowMicros());
    const double created = bench::NowMicros();
    const std::string out =
        bench::RunChild(kind.exe, token, &code, [&](const PROCESS_INFORMATION& child) {
            idle = WaitForInputIdle(child.hProcess, 60000) == 0;
            if (idle)
                PostThreadMessageA(child.dwThreadId, bench::probe::kReportMessage, 0, 0);
            else
                TerminateProcess(child.hProcess, 3);
        });
    SetEnvironmentVariableA(bench::probe::kProfileVariable, nullptr);
    run = {};
    if (!idle || !bench::probe::ParseReport(out, run.report) || code != 0) {
        failure = Format("%s: %s, exit %lu", kind.name,
                         idle ? "no report" : "never waited for input", code);
        return false;
    }
    const bench::probe::Report& r = run.report;
    if (r.iconShown == 0 || r.iconHash != kind.iconHash) {
        failure = Format("%s: the tray did not end with the expected icon", kind.name);
        return false;
    }
    run.entryToIcon = (r.iconShown - r.entry) / 1e3;
    run.creationToIcon = (r.iconShown - created) / 1e3;
    return true;
}

std::uint64_t FrameHash(int iconSet, int frame) {
    win::ImageList set(nullptr);
    set.ReadFromResource(GetModuleHandleA(nullptr), IconSetByNumber(iconSet).resourceName);
    HICON icon = ImageList_GetIcon(set.Handle(), frame, ILD_NORMAL);
    const std::uint64_t hash = bench::probe::IconPixelsHash(icon);
    DestroyIcon(icon);
    return hash;
}

const char* CallName(unsigned message) {
    switch (message) {
        case NIM_ADD:
            return "NIM_ADD";
        case NIM_MODIFY:
            return "NIM_MODIFY";
        case NIM_DELETE:
            return "NIM_DELETE";
        case NIM_SETVERSION:
            return "NIM_SETVERSION";
        default:
            return "other";
    }
}

// The run whose entry-to-icon time is the median, with its tray calls: what a start-up of
// that kind spends inside the shell and around it.
void PrintSplit(const Kind& kind) {
    if (kind.runs.empty()) return;
    std::vector<Run> sorted = kind.runs;
    std::sort(sorted.begin(), sorted.end(),
              [](const Run& a, const Run& b) { return a.entryToIcon < b.entryToIcon; });
    const bench::probe::Report& r = sorted[sorted.size() / 2].report;
    double inside = 0;
    int calls = 0;
    std::printf("%s, the median run's tray calls (ms from entry, ms inside):\n", kind.name);
    for (const bench::probe::TrayCall& c : r.calls) {
        if (c.start > r.iconShown) break;
        inside += c.end - c.start;
        ++calls;
        std::printf("  %7.1f  %-14s %-8s %5.1f\n", (c.start - r.entry) / 1e3, CallName(c.message),
                    c.ok ? "accepted" : "refused", (c.end - c.start) / 1e3);
    }
    const double total = (r.iconShown - r.entry) / 1e3;
    std::printf("  entry to icon %.1f ms: %d tray calls %.1f ms, everything else %.1f ms\n", total,
                calls, inside / 1e3, total - inside / 1e3);
}

// What one kind's private bytes hold beyond another's, by mapping (medians of each).
void PrintMemorySplit(const Kind& kind, const Kind& base) {
    auto byMapping = [](const std::vector<Run>& runs) {
        std::map<std::string, std::vector<double>> values;
        for (const Run& run : runs)
            for (const auto& a : run.report.anonymousKiB) values[a.what].push_back(a.value);
        std::map<std::string, double> medians;
        for (auto& [what, v] : values) {
            v.resize(runs.size());  // a mapping missing from a run counts 0 there
            medians[what] = Median(v) / 1024;
        }
        return medians;
    };
    std::map<std::string, double> p = byMapping(kind.runs), f = byMapping(base.runs);
    std::vector<std::pair<double, std::string>> rows;
    for (const auto& [what, mib] : p) rows.push_back({mib - f[what], what});
    for (const auto& [what, mib] : f)
        if (!p.count(what)) rows.push_back({-mib, what});
    if (rows.empty()) return;
    std::sort(rows.rbegin(), rows.rend());
    std::printf(
        "private bytes (the host's anonymous memory) by mapping, %s against %s, medians "
        "in MiB:\n",
        kind.name, base.name);
    double total = 0;
    for (const auto& [more, what] : rows) {
        total += more;
        if (std::abs(more) >= 0.02)
            std::printf("  %-40s %8.2f %8.2f %+8.2f\n", what.c_str(), p[what], f[what], more);
    }
    std::printf("  %-40s %8s %8s %+8.2f\n", "all mappings", "", "", total);
}

// Where the profiled runs spent their start-up, added up over the runs.
void PrintStartupProfile(const std::vector<Run>& runs) {
    if (runs.empty()) return;
    std::map<std::string, double> inclusive, innermost, grown;
    bench::Profile profile;
    for (const Run& run : runs) {
        profile.micros += run.report.iconShown - run.report.entry;
        profile.unattributed += run.report.unattributed;
        for (const auto& a : run.report.inclusive) inclusive[a.what] += a.value;
        for (const auto& a : run.report.innermost) innermost[a.what] += a.value;
        for (const auto& a : run.report.grown) grown[a.what] += a.value;
    }
    for (const auto& [what, v] : inclusive) profile.inclusive.push_back({v, what});
    for (const auto& [what, v] : innermost) profile.innermost.push_back({v, what});
    for (const auto& [what, v] : grown) profile.grown.push_back({v, what});
    std::printf(
        "profile of %zu more program runs (the main thread sampled about every "
        "millisecond from entry to icon; %.1f ms a run), per run:\n",
        runs.size(), profile.micros / 1e3 / double(runs.size()));
    bench::PrintProfile(profile, 24, double(runs.size()));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    const int profiled = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string loadBefore = bench::LoadAverage();
    bench::StoreCountingSettings("", kIconSet);

    const std::uint64_t stockIcon =
        bench::probe::IconPixelsHash(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    Kind kinds[] = {{"program", "bench_program_tray.exe", FrameHash(kIconSet, 15)},
                    {"floor", "bench_floor_tray.exe", stockIcon},
                    {"floor+comctl32", "bench_floor_comctl_tray.exe", stockIcon}};
    Kind& program = kinds[0];
    Kind& floor = kinds[1];
    Kind& floorComctl = kinds[2];

    std::vector<Run> profileRuns;
    std::vector<double> pairedRatios;
    int failed = 0;
    std::printf(
        "start-up in fresh processes, the kinds in turn (round 0 is a warm-up, not "
        "counted):\n");
    std::printf(
        "  round  kind            entry to icon  creation to icon  private bytes  "
        "committed\n");
    for (int round = 0; round <= runs; ++round) {
        for (int k = 0; k < 3; ++k) {
            Kind& kind = kinds[(k + round) % 3];
            Run run;
            std::string failure;
            if (!Launch(kind, false, run, failure)) {
                std::printf("  %5d  FAILED: %s\n", round, failure.c_str());
                ++failed;
                continue;
            }
            std::printf("  %5d  %-14s  %10.1f ms  %13.1f ms  %9.2f MiB  %5.2f MiB%s\n", round,
                        kind.name, run.entryToIcon, run.creationToIcon,
                        MiB(run.report.privateBytes), MiB(run.report.committedPrivate),
                        round == 0 ? "  (warm-up)" : "");
            if (round > 0) kind.runs.push_back(run);
        }
        if (round > 0 && program.runs.size() == floor.runs.size() && !floor.runs.empty())
            pairedRatios.push_back(program.runs.back().entryToIcon / floor.runs.back().entryToIcon);
    }
    for (int i = 0; i < profiled; ++i) {
        Run run;
        std::string failure;
        if (Launch(program, true, run, failure))
            profileRuns.push_back(run);
        else
            std::printf("  profile run FAILED: %s\n", failure.c_str());
    }
    bench::ForgetSettings();

    const auto entry = [](const Run& r) { return r.entryToIcon; };
    const auto creation = [](const Run& r) { return r.creationToIcon; };
    const auto priv = [](const Run& r) { return MiB(r.report.privateBytes); };
    const auto committed = [](const Run& r) { return MiB(r.report.committedPrivate); };
    const auto atEntry = [](const Run& r) { return MiB(r.report.entryPrivateBytes); };
    std::printf("medians of %zu runs of each kind:\n", program.runs.size());
    std::printf("  %-14s  %13s  %16s  %13s  %9s  %14s\n", "kind", "entry to icon",
                "creation to icon", "private bytes", "committed", "private at entry");
    for (const Kind& kind : kinds)
        std::printf("  %-14s  %10.1f ms  %13.1f ms  %9.2f MiB  %5.2f MiB  %10.2f MiB\n", kind.name,
                    kind.Median(entry), kind.Median(creation), kind.Median(priv),
                    kind.Median(committed), kind.Median(atEntry));
    const double pe = program.Median(entry), fe = floor.Median(entry);
    const double pc = program.Median(creation), fc = floor.Median(creation);
    const double pp = program.Median(priv), fp = floor.Median(priv);
    const double pm = program.Median(committed), fm = floor.Median(committed);
    std::printf(
        "program against the floor: entry to icon %.2f times (goal at most 1.5; round by "
        "round the ratio's median is %.2f), creation to icon %.2f times; private bytes "
        "%+.2f MiB (goal at most +0.5 MiB), %+.2f MiB against the floor with comctl32\n",
        pe / fe, Median(pairedRatios), pc / fc, pp - fp, pp - floorComctl.Median(priv));
    std::printf(
        "(private bytes at entry are the libraries each imports, loaded and started by the "
        "host before entry; the program's include comctl32's)\n");
    PrintMemorySplit(program, floor);
    PrintMemorySplit(program, floorComctl);
    PrintSplit(program);
    PrintSplit(floor);
    PrintStartupProfile(profileRuns);
    std::printf("load average before %s, after %s\n", loadBefore.c_str(),
                bench::LoadAverage().c_str());

    const bool measured = !program.runs.empty() && !floor.runs.empty() && failed == 0;
    bench::Result({"Start-up: entry to frame 15 in the tray (median)", Format("%.1f ms", pe),
                   Format("%.1f ms", fe), Format("%.2f", pe / fe), "at most 1.5",
                   measured && pe <= 1.5 * fe});
    bench::Result({"Start-up: process creation to the icon (median)", Format("%.1f ms", pc),
                   Format("%.1f ms", fc), Format("%.2f", pc / fc), "", -1});
    bench::Result({"Private bytes after start-up (median)", Format("%.2f MiB", pp),
                   Format("%.2f MiB", fp), Format("%+.2f MiB", pp - fp), "at most +0.5 MiB",
                   measured && pp - fp <= 0.5});
    bench::Result({"Private bytes after start-up, against the floor with comctl32 (median)",
                   Format("%.2f MiB", pp), Format("%.2f MiB", floorComctl.Median(priv)),
                   Format("%+.2f MiB", pp - floorComctl.Median(priv)), "", -1});
    bench::Result({"Committed private memory after start-up (median)", Format("%.2f MiB", pm),
                   Format("%.2f MiB", fm), Format("%+.2f MiB", pm - fm), "", -1});
    return failed ? 1 : 0;
}
