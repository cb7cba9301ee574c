#include "platform/clock.h"

#include <time.h>

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

}  // namespace tw
