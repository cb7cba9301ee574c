#include "platform/clock.h"

#include <time.h>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace tw {

namespace {
int64_t ReadMilliseconds() {
    timespec ts;
    // The coarse clock is read through the vDSO without a system call; its resolution
    // (a few milliseconds at worst) is what a tick count offers anyway.
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}
}  // namespace

uint32_t MonotonicMilliseconds() {
    static const int64_t base = ReadMilliseconds();
    return static_cast<uint32_t>(ReadMilliseconds() - base);
}

uint32_t SystemMilliseconds() {
    return static_cast<uint32_t>(ReadMilliseconds());
}

int64_t DaysSinceDateEpoch(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    // Days since 1 January 1970, then moved to 30 December 1899.
    return era * 146097 + static_cast<int64_t>(doe) - 719468 + 25569;
}

void DateOfDays(int64_t days, int& year, int& month, int& day) {
    const int64_t z = days - 25569 + 719468;  // days since 1 March 0000
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

std::string DateTimeText(double value) {
    if (!(value >= -693593.0 && value < 2958466.0)) return std::string();
    const double whole = value < 0 ? std::ceil(value) : std::floor(value);
    int64_t ms = std::llround(std::fabs(value - whole) * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    int y, m, d;
    DateOfDays(static_cast<int64_t>(whole), y, m, d);
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02lld:%02lld:%02lld", d, m, y,
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60));
    return text;
}

double LocalDateTimeNow() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    time_t seconds = ts.tv_sec;
    localtime_r(&seconds, &local);
    const int64_t days = DaysSinceDateEpoch(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const double ms = local.tm_hour * 3600000.0 + local.tm_min * 60000.0 + local.tm_sec * 1000.0 +
                      static_cast<double>(ts.tv_nsec / 1000000);
    return static_cast<double>(days) + ms / 86400000.0;
}

}  // namespace tw
