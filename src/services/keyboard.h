#pragma once
// The keyboard service: polls the keyboard device during a run and keeps the characters of
// newly pressed keys in the key buffer.

#include <array>
#include <cstdint>

namespace tw {

class Interpreter;

struct KeyBuffer {
    std::array<uint8_t, 128> characters{};
    int32_t count = 0;
    uint8_t lastKey = 0;
    int32_t lastKeyTime = 0;
    int32_t repeatDelay = 200;
    int32_t repeatInterval = 100;
};

// Clears the key buffer and starts polling. (The device is not read yet: no key arrives.)
void StartKeyboardService(Interpreter& in);
void StopKeyboardService(Interpreter& in);

}  // namespace tw
