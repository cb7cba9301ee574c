#include "platform/sdl/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/headless/headless_host.h"

namespace tw {

SdlHost::SdlHost(Options options) : options_(std::move(options)) {}

SdlHost::~SdlHost() {
    CloseDisplayWindow();
    if (open_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlHost::Open(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return false;
    }
    open_ = true;
    return true;
}

uint32_t SdlHost::TickCount() {
    return options_.virtualTime ? virtualTick_ : MonotonicMilliseconds();
}

void SdlHost::Pass() {
    if (options_.virtualTime) ++virtualTick_;
}

void SdlHost::Pump(bool force) {
    if (!open_) return;
    const uint32_t now = MonotonicMilliseconds();
    if (!force && pumpedOnce_ && now == lastPump_) return;
    pumpedOnce_ = true;
    lastPump_ = now;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) closeRequested_ = true;
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_RETURN &&
            (event.key.keysym.mod & KMOD_ALT) && window_) {
            const bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
            SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
            Present();
        }
        if (event.type == SDL_WINDOWEVENT) {
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) closeRequested_ = true;
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                Present();
            }
        }
    }
}

namespace {
SDL_Scancode ScancodeOfVirtualKey(int virtualKey) {
    switch (virtualKey) {
        case kVkEscape:
            return SDL_SCANCODE_ESCAPE;
        case kVkTab:
            return SDL_SCANCODE_TAB;
        default:
            return SDL_SCANCODE_UNKNOWN;
    }
}
}  // namespace

bool SdlHost::KeyDown(int virtualKey) {
    if (!window_) return false;
    Pump();
    SDL_Scancode code = ScancodeOfVirtualKey(virtualKey);
    if (code == SDL_SCANCODE_UNKNOWN) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    return code < count && state[code] != 0 &&
           (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS);
}

bool SdlHost::ReadKeyState(uint8_t state[256]) {
    std::memset(state, 0, 256);
    return true;
}

void SdlHost::ShowMessage(MessageKind kind, std::string_view text) {
    WriteWithLineEnds(stderr, text);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    if (!open_) return;
    std::string body;
    body.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            body.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            body.push_back(text[i]);
        }
    }
    Uint32 flags = kind == MessageKind::Error     ? SDL_MESSAGEBOX_ERROR
                   : kind == MessageKind::Warning ? SDL_MESSAGEBOX_WARNING
                                                  : SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(flags, "Tarnwick", body.c_str(), window_);
}

void SdlHost::DebugOutput(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void SdlHost::Trace(std::string_view text) {
    trace_.Write(text);
}

int SdlHost::ScaleThatFits() const {
    if (options_.scale > 0) return options_.scale;
    SDL_Rect usable{0, 0, options_.width, options_.height};
    SDL_GetDisplayUsableBounds(0, &usable);
    return std::max(1, std::min(usable.w / options_.width, usable.h / options_.height));
}

void SdlHost::ShowDisplayWindow() {
    if (!open_ || window_) return;
    const int scale = ScaleThatFits();
    Uint32 flags = SDL_WINDOW_RESIZABLE;
    if (options_.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ =
        SDL_CreateWindow(options_.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         options_.width * scale, options_.height * scale, flags);
    if (!window_) return;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // hard-edged pixels, as on the display
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    // The picture keeps its aspect ratio in any window size.
    if (renderer_) SDL_RenderSetLogicalSize(renderer_, options_.width, options_.height);
    SDL_ShowCursor(SDL_DISABLE);
    closeRequested_ = false;
    Present();
    Pump(true);
}

void SdlHost::SetDisplaySize(int width, int height) {
    if (width == options_.width && height == options_.height) return;
    options_.width = width;
    options_.height = height;
    if (!window_) return;
    if (renderer_) SDL_RenderSetLogicalSize(renderer_, width, height);
    if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP)) {
        const int scale = ScaleThatFits();
        SDL_SetWindowSize(window_, width * scale, height * scale);
    }
}

void SdlHost::ShowFrame(const Frame& frame) {
    if (!renderer_) return;
    if (!texture_ || textureWidth_ != frame.width || textureHeight_ != frame.height) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height);
        textureWidth_ = frame.width;
        textureHeight_ = frame.height;
        if (!texture_) return;
    }
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = frame.palette[i];
        colours[i] = 0xFF000000u | (uint32_t{e.red} << 16) | (uint32_t{e.green} << 8) | e.blue;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
    for (int y = 0; y < frame.height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + y * pitch);
        const uint8_t* source = &frame.indices[static_cast<size_t>(y) * frame.width];
        for (int x = 0; x < frame.width; ++x) row[x] = colours[source[x]];
    }
    SDL_UnlockTexture(texture_);
    Present();
    Pump();
}

void SdlHost::WaitForVerticalBlank() {
    // The next boundary of the display's refresh, counted on the monotonic clock.
    int refresh = 60;
    SDL_DisplayMode mode;
    if (window_ && SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0) {
        refresh = mode.refresh_rate;
    }
    const uint64_t frequency = SDL_GetPerformanceFrequency();
    const uint64_t period = frequency / static_cast<uint64_t>(refresh);
    const uint64_t now = SDL_GetPerformanceCounter();
    const uint64_t next = (now / period + 1) * period;
    const uint64_t waitMs = (next - now) * 1000 / frequency;
    if (waitMs > 1) SDL_Delay(static_cast<Uint32>(waitMs - 1));
    while (SDL_GetPerformanceCounter() < next) {
    }
}

void SdlHost::Present() {
    if (!renderer_) return;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (texture_) SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

void SdlHost::CloseDisplayWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    renderer_ = nullptr;
    window_ = nullptr;
    if (open_) SDL_ShowCursor(SDL_ENABLE);
}

bool SdlHost::CloseRequested() {
    Pump();
    return closeRequested_;
}

}  // namespace tw
