// The wall clock the counting reads: local time for what the user sees (the start time, the
// month being paid), the UTC clock for measuring how long a period has run. The program reads
// the one in use, Seam<Clock>::Current(); tests and the day-long soak install their own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/datetime.h"
#include "win/seam.h"

namespace quaff::win {

class Clock {
public:
    virtual ~Clock() = default;
    virtual SYSTEMTIME LocalTime() const;
    // 100-nanosecond ticks since 1601 (FILETIME), UTC.
    virtual std::int64_t UtcTicks() const;

    DateTime LocalNow() const;
};

DateTime ToDateTime(const SYSTEMTIME& st);

}  // namespace quaff::win
