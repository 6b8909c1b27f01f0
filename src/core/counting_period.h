// A counting period as it is kept between runs of the program, so that one still under way
// when a process ends (a restart for updates, a sign-out, an update, a crash) is resumed by
// the next: its start on both clocks the count reads, as one line of text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/datetime.h"

namespace quaff {

struct CountingPeriod {
    DateTime localStart = 0;    // shown as the start time
    int64_t utcStartTicks = 0;  // what the elapsed time is measured from

    bool operator==(const CountingPeriod&) const = default;
};

// "<UTC ticks> <local date-time>", both numbers exact (the date-time as the shortest text
// that reads back to the same double), whatever the locale.
std::string PeriodText(const CountingPeriod& period);

// The period the text holds, or nothing when it is not exactly such a line (a number missing
// or malformed, anything after it), or either start lies outside the years 1601 (UTC) or 1
// (local) to 9999, the dates the program can show.
std::optional<CountingPeriod> ParsePeriod(std::string_view text);

}  // namespace quaff
