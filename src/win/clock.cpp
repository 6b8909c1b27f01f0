#include "win/clock.h"

namespace quaff::win {

namespace {
const Clock g_system;
const Clock* g_current = nullptr;
}  // namespace

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

const Clock& Clock::Current() { return g_current ? *g_current : g_system; }

void Clock::SetCurrent(const Clock* clock) { g_current = clock; }

DateTime ToDateTime(const SYSTEMTIME& st) {
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                          st.wMilliseconds);
}

}  // namespace quaff::win
