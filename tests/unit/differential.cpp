// Differential runs.
//
// Sections: choices; the program generator; shrinking and mutation; tracing a run; comparing two
// runs.

#include "differential.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "test_support.h"

namespace tw::diff {

// ---------------------------------------------------------------------------------------------
// Choices

uint32_t ByteChoices::Below(uint32_t n) {
    if (n <= 1) return 0;
    const int bytes = n <= 0x100 ? 1 : (n <= 0x10000 ? 2 : 4);
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | (position_ < size_ ? data_[position_++] : 0u);
    return v % n;
}

// ---------------------------------------------------------------------------------------------
// The program generator

namespace {

using Tokens = std::vector<std::string>;

// Numbers a program commonly holds, and numbers on the edges of the value model.
constexpr std::string_view kNumbers[] = {"0",   "1",    "2",   "3",    "5",   "7",
                                         "10",  "-1",   "-2",  "100",  "0.5", "1.5",
                                         "2.5", "-0.5", "0.1", "0.25", "2.0", "3.14159"};
constexpr std::string_view kEdgeNumbers[] = {
    // the 32-bit range
    "2147483647", "2147483648", "-2147483648", "-2147483647", "65536", "255",
    // halves that round to even; reals that no double holds exactly
    "-2.5", "4.5", "0.2", "0.3", "0.0001", "1E-5",
    // the 15 digits of a real's text
    "1E14", "1E15", "-1E15", "99999999999999.9", "123456789012345", "0.333333333333333", "1E5",
    "1.0",
    // the ends of the 6-byte real
    "1E38", "1.7E38", "1.8E38", "1E300", "1E-40"};
// Quoted texts: plain ones, and ones that read as numbers, operators, parentheses or truth
// values once a variable's value re-enters an expression as text.
constexpr std::string_view kPlainTexts[] = {"\"ABC\"", "\"x\"", "\"Hello world\"", "\"\"",
                                            "\" \"",   "\"7\"", "\"0123\"",        "\"2.5\""};
constexpr std::string_view kTexts[] = {
    "\"7\"",    "\"0123\"",       "\"1E5\"",   "\"+\"",          "\"AND\"", "\"(\"",
    "\"\"",     "\"ABC\"",        "\"-1\"",    "\"2.5\"",        "\" \"",   "\"x\"",
    "\")\"",    "\"*\"",          "\"OR\"",    "\"=\"",          "\".\"",   "\"0.5\"",
    "\"TRUE\"", "\"2147483648\"", "\"1E400\"", "\"Hello world\""};
// Variable names by what a program mostly keeps in them, and names of functions (a variable
// takes precedence over a function of its name).
constexpr std::string_view kNumberNames[] = {"A", "B", "C", "X", "Y", "N", "V1", "SUM"};
constexpr std::string_view kTextNames[] = {"S", "T", "WORD"};
constexpr std::string_view kFunctionNames[] = {"LEN", "INT", "SIN", "PI", "MID"};
// Names that nothing assigns, the two constants, and names that also are words of the
// language's rows (rare: they change how rows are cut).
constexpr std::string_view kUnsetNames[] = {"Q", "ZZ", "UNSET"};
constexpr std::string_view kConstantNames[] = {"TRUE", "FALSE"};
constexpr std::string_view kOddNames[] = {"TO", "STEP", "THEN", "AND", "NOT", "LOOP", "NEXT"};
// Any of them, for the mutations.
constexpr std::string_view kNames[] = {"A", "X", "N", "LEN", "PI", "S", "T", "Q", "TRUE", "TO"};

constexpr std::string_view kArithmetic[] = {"+", "-", "*", "/", "\\"};
constexpr std::string_view kComparisons[] = {"=", "<", ">", "<>", "<=", ">="};
constexpr std::string_view kLogic[] = {"AND", "OR"};
constexpr std::string_view kSmallCounts[] = {"0", "1", "2", "3", "5", "-1"};

// What an expression is meant to give. Now and then a part of the other kind is mixed in.
enum class Kind : uint8_t { Number, Text };

// How a function's arguments look. Functions that read the clock, the random generator, the
// keyboard or the display are left out: their values are not the evaluator's doing.
enum class Shape : uint8_t {
    Number,          // f(x)
    Text,            // f(s)
    Count,           // f(n), n small
    TextCount,       // f(s, n)
    TextStartCount,  // f(s, start, count)
    TwoNumbers,      // f(a, b)
    Instr,           // f(s, sub [, start])
    Truth,           // f(condition)
    None,            // f
    Any,             // f(anything): functions without behaviour
};
struct FunctionForm {
    std::string_view name;
    Shape shape;
    Kind gives;
};
constexpr FunctionForm kFunctions[] = {
    {"SIN", Shape::Number, Kind::Number},       {"COS", Shape::Number, Kind::Number},
    {"TAN", Shape::Number, Kind::Number},       {"ATAN", Shape::Number, Kind::Number},
    {"ACOS", Shape::Number, Kind::Number},      {"ASIN", Shape::Number, Kind::Number},
    {"HCOS", Shape::Number, Kind::Number},      {"HSIN", Shape::Number, Kind::Number},
    {"HTAN", Shape::Number, Kind::Number},      {"ABS", Shape::Number, Kind::Number},
    {"INT", Shape::Number, Kind::Number},       {"SQR", Shape::Number, Kind::Number},
    {"EXP", Shape::Number, Kind::Number},       {"LOG", Shape::Number, Kind::Number},
    {"LN", Shape::Number, Kind::Number},        {"SGN", Shape::Number, Kind::Number},
    {"MAX", Shape::TwoNumbers, Kind::Number},   {"MIN", Shape::TwoNumbers, Kind::Number},
    {"LEN", Shape::Text, Kind::Number},         {"ASC", Shape::Text, Kind::Number},
    {"INSTR", Shape::Instr, Kind::Number},      {"NOT", Shape::Truth, Kind::Number},
    {"PI", Shape::None, Kind::Number},          {"UPPERCASE", Shape::Text, Kind::Text},
    {"LOWERCASE", Shape::Text, Kind::Text},     {"FLIP", Shape::Text, Kind::Text},
    {"CHR", Shape::Count, Kind::Text},          {"SPACE", Shape::Count, Kind::Text},
    {"LEFT", Shape::TextCount, Kind::Text},     {"RIGHT", Shape::TextCount, Kind::Text},
    {"STRING", Shape::TextCount, Kind::Text},   {"REPEAT", Shape::TextCount, Kind::Text},
    {"MID", Shape::TextStartCount, Kind::Text},
};
constexpr FunctionForm kRareFunctions[] = {{"STR", Shape::Any, Kind::Text},
                                           {"VAL", Shape::Any, Kind::Number},
                                           {"SORT", Shape::Any, Kind::Text},
                                           {"MATCH", Shape::Any, Kind::Text}};

// How often a program does odd things, in percent: a tame program runs long and repeats its
// rows with values that change, a wild one tries the corners of the value model and fails early.
struct Wildness {
    uint32_t mixed;          // an operand or call of the other kind
    uint32_t oddNames;       // a name that also is a word of the rows (TO, THEN, ...)
    uint32_t unsetNames;     // a name that nothing assigns
    uint32_t functionNames;  // a variable named like a function
    uint32_t edges;          // an edge number rather than a common one
    uint32_t wildTexts;      // any text rather than a plain one
    uint32_t comparisons;    // a comparison inside a numeric expression
    uint32_t loose;          // a condition that need not give a truth value
    uint32_t rare;           // a function without behaviour (STR, VAL, SORT, MATCH)
    // A comparison's sides without parentheses of their own: all operators but the
    // multiplicative ones share one level, so (A >= 1.0 / 3) divides the comparison's truth.
    uint32_t bare;
};
constexpr Wildness kTame = {0, 0, 1, 2, 3, 0, 3, 0, 0, 0};
constexpr Wildness kMild = {2, 1, 3, 5, 10, 25, 10, 8, 2, 10};
constexpr Wildness kWild = {6, 3, 6, 6, 25, 60, 20, 20, 5, 30};

std::string Join(const Tokens& tokens) {
    std::string line;
    for (const std::string& t : tokens) {
        if (!line.empty()) line += ' ';
        line += t;
    }
    return line;
}

std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// What the statements of a block may refer to.
struct Context {
    std::string prefix;  // of loop counters: a procedure's must not clash with its caller's
    bool inProcedure = false;
    bool inSubroutine = false;
    int loops = 0;
};

struct Routine {
    std::string name;
    std::vector<std::string> parameters;
};

class ProgramMaker {
public:
    explicit ProgramMaker(Choices& choices) : c_(choices) {
        const uint32_t r = c_.Below(100);
        w_ = r < 40 ? kTame : (r < 75 ? kMild : kWild);
    }
    std::string Make();

private:
    static constexpr int kMaxDepth = 3;
    static constexpr size_t kMaxRows = 140;
    static constexpr size_t kMaxExpressionTokens = 30;

