#pragma once
// Quick forms of the program's expressions (the evaluator's, and the commands' quick forms').
//
// The evaluator works on texts: every evaluation substitutes values into cells, classifies the
// cells, groups * / \ and reduces the list over the expression stack. For one of the program's
// token lists, everything but the values is the same every time, as long as every value that
// comes in is a plain operand (a number, or a text that is neither empty nor shapes the
// expression). A quick form is that work done once: the operand cells (constants, variables,
// calls of functions that have a quick form), and for each mode of the expression (numeric and
// string) the reduction's steps as the evaluator would take them on those cells.
//
// Evaluating a quick form resolves the operands, decides the mode from their classes, runs the
// steps on numbers (numeric mode) or on values (string mode, with the evaluator's own operator),
// and writes the expression stack's levels as the evaluator would leave them. Whatever it cannot
// decide exactly (a stale level below, a text that would change the expression's shape, a
// magnitude where an operation turns textual, a failing operation, a variable named like a
// function, a variable that does not exist) makes it give up before anything has changed; the
// evaluator then runs as always. A call's arguments are evaluated (and their levels written)
// before the reduction, as substitution does; the evaluator, running after such a give-up,
// evaluates them again to the same values and levels.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/eval_scratch.h"

namespace tw {

class Interpreter;

struct QuickExpression;

// One operand cell of a quick form.
struct QuickCell {
    enum class Kind : uint8_t { Token, Variable, Call };
    Kind kind = Kind::Token;
    // Token: the token and its facts (the plan's or the form's own).
    std::string_view text;
    const TokenFacts* facts = nullptr;
    // Variable (and Call: a variable of the function's name takes its place).
    std::string_view upper;
    size_t group = 0;
    VariableTable::Hint hint;
    // Call.
    int16_t function = -1;
    QuickFunctionForm form;
    std::vector<std::unique_ptr<QuickExpression>> arguments;  // as the handler cuts them
    std::vector<Value> argumentValues;
    Value result;  // the call's value
};

// The reduction of one mode as a list of steps on the levels above the entry level.
struct QuickStep {
    enum class Kind : uint8_t {
        Load,   // level = cell (the level has no pending operator)
        Apply,  // level = level op cell
        Close,  // level = level above (op None) or level op level above
    };
    Kind kind;
    uint8_t level;
    OperatorCode op;
    int16_t cell;  // Load, Apply: the operand cell
};

struct QuickProgram {
    bool usable = false;
    std::vector<QuickStep> steps;
    int top = 0;          // the highest level the steps reach
    int resultLevel = 0;  // where the value ends (the entry level for a balanced expression)
    // Each level's operator as the evaluator leaves it, for the levels it sets one on.
    std::vector<std::pair<uint8_t, OperatorCode>> operators;
    std::vector<bool> written;           // the levels whose value the steps set
    std::vector<uint8_t> writtenLevels;  // the same as a list
};

struct QuickExpression {
    std::vector<QuickCell> cells;
    // A numeric evaluation can be decided in one pass over the steps, each operand resolved
    // as its step comes (the steps take the cells in their order, which is the order
    // substitution takes them in): no constant is a text, or a real of 1E38 or more.
    bool numberLane = false;
    bool staticReal = false;  // a constant real is among the cells
    bool calls = false;       // a call is among the cells
    // The expression is one variable on the number lane: a call's argument of this form is
    // read without an evaluation (the level it would write is written over by the calling
    // expression, or again by the evaluator if the quick form gives up).
    bool oneVariable = false;
    // Shapes whose numeric evaluation has a short way of its own, taken first (the lane runs
    // when it cannot decide):
    // - IntegerPair: two operands on one level, a variable and then a variable or a whole
    //   constant (below 2^31 in magnitude), joined by + - or a comparison. When the variables
    //   hold whole numbers (an integer kind), the lane's work comes down to one operation;
    // - IntegerProduct: the same joined by *, which the steps group one level up (the closing
    //   step copies it to the entry level): both levels take the result;
    // - IntegerSingle: one such operand alone (a variable or a whole constant);
    // - MathCall: a call of a function of one number (a maths function) on one variable.
    enum class Shortcut : uint8_t { None, IntegerPair, IntegerProduct, IntegerSingle, MathCall };
    Shortcut shortcut = Shortcut::None;
    std::vector<TokenFacts> ownFacts;  // facts of the tokens of a call's argument
    std::vector<int> guards;           // cells of operator words a variable could replace
    QuickProgram numeric, text;

