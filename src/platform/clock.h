#pragma once
// A cheap monotonic millisecond clock, counted from the first call.

#include <cstdint>
#include <string>

namespace tw {

uint32_t MonotonicMilliseconds();
// Milliseconds since the system started, in 32 bits (it wraps after 49.7 days).
uint32_t SystemMilliseconds();

// A real clock that can be held: while held it stands still, and the time it was held is
// taken out of what it reads afterwards (a paused run's clock).
class ClockHold {
public:
    // `now` is the clock's reading as it runs.
    void Hold(bool held, uint32_t now) {
        if (held == held_) return;
        if (held) {
            heldAt_ = now;
        } else {
            taken_ += now - heldAt_;
        }
        held_ = held;
    }
    uint32_t Read(uint32_t now) const { return (held_ ? heldAt_ : now) - taken_; }

private:
    bool held_ = false;
    uint32_t heldAt_ = 0;
    uint32_t taken_ = 0;
};

// Now, in local time, as days since 30 December 1899 with the time of day as the fraction.
double LocalDateTimeNow();

// A date-time value written as "dd/mm/yyyy hh:nn:ss" (empty outside years 1 to 9999).
std::string DateTimeText(double value);

// Days from 30 December 1899 to a civil date (proleptic Gregorian calendar), and back.
int64_t DaysSinceDateEpoch(int64_t year, unsigned month, unsigned day);
void DateOfDays(int64_t days, int& year, int& month, int& day);

}  // namespace tw
