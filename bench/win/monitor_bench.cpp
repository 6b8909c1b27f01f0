// Opening the monitor window from the tray: from the double-click's message reaching the
// tray's window to the monitor window painted with its picture, a 24-megapixel photo saved
// baseline and the same saved progressive, against the same opening with no picture (an
// empty picture folder). Each run is a fresh process, the three kinds in turn, and opens the
// window twice: the first opening builds the window's controls, the second finds them. The
// process's private bytes are taken after start-up, while the window is shown and after it
// closed. A few more runs with the photo sample the stack during the first opening.
// Prints what it measured; it never fails on time or size.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "bench_support.h"
#include "jpeg_writer.h"
#include "monitor/monitor_form.h"
#include "sampler.h"
#include "tray/tray_icon.h"
#include "win/application.h"
#include "win/image.h"

using namespace quaff;
using namespace quaff::app;
using bench::Format;
using bench::Median;
using bench::MiB;

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

// A photo-like picture: a graded sky, textured ground and sensor grain, so that it
// compresses and decodes like a camera's picture rather than a flat colour.
int MakePhoto(const char* path, bool progressive) {
    std::uint32_t seed = 1;
    test::WriteJpeg(path, {kWidth, kHeight, 90, progressive, 3}, [&](int y, JSAMPLE* row) {
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            const int texture = ((x / 7) ^ (y / 5)) & 31;
            const bool sky = y < kHeight / 2 + (x % 997) / 4;
            const int r = sky ? 90 + y * 100 / kHeight : 70 + texture;
            const int g = sky ? 140 + y * 80 / kHeight : 110 + texture / 2;
            const int b = sky ? 230 : 40 + texture;
            row[3 * x + 0] = JSAMPLE(std::clamp(r + grain, 0, 255));
            row[3 * x + 1] = JSAMPLE(std::clamp(g + grain, 0, 255));
            row[3 * x + 2] = JSAMPLE(std::clamp(b + grain, 0, 255));
        }
    });
    return 0;
}

// ---- One run, in a child process -------------------------------------------------------------

// Set while an opening is measured: the window is painted once the picture area has painted
// (with its picture, when one is expected) and every paint still due in the window is done.
struct Opening {
    bool pictureExpected = false;
    double painted = 0;
} g_opening;
constexpr UINT kAreaPainted = WM_APP + 0x2A;

