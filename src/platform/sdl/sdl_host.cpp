#include "platform/sdl/sdl_host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/headless/headless_host.h"
#include "platform/key_script.h"
#include "platform/media_library.h"

namespace tw {

SdlHost::SdlHost(Options options) : options_(std::move(options)) {}

SdlHost::~SdlHost() {
    CloseDisplayWindow();
    if (open_) sdl_->QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlHost::Open(std::string& error) {
    // The library is loaded with the first window: a run without one never loads it.
    sdl_ = LoadSdl(&error);
    if (!sdl_) return false;
    if (sdl_->InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = sdl_->GetError();
        return false;
    }
    open_ = true;
    return true;
}

uint32_t SdlHost::TickCount() {
    return options_.virtualTime ? virtualTick_ : monotonicHold_.Read(MonotonicMilliseconds());
}

uint32_t SdlHost::SystemTickCount() {
    return options_.virtualTime ? virtualTick_ : systemHold_.Read(SystemMilliseconds());
}

void SdlHost::HoldClock(bool held) {
    monotonicHold_.Hold(held, MonotonicMilliseconds());
    systemHold_.Hold(held, SystemMilliseconds());
}

int SdlHost::TakeDebugKey() {
    Pump();
    if (debugKeys_.empty()) return 0;
    const int key = debugKeys_.front();
    debugKeys_.pop_front();
    return key;
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
    while (sdl_->PollEvent(&event)) {
        if (event.type == SDL_QUIT) closeRequested_ = true;
        if (event.type == SDL_KEYDOWN && !event.key.repeat) {
            const int code = event.key.keysym.scancode;
            if (code >= 0 && code < SDL_NUM_SCANCODES) pressedAt_[code] = now | 1u;
            // For a debugger (a few at most are kept: nobody takes them in a plain run).
            const int debugKey = code == SDL_SCANCODE_F7   ? kDebugKeyF7
                                 : code == SDL_SCANCODE_F8 ? kDebugKeyF8
                                 : code == SDL_SCANCODE_F9 ? kDebugKeyF9
                                                           : 0;
            if (debugKey != 0) {
                if (debugKeys_.size() >= 4) debugKeys_.pop_front();
                debugKeys_.push_back(debugKey);
            }
        }
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_RETURN &&
            (event.key.keysym.mod & KMOD_ALT) && window_) {
            const bool full = sdl_->GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
            sdl_->SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
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

bool SdlHost::Held(int scancode, const uint8_t* state, int count, uint32_t now) const {
    if (scancode < count && state[scancode]) return true;
    return scancode < SDL_NUM_SCANCODES && pressedAt_[scancode] != 0 &&
           now - pressedAt_[scancode] < kMinimumPress;
}

bool SdlHost::KeyDown(int virtualKey) {
    if (!window_) return false;
    Pump();
    SDL_Scancode code = ScancodeOfVirtualKey(virtualKey);
    if (code == SDL_SCANCODE_UNKNOWN) return false;
    int count = 0;
    const Uint8* state = sdl_->GetKeyboardState(&count);
    return Held(code, state, count, MonotonicMilliseconds()) &&
           (sdl_->GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS);
}

namespace {

// SDL's scan codes (USB usage numbers) as the PC set-1 scan codes that programs use; 0 for a key
// that has none.
struct ScanCodes {
    uint8_t set1[SDL_NUM_SCANCODES] = {};
    constexpr ScanCodes() {
        auto run = [this](int first, int last, int code) {
            for (int k = first; k <= last; ++k) set1[k] = static_cast<uint8_t>(code++);
        };
        set1[SDL_SCANCODE_ESCAPE] = 1;
        run(SDL_SCANCODE_1, SDL_SCANCODE_0, 2);
        set1[SDL_SCANCODE_MINUS] = 12;
        set1[SDL_SCANCODE_EQUALS] = 13;
        set1[SDL_SCANCODE_BACKSPACE] = 14;
        set1[SDL_SCANCODE_TAB] = 15;
        const SDL_Scancode top[] = {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R,
                                    SDL_SCANCODE_T, SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I,
                                    SDL_SCANCODE_O, SDL_SCANCODE_P};
        for (int i = 0; i < 10; ++i) set1[top[i]] = static_cast<uint8_t>(16 + i);
        set1[SDL_SCANCODE_LEFTBRACKET] = 26;
        set1[SDL_SCANCODE_RIGHTBRACKET] = 27;
        set1[SDL_SCANCODE_RETURN] = 28;
        set1[SDL_SCANCODE_LCTRL] = 29;
        const SDL_Scancode home[] = {SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D,
                                     SDL_SCANCODE_F, SDL_SCANCODE_G, SDL_SCANCODE_H,
                                     SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L};
        for (int i = 0; i < 9; ++i) set1[home[i]] = static_cast<uint8_t>(30 + i);
        set1[SDL_SCANCODE_SEMICOLON] = 39;
        set1[SDL_SCANCODE_APOSTROPHE] = 40;
        set1[SDL_SCANCODE_GRAVE] = 41;
        set1[SDL_SCANCODE_LSHIFT] = 42;
        set1[SDL_SCANCODE_BACKSLASH] = 43;
        set1[SDL_SCANCODE_NONUSHASH] = 43;
        const SDL_Scancode bottom[] = {SDL_SCANCODE_Z, SDL_SCANCODE_X, SDL_SCANCODE_C,
                                       SDL_SCANCODE_V, SDL_SCANCODE_B, SDL_SCANCODE_N,
                                       SDL_SCANCODE_M};
        for (int i = 0; i < 7; ++i) set1[bottom[i]] = static_cast<uint8_t>(44 + i);
        set1[SDL_SCANCODE_COMMA] = 51;
        set1[SDL_SCANCODE_PERIOD] = 52;
        set1[SDL_SCANCODE_SLASH] = 53;
        set1[SDL_SCANCODE_RSHIFT] = 54;
        set1[SDL_SCANCODE_KP_MULTIPLY] = 55;
        set1[SDL_SCANCODE_LALT] = 56;
        set1[SDL_SCANCODE_SPACE] = 57;
        set1[SDL_SCANCODE_CAPSLOCK] = 58;
        run(SDL_SCANCODE_F1, SDL_SCANCODE_F10, 59);
        set1[SDL_SCANCODE_NUMLOCKCLEAR] = 69;
        set1[SDL_SCANCODE_SCROLLLOCK] = 70;
        set1[SDL_SCANCODE_KP_7] = 71;
        set1[SDL_SCANCODE_KP_8] = 72;
        set1[SDL_SCANCODE_KP_9] = 73;
        set1[SDL_SCANCODE_KP_MINUS] = 74;
        set1[SDL_SCANCODE_KP_4] = 75;
        set1[SDL_SCANCODE_KP_5] = 76;
        set1[SDL_SCANCODE_KP_6] = 77;
        set1[SDL_SCANCODE_KP_PLUS] = 78;
        set1[SDL_SCANCODE_KP_1] = 79;
        set1[SDL_SCANCODE_KP_2] = 80;
        set1[SDL_SCANCODE_KP_3] = 81;
        set1[SDL_SCANCODE_KP_0] = 82;
        set1[SDL_SCANCODE_KP_PERIOD] = 83;
        set1[SDL_SCANCODE_NONUSBACKSLASH] = 86;
        set1[SDL_SCANCODE_F11] = 87;
        set1[SDL_SCANCODE_F12] = 88;
        set1[SDL_SCANCODE_KP_EQUALS] = 141;
        set1[SDL_SCANCODE_KP_ENTER] = 156;
        set1[SDL_SCANCODE_RCTRL] = 157;
        set1[SDL_SCANCODE_KP_DIVIDE] = 181;
        set1[SDL_SCANCODE_PRINTSCREEN] = 183;
        set1[SDL_SCANCODE_RALT] = 184;
        set1[SDL_SCANCODE_PAUSE] = 197;
        set1[SDL_SCANCODE_HOME] = 199;
        set1[SDL_SCANCODE_UP] = 200;
        set1[SDL_SCANCODE_PAGEUP] = 201;
        set1[SDL_SCANCODE_LEFT] = 203;
        set1[SDL_SCANCODE_RIGHT] = 205;
        set1[SDL_SCANCODE_END] = 207;
        set1[SDL_SCANCODE_DOWN] = 208;
        set1[SDL_SCANCODE_PAGEDOWN] = 209;
        set1[SDL_SCANCODE_INSERT] = 210;
        set1[SDL_SCANCODE_DELETE] = 211;
        set1[SDL_SCANCODE_LGUI] = 219;
        set1[SDL_SCANCODE_RGUI] = 220;
        set1[SDL_SCANCODE_APPLICATION] = 221;
    }
};
constexpr ScanCodes kScanCodes;

}  // namespace

// The keyboard as the program sees it: like a device that is acquired only while its window
// is in the foreground, it cannot be read when the window has no focus.
bool SdlHost::ReadKeyState(uint8_t state[256]) {
    std::memset(state, 0, 256);
    if (!window_) return false;
    Pump();
    if (!(sdl_->GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS)) return false;
    int count = 0;
    const Uint8* keys = sdl_->GetKeyboardState(&count);
    const uint32_t now = MonotonicMilliseconds();
    for (int k = 0; k < SDL_NUM_SCANCODES; ++k) {
        if (kScanCodes.set1[k] && Held(k, keys, count, now)) state[kScanCodes.set1[k]] = 0x80;
    }
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
    sdl_->ShowSimpleMessageBox(flags, "Tarnwick", body.c_str(), window_);
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
    sdl_->GetDisplayUsableBounds(0, &usable);
    return std::max(1, std::min(usable.w / options_.width, usable.h / options_.height));
}

void SdlHost::ShowDisplayWindow() {
    if (!open_ || window_) return;
    const int scale = ScaleThatFits();
    Uint32 flags = SDL_WINDOW_RESIZABLE;
    if (options_.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ =
        sdl_->CreateWindow(options_.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                           options_.width * scale, options_.height * scale, flags);
    if (!window_) return;
    sdl_->SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // hard-edged pixels, as on the display
    // Frames follow the monitor's refresh where the driver can; PaceFrame holds the same
    // pace by the clock where it cannot.
    renderer_ = sdl_->CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer_) renderer_ = sdl_->CreateRenderer(window_, -1, 0);
    lastFrameCounter_ = 0;
    // The picture keeps its aspect ratio in any window size.
    if (renderer_) sdl_->RenderSetLogicalSize(renderer_, options_.width, options_.height);
    sdl_->ShowCursor(SDL_DISABLE);
    closeRequested_ = false;
    Present();
    Pump(true);
}

void SdlHost::SetDisplaySize(int width, int height) {
    if (width == options_.width && height == options_.height) return;
    options_.width = width;
    options_.height = height;
    if (!window_) return;
    if (renderer_) sdl_->RenderSetLogicalSize(renderer_, width, height);
    if (!(sdl_->GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP)) {
        const int scale = ScaleThatFits();
        sdl_->SetWindowSize(window_, width * scale, height * scale);
    }
}

void SdlHost::ShowFrame(const Frame& frame) {
    if (!renderer_) return;
    if (!texture_ || textureWidth_ != frame.width || textureHeight_ != frame.height) {
        if (texture_) sdl_->DestroyTexture(texture_);
        texture_ = sdl_->CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
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
    if (sdl_->LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
    for (int y = 0; y < frame.height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + y * pitch);
        const uint8_t* source = &frame.indices[static_cast<size_t>(y) * frame.width];
        for (int x = 0; x < frame.width; ++x) row[x] = colours[source[x]];
    }
    sdl_->UnlockTexture(texture_);
    PaceFrame();
    Present();
    Pump();
}

int SdlHost::RefreshRate() const {
    SDL_DisplayMode mode;
    if (window_ && sdl_->GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0) {
        return mode.refresh_rate;
    }
    return 60;
}

// A flip waits as a flip on a flipping chain does: a frame shown less than one refresh after
// the previous one waits for the next refresh, so the screen shows at most one new frame per
// refresh and a game's drawing loop runs at the monitor's pace. A frame shown later than that
// does not wait at all.
void SdlHost::PaceFrame() {
    const uint64_t frequency = sdl_->GetPerformanceFrequency();
    const uint64_t period = frequency / static_cast<uint64_t>(RefreshRate());
    uint64_t now = sdl_->GetPerformanceCounter();
    if (lastFrameCounter_ != 0 && now < lastFrameCounter_ + period) {
        const uint64_t due = lastFrameCounter_ + period;
        const uint64_t waitMs = (due - now) * 1000 / frequency;
        if (waitMs > 1) sdl_->Delay(static_cast<Uint32>(waitMs - 1));
        while ((now = sdl_->GetPerformanceCounter()) < due) {
        }
    }
    lastFrameCounter_ = now;
}

void SdlHost::WaitForVerticalBlank() {
    if (!sdl_) return;
    // The next boundary of the display's refresh, counted on the monotonic clock.
    const int refresh = RefreshRate();
    const uint64_t frequency = sdl_->GetPerformanceFrequency();
    const uint64_t period = frequency / static_cast<uint64_t>(refresh);
    const uint64_t now = sdl_->GetPerformanceCounter();
    const uint64_t next = (now / period + 1) * period;
    const uint64_t waitMs = (next - now) * 1000 / frequency;
    if (waitMs > 1) sdl_->Delay(static_cast<Uint32>(waitMs - 1));
    while (sdl_->GetPerformanceCounter() < next) {
    }
}

void SdlHost::Present() {
    if (!renderer_) return;
    sdl_->SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    sdl_->RenderClear(renderer_);
    if (texture_) sdl_->RenderCopy(renderer_, texture_, nullptr, nullptr);
    sdl_->RenderPresent(renderer_);
}

void SdlHost::CloseDisplayWindow() {
    if (texture_) sdl_->DestroyTexture(texture_);
    texture_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
    if (renderer_) sdl_->DestroyRenderer(renderer_);
    if (window_) sdl_->DestroyWindow(window_);
    renderer_ = nullptr;
    window_ = nullptr;
    if (open_) sdl_->ShowCursor(SDL_ENABLE);
}

bool SdlHost::CloseRequested() {
    Pump();
    return closeRequested_;
}

}  // namespace tw
