// What the Windows benchmarks that drive the program share: starting it as its entry point
// does, and the settings they count with. The instruments are in bench_measure.h.
#pragma once

#include <cstdint>
#include <string>

#include "bench_measure.h"

namespace quaff::app {
class TfrmLaunch;
}

namespace quaff::bench {

// The start-up of quaffometer.exe after its single-instance check: the application object
// (main form hidden, title "Quaffometer"), the locale's formats, then the launcher as main
// form. Answers the launcher (also in frmLaunch); it has put its icon in the notification
// area and shows frame 15 of the stored icon set.
app::TfrmLaunch* StartProgram();
// Frees the launcher (its icon leaves the notification area).
void StopProgram();

// Stores settings that count: the pay of 25000 a year over 5 days of 8 hours, drinks at 3.50,
// with the given icon set and picture folder.
void StoreCountingSettings(const std::string& imageDir = "", std::int32_t iconSet = 0);
// Removes every stored setting again (the benchmark prefix is left as it was found).
void ForgetSettings();

}  // namespace quaff::bench