    // A command word, now and then in lower or mixed case (command words are found in any case).
    std::string Word(std::string_view upper);
    std::string Name(Kind kind);
    Kind Mixed(Kind kind) {
        if (!c_.Chance(w_.mixed)) return kind;
        return kind == Kind::Number ? Kind::Text : Kind::Number;
    }
    std::string_view Text() {
        return c_.Chance(w_.wildTexts) ? c_.OneOf(kTexts) : c_.OneOf(kPlainTexts);
    }
    void Operand(Tokens& t, Kind kind);
    void Expression(Tokens& t, int depth, Kind kind);
    void Count(Tokens& t, int depth);
    void Call(Tokens& t, int depth, Kind kind);
    void Condition(Tokens& t, int depth);
    void Side(Tokens& t, Kind kind);
    std::string Counter(char kind, int depth, const Context& ctx);
    std::string Label() { return "L" + std::to_string(++serial_); }

    void Emit(const Tokens& t) { lines_.push_back(Join(t)); }
    void Block(int depth, int count, const Context& ctx);
    void Statement(int depth, const Context& ctx);
    Tokens Let();
    Tokens Simple(const Context& ctx);
    void BlockIf(int depth, const Context& ctx);
    void For(int depth, const Context& ctx);
    void CountedLoop(char kind, int depth, const Context& ctx);
    void ForwardGoto(int depth, const Context& ctx);
    void BackwardGoto(int depth, const Context& ctx);
    void Arithmetic();
    void Odd();
    void Early(const Context& ctx);
    void CallStatement(Tokens& t);
    void Procedure(const Routine& p);
    void Subroutine(const std::string& label);

