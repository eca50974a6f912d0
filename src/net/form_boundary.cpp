#include "net/form_boundary.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace orvix::net {

std::string formatBoundary(const LocalTime& t) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d%02d%02d%03d", t.month % 100, t.day % 100,
                  t.year % 100, t.hour % 100, t.minute % 100, t.second % 100, t.millisecond % 1000);
    return std::string(8, '-') + digits;
}

LocalTime localTimeNow() {
#ifdef _WIN32
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
#else
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm parts{};
    localtime_r(&now.tv_sec, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
            parts.tm_min,         parts.tm_sec,     static_cast<int>(now.tv_nsec / 1000000)};
#endif
}

}  // namespace orvix::net
