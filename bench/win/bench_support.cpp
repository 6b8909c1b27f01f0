#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/launcher.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "settings/settings.h"

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

void StoreCountingSettings(const std::string& imageDir, std::int32_t iconSet) {
    const TBeer beer{"Bench", "025000.00", "5", "8", "03.50", iconSet, imageDir};
    if (!SaveSettings(beer)) {
        std::fprintf(stderr, "the settings could not be stored\n");
        std::exit(2);
    }
}

void ForgetSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Orvik\\Quaffometer"); }

}  // namespace quaff::bench
