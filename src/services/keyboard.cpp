#include "services/keyboard.h"

#include <cstdio>
#include <cstring>

#include "platform/host.h"
#include "platform/key_script.h"

namespace tw {

void StartKeyboardService(KeyBuffer& keys) {
    keys = KeyBuffer{};
    keys.running = true;
}

void StopKeyboardService(KeyBuffer& keys) {
    keys.running = false;
}

// ---------------------------------------------------------------------------------------------
// Translation

namespace {

bool IsLetter(int code) {
    return (code >= 16 && code <= 25) || (code >= 30 && code <= 38) || (code >= 44 && code <= 50);
}

// A key's character without Shift: digits, lower-case letters, punctuation and the keypad.
int PlainCharacter(int code) {
    static constexpr char kLetters[] = "qwertyuiop\0\0\0\0asdfghjkl\0\0\0\0\0zxcvbnm";
    if (code >= 2 && code <= 11) return "1234567890"[code - 2];
    if (IsLetter(code)) return kLetters[code - 16];
    if (code >= 71 && code <= 83) return "789-456+1230."[code - 71];
    switch (code) {
        case 12: return '-';
        case 13: return '=';
        case 15: return '\t';
        case 26: return '[';
        case 27: return ']';
        case 28:
        case 156: return '\n';
        case 39: return ';';
        case 40: return '\'';
        case 41: return '`';
        case 43: return '#';
        case 51: return ',';
        case 52: return '.';
        case 53: return '/';
        case 55: return '*';
        case 57: return ' ';
        case 86: return '\\';
        case 141: return '=';
        case 145: return '@';
        case 146: return ':';
        case 147: return '_';
        case 179: return ',';
        case 181: return '/';
        default: return -1;
    }
}

int UpperLetter(int code) {
    return PlainCharacter(code) - 'a' + 'A';
}

bool IsModifier(int code) {
    return code == scan::kLeftShift || code == scan::kRightShift || code == scan::kLeftCtrl ||
           code == scan::kRightCtrl || code == scan::kLeftAlt || code == scan::kRightAlt;
}

}  // namespace

int ProgramKeyCharacter(int code, bool shift) {
    if (shift && IsLetter(code)) return UpperLetter(code);
    return PlainCharacter(code);
}

int ConsoleKeyCharacter(int code, bool shift) {
    if (shift && code >= 2 && code <= 13) {
        // ! " £ $ % ^ & * ( ) _ +  (the pound sign is character 163)
        static constexpr unsigned char kSymbols[] = {'!', '"', 163, '$', '%', '^',
                                                     '&', '*', '(', ')', '_', '+'};
        return kSymbols[code - 2];
    }
    return ProgramKeyCharacter(code, shift);
}

int LowestKeyDown(const uint8_t state[256]) {
    for (int k = 0; k < 256; ++k) {
        if ((state[k] & 0x80) && !IsModifier(k)) return k;
    }
    return -1;
}

bool ShiftDown(const uint8_t state[256]) {
    return (state[scan::kLeftShift] & 0x80) || (state[scan::kRightShift] & 0x80);
}

// ---------------------------------------------------------------------------------------------
// The device

std::string DirectInputErrorName(uint32_t code) {
    switch (code) {
        case 0: return "DI_OK";
        case 1: return "DI_NOTATTACHED, DI_BUFFEROVERFLOW, DI_PROPNOEFFECT, DI_POLLEDDEVICE";
        case 0x8000000A: return "E_PENDING";
        case 0x80004001: return "DIERR_UNSUPPORTED";
        case 0x80004002: return "DIERR_NOINTERFACE";
        case 0x80004005: return "DIERR_GENERIC";
        case 0x80040110: return "DIERR_NOAGGREGATION";
        case 0x80040154: return "DIERR_DEVICENOTREG";
        case 0x80070002: return "DIERR_OBJECTNOTFOUND";
        case 0x80070005: return "DIERR_OTHERAPPHASPRIO, DIERR_READONLY, DIERR_HANDLEEXISTS";
        case 0x8007000C: return "DIERR_NOTACQUIRED";
        case 0x8007000E: return "DIERR_OUTOFMEMORY";
        case 0x80070015: return "DIERR_NOTINITIALIZED";
        case 0x8007001E: return "DIERR_INPUTLOST";
        case 0x80070057: return "DIERR_INVALIDPARAM";
        case 0x80070077: return "DIERR_BADDRIVERVER";
        case 0x800700AA: return "DIERR_ACQUIRED";
        case 0x8007047E: return "DIERR_OLDDIRECTINPUTVERSION";
        case 0x80070481: return "DIERR_BETADIRECTINPUTVERSION";
        case 0x800704DF: return "DIERR_ALREADYINITIALIZED";
        default: break;
    }
    // No system message table here: the code itself, as the fallback text gives it.
    char text[40];
    std::snprintf(text, sizeof text, "Unknown Error (%d)", static_cast<int32_t>(code));
    return text;
}

bool ReadKeyboardState(Host& host, uint8_t state[256]) {
    if (host.ReadKeyState(state)) return true;
    std::memset(state, 0, 256);
    host.Trace(DirectInputErrorName(kDiErrNotAcquired));
    return false;
}

// ---------------------------------------------------------------------------------------------
// The service

namespace {

void Produce(KeyBuffer& keys, Host& host, int code, bool shift) {
    const int c = ProgramKeyCharacter(code, shift);
    if (c < 0) {
        host.Trace(std::to_string(code));  // a key without a character
        return;
    }
    if (keys.count >= KeyBuffer::kSize) {
        // Full: the oldest character makes room, so the newest presses are the ones kept.
        std::memmove(&keys.characters[0], &keys.characters[1], KeyBuffer::kSize - 1);
        keys.count = KeyBuffer::kSize - 1;
    }
    keys.characters[keys.count++] = static_cast<uint8_t>(c);
    ++keys.produced;
}

}  // namespace

void ServiceKeyboard(KeyBuffer& keys, Host& host) {
    uint8_t state[256];
    if (!ReadKeyboardState(host, state)) return;
    const int key = LowestKeyDown(state);
    // The tick count wraps: the time since the last character is taken modulo 2^32.
    const uint32_t now = host.TickCount();
    if (key < 0) {
        keys.lastKey = 0;
        return;
    }
    if (key == keys.lastKey) {
        if (now - static_cast<uint32_t>(keys.lastKeyTime) >=
            static_cast<uint32_t>(keys.repeatInterval)) {
            Produce(keys, host, key, ShiftDown(state));
            keys.lastKeyTime = static_cast<int32_t>(now);
        }
        return;
    }
    Produce(keys, host, key, ShiftDown(state));
    keys.lastKey = static_cast<uint8_t>(key);
    keys.lastKeyTime = static_cast<int32_t>(now);
}

bool TakeKey(KeyBuffer& keys, Host& host, char& out) {
    if (keys.count < 1) return false;
    --keys.count;
    out = static_cast<char>(keys.characters[keys.count]);
    std::string line = std::to_string(keys.count) + ">  ";
    line.push_back(out);
    host.Trace(line);
    return true;
}

}  // namespace tw
