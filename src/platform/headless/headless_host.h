#pragma once
// The host without a display: messages and debug text go to streams, the clock may be virtual.

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/host.h"

namespace tw {

// Writes text with every carriage return (and CR LF pair) turned into a line end.
void WriteWithLineEnds(std::FILE* stream, std::string_view text);

class HeadlessHost : public Host {
public:
    struct Options {
        bool virtualTime = false;  // the tick starts at 0 and advances 1 ms per pass
        std::FILE* messages = stderr;
        std::FILE* debug = stdout;
        bool debugShown = true;
    };
    HeadlessHost();
    explicit HeadlessHost(Options options);

    uint32_t TickCount() override;
    void Pass() override;
    bool KeyDown(int virtualKey) override;
    bool ReadKeyState(uint8_t state[256]) override;
    void ShowMessage(MessageKind kind, std::string_view text) override;
    bool DebugShown() override { return options_.debugShown; }
    void DebugOutput(std::string_view line) override;
    void Trace(std::string_view text) override;

    // Presses or releases a key by virtual key code (tests and scripted runs).
    void SetKey(int virtualKey, bool down);
    int MessageCount() const { return messageCount_; }

private:
    Options options_;
    uint32_t virtualTick_ = 0;
    bool keys_[256] = {};
    int messageCount_ = 0;
    TraceFile trace_;
};

}  // namespace tw
