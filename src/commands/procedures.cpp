// Procedures: PROCEDURE/ENDPROC, CALL with value parameters, EXITPROC, and the scope commands
// LOCAL and GLOBAL.
//
// A call records its row on the procedure stack and binds the arguments to variables owned by the
// called procedure; ENDPROC returns and frees every local variable the procedure owns. All frames
// of one procedure carry the same name, so the first return of a recursive procedure frees the
// locals of all its active frames.

#include <bit>

#include "commands/quick.h"
#include "commands/registry.h"
#include "commands/structure.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

void CallCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    UpperCopy name(args[0]);
    const int32_t declaration =
        Remembered(in.CacheFor(args), [&] { return FindProcedure(in, name); });
    if (declaration == kNotFound) {
        result.Fail(ErrorId::CallNotFound, 0, args[0]);
        return;
    }

    // The frame is pushed before the parameters exist, so that they belong to the procedure.
    ProcedureStack& stack = in.procedures;
    const bool pushed = stack.depth < ProcedureStack::kFrames;
    if (pushed) {
        ProcedureFrame& frame = stack.frames[stack.depth++];
        frame.inUse = true;
        frame.name = name.view();
        frame.returnLine = in.run.currentLine;
    }

    const TokenRow& header = in.program->Row(declaration);
    if (!header[2].empty()) {
        // The parameter names (declaration tokens 3, 5, 7, ...) in upper case, kept in the
        // row's cache: the declaration a CALL row finds never changes.
        RowCache* cache = in.CacheFor(args);
        std::vector<std::string> local;
        std::vector<std::string>& names = cache ? cache->words : local;
        if (names.empty()) {
            for (int p = 3; p < kTokenColumns && !header[p].empty(); p += 2)
                names.push_back(ToUpper(header[p]));
        }
        // The call's argument text runs from position 2 up to its last token, the ")".
        int last = args.Count() - 1;
        while (last >= 0 && args[last].empty()) --last;
        ArgCursor a(in, args.Slice(2, last - 2), result);
        for (const std::string& parameter : names) {
            Value value;
            if (!a.Read(value)) return;
            // The value enters its parameter as its text, one token.
            AssignmentResult bound = DeclareVariableAs(in, parameter, Scope::Local, value);
            if (!bound.ok) {
                result.CopyFailure(bound);
                return;
            }
        }
    }
    if (!pushed) {
        result.Fail(ErrorId::CallStackFull, 0);
        return;
    }
    in.run.currentLine = declaration;
}

// CALL on the row's prepared form: the declaration's row and parameter names, each argument's
// tokens and quick form. It does what the handler does in the same order (an argument is
// evaluated after the parameters before it exist, as it may name them); an argument the quick
// form cannot decide goes to the evaluator. Calls whose arguments do not match the parameters
// one for one are left to the handler.
bool QuickCall(Interpreter& in, const Args& args, RowCache& row, CommandResult& result) {
    const bool prepared = PreparedRow(row, [&] {
        if (!row.named) {
            row.name = ToUpper(args[0]);
            row.named = true;
        }
        if (row.partner == -2) row.partner = FindProcedure(in, row.name);
        if (row.partner < 0) return false;
        const TokenRow& header = in.program->Row(row.partner);
        if (row.words.empty()) {
            for (int p = 3; p < kTokenColumns && !header[p].empty(); p += 2)
                row.words.push_back(ToUpper(header[p]));
        }
        if (header[2].empty()) return row.words.empty();
        int last = args.Count() - 1;
        while (last >= 0 && args[last].empty()) --last;
        const Args list = args.Slice(2, last - 2);
        TResult status;
        int position = 0;
        for (size_t p = 0; p < row.words.size(); ++p) {
            const ExpressionCut cut = CutExpression(list, position, ",", {}, status);
            if (!status.ok || cut.count == 0) return false;
            row.cuts.push_back(list.Slice(position, cut.count));
            row.quicks.push_back(CompileQuick(in, row.cuts.back()));
            position += cut.count + 1;
        }
        return true;
    });
    if (!prepared) return false;

    ProcedureStack& stack = in.procedures;
    const bool pushed = stack.depth < ProcedureStack::kFrames;
    if (pushed) {
        ProcedureFrame& frame = stack.frames[stack.depth++];
        frame.inUse = true;
        frame.name = row.name;
        frame.returnLine = in.run.currentLine;
    }
    result.ok = true;
    for (size_t p = 0; p < row.cuts.size(); ++p) {
        // A number as it comes from the quick form, else any value from the evaluator.
        if (QuickExpression* quick = row.quicks[p].get()) {
            QuickNumber n;
            ExpressionKind kind;
            AssignmentResult bound;
            if (EvaluateQuickNumber(in, *quick, n, kind) == QuickOutcome::Done &&
                DeclareNumberAs(in, row.words[p], Scope::Local, n.type, n.i, n.r, bound)) {
                if (!bound.ok) {
                    result.CopyFailure(bound);
                    return true;
                }
                continue;
            }
        }
        const EvalResult value = EvaluatePrepared(in, row.quicks[p].get(), row.cuts[p]);
        if (!value.ok) {
            result.CopyFailure(value);
            return true;
        }
        const AssignmentResult bound = DeclareVariableAs(in, row.words[p], Scope::Local, value.value);
        if (!bound.ok) {
            result.CopyFailure(bound);
            return true;
        }
    }
    if (!pushed) {
        result.Fail(ErrorId::CallStackFull, 0);
        return true;
    }
    in.run.currentLine = row.partner;
    return true;
}

