#include "win/clock.h"

namespace quaff::win {

SYSTEMTIME Clock::LocalTime() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st;
}

std::int64_t Clock::UtcTicks() const {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

DateTime Clock::LocalNow() const { return ToDateTime(LocalTime()); }

DateTime ToDateTime(const SYSTEMTIME& st) {
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                          st.wMilliseconds);
}

}  // namespace quaff::win
