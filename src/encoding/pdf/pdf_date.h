#pragma once
// The creation time stamped into a document's information dictionary.
#include <string>

namespace orvix::pdf {

struct DateTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The local wall-clock time, no zone.
DateTime localNow();
// "D:yyyymmddhhmmss".
std::string formatPdfDate(const DateTime& t);

}  // namespace orvix::pdf
