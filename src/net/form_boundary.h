#pragma once
// The boundary of an upload form: eight hyphens and the local time of the
// form's creation as "mmddyyhhnnsszzz".
#include <string>

namespace orvix::net {

struct LocalTime {
    int year = 0;  // e.g. 2023
    int month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

std::string formatBoundary(const LocalTime& time);

// The clock of this machine, to the millisecond.
LocalTime localTimeNow();

}  // namespace orvix::net