    Choices& c_;
    Wildness w_;
    std::vector<std::string> lines_;
    std::vector<Routine> procedures_;
    std::vector<std::string> subroutines_;
    int serial_ = 0;
};

std::string ProgramMaker::Word(std::string_view upper) {
    std::string w(upper);
    const uint32_t r = c_.Below(100);
    if (r >= 92) return Lower(w);
    if (r >= 88) return w.substr(0, 1) + Lower(w.substr(1));
    return w;
}

std::string ProgramMaker::Name(Kind kind) {
    std::string name;
    if (c_.Chance(w_.oddNames))
        name = c_.OneOf(kOddNames);
    else if (c_.Chance(w_.unsetNames))
        name = c_.OneOf(kUnsetNames);
    else if (c_.Chance(3))
        name = c_.OneOf(kConstantNames);
    else if (c_.Chance(w_.functionNames))
        name = c_.OneOf(kFunctionNames);
    else
        name = kind == Kind::Number ? c_.OneOf(kNumberNames) : c_.OneOf(kTextNames);
    return c_.Chance(10) ? Lower(name) : name;
}

void ProgramMaker::Operand(Tokens& t, Kind kind) {
    kind = Mixed(kind);
    if (c_.Chance(45))
        t.push_back(Name(kind));
    else if (kind == Kind::Text)
        t.emplace_back(Text());
    else
        t.emplace_back(c_.Chance(w_.edges) ? c_.OneOf(kEdgeNumbers) : c_.OneOf(kNumbers));
}

void ProgramMaker::Expression(Tokens& t, int depth, Kind kind) {
    const uint32_t r = c_.Below(100);
    if (depth >= kMaxDepth || t.size() > kMaxExpressionTokens || r < 35) {
        Operand(t, kind);
    } else if (r < 62) {
        Expression(t, depth + 1, kind);
        if (kind == Kind::Text)
            t.emplace_back(c_.Chance(w_.comparisons / 2) ? c_.OneOf(kComparisons) : "+");
        else
            t.emplace_back(c_.Chance(w_.comparisons) ? c_.OneOf(kComparisons)
                                                     : c_.OneOf(kArithmetic));
        Expression(t, depth + 1, kind);
    } else if (r < 75) {
        t.emplace_back("(");
        Expression(t, depth + 1, kind);
        t.emplace_back(")");
    } else if (r < 80 && kind == Kind::Number) {
        // One third, the classic real that its 15-digit text does not hold exactly.
        t.insert(t.end(), {"1.0", "/", "3"});
    } else {
        Call(t, depth + 1, Mixed(kind));
    }
}

// A count or a position: mostly small, so that texts stay short.
void ProgramMaker::Count(Tokens& t, int depth) {
    if (c_.Chance(85))
        t.emplace_back(c_.OneOf(kSmallCounts));
    else
        Expression(t, depth + 1, Kind::Number);
}

void ProgramMaker::Call(Tokens& t, int depth, Kind kind) {
    const FunctionForm* f = &c_.OneOf(kRareFunctions);
    if (!c_.Chance(w_.rare)) {
        // One of the functions that give `kind`.
        const auto gives = [kind](const FunctionForm& g) { return g.gives == kind; };
        auto pick = c_.Below(static_cast<uint32_t>(
            std::count_if(std::begin(kFunctions), std::end(kFunctions), gives)));
        for (const FunctionForm& g : kFunctions) {
            if (gives(g) && pick-- == 0) f = &g;
        }
    }
    t.emplace_back(Word(f->name));
    if (f->shape == Shape::None) return;
    t.emplace_back("(");
    switch (f->shape) {
        case Shape::Number:
            Expression(t, depth + 1, Kind::Number);
            break;
        case Shape::Text:
            Expression(t, depth + 1, Kind::Text);
            break;
        case Shape::Count:
            if (f->name == "CHR" && c_.Chance(70)) {
                constexpr std::string_view kCodes[] = {"65", "97", "48", "32", "43", "300"};
                t.emplace_back(c_.OneOf(kCodes));
            } else {
                Count(t, depth);
            }
            break;
        case Shape::TextCount:
            Expression(t, depth + 1, Kind::Text);
            t.emplace_back(",");
            Count(t, depth);
            break;
        case Shape::TextStartCount:
            Expression(t, depth + 1, Kind::Text);
            t.emplace_back(",");
            Count(t, depth);
            t.emplace_back(",");
            Count(t, depth);
            break;
        case Shape::TwoNumbers:
            Expression(t, depth + 1, Kind::Number);
            t.emplace_back(",");
            Expression(t, depth + 1, Kind::Number);
            break;
        case Shape::Instr:
            Expression(t, depth + 1, Kind::Text);
            t.emplace_back(",");
            Expression(t, depth + 1, Kind::Text);
            if (c_.Chance(30)) {
                t.emplace_back(",");
                Count(t, depth);
            }
            break;
        case Shape::Truth:
            Condition(t, 1);
            break;
        case Shape::Any:
            Expression(t, depth + 1, c_.Chance(50) ? Kind::Number : Kind::Text);
            break;
        case Shape::None:
            break;
    }
    t.emplace_back(")");
}

void ProgramMaker::Condition(Tokens& t, int depth) {
    if (c_.Chance(w_.loose)) {
        if (c_.Chance(50))
            t.push_back(Name(Kind::Number));
        else
            Expression(t, 1, Kind::Number);  // a value that need not be a truth value
        return;
    }
    const uint32_t r = c_.Below(100);
    if (depth >= 2 || r < 55) {
        const Kind kind = c_.Chance(80) ? Kind::Number : Kind::Text;
        Side(t, kind);
        t.emplace_back(c_.OneOf(kComparisons));
        Side(t, kind);
    } else if (r < 75) {
        // Comparisons bind no tighter than AND and OR: each side has its own parentheses.
        t.emplace_back("(");
        Condition(t, depth + 1);
        t.emplace_back(")");
        t.emplace_back(c_.OneOf(kLogic));
        t.emplace_back("(");
        Condition(t, depth + 1);
        t.emplace_back(")");
    } else if (r < 87) {
        t.insert(t.end(), {Word("NOT"), "("});
        Condition(t, depth + 1);
        t.emplace_back(")");
    } else {
        constexpr std::string_view kTruths[] = {"TRUE", "FALSE", "0", "-1"};
        t.emplace_back(c_.OneOf(kTruths));
    }
}

// One side of a comparison.
void ProgramMaker::Side(Tokens& t, Kind kind) {
    Tokens side;
    Expression(side, 2, kind);
    const bool wrap = side.size() > 1 && !c_.Chance(w_.bare);
    if (wrap) t.emplace_back("(");
    t.insert(t.end(), side.begin(), side.end());
    if (wrap) t.emplace_back(")");
}

std::string ProgramMaker::Counter(char kind, int depth, const Context& ctx) {
    return ctx.prefix + kind + std::to_string(depth);
}

void ProgramMaker::Block(int depth, int count, const Context& ctx) {
    for (int i = 0; i < count; ++i) Statement(depth, ctx);
}

void ProgramMaker::Statement(int depth, const Context& ctx) {
    const bool nest = depth < kMaxDepth && lines_.size() < kMaxRows;
    const uint32_t r = c_.Below(100);
    if (r < 40) {
        Emit(Simple(ctx));
    } else if (r < 46) {
        Tokens t = {Word("IF")};
        Condition(t, 0);
        t.push_back(Word("THEN"));
        Tokens then = Simple(ctx);
        t.insert(t.end(), then.begin(), then.end());
        if (c_.Chance(40)) {
            t.push_back(Word("ELSE"));
            Tokens otherwise = Simple(ctx);
            t.insert(t.end(), otherwise.begin(), otherwise.end());
        }
        Emit(t);
    } else if (r < 54 && nest) {
        BlockIf(depth, ctx);
    } else if (r < 60 && nest) {
        For(depth, ctx);
    } else if (r < 64 && nest) {
        CountedLoop('W', depth, ctx);
    } else if (r < 68 && nest) {
        CountedLoop('R', depth, ctx);
    } else if (r < 71 && nest) {
        CountedLoop('D', depth, ctx);
    } else if (r < 74 && nest) {
        ForwardGoto(depth, ctx);
    } else if (r < 76 && nest) {
        BackwardGoto(depth, ctx);
    } else if (r < 80 && !subroutines_.empty()) {
        Emit({Word("GOSUB"), c_.OneOf(subroutines_)});
    } else if (r < 85 && !procedures_.empty()) {
        Tokens t;
        CallStatement(t);
        Emit(t);
    } else if (r < 88) {
        Tokens t = {Word(c_.Chance(50) ? "LOCAL" : "GLOBAL"), Name(Kind::Number)};
        for (uint32_t n = c_.Below(3); n > 0; --n) t.insert(t.end(), {",", Name(Kind::Text)});
        Emit(t);
    } else if (r < 90) {
        Emit({Word(c_.Chance(50) ? "DEGREE" : "RADIAN")});
    } else if (r < 94) {
        Arithmetic();
    } else if (r < 97) {
        Odd();
    } else {
        Early(ctx);
    }
}

// A statement of one row, as a one-line IF can hold one.
Tokens ProgramMaker::Simple(const Context& ctx) {
    const uint32_t r = c_.Below(100);
    if (r < 55) return Let();
    if (r < 85 || (r < 90 && ctx.loops == 0)) {
        Tokens t = {Word("OUTPUTDEBUG")};
        const uint32_t what = c_.Below(10);
        if (what == 0)
            Condition(t, 0);
        else
            Expression(t, 0, what < 8 ? Kind::Number : Kind::Text);
        return t;
    }
    if (r < 90) return {Word("BREAK"), Word("LOOP")};
    if (r < 95) return {Word(c_.Chance(50) ? "INC" : "DEC"), Name(Kind::Number)};
    if (!subroutines_.empty()) return {Word("GOSUB"), c_.OneOf(subroutines_)};
    return {Word("LET"), Name(Kind::Text), "=", Name(Kind::Text)};
}

// Mostly a number to a variable that holds numbers, or a text to one that holds texts.
Tokens ProgramMaker::Let() {
    const Kind kind = c_.Chance(70) ? Kind::Number : Kind::Text;
    Tokens t = {Word("LET"), Name(Mixed(kind)), "="};
    Expression(t, 0, kind);
    return t;
}

void ProgramMaker::BlockIf(int depth, const Context& ctx) {
    Tokens t = {Word("IF")};
    Condition(t, 0);
    t.push_back(Word("THEN"));
    Emit(t);
    Block(depth + 1, 1 + static_cast<int>(c_.Below(3)), ctx);
    if (c_.Chance(50)) {
        Emit({Word("ELSE")});
        Block(depth + 1, 1 + static_cast<int>(c_.Below(3)), ctx);
    }
    Emit({Word("ENDIF")});
}

void ProgramMaker::For(int depth, const Context& ctx) {
    constexpr std::string_view kCounters[] = {"I", "J", "K"};
    const std::string variable =
        c_.Chance(75) ? ctx.prefix + std::string(kCounters[depth % 3]) : Name(Kind::Number);
    std::string start, end;
    const uint32_t r = c_.Below(100);
    if (r < 70) {
        const int from = static_cast<int>(c_.Below(4));
        start = std::to_string(from);
        end = std::to_string(from + static_cast<int>(c_.Below(5)));
    } else if (r < 85) {
        // Whole numbers from reals and texts, and a count that leaves the 32-bit range.
        constexpr std::string_view kStarts[] = {"1.6", "-2", "2147483646", "\"3\"", "0.5", "2.5"};
        constexpr std::string_view kEnds[] = {"3.4", "1", "2147483647", "\"4\"", "1.5", "3"};
        const uint32_t k = c_.Below(static_cast<uint32_t>(std::size(kStarts)));
        start = kStarts[k];
        end = kEnds[k];
    } else {
        start = Name(Kind::Number);
        end = c_.OneOf(kSmallCounts);
    }
    Tokens t = {Word("FOR"), variable, "=", start, Word("TO"), end};
    if (c_.Chance(45)) {
        constexpr std::string_view kSteps[] = {"1", "2", "-1", "0", "0.5", "-2", "3"};
        std::string step(c_.OneOf(kSteps));
        // A negative step ends once the variable passes the end: run from the end down.
        if (step[0] == '-') std::swap(t[3], t[5]);
        t.insert(t.end(), {Word("STEP"), step});
    }
    Emit(t);
    Context inner = ctx;
    ++inner.loops;
    Block(depth + 1, 1 + static_cast<int>(c_.Below(3)), inner);
    Emit(c_.Chance(50) ? Tokens{Word("NEXT"), variable} : Tokens{Word("NEXT")});
}

// WHILE/WEND, REPEAT/UNTIL and DO/LOOP, each around a counter that ends it (unless the
// condition drawn now and then never holds; the statement limit ends that run).
void ProgramMaker::CountedLoop(char kind, int depth, const Context& ctx) {
    const std::string counter = Counter(kind, depth, ctx);
    const std::string limit = std::to_string(1 + c_.Below(4));
    Context inner = ctx;
    ++inner.loops;
    const int body = 1 + static_cast<int>(c_.Below(3));
    Emit({Word("LET"), counter, "=", "0"});
    Tokens condition;
    const bool own = c_.Chance(10);
    if (own) Condition(condition, 0);
    auto with = [&](Tokens t, std::initializer_list<std::string> rest) {
        if (own) {
            t.insert(t.end(), condition.begin(), condition.end());
        } else {
            t.insert(t.end(), rest);
        }
        return t;
    };
    switch (kind) {
        case 'W':
            Emit(with({Word("WHILE")}, {counter, "<", limit}));
            Block(depth + 1, body, inner);
            Emit({Word("LET"), counter, "=", counter, "+", "1"});
            Emit({Word("WEND")});
            break;
        case 'R':
            Emit({Word("REPEAT")});
            Block(depth + 1, body, inner);
            Emit({Word("LET"), counter, "=", counter, "+", "1"});
            Emit(with({Word("UNTIL")}, {counter, ">=", limit}));
            break;
        default:
            Emit({Word("DO")});
            Emit({Word("LET"), counter, "=", counter, "+", "1"});
            Block(depth + 1, body, inner);
            Emit(with({Word("IF")}, {counter, ">=", limit}));
            lines_.back() += " " + Word("THEN") + " " + Word("BREAK") + " " + Word("LOOP");
            Emit({Word("LOOP")});
            break;
    }
}

void ProgramMaker::ForwardGoto(int depth, const Context& ctx) {
    const std::string label = Label();
    if (c_.Chance(50)) {
        Emit({Word("GOTO"), label});
    } else {
        Tokens t = {Word("IF")};
        Condition(t, 0);
        t.insert(t.end(), {Word("THEN"), Word("GOTO"), label});
        Emit(t);
    }
    Block(depth + 1, 1 + static_cast<int>(c_.Below(2)), ctx);
    // Labels are found in any case.
    std::string row = c_.Chance(15) ? Word(label) : label;
    Emit({row + ":"});
}

void ProgramMaker::BackwardGoto(int depth, const Context& ctx) {
    const std::string label = Label();
    const std::string counter = Counter('G', depth, ctx);
    Emit({Word("LET"), counter, "=", "0"});
    Emit({label + ":"});
    Emit({Word("LET"), counter, "=", counter, "+", "1"});
    Block(depth + 1, 1 + static_cast<int>(c_.Below(2)), ctx);
    Emit({Word("IF"), counter, "<", std::to_string(1 + c_.Below(4)), Word("THEN"), Word("GOTO"),
          label});
}

// INC, DEC, ADD and SUB. ADD's row is tested before the run: its amount must be a plain sum of
// values, without signs.
void ProgramMaker::Arithmetic() {
    const uint32_t r = c_.Below(4);
    if (r < 2) {
        Emit({Word(r == 0 ? "INC" : "DEC"), Name(Kind::Number)});
        return;
    }
    constexpr std::string_view kAmounts[] = {"1", "2", "7", "0", "100"};
    Tokens t = {Word(r == 2 ? "ADD" : "SUB"), std::string(c_.OneOf(kNumberNames)), ","};
    t.emplace_back(c_.Chance(70) ? c_.OneOf(kAmounts) : c_.OneOf(kNumberNames));
    if (c_.Chance(20)) t.insert(t.end(), {"+", std::string(c_.OneOf(kAmounts))});
    if (c_.Chance(40)) {
        t.insert(t.end(),
                 {",", std::to_string(c_.Below(3)), Word("TO"), std::to_string(3 + c_.Below(8))});
    }
    Emit(t);
}

// Rows that do nothing, or little: an assignment without LET, DIM, a command without a handler,
// comments, END, an empty expression.
void ProgramMaker::Odd() {
    switch (c_.Below(8)) {
        case 0:
            Emit({Name(Kind::Number), "=", "1"});
            break;
        case 1:
            Emit({Word("DIM"), Name(Kind::Number), "(", "10", ")"});
            break;
        case 2:
            Emit({Word("BELL")});
            break;
        case 3:
            Emit({"REM", "a", "comment", "=", "1"});
            break;
        case 4:
            Emit({"'", "a", "comment"});
            break;
        case 5:
            Emit({Word("END")});
            break;
        case 6:
            Emit({Word("OUTPUTDEBUG")});
            break;
        default:
            Emit({Word("LET"), Name(Kind::Text), "="});
            break;
    }
}

// An early way out of what the row sits in, or now and then a closing word with nothing open.
void ProgramMaker::Early(const Context& ctx) {
    Tokens t = {Word("IF")};
    Condition(t, 0);
    t.push_back(Word("THEN"));
    if (ctx.inProcedure && c_.Chance(60)) {
        t.push_back(Word("EXITPROC"));
    } else if (ctx.inSubroutine && c_.Chance(60)) {
        t.push_back(Word(c_.Chance(50) ? "RETURN" : "EXITGOSUB"));
    } else if (ctx.loops > 0 && c_.Chance(60)) {
        t.insert(t.end(), {Word("BREAK"), Word("LOOP")});
    } else {
        constexpr std::string_view kStray[] = {"RETURN", "ENDPROC", "NEXT", "WEND",
                                               "LOOP",   "UNTIL 0", "ELSE", "BREAK LOOP"};
        Emit({std::string(c_.OneOf(kStray))});
        return;
    }
    Emit(t);
}

void ProgramMaker::CallStatement(Tokens& t) {
    const Routine& p = c_.OneOf(procedures_);
    t = {Word("CALL"), c_.Chance(10) ? Word(p.name) : p.name};
    // Mostly as many arguments as parameters; now and then one fewer or one more.
    int count = static_cast<int>(p.parameters.size());
    const uint32_t r = c_.Below(10);
    if (r == 0 && count > 0) --count;
    if (r == 1) ++count;
    if (count == 0) return;
    t.emplace_back("(");
    for (int i = 0; i < count; ++i) {
        if (i > 0) t.emplace_back(",");
        Expression(t, 1, Kind::Number);
    }
    t.emplace_back(")");
}

void ProgramMaker::Procedure(const Routine& p) {
    Tokens t = {Word("PROCEDURE"), p.name};
    if (!p.parameters.empty()) {
        t.emplace_back("(");
        for (size_t i = 0; i < p.parameters.size(); ++i) {
            if (i > 0) t.emplace_back(",");
            t.push_back(p.parameters[i]);
        }
        t.emplace_back(")");
    }
    Emit(t);
    Context ctx;
    ctx.prefix = "P";
    ctx.inProcedure = true;
    Block(1, 1 + static_cast<int>(c_.Below(5)), ctx);
    Emit({Word("ENDPROC")});
}

void ProgramMaker::Subroutine(const std::string& label) {
    Emit({label + ":"});
    Context ctx;
    ctx.prefix = "G";
    ctx.inSubroutine = true;
    Block(1, 1 + static_cast<int>(c_.Below(4)), ctx);
    Emit({Word("RETURN")});
}

std::string ProgramMaker::Make() {
    constexpr std::string_view kParameters[] = {"A", "B", "X", "PA", "PB", "N", "S"};
    for (uint32_t n = c_.Below(4); n > 0; --n) {
        Routine p;
        p.name = "P" + std::to_string(procedures_.size() + 1);
        for (uint32_t k = c_.Below(4); k > 0; --k) {
            std::string name(c_.OneOf(kParameters));
            if (std::find(p.parameters.begin(), p.parameters.end(), name) == p.parameters.end())
                p.parameters.push_back(name);
        }
        procedures_.push_back(std::move(p));
    }
    for (uint32_t n = c_.Below(3); n > 0; --n)
        subroutines_.push_back("SUB" + std::to_string(subroutines_.size() + 1));

    // Now and then a procedure before the main program, which falls into it and skips it.
    size_t first = 0;
    if (!procedures_.empty() && c_.Chance(10)) {
        Procedure(procedures_[0]);
        first = 1;
    }
    // The display shows nothing of interest here, and composing it every 20 ms costs more
    // than the statements do.
    if (c_.Chance(90)) Emit({Word("SET"), "AUTO", "UPDATE", "OFF"});
    // Most variables exist before the main program uses them; the others come into being in
    // the middle of it, or never.
    auto prologue = [&](const auto& names, const auto& values, uint32_t percent) {
        for (std::string_view name : names) {
            if (c_.Chance(percent))
                Emit({Word("LET"), std::string(name), "=", std::string(c_.OneOf(values))});
        }
    };
    prologue(kNumberNames, kNumbers, 90);
    if (w_.wildTexts > 0)
        prologue(kTextNames, kTexts, 80);
    else
        prologue(kTextNames, kPlainTexts, 80);
    prologue(kFunctionNames, kNumbers, 30);
    Context main;
    Block(0, 3 + static_cast<int>(c_.Below(12)), main);
    const uint32_t end = c_.Below(10);
    if (end < 7)
        Emit({Word("STOP")});
    else if (end < 8)
        Emit({Word("QUIT")});
    else if (end < 9)
        Emit({Word("END")});  // no command: the run goes on into what follows
    // else nothing: the run goes on, and past the last row it fails

    // The routines in an order of their own.
    std::vector<int> order;
    for (size_t i = first; i < procedures_.size(); ++i) order.push_back(static_cast<int>(i));
    for (size_t i = 0; i < subroutines_.size(); ++i) order.push_back(-1 - static_cast<int>(i));
    for (size_t i = order.size(); i > 1; --i)
        std::swap(order[i - 1], order[c_.Below(static_cast<uint32_t>(i))]);
    for (int k : order) {
        if (k >= 0)
            Procedure(procedures_[k]);
        else
            Subroutine(subroutines_[-1 - k]);
    }

    std::string source;
    for (const std::string& line : lines_) source += line + "\n";
    return source;
}

}  // namespace

std::string GenerateProgram(Choices& choices) {
    return ProgramMaker(choices).Make();
}

// ---------------------------------------------------------------------------------------------
// Shrinking and mutation

namespace {

enum class LexemeKind : uint8_t { Number, Word, Text, Operator, Parenthesis, Other };

// A piece of a source line, found by a rough scan of our own: good enough to pick a piece to
// change, with no claim to cut the line as the tokenizer does.
struct Lexeme {
    size_t begin, end;
    LexemeKind kind;
};

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}
bool IsLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_';
}

