#pragma once
// The language's random-number generator. A host keeps one for as long as it runs programs and
// hands it to every run: a run does not reset it, so without RANDOMIZE a second run continues
// the sequence of the first.

#include <cstdint>

namespace tw {

class Random {
public:
    // One step: seed := seed * 134775813 + 1 (modulo 2^32); the new seed.
    uint32_t Next() {
        seed = seed * 134775813u + 1u;
        return seed;
    }
    // One draw as a real in [0, 1): the new seed / 2^32.
    double NextReal() { return Next() / 4294967296.0; }

    uint32_t seed = 0;  // 0 when the host starts
};

}  // namespace tw
