#include "interpreter/arguments.h"

#include <cassert>

#include "frontend/names.h"
#include "interpreter/interpreter.h"

namespace tw {

ArgCursor::ArgCursor(Interpreter& in, const Args& args, TResult& result, int start)
    : in_(in), args_(args), result_(result), position_(start), lastStart_(start) {}

ArgCursor& ArgCursor::StopAt(std::string_view first, std::string_view second) {
    mode_ = Mode::Stops;
    stop1_ = first;
    stop2_ = second;
    return *this;
}

ArgCursor& ArgCursor::Whole() {
    mode_ = Mode::Whole;
    return *this;
}

ArgCursor& ArgCursor::Parts(int count) {
    assert(count >= 1 && count <= kMaxParts);
    mode_ = Mode::Parts;
    SplitArguments(args_.From(position_), count, parts_);
    partCount_ = count;
    position_ = 0;
    return *this;
}

ArgCursor& ArgCursor::OnBadValue(ErrorId id) {
    hasBadValue_ = true;
    badValue_ = id;
    return *this;
}

ArgCursor& ArgCursor::Remember(RowCache* cache) {
    cache_ = cache;
    return *this;
}

bool ArgCursor::Next(EvalResult& out) {
    lastStart_ = position_;
    switch (mode_) {
        case Mode::Parts:
            out = Evaluate(in_, position_ < partCount_ ? parts_[position_] : Args());
            ++position_;
            ++reads_;
            break;
        case Mode::Whole:
            out = Evaluate(in_, args_.From(position_));
            position_ = args_.Count();
            lastStop_ = {};
            ++reads_;
            break;
        case Mode::Stops:
            if (cache_ && reads_ == 0) {
                out = CollectAndEvaluate(in_, args_, position_, cache_, stop1_, stop2_);
                const int count = cache_->collected;
                if (count >= 0) {
                    // Past the expression and the word that ended it (or the end of the tokens).
                    lastStop_ = args_[position_ + count];
                    position_ += count + 1;
                }
                ++reads_;
            } else {
                Args tokens;
                if (!Cut(tokens)) return false;
                out = Evaluate(in_, tokens);
            }
            break;
    }
    if (!out.ok) {
        result_.CopyFailure(out);
        return false;
    }
    return true;
}

bool ArgCursor::BadValue(ErrorId fallback) {
    result_.Fail(hasBadValue_ ? badValue_ : fallback, 0);
    return false;
}

bool ArgCursor::Read(Value& out) {
    EvalResult value;
    if (!Next(value)) return false;
    out = std::move(value.value);
    return true;
}

bool ArgCursor::Integer(int32_t& out) {
    EvalResult value;
    if (!Next(value)) return false;
    if (ToInt32(value.value, out)) return true;
    if (hasBadValue_) return BadValue(badValue_);
    return ValueToInteger(value.value, out, result_);
}

bool ArgCursor::Real(double& out) {
    EvalResult value;
    if (!Next(value)) return false;
    if (ToDouble(value.value, out)) return true;
    return BadValue(ErrorId::TypeMismatch);
}

bool ArgCursor::Text(std::string& out) {
    EvalResult value;
    if (!Next(value)) return false;
    out = value.value.IsStr() ? std::move(value.value.s) : TextOf(value.value);
    return true;
}

bool ArgCursor::Condition(int32_t& out) {
    EvalResult value;
    if (!Next(value)) return false;
    if (!ToInt32(value.value, out) || (out != kTrue && out != kFalse)) {
        result_.Fail(ErrorId::InvalidCondition, 1);
        return false;
    }
    return true;
}

bool ArgCursor::OptionalInteger(int32_t& out) {
    return AtEnd() || Integer(out);
}

bool ArgCursor::Cut(Args& out) {
    assert(mode_ == Mode::Stops);
    lastStart_ = position_;
    Expression expr;
    int end = position_;
    TResult cut;
    CollectExpression(args_, end, stop1_, stop2_, expr, cut);
    if (!cut.ok) {
        result_.CopyFailure(cut);
        return false;
    }
    out = args_.Slice(position_, expr.Count());
    // Past the expression and the word that ended it (or the end of the tokens).
    lastStop_ = args_[position_ + expr.Count()];
    position_ += expr.Count() + 1;
    ++reads_;
    return true;
}

bool ArgCursor::NextIs(std::string_view upperWord) const {
    return mode_ != Mode::Parts && EqualsUpper(Peek(), upperWord);
}

bool ArgCursor::Keyword(std::string_view upperWord) {
    if (!NextIs(upperWord)) return false;
    ++position_;
    return true;
}

bool ArgCursor::AtEnd() const {
    if (mode_ == Mode::Parts) return position_ >= partCount_ || parts_[position_].Count() == 0;
    return Peek().empty();
}

bool ValueToInteger(const Value& value, int32_t& out, TResult& result) {
    if (ToInt32(value, out)) return true;
    double number;
    result.Fail(ToDouble(value, number) ? ErrorId::ValueTooBig : ErrorId::TypeMismatch, 0);
    return false;
}

int ArgumentCount(const Args& args) {
    int n = 0;
    while (n < args.Count() && !args[n].empty()) ++n;
    return n;
}

void SplitArguments(const Args& args, int count, Args* parts) {
    const int n = ArgumentCount(args);
    int start = 0;
    int depth = 0;
    int part = 0;
    for (int i = 0; i < n && part < count - 1; ++i) {
        std::string_view t = args[i];
        if (t == "(")
            ++depth;
        else if (t == ")")
            --depth;
        else if (t == "," && depth == 0) {
            parts[part++] = args.Slice(start, i - start);
            start = i + 1;
        }
    }
    parts[part++] = args.Slice(start, n - start);
    while (part < count) parts[part++] = Args();
}

}  // namespace tw