std::vector<Lexeme> Lex(std::string_view line) {
    std::vector<Lexeme> out;
    const size_t n = line.size();
    size_t i = 0;
    while (i < n) {
        const char ch = line[i];
        const char next = i + 1 < n ? line[i + 1] : '\0';
        const char before = i > 0 ? line[i - 1] : ' ';
        size_t j = i + 1;
        LexemeKind kind = LexemeKind::Other;
        if (ch == ' ' || ch == '\t' || ch == '\r') {
            ++i;
            continue;
        }
        if (ch == '"') {
            j = line.find('"', i + 1);
            j = j == std::string_view::npos ? n : j + 1;
            kind = LexemeKind::Text;
        } else if (IsDigit(ch) || (ch == '.' && IsDigit(next)) ||
                   (ch == '-' && (IsDigit(next) || next == '.') &&
                    (before == ' ' || before == '(' || before == ','))) {
            while (j < n && (IsDigit(line[j]) || IsLetter(line[j]) || line[j] == '.' ||
                             ((line[j] == '-' || line[j] == '+') &&
                              (line[j - 1] == 'E' || line[j - 1] == 'e')))) {
                ++j;
            }
            kind = LexemeKind::Number;
        } else if (IsLetter(ch)) {
            while (j < n && (IsLetter(line[j]) || IsDigit(line[j]))) ++j;
            kind = LexemeKind::Word;
        } else if (ch == '<' || ch == '>') {
            if (next == '=' || (ch == '<' && next == '>')) ++j;
            kind = LexemeKind::Operator;
        } else if (std::string_view("+-*/\\=").find(ch) != std::string_view::npos) {
            kind = LexemeKind::Operator;
        } else if (ch == '(' || ch == ')') {
            kind = LexemeKind::Parenthesis;
        }
        out.push_back({i, j, kind});
        i = j;
    }
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return out;
}

