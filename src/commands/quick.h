#pragma once
// What the commands' quick forms share: a row's prepared form is made on the row's second run
// (a row that runs once needs none) and kept in the row's cache for the rest of the run.

#include "interpreter/interpreter.h"
#include "interpreter/quick_expression.h"

namespace tw {

// Whether the row has its prepared form, making it with `prepare` (which fills the cache and
// says whether the row can have one) when the row comes round the second time.
template <typename Prepare>
bool PreparedRow(RowCache& row, Prepare prepare) {
    if (row.prepared > 0) return true;
    if (row.prepared < 0 || ++row.runs < 2) return false;
    row.prepared = prepare() ? 1 : -1;
    return row.prepared > 0;
}

// The value of the program's expression `tokens` by its quick form when that decides, else by
// the evaluator.
inline EvalResult EvaluatePrepared(Interpreter& in, QuickExpression* quick, const Args& tokens) {
    if (quick) {
        EvalResult result;
        if (EvaluateQuick(in, *quick, result)) return result;
    }
    return Evaluate(in, tokens);
}

// An integer read (as ArgCursor::Integer converts) by the quick form alone; false when the
// quick form cannot decide or the value does not convert.
inline bool QuickInteger(Interpreter& in, QuickExpression& quick, int32_t& out) {
    QuickNumber n;
    ExpressionKind kind;
    switch (EvaluateQuickNumber(in, quick, n, kind)) {
        case QuickOutcome::Done:
            if (n.type == ValueType::Int) {
                out = n.i;
                return true;
            }
            return RoundToInt32(n.r, out);
        case QuickOutcome::Undecided:
            return false;
        case QuickOutcome::General:
            break;
    }
    Value value;
    return EvaluateQuickGeneral(in, quick, value, kind) && ToInt32(value, out);
}

}  // namespace tw
