#include "platform/key_script.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tw {

namespace {

bool ReadNumber(std::string_view text, int64_t maximum, int64_t& out) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out >= 0 && out <= maximum;
}

}  // namespace

bool ParseKeyEvents(std::string_view text, std::vector<KeyEvent>& events, std::string& why) {
    events.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        const std::string_view item = text.substr(start, comma - start);
        const size_t colon = item.find(':');
        int64_t time = 0, code = 0;
        if (colon == std::string_view::npos || colon + 1 >= item.size() ||
            (item[colon + 1] != '+' && item[colon + 1] != '-') ||
            !ReadNumber(item.substr(0, colon), INT32_MAX, time) ||
            !ReadNumber(item.substr(colon + 2), 255, code)) {
            why = "\"" + std::string(item) +
                  "\" is not T:+S or T:-S (T milliseconds, S a scan code from 0 to 255)";
            events.clear();
            return false;
        }
        events.push_back(KeyEvent{time, static_cast<uint8_t>(code), item[colon + 1] == '+'});
        start = comma + 1;
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.time < b.time; });
    return true;
}

void KeyScript::AdvanceTo(int64_t now) {
    while (next_ < events_.size() && events_[next_].time <= now) {
        const KeyEvent& e = events_[next_++];
        Set(e.scanCode, e.down);
    }
}

void KeyScript::Read(uint8_t out[256]) const {
    std::memcpy(out, state_, 256);
}

}  // namespace tw
