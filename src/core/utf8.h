// Text as characters: the program keeps its text in UTF-8, and where it counts or cuts
// characters (a masked field's positions) it works on code points.
#pragma once

#include <string>
#include <string_view>

namespace quaff {

// Each byte that starts no well-formed sequence (a stray continuation byte, a sequence cut
// short, an overlong form, a surrogate) is one character U+FFFD.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);

}  // namespace quaff