std::vector<std::string> SplitLines(const std::string& source) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(source);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

// The rows' first word: the command word, or the start of a comment.
std::string FirstWord(std::string_view line, const std::vector<Lexeme>& lexemes) {
    if (lexemes.empty()) return {};
    return Upper(line.substr(lexemes[0].begin, lexemes[0].end - lexemes[0].begin));
}

// Where a mutation may act: (line, lexeme) pairs.
struct Site {
    size_t line;
    Lexeme lexeme;
};

}  // namespace

std::string ShrinkCounts(const std::string& source) {
    std::vector<std::string> lines = SplitLines(source);
    for (std::string& line : lines) {
        const std::vector<Lexeme> lexemes = Lex(line);
        const std::string first = FirstWord(line, lexemes);
        if (first != "LET" && first != "FOR" && first != "WHILE" && first != "UNTIL" &&
            first != "IF") {
            continue;
        }
        // Backwards, so that the positions of the lexemes still to change stay valid.
        for (auto it = lexemes.rbegin(); it != lexemes.rend(); ++it) {
            if (it->kind != LexemeKind::Number) continue;
            const std::string_view text(line.data() + it->begin, it->end - it->begin);
            const bool round = text.size() >= 4 && text.size() <= 10 &&
                               text.find_first_not_of("0123456789") == std::string_view::npos &&
                               text.substr(text.size() - 3) == "000";
            if (round) line.replace(it->begin, it->end - it->begin, "12");
        }
    }
    return JoinLines(lines);
}

