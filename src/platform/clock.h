#pragma once
// A cheap monotonic millisecond clock, counted from the first call.

#include <cstdint>
#include <string>

namespace tw {

uint32_t MonotonicMilliseconds();
// Milliseconds since the system started, in 32 bits (it wraps after 49.7 days).
uint32_t SystemMilliseconds();

// Now, in local time, as days since 30 December 1899 with the time of day as the fraction.
double LocalDateTimeNow();

// A date-time value written as "dd/mm/yyyy hh:nn:ss" (empty outside years 1 to 9999).
std::string DateTimeText(double value);

// Days from 30 December 1899 to a civil date (proleptic Gregorian calendar), and back.
int64_t DaysSinceDateEpoch(int64_t year, unsigned month, unsigned day);
void DateOfDays(int64_t days, int& year, int& month, int& day);

}  // namespace tw