// Reached only by falling into a declaration: skip the procedure.
void ProcedureCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    const int32_t from = in.run.currentLine;
    int32_t end = Remembered(in.CacheFor(args), [&] { return ScanForward(in, from, "ENDPROC"); });
    if (end == kNotFound) {
        result.Fail(ErrorId::ProcedureNoEnd, 0);
        return;
    }
    in.run.currentLine = end;
}

// ENDPROC and EXITPROC. With no call in progress nothing happens: there is no procedure whose
// variables could be freed (the main program's own locals have no owner and must stay).
void EndProcCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    ProcedureStack& stack = in.procedures;
    if (stack.depth == 0) return;
    ProcedureFrame& frame = stack.frames[--stack.depth];
    const std::string& owner = frame.name;
    in.run.currentLine = frame.returnLine;
    // Only a slot with an owner can match a frame's name (which is never empty).
    VariableTable& table = in.variables;
    const uint64_t candidates =
        owner.empty() ? (uint64_t{1} << VariableTable::kSlots) - 1 : table.OwnedSlots();
    for (uint64_t m = candidates; m != 0; m &= m - 1) {
        const int v = std::countr_zero(m);
        const Variable& var = table[v];
        if (var.isLocal && !var.name.empty() && var.owner == owner) table.FreeSlot(v);
    }
    // The frame as a fresh one, keeping the name's storage for the next call.
    frame.name.clear();
    frame.inUse = false;
    frame.returnLine = 0;
}

void SetScope(Interpreter& in, const Args& args, Scope scope, CommandResult& result) {
    result.ok = true;
    static const std::string zero = "0";
    for (int p = 0; !args[p].empty(); p += 2) {
        const std::string name = ToUpper(args[p]);
        const int slot = in.variables.Find(name);
        if (slot >= 0) {
            in.variables[slot].isLocal = scope == Scope::Local;
            continue;
        }
        AssignmentResult created = DeclareVariable(in, name, scope, Args(&zero, 1));
        if (!created.ok) {
            result.CopyFailure(created);
            return;
        }
    }
}

void LocalCommand(Interpreter& in, const Args& args, CommandResult& result) {
    SetScope(in, args, Scope::Local, result);
}

void GlobalCommand(Interpreter& in, const Args& args, CommandResult& result) {
    SetScope(in, args, Scope::Global, result);
}

}  // namespace

void RegisterProcedureCommands(CommandTable& commands) {
    commands.Bind(CommandId::CALL, CallCommand);
    commands.BindQuick(CommandId::CALL, QuickCall);
    commands.Bind(CommandId::PROCEDURE, ProcedureCommand);
    commands.Bind(CommandId::ENDPROC, EndProcCommand);
    commands.Bind(CommandId::EXITPROC, EndProcCommand);
    commands.Bind(CommandId::LOCAL, LocalCommand);
    commands.Bind(CommandId::GLOBAL, GlobalCommand);
}

}  // namespace tw
