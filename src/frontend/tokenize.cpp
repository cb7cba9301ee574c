#include "frontend/tokenize.h"

#include <utility>

#include "frontend/names.h"

namespace tw {

const char* const kSourceBufferMessage =
    "Error #002 : Testing Failed, could not test this program as there was not enough `Source "
    "Buffer` space to check your program for errors. Please check and increase of the amount of "
    "`Source Buffer` space allocated.";
const char* const kTokenBufferMessage =
    "Error #002 - Testing Failed, there was not enough `Token Buffer` space to check your program "
    "for errors. Please check and increase the amount of `Token Buffer` space allocated.";
// One-line IF statements are split into several rows; a program can thus need more rows than
// it has lines. The buffer holds rows 0..2000.
const char* const kRowBufferMessage =
    "Error #002 : Testing Failed, could not test this program as there was not enough `Token "
    "Buffer` space to check your program for errors: it needs more than 2001 statement rows once "
    "its one-line IF statements are split. Please shorten the program.";

namespace {

bool IsDelimiter(char c) {
    switch (c) {
        case '(':
        case ')':
        case '`':
        case '$':
        case '%':
        case '^':
        case '&':
        case '*':
        case '=':
        case '[':
        case ']':
        case ':':
        case ';':
        case '<':
        case '>':
        case '/':
        case '?':
        case '\\':
        case ',':
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string NextToken(int& position, std::string_view line) {
    const int length = static_cast<int>(line.size());
    bool skipping = true;
    bool inString = false;
    std::string word;
    for (int i = position < 1 ? 1 : position; i <= length; ++i) {
        char c = line[i - 1];
        if (c == '\t') c = ' ';
        if (skipping && c != ' ') skipping = false;
        if (!skipping && c == '"') {
            if (inString) {
                word.push_back(c);
                position = i + 1;
                return word;
            }
            inString = true;
        }
        if (inString || skipping || !IsDelimiter(c)) {
            if (!skipping && !inString && c != ' ') word.push_back(c);
            if (!skipping && inString) word.push_back(c);
            if (!skipping && !inString && (c == ' ' || i == length)) {
                position = i + 1;
                return word;
            }
            continue;
        }
        // A delimiter outside a string.
        if (!word.empty()) {
            position = i;  // read again by the next call
            return word;
        }
        if (c != '<' && c != '>') {
            position = i + 1;
            return std::string(1, c);
        }
        char d = i < length ? line[i] : '\0';
        if (d == '=' || d == '>') {
            position = i + 2;
            return std::string{c, d};
        }
        position = i + 1;
        return std::string(1, c);
    }
    // End of line: an unterminated string literal (with what was joined to its front) is dropped.
    return std::string();
}

TokenizeLineResult TokenizeLine(std::string_view line) {
    TokenizeLineResult result;
    int position = 1;
    for (;;) {
        std::string token = NextToken(position, line);
        if (token.empty()) return result;
        result.tokens.push_back(std::move(token));
        if (static_cast<int>(result.tokens.size()) >= kMaxLineTokens + 1) {
            result.failed = true;
            result.code = 2;
            result.message = kTokenBufferMessage;
            return result;
        }
    }
}

TokenizeSuccess FillTokenBuffer(const std::vector<std::string>& lines, TokenBuffer& buffer,
                                ProgressSink* progress) {
    ProgressSink none;
    ProgressSink& gauge = progress ? *progress : none;
    TokenizeSuccess result;
    const int lineCount = static_cast<int>(lines.size());
    gauge.Show(kGaugeBlue, lineCount - 1);
    gauge.Pump();

    auto fail = [&](int32_t code, std::string message, int32_t line = -1) {
        result.failed = true;
        result.code = code;
        result.message = std::move(message);
        result.line = line;
        gauge.Hide();
        return result;
    };

    if (lineCount > kMaxSourceLines) return fail(2, kSourceBufferMessage);
    buffer.Clear();

    int row = 0;
    for (int n = 0; n < lineCount; ++n) {
        gauge.Set(n);
        TokenizeLineResult line = TokenizeLine(lines[n]);
        if (line.failed) return fail(line.code, line.message, n);
        const std::vector<std::string>& slots = line.tokens;
        if (slots.empty() || EqualsUpper(slots[0], "REM")) continue;

        auto slot = [&](size_t j) -> const std::string& {
            return j < slots.size() ? slots[j] : EmptyToken();
        };
        // Writing a cell past row 2000 means the split program does not fit.
        bool overflow = false;
        auto put = [&](int r, int c, const std::string& token) {
            if (r >= kTokenRows) {
                overflow = true;
                return;
            }
            buffer.Set(r, c, token, n);
        };

        size_t j = 0;
        int k = 0;
        bool thenSplit = false;
        while (!slot(j).empty()) {
            if (EqualsUpper(slot(j), "ELSE") && !slot(j + 1).empty()) {
                // ELSE with a statement after it gets a row of its own. When it opens the
                // line (k is 0) the current row is still empty and takes it: moving on first
                // would leave an empty row, which ends the program.
                if (k > 0) ++row;
                put(row, 0, slot(j));
                ++row;
                ++j;
                k = 0;
            }
            put(row, k, slot(j));
            if (EqualsUpper(slot(j), "THEN") && !slot(j + 1).empty()) {
                thenSplit = true;
                ++row;
                k = -1;
            }
            ++j;
            ++k;
            if (overflow) return fail(2, kRowBufferMessage, n);
        }
        ++row;
        if (thenSplit) {
            put(row, 0, "ENDIF");
            ++row;
        }
        if (overflow) return fail(2, kRowBufferMessage, n);
    }
    gauge.Hide();
    return result;
}

std::vector<std::string> SplitSourceLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    // One line past the most a program may have is enough to refuse it: the rest is not split.
    while (i < text.size() && lines.size() <= static_cast<size_t>(kMaxSourceLines)) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size() && lines.size() <= static_cast<size_t>(kMaxSourceLines)) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

}  // namespace tw
