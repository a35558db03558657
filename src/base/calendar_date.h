// Calendar dates: today's on the local clock, or the UTC date of a moment
// given in seconds (for reproducible pages).
#pragma once

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

}  // namespace veltrana
