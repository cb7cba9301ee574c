#include "interpreter/random.h"

namespace tw {

uint32_t& RandomSeed() {
    static uint32_t seed = 0;
    return seed;
}

}  // namespace tw
