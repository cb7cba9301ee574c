// The expression evaluator.
//
// Sections:
//   Cells          a token after substitution: its source text, or a value standing for its text
//   Classification what a text is (operator, whole number, decimal, string)
//   Operators      CheckOperator and ApplyOperator
//   Grouping       GroupMultiplicative
//   Evaluate       substitution, classification, grouping, reduction
//   Collect        CollectExpression
//
// Values re-enter an expression as text. To stay fast without changing a single result, a
// substituted value is kept as a number where its text is a number: every step below derives
// what it needs from the text that the value stands for, never from the value's own type.

#include "interpreter/expression.h"

#include <algorithm>
#include <cmath>

#include "frontend/keywords.h"
#include "frontend/names.h"
#include "interpreter/eval_scratch.h"
#include "interpreter/interpreter.h"
#include "interpreter/quick_expression.h"

namespace tw {

// ---------------------------------------------------------------------------------------------
// Token facts

bool IsOperatorWord(std::string_view w) {
    switch (w.size()) {
        case 1:
            switch (w[0]) {
                case '+':
                case '-':
                case '/':
                case '\\':
                case '*':
                case '(':
                case ')':
                case '<':
                case '>':
                case '=':
                    return true;
                default:
                    return false;
            }
        case 2:
            return w == "<=" || w == ">=" || w == "<>" || EqualsUpper(w, "OR");
        case 3:
            return EqualsUpper(w, "AND");
        default:
            return false;
    }
}

namespace {

// CheckOperator, and the code a token sets. NOT passes the check and sets nothing.
OperatorWord CheckOperator(std::string_view w, OperatorCode& code) {
    if (w.size() == 1) {
        switch (w[0]) {
            case '+':
                code = OperatorCode::Add;
                return OperatorWord::Code;
            case '-':
                code = OperatorCode::Subtract;
                return OperatorWord::Code;
            case '*':
                code = OperatorCode::Multiply;
                return OperatorWord::Code;
            case '\\':
                code = OperatorCode::IntegerDivide;
                return OperatorWord::Code;
            case '/':
                code = OperatorCode::Divide;
                return OperatorWord::Code;
            case '<':
                code = OperatorCode::Less;
                return OperatorWord::Code;
            case '>':
                code = OperatorCode::Greater;
                return OperatorWord::Code;
            case '=':
                code = OperatorCode::Equal;
                return OperatorWord::Code;
            default:
                return OperatorWord::Invalid;
        }
    }
    if (w == "<>") {
        code = OperatorCode::NotEqual;
        return OperatorWord::Code;
    }
    if (w == "<=") {
        code = OperatorCode::LessEqual;
        return OperatorWord::Code;
    }
    if (w == ">=") {
        code = OperatorCode::GreaterEqual;
        return OperatorWord::Code;
    }
    if (EqualsUpper(w, "AND")) {
        code = OperatorCode::And;
        return OperatorWord::Code;
    }
    if (EqualsUpper(w, "OR")) {
        code = OperatorCode::Or;
        return OperatorWord::Code;
    }
    if (EqualsUpper(w, "NOT")) return OperatorWord::Not;
    return OperatorWord::Invalid;
}

}  // namespace

void ComputeFacts(std::string_view text, TokenFacts& f, bool withName) {
    f = TokenFacts{};
    f.empty = text.empty();
    if (f.empty) return;
    if (text.size() == 1) {
        const char c = text[0];
        f.open = c == '(';
        f.close = c == ')';
        f.plusMinus = c == '+' || c == '-';
        f.multiplicative = c == '*' || c == '/' || c == '\\';
    }
    // The classifier passes over operators and the lone "."; any other text is a whole number,
    // a decimal that fits the 6-byte real, or a string.
    if (!IsOperatorWord(text) && text != ".") {
        switch (ClassifyNumberText(text)) {
            case TextClass::Integer:
                f.cls = CellClass::Integer;
                break;
            case TextClass::Real:
                f.cls = CellClass::Real;
                break;
            case TextClass::String:
                f.cls = CellClass::String;
                break;
        }
    }
    f.numberOk = ParseDecimal(text, f.number);
    f.word = CheckOperator(text, f.code);
    const char first = UpperAscii(text[0]);
    if (withName && first >= 'A' && first <= 'Z') {
        f.name = true;
        f.upper = ToUpper(text);
        f.function = static_cast<int16_t>(FindFunction(f.upper));
    }
}

namespace {

// ---------------------------------------------------------------------------------------------
// Cells

// The text a cell stands for. Numbers are formatted into `buffer` on demand.
std::string_view CellText(const Cell& c, std::string& buffer) {
    switch (c.tag) {
        case Cell::Tag::Text:
            return c.text;
        case Cell::Tag::Str:
            return c.text;
        case Cell::Tag::Int:
            buffer = IntText(c.i);
            return buffer;
        case Cell::Tag::Real:
            buffer = RealText(c.r);
            return buffer;
    }
    return {};
}

// Numbers are never empty, parentheses or operators; texts have their facts.
bool CellEmpty(const Cell& c) {
    return c.facts && c.facts->empty;
}
bool CellOpen(const Cell& c) {
    return c.facts && c.facts->open;
}
bool CellClose(const Cell& c) {
    return c.facts && c.facts->close;
}
bool CellPlusMinus(const Cell& c) {
    return c.facts && c.facts->plusMinus;
}
bool CellMultiplicative(const Cell& c) {
    return c.facts && c.facts->multiplicative;
}

CellClass ClassifyReal(double roundTripped) {
    switch (ClassifyShownReal(roundTripped)) {
        case TextClass::Integer:
            return CellClass::Integer;
        case TextClass::Real:
            return CellClass::Real;
        case TextClass::String:
            break;
    }
    return CellClass::String;
}

CellClass ClassifyCell(const Cell& c) {
    switch (c.tag) {
        case Cell::Tag::Int:
            return CellClass::Integer;
        case Cell::Tag::Real:
            return ClassifyReal(c.r);
        default:
            return c.facts->cls;
    }
}

ExpressionKind ClassifyExpression(const std::vector<Cell>& cells) {
    ExpressionKind k = ExpressionKind::String;
    for (const Cell& c : cells) {
        switch (ClassifyCell(c)) {
            case CellClass::Skip:
                break;
            case CellClass::Integer:
                if (k != ExpressionKind::Real) k = ExpressionKind::Integer;
                break;
            case CellClass::Real:
                k = ExpressionKind::Real;
                break;
            case CellClass::String:
                return ExpressionKind::String;
        }
    }
    return k;
}

// Whether the text of a value, classified on its own, is a string.
bool IsStringText(const Value& v) {
    switch (v.type) {
        case ValueType::Int:
            return false;
        case ValueType::Real:
            if (std::fabs(v.r) < 1e38) return false;
            return ClassifyReal(RoundTrip15(v.r)) == CellClass::String;
        case ValueType::Str:
            if (v.s.empty() || IsOperatorWord(v.s) || v.s == ".") return true;
            return ClassifyNumberText(v.s) == TextClass::String;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Operators

bool IsComparison(OperatorCode op) {
    return op >= OperatorCode::Less && op <= OperatorCode::NotEqual;
}

// The length of a value's text; numbers are short.
size_t TextLength(const Value& v) {
    return v.IsStr() ? v.s.size() : 24;
}

// Reads an AND/OR operand: it must be 0 or -1.
bool LogicalOperand(const Value& v, TResult& err) {
    double d;
    if (!ToDouble(v, d)) {
        err.Fail(ErrorId::OperatorNotCorrect, 0);
        return false;
    }
    if (d != 0.0 && d != -1.0) {
        err.Fail(ErrorId::LogicalOperator, 0);
        return false;
    }
    return true;
}

bool Numbers(const Value& l, const Value& r, double& dl, double& dr, TResult& err) {
    if (!ToDouble(l, dl) || !ToDouble(r, dr)) {
        err.Fail(ErrorId::OperatorNotCorrect, 0);
        return false;
    }
    return true;
}

bool SetReal(Value& target, double v, TResult& err) {
    if (!std::isfinite(v)) {  // overflow, division by zero, invalid operation
        err.Fail(ErrorId::OperatorNotCorrect, 0);
        return false;
    }
    target.type = ValueType::Real;
    target.r = v;
    return true;
}

void SetInt(Value& target, int32_t v) {
    target.type = ValueType::Int;
    target.i = v;
}

}  // namespace

// Combines the level's value with r under the level's operator; the result replaces the
// level's value.
bool ApplyOperator(ExpressionLevel& level, const Value& r, bool stringMode, TResult& err) {
    Value& l = level.value;
    const OperatorCode op = level.op;
    const bool textual = IsStringText(r) || IsStringText(l);

    if (op == OperatorCode::And || op == OperatorCode::Or) {
        if (!LogicalOperand(r, err) || !LogicalOperand(l, err)) return false;
    }

    if (textual) {
        if (op == OperatorCode::Add) {
            if (TextLength(l) + TextLength(r) > kMaxTextLength) {
                err.Fail(ErrorId::ValueTooBig, 0);
                return false;
            }
            if (l.IsStr()) {
                AppendText(l.s, r);
            } else {
                std::string joined = TextOf(l);
                AppendText(joined, r);
                l = Value::Str(std::move(joined));
            }
            return true;
        }
        if (IsComparison(op)) {
            bool holds = Holds(op, TextOf(l), TextOf(r));
            SetInt(l, holds ? kTrue : kFalse);
            return true;
        }
        err.Fail(ErrorId::OperatorNotCorrect, 0);
        return false;
    }

    double dl = 0, dr = 0;
    switch (op) {
        case OperatorCode::Add:
            if (l.IsStr() && r.IsStr()) {
                if (l.s.size() + r.s.size() > kMaxTextLength) {
                    err.Fail(ErrorId::ValueTooBig, 0);
                    return false;
                }
                l.s += r.s;
                return true;
            }
            return Numbers(l, r, dl, dr, err) && SetReal(l, dl + dr, err);
        case OperatorCode::Subtract:
            return Numbers(l, r, dl, dr, err) && SetReal(l, dl - dr, err);
        case OperatorCode::Multiply:
            if (stringMode) return true;
            return Numbers(l, r, dl, dr, err) && SetReal(l, dl * dr, err);
        case OperatorCode::Divide:
            if (stringMode) return true;
            if (!Numbers(l, r, dl, dr, err)) return false;
            if (dr == 0.0) {
                err.Fail(ErrorId::OperatorNotCorrect, 0);
                return false;
            }
            return SetReal(l, dl / dr, err);
        case OperatorCode::IntegerDivide: {
            if (stringMode) return true;
            int32_t il, ir;
            if (!ToInt32(l, il) || !ToInt32(r, ir) || ir == 0) {
                err.Fail(ErrorId::OperatorNotCorrect, 0);
                return false;
            }
            int64_t q = int64_t{il} / int64_t{ir};
            if (q > 2147483647) {  // only -2147483648 \ -1
                err.Fail(ErrorId::OperatorNotCorrect, 0);
                return false;
            }
            SetInt(l, static_cast<int32_t>(q));
            return true;
        }
        case OperatorCode::And:
        case OperatorCode::Or: {
            if (!Numbers(l, r, dl, dr, err)) return false;
            bool result =
                op == OperatorCode::And ? (dl == 0.0 && dr == 0.0) : !(dl == -1.0 && dr == -1.0);
            SetInt(l, result ? kTrue : kFalse);
            return true;
        }
        case OperatorCode::None:
            return true;
        default: {
            // Comparisons go through the 6-byte real.
            double fl, fr;
            if (!Numbers(l, r, dl, dr, err)) return false;
            if (!ToReal48(dl, fl) || !ToReal48(dr, fr)) {
                err.Fail(ErrorId::OperatorNotCorrect, 0);
                return false;
            }
            SetInt(l, Holds(op, fl, fr) ? kTrue : kFalse);
            return true;
        }
    }
}

namespace {

// ResolveOperand: in a string expression a quoted token loses its quotes and any other token
// is its own text; otherwise the text must be a decimal number.
bool ResolveOperand(const Cell* c, bool stringMode, Value& out, std::string& buffer) {
    if (stringMode) {
        if (!c) {
            out = Value::Str(std::string());
            return true;
        }
        std::string_view text = CellText(*c, buffer);
        if (!text.empty() && text[0] == '"') {
            text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view();
        }
        out = Value::Str(std::string(text));
        return true;
    }
    if (!c) return false;
    switch (c->tag) {
        case Cell::Tag::Int:
            out.type = ValueType::Real;
            out.r = c->i;
            return true;
        case Cell::Tag::Real:
            out.type = ValueType::Real;
            out.r = c->r;
            return true;
        default:
            if (!c->facts->numberOk) return false;
            out.type = ValueType::Real;
            out.r = c->facts->number;
            return true;
    }
}

// ---------------------------------------------------------------------------------------------
// Grouping

// Gives *, / and \ precedence over + and - by wrapping each run of multiplicative operations
// in parentheses: the group reaches from after the + or - before its first operator to the
// next + or -, an empty token or the end. A parenthesised operand counts as one operand, and
// its inside is grouped on its own, so that 2 * (1 + 2) is 6. (`cells[lo..hi)` is balanced.)
void GroupMultiplicative(const std::vector<Cell>& cells, int lo, int hi, std::vector<int>& out) {
    struct Unit {
        int first, last;  // a single token, or a parenthesised block from "(" to its ")"
    };
    std::vector<Unit> units;
    for (int i = lo; i < hi;) {
        if (CellOpen(cells[i])) {
            int depth = 0, j = i;
            for (; j < hi; ++j) {
                if (CellOpen(cells[j]))
                    ++depth;
                else if (CellClose(cells[j]) && --depth == 0)
                    break;
            }
            units.push_back({i, j});
            i = j + 1;
        } else {
            units.push_back({i, i});
            ++i;
        }
    }
    auto single = [&](int u) { return units[u].first == units[u].last; };
    auto addSub = [&](int u) { return single(u) && CellPlusMinus(cells[units[u].first]); };
    auto multiplicative = [&](int u) {
        return single(u) && CellMultiplicative(cells[units[u].first]);
    };

    std::vector<int> o;  // unit indexes, or the marks
    bool group = false;
    int a = 0, b = 0, e = 0;
    const int m = static_cast<int>(units.size());
    for (int i = 0; i <= m; ++i) {
        const bool end = i == m;
        const bool empty = !end && single(i) && CellEmpty(cells[units[i].first]);
        if (end || empty || addSub(i)) {
            if (group) {
                o.resize(a + 1);
                o.push_back(kOpenMark);
                for (int k = b + 1; k <= e; ++k) o.push_back(k);
                o.push_back(kCloseMark);
            }
            group = false;
            b = 0;
        }
        if (!end && !group && multiplicative(i)) {
            group = true;
            e = i - 1;
            b = -1;
            for (int k = i; k >= 0; --k) {
                if (addSub(k)) {
                    b = k;
                    break;
                }
            }
            a = -1;
            for (int k = static_cast<int>(o.size()) - 1; k >= 0; --k) {
                if (o[k] >= 0 && addSub(o[k])) {
                    a = k;
                    break;
                }
            }
        }
        if (!group && !end) o.push_back(i);
        if (group) ++e;
    }

    for (int item : o) {
        if (item < 0) {
            out.push_back(item);
            continue;
        }
        const Unit& u = units[item];
        out.push_back(u.first);
        if (u.first != u.last) {
            GroupMultiplicative(cells, u.first + 1, u.last, out);
            out.push_back(u.last);
        }
    }
}

}  // namespace

// Where the reduction ends (the first two empty tokens in a row), and whether the parentheses
// before it balance.
void Shape(const std::vector<Cell>& cells, int& end, bool& balanced) {
    end = static_cast<int>(cells.size());
    for (int i = 0; i < end; ++i) {
        if (CellEmpty(cells[i]) && (i + 1 >= end || CellEmpty(cells[i + 1]))) {
            end = i;
            break;
        }
    }
    int depth = 0;
    for (int i = 0; i < end && depth >= 0; ++i) {
        if (CellOpen(cells[i]))
            ++depth;
        else if (CellClose(cells[i]))
            --depth;
    }
    balanced = depth == 0;
}

void GroupedOrder(const std::vector<Cell>& cells, int end, bool stringMode, std::vector<int>& w) {
    w.clear();
    bool multiplicative = false;
    for (int i = 0; i < end && !multiplicative; ++i) multiplicative = CellMultiplicative(cells[i]);
    if (stringMode || !multiplicative) {
        for (int i = 0; i < end; ++i) w.push_back(i);
    } else {
        GroupMultiplicative(cells, 0, end, w);
    }
}

// ---------------------------------------------------------------------------------------------
// Evaluate

void ExpressionStack::ResetLevelsUpTo(int top) {
    if (top >= kLevels) top = kLevels - 1;
    for (int i = 0; i <= top; ++i) levels[i] = ExpressionLevel{};
}

namespace {

class ScratchLease {
public:
    explicit ScratchLease(Interpreter& in) : in_(in), scratch_(in.AcquireScratch()) {}
    ~ScratchLease() { in_.ReleaseScratch(); }
    EvalScratch& get() { return scratch_; }

private:
    Interpreter& in_;
    EvalScratch& scratch_;
};

// The kept facts of a token list of the program, made on its first evaluation.
ExpressionPlan* PlanFor(Interpreter& in, const Args& tokens, int count) {
    if (!in.rememberProgram || !tokens.FromProgram() || count == 0 || tokens[0].empty()) {
        return nullptr;
    }
    auto& slot = in.evalCache().plans.Find(PlanKey{tokens[0].data(), count});
    if (!slot) {
        slot = std::make_unique<ExpressionPlan>();
        slot->facts.resize(count);
        for (int p = 0; p < count; ++p) ComputeFacts(tokens[p], slot->facts[p], true);
    }
    return slot.get();
}

EvalResult EvaluateWithPlan(Interpreter& in, const Args& tokens, ExpressionPlan** planSlot);

// After a level took a big text: the run loop is to give back spare storage, and the texts
// held must stay within the budget.
bool KeepsBudget(Interpreter& in) {
    in.expressions.bigTextHeld = true;
    return in.TextsWithinBudget();
}

// A cell standing for a value: numbers as numbers, texts with their facts. A text cell views
// `v`'s characters, which must outlive the evaluation (a variable's value does: nothing assigns
// a variable while an expression is evaluated).
void SetValueCell(Cell& c, const Value& v, EvalScratch& sc) {
    switch (v.type) {
        case ValueType::Int:
            c.tag = Cell::Tag::Int;
            c.i = v.i;
            c.facts = nullptr;
            break;
        case ValueType::Real:
            // The text of a real keeps 15 digits; hold the real that text denotes.
            c.tag = Cell::Tag::Real;
            c.r = RoundTrip15(v.r);
            c.facts = nullptr;
            break;
        case ValueType::Str: {
            c.tag = Cell::Tag::Str;
            c.text = v.s;
            TokenFacts& facts = sc.facts.emplace_back();
            ComputeFacts(c.text, facts, false);
            c.facts = &facts;
            break;
        }
    }
}

// SubstituteOperands: variables and function calls become the texts of their values.
// `plain` tells whether every value is a plain operand (not empty, no parenthesis, no + - * / \)
// so that the expression keeps the shape of its source tokens.
bool SubstituteOperands(Interpreter& in, const Args& tokens, int count, ExpressionPlan* plan,
                        EvalScratch& sc, EvalResult& result, bool& plain) {
    std::vector<Cell>& cells = sc.cells;
    plain = true;
    for (int p = 0; p < count; ++p) {
        std::string_view t = tokens[p];
        // The position in the list as calls collapse it (a call becomes one token).
        const int position = static_cast<int>(cells.size());
        Cell& c = cells.emplace_back();
        c.text = t;
        TokenFacts* facts;
        if (plan) {
            facts = &plan->facts[p];
        } else {
            facts = &sc.facts.emplace_back();
            ComputeFacts(t, *facts, true);
        }
        c.facts = facts;
        if (!facts->name) continue;

        int slot = plan ? in.variables.Find(facts->upper, facts->variable)
                        : in.variables.Find(facts->upper);
        if (slot >= 0) {
            const Variable& v = in.variables[slot];
            if (IsIntegerKind(v.kind)) {
                int32_t i;
                if (!ToInt32(v.value, i)) {
                    result.Fail(ErrorId::ValueTooBig, position);
                    return false;
                }
                c.tag = Cell::Tag::Int;
                c.i = i;
                c.facts = nullptr;
            } else if (v.kind == static_cast<uint8_t>(VariableKind::Real)) {
                double d;
                if (!ToDouble(v.value, d)) {
                    result.Fail(ErrorId::ValueTooBig, position);
                    return false;
                }
                c.tag = Cell::Tag::Real;
                c.r = RoundTrip15(d);
                c.facts = nullptr;
            } else if (IsStringKind(v.kind)) {
                SetValueCell(c, v.value, sc);  // a number's text is the same as the number's
                if (c.facts && c.facts->Structural()) plain = false;
            }
            continue;
        }

        if (facts->function < 0) continue;
        // The call's raw tokens between its parentheses, nested parentheses included.
        std::array<std::string_view, 51> args{};
        int n = 0, depth = 0, q = p + 1;
        bool parens = false;
        // A name not followed by "(" is a call without arguments; what follows it is no part
        // of the call (not even a ")" that closes an enclosing parenthesis).
        if (tokens[p + 1] != "(") q = count;
        for (; q <= p + 49 && q < count; ++q) {
            std::string_view tq = tokens[q];
            if (depth > 0 && !(depth == 1 && tq == ")") && n < 51) args[n++] = tq;
            if (tq == "(") {
                ++depth;
                parens = true;
            } else if (tq == ")") {
                --depth;
            }
            if (depth == 0) break;
        }
        if (parens && depth != 0) {
            result.Fail(ErrorId::Unbalanced, position);
            return false;
        }
        FunctionResult call;
        in.functions.handlers[facts->function](in, Args(args.data(), 51, tokens.FromProgram()),
                                               call);
        if (!call.ok) {
            result.CopyFailure(call);
            return false;
        }
        Cell& target = cells.back();
        if (call.value.type == ValueType::Str) {
            // The call's text lives in the cell itself: the cells do not move once made.
            target.s = std::move(call.value.s);
            target.tag = Cell::Tag::Str;
            target.text = target.s;
            TokenFacts& textFacts = sc.facts.emplace_back();
            ComputeFacts(target.text, textFacts, false);
            target.facts = &textFacts;
        } else {
            SetValueCell(target, call.value, sc);
        }
        if (target.facts && target.facts->Structural()) plain = false;
        if (parens) p = q;  // the tokens of the call are consumed
    }
    return true;
}

}  // namespace

EvalResult Evaluate(Interpreter& in, const Args& tokens) {
    return EvaluateWithPlan(in, tokens, nullptr);
}

namespace {

// `planSlot`, when given, keeps the plan of these tokens so that it need not be looked up.
EvalResult EvaluateWithPlan(Interpreter& in, const Args& tokens, ExpressionPlan** planSlot) {
    EvalResult result;
    int count = tokens.Count();
    while (count > 0 && tokens[count - 1].empty()) --count;
    ExpressionPlan* plan;
    if (planSlot && *planSlot) {
        plan = *planSlot;
    } else {
        plan = PlanFor(in, tokens, count);
        if (planSlot) *planSlot = plan;
    }
    if (plan) {
        // The quick form, made when the list comes round a second time.
        if (!plan->quick && plan->evaluations < 2 && ++plan->evaluations == 2) {
            plan->quick = CompileQuick(in, tokens, count, plan->facts);
        }
        if (plan->quick) {
            if (EvaluateQuick(in, *plan->quick, result)) return result;
            result = EvalResult{};
        }
    }
    // The full evaluation may take long: the run loop is to look at the clock.
    in.pollSoon = true;

    ScratchLease lease(in);
    EvalScratch& sc = lease.get();
    std::vector<Cell>& cells = sc.cells;
    cells.clear();
    sc.facts.clear();
    // Facts and cells made during this evaluation are pointed at: their storage must not move.
    sc.facts.reserve(2 * count + 1);
    cells.reserve(count + 1);
    bool plain = true;
    if (!SubstituteOperands(in, tokens, count, plan, sc, result, plain)) return result;

    const ExpressionKind kind = ClassifyExpression(cells);
    const bool stringMode = kind == ExpressionKind::String;
    result.kind = kind;
    ExpressionStack& st = in.expressions;
    if (stringMode && (cells.empty() || CellEmpty(cells[0]))) {
        st.levels[st.stackLevel].value = Value::Str(std::string());
    }

    // The shape of an expression whose values are plain operands, one per token, is that of its
    // tokens: a numeric one keeps its grouped order.
    const bool reuse = plan && plain && !stringMode && static_cast<int>(cells.size()) == count;
    int end;
    bool balanced;
    const std::vector<int>* order = &sc.grouped;
    if (reuse && plan->shapeKnown && plan->cellCount == static_cast<int>(cells.size())) {
        end = plan->end;
        balanced = plan->balanced;
        order = &plan->grouped;
    } else {
        Shape(cells, end, balanced);
        if (balanced) GroupedOrder(cells, end, stringMode, sc.grouped);
        if (reuse) {
            plan->shapeKnown = true;
            plan->cellCount = static_cast<int>(cells.size());
            plan->end = end;
            plan->balanced = balanced;
            plan->grouped = sc.grouped;
        }
    }
    if (!balanced) {
        result.Fail(ErrorId::Unbalanced, 0);
        return result;
    }
    const std::vector<int>& w = *order;

    const int wn = static_cast<int>(w.size());
    constexpr int kNone = -3;
    auto item = [&](int k) { return k < wn ? w[k] : kNone; };
    auto itemEmpty = [&](int it) { return it == kNone || (it >= 0 && CellEmpty(cells[it])); };
    auto isOpen = [&](int it) { return it == kOpenMark || (it >= 0 && CellOpen(cells[it])); };
    auto isClose = [&](int it) { return it == kCloseMark || (it >= 0 && CellClose(cells[it])); };
    auto fail = [&](ErrorId id, int32_t token) {
        result.FailWith(id, token);
        return result;
    };
    // An operator's failure resets the levels it may have left half done.
    auto operatorFailed = [&](const TResult& err, int32_t token) {
        result.CopyFailure(err, token);
        st.ResetLevelsUpTo(st.stackLevel + 1);
        return result;
    };

    const int entryLevel = st.stackLevel;
    bool expectOperand = true;
    bool afterParen = false;
    TResult err;
    Value v;
    for (int i = 0;; ++i) {
        const int t = item(i);
        if (itemEmpty(t) && itemEmpty(item(i + 1))) {
            ExpressionLevel& level = st.levels[st.stackLevel];
            result.value = level.value;
            level.op = OperatorCode::None;
            return result;
        }
        if (isOpen(t)) {
            if (st.stackLevel + 1 >= ExpressionStack::kLevels) {
                st.stackLevel = entryLevel;  // leave the stack usable for the next evaluation
                return fail(ErrorId::NestedTooDeeply, i);
            }
            ++st.stackLevel;
            // An operator left pending on this level by a malformed expression (one that ended
            // on an operator before its ")") must not act on this expression.
            st.levels[st.stackLevel].op = OperatorCode::None;
            expectOperand = false;
            afterParen = true;
        }
        if (isClose(t)) {
            if (st.stackLevel == 0) return fail(ErrorId::Unbalanced, i);
            --st.stackLevel;
            ExpressionLevel& level = st.levels[st.stackLevel];
            const Value& above = st.levels[st.stackLevel + 1].value;
            if (level.op == OperatorCode::None) {
                level.value = above;
            } else if (!ApplyOperator(level, above, stringMode, err)) {
                return operatorFailed(err, 0);
            }
            level.op = OperatorCode::None;
            if (level.value.s.size() >= kBigText && !KeepsBudget(in)) {
                return fail(ErrorId::OutOfMemory, i);
            }
            expectOperand = true;
            afterParen = true;
        }
        if (expectOperand && !afterParen) {
            const Cell* c = t >= 0 ? &cells[t] : nullptr;
            if (!ResolveOperand(c, stringMode, v, sc.text)) return fail(ErrorId::TypeMismatch, i);
            ExpressionLevel& level = st.levels[st.stackLevel];
            if (level.op != OperatorCode::None) {
                bool ok = ApplyOperator(level, v, stringMode, err);
                level.op = OperatorCode::None;
                if (!ok) return operatorFailed(err, i);
            } else {
                level.value = std::move(v);
            }
            if (level.value.s.size() >= kBigText && !KeepsBudget(in)) {
                return fail(ErrorId::OutOfMemory, i);
            }
        }
        if (!expectOperand && !afterParen) {
            const TokenFacts* facts = t >= 0 ? cells[t].facts : nullptr;
            // Numbers are no operators.
            if (!facts || facts->word == OperatorWord::Invalid) {
                return fail(ErrorId::InvalidOperator, 0);
            }
            if (facts->word == OperatorWord::Code) st.levels[st.stackLevel].op = facts->code;
        }
        expectOperand = !expectOperand;
        afterParen = false;
    }
}

}  // namespace

EvalResult CollectAndEvaluate(Interpreter& in, const Args& tokens, int start, RowCache* cache,
                              std::string_view stop1, std::string_view stop2) {
    if (cache) {
        if (cache->collected < 0) {
            Expression expr;
            TResult status;
            int end = start;
            CollectExpression(tokens, end, stop1, stop2, expr, status);
            if (!status.ok) {
                EvalResult result;
                result.CopyFailure(status);
                return result;
            }
            cache->collected = expr.Count();
            cache->collectedEnd = end;
        }
        return EvaluateWithPlan(in, tokens.Slice(start, cache->collected), &cache->plan);
    }
    Expression expr;
    TResult status;
    CollectExpression(tokens, start, stop1, stop2, expr, status);
    if (!status.ok) {
        EvalResult result;
        result.CopyFailure(status);
        return result;
    }
    return Evaluate(in, expr.AsArgs());
}

// ---------------------------------------------------------------------------------------------
// Collect

ExpressionCut CutExpression(const Args& source, int start, std::string_view stop1,
                            std::string_view stop2, TResult& status) {
    status.ok = true;
    ExpressionCut cut;
    int depth = 0;
    const int first = start < 0 ? 0 : start;
    for (int i = first;; ++i) {
        std::string_view t = source[i];  // empty past the end
        if (t == "(")
            ++depth;
        else if (t == ")")
            --depth;
        if (depth < 0) {
            status.Fail(ErrorId::Unbalanced, i);
            return cut;
        }
        if (depth == 0 && (EqualsUpper(t, stop1) || EqualsUpper(t, stop2))) {
            cut.count = i - first;
            cut.atStopWord = true;
            return cut;
        }
        if (t.empty()) {  // the end of the tokens
            if (depth > 0) {
                status.Fail(ErrorId::Unbalanced, i);
                return cut;
            }
            cut.count = i - first;
            return cut;
        }
        if (i - first >= Expression::kMaxTokens) {
            status.Fail(ErrorId::ExpressionTooLong, i);
            return cut;
        }
    }
}

void CollectExpression(const Args& source, int& start, std::string_view stop1,
                       std::string_view stop2, Expression& out, TResult& status) {
    out.Clear(source.FromProgram());
    const int first = start < 0 ? 0 : start;
    const ExpressionCut cut = CutExpression(source, start, stop1, stop2, status);
    // What CollectExpression has always left behind on a failure: the tokens before it.
    const int taken =
        status.ok ? cut.count : std::min(Expression::kMaxTokens, status.token - first);
    for (int i = 0; i < taken; ++i) out.Push(source[first + i]);
    if (cut.atStopWord) start = first + cut.count - 1;
}

}  // namespace tw
