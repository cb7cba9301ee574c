#pragma once
// The host: every service of the operating system that the interpreter relies on, behind one
// small interface. The SDL host drives a real window; the headless host keeps everything in
// memory so that tests and scripts run without a display.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/frame.h"

namespace tw {

enum class MessageKind : uint8_t { Information, Warning, Error };

// Virtual key codes polled asynchronously by the run loop and the console.
inline constexpr int kVkTab = 9;
inline constexpr int kVkEscape = 27;
// The display window's keys for a debugger.
inline constexpr int kDebugKeyF7 = 7;
inline constexpr int kDebugKeyF8 = 8;
inline constexpr int kDebugKeyF9 = 9;

class Host {
public:
    virtual ~Host() = default;

    // Millisecond tick count. Read several times per statement, so it must be cheap.
    virtual uint32_t TickCount() = 0;
    // The system's millisecond count, which programs read (TICKCOUNT): it differs from run to
    // run, so that a seed taken from it does too. A virtual clock gives its own tick.
    virtual uint32_t SystemTickCount() { return TickCount(); }
    // Called once per run-loop (and console) pass; a virtual clock advances here.
    virtual void Pass() {}
    // Whether the tick count follows the wall clock rather than the passes. A host that says
    // so lets the run loop read the clock, the Escape key and the close button (and call Pass)
    // only every few cheap passes; a clock that passes drive is read on every pass.
    virtual bool RealClock() const { return false; }

    // Asynchronous key state of a virtual key (Escape, Tab).
    virtual bool KeyDown(int virtualKey) = 0;
    // The keyboard device: 256 bytes by PC set-1 scan code, high bit set while a key is down.
    // False when the device cannot be read.
    virtual bool ReadKeyState(uint8_t state[256]) = 0;

    // The console of a stopped run. A host may type whole lines into it (a script); it says
    // whether more input may come (a user at a keyboard, a script not yet run out), so that the
    // console does not wait for a Tab that will never come; and it may echo the lines that
    // executing a typed line adds.
    virtual bool NextConsoleLine(std::string& line) {
        (void)line;
        return false;
    }
    virtual bool ConsoleInputPending() { return false; }
    // Whether scripted lines are still to be typed.
    virtual bool ConsoleLinesPending() { return false; }
    virtual void ConsoleOutput(std::string_view line) { (void)line; }

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

    // The run's clock starts (the moment scripted keys are timed from).
    virtual void StartRunClock() {}
    // While a debugger holds a paused run, its clock stands still: TickCount and
    // SystemTickCount leave out the time it was held. (A clock that passes drive stands still
    // by itself.)
    virtual void HoldClock(bool held) { (void)held; }
    // Keys pressed in the display window for a debugger (F7, F8, F9 as kDebugKey...), oldest
    // first; 0 when there is none.
    virtual int TakeDebugKey() { return 0; }
    // Called now and then while a paused run waits: the display window reads its events and,
    // when uncovered, shows the last frame again.
    virtual void KeepWindowAlive() {}

    // The window that shows the display during a run.
    virtual void ShowDisplayWindow() {}
    virtual void CloseDisplayWindow() {}
    // The display changed size (a new display mode).
    virtual void SetDisplaySize(int width, int height) { (void)width, (void)height; }
    // Shows a flipped frame (pixels `pitch` bytes per row) with the palette.
    void PresentFrame(const uint8_t* pixels, int width, int height, int pitch,
                      const Palette& palette) {
        KeepFrame(pixels, width, height, pitch, palette);
        ShowFrame(last_);
    }
    // The hardware palette changed: what is shown takes the new colours at once, as on an
    // 8-bit display.
    void PresentPalette(const Palette& palette) {
        if (!last_.Valid()) return;
        last_.palette = palette;
        ShowFrame(last_);
    }
    // Blocks until the next frame boundary of the display's refresh.
    virtual void WaitForVerticalBlank() {}
    // Whether the frames are looked at: shown in a window, or kept as the last frame for whoever
    // drives the host. A host that looks at none (a headless run without a frame file) keeps no
    // last frame, and the display leaves out the lettering of its own that only a frame shows
    // (the run number, the console's text), which would load the fonts for nothing.
    virtual bool FramesSeen() const { return true; }
    // The last frame shown (invalid when none was, or when the frames are not seen).
    const Frame& LastFrame() const { return last_; }
    // Records a frame as the last one without showing it (the picture at the end of a run that
    // never flipped).
    void KeepFrame(const uint8_t* pixels, int width, int height, int pitch, const Palette& palette);
    // True when the user asked to close the display window (ends the run as QUIT does).
    virtual bool CloseRequested() { return false; }

protected:
    // Puts a frame in the window (nothing without one).
    virtual void ShowFrame(const Frame& frame) { (void)frame; }

    Frame last_;
};

}  // namespace tw
