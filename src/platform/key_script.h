#pragma once
// Scripted keys for runs without a keyboard: scan codes that go down and up at given
// milliseconds of the run clock ("--keys 100:+30,180:-30").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// PC set-1 scan codes that the host interface and the language use by name.
namespace scan {
inline constexpr uint8_t kEscape = 1;
inline constexpr uint8_t kTab = 15;
inline constexpr uint8_t kLeftCtrl = 29;
inline constexpr uint8_t kLeftShift = 42;
inline constexpr uint8_t kRightShift = 54;
inline constexpr uint8_t kLeftAlt = 56;
inline constexpr uint8_t kRightCtrl = 157;
inline constexpr uint8_t kRightAlt = 184;
}  // namespace scan

struct KeyEvent {
    int64_t time = 0;  // milliseconds of the run clock
    uint8_t scanCode = 0;
    bool down = false;
};

// Reads "T:+S" and "T:-S" items separated by commas (T from 0 to 2^31 - 1, S from 0 to 255) and
// sorts them by time, keeping the written order among equal times. False, with the reason, on
// anything else.
bool ParseKeyEvents(std::string_view text, std::vector<KeyEvent>& events, std::string& why);

// The 256-byte key state that a list of events gives as the clock advances.
class KeyScript {
public:
    KeyScript() = default;
    explicit KeyScript(std::vector<KeyEvent> events) : events_(std::move(events)) {}

    // Applies every event up to `now` (never undoes one: the clock only goes forward).
    void AdvanceTo(int64_t now);
    bool Down(uint8_t scanCode) const { return state_[scanCode] != 0; }
    // 0x80 for every key that is down, 0 for the others.
    void Read(uint8_t out[256]) const;
    // Whether events are still to come.
    bool Pending() const { return next_ < events_.size(); }
    // Presses or releases a key at once (tests).
    void Set(uint8_t scanCode, bool down) { state_[scanCode] = down ? 0x80 : 0; }

private:
    std::vector<KeyEvent> events_;
    size_t next_ = 0;
    uint8_t state_[256] = {};
};

}  // namespace tw
