// Fuzz target: the path file reader on any bytes. Besides not crashing: it gives at most the
// points a path may hold, a refusal always has a reason and leaves no points, and what it
// accepts reads the same a second time.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "sprites/sprites.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    std::vector<std::pair<int32_t, int32_t>> points, again;
    std::string why, whyAgain;
    const bool read = tw::ReadPathPoints(input, points, why);
    if (!read) {
        if (why.empty() || !points.empty()) std::abort();
        return 0;
    }
    if (points.size() > static_cast<size_t>(tw::kMaxPathPoints)) std::abort();
    if (!tw::ReadPathPoints(input, again, whyAgain) || again != points) std::abort();
    return 0;
}
