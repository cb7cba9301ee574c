// Quick forms of expressions.
//
// Sections: compiling (the cells, the steps of each mode); evaluating (operands, the numeric
// reduction, the string reduction, writing the levels).

#include "interpreter/quick_expression.h"

#include <algorithm>
#include <cmath>

#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"
#include "interpreter/round_trip.h"

namespace tw {

ExpressionPlan::ExpressionPlan() = default;
ExpressionPlan::~ExpressionPlan() = default;

// ---------------------------------------------------------------------------------------------
// Compiling

namespace {

bool CompileInto(const Interpreter& in, const Args& tokens, int count,
                 const std::vector<TokenFacts>& facts, QuickExpression& q);

// The cells as substitution makes them when every name is what it was taken for: a variable's
// name, or a call of a function with a quick form (with its tokens, as one cell).
bool BuildCells(const Interpreter& in, const Args& tokens, int count,
                const std::vector<TokenFacts>& facts, QuickExpression& q) {
    for (int p = 0; p < count; ++p) {
        const std::string_view t = tokens[p];
        const TokenFacts& f = facts[p];
        if (t.empty()) return false;  // an empty token inside ends the reduction early
        QuickCell& cell = q.cells.emplace_back();
        cell.upper = f.upper;
        cell.group = VariableTable::GroupOf(f.upper);
        // A name that is an operator word (AND, OR, NOT) stays what it is, unless a variable
        // of that name stands in its place.
        if (!f.name || (f.function < 0 && f.word != OperatorWord::Invalid)) {
            cell.kind = QuickCell::Kind::Token;
            cell.text = t;
            cell.facts = &f;
            if (f.name) q.guards.push_back(static_cast<int>(q.cells.size()) - 1);
            continue;
        }
        if (f.function < 0) {
            cell.kind = QuickCell::Kind::Variable;
            continue;
        }
        cell.kind = QuickCell::Kind::Call;
        cell.function = f.function;
        cell.form = in.functions.quick[f.function];
        if (!cell.form.run) return false;
        // The call's tokens, as substitution takes them: a name not followed by "(" is a call
        // without arguments; else everything up to the matching ")" within 49 tokens.
        if (tokens[p + 1] != "(") return false;  // no function with a quick form takes none
        int depth = 0, q_end = p + 1;
        for (; q_end <= p + 49 && q_end < count; ++q_end) {
            const std::string_view tq = tokens[q_end];
            if (tq == "(") {
                ++depth;
            } else if (tq == ")") {
                --depth;
            }
            if (depth == 0) break;
        }
        if (depth != 0) return false;
        const Args raw = tokens.Slice(p + 2, q_end - p - 2);
        // Cut as the function's handler cuts its tokens.
        Args parts[ArgCursor::kMaxParts];
        int partCount = 1;
        if (cell.form.parts == 0) {
            parts[0] = raw;
        } else {
            partCount = cell.form.parts;
            SplitArguments(raw, partCount, parts);
        }
        for (int i = 0; i < partCount; ++i) {
            const Args& part = parts[i];
            auto argument = std::make_unique<QuickExpression>();
            argument->ownFacts.resize(part.Count());
            for (int k = 0; k < part.Count(); ++k) {
                ComputeFacts(part[k], argument->ownFacts[k], true);
            }
            if (!CompileInto(in, part, part.Count(), argument->ownFacts, *argument)) return false;
            cell.arguments.push_back(std::move(argument));
        }
        cell.argumentValues.resize(partCount);
        p = q_end;  // the call's tokens are consumed
    }
    return !q.cells.empty();
}

// The evaluator's reduction loop run on the cells' shape instead of their values: it records
// the steps that involve values and the operators it leaves on the levels. False when the loop
// would fail on the shape alone, or read a level that this evaluation has not written (a value
// left by an earlier one).
bool Simulate(const std::vector<Cell>& cells, const std::vector<QuickCell>& quick,
              const std::vector<int>& w, bool stringMode, QuickProgram& out) {
    const int wn = static_cast<int>(w.size());
    constexpr int kNone = -3;
    auto item = [&](int k) { return k < wn ? w[k] : kNone; };
    auto isOpen = [&](int it) {
        return it == kOpenMark || (it >= 0 && cells[it].facts && cells[it].facts->open);
    };
    auto isClose = [&](int it) {
        return it == kCloseMark || (it >= 0 && cells[it].facts && cells[it].facts->close);
    };
    constexpr int kLevels = ExpressionStack::kLevels;
    std::vector<OperatorCode> op(kLevels, OperatorCode::None);
    std::vector<bool> opSet(kLevels, false);
    std::vector<bool> written(kLevels, false);
    int level = 0, top = 0;
    bool expectOperand = true;
    bool afterParen = false;
    for (int i = 0;; ++i) {
        const int t = item(i);
        if (t == kNone) {
            // The end (no cell of a quick form is empty): the value is the level's.
            if (!written[level]) return false;
            out.resultLevel = level;
            op[level] = OperatorCode::None;
            opSet[level] = true;
            break;
        }
        if (isOpen(t)) {
            if (level + 1 >= kLevels) return false;
            ++level;
            top = std::max(top, level);
            op[level] = OperatorCode::None;
            opSet[level] = true;
            expectOperand = false;
            afterParen = true;
        }
        if (isClose(t)) {
            if (level == 0) return false;
            --level;
            if (!written[level + 1]) return false;
            if (op[level] != OperatorCode::None && !written[level]) return false;
            out.steps.push_back(
                {QuickStep::Kind::Close, static_cast<uint8_t>(level), op[level], 0});
            written[level] = true;
            op[level] = OperatorCode::None;
            opSet[level] = true;
            expectOperand = true;
            afterParen = true;
        }
        if (expectOperand && !afterParen) {
            if (t < 0) return false;
            // In a numeric expression an operand must be a number: a token that is none is a
            // type mismatch.
            if (!stringMode && quick[t].kind == QuickCell::Kind::Token &&
                !cells[t].facts->numberOk) {
                return false;
            }
            if (op[level] != OperatorCode::None) {
                if (!written[level]) return false;
                out.steps.push_back({QuickStep::Kind::Apply, static_cast<uint8_t>(level), op[level],
                                     static_cast<int16_t>(t)});
                op[level] = OperatorCode::None;
                opSet[level] = true;
            } else {
                out.steps.push_back({QuickStep::Kind::Load, static_cast<uint8_t>(level),
                                     OperatorCode::None, static_cast<int16_t>(t)});
                written[level] = true;
            }
        }
        if (!expectOperand && !afterParen) {
            // Only a token can be an operator; numbers are none.
            const TokenFacts* facts = t >= 0 ? cells[t].facts : nullptr;
            if (!facts || facts->word == OperatorWord::Invalid) return false;
            if (facts->word == OperatorWord::Code) {
                op[level] = facts->code;
                opSet[level] = true;
            }
        }
        expectOperand = !expectOperand;
        afterParen = false;
    }
    out.top = top;
    out.written.assign(written.begin(), written.begin() + top + 1);
    for (int k = 0; k <= top; ++k) {
        if (written[k]) out.writtenLevels.push_back(static_cast<uint8_t>(k));
    }
    for (int k = 0; k < kLevels; ++k) {
        if (opSet[k]) out.operators.emplace_back(static_cast<uint8_t>(k), op[k]);
    }
    out.usable = true;
    return true;
}

}  // namespace

namespace {

bool CompileInto(const Interpreter& in, const Args& tokens, int count,
                 const std::vector<TokenFacts>& facts, QuickExpression& quick) {
    QuickExpression* q = &quick;
    if (count <= 0 || !BuildCells(in, tokens, count, facts, *q)) return false;
    // The cells' shape: tokens as they are, values as plain numbers.
    std::vector<Cell> shape(q->cells.size());
    for (size_t c = 0; c < q->cells.size(); ++c) {
        if (q->cells[c].kind == QuickCell::Kind::Token) {
            shape[c].tag = Cell::Tag::Text;
            shape[c].text = q->cells[c].text;
            shape[c].facts = q->cells[c].facts;
        } else {
            shape[c].tag = Cell::Tag::Int;
        }
    }
    int end;
    bool balanced;
    Shape(shape, end, balanced);
    if (!balanced || end != static_cast<int>(shape.size())) return false;
    std::vector<int> w;
    GroupedOrder(shape, end, false, w);
    Simulate(shape, q->cells, w, false, q->numeric);
    GroupedOrder(shape, end, true, w);
    Simulate(shape, q->cells, w, true, q->text);
    if (!q->numeric.usable && !q->text.usable) return false;
    q->numberLane = q->numeric.usable;
    for (const QuickCell& cell : q->cells) {
        if (cell.kind != QuickCell::Kind::Token) continue;
        // A constant text makes every evaluation a string one; a constant real a real one.
        if (cell.facts->cls == CellClass::String) q->numberLane = false;
        if (cell.facts->cls == CellClass::Real) q->staticReal = true;
        // (Such a real may have a text that is no number: the operators then work on texts.)
        if (cell.facts->cls != CellClass::String && !(std::fabs(cell.facts->number) < 1e38)) {
            q->numberLane = false;
        }
    }
    if (q->numberLane) {
        for (const QuickStep& step : q->numeric.steps) {
            QuickExpression::NumberStep& n = q->numberSteps.emplace_back();
            n.kind = step.kind;
            n.level = step.level;
            n.op = step.op;
            if (step.kind == QuickStep::Kind::Close) continue;
            QuickCell& cell = q->cells[step.cell];
            if (cell.kind == QuickCell::Kind::Variable) {
                n.variable = &cell;
            } else if (cell.kind == QuickCell::Kind::Call) {
                n.call = &cell;
            } else {
                n.number = cell.facts->number;
            }
        }
    }
    for (const QuickCell& cell : q->cells) q->calls |= cell.kind == QuickCell::Kind::Call;
    q->oneVariable = q->numberLane && q->numberSteps.size() == 1 && q->numberSteps[0].variable &&
                     q->guards.empty() && q->numeric.top == 0;
    // A product is grouped: its pair sits one level up, and the closing step copies it down.
    auto& ns = q->numberSteps;
    const bool grouped = ns.size() == 3 && q->numeric.top == 1 &&
                     ns[0].kind == QuickStep::Kind::Load && ns[0].level == 1 &&
                     ns[1].kind == QuickStep::Kind::Apply && ns[1].level == 1 &&
                     ns[1].op == OperatorCode::Multiply && ns[2].kind == QuickStep::Kind::Close &&
                     ns[2].level == 0 && ns[2].op == OperatorCode::None &&
                     // (The steps leave both levels without an operator.)
                     std::all_of(q->numeric.operators.begin(), q->numeric.operators.end(),
                                 [](const auto& o) { return o.second == OperatorCode::None; });
    const bool flat = q->numeric.top == 0 && ns.size() <= 2;
    if (q->numberLane && !q->calls && !q->staticReal && q->guards.empty() &&
        (flat || grouped) && !q->numberSteps.empty()) {
        auto wholeConstant = [](double c) {
            return c >= -2147483648.0 && c <= 2147483648.0 &&
                   c == static_cast<double>(static_cast<int64_t>(c));
        };
        const QuickExpression::NumberStep& first = q->numberSteps[0];
        bool known = first.kind == QuickStep::Kind::Load && !first.call &&
                     (first.variable || wholeConstant(first.number));
        if (q->numberSteps.size() >= 2) {
            const QuickExpression::NumberStep& second = q->numberSteps[1];
            const OperatorCode op = second.op;
            known = known && first.variable && second.kind == QuickStep::Kind::Apply &&
                    !second.call && (second.variable || wholeConstant(second.number)) &&
                    (op == OperatorCode::Add || op == OperatorCode::Subtract ||
                     op == OperatorCode::Multiply ||
                     (op >= OperatorCode::Less && op <= OperatorCode::NotEqual));
        }
        if (known) {
            q->shortcut = q->numberSteps.size() >= 2 ? QuickExpression::Shortcut::IntegerPair
                                                     : QuickExpression::Shortcut::IntegerSingle;
        }
    }
    if (grouped && q->shortcut == QuickExpression::Shortcut::IntegerPair) {
        q->shortcut = QuickExpression::Shortcut::IntegerProduct;
    }
    if (q->numberLane && q->guards.empty() && !q->staticReal && q->numeric.top == 0 &&
        ns.size() == 1 && ns[0].call && ns[0].call->form.number &&
        ns[0].call->arguments.size() == 1 && ns[0].call->arguments[0]->oneVariable) {
        q->shortcut = QuickExpression::Shortcut::MathCall;
    }
    q->operands.resize(q->cells.size());
    q->numbers.resize(ExpressionStack::kLevels);
    q->levels.resize(ExpressionStack::kLevels);
    return true;
}

}  // namespace

std::unique_ptr<QuickExpression> CompileQuick(const Interpreter& in, const Args& tokens, int count,
                                              const std::vector<TokenFacts>& facts) {
    auto q = std::make_unique<QuickExpression>();
    if (!CompileInto(in, tokens, count, facts, *q)) return nullptr;
    return q;
}

std::shared_ptr<QuickExpression> CompileQuick(const Interpreter& in, const Args& tokens) {
    int count = tokens.Count();
    while (count > 0 && tokens[count - 1].empty()) --count;
    auto q = std::make_shared<QuickExpression>();
    q->ownFacts.resize(count);
    for (int p = 0; p < count; ++p) ComputeFacts(tokens[p], q->ownFacts[p], true);
    if (!CompileInto(in, tokens, count, q->ownFacts, *q)) return nullptr;
    return q;
}

// ---------------------------------------------------------------------------------------------
// Evaluating

namespace {

using Operand = QuickExpression::Operand;
using Number = QuickExpression::Number;

CellClass ClassOf(TextClass cls) {
    switch (cls) {
        case TextClass::Integer:
            return CellClass::Integer;
        case TextClass::Real:
            return CellClass::Real;
        case TextClass::String:
            break;
    }
    return CellClass::String;
}

// A value as the cell that substitution makes of it. False for a text that is empty or an
// operator word (it would change the expression's shape or act as an operator).
bool FromValue(const Value& v, Operand& o) {
    switch (v.type) {
        case ValueType::Int:
            o.tag = Cell::Tag::Int;
            o.i = v.i;
            o.number = v.i;
            o.cls = CellClass::Integer;
            return true;
        case ValueType::Real:
            o.tag = Cell::Tag::Real;
            o.r = RoundTrip15(v.r);
            o.number = o.r;
            o.cls = ClassOf(ClassifyShownReal(o.r));
            return true;
        case ValueType::Str:
            break;
    }
    o.tag = Cell::Tag::Str;
    o.text = v.s;
    if (o.text.empty() || o.text == "." || IsOperatorWord(o.text)) return false;
    o.cls = ClassOf(ClassifyNumberText(o.text));
    if (o.cls != CellClass::String && !ParseDecimal(o.text, o.number)) return false;
    return true;
}

bool FromVariable(const Variable& v, Operand& o) {
    if (IsIntegerKind(v.kind)) {
        if (!ToInt32(v.value, o.i)) return false;  // "Value too big"
        o.tag = Cell::Tag::Int;
        o.number = o.i;
        o.cls = CellClass::Integer;
        return true;
    }
    if (v.kind == static_cast<uint8_t>(VariableKind::Real)) {
        double d;
        if (!ToDouble(v.value, d)) return false;
        o.tag = Cell::Tag::Real;
        o.r = RoundTrip15(d);
        o.number = o.r;
        o.cls = ClassOf(ClassifyShownReal(o.r));
        return true;
    }
    if (IsStringKind(v.kind)) return FromValue(v.value, o);
    return false;  // a name the evaluator would leave as its own text
}

// An argument that is one string variable holding a text that is no number: its value is that
// text as it stands. It is taken without an evaluation; the level the evaluation would write is
// written over by the expression that makes the call, or again by the evaluator if the quick
// form gives up, so it need not be written.
bool PlainTextArgument(Interpreter& in, QuickExpression& a, Value& out) {
    if (a.cells.size() != 1 || a.cells[0].kind != QuickCell::Kind::Variable || !a.text.usable) {
        return false;
    }
    QuickCell& cell = a.cells[0];
    const int slot = in.variables.Find(cell.upper, cell.group, cell.hint);
    if (slot < 0) return false;
    const Variable& v = in.variables[slot];
    if (!IsStringKind(v.kind) || v.value.type != ValueType::Str) return false;
    const std::string& text = v.value.s;
    // A quoted text would lose its quotes; an operator word would act as one.
    if (text.empty() || text[0] == '"' || text == "." || IsOperatorWord(text) ||
        ClassifyNumberText(text) != TextClass::String) {
        return false;
    }
    out.type = ValueType::Str;
    out.s.assign(text);  // into the storage the argument kept from the last call
    return true;
}

// A call's arguments, each evaluated as its handler would evaluate it, in order.
bool EvaluateArguments(Interpreter& in, QuickCell& cell) {
    for (size_t a = 0; a < cell.arguments.size(); ++a) {
        QuickExpression& argument = *cell.arguments[a];
        Value& target = cell.argumentValues[a];
        if (PlainTextArgument(in, argument, target)) continue;
        QuickNumber n;
        ExpressionKind kind;
        switch (EvaluateQuickNumber(in, argument, n, kind)) {
            case QuickOutcome::Done:
                StoreNumber(target, n);
                continue;
            case QuickOutcome::Undecided:
                return false;
            case QuickOutcome::General:
                break;
        }
        if (!EvaluateQuickGeneral(in, argument, target, kind)) return false;
    }
    return true;
}

bool ResolveOperands(Interpreter& in, QuickExpression& q) {
    for (size_t c = 0; c < q.cells.size(); ++c) {
        QuickCell& cell = q.cells[c];
        Operand& o = q.operands[c];
        switch (cell.kind) {
            case QuickCell::Kind::Token:
                o.tag = Cell::Tag::Text;
                o.text = cell.text;
                o.cls = cell.facts->cls;
                o.number = cell.facts->number;
                break;
            case QuickCell::Kind::Variable: {
                const int slot = in.variables.Find(cell.upper, cell.group, cell.hint);
                if (slot < 0 || !FromVariable(in.variables[slot], o)) return false;
                break;
            }
            case QuickCell::Kind::Call: {
                // A variable of the function's name is substituted instead.
                if (in.variables.Find(cell.upper, cell.group, cell.hint) >= 0) return false;
                if (!EvaluateArguments(in, cell)) return false;
                if (!cell.form.run(in, cell.argumentValues.data(), o.value)) return false;
                if (!FromValue(o.value, o)) return false;
                break;
            }
        }
    }
    return true;
}

inline double AsDouble(const Number& n) {
    return n.type == ValueType::Int ? n.i : n.r;
}

inline bool AsInt32(const Number& n, int32_t& out) {
    if (n.type == ValueType::Int) {
        out = n.i;
        return true;
    }
    return RoundToInt32(n.r, out);
}

inline bool SetReal(Number& n, double v) {
    if (!(std::fabs(v) < 1e38)) return false;  // not finite, or large
    n.type = ValueType::Real;
    n.r = v;
    return true;
}

inline void SetInt(Number& n, int32_t v) {
    n.type = ValueType::Int;
    n.i = v;
}

// The evaluator's operator in a numeric expression, where it can be decided on numbers: a real
// of 1E38 or more may have a text that is no number (the operator then works on texts), and
// every failure is left to the evaluator.
// The 6-byte real of a double; a whole number of at most 39 bits is one already.
inline bool Real48(double d, double& out) {
    if (d > -549755813888.0 && d < 549755813888.0 &&
        d == static_cast<double>(static_cast<int64_t>(d))) {
        out = d;
        return true;
    }
    return ToReal48(d, out);
}

// The operator on two numbers below 1E38 in magnitude; a result of 1E38 or more (or one that is
// not finite) is refused, so that every number the lane holds is below 1E38.
[[gnu::always_inline]] inline bool ApplySmall(OperatorCode op, Number& l, const Number& r) {
    const double dl = AsDouble(l), dr = AsDouble(r);
    switch (op) {
        case OperatorCode::Add:
            return SetReal(l, dl + dr);
        case OperatorCode::Subtract:
            return SetReal(l, dl - dr);
        case OperatorCode::Multiply:
            return SetReal(l, dl * dr);
        case OperatorCode::Divide:
            return dr != 0.0 && SetReal(l, dl / dr);
        case OperatorCode::IntegerDivide: {
            int32_t il, ir;
            if (!AsInt32(l, il) || !AsInt32(r, ir) || ir == 0) return false;
            const int64_t quotient = int64_t{il} / int64_t{ir};
            if (quotient > 2147483647) return false;
            SetInt(l, static_cast<int32_t>(quotient));
            return true;
        }
        case OperatorCode::And:
        case OperatorCode::Or: {
            auto truth = [](double d) { return d == 0.0 || d == -1.0; };
            if (!truth(dl) || !truth(dr)) return false;
            const bool result =
                op == OperatorCode::And ? (dl == 0.0 && dr == 0.0) : !(dl == -1.0 && dr == -1.0);
            SetInt(l, result ? kTrue : kFalse);
            return true;
        }
        case OperatorCode::None:
            return false;
        default: {
            // Comparisons go through the 6-byte real.
            double fl, fr;
            if (!Real48(dl, fl) || !Real48(dr, fr)) return false;
            SetInt(l, Holds(op, fl, fr) ? kTrue : kFalse);
            return true;
        }
    }
}

inline bool Large(const Number& n) {
    return n.type == ValueType::Real && !(std::fabs(n.r) < 1e38);
}

// The operator on any two numbers: one of 1E38 or more is left to the evaluator.
inline bool ApplyNumber(OperatorCode op, Number& l, const Number& r) {
    return !Large(l) && !Large(r) && ApplySmall(op, l, r);
}

bool RunNumeric(Interpreter& in, QuickExpression& q, int entry, Value& target) {
    const QuickProgram& program = q.numeric;
    Number* n = q.numbers.data();
    for (const QuickStep& step : program.steps) {
        switch (step.kind) {
            case QuickStep::Kind::Load:
                n[step.level] = Number{ValueType::Real, 0, q.operands[step.cell].number};
                break;
            case QuickStep::Kind::Apply:
                if (!ApplyNumber(step.op, n[step.level],
                                 Number{ValueType::Real, 0, q.operands[step.cell].number})) {
                    return false;
                }
                break;
            case QuickStep::Kind::Close:
                if (step.op == OperatorCode::None) {
                    n[step.level] = n[step.level + 1];
                } else if (!ApplyNumber(step.op, n[step.level], n[step.level + 1])) {
                    return false;
                }
                break;
        }
    }
    ExpressionStack& st = in.expressions;
    for (int k = 0; k <= program.top; ++k) {
        if (program.written[k]) StoreNumber(st.levels[entry + k].value, n[k]);
    }
    for (const auto& [k, op] : program.operators) st.levels[entry + k].op = op;
    StoreNumber(target, n[program.resultLevel]);
    return true;
}

// The operand's text in a string expression: a quoted text loses its quotes.
void OperandText(const Operand& o, std::string& out) {
    std::string_view text;
    switch (o.tag) {
        case Cell::Tag::Int:
            out = IntText(o.i);
            return;
        case Cell::Tag::Real:
            out = RealText(o.r);
            return;
        case Cell::Tag::Text:
        case Cell::Tag::Str:
            text = o.text;
            break;
    }
    if (!text.empty() && text[0] == '"') {
        text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view();
    }
    out.assign(text);
}

bool RunText(Interpreter& in, QuickExpression& q, int entry, Value& target) {
    const QuickProgram& program = q.text;
    ExpressionLevel* l = q.levels.data();
    TResult err;
    Value& operand = q.operand;
    operand.type = ValueType::Str;
    for (const QuickStep& step : program.steps) {
        ExpressionLevel& level = l[step.level];
        switch (step.kind) {
            case QuickStep::Kind::Load:
                level.value.type = ValueType::Str;
                OperandText(q.operands[step.cell], level.value.s);
                break;
            case QuickStep::Kind::Apply:
                OperandText(q.operands[step.cell], operand.s);
                level.op = step.op;
                if (!ApplyOperator(level, operand, true, err)) return false;
                break;
            case QuickStep::Kind::Close:
                if (step.op == OperatorCode::None) {
                    level.value = l[step.level + 1].value;
                } else {
                    level.op = step.op;
                    if (!ApplyOperator(level, l[step.level + 1].value, true, err)) return false;
                }
                break;
        }
    }
    // A big text goes the evaluator's way, which keeps the budget of texts held; the quick
    // form's own copies are given back.
    for (int k = 0; k <= program.top; ++k) {
        if (l[k].value.s.size() < kBigText) continue;
        for (int j = 0; j <= program.top; ++j) VariableTable::Forget(l[j].value.s);
        VariableTable::Forget(operand.s);
        return false;
    }
    ExpressionStack& st = in.expressions;
    for (int k = 0; k <= program.top; ++k) {
        if (program.written[k]) st.levels[entry + k].value = l[k].value;
    }
    for (const auto& [k, op] : program.operators) st.levels[entry + k].op = op;
    // Into the target's own storage: the level keeps its storage for the next evaluation. (A
    // comparison leaves a number even here.)
    const Value& value = l[program.resultLevel].value;
    target.type = value.type;
    target.i = value.i;
    target.r = value.r;
    target.s.assign(value.s);
    return true;
}

// What a real that re-enters as its text, of this class, is to the lane: an integer, a real
// (below 1E38: a larger one is left to the evaluator), or a text.
inline QuickOutcome ClassedNumber(TextClass textClass, double shown, bool& real) {
    switch (textClass) {
        case TextClass::Integer:
            return QuickOutcome::Done;
        case TextClass::Real:
            if (!(std::fabs(shown) < 1e38)) return QuickOutcome::Undecided;
            real = true;
            return QuickOutcome::Done;
        case TextClass::String:
            break;
    }
    return QuickOutcome::General;
}

inline QuickOutcome ShownRealNumber(double shown, bool& real) {
    return ClassedNumber(ClassifyShownRealInline(shown), shown, real);
}

// The 15-digit round trip of a function's real result, and its class (ShownRealNumber).
[[gnu::always_inline]] inline QuickOutcome RoundTripNumber(double y, double& number, bool& real) {
    TextClass textClass;
    number = RoundTrip15Classified(y, textClass);
    return ClassedNumber(textClass, number, real);
}

// A variable's number as its cell holds it, and whether its text is a real: the integer of an
// integer variable, the 15-digit real of a real one. General for a variable that holds a text
// (or a real whose text is none), Undecided for one the evaluator refuses.
[[gnu::always_inline]] inline QuickOutcome VariableNumber(const Variable& v, double& number,
                                                          bool& real) {
    if (IsIntegerKind(v.kind)) {
        if (v.value.type == ValueType::Int) {
            number = v.value.i;
            return QuickOutcome::Done;
        }
        if (v.value.type != ValueType::Real) return QuickOutcome::General;
        const double r = v.value.r;
        // A whole number in range is its own integer; anything else rounds half to even.
        if (r >= -2147483648.0 && r <= 2147483647.0 &&
            r == static_cast<double>(static_cast<int32_t>(r))) {
            number = r;
            return QuickOutcome::Done;
        }
        int32_t i;
        if (!RoundToInt32(r, i)) return QuickOutcome::Undecided;
        number = i;
        return QuickOutcome::Done;
    }
    if (v.kind != static_cast<uint8_t>(VariableKind::Real) || v.value.type != ValueType::Real) {
        return QuickOutcome::General;
    }
    number = RoundTrip15(v.value.r);
    return ShownRealNumber(number, real);
}

// A call's number: its arguments evaluated, its quick form run on them; General for a text.
QuickOutcome CallNumber(Interpreter& in, QuickCell& cell, double& number, bool& real) {
    // A variable of the function's name is substituted instead.
    if (in.variables.Find(cell.upper, cell.group, cell.hint) >= 0) return QuickOutcome::Undecided;
    // A function of one number on a numeric argument: on numbers throughout.
    if (cell.form.number) {
        QuickExpression& a = *cell.arguments[0];
        double x;
        QuickOutcome got;
        if (a.oneVariable) {
            QuickCell& variable = *a.numberSteps[0].variable;
            const int slot = in.variables.Find(variable.upper, variable.group, variable.hint);
            if (slot < 0) return QuickOutcome::Undecided;
            bool ignored = false;
            got = VariableNumber(in.variables[slot], x, ignored);
        } else {
            QuickNumber argument;
            ExpressionKind argumentKind;
            got = EvaluateQuickNumber(in, a, argument, argumentKind);
            x = AsDouble(argument);
        }
        switch (got) {
            case QuickOutcome::Done: {
                double y;
                if (!cell.form.number(in, x, y)) return QuickOutcome::Undecided;
                return RoundTripNumber(y, number, real);
            }
            case QuickOutcome::Undecided:
                return QuickOutcome::Undecided;
            case QuickOutcome::General:
                break;
        }
    }
    if (!EvaluateArguments(in, cell)) return QuickOutcome::Undecided;
    if (!cell.form.run(in, cell.argumentValues.data(), cell.result)) {
        return QuickOutcome::Undecided;
    }
    switch (cell.result.type) {
        case ValueType::Int:
            number = cell.result.i;
            return QuickOutcome::Done;
        case ValueType::Real:
            number = RoundTrip15(cell.result.r);
            return ShownRealNumber(number, real);
        case ValueType::Str:
            break;
    }
    return QuickOutcome::General;
}

// The number a Load or Apply step takes: a constant, a variable's or (kCalls) a call's, below
// 1E38 in magnitude.
template <bool kCalls = true>
[[gnu::always_inline]] inline QuickOutcome StepNumber(Interpreter& in,
                                                      const QuickExpression::NumberStep& step,
                                                      double& number, bool& real) {
    number = step.number;
    if (step.variable) {
        QuickCell& cell = *step.variable;
        const int slot = in.variables.Find(cell.upper, cell.group, cell.hint);
        if (slot < 0) return QuickOutcome::Undecided;
        return VariableNumber(in.variables[slot], number, real);
    }
    if (kCalls && step.call) return CallNumber(in, *step.call, number, real);
    return QuickOutcome::Done;
}

// The steps on one level (no parentheses, no grouping): the value stays in a local.
// (Without calls among the operands nothing in the loop calls out, and its values stay in
// registers.)
template <bool kCalls>
QuickOutcome NumberLaneFlat(Interpreter& in, QuickExpression& q, int entry, bool real,
                            QuickNumber& out, ExpressionKind& kind) {
    Number acc{ValueType::Real, 0, 0.0};
    for (const QuickExpression::NumberStep& step : q.numberSteps) {
        double number;
        const QuickOutcome got = StepNumber<kCalls>(in, step, number, real);
        if (got != QuickOutcome::Done) return got;
        if (step.kind == QuickStep::Kind::Load) {
            acc.type = ValueType::Real;
            acc.r = number;
        } else if (!ApplySmall(step.op, acc, Number{ValueType::Real, 0, number})) {
            return QuickOutcome::Undecided;
        }
    }
    StoreNumber(in.expressions.levels[entry].value, acc);
    out = acc;
    kind = real ? ExpressionKind::Real : ExpressionKind::Integer;
    return QuickOutcome::Done;
}

// The flat lane of one or two operands (most expressions), unrolled.
template <bool kCalls>
QuickOutcome NumberPair(Interpreter& in, QuickExpression& q, int entry, bool real, QuickNumber& out,
                        ExpressionKind& kind) {
    const QuickExpression::NumberStep* steps = q.numberSteps.data();
    double first;
    QuickOutcome got = StepNumber<kCalls>(in, steps[0], first, real);
    if (got != QuickOutcome::Done) return got;
    Number acc{ValueType::Real, 0, first};
    if (q.numberSteps.size() == 2) {
        double second;
        got = StepNumber<kCalls>(in, steps[1], second, real);
        if (got != QuickOutcome::Done) return got;
        if (!ApplySmall(steps[1].op, acc, Number{ValueType::Real, 0, second})) {
            return QuickOutcome::Undecided;
        }
    }
    StoreNumber(in.expressions.levels[entry].value, acc);
    out = acc;
    kind = real ? ExpressionKind::Real : ExpressionKind::Integer;
    return QuickOutcome::Done;
}

// A variable's number when it is whole: an integer kind holding an integer, or a whole real in
// the integer range (what VariableNumber reads it as, without rounding).
[[gnu::always_inline]] inline bool WholeVariable(Interpreter& in, QuickCell& cell, double& x) {
    const int slot = in.variables.Find(cell.upper, cell.group, cell.hint);
    if (slot < 0) return false;
    const Variable& v = in.variables[slot];
    if (!IsIntegerKind(v.kind)) return false;
    if (v.value.type == ValueType::Int) {
        x = v.value.i;
        return true;
    }
    if (v.value.type != ValueType::Real) return false;
    const double r = v.value.r;
    if (!(r >= -2147483648.0 && r <= 2147483647.0 &&
          r == static_cast<double>(static_cast<int32_t>(r)))) {
        return false;
    }
    x = r;
    return true;
}

// The result of a whole-number way on the entry level, as the lane leaves it (kind Integer).
[[gnu::always_inline]] inline bool Leave(ExpressionLevel& level, const Number& result,
                                         QuickNumber& out, ExpressionKind& kind) {
    StoreNumber(level.value, result);
    out = result;
    kind = ExpressionKind::Integer;
    return true;
}

// The integer pair (Shortcut::IntegerPair, and IntegerProduct when kGrouped) on whole numbers:
// the operation as the lane does it (a sum, difference or product is a real; a comparison of
// whole numbers below 2^39 is one of their 6-byte reals, which they are), its result on the
// entry level. False, with nothing written, when an operand is not whole or an operator is
// pending.
template <bool kGrouped>
[[gnu::always_inline]] inline bool IntegerPair(Interpreter& in, QuickExpression& q,
                                               QuickNumber& out, ExpressionKind& kind) {
    ExpressionStack& st = in.expressions;
    ExpressionLevel& level = st.levels[st.stackLevel];
    if (level.op != OperatorCode::None) return false;
    const QuickExpression::NumberStep* steps = q.numberSteps.data();
    double a, b = steps[1].number;
    if (!WholeVariable(in, *steps[0].variable, a)) return false;
    Number result{ValueType::Real, 0, 0.0};
    if (steps[1].variable && !WholeVariable(in, *steps[1].variable, b)) return false;
    if (kGrouped && st.stackLevel + 1 >= ExpressionStack::kLevels) return false;
    switch (kGrouped ? OperatorCode::Multiply : steps[1].op) {
        case OperatorCode::Add:
            result.r = a + b;
            break;
        case OperatorCode::Subtract:
            result.r = a - b;
            break;
        case OperatorCode::Multiply:
            result.r = a * b;
            break;
        default:
            SetInt(result, Holds(steps[1].op, a, b) ? kTrue : kFalse);
            break;
    }
    if (kGrouped) {
        // The level above holds the product too, and no level keeps an operator (the entry
        // level has none).
        ExpressionLevel& above = st.levels[st.stackLevel + 1];
        StoreNumber(above.value, result);
        above.op = OperatorCode::None;
    }
    return Leave(level, result, out, kind);
}

// The single whole operand (Shortcut::IntegerSingle): its number, as a real, on the entry
// level, as the lane leaves it.
[[gnu::always_inline]] inline bool IntegerSingle(Interpreter& in, QuickExpression& q,
                                                 QuickNumber& out, ExpressionKind& kind) {
    ExpressionStack& st = in.expressions;
    ExpressionLevel& level = st.levels[st.stackLevel];
    if (level.op != OperatorCode::None) return false;
    const QuickExpression::NumberStep& step = q.numberSteps[0];
    double a = step.number;
    if (step.variable && !WholeVariable(in, *step.variable, a)) return false;
    return Leave(level, Number{ValueType::Real, 0, a}, out, kind);
}

// A maths function of one variable (QuickExpression::Shortcut::MathCall): what the lane does
// for the one step, a call whose argument is read without an evaluation. The functions are
// pure, so one that the lane must call again after a give-up gives the same.
[[gnu::always_inline]] inline bool MathCall(Interpreter& in, QuickExpression& q,
                                            QuickNumber& out, ExpressionKind& kind) {
    ExpressionStack& st = in.expressions;
    ExpressionLevel& level = st.levels[st.stackLevel];
    if (level.op != OperatorCode::None) return false;
    QuickCell& cell = *q.numberSteps[0].call;
    // A variable of the function's name is substituted instead.
    if (in.variables.Find(cell.upper, cell.group, cell.hint) >= 0) return false;
    QuickCell& variable = *cell.arguments[0]->numberSteps[0].variable;
    const int slot = in.variables.Find(variable.upper, variable.group, variable.hint);
    if (slot < 0) return false;
    double x, y;
    bool real = false;
    if (VariableNumber(in.variables[slot], x, real) != QuickOutcome::Done) return false;
    if (!cell.form.number(in, x, y)) return false;
    real = false;
    double number;
    if (RoundTripNumber(y, number, real) != QuickOutcome::Done) return false;
    const Number result{ValueType::Real, 0, number};
    StoreNumber(level.value, result);
    out = result;
    kind = real ? ExpressionKind::Real : ExpressionKind::Integer;
    return true;
}

}  // namespace

// A numeric evaluation in one pass over its steps. A text among the operands leaves it to the
// general way, and anything undecided to the evaluator, before anything has been written.
// Whether a variable stands in place of a word the quick form took for an operator.
bool GuardsHold(Interpreter& in, QuickExpression& q) {
    for (int c : q.guards) {
        QuickCell& cell = q.cells[c];
        if (in.variables.Find(cell.upper, cell.group, cell.hint) >= 0) return false;
    }
    return true;
}

bool EvaluateIntegerPair(Interpreter& in, QuickExpression& q, QuickNumber& out,
                         ExpressionKind& kind) {
    return IntegerPair<false>(in, q, out, kind);
}

bool EvaluateIntegerProduct(Interpreter& in, QuickExpression& q, QuickNumber& out,
                            ExpressionKind& kind) {
    return IntegerPair<true>(in, q, out, kind);
}

bool EvaluateIntegerSingle(Interpreter& in, QuickExpression& q, QuickNumber& out,
                           ExpressionKind& kind) {
    return IntegerSingle(in, q, out, kind);
}

bool EvaluateMathCall(Interpreter& in, QuickExpression& q, QuickNumber& out,
                      ExpressionKind& kind) {
    return MathCall(in, q, out, kind);
}

namespace {

// The LET row by its form's shortcut (ShortcutAssignment).
template <QuickExpression::Shortcut kWay>
bool AssignByShortcut(Interpreter& in, const Args& args, RowCache& row, CommandResult& result) {
    using Shortcut = QuickExpression::Shortcut;
    const int slot = in.variables.Find(row.name, row.group, row.variable);
    if (slot >= 0) {
        QuickExpression& q = *row.quick;
        QuickNumber n;
        ExpressionKind kind;
        bool done;
        if constexpr (kWay == Shortcut::IntegerPair) {
            done = IntegerPair<false>(in, q, n, kind);
        } else if constexpr (kWay == Shortcut::IntegerProduct) {
            done = IntegerPair<true>(in, q, n, kind);
        } else if constexpr (kWay == Shortcut::IntegerSingle) {
            done = IntegerSingle(in, q, n, kind);
        } else {
            done = MathCall(in, q, n, kind);
        }
        if (done) {
            Variable& v = in.variables[slot];
            StoreNumber(v.value, n);
            v.kind = KindOf(kind);
            result.ok = true;
            return true;
        }
    }
    return in.commands.quick[Index(CommandId::LET)](in, args, row, result);
}

}  // namespace

QuickCommand ShortcutAssignment(const QuickExpression& quick) {
    using Shortcut = QuickExpression::Shortcut;
    switch (quick.shortcut) {
        case Shortcut::None:
            break;
        case Shortcut::IntegerPair:
            return AssignByShortcut<Shortcut::IntegerPair>;
        case Shortcut::IntegerProduct:
            return AssignByShortcut<Shortcut::IntegerProduct>;
        case Shortcut::IntegerSingle:
            return AssignByShortcut<Shortcut::IntegerSingle>;
        case Shortcut::MathCall:
            return AssignByShortcut<Shortcut::MathCall>;
    }
    return nullptr;
}

QuickOutcome EvaluateQuickNumberLane(Interpreter& in, QuickExpression& q, QuickNumber& out,
                                     ExpressionKind& kind) {
    if (!q.numberLane) return QuickOutcome::General;
    ExpressionStack& st = in.expressions;
    const int entry = st.stackLevel;
    // An operator left pending on the entry level would act on the first operand.
    if (st.levels[entry].op != OperatorCode::None) return QuickOutcome::Undecided;
    const QuickProgram& program = q.numeric;
    if (entry + program.top >= ExpressionStack::kLevels) return QuickOutcome::Undecided;
    if (!q.guards.empty() && !GuardsHold(in, q)) return QuickOutcome::Undecided;
    bool real = q.staticReal;
    if (program.top == 0) {
        if (q.numberSteps.size() <= 2) {
            return q.calls ? NumberPair<true>(in, q, entry, real, out, kind)
                           : NumberPair<false>(in, q, entry, real, out, kind);
        }
        return q.calls ? NumberLaneFlat<true>(in, q, entry, real, out, kind)
                       : NumberLaneFlat<false>(in, q, entry, real, out, kind);
    }
    Number* n = q.numbers.data();
    for (const QuickExpression::NumberStep& step : q.numberSteps) {
        if (step.kind == QuickStep::Kind::Close) {
            if (step.op == OperatorCode::None) {
                n[step.level] = n[step.level + 1];
            } else if (!ApplySmall(step.op, n[step.level], n[step.level + 1])) {
                return QuickOutcome::Undecided;
            }
            continue;
        }
        double number;
        const QuickOutcome got = StepNumber(in, step, number, real);
        if (got != QuickOutcome::Done) return got;
        if (step.kind == QuickStep::Kind::Load) {
            n[step.level] = Number{ValueType::Real, 0, number};
        } else if (!ApplySmall(step.op, n[step.level], Number{ValueType::Real, 0, number})) {
            return QuickOutcome::Undecided;
        }
    }
    for (const uint8_t k : program.writtenLevels) StoreNumber(st.levels[entry + k].value, n[k]);
    for (const auto& [k, op] : program.operators) st.levels[entry + k].op = op;
    out = n[program.resultLevel];
    kind = real ? ExpressionKind::Real : ExpressionKind::Integer;
    return QuickOutcome::Done;
}

bool EvaluateQuick(Interpreter& in, QuickExpression& q, EvalResult& result) {
    if (!EvaluateQuickInto(in, q, result.value, result.kind)) return false;
    result.ok = true;
    return true;
}

bool EvaluateQuickInto(Interpreter& in, QuickExpression& q, Value& target, ExpressionKind& kind) {
    if (q.numberLane) {
        QuickNumber n;
        switch (EvaluateQuickNumber(in, q, n, kind)) {
            case QuickOutcome::Done:
                StoreNumber(target, n);
                return true;
            case QuickOutcome::Undecided:
                return false;
            case QuickOutcome::General:
                break;
        }
    }
    return EvaluateQuickGeneral(in, q, target, kind);
}

bool EvaluateQuickGeneral(Interpreter& in, QuickExpression& q, Value& target,
                          ExpressionKind& kind) {
    const int entry = in.expressions.stackLevel;
    // An operator left pending on the entry level would act on the first operand.
    if (in.expressions.levels[entry].op != OperatorCode::None) return false;
    if (!q.guards.empty() && !GuardsHold(in, q)) return false;
    if (!ResolveOperands(in, q)) return false;

    ExpressionKind mode = ExpressionKind::String;
    bool text = false;
    for (const Operand& o : q.operands) {
        if (o.cls == CellClass::String) {
            text = true;
            break;
        }
        if (o.cls == CellClass::Real) {
            mode = ExpressionKind::Real;
        } else if (o.cls == CellClass::Integer && mode != ExpressionKind::Real) {
            mode = ExpressionKind::Integer;
        }
    }
    if (text) mode = ExpressionKind::String;
    const QuickProgram& program = mode == ExpressionKind::String ? q.text : q.numeric;
    if (!program.usable || entry + program.top >= ExpressionStack::kLevels) return false;
    if (!(mode == ExpressionKind::String ? RunText(in, q, entry, target)
                                         : RunNumeric(in, q, entry, target))) {
        return false;
    }
    kind = mode;
    return true;
}

}  // namespace tw
