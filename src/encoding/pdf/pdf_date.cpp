#include "encoding/pdf/pdf_date.h"

#include <cstdio>
#include <ctime>

#include "errors.h"

namespace orvix::pdf {

DateTime localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    const bool ok = localtime_s(&tm, &now) == 0;
#else
    const bool ok = localtime_r(&now, &tm) != nullptr;
#endif
    if (!ok) throw Error("Cannot read the local time");
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string formatPdfDate(const DateTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

}  // namespace orvix::pdf
