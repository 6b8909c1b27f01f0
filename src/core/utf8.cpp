#include "core/utf8.h"

namespace quaff {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool Continues(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a byte starts (0: it starts none) and the bits it carries.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead < 0xC2) return 0;  // a continuation byte, or an overlong two-byte form
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return lead < 0xF5 ? 4 : 0;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = SequenceLength(lead);
        char32_t c = length <= 1 ? lead : lead & (0x7F >> length);
        int read = 1;
        while (read < length && i + read < text.size() &&
               Continues(static_cast<unsigned char>(text[i + read])))
            c = c << 6 | (static_cast<unsigned char>(text[i + read++]) & 0x3F);
        const char32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        if (length == 0 || read < length || c < least || c > 0x10FFFF ||
            (c >= 0xD800 && c <= 0xDFFF)) {
            out += kReplacement;
            ++i;
        } else {
            out += c;
            i += static_cast<size_t>(length);
        }
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace quaff
