#pragma once
// The language's random-number generator. Its seed lives for the whole process: a run start does
// not reset it, so without RANDOMIZE a second run continues the sequence of the first.

#include <cstdint>

namespace tw {

// The 32-bit seed; 0 when the process starts.
uint32_t& RandomSeed();

// One draw: seed := seed * 134775813 + 1 (modulo 2^32), giving seed / 2^32, a real in [0, 1).
inline double NextRandom() {
    uint32_t& seed = RandomSeed();
    seed = seed * 134775813u + 1u;
    return seed / 4294967296.0;
}

}  // namespace tw
