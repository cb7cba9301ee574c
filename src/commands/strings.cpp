// String functions. Positions are 1-based and characters are single bytes.

#include <string.h>

#include <algorithm>

#include "commands/registry.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// The arguments of a string function, cut at top-level commas and evaluated one by one in order.
// A failed evaluation passes the evaluator's failure on; a value that does not convert is RTE
// (37).
class StringArguments {
public:
    StringArguments(Interpreter& in, const Args& args, int count, FunctionResult& result)
        : a_(in, args, result) {
        a_.Parts(count).OnBadValue(ErrorId::StringParameters);
        result.ok = true;
    }
    // Whether the next argument has any token (an optional argument was given).
    bool Given() const { return !a_.AtEnd(); }
    bool Text(std::string& out) { return a_.Text(out); }
    bool Integer(int32_t& out) { return a_.Integer(out); }
    bool Fail() {
        a_.result().Fail(ErrorId::StringParameters, 0);
        return false;
    }

private:
    ArgCursor a_;
};

// Keeps n characters from `from` (clamped to the text).
std::string Cut(const std::string& s, int64_t from, int64_t n) {
    if (n <= 0 || from >= static_cast<int64_t>(s.size())) return std::string();
    if (from < 0) from = 0;
    n = std::min<int64_t>(n, static_cast<int64_t>(s.size()) - from);
    return s.substr(static_cast<size_t>(from), static_cast<size_t>(n));
}

// The copies are doubled rather than appended one by one: a short unit repeated millions of
// times costs a few large copies.
std::string Repeated(const std::string& unit, int32_t n) {
    if (n < 1 || unit.empty()) return std::string();
    const size_t total = unit.size() * static_cast<size_t>(n);
    std::string out;
    out.reserve(total);
    out = unit;
    while (out.size() < total) out.append(out, 0, std::min(out.size(), total - out.size()));
    return out;
}

constexpr int64_t kMaxStringLength = static_cast<int64_t>(kMaxTextLength);

// The quick forms' reads of their arguments, as StringArguments reads them: a text as it
// stands, anything else written out into `scratch`.
const std::string& TextArgument(const Value& v, std::string& scratch) {
    if (v.IsStr()) return v.s;
    scratch = TextOf(v);
    return scratch;
}

// Cut, into the result's own storage.
void CutInto(Value& out, const std::string& s, int64_t from, int64_t n) {
    out.type = ValueType::Str;
    if (n <= 0 || from >= static_cast<int64_t>(s.size())) {
        out.s.clear();
        return;
    }
    if (from < 0) from = 0;
    n = std::min<int64_t>(n, static_cast<int64_t>(s.size()) - from);
    out.s.assign(s, static_cast<size_t>(from), static_cast<size_t>(n));
}

bool LeftQuick(Interpreter&, Value* args, Value& out) {
    int32_t n;
    if (!ToInt32(args[1], n)) return false;
    std::string scratch;
    CutInto(out, TextArgument(args[0], scratch), 0, n);
    return true;
}

bool RightQuick(Interpreter&, Value* args, Value& out) {
    int32_t n;
    if (!ToInt32(args[1], n)) return false;
    std::string scratch;
    const std::string& s = TextArgument(args[0], scratch);
    const int64_t keep = std::min<int64_t>(n, static_cast<int64_t>(s.size()));
    CutInto(out, s, static_cast<int64_t>(s.size()) - keep, keep);
    return true;
}

bool MidQuick(Interpreter&, Value* args, Value& out) {
    int32_t start, count;
    if (!ToInt32(args[1], start) || !ToInt32(args[2], count)) return false;
    if (start < 1) start = 1;
    std::string scratch;
    CutInto(out, TextArgument(args[0], scratch), int64_t{start} - 1, count);
    return true;
}

bool LenQuick(Interpreter&, Value* args, Value& out) {
    const size_t length = args[0].IsStr() ? args[0].s.size() : TextOf(args[0]).size();
    out.type = ValueType::Int;
    out.i = static_cast<int32_t>(std::min<size_t>(length, INT32_MAX));
    return true;
}

void LeftFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 2, result);
    std::string s;
    int32_t n;
    if (!a.Text(s) || !a.Integer(n)) return;
    result.value = Value::Str(Cut(s, 0, n));
}

void RightFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 2, result);
    std::string s;
    int32_t n;
    if (!a.Text(s) || !a.Integer(n)) return;
    int64_t keep = std::min<int64_t>(n, static_cast<int64_t>(s.size()));
    result.value = Value::Str(Cut(s, static_cast<int64_t>(s.size()) - keep, keep));
}

void MidFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 3, result);
    std::string s;
    int32_t start, count;
    if (!a.Text(s) || !a.Integer(start) || !a.Integer(count)) return;
    if (start < 1) start = 1;
    result.value = Value::Str(Cut(s, int64_t{start} - 1, count));
}

}  // namespace

// memmem's two-way search is linear in the lengths whatever the texts hold, where trying each
// position in turn is not (a long run of one letter searched for itself with another at its end).
int32_t FindText(std::string_view s, std::string_view sub, int32_t start) {
    const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    if (from > s.size() || sub.size() > s.size() - from) return -1;
    if (sub.empty()) return static_cast<int32_t>(from + 1);
    const void* at = memmem(s.data() + from, s.size() - from, sub.data(), sub.size());
    if (!at) return -1;
    return static_cast<int32_t>(static_cast<const char*>(at) - s.data() + 1);
}

