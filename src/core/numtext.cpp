#include "core/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/errors.h"

namespace quaff {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view TrimBlanks(std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

// Decimal exponents beyond this are far outside a double's range either way; capping the
// parsed exponent keeps a text like "1e99999999999999999999" from overflowing our counter.
constexpr int64_t kExponentCap = 1'000'000;

}  // namespace

std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& fs) {
    const std::string_view t = TrimBlanks(text);
    size_t i = 0;
    const size_t n = t.size();
    bool negative = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';

    const size_t intStart = i;
    while (i < n && IsDigit(t[i])) ++i;
    const std::string_view intDigits = t.substr(intStart, i - intStart);
    bool hasSeparator = false;
    std::string_view fracDigits;
    if (i < n && t[i] == fs.decimalSeparator) {
        hasSeparator = true;
        const size_t fracStart = ++i;
        while (i < n && IsDigit(t[i])) ++i;
        fracDigits = t.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty() && !hasSeparator) return std::nullopt;

    int64_t exponent = 0;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (t[i] == '+' || t[i] == '-')) expNegative = t[i++] == '-';
        const size_t expStart = i;
        while (i < n && IsDigit(t[i])) {
            exponent = std::min(exponent * 10 + (t[i] - '0'), kExponentCap);
            ++i;
        }
        if (i == expStart) return std::nullopt;
        if (expNegative) exponent = -exponent;
    }
    if (i != n) return std::nullopt;

    // Significant digits without leading or trailing zeros, and the power of ten of the last.
    std::string digits;
    digits.reserve(intDigits.size() + fracDigits.size());
    digits.append(intDigits);
    digits.append(fracDigits);
    int64_t scale = exponent - static_cast<int64_t>(fracDigits.size());
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return negative ? -0.0 : 0.0;
    const size_t last = digits.find_last_not_of('0');
    scale += static_cast<int64_t>(digits.size() - 1 - last);
    digits = digits.substr(first, last - first + 1);

    // Power of ten of the leading digit; doubles span roughly 1e-324 to 1.8e308.
    const int64_t leading = scale + static_cast<int64_t>(digits.size()) - 1;
    if (leading > 400) return std::nullopt;
    if (leading < -400) return negative ? -0.0 : 0.0;

    digits += 'e';
    digits += std::to_string(scale);
    double value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (leading > 0) return std::nullopt;  // overflow
        value = 0;                             // underflow reads as 0
    } else if (ec != std::errc() || end != digits.data() + digits.size() || std::isinf(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

double StrToFloat(std::string_view text, const FormatSettings& fs) {
    if (auto v = TryStrToFloat(text, fs)) return *v;
    throw ConvertError(InvalidFloatMessage(text));
}

std::optional<int32_t> TryStrToInt(std::string_view t) {
    size_t i = 0;
    const size_t n = t.size();
    while (i < n && t[i] == ' ') ++i;
    if (i == n) return std::nullopt;

    size_t hexStart = 0;
    if (t[i] == '$' || t[i] == 'x' || t[i] == 'X')
        hexStart = i + 1;
    else if (t[i] == '0' && i + 1 < n && (t[i + 1] == 'x' || t[i + 1] == 'X'))
        hexStart = i + 2;
    if (hexStart != 0) {
        if (hexStart == n) return std::nullopt;
        uint64_t value = 0;
        for (i = hexStart; i < n; ++i) {
            const int h = HexValue(t[i]);
            if (h < 0) return std::nullopt;
            value = value * 16 + static_cast<uint64_t>(h);
            if (value > 0xFFFFFFFFu) return std::nullopt;
        }
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }

    bool negative = false;
    if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
    if (i == n) return std::nullopt;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t value = 0;
    for (; i < n; ++i) {
        if (!IsDigit(t[i])) return std::nullopt;
        value = value * 10 + (t[i] - '0');
        if (value > limit) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

int32_t StrToInt(std::string_view text) {
    if (auto v = TryStrToInt(text)) return *v;
    throw ConvertError(InvalidIntegerMessage(text));
}

std::string FloatToStr(double value, const FormatSettings& fs) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // 15 significant digits, correctly rounded: "d.dddddddddddddde±x".
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
    const size_t e = sci.find('e');
    std::string digits;
    digits += sci[0];
    digits.append(sci.substr(2, e - 2));
    const int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    digits.erase(digits.find_last_not_of('0') + 1);

    std::string out = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += fs.decimalSeparator;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    } else if (exponent >= 0) {
        const size_t intLen = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out.append(digits, 0, intLen);
            out += fs.decimalSeparator;
            out.append(digits, intLen);
        }
    } else {
        out += '0';
        out += fs.decimalSeparator;
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

}  // namespace quaff
