#pragma once
// The scanner and the fill of the token buffer from source lines.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/token_buffer.h"

namespace tw {

// Where the environment shows the progress of a fill or a validation. The default does nothing.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void Show(int32_t colour, int maximum) { (void)colour, (void)maximum; }
    virtual void Set(int position) { (void)position; }
    virtual void Hide() {}
    virtual void Pump() {}  // let pending window messages run
};

inline constexpr int32_t kGaugeBlue = 16711680;
inline constexpr int32_t kGaugeGreen = 32768;
inline constexpr int kMaxSourceLines = 2001;
inline constexpr int kLineTokenSlots = 201;
inline constexpr int kMaxLineTokens = 199;

// Returns the next token at or after the 1-based `position` and advances it past what was read;
// the empty string when the line holds no further token.
std::string NextToken(int& position, std::string_view line);

struct TokenizeLineResult {
    std::vector<std::string> tokens;  // the line's tokens in order (at most 199 on success)
    bool failed = false;
    std::string message;
    int32_t code = 0;
};

TokenizeLineResult TokenizeLine(std::string_view line);

struct TokenizeSuccess {
    bool failed = false;
    std::string message;
    int32_t code = 0;
    int32_t line = -1;  // the source line (0-based) that failed, -1 for the whole source
};

// Clears the buffer and fills it from the source lines: one row per statement, REM and blank
// lines dropped, one-line IF ... THEN ... ELSE ... split into block rows.
TokenizeSuccess FillTokenBuffer(const std::vector<std::string>& lines, TokenBuffer& buffer,
                                ProgressSink* progress = nullptr);

// Splits a file's bytes into lines at CR LF, LF or CR; a final line end adds no empty line. A
// text of more than kMaxSourceLines lines gives one line more than that, and no more.
std::vector<std::string> SplitSourceLines(std::string_view text);

extern const char* const kSourceBufferMessage;
extern const char* const kTokenBufferMessage;
extern const char* const kRowBufferMessage;

}  // namespace tw