namespace {

// The first position at or after start where sub occurs, or -1.
void InstrFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 3, result);
    std::string s, sub;
    int32_t start = 1;
    if (!a.Text(s) || !a.Text(sub)) return;
    if (a.Given() && !a.Integer(start)) return;
    result.value = Value::Int(FindText(s, sub, start));
}

void UppercaseFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    std::string s;
    if (!a.Text(s)) return;
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    result.value = Value::Str(std::move(s));
}

void LowercaseFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    std::string s;
    if (!a.Text(s)) return;
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    result.value = Value::Str(std::move(s));
}

void StringFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 2, result);
    std::string s;
    int32_t n;
    if (!a.Text(s) || !a.Integer(n)) return;
    if (n > kMaxStringLength) {
        a.Fail();
        return;
    }
    result.value = Value::Str(s.empty() || n < 1 ? std::string() : std::string(n, s[0]));
}

// n blanks; none for n below 1.
void SpaceFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    int32_t n;
    if (!a.Integer(n)) return;
    if (n > kMaxStringLength) {
        a.Fail();
        return;
    }
    result.value = Value::Str(n < 1 ? std::string() : std::string(n, ' '));
}

void FlipFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    std::string s;
    if (!a.Text(s)) return;
    std::reverse(s.begin(), s.end());
    result.value = Value::Str(std::move(s));
}

void RepeatFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 2, result);
    std::string s;
    int32_t n;
    if (!a.Text(s) || !a.Integer(n)) return;
    if (n > 0 && static_cast<int64_t>(s.size()) * n > kMaxStringLength) {
        a.Fail();
        return;
    }
    result.value = Value::Str(Repeated(s, n));
}

void ChrFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    int32_t n;
    if (!a.Integer(n)) return;
    result.value = Value::Str(std::string(1, static_cast<char>(static_cast<uint32_t>(n) & 0xFF)));
}

void AscFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    std::string s;
    if (!a.Text(s)) return;
    if (s.empty()) {
        a.Fail();
        return;
    }
    result.value = Value::Int(static_cast<unsigned char>(s[0]));
}

void LenFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    std::string s;
    if (!a.Text(s)) return;
    result.value = Value::Int(static_cast<int32_t>(std::min<size_t>(s.size(), INT32_MAX)));
}

// STR: the text form of its argument's value.
void StrFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    std::string s;
    if (!a.Text(s)) return;
    result.value = Value::Str(std::move(s));
}

// The longest number at the start of a text (after blanks), as VAL reads it; 0 when there is
// none.
double LeadingNumber(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    const size_t begin = i;
    auto digits = [&](size_t& k) {
        size_t from = k;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
        return k - from;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t mantissa = digits(i);
    if (i < s.size() && s[i] == '.') {
        size_t k = i + 1;
        size_t fraction = digits(k);
        if (mantissa + fraction > 0) {
            i = k;
            mantissa += fraction;
        }
    }
    if (mantissa == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t k = i + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (digits(k) > 0) i = k;
    }
    double value = 0;
    return ParseDecimal(s.substr(begin, i - begin), value) ? value : 0;
}

// VAL: the number its argument's text denotes, read from its start; 0 when it denotes none.
void ValFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    StringArguments a(in, args, 1, result);
    std::string s;
    if (!a.Text(s)) return;
    result.value = Value::Real(LeadingNumber(s));
}

// The language has no arrays, so SORT and MATCH have nothing to work on.
void SortFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.Fail(ErrorId::SortUnavailable, 0);
}

void MatchFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.Fail(ErrorId::MatchUnavailable, 0);
}

}  // namespace

void RegisterStringFunctions(FunctionTable& functions) {
    functions.Bind(FunctionId::LEFT, LeftFunction);
    functions.BindQuick(FunctionId::LEFT, LeftQuick, 2);
    functions.Bind(FunctionId::RIGHT, RightFunction);
    functions.BindQuick(FunctionId::RIGHT, RightQuick, 2);
    functions.Bind(FunctionId::MID, MidFunction);
    functions.BindQuick(FunctionId::MID, MidQuick, 3);
    functions.Bind(FunctionId::INSTR, InstrFunction);
    functions.Bind(FunctionId::UPPERCASE, UppercaseFunction);
    functions.Bind(FunctionId::LOWERCASE, LowercaseFunction);
    functions.Bind(FunctionId::STR, StrFunction);
    functions.Bind(FunctionId::VAL, ValFunction);
    functions.Bind(FunctionId::STRING, StringFunction);
    functions.Bind(FunctionId::SPACE, SpaceFunction);
    functions.Bind(FunctionId::FLIP, FlipFunction);
    functions.Bind(FunctionId::REPEAT, RepeatFunction);
    functions.Bind(FunctionId::CHR, ChrFunction);
    functions.Bind(FunctionId::ASC, AscFunction);
    functions.Bind(FunctionId::LEN, LenFunction);
    functions.BindQuick(FunctionId::LEN, LenQuick, 1);
    functions.Bind(FunctionId::SORT, SortFunction);
    functions.Bind(FunctionId::MATCH, MatchFunction);
}

}  // namespace tw