    // Working storage of an evaluation (a form is never evaluated inside itself).
    struct Operand {
        CellClass cls = CellClass::Skip;
        Cell::Tag tag = Cell::Tag::Text;
        int32_t i = 0;
        double r = 0.0;       // Real: the real that its 15-digit text denotes
        double number = 0.0;  // the operand of numeric mode
        std::string_view text;
        Value value;  // a call's result
    };
    std::vector<Operand> operands;
    struct Number {
        ValueType type = ValueType::Real;
        int32_t i = 0;
        double r = 0.0;
    };
    std::vector<Number> numbers;
    // The numeric steps with their operands' sources.
    struct NumberStep {
        QuickStep::Kind kind = QuickStep::Kind::Load;
        uint8_t level = 0;
        OperatorCode op = OperatorCode::None;
        QuickCell* variable = nullptr;  // a variable's cell
        QuickCell* call = nullptr;      // a call's cell (neither: a constant)
        double number = 0.0;            // the constant's value
    };
    std::vector<NumberStep> numberSteps;
    std::vector<ExpressionLevel> levels;
    Value operand;
};

// The quick form of `count` tokens of the program whose facts are `facts` (with names), or
// null when they are not an expression whose shape the quick form knows.
std::unique_ptr<QuickExpression> CompileQuick(const Interpreter& in, const Args& tokens, int count,
                                              const std::vector<TokenFacts>& facts);

// The same for any tokens of the program, with facts of its own.
std::shared_ptr<QuickExpression> CompileQuick(const Interpreter& in, const Args& tokens);

// A numeric value as the evaluator leaves it (an integer or a real).
using QuickNumber = QuickExpression::Number;

enum class QuickOutcome : uint8_t {
    Done,       // a numeric result, in `out` and on the entry level
    General,    // not a numeric evaluation (a text among the operands): EvaluateQuick decides
    Undecided,  // the evaluator must run
};
// The quick way for a form whose operands all turn out to be numbers; nothing is written
// unless Done (but the levels its calls' arguments leave, as the evaluator would leave them).
QuickOutcome EvaluateQuickNumberLane(Interpreter& in, QuickExpression& quick, QuickNumber& out,
                                     ExpressionKind& kind);
// The shortcuts' ways (QuickExpression::Shortcut): false, with nothing written, when they
// cannot decide.
bool EvaluateIntegerPair(Interpreter& in, QuickExpression& quick, QuickNumber& out,
                         ExpressionKind& kind);
bool EvaluateIntegerProduct(Interpreter& in, QuickExpression& quick, QuickNumber& out,
                            ExpressionKind& kind);
bool EvaluateIntegerSingle(Interpreter& in, QuickExpression& quick, QuickNumber& out,
                           ExpressionKind& kind);
bool EvaluateMathCall(Interpreter& in, QuickExpression& quick, QuickNumber& out,
                      ExpressionKind& kind);
inline QuickOutcome EvaluateQuickNumber(Interpreter& in, QuickExpression& quick, QuickNumber& out,
                                        ExpressionKind& kind) {
    // (A shortcut's own function is small: the lane's is not entered at all.)
    using Shortcut = QuickExpression::Shortcut;
    const Shortcut shortcut = quick.shortcut;
    if (shortcut == Shortcut::IntegerPair) {
        if (EvaluateIntegerPair(in, quick, out, kind)) return QuickOutcome::Done;
    } else if (shortcut == Shortcut::IntegerProduct) {
        if (EvaluateIntegerProduct(in, quick, out, kind)) return QuickOutcome::Done;
    } else if (shortcut == Shortcut::IntegerSingle) {
        if (EvaluateIntegerSingle(in, quick, out, kind)) return QuickOutcome::Done;
    } else if (shortcut == Shortcut::MathCall && EvaluateMathCall(in, quick, out, kind)) {
        return QuickOutcome::Done;
    }
    return EvaluateQuickNumberLane(in, quick, out, kind);
}

// The kind a variable takes from an expression of this kind.
inline uint8_t KindOf(ExpressionKind kind) {
    switch (kind) {
        case ExpressionKind::Integer:
            return static_cast<uint8_t>(VariableKind::Integer);
        case ExpressionKind::Real:
            return static_cast<uint8_t>(VariableKind::Real);
        case ExpressionKind::String:
            break;
    }
    return static_cast<uint8_t>(VariableKind::String);
}

// What runs a prepared LET row (the variable `row.name` = the row's quick form) whose form has
// a shortcut: the variable, the shortcut and the store in one function, without the LET
// command's quick form around them, which runs when they cannot decide. Null for a form
// without a shortcut.
QuickCommand ShortcutAssignment(const QuickExpression& quick);

// Stores a numeric result in a value as the evaluator's result would be stored.
inline void StoreNumber(Value& target, const QuickNumber& n) {
    target.type = n.type;
    if (n.type == ValueType::Int) {
        target.i = n.i;
    } else {
        target.r = n.r;
    }
    // What the evaluator leaves is a number with no text beside it.
    if (!target.s.empty()) std::string().swap(target.s);
}

// Evaluates the quick form. False when it cannot decide: the levels and everything else are
// as the evaluator of these tokens would find them, and it must run.
bool EvaluateQuick(Interpreter& in, QuickExpression& quick, EvalResult& result);
// The same with the value written into `target` (into its own storage: a text is copied, not
// moved) and its kind into `kind`; nothing is written when it cannot decide.
bool EvaluateQuickInto(Interpreter& in, QuickExpression& quick, Value& target,
                       ExpressionKind& kind);
// EvaluateQuickInto after EvaluateQuickNumber said General: the rest of the way, without the
// numeric lane again.
bool EvaluateQuickGeneral(Interpreter& in, QuickExpression& quick, Value& target,
                          ExpressionKind& kind);

}  // namespace tw