std::string MutateProgram(const std::string& source, Choices& choices) {
    std::vector<std::string> lines = SplitLines(ShrinkCounts(source));
    auto sites = [&](auto wanted) {
        std::vector<Site> found;
        for (size_t l = 0; l < lines.size(); ++l) {
            const std::vector<Lexeme> lexemes = Lex(lines[l]);
            if (FirstWord(lines[l], lexemes) == "REM") continue;
            for (size_t k = 0; k < lexemes.size(); ++k) {
                const std::string_view text(lines[l].data() + lexemes[k].begin,
                                            lexemes[k].end - lexemes[k].begin);
                if (wanted(lexemes[k], k, Upper(text))) found.push_back({l, lexemes[k]});
            }
        }
        return found;
    };
    auto replace = [&](const Site& s, std::string_view text) {
        lines[s.line].replace(s.lexeme.begin, s.lexeme.end - s.lexeme.begin,
                              " " + std::string(text) + " ");
    };

    for (uint32_t n = 1 + choices.Below(3); n > 0; --n) {
        switch (choices.Below(7)) {
            case 0: {  // an operator swapped for another
                auto found = sites([](const Lexeme& x, size_t, const std::string& up) {
                    return x.kind == LexemeKind::Operator || up == "AND" || up == "OR";
                });
                if (found.empty()) break;
                const uint32_t o = choices.Below(13);
                const std::string_view op =
                    o < 5 ? kArithmetic[o] : (o < 11 ? kComparisons[o - 5] : kLogic[o - 11]);
                replace(choices.OneOf(found), op);
                break;
            }
            case 1: {  // a number replaced by an edge value
                auto found = sites([](const Lexeme& x, size_t, const std::string&) {
                    return x.kind == LexemeKind::Number;
                });
                if (found.empty()) break;
                replace(choices.OneOf(found),
                        choices.Chance(50) ? choices.OneOf(kNumbers) : choices.OneOf(kEdgeNumbers));
                break;
            }
            case 2: {  // an operand replaced by a quoted text
                auto found = sites([](const Lexeme& x, size_t k, const std::string&) {
                    return k > 0 && (x.kind == LexemeKind::Number || x.kind == LexemeKind::Word);
                });
                if (found.empty()) break;
                replace(choices.OneOf(found), choices.OneOf(kTexts));
                break;
            }
            case 3: {  // a parenthesis dropped or doubled
                auto found = sites([](const Lexeme& x, size_t, const std::string&) {
                    return x.kind == LexemeKind::Parenthesis;
                });
                if (found.empty()) break;
                const Site& s = choices.OneOf(found);
                const std::string paren(1, lines[s.line][s.lexeme.begin]);
                replace(s, choices.Chance(50) ? std::string() : paren + " " + paren);
                break;
            }
            case 4: {  // two rows swapped
                if (lines.size() < 2) break;
                const size_t a = choices.Below(static_cast<uint32_t>(lines.size()));
                const size_t b = choices.Below(static_cast<uint32_t>(lines.size()));
                std::swap(lines[a], lines[b]);
                break;
            }
            case 5: {  // a row doubled or dropped
                if (lines.empty()) break;
                const size_t a = choices.Below(static_cast<uint32_t>(lines.size()));
                if (choices.Chance(50)) {
                    const std::string copy = lines[a];
                    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(a), copy);
                } else {
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(a));
                }
                break;
            }
            default: {  // an operand replaced by another name or a small number
                auto found = sites([](const Lexeme& x, size_t k, const std::string&) {
                    return k > 0 && (x.kind == LexemeKind::Number || x.kind == LexemeKind::Word);
                });
                if (found.empty()) break;
                replace(choices.OneOf(found),
                        choices.Chance(60) ? choices.OneOf(kNames) : choices.OneOf(kSmallCounts));
                break;
            }
        }
    }
    return JoinLines(lines);
}

bool ReadsTheWallClock(std::string_view source) {
    const std::string upper = Upper(source);
    return upper.find("CURRENTDATE") != std::string::npos ||
           upper.find("CURRENTTIME") != std::string::npos;
}

std::string ProgramFromFuzzInput(std::string_view input) {
    constexpr char kGeneratorMark = 0x01;
    if (!input.empty() && input[0] == kGeneratorMark) {
        ByteChoices choices(reinterpret_cast<const uint8_t*>(input.data()) + 1, input.size() - 1);
        return GenerateProgram(choices);
    }
    if (ReadsTheWallClock(input)) return {};
    return ShrinkCounts(std::string(input));
}

// ---------------------------------------------------------------------------------------------
// Tracing a run

