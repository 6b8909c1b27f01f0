// Folder names as the program keeps them: with one separator at the end, so a file name can
// follow directly.
#pragma once

#include <string>
#include <string_view>

namespace quaff {

// The folder text ending in a separator: a "\" is added unless it ends in "\" or "/" already
// (a drive root such as "C:\" keeps its one). An empty text becomes "\".
std::string WithTrailingSeparator(std::string_view folder);

}  // namespace quaff
