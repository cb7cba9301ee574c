#pragma once
// The host with a real window, on SDL2. The window shows the display during a run. SDL is
// loaded when the host opens (platform/media_library), so that a program that never opens a
// window never loads it.

#include <cstdio>
#include <deque>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/host.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace tw {

struct SdlFunctions;

class SdlHost : public Host {
public:
    struct Options {
        std::string title = "Tarnwick";
        int width = 800;
        int height = 600;
        int scale = 0;  // 0: the largest integer scale that fits the desktop
        bool fullscreen = false;
        bool virtualTime = false;
    };
    explicit SdlHost(Options options);
    ~SdlHost() override;

    // Loads SDL and initialises its video; false (with the reason) when the library cannot be
    // loaded or there is no display to open.
    bool Open(std::string& error);

    uint32_t TickCount() override;
    uint32_t SystemTickCount() override;
    void Pass() override;
    bool RealClock() const override { return !options_.virtualTime; }
    void HoldClock(bool held) override;
    int TakeDebugKey() override;
    void KeepWindowAlive() override { Pump(true); }
    bool KeyDown(int virtualKey) override;
    bool ReadKeyState(uint8_t state[256]) override;
    void ShowMessage(MessageKind kind, std::string_view text) override;
    bool DebugShown() override { return true; }
    void DebugOutput(std::string_view line) override;
    void Trace(std::string_view text) override;
    bool ConsoleInputPending() override { return true; }

    void ShowDisplayWindow() override;
    void CloseDisplayWindow() override;
    bool CloseRequested() override;
    void SetDisplaySize(int width, int height) override;
    void WaitForVerticalBlank() override;

protected:
    void ShowFrame(const Frame& frame) override;

private:
    // Reads pending window events, at most about once a millisecond: pumping on every
    // statement would cap the interpreter's speed.
    void Pump(bool force = false);
    void Present();
    int ScaleThatFits() const;
    // Waits until one refresh period has passed since the last frame was shown.
    void PaceFrame();
    int RefreshRate() const;
    // Whether a key (an SDL scan code) is down, or was pressed less than kMinimumPress ago.
    bool Held(int scancode, const uint8_t* state, int count, uint32_t now) const;

    Options options_;
    ClockHold monotonicHold_, systemHold_;
    std::deque<int> debugKeys_;          // F7, F8, F9 pressed in the window, not yet taken
    const SdlFunctions* sdl_ = nullptr;  // loaded by Open
    bool open_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0, textureHeight_ = 0;
    uint32_t lastPump_ = 0;
    bool pumpedOnce_ = false;
    bool closeRequested_ = false;
    uint32_t virtualTick_ = 0;
    uint64_t lastFrameCounter_ = 0;  // performance counter when the last frame was shown
    // When each key last went down (0: not since the window opened). A tap shorter than the
    // keyboard's polling still counts as down for a while, so no press is lost between polls.
    static constexpr uint32_t kMinimumPress = 30;
    uint32_t pressedAt_[512] = {};  // by SDL scan code (SDL_NUM_SCANCODES)
    TraceFile trace_;
};

}  // namespace tw
