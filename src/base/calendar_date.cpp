#include "base/calendar_date.h"

#include <ctime>

namespace veltrana {

CalendarDate TodayLocal() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) return {};
  return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
}

CalendarDate UtcDateOfEpochSeconds(long long seconds) {
  // Days since 1970-01-01, rounded towards minus infinity, then the civil
  // date of that day in the proleptic Gregorian calendar.
  long long days = seconds / 86400;
  if (seconds % 86400 < 0) --days;
  days += 719468;  // days from 0000-03-01 to 1970-01-01
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long day_of_era = days - era * 146097;
  const long long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const long long day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const long long shifted_month = (5 * day_of_year + 2) / 153;  // March is 0
  const long long day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
  const long long month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  const long long year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

}  // namespace veltrana
