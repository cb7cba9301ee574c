#include "platform/sdl/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/headless/headless_host.h"

namespace tw {

SdlHost::SdlHost(Options options) : options_(std::move(options)) {
    if (const char* path = std::getenv("TARNWICK_TRACE"); path && *path) {
        trace_ = std::fopen(path, "a");
    }
}

SdlHost::~SdlHost() {
    CloseDisplayWindow();
    if (open_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (trace_) std::fclose(trace_);
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
    if (!trace_) return;
    std::fwrite(text.data(), 1, text.size(), trace_);
    std::fputc('\n', trace_);
    std::fflush(trace_);
}

void SdlHost::ShowDisplayWindow() {
    if (!open_ || window_) return;
    int scale = options_.scale;
    if (scale <= 0) {
        SDL_Rect usable{0, 0, options_.width, options_.height};
        SDL_GetDisplayUsableBounds(0, &usable);
        scale = std::max(1, std::min(usable.w / options_.width, usable.h / options_.height));
    }
    Uint32 flags = SDL_WINDOW_RESIZABLE;
    if (options_.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ =
        SDL_CreateWindow(options_.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         options_.width * scale, options_.height * scale, flags);
    if (!window_) return;
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_) SDL_RenderSetLogicalSize(renderer_, options_.width, options_.height);
    SDL_ShowCursor(SDL_DISABLE);
    closeRequested_ = false;
    Present();
    Pump(true);
}

void SdlHost::Present() {
    if (!renderer_) return;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
}

void SdlHost::CloseDisplayWindow() {
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
