// The process's private bytes after start-up, and after the monitor window has shown a
// 24-megapixel photo from the picture folder and closed again (three times, to see whether
// anything stays behind). The photo is written with libjpeg by a child process, so the
// encoder's memory is never this process's. With --no-photo the folder stays empty: what the
// window costs by itself, to tell it from what the photo costs.
// Prints what it measured; it never fails on size.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/launcher.h"
#include "bench_support.h"
#include "jpeg_writer.h"
#include "monitor/monitor_form.h"
#include "win/application.h"
#include "win/image.h"
#include "win/timer.h"

using namespace quaff;
using namespace quaff::app;

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

// A photo-like picture: a graded sky, textured ground and sensor grain, so that it
// compresses and decodes like a camera's picture rather than a flat colour.
int MakePhoto(const char* path) {
    std::uint32_t seed = 1;
    test::WriteJpeg(path, {kWidth, kHeight, 90, false, 3}, [&](int y, JSAMPLE* row) {
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

struct Snapshot {
    std::uint64_t privateBytes, committed;
};
Snapshot Take() { return {bench::PrivateBytes(), bench::CommittedPrivateBytes()}; }

void Print(const char* when, const Snapshot& s) {
    std::printf("  %-44s private bytes %7.2f MiB, committed private %7.2f MiB\n", when,
                bench::MiB(s.privateBytes), bench::MiB(s.committed));
}

// Shows the monitor window modally and closes it from a timer once its picture is there.
// Answers the memory while it was shown, or zeros when a picture was wanted and none appeared.
Snapshot ShowPictureAndClose(bool withPhoto) {
    Snapshot shown{0, 0};
    int polls = 0;
    win::Timer closer(nullptr);
    closer.SetInterval(100);
    closer.OnTimer = [&](win::Component*) {
        if (!frmMain || !frmMain->Modal()) return;
        if (frmMain->Image1->HasPicture() || !withPhoto) {
            UpdateWindow(frmMain->Handle());  // drawn, not just decoded
            shown = Take();
        } else if (++polls < 300) {
            return;
        }
        closer.SetEnabled(false);
        frmMain->Close();
    };
    closer.SetEnabled(true);
    frmLaunch->stuff1Click(frmLaunch->stuff1);
    win::Application::Instance().ProcessMessages();
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "--make-photo") == 0) return MakePhoto(argv[2]);
    const Snapshot atEntry = Take();
    const bool withPhoto = !(argc > 1 && std::strcmp(argv[1], "--no-photo") == 0);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "quaff_memory_bench_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string photo = folder + "photo.jpg";
    if (withPhoto) {
        DWORD code = 1;
        bench::RunSelf("--make-photo \"" + photo + "\"", &code);
        WIN32_FILE_ATTRIBUTE_DATA file{};
        if (code != 0 || !GetFileAttributesExA(photo.c_str(), GetFileExInfoStandard, &file)) {
            std::printf("the photo could not be made\n");
            return 1;
        }
        std::printf("photo: %d x %d (%.1f megapixels), %.1f MB\n", kWidth, kHeight,
                    kWidth * double(kHeight) / 1e6, file.nFileSizeLow / 1e6);
    } else {
        std::printf("no photo: the picture folder is empty\n");
    }

    bench::StoreCountingSettings(folder);
    bench::StartProgram();
    win::Application::Instance().ProcessMessages();
    const Snapshot started = Take();

    Snapshot shown[3], closed[3];
    for (int i = 0; i < 3; ++i) {
        shown[i] = ShowPictureAndClose(withPhoto);
        closed[i] = Take();
    }
    bench::StopProgram();
    bench::ForgetSettings();
    DeleteFileA(photo.c_str());
    RemoveDirectoryA(folder.c_str());

    std::printf("memory of the process:\n");
    Print("at entry (the host's and the C runtime's)", atEntry);
    Print("after start-up (icon in the tray)", started);
    for (int i = 0; i < 3; ++i) {
        Print(bench::Format("showing %d: while the window is shown", i + 1).c_str(), shown[i]);
        Print(bench::Format("showing %d: after the window closed", i + 1).c_str(), closed[i]);
    }
    const bool pictureShown = withPhoto && shown[0].privateBytes != 0;
    if (withPhoto && !pictureShown) std::printf("THE PICTURE WAS NEVER SHOWN\n");

    const double afterStart = bench::MiB(started.privateBytes);
    const double grown = bench::MiB(closed[0].privateBytes) - afterStart;
    const double grownLast = bench::MiB(closed[2].privateBytes) - afterStart;
    std::printf("the program's own start-up added %.2f MiB private bytes (%.2f MiB committed)\n",
                afterStart - bench::MiB(atEntry.privateBytes),
                bench::MiB(started.committed) - bench::MiB(atEntry.committed));

    if (!withPhoto) {
        bench::Result("Private bytes after the window closed, shown without a picture",
                      bench::Format("%+.2f MiB (after 3 showings %+.2f MiB)", grown, grownLast),
                      "", -1);
        return 0;
    }
    bench::Result("Private bytes after start-up", bench::Format("%.2f MiB", afterStart),
                  "under 8 MiB", afterStart < 8);
    bench::Result("  of which present at entry (host and C runtime)",
                  bench::Format("%.2f MiB", bench::MiB(atEntry.privateBytes)), "", -1);
    bench::Result("Private bytes while the 24 MP photo is shown",
                  bench::Format("%.2f MiB", bench::MiB(shown[0].privateBytes)), "", -1);
    bench::Result("Private bytes after the window closed, against after start-up",
                  bench::Format("%+.2f MiB (after 3 showings %+.2f MiB)", grown, grownLast),
                  "within 1 MiB", pictureShown && grown <= 1 && grownLast <= 1);
    return pictureShown ? 0 : 1;
}
