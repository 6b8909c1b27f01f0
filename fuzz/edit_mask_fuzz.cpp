// The edit mask on arbitrary stored values: the display always has the mask's length, shows
// only digits, blanks and literals, and reading it back and showing it again changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/edit_mask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view stored(reinterpret_cast<const char*>(data), size);
    for (const char* m : {"000000.00;1;_", "00.00;1;_"}) {
        quaff::EditMask mask(m);
        std::string display = mask.DisplayFromValue(stored);
        if (display.size() != mask.Length()) std::abort();
        for (size_t i = 0; i < display.size(); ++i) {
            char c = display[i];
            if (!mask.IsLiteral(i) && c != mask.BlankChar() && (c < '0' || c > '9')) std::abort();
        }
        std::string text = mask.TextFromDisplay(display);
        if (mask.DisplayFromValue(text) != display) std::abort();
    }
    return 0;
}
