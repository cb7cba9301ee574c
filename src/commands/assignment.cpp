// LET and DIM.

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

// There are no arrays: DIM is accepted and does nothing.
void DimCommand(Interpreter&, const Args&, CommandResult& result) {
    result.ok = true;
}

}  // namespace

void RegisterAssignmentCommands(CommandTable& commands) {
    commands.Bind(CommandId::LET, LetCommand);
    commands.Bind(CommandId::DIM, DimCommand);
}

}  // namespace tw
