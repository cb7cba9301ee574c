#pragma once
// The host: every service of the operating system that the interpreter relies on, behind one
// small interface. The SDL host drives a real window; the headless host keeps everything in
// memory so that tests and scripts run without a display.

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

enum class MessageKind : uint8_t { Information, Warning, Error };

// Virtual key codes polled asynchronously by the run loop and the console.
inline constexpr int kVkTab = 9;
inline constexpr int kVkEscape = 27;

class Host {
public:
    virtual ~Host() = default;

    // Millisecond tick count. Read several times per statement, so it must be cheap.
    virtual uint32_t TickCount() = 0;
    // Called once per run-loop (and console) pass; a virtual clock advances here.
    virtual void Pass() {}

    // Asynchronous key state of a virtual key (Escape, Tab).
    virtual bool KeyDown(int virtualKey) = 0;
    // The keyboard device: 256 bytes by PC set-1 scan code, high bit set while a key is down.
    // False when the device cannot be read.
    virtual bool ReadKeyState(uint8_t state[256]) = 0;

    // A message box; blocks until the user closes it.
    virtual void ShowMessage(MessageKind kind, std::string_view text) = 0;

    // The debug window.
    virtual bool DebugShown() = 0;
    virtual void DebugOutput(std::string_view line) = 0;

    // The outside trace window.
    virtual void Trace(std::string_view text) = 0;

    // Process priority during a run; best effort.
    virtual bool RaisePriority() { return true; }
    virtual void RestorePriority() {}

    // The window that shows the display during a run.
    virtual void ShowDisplayWindow() {}
    virtual void CloseDisplayWindow() {}
    // True when the user asked to close the display window (ends the run as QUIT does).
    virtual bool CloseRequested() { return false; }
};

}  // namespace tw
