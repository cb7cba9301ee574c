// Conditionals, labels and jumps: IF, ELSE, GOTO, GOSUB, RETURN, EXITGOSUB, and the function NOT.
//
// A handler that jumps stores the row before its target (the partner or label row itself): the
// run loop then adds one.

#include <cmath>

#include "commands/quick.h"
#include "commands/registry.h"
#include "commands/structure.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
#include "interpreter/expression.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// IF condition THEN: the next row runs when the condition is True (0); otherwise execution goes
// on after the matching ELSE or ENDIF. Any value other than 0 counts as False.
void IfCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    RowCache* cache = in.CacheFor(args);
    ArgCursor a(in, args, result);
    // A text that is no number cannot be compared with True.
    a.StopAt("THEN").Remember(cache).OnBadValue(ErrorId::InvalidCondition, 1);
    double number = 0;
    if (!a.Real(number)) return;
    if (number == 0.0) return;
    const int32_t from = in.run.currentLine;
    int32_t partner = Remembered(cache, [&] { return BlockScan(in, from, "IF", "ENDIF", "ELSE"); });
    if (partner == kNotFound) {
        result.Fail(ErrorId::NoEndif, 0);
        return;
    }
    in.run.currentLine = partner;
}

// Reached by running off the end of a THEN block: skip to the matching ENDIF.
void ElseCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    const int32_t from = in.run.currentLine;
    int32_t partner =
        Remembered(in.CacheFor(args), [&] { return BlockScan(in, from, "IF", "ENDIF"); });
    if (partner == kNotFound) {
        result.Fail(ErrorId::NoEndif, 0);
        return;
    }
    in.run.currentLine = partner;
}

void GotoCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    const int32_t from = in.run.currentLine;
    int32_t label =
        Remembered(in.CacheFor(args), [&] { return FindLabel(in, from, UpperCopy(args[0])); });
    if (label == kNotFound) {
        result.Fail(ErrorId::GotoNoLabel, 1);
        return;
    }
    in.run.currentLine = label;
}

// Records the GOSUB's row for RETURN. With all 51 slots in use the jump still happens, without a
// return row.
void PushReturn(Interpreter& in) {
    GosubStack& stack = in.gosubs;
    if (stack.depth >= GosubStack::kFrames) return;
    GosubFrame& frame = stack.frames[stack.depth++];
    frame.inUse = true;
    frame.returnLine = in.run.currentLine;
}

void GosubCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    const int32_t from = in.run.currentLine;
    int32_t label =
        Remembered(in.CacheFor(args), [&] { return FindLabel(in, from, UpperCopy(args[0])); });
    if (label == kNotFound) {
        result.Fail(ErrorId::GosubNoLabel, 1);
        return;
    }
    PushReturn(in);
    in.run.currentLine = label;
}

// RETURN and EXITGOSUB: back to the most recent GOSUB still recorded; nothing when none is.
void ReturnCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    GosubStack& stack = in.gosubs;
    if (stack.depth == 0) return;
    GosubFrame& frame = stack.frames[--stack.depth];
    in.run.currentLine = frame.returnLine;
    frame = GosubFrame{};
}

// The quick forms of the jumps: the row's partner or label, once its handler has found it.
bool Jump(Interpreter& in, const RowCache& row, CommandResult& result) {
    if (row.partner < 0) return false;  // not found yet, or not at all (the handler fails)
    in.run.currentLine = row.partner;
    result.ok = true;
    return true;
}

bool QuickGoto(Interpreter& in, const Args&, RowCache& row, CommandResult& result) {
    return Jump(in, row, result);
}

bool QuickGosub(Interpreter& in, const Args&, RowCache& row, CommandResult& result) {
    if (row.partner < 0) return false;
    PushReturn(in);
    return Jump(in, row, result);
}

bool IfByIntegerPair(Interpreter& in, const Args& args, RowCache& row, CommandResult& result);

// IF on the row's prepared form: the condition's quick form (the jump, when it does not hold,
// once the handler has found the partner).
bool QuickIf(Interpreter& in, const Args& args, RowCache& row, CommandResult& result) {
    const bool prepared = PreparedRow(row, [&] {
        TResult status;
        const ExpressionCut cut = CutExpression(args, 0, "THEN", {}, status);
        if (!status.ok) return false;
        row.quick = CompileQuick(in, args.Slice(0, cut.count));
        if (!row.quick) return false;
        // A condition of two whole operands runs the row from now on by itself (this function
        // when its way cannot decide).
        const size_t line = static_cast<uint32_t>(in.run.currentLine);
        if (row.quick->shortcut == QuickExpression::Shortcut::IntegerPair &&
            line < in.quickRows.size() && in.quickRows[line].cache == &row) {
            in.quickRows[line].run = IfByIntegerPair;
        }
        return true;
    });
    if (!prepared) return false;
    double number;
    QuickNumber n;
    ExpressionKind kind;
    switch (EvaluateQuickNumber(in, *row.quick, n, kind)) {
        case QuickOutcome::Done:
            number = n.type == ValueType::Int ? n.i : n.r;
            break;
        case QuickOutcome::Undecided:
            return false;
        case QuickOutcome::General: {
            Value value;
            if (!EvaluateQuickGeneral(in, *row.quick, value, kind) || !ToDouble(value, number)) {
                return false;
            }
            break;
        }
    }
    if (number == 0.0) {
        result.ok = true;
        return true;
    }
    return Jump(in, row, result);
}

// IF whose condition is an integer pair (a comparison, mostly).
bool IfByIntegerPair(Interpreter& in, const Args& args, RowCache& row, CommandResult& result) {
    QuickNumber n;
    ExpressionKind kind;
    if (!EvaluateIntegerPair(in, *row.quick, n, kind)) return QuickIf(in, args, row, result);
    if ((n.type == ValueType::Int ? n.i : n.r) == 0.0) {
        result.ok = true;
        return true;
    }
    return Jump(in, row, result);
}

// NOT(x): -1 for 0 (True), 0 for -1 (False); anything else is no truth value.
void NotFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    result.ok = true;
    std::string text;
    if (!ArgCursor(in, args, result).Whole().Text(text)) return;
    int32_t whole = 0;
    if (!ParseWholeNumber(text, whole) || (whole != kTrue && whole != kFalse)) {
        result.Fail(ErrorId::LogicalOperator, 1);
        return;
    }
    result.value = Value::Int(whole == kTrue ? kFalse : kTrue);
}

}  // namespace

void RegisterConditionCommands(CommandTable& commands, FunctionTable& functions) {
    commands.Bind(CommandId::IF, IfCommand);
    commands.Bind(CommandId::ELSE, ElseCommand);
    commands.Bind(CommandId::GOTO, GotoCommand);
    commands.Bind(CommandId::GOSUB, GosubCommand);
    commands.BindQuick(CommandId::IF, QuickIf);
    commands.BindQuick(CommandId::ELSE, QuickGoto);
    commands.BindQuick(CommandId::GOTO, QuickGoto);
    commands.BindQuick(CommandId::GOSUB, QuickGosub);
    commands.Bind(CommandId::RETURN, ReturnCommand);
    commands.Bind(CommandId::EXITGOSUB, ReturnCommand);
    functions.Bind(FunctionId::NOT, NotFunction);
}

}  // namespace tw
