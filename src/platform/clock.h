#pragma once
// A cheap monotonic millisecond clock, counted from the first call.

#include <cstdint>

namespace tw {

uint32_t MonotonicMilliseconds();

}  // namespace tw
