// Text to number conversions on arbitrary bytes: never crash, and a text that converts
// prints back to a number that converts again to the same value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/numtext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (char separator : {'.', ','}) {
        quaff::FormatSettings fs;
        fs.decimalSeparator = separator;
        if (auto value = quaff::TryStrToFloat(text, fs); value && std::isfinite(*value)) {
            std::string printed = quaff::FloatToStr(*value, fs);
            auto again = quaff::TryStrToFloat(printed, fs);
            if (!again) std::abort();  // the program's own output must read back
        }
    }
    if (auto i = quaff::TryStrToInt(text)) {
        if (quaff::StrToInt(quaff::IntToStr(*i)) != *i) std::abort();
    }
    return 0;
}
