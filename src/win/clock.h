// The wall clock the counting reads: local time for what the user sees (the start time, the
// month being paid), the UTC clock for measuring how long a period has run. Tests and the
// day-long soak put in their own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/datetime.h"

namespace quaff::win {

class Clock {
public:
    virtual ~Clock() = default;
    virtual SYSTEMTIME LocalTime() const;
    // 100-nanosecond ticks since 1601 (FILETIME), UTC.
    virtual std::int64_t UtcTicks() const;

    DateTime LocalNow() const;

    // The clock in use (the system's unless a test replaced it); never null.
    static const Clock& Current();
    // Puts in another clock (null: the system's again). The caller keeps it alive.
    static void SetCurrent(const Clock* clock);
};

DateTime ToDateTime(const SYSTEMTIME& st);

}  // namespace quaff::win
