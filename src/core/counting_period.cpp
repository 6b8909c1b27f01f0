#include "core/counting_period.h"

#include <charconv>

#include "core/errors.h"

namespace quaff {

std::string PeriodText(const CountingPeriod& period) {
    char buffer[64];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, period.utcStartTicks).ptr;
    *end++ = ' ';
    end = std::to_chars(end, buffer + sizeof buffer, period.localStart).ptr;
    return std::string(buffer, end);
}

std::optional<CountingPeriod> ParsePeriod(std::string_view text) {
    CountingPeriod period;
    const char* const last = text.data() + text.size();
    const auto ticks = std::from_chars(text.data(), last, period.utcStartTicks);
    if (ticks.ec != std::errc() || ticks.ptr == last || *ticks.ptr != ' ') return std::nullopt;
    const auto local = std::from_chars(ticks.ptr + 1, last, period.localStart);
    if (local.ec != std::errc() || local.ptr != last || period.utcStartTicks <= 0)
        return std::nullopt;
    try {
        DecodeDateTime(period.localStart);  // a value no date can hold throws
    } catch (const Error&) {
        return std::nullopt;
    }
    return period;
}

}  // namespace quaff