LRESULT CALLBACK WatchPaints(int code, WPARAM removed, LPARAM lp) {
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && removed == PM_REMOVE && frmMain && g_opening.painted == 0) {
        win::Image& area = *frmMain->Image1;
        if (msg->message == WM_PAINT && area.HandleAllocated() && msg->hwnd == area.Handle() &&
            (area.HasPicture() || !g_opening.pictureExpected)) {
            // Queued messages come before paints: this one arrives once the area's paint
            // has returned.
            PostThreadMessageA(GetCurrentThreadId(), kAreaPainted, 0, 0);
        } else if (msg->message == kAreaPainted && !msg->hwnd) {
            RedrawWindow(frmMain->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            g_opening.painted = bench::NowMicros();
            PostMessageA(frmMain->Handle(), WM_CLOSE, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, removed, lp);
}

// Double-clicks the tray icon (its message as the shell sends it) and waits until the window
// has been painted and closed again; answers milliseconds from the message to the paint.
double OpenAndClose(bool pictureExpected, std::uint64_t* shownBytes, bool profile) {
    auto& app = win::Application::Instance();
    g_opening = {pictureExpected, 0};
    if (profile) bench::StartSampling();
    const double start = bench::NowMicros();
    PostMessageA(tray::TTrayIcon::TrayWindow(), tray::kTrayCallbackMessage,
                 frmLaunch->TrayIcon1->Identity(), WM_LBUTTONDBLCLK);
    // The double-click opens the window, whose modal loop runs until the hook closes it.
    while ((g_opening.painted == 0 || frmMain->Modal()) && bench::NowMicros() - start < 60e6)
        app.HandleMessage();
    if (profile) {
        bench::StopSampling();
        bench::PrintProfile(bench::Summarize(start, g_opening.painted), 14);
    }
    *shownBytes = bench::PrivateBytes();  // the window's picture and controls are still held
    app.ProcessMessages();
    return g_opening.painted > 0 ? (g_opening.painted - start) / 1e3 : -1;
}

int Child(const std::string& folder, bool pictureExpected, bool profile) {
    bench::StoreCountingSettings(folder);
    bench::StartProgram();
    auto& app = win::Application::Instance();
    app.ProcessMessages();
    const std::uint64_t started = bench::PrivateBytes();
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchPaints, nullptr, GetCurrentThreadId());
    std::uint64_t shown = 0, shownAgain = 0;
    const double first = OpenAndClose(pictureExpected, &shown, profile);
    const std::uint64_t closed = bench::PrivateBytes();
    const double second = profile ? 0 : OpenAndClose(pictureExpected, &shownAgain, false);
    const std::uint64_t closedAgain = bench::PrivateBytes();
    UnhookWindowsHookEx(hook);
    const bool ok =
        first > 0 && (profile || second > 0) && frmMain->Image1->HasPicture() == pictureExpected;
    bench::StopProgram();
    std::printf("run %.3f %.3f %llu %llu %llu %llu %d\n", first, second,
                (unsigned long long)started, (unsigned long long)shown, (unsigned long long)closed,
                (unsigned long long)closedAgain, ok);
    return ok ? 0 : 1;
}

// ---- The benchmark -------------------------------------------------------------------------------

struct Kind {
    Kind(const char* name, std::string folder, bool picture)
        : name(name), folder(std::move(folder)), picture(picture) {}
    const char* name;
    std::string folder;
    bool picture;
    std::vector<double> first, second, started, shown, closed, closedAgain;
};

std::string Unslashed(const std::string& folder) { return folder.substr(0, folder.size() - 1); }

}  // namespace

