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

namespace {

// The UTC clock's ticks (100 ns since 1601) at the start of the year 10000: 3067671 days.
constexpr int64_t kUtcTicksOfYear10000 = 3'067'671LL * 864'000'000'000LL;

}  // namespace

std::optional<CountingPeriod> ParsePeriod(std::string_view text) {
    CountingPeriod period;
    const char* const last = text.data() + text.size();
    const auto ticks = std::from_chars(text.data(), last, period.utcStartTicks);
    if (ticks.ec != std::errc() || ticks.ptr == last || *ticks.ptr != ' ') return std::nullopt;
    const auto local = std::from_chars(ticks.ptr + 1, last, period.localStart);
    if (local.ec != std::errc() || local.ptr != last || period.utcStartTicks <= 0 ||
        period.utcStartTicks >= kUtcTicksOfYear10000)
        return std::nullopt;
    try {
        // A value no date can hold throws; one the program cannot show is no period either.
        const int year = DecodeDateTime(period.localStart).year;
        if (year < 1 || year > 9999) return std::nullopt;
    } catch (const Error&) {
        return std::nullopt;
    }
    return period;
}

}  // namespace quaff
