// LET and DIM.

#include "commands/quick.h"
#include "commands/registry.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
#include "interpreter/expression.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// LET name = expression. The word at position 1 (normally "=") is not examined. A name that no
// slot holds is created as a local variable of the running procedure.
void LetCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    RowCache* cache = in.CacheFor(args);
    std::string scratch;
    const std::string_view name = in.UpperName(args, cache, scratch);
    const Args expression = args.From(2);
    if (name.empty()) {
        // Nothing to assign to; the expression is still evaluated for its errors.
        Value ignored;
        ArgCursor(in, args, result, 2).StopAt({}).Remember(cache).Read(ignored);
        return;
    }
    const int slot = in.FindVariable(name, cache);
    AssignmentResult assigned = slot >= 0 ? AssignSlot(in, slot, expression, cache)
                                          : DeclareVariable(in, name, Scope::Local, expression);
    if (!assigned.ok) result.CopyFailure(assigned);
}

// LET on the row's prepared form: the variable's name with its group, and the expression's
// quick form. A variable that does not exist yet, or an expression the quick form cannot
// decide, is left to the handler.
bool QuickLet(Interpreter& in, const Args& args, RowCache& row, CommandResult& result) {
    const bool prepared = PreparedRow(row, [&] {
        if (!row.named) {
            row.name = ToUpper(args[0]);
            row.named = true;
        }
        if (row.name.empty()) return false;
        TResult status;
        const ExpressionCut cut = CutExpression(args, 2, {}, {}, status);
        if (!status.ok) return false;
        row.group = VariableTable::GroupOf(row.name);
        row.quick = CompileQuick(in, args.Slice(2, cut.count));
        if (!row.quick) return false;
        // A form with a shortcut runs the row from now on by itself (this function when the
        // shortcut cannot decide).
        const size_t line = static_cast<uint32_t>(in.run.currentLine);
        if (line < in.quickRows.size() && in.quickRows[line].cache == &row) {
            if (QuickCommand run = ShortcutAssignment(*row.quick)) in.quickRows[line].run = run;
        }
        return true;
    });
    if (!prepared) return false;
    const int slot = in.variables.Find(row.name, row.group, row.variable);
    if (slot < 0) return false;
    QuickNumber number;
    ExpressionKind kind;
    switch (EvaluateQuickNumber(in, *row.quick, number, kind)) {
        case QuickOutcome::Done: {
            Variable& v = in.variables[slot];
            StoreNumber(v.value, number);
            v.kind = KindOf(kind);
            result.ok = true;
            return true;
        }
        case QuickOutcome::Undecided:
            return false;
        case QuickOutcome::General:
            break;
    }
    // Into the variable's own storage (the quick form writes nothing until it has decided).
    Variable& v = in.variables[slot];
    if (!EvaluateQuickGeneral(in, *row.quick, v.value, kind)) return false;
    v.kind = KindOf(kind);
    result.ok = true;
    return true;
}

// There are no arrays: DIM is accepted and does nothing.
void DimCommand(Interpreter&, const Args&, CommandResult& result) {
    result.ok = true;
}

}  // namespace

void RegisterAssignmentCommands(CommandTable& commands) {
    commands.Bind(CommandId::LET, LetCommand);
    commands.BindQuick(CommandId::LET, QuickLet);
    commands.Bind(CommandId::DIM, DimCommand);
}

}  // namespace tw