int main(int argc, char** argv) {
    if (argc > 3 && std::strcmp(argv[1], "--make-photo") == 0)
        return MakePhoto(argv[2], std::strcmp(argv[3], "progressive") == 0);
    // The folder comes without its trailing backslash, which would escape the closing quote.
    if (argc > 3 && std::strcmp(argv[1], "--open") == 0)
        return Child(std::string(argv[2]) + "\\", std::strcmp(argv[3], "none") != 0, argc > 4);
    if (argc > 1 && argv[1][0] == '-') {  // never the whole benchmark again, from a child
        std::fprintf(stderr, "unknown option %s\n", argv[1]);
        return 2;
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 8;
    const int profiled = argc > 2 ? std::atoi(argv[2]) : 2;
    const std::string loadBefore = bench::LoadAverage();

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string root =
        std::string(temp) + "quaff_monitor_bench_" + std::to_string(GetCurrentProcessId()) + "\\";
    Kind kinds[] = {{"no picture", root + "none\\", false},
                    {"baseline photo", root + "baseline\\", true},
                    {"progressive photo", root + "progressive\\", true}};
    CreateDirectoryA(root.c_str(), nullptr);
    for (Kind& kind : kinds) CreateDirectoryA(kind.folder.c_str(), nullptr);
    for (int i = 1; i <= 2; ++i) {
        const std::string photo = kinds[i].folder + "photo.jpg";
        DWORD code = 1;
        bench::RunSelf("--make-photo \"" + photo + "\" " + (i == 1 ? "baseline" : "progressive"),
                       &code);
        WIN32_FILE_ATTRIBUTE_DATA file{};
        if (code != 0 || !GetFileAttributesExA(photo.c_str(), GetFileExInfoStandard, &file)) {
            std::printf("the photo could not be made\n");
            return 1;
        }
        std::printf("%s: %d x %d (%.1f megapixels), %.1f MB\n", kinds[i].name, kWidth, kHeight,
                    kWidth * double(kHeight) / 1e6, file.nFileSizeLow / 1e6);
    }

    int failed = 0;
    std::printf("openings in fresh processes, the three kinds in turn (round 0 is a warm-up):\n");
    std::printf("  round  %-18s  first   second   private bytes: started  shown  closed\n",
                "picture");
    for (int round = 0; round <= runs; ++round) {
        for (int k = 0; k < 3; ++k) {
            Kind& kind = kinds[(k + round) % 3];
            DWORD code = 1;
            const std::string out = bench::RunSelf(
                "--open \"" + Unslashed(kind.folder) + "\" " + (kind.picture ? "photo" : "none"),
                &code);
            double first = 0, second = 0;
            unsigned long long started = 0, shown = 0, closed = 0, closedAgain = 0;
            int ok = 0;
            if (std::sscanf(out.c_str(), "run %lf %lf %llu %llu %llu %llu %d", &first, &second,
                            &started, &shown, &closed, &closedAgain, &ok) != 7 ||
                !ok || code != 0) {
                std::printf("  %5d  %-18s  FAILED: \"%s\" exit %lu\n", round, kind.name,
                            out.c_str(), code);
                ++failed;
                continue;
            }
            std::printf("  %5d  %-18s %6.1f ms %6.1f ms   %6.2f  %6.2f  %6.2f MiB%s\n", round,
                        kind.name, first, second, MiB(started), MiB(shown), MiB(closed),
                        round == 0 ? "  (warm-up)" : "");
            if (round == 0) continue;
            kind.first.push_back(first), kind.second.push_back(second);
            kind.started.push_back(MiB(started)), kind.shown.push_back(MiB(shown));
            kind.closed.push_back(MiB(closed)), kind.closedAgain.push_back(MiB(closedAgain));
        }
    }
    for (int i = 0; i < profiled; ++i) {
        std::printf(
            "profile of a first opening with the baseline photo, double-click to "
            "painted:\n");
        DWORD code = 1;
        const std::string out =
            bench::RunSelf("--open \"" + Unslashed(kinds[1].folder) + "\" photo profile", &code);
        std::printf("%s", out.substr(0, out.find("run ")).c_str());
    }
    bench::ForgetSettings();
    for (const Kind& kind : kinds) {
        const std::string photo = kind.folder + "photo.jpg";
        DeleteFileA(photo.c_str());
        RemoveDirectoryA(kind.folder.c_str());
    }
    RemoveDirectoryA(root.c_str());

    const Kind& none = kinds[0];
    std::printf("medians of %zu runs of each kind:\n", none.first.size());
    for (const Kind& kind : kinds) {
        std::printf(
            "  %-18s first opening %7.1f ms, second %7.1f ms; private bytes %.2f MiB "
            "after start-up, %.2f shown, %+.2f MiB after closing (%+.2f after the "
            "second)\n",
            kind.name, Median(kind.first), Median(kind.second), Median(kind.started),
            Median(kind.shown), Median(kind.closed) - Median(kind.started),
            Median(kind.closedAgain) - Median(kind.started));
    }
    std::printf("load average before %s, after %s\n", loadBefore.c_str(),
                bench::LoadAverage().c_str());

    for (int i = 1; i <= 2; ++i) {
        const Kind& kind = kinds[i];
        const double f = Median(kind.first), n = Median(none.first);
        bench::Result({Format("Opening the monitor window, %s (double-click to painted, first "
                              "opening, median)",
                              kind.name),
                       Format("%.1f ms", f), Format("%.1f ms without a picture", n),
                       Format("%.2f", f / n), "", -1});
    }
    const Kind& photo = kinds[1];
    const double kept = Median(photo.closed) - Median(photo.started);
    const double keptAgain = Median(photo.closedAgain) - Median(photo.started);
    bench::Result(
        {"Private bytes after the window with the photo closed",
         Format("%+.2f MiB (after 2 openings %+.2f MiB)", kept, keptAgain),
         Format("%+.2f MiB without a picture", Median(none.closed) - Median(none.started)), "",
         "within 1 MiB of after start-up", failed == 0 && kept <= 1 && keptAgain <= 1});
    return failed ? 1 : 0;
}
