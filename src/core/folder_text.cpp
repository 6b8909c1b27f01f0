#include "core/folder_text.h"

namespace quaff {

std::string WithTrailingSeparator(std::string_view folder) {
    std::string text(folder);
    if (text.empty() || (text.back() != '\\' && text.back() != '/')) text += '\\';
    return text;
}

}  // namespace quaff
