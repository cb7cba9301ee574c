#pragma once
// The keyboard service: polls the keyboard device during a run (every 25 ms, from the timer
// service), turns newly pressed keys into characters and keeps them in the key buffer, from
// which INKEY takes them, newest first. The console of a stopped run reads the same device with
// its own translation.

#include <array>
#include <cstdint>
#include <string>

namespace tw {

class Host;

struct KeyBuffer {
    static constexpr int kSize = 128;
    std::array<uint8_t, kSize> characters{};
    int32_t count = 0;         // characters held; the next one goes to position count
    uint8_t lastKey = 0;       // the key that produced the last character; 0 when none is down
    int32_t lastKeyTime = 0;   // tick when the last character was produced
    int32_t repeatDelay = 200;  // kept, never read
    int32_t repeatInterval = 100;
    bool running = false;  // the service is running (the device can be read)
    // Characters produced since the service started, held or not (WAIT KEY watches it).
    uint32_t produced = 0;
};

inline constexpr int kKeyServiceInterval = 25;

// Clears the key buffer and starts the service.
void StartKeyboardService(KeyBuffer& keys);
void StopKeyboardService(KeyBuffer& keys);

// One tick of the service: reads the device and produces the character of a newly pressed key,
// or of a held one every repeat interval. Only the lowest-numbered key that is down counts; Shift,
// Ctrl and Alt are not looked at for that, they only change the translation.
void ServiceKeyboard(KeyBuffer& keys, Host& host);

// Reads the device's 256-byte state. On failure (a host cannot read the keyboard while its window
// is not in the foreground: the device is not acquired) the error's name goes to the trace
// window and the state is all keys up.
bool ReadKeyboardState(Host& host, uint8_t state[256]);

// The lowest-numbered key that is down, Shift, Ctrl and Alt left out; -1 when none is.
int LowestKeyDown(const uint8_t state[256]);
bool ShiftDown(const uint8_t state[256]);

// The character of a key for a program (INKEY): Shift gives capital letters; -1 for a key
// without one.
int ProgramKeyCharacter(int scanCode, bool shift);
// The character of a key for the console: Shift also gives the symbols over the digits.
int ConsoleKeyCharacter(int scanCode, bool shift);

// Takes the newest character (INKEY); false when the buffer is empty.
bool TakeKey(KeyBuffer& keys, Host& host, char& out);

// The name of a keyboard device result code ("DIERR_INPUTLOST"), or "Unknown Error (N)".
std::string DirectInputErrorName(uint32_t code);

inline constexpr uint32_t kDiErrNotAcquired = 0x8007000C;
inline constexpr uint32_t kDiErrInputLost = 0x8007001E;

}  // namespace tw
