#pragma once
// The keyboard service: polls the keyboard device during a run and keeps the characters of
// newly pressed keys in the key buffer.

#include <array>
#include <cstdint>

namespace tw {

struct KeyBuffer {
    std::array<uint8_t, 128> characters{};
    int32_t count = 0;
    uint8_t lastKey = 0;
    int32_t lastKeyTime = 0;
    int32_t repeatDelay = 200;
    int32_t repeatInterval = 100;
};

// Clears the key buffer and starts polling. (The device is not read yet: no key arrives.)
void StartKeyboardService(KeyBuffer& keys);
void StopKeyboardService(KeyBuffer& keys);

}  // namespace tw
