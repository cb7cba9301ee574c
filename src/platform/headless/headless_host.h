#pragma once
// The host without a display: messages and debug text go to streams, the clock may be virtual.

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/key_script.h"

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
        // Keys that go down and up at milliseconds of the run clock (counted from the start of
        // the run's clock, or from the host's making until then), and lines typed into the
        // console of a stopped run.
        std::vector<KeyEvent> keys;
        std::vector<std::string> consoleLines;
        // Whether the last frame is kept (for a frame file, or a test); false when nothing will
        // look at it (Host::FramesSeen).
        bool keepFrames = true;
    };
    HeadlessHost();
    explicit HeadlessHost(Options options);

    uint32_t TickCount() override;
    uint32_t SystemTickCount() override;
    void Pass() override;
    // On the virtual clock a vertical blank takes 1 ms, as a pass does: a fade of many steps
    // moves the clock (and so meets --timeout) while it runs. On a real clock there is no wait.
    void WaitForVerticalBlank() override { Pass(); }
    bool RealClock() const override { return !options_.virtualTime; }
    bool KeyDown(int virtualKey) override;
    bool ReadKeyState(uint8_t state[256]) override;
    void ShowMessage(MessageKind kind, std::string_view text) override;
    bool DebugShown() override { return options_.debugShown; }
    void DebugOutput(std::string_view line) override;
    void Trace(std::string_view text) override;
    bool NextConsoleLine(std::string& line) override;
    bool ConsoleInputPending() override;
    bool ConsoleLinesPending() override { return !consoleLines_.empty(); }
    bool FramesSeen() const override { return options_.keepFrames; }
    void StartRunClock() override { origin_ = TickCount(); }
    void HoldClock(bool held) override;
    void ConsoleOutput(std::string_view line) override;

    // Presses or releases a key by virtual key code (tests).
    void SetKey(int virtualKey, bool down);
    int MessageCount() const { return messageCount_; }

private:
    // The scripted keys as they stand now.
    KeyScript& Script();

    Options options_;
    ClockHold monotonicHold_, systemHold_;  // (before origin_, which is read from the clock)
    uint32_t virtualTick_ = 0;
    uint32_t origin_ = 0;
    bool scripted_ = false;
    KeyScript script_;
    std::deque<std::string> consoleLines_;
    bool keys_[256] = {};
    int messageCount_ = 0;
    TraceFile trace_;
};

}  // namespace tw
