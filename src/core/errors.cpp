#include "core/errors.h"

namespace quaff {

std::string InvalidFloatMessage(std::string_view text) {
    std::string m = "'";
    m += text;
    m += "' is not a valid floating point value";
    return m;
}

std::string InvalidIntegerMessage(std::string_view text) {
    std::string m = "'";
    m += text;
    m += "' is not a valid integer value";
    return m;
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

}  // namespace quaff
