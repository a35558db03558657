// The conversion date printed in the page header, "dd-mmm-yyyy".
#pragma once

#include <string>

namespace veltrana {

struct CalendarDate {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
};

// Today's date on the local clock.
CalendarDate TodayLocal();

// The UTC date of a time given in seconds since 1970-01-01 00:00 UTC.
CalendarDate UtcDateOfEpochSeconds(long long seconds);

// "05-Mar-1997": two-digit day, the month's abbreviated name as the C
// library's current locale (LC_TIME) gives it ("Jan".."Dec" in the "C"
// locale), four-digit year.
std::string PageDateText(const CalendarDate& date);

}  // namespace veltrana
