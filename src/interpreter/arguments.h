#pragma once
// One way to read a handler's arguments. An ArgCursor walks a statement's argument tokens (or a
// function call's raw tokens) from left to right: it reads expressions as integers, reals,
// texts or truth values, and words such as TO or SCREEN. A read that does not succeed fills the
// handler's result record with the failure and its token, so a handler only says what it
// expects:
//
//     ArgCursor a(in, args, result);
//     int32_t n, w, h;
//     if (!a.Integer(n) || !a.Integer(w) || !a.Integer(h)) return;
//
// Expression reads are cut in one of three ways: at stop words (a "," by default), as the whole
// rest of the tokens, or, for a function call, at its top-level commas.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "interpreter/errors.h"
#include "interpreter/expression.h"
#include "interpreter/results.h"

namespace tw {

class Interpreter;
struct RowCache;

class ArgCursor {
public:
    ArgCursor(Interpreter& in, const Args& args, TResult& result, int start = 0)
        : in_(in), args_(args), result_(result), position_(start), lastStart_(start) {}

    // How expression reads are cut.
    //
    // At one of two words (any case) at parenthesis depth 0, or at the end of the tokens; the
    // word that ended a read is consumed. An empty word matches the end of the tokens.
    ArgCursor& StopAt(std::string_view first, std::string_view second = {}) {
        mode_ = Mode::Stops;
        stop1_ = first;
        stop2_ = second;
        return *this;
    }
    // The whole rest of the tokens is one expression.
    ArgCursor& Whole() {
        mode_ = Mode::Whole;
        return *this;
    }
    // A function's arguments: the tokens up to the first empty one are cut at top-level commas
    // into `count` parts (at most kMaxParts), the last part running to the end; each read takes
    // the next part, an empty one when none is left.
    ArgCursor& Parts(int count);
    static constexpr int kMaxParts = 4;

    // What a value that does not convert fails with, and at which token. Without this, an
    // integer read fails with the evaluator's "Value too big" (a number out of range) or "Type
    // mismatch" (anything else), and a real read with "Type mismatch", at token 0.
    ArgCursor& OnBadValue(ErrorId id, int32_t token = 0) {
        hasBadValue_ = true;
        badValue_ = id;
        badValueToken_ = token;
        return *this;
    }
    // The first expression read keeps its cut and the evaluator's facts in the running row's
    // cache (null: nothing is kept).
    ArgCursor& Remember(RowCache* cache) {
        cache_ = cache;
        return *this;
    }

    // Reads; each returns false when it failed, with the result record filled.
    bool Read(Value& out);
    bool Integer(int32_t& out);
    bool Real(double& out);
    bool Text(std::string& out);
    // True (0) or False (-1); any other value fails with RTE (66) at token 1.
    bool Condition(int32_t& out);
    // An integer when one is given (the tokens have not ended); `out` is kept otherwise.
    bool OptionalInteger(int32_t& out);
    // The next expression's tokens, cut as a read cuts them but not evaluated (Stops mode).
    bool Cut(Args& out);

    // Words.
    std::string_view Peek(int ahead = 0) const { return args_[position_ + ahead]; }
    // Whether the next token is the (upper-case) word, in any case.
    bool NextIs(std::string_view upperWord) const;
    // Consumes the next token when it is the word.
    bool Keyword(std::string_view upperWord);
    void Skip(int n = 1) { position_ += n; }
    // No token is left (in Parts mode: no part holds a token).
    bool AtEnd() const;

    // Where the cursor is: the next token's index, where the last expression read began, and
    // the stop word that ended it (empty when it ran to the end of the tokens).
    int Position() const { return position_; }
    int LastStart() const { return lastStart_; }
    std::string_view LastStop() const { return lastStop_; }

    TResult& result() { return result_; }

private:
    enum class Mode : uint8_t { Stops, Whole, Parts };
    // Takes the next expression's tokens and evaluates them: the one place a read evaluates.
    EvalResult Next();
    // Copies a failure into the result record; false.
    bool Failed(const TResult& failure);
    void Advance(int count);
    bool BadValue(ErrorId fallback);

    Interpreter& in_;
    Args args_;
    TResult& result_;
    Mode mode_ = Mode::Stops;
    std::string_view stop1_ = ",", stop2_;
    int position_ = 0;
    int lastStart_ = 0;
    std::string_view lastStop_;
    std::optional<std::array<Args, kMaxParts>> parts_;  // Parts mode only
    int partCount_ = 0;
    bool hasBadValue_ = false;
    ErrorId badValue_ = ErrorId::TypeMismatch;
    int32_t badValueToken_ = 0;
    RowCache* cache_ = nullptr;
    int reads_ = 0;
};

// Converts a value to an integer (half to even): a text that is no number fails with "Type
// mismatch", a number out of the 32-bit range with "Value too big for variable.".
bool ValueToInteger(const Value& value, int32_t& out, TResult& result);

// Cuts a function's raw argument tokens at top-level commas into `count` parts: each part runs
// to the next comma, the last one to the end of the tokens. Missing parts are empty.
void SplitArguments(const Args& args, int count, Args* parts);

// The tokens of a function's arguments up to the first empty token.
int ArgumentCount(const Args& args);

}  // namespace tw
