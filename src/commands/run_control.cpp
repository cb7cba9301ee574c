// How a run stops, and the console's own commands: QUIT, STOP, TIMERS and LINES.

#include "commands/registry.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

void LinesCommand(Interpreter&, const Args&, CommandResult& result) {
    result.ok = true;
}

// The run stops and the console is skipped (or left, when typed in it).
void QuitCommand(Interpreter& in, const Args&, CommandResult& result) {
    in.quitRequested = true;
    in.stopRequested = true;
    result.ok = true;
}

// The run stops after this statement and the console opens.
void StopCommand(Interpreter& in, const Args&, CommandResult& result) {
    in.quitRequested = false;
    in.stopRequested = true;
    result.ok = true;
}

// TIMERS ON keeps the timers serviced while the console is open; any other word stops them.
void TimersCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    in.timersInImmediateMode = ArgCursor(in, args, result).NextIs("ON");
}

}  // namespace

void RegisterRunControlCommands(CommandTable& commands) {
    commands.Bind(CommandId::LINES, LinesCommand);
    commands.Bind(CommandId::QUIT, QuitCommand);
    commands.Bind(CommandId::STOP, StopCommand);
    commands.Bind(CommandId::TIMERS, TimersCommand);
}

}  // namespace tw
