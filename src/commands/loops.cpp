// Loops: DO/LOOP, FOR/NEXT, REPEAT/UNTIL, WHILE/WEND and BREAK LOOP, on the 51-entry loop stack.
//
// An opening command finds its closing partner with a block scan when the loop starts and makes
// its entry the single active (innermost) one. A closing command works on the active entry only:
// it jumps back to the opening row or ends the loop and reactivates the enclosing one.

#include "commands/quick.h"
#include "commands/registry.h"
#include "commands/structure.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

struct LoopForm {
    LoopKind kind;
    std::string_view open, close;
    ErrorId unterminated;
};

constexpr LoopForm kDo = {LoopKind::Do, "DO", "LOOP", ErrorId::NoLoop};
constexpr LoopForm kFor = {LoopKind::For, "FOR", "NEXT", ErrorId::NoNext};
constexpr LoopForm kRepeat = {LoopKind::RepeatOrWhile, "REPEAT", "UNTIL", ErrorId::NoUntil};
constexpr LoopForm kWhile = {LoopKind::RepeatOrWhile, "WHILE", "WEND", ErrorId::NoWend};

// Starting a loop looks for the running (active) entry and a free one, and finds out whether
// execution came back to the opening row of the loop that is running.
struct LoopStart {
    int active = -1;
    int free = -1;
    bool alreadyRunning = false;
};

bool BeginLoop(Interpreter& in, LoopStart& start, CommandResult& result) {
    start.active = in.loops.FirstActive();
    start.free = in.loops.FirstFree();
    if (start.free < 0) {
        result.Fail(ErrorId::LoopStackOverflow, 0);
        return false;
    }
    // Execution came back to the opening row of the loop that is running: nothing to start.
    start.alreadyRunning =
        start.active >= 0 && in.loops.entries[start.active].startLine == in.run.currentLine;
    return true;
}

// Fills the free entry for a loop that starts on the current row.
LoopEntry& FillEntry(Interpreter& in, const LoopStart& start, LoopKind kind, int32_t step) {
    LoopEntry& f = in.loops.entries[start.free];
    f.index = start.free;
    in.loops.SetKind(start.free, kind);
    f.step = step;
    f.startLine = in.run.currentLine;
    return f;
}

// The loop's closing row, or a failure when the program ends before it.
bool ScanForPartner(Interpreter& in, const Args& args, const LoopForm& form, int32_t& partner,
                    CommandResult& result) {
    const int32_t from = in.run.currentLine;
    partner =
        Remembered(in.CacheFor(args), [&] { return BlockScan(in, from, form.open, form.close); });
    if (partner == kNotFound) {
        result.FailWith(form.unterminated, 0);
        return false;
    }
    return true;
}

// The entry becomes the innermost running loop.
void Activate(Interpreter& in, const LoopStart& start, int32_t partner) {
    LoopEntry& f = in.loops.entries[start.free];
    f.endLine = partner;
    in.loops.SetActive(start.free, true);
    if (start.active >= 0) in.loops.SetActive(start.active, false);
    f.parent = start.active;
}

void FreeEntry(LoopStack& loops, int i) {
    LoopEntry& e = loops.entries[i];
    loops.SetKind(i, LoopKind::Free);
    e.step = 0;
    e.startLine = 0;
    e.endLine = 0;
    loops.SetActive(i, false);
    e.parent = -1;
}

int ActiveEntry(Interpreter& in) {
    return in.loops.FirstActive();
}

// Ends the loop of entry e: its parent runs again and execution goes on after its closing row.
void EndLoop(Interpreter& in, int e) {
    LoopEntry& entry = in.loops.entries[e];
    if (entry.parent != -1) in.loops.SetActive(entry.parent, true);
    in.run.currentLine = entry.endLine;
    FreeEntry(in.loops, e);
}

// The closing row actually executed becomes the loop's end; execution goes on with the body.
void JumpBack(Interpreter& in, int e) {
    LoopEntry& entry = in.loops.entries[e];
    if (entry.endLine != in.run.currentLine) entry.endLine = in.run.currentLine;
    in.run.currentLine = entry.startLine;
}

void StartSimpleLoop(Interpreter& in, const Args& args, const LoopForm& form,
                     CommandResult& result) {
    result.ok = true;
    LoopStart start;
    if (!BeginLoop(in, start, result) || start.alreadyRunning) return;
    FillEntry(in, start, form.kind, 0);
    int32_t partner;
    if (!ScanForPartner(in, args, form, partner, result)) return;
    Activate(in, start, partner);
}

