#pragma once
// The expression evaluator. It works on token texts: variables and function calls are replaced
// by the text of their values, the kind of the expression is decided from the texts, the
// operands of *, / and \ are grouped in parentheses, and the list is reduced from left to
// right on a stack of parenthesis levels. +, -, the comparisons, AND and OR share one level.

#include <array>
#include <cstdint>
#include <string_view>

#include "interpreter/results.h"
#include "interpreter/value.h"

namespace tw {

enum class OperatorCode : uint8_t {
    Add = 0,
    Subtract = 1,
    Multiply = 2,
    IntegerDivide = 3,
    Divide = 4,
    And = 5,
    Or = 6,
    Less = 7,
    Greater = 8,
    Equal = 9,
    GreaterEqual = 10,
    LessEqual = 11,
    NotEqual = 12,
    None = 13,
};

enum class ExpressionKind : uint8_t { Integer = 0, Real = 1, String = 2 };

inline constexpr uint8_t kResetLevelKind = 3;

struct ExpressionLevel {
    uint8_t kind = kResetLevelKind;
    Value value;
    OperatorCode op = OperatorCode::None;
};

// The levels persist between evaluations; a run start resets them.
struct ExpressionStack {
    static constexpr int kLevels = 51;
    std::array<ExpressionLevel, kLevels> levels{};
    int stackLevel = 0;
    // Set when a level takes a big text (kBigText): the run loop then gives back the levels'
    // spare storage (Interpreter::ReleaseSpareText) at its next look at the host.
    bool bigTextHeld = false;
    void Reset() {
        for (auto& l : levels) l = ExpressionLevel{};
        stackLevel = 0;
        bigTextHeld = false;
    }
    void ResetLevelsUpTo(int top);
};

struct EvalResult : TResult {
    ExpressionKind kind = ExpressionKind::Integer;
    Value value;
};

// The tokens of one expression, as CollectExpression cuts them (at most 50).
class Expression {
public:
    static constexpr int kMaxTokens = 50;
    Args AsArgs() const { return Args(tokens_.data(), count_, program_); }
    int Count() const { return count_; }
    std::string_view operator[](int i) const {
        return i < count_ ? tokens_[i] : std::string_view();
    }
    bool Push(std::string_view token) {
        if (count_ >= kMaxTokens) return false;
        tokens_[count_++] = token;
        return true;
    }
    void Clear(bool program = false) {
        count_ = 0;
        program_ = program;
    }

private:
    std::array<std::string_view, kMaxTokens> tokens_;  // only the first count_ are set
    int count_ = 0;
    bool program_ = false;
};

// Where an expression ends: the number of its tokens (-1 when it cannot be cut), and whether a
// stop word ended it (else the end of the tokens).
struct ExpressionCut {
    int count = -1;
    bool atStopWord = false;
};

// CollectExpression's rules without the copy: the tokens from `start` that it would take.
ExpressionCut CutExpression(const Args& source, int start, std::string_view stop1,
                            std::string_view stop2, TResult& status);

// Copies tokens from `start` while the parenthesis depth is 0 and the token (upper case) equals
// neither stop word; an empty stop word matches the end of the tokens. When it stopped at a stop
// word, `start` becomes that word's index minus 1. Fails (in `status`) when the expression has
// more than 50 tokens or its parentheses do not balance.
void CollectExpression(const Args& source, int& start, std::string_view stop1,
                       std::string_view stop2, Expression& out, TResult& status);

// Evaluates up to 200 tokens.
EvalResult Evaluate(Interpreter& in, const Args& tokens);

struct RowCache;

// Collects the expression at `start` (up to a stop word at depth 0; empty stop words stop at
// the end) and evaluates it. With the running row's cache, the collection and the evaluator's
// facts are kept there: a row's command collects the same expression every time.
EvalResult CollectAndEvaluate(Interpreter& in, const Args& tokens, int start = 0,
                              RowCache* cache = nullptr, std::string_view stop1 = {},
                              std::string_view stop2 = {});

}  // namespace tw
