#include "platform/headless/headless_host.h"

#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/files.h"

namespace tw {

void WriteWithLineEnds(std::FILE* stream, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            std::fputc('\n', stream);
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            std::fputc(c, stream);
        }
    }
}

HeadlessHost::HeadlessHost() : HeadlessHost(Options{}) {}

HeadlessHost::HeadlessHost(Options options)
    : options_(std::move(options)),
      origin_(TickCount()),
      scripted_(!options_.keys.empty()),
      script_(std::move(options_.keys)),
      consoleLines_(options_.consoleLines.begin(), options_.consoleLines.end()) {}

uint32_t HeadlessHost::TickCount() {
    return options_.virtualTime ? virtualTick_ : monotonicHold_.Read(MonotonicMilliseconds());
}

uint32_t HeadlessHost::SystemTickCount() {
    return options_.virtualTime ? virtualTick_ : systemHold_.Read(SystemMilliseconds());
}

void HeadlessHost::HoldClock(bool held) {
    monotonicHold_.Hold(held, MonotonicMilliseconds());
    systemHold_.Hold(held, SystemMilliseconds());
}

KeyScript& HeadlessHost::Script() {
    script_.AdvanceTo(int64_t{TickCount()} - int64_t{origin_});
    return script_;
}

void HeadlessHost::Pass() {
    if (options_.virtualTime) ++virtualTick_;
}

bool HeadlessHost::KeyDown(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= 256) return false;
    if (keys_[virtualKey]) return true;
    // The run loop polls Escape on every pass: without a script there is nothing to look at.
    if (!scripted_) return false;
    switch (virtualKey) {
        case kVkEscape:
            return Script().Down(scan::kEscape);
        case kVkTab:
            return Script().Down(scan::kTab);
        default:
            return false;
    }
}

bool HeadlessHost::ReadKeyState(uint8_t state[256]) {
    Script().Read(state);
    return true;
}

bool HeadlessHost::NextConsoleLine(std::string& line) {
    if (consoleLines_.empty()) return false;
    line = std::move(consoleLines_.front());
    consoleLines_.pop_front();
    return true;
}

bool HeadlessHost::ConsoleInputPending() {
    return !consoleLines_.empty() || Script().Pending();
}

void HeadlessHost::ConsoleOutput(std::string_view line) {
    if (!options_.messages) return;
    std::fwrite(line.data(), 1, line.size(), options_.messages);
    std::fputc('\n', options_.messages);
    std::fflush(options_.messages);
}

void HeadlessHost::ShowMessage(MessageKind, std::string_view text) {
    ++messageCount_;
    if (!options_.messages) return;
    WriteWithLineEnds(options_.messages, text);
    std::fputc('\n', options_.messages);
    std::fflush(options_.messages);
}

void HeadlessHost::DebugOutput(std::string_view line) {
    if (!options_.debug) return;
    std::fwrite(line.data(), 1, line.size(), options_.debug);
    std::fputc('\n', options_.debug);
}

void HeadlessHost::Trace(std::string_view text) {
    trace_.Write(text);
}

void HeadlessHost::SetKey(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey < 256) keys_[virtualKey] = down;
}

}  // namespace tw