void DoCommand(Interpreter& in, const Args& args, CommandResult& result) {
    StartSimpleLoop(in, args, kDo, result);
}

void RepeatCommand(Interpreter& in, const Args& args, CommandResult& result) {
    StartSimpleLoop(in, args, kRepeat, result);
}

void LoopCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    int e = ActiveEntry(in);
    if (e < 0) {
        result.Fail(ErrorId::LoopNoCurrent, 0);
        return;
    }
    JumpBack(in, e);
}

// FOR name = start TO end [STEP step]. The body always runs once: no test compares the start
// with the end value.
void ForCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    LoopStart start;
    if (!BeginLoop(in, start, result) || start.alreadyRunning) return;

    UpperCopy name(args[0]);
    if (!IsValidName(name)) {
        result.Fail(ErrorId::ForName, 0);
        return;
    }
    // After the name and "=": the start up to TO, the end up to STEP, and the step.
    ArgCursor a(in, args, result, 2);
    int32_t first, last, step = 1;
    if (!a.StopAt("TO").Integer(first) || !a.StopAt("STEP").Integer(last)) return;
    if (EqualsUpper(a.LastStop(), "STEP") && !a.StopAt({}).Integer(step)) return;

    FillEntry(in, start, LoopKind::For, step);
    int32_t partner;
    if (!ScanForPartner(in, args, kFor, partner, result)) return;
    Activate(in, start, partner);

    // The start value enters as its decimal text. A variable of that name is assigned; only a
    // new name is declared (local to the running procedure).
    const std::string text = std::to_string(first);
    const Args value(&text, 1);
    AssignmentResult assigned = in.variables.Find(name) >= 0
                                    ? AssignVariable(in, name, value)
                                    : DeclareVariable(in, name, Scope::Local, value);
    if (!assigned.ok) {
        result.CopyFailure(assigned);
        return;
    }
    LoopEntry& entry = in.loops.entries[start.free];
    entry.variableSlot = assigned.index;
    entry.endValue = last;
}

// FOR on the row's prepared form: the variable's name, and the quick forms of the start, the
// end and the step. Everything the handler would do otherwise (a new variable, a value the quick
// forms cannot decide, a failure) is left to it, and nothing changes before all is decided.
bool QuickFor(Interpreter& in, const Args& args, RowCache& row, CommandResult& result) {
    const bool prepared = PreparedRow(row, [&] {
        row.name = ToUpper(args[0]);
        row.named = true;
        if (!IsValidName(row.name)) return false;
        row.group = VariableTable::GroupOf(row.name);
        // The cuts the handler's reads make: up to TO, up to STEP, and the step.
        TResult status;
        int position = 2;
        for (std::string_view stop : {std::string_view("TO"), std::string_view("STEP"), {}}) {
            const ExpressionCut cut = CutExpression(args, position, stop, {}, status);
            if (!status.ok || cut.count == 0) return false;
            row.cuts.push_back(args.Slice(position, cut.count));
            row.quicks.push_back(CompileQuick(in, row.cuts.back()));
            if (!row.quicks.back()) return false;
            const std::string_view ended = args[position + cut.count];
            position += cut.count + 1;
            if (stop == "TO" && !EqualsUpper(ended, "TO")) return false;
            if (stop == "STEP" && !EqualsUpper(ended, "STEP")) break;
        }
        return true;
    });
    if (!prepared || row.partner < 0) return false;
    ExpressionStack& st = in.expressions;
    if (st.levels[st.stackLevel].op != OperatorCode::None) return false;
    LoopStart start;
    CommandResult ignored;
    if (!BeginLoop(in, start, ignored)) return false;
    if (start.alreadyRunning) {
        result.ok = true;
        return true;
    }
    const int slot = in.variables.Find(row.name, row.group, row.variable);
    if (slot < 0) return false;
    int32_t first, last, step = 1;
    if (!QuickInteger(in, *row.quicks[0], first) || !QuickInteger(in, *row.quicks[1], last) ||
        (row.quicks.size() > 2 && !QuickInteger(in, *row.quicks[2], step))) {
        return false;
    }
    FillEntry(in, start, LoopKind::For, step);
    Activate(in, start, row.partner);
    // The start value enters as its decimal text: the variable and the current level hold
    // the real that the text denotes, and the variable is an integer one.
    const QuickNumber number{ValueType::Real, 0, static_cast<double>(first)};
    Variable& v = in.variables[slot];
    StoreNumber(v.value, number);
    v.kind = static_cast<uint8_t>(VariableKind::Integer);
    StoreNumber(st.levels[st.stackLevel].value, number);
    LoopEntry& entry = in.loops.entries[start.free];
    entry.variableSlot = slot;
    entry.endValue = last;
    result.ok = true;
    return true;
}

