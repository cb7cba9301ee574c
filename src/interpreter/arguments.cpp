#include "interpreter/arguments.h"

#include <cassert>

#include "frontend/names.h"
#include "interpreter/interpreter.h"

namespace tw {

ArgCursor& ArgCursor::Parts(int count) {
    assert(count >= 1 && count <= kMaxParts);
    mode_ = Mode::Parts;
    SplitArguments(args_.From(position_), count, parts_.emplace().data());
    partCount_ = count;
    position_ = 0;
    return *this;
}

EvalResult ArgCursor::Next() {
    lastStart_ = position_;
    ++reads_;
    switch (mode_) {
        case Mode::Parts: {
            const int part = position_++;
            return Evaluate(in_, part < partCount_ ? (*parts_)[part] : Args());
        }
        case Mode::Whole: {
            const Args rest = args_.From(position_);
            position_ = args_.Count();
            lastStop_ = {};
            return Evaluate(in_, rest);
        }
        case Mode::Stops:
            break;
    }
    const int start = position_;
    if (cache_ && reads_ == 1) {
        // The row's first expression: its cut is kept after the first time.
        if (cache_->collected >= 0) {
            Advance(cache_->collected);
            return CollectAndEvaluate(in_, args_, start, cache_, stop1_, stop2_);
        }
        EvalResult first = CollectAndEvaluate(in_, args_, start, cache_, stop1_, stop2_);
        if (cache_->collected >= 0) Advance(cache_->collected);
        return first;
    }
    EvalResult cutFailure;
    const ExpressionCut cut = CutExpression(args_, start, stop1_, stop2_, cutFailure);
    if (!cutFailure.ok) return cutFailure;
    Advance(cut.count);
    return Evaluate(in_, args_.Slice(start, cut.count));
}

bool ArgCursor::Failed(const TResult& failure) {
    result_.CopyFailure(failure);
    return false;
}

// Past an expression of `count` tokens and the word that ended it (or the end of the tokens).
void ArgCursor::Advance(int count) {
    lastStop_ = args_[position_ + count];
    position_ += count + 1;
}

bool ArgCursor::BadValue(ErrorId fallback) {
    if (hasBadValue_) {
        result_.FailWith(badValue_, badValueToken_);
    } else {
        result_.FailWith(fallback, 0);
    }
    return false;
}

bool ArgCursor::Read(Value& out) {
    EvalResult value = Next();
    if (!value.ok) return Failed(value);
    out = std::move(value.value);
    return true;
}

bool ArgCursor::Integer(int32_t& out) {
    const EvalResult value = Next();
    if (!value.ok) return Failed(value);
    if (ToInt32(value.value, out)) return true;
    if (hasBadValue_) return BadValue(badValue_);
    return ValueToInteger(value.value, out, result_);
}

bool ArgCursor::Real(double& out) {
    const EvalResult value = Next();
    if (!value.ok) return Failed(value);
    if (ToDouble(value.value, out)) return true;
    return BadValue(ErrorId::TypeMismatch);
}

bool ArgCursor::Text(std::string& out) {
    EvalResult value = Next();
    if (!value.ok) return Failed(value);
    out = value.value.IsStr() ? std::move(value.value.s) : TextOf(value.value);
    return true;
}

bool ArgCursor::Condition(int32_t& out) {
    const EvalResult value = Next();
    if (!value.ok) return Failed(value);
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
    ++reads_;
    TResult status;
    const ExpressionCut cut = CutExpression(args_, position_, stop1_, stop2_, status);
    if (!status.ok) {
        result_.CopyFailure(status);
        return false;
    }
    out = args_.Slice(position_, cut.count);
    Advance(cut.count);
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
    if (mode_ == Mode::Parts) return position_ >= partCount_ || (*parts_)[position_].Count() == 0;
    return Peek().empty();
}

bool ValueToInteger(const Value& value, int32_t& out, TResult& result) {
    if (ToInt32(value, out)) return true;
    double number;
    result.FailWith(ToDouble(value, number) ? ErrorId::ValueTooBig : ErrorId::TypeMismatch, 0);
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