namespace {

const char* TypeName(ValueType t) {
    switch (t) {
        case ValueType::Int:
            return "Int";
        case ValueType::Real:
            return "Real";
        case ValueType::Str:
            return "Str";
    }
    return "?";
}

// Every table a program's statements can change, entry by entry, handed to a sink: one sink
// hashes it before each statement, another writes it out when a difference must be shown. What
// the interpreter remembers about the rows is left out: it is what may differ.
template <class Sink>
void VisitState(const Interpreter& in, Sink& s) {
    const RunState& run = in.run;
    s.Entry("run", -1);
    s.Number("line", run.currentLine);
    s.Number("statements", run.statementCount);
    s.Number("angle", static_cast<int>(run.angleUnit));
    s.Number("autoUpdate", run.autoScreenUpdate);
    s.Number("suspended", run.suspended);
    s.Number("stop", in.stopRequested);
    s.Number("quit", in.quitRequested);
    for (int i = 0; i < VariableTable::kSlots; ++i) {
        const Variable& v = in.variables[i];
        s.Entry("variable", i);
        s.Text("name", v.name);
        s.Number("kind", v.kind);
        s.Val("value", v.value);
        s.Number("local", v.isLocal);
        s.Text("owner", v.owner);
    }
    s.Entry("expressions", -1);
    s.Number("level", in.expressions.stackLevel);
    for (int i = 0; i < ExpressionStack::kLevels; ++i) {
        const ExpressionLevel& l = in.expressions.levels[i];
        s.Entry("level", i);
        s.Number("kind", l.kind);
        s.Val("value", l.value);
        s.Number("operator", static_cast<int>(l.op));
    }
    for (int i = 0; i < LoopStack::kEntries; ++i) {
        const LoopEntry& e = in.loops.entries[i];
        s.Entry("loop", i);
        s.Number("index", e.index);
        s.Number("kind", static_cast<int>(e.kind));
        s.Number("active", e.active);
        s.Number("parent", e.parent);
        s.Number("start", e.startLine);
        s.Number("end", e.endLine);
        s.Number("step", e.step);
        s.Number("variable", e.variableSlot);
        s.Number("endValue", e.endValue);
        s.Number("conditionCount", e.conditionCount);
        // WHILE keeps its condition in slots 1..count and clears the others.
        const int last = std::min<int>(e.conditionCount, static_cast<int>(e.condition.size()) - 1);
        for (int k = 1; k <= last; ++k) s.Text("condition", e.condition[k]);
    }
    for (int i = 0; i < ProcedureStack::kFrames; ++i) {
        const ProcedureFrame& f = in.procedures.frames[i];
        s.Entry("procedure", i);
        s.Number("inUse", f.inUse);
        s.Text("name", f.name);
        s.Number("return", f.returnLine);
    }
    for (int i = 0; i < GosubStack::kFrames; ++i) {
        const GosubFrame& f = in.gosubs.frames[i];
        s.Entry("gosub", i);
        s.Number("inUse", f.inUse);
        s.Number("return", f.returnLine);
    }
}

// Values are compared as their type and text, as they re-enter expressions.
class StateHash {
public:
    void Entry(std::string_view, int index) { Mix(static_cast<uint64_t>(index) + 0x51); }
    void Number(const char*, int64_t v) { Mix(static_cast<uint64_t>(v)); }
    void Text(const char*, std::string_view t) {
        Mix(t.size());
        if (!t.empty()) Mix(std::hash<std::string_view>{}(t));
    }
    void Val(const char*, const Value& v) {
        Mix(static_cast<uint64_t>(v.type));
        switch (v.type) {
            case ValueType::Int:
                Mix(static_cast<uint64_t>(v.i));
                break;
            case ValueType::Real:
                real_.clear();
                AppendRealText(real_, v.r);
                Text(nullptr, real_);
                break;
            case ValueType::Str:
                Text(nullptr, v.s);
                break;
        }
    }
    uint64_t value = 0x243F6A8885A308D3u;

private:
    // Called a thousand times per statement: one multiply, well enough mixed for a digest.
    void Mix(uint64_t x) { value = (value ^ x) * 0x100000001B3u + (value >> 29); }
    std::string real_;
};

class StateText {
public:
    void Entry(std::string_view table, int index) {
        std::string& line = lines.emplace_back(table);
        if (index >= 0) line += " " + std::to_string(index);
        line += ":";
    }
    void Number(const char* name, int64_t v) {
        lines.back() += std::string(" ") + name + "=" + std::to_string(v);
    }
    void Text(const char* name, std::string_view t) {
        lines.back() += std::string(" ") + name + "=\"";
        lines.back() += t;
        lines.back() += "\"";
    }
    void Val(const char* name, const Value& v) {
        lines.back() += std::string(" ") + name + "=" + TypeName(v.type) + ":\"" + TextOf(v) + "\"";
    }
    std::vector<std::string> lines;
};

// What the run has shown so far, so that a line that differs is caught at the statement that
// wrote it.
template <class Sink>
void VisitOutput(const test::RecordingHost& host, Sink& s) {
    s.Entry("debug", -1);
    s.Number("lines", static_cast<int64_t>(host.debug.size()));
    s.Text("last", host.debug.empty() ? std::string_view() : host.debug.back());
    s.Entry("messages", -1);
    s.Number("boxes", static_cast<int64_t>(host.messages.size()));
    s.Text("last", host.messages.empty() ? std::string_view() : host.messages.back());
}

class Tracer : public RunObserver {
public:
    Tracer(RunTrace& trace, const RunOptions& options, const test::RecordingHost& host)
        : trace_(trace), options_(options), host_(host) {}
    Action BeforeStatement(const Interpreter& in, int32_t row) override {
        const int64_t k = static_cast<int64_t>(trace_.rows.size());
        trace_.rows.push_back(row);
        if (options_.everyStatement) {
            StateHash hash;
            VisitState(in, hash);
            VisitOutput(host_, hash);
            trace_.digests.push_back(hash.value);
        }
        if (k == options_.keepStateBefore) {
            StateText text;
            VisitState(in, text);
            VisitOutput(host_, text);
            trace_.stateBefore = std::move(text.lines);
        }
        return Action::Run;
    }

private:
    RunTrace& trace_;
    const RunOptions& options_;
    const test::RecordingHost& host_;
};

}  // namespace

std::vector<std::string> StateLines(const Interpreter& in) {
    StateText text;
    VisitState(in, text);
    return std::move(text.lines);
}

RunTrace TraceRun(const std::string& source, bool remember, const RunOptions& options) {
    RunTrace trace;
    test::ProgramRun p(source);
    if (!p.program.Ok()) return trace;
    trace.prepared = true;
    p.in.rememberProgram = remember;
    p.in.limits.maxStatements = options.maxStatements;

    Tracer tracer(trace, options, p.host);
    RunSession session(p.in);
    // Without an observer the session runs its other copy of the run loop.
    if (options.everyStatement || options.keepStateBefore >= 0 || options.afterStatement)
        session.SetObserver(&tracer);
    session.Start();
    if (!session.StartWarning().empty()) trace.messages.push_back(session.StartWarning());
    const int64_t budget = options.afterStatement ? 1 : int64_t{1} << 20;
    while (session.Step(budget) != RunSession::StepEnd::Ended) {
        if (options.afterStatement) options.afterStatement(p.in, p.in.run.statementCount - 1);
    }
    // Before Finish, whose teardown resets the loop and expression stacks.
    trace.state = StateLines(p.in);
    const RunResult result = session.Finish();
    trace.outcome = result.Outcome();
    trace.messages.insert(trace.messages.end(), p.host.messages.begin(), p.host.messages.end());
    if (!result.message.empty()) trace.messages.push_back(result.message);
    trace.debug = p.host.debug;
    trace.statements = p.in.run.statementCount;
    return trace;
}

// ---------------------------------------------------------------------------------------------
// Comparing two runs