// Adds the step; the loop goes on while the new value is at most the end value, whatever the
// step's sign.
void NextCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    int e = ActiveEntry(in);
    if (e < 0) {
        result.Fail(ErrorId::NextNoLoop, 0);
        return;
    }
    LoopEntry& entry = in.loops.entries[e];
    Value& value = in.variables[entry.variableSlot].value;
    double now;
    // A number steps where it is (as AddToValue would step it); a text becomes a real.
    if (value.type == ValueType::Int) {
        const int64_t sum = int64_t{value.i} + entry.step;
        if (sum >= INT32_MIN && sum <= INT32_MAX) {
            value.i = static_cast<int32_t>(sum);
        } else {
            value.type = ValueType::Real;
            value.r = static_cast<double>(sum);
        }
        now = static_cast<double>(sum);
    } else if (value.type == ValueType::Real) {
        value.r += static_cast<double>(entry.step);
        now = value.r;
    } else {
        Value next;
        if (!AddToValue(value, entry.step, next)) {
            result.Fail(ErrorId::TypeMismatch, 0);
            return;
        }
        value = std::move(next);
        now = value.r;
    }
    if (now <= entry.endValue) {
        JumpBack(in, e);
    } else {
        EndLoop(in, e);
    }
}

void UntilCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    int e = ActiveEntry(in);
    if (e < 0) {
        result.Fail(ErrorId::UntilNoLoop, 0);
        return;
    }
    int32_t condition;
    if (!ArgCursor(in, args, result).StopAt({}).Condition(condition)) return;
    if (condition == kTrue) {
        EndLoop(in, e);
    } else {
        JumpBack(in, e);
    }
}

// The condition is kept in the entry for WEND to evaluate again.
void WhileCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    LoopStart start;
    if (!BeginLoop(in, start, result) || start.alreadyRunning) return;
    LoopEntry& entry = FillEntry(in, start, LoopKind::RepeatOrWhile, 0);
    Args tokens;
    if (!ArgCursor(in, args, result).StopAt({}).Cut(tokens)) return;
    for (auto& slot : entry.condition) slot.clear();
    for (int i = 0; i < tokens.Count(); ++i) entry.condition[i + 1] = std::string(tokens[i]);
    entry.conditionCount = tokens.Count();

    int32_t condition;
    if (!ArgCursor(in, tokens, result).Whole().Condition(condition)) return;
    int32_t partner;
    if (!ScanForPartner(in, args, kWhile, partner, result)) return;
    if (condition == kTrue) {
        Activate(in, start, partner);
    } else {
        in.loops.SetKind(start.free, LoopKind::Free);
        in.run.currentLine = partner;
    }
}

void WendCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    int e = ActiveEntry(in);
    if (e < 0) {
        result.Fail(ErrorId::WendNoLoop, 0);
        return;
    }
    const LoopEntry& entry = in.loops.entries[e];
    int32_t condition;
    ArgCursor a(in, Args(&entry.condition[1], entry.conditionCount), result);
    if (!a.Whole().Condition(condition)) return;
    if (condition == kTrue) {
        JumpBack(in, e);
    } else {
        EndLoop(in, e);
    }
}

// BREAK LOOP ends every loop found active while scanning the entries in order: with the usual
// allocation exactly the innermost one. Any other word does nothing.
void BreakCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    if (!EqualsUpper(args[0], "LOOP")) return;
    for (int i = 0; i < LoopStack::kEntries; ++i) {
        if (in.loops.entries[i].active) EndLoop(in, i);
    }
}

}  // namespace

void RegisterLoopCommands(CommandTable& commands) {
    commands.Bind(CommandId::DO, DoCommand);
    commands.Bind(CommandId::LOOP, LoopCommand);
    commands.Bind(CommandId::FOR, ForCommand);
    commands.BindQuick(CommandId::FOR, QuickFor);
    commands.Bind(CommandId::NEXT, NextCommand);
    commands.Bind(CommandId::REPEAT, RepeatCommand);
    commands.Bind(CommandId::UNTIL, UntilCommand);
    commands.Bind(CommandId::WHILE, WhileCommand);
    commands.Bind(CommandId::WEND, WendCommand);
    commands.Bind(CommandId::BREAK, BreakCommand);
}

}  // namespace tw