namespace {

// A long text (a value built up to megabytes) cut for a message.
std::string Shown(std::string_view text) {
    constexpr size_t kLongest = 400;
    if (text.size() <= kLongest) return std::string(text);
    return std::string(text.substr(0, kLongest)) + "... (" + std::to_string(text.size()) +
           " characters)";
}

// A message box's lines are parted by carriage returns, which would overwrite each other on a
// terminal.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char ch : Shown(text)) {
        if (ch == '\r')
            out += "\\r";
        else
            out += ch;
    }
    return out + "\"";
}

std::string RowText(const TokenBuffer& buffer, int32_t row) {
    std::string text;
    const TokenRow& cells = buffer.Row(row);
    for (const std::string& cell : cells) {
        if (cell.empty()) break;
        if (!text.empty()) text += ' ';
        text += cell;
    }
    return text;
}

// Which two runs a report compares.
struct Pair {
    const char* a;
    const char* b;
};
constexpr Pair kRememberingOrNot = {"remembering:    ", "not remembering:"};
constexpr Pair kObservedOrNot = {"observed:  ", "unobserved:"};

std::string Both(std::string_view what, const Pair& runs, const std::string& a,
                 const std::string& b) {
    return std::string(what) + "\n  " + runs.a + " " + a + "\n  " + runs.b + " " + b + "\n";
}

// The first difference between two lists, or empty when they are equal.
std::string ListDifference(std::string_view what, const Pair& runs,
                           const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const size_t n = std::max(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const bool inA = i < a.size(), inB = i < b.size();
        if (inA && inB && a[i] == b[i]) continue;
        std::string heading = std::string(what) + " " + std::to_string(i + 1) + " differs";
        if (a.size() != b.size()) {
            heading += " (" + std::to_string(a.size()) + " against " + std::to_string(b.size()) +
                       " in all)";
        }
        return Both(heading + ":", runs, inA ? Quoted(a[i]) : "(none)",
                    inB ? Quoted(b[i]) : "(none)");
    }
    return {};
}

std::string OutcomeName(RunOutcome o) {
    switch (o) {
        case RunOutcome::Stopped:
            return "stopped";
        case RunOutcome::Failed:
            return "failed";
        case RunOutcome::Abnormal:
            return "abnormal";
    }
    return "?";
}

std::string Ending(const RunTrace& t) {
    std::string out =
        OutcomeName(t.outcome) + " after " + std::to_string(t.statements) + " statements";
    if (!t.messages.empty()) out += ", showing " + Quoted(t.messages.back());
    return out;
}

// The rows run up to statement k (0-based), the latest last.
std::string RecentRows(const TokenBuffer& buffer, const std::vector<int32_t>& rows, size_t k,
                       std::string_view mark) {
    std::string out = "the last rows run (numbered from 0 as the tokenizer cut the program):\n";
    for (size_t i = k >= 6 ? k - 6 : 0; i <= k && i < rows.size(); ++i) {
        out += "  statement " + std::to_string(i + 1) + ", row " + std::to_string(rows[i]) + ": " +
               RowText(buffer, rows[i]) + (i == k ? "   <- " + std::string(mark) : "") + "\n";
    }
    return out;
}

// How, or when, two runs ended differently (empty when they ended alike); `rows` are the rows
// one of them ran, to show where it ended.
std::string EndDifference(const RunTrace& a, const RunTrace& b, const Pair& runs,
                          const TokenBuffer& buffer, const std::vector<int32_t>& rows) {
    std::string d;
    if (a.outcome != b.outcome) {
        d = Both("the outcome differs:", runs, OutcomeName(a.outcome), OutcomeName(b.outcome));
    } else if (d = ListDifference("message box", runs, a.messages, b.messages); !d.empty()) {
    } else if (d = ListDifference("debug line", runs, a.debug, b.debug); !d.empty()) {
    } else if (a.statements != b.statements) {
        d = Both("the statement count differs:", runs, std::to_string(a.statements),
                 std::to_string(b.statements));
    } else if (d = ListDifference("final state, entry", runs, a.state, b.state); d.empty()) {
        return {};
    }
    d += Both("how the runs ended:", runs, Ending(a), Ending(b));
    if (!rows.empty()) d += RecentRows(buffer, rows, rows.size() - 1, "the last");
    return d;
}

std::string FirstDifference(const std::string& source, const RunTrace& a, const RunTrace& b,
                            const RunOptions& options,
                            const std::function<void(Interpreter&, int64_t)>& plant) {
    const size_t n = std::min(a.digests.size(), b.digests.size());
    size_t k = 0;
    while (k < n && a.digests[k] == b.digests[k] && a.rows[k] == b.rows[k]) ++k;
    const PreparedProgram program = Prepare(source);
    if (k < n) {
        // Run both again, keeping the whole state before that statement, to show the entry.
        RunOptions again = options;
        again.everyStatement = false;
        again.keepStateBefore = static_cast<int64_t>(k);
        RunOptions againPlanted = again;
        if (plant) againPlanted.afterStatement = plant;
        const RunTrace a2 = TraceRun(source, true, againPlanted);
        const RunTrace b2 = TraceRun(source, false, again);
        std::string out = "the tables differ before statement " + std::to_string(k + 1) + "\n";
        std::string entry =
            ListDifference("entry", kRememberingOrNot, a2.stateBefore, b2.stateBefore);
        out += entry.empty() ? "(but not when run again: the runs are not repeatable)\n" : entry;
        return out + RecentRows(program.buffer, a.rows, k, "about to run");
    }
    // The tables agreed before every statement both runs reached: the difference is in how,
    // or when, the runs ended.
    if (a.digests.size() != b.digests.size()) {
        return "the runs part after statement " + std::to_string(n) +
               ": one ends, the other goes on\n" +
               Both("how the runs ended:", kRememberingOrNot, Ending(a), Ending(b)) +
               RecentRows(program.buffer, a.rows, a.rows.size() - 1, "the last");
    }
    return EndDifference(a, b, kRememberingOrNot, program.buffer, a.rows);
}

}  // namespace

Comparison CompareRuns(const std::string& source, const RunOptions& options,
                       const std::function<void(Interpreter&, int64_t)>& plantRemembering) {
    Comparison out;
    RunOptions planted = options;
    if (plantRemembering) planted.afterStatement = plantRemembering;
    RunTrace a = TraceRun(source, true, planted);
    if (!a.prepared) return out;
    out.prepared = true;
    const RunTrace b = TraceRun(source, false, options);
    out.difference = FirstDifference(source, a, b, options, plantRemembering);
    if (out.difference.empty() && options.everyStatement && !plantRemembering) {
        // The run loop has a copy of its own for a run without an observer: it must end as the
        // observed run does.
        RunOptions unobserved = options;
        unobserved.everyStatement = false;
        const RunTrace c = TraceRun(source, true, unobserved);
        const std::string d = EndDifference(a, c, kObservedOrNot, Prepare(source).buffer, a.rows);
        if (!d.empty()) out.difference = "remembering, with and without an observer:\n" + d;
    }
    out.remembering = std::move(a);
    return out;
}

std::string Listing(const std::string& source) {
    std::string out;
    int number = 1;
    for (const std::string& line : SplitLines(source)) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%4d  ", number++);
        out += prefix + Shown(line) + "\n";
    }
    return out;
}

}  // namespace tw::diff
