#include "interpreter/immediate_mode.h"

#include "frontend/names.h"
#include "interpreter/interpreter.h"

namespace tw {

// The console needs the display and the keyboard device, which do not exist yet: a stopped run
// returns at once.
void ImmediateMode(Interpreter&) {}

namespace {

void LinesCommand(Interpreter&, const Args&, CommandResult& result) {
    result.ok = true;
}

void QuitCommand(Interpreter& in, const Args&, CommandResult& result) {
    in.quitRequested = true;
    in.stopRequested = true;
    result.ok = true;
}

void StopCommand(Interpreter& in, const Args&, CommandResult& result) {
    in.quitRequested = false;
    in.stopRequested = true;
    result.ok = true;
}

void TimersCommand(Interpreter& in, const Args& args, CommandResult& result) {
    in.timersInImmediateMode = EqualsUpper(args[0], "ON");
    result.ok = true;
}

}  // namespace

void RegisterImmediateModeCommands(CommandTable& commands) {
    commands.Bind(CommandId::LINES, LinesCommand);
    commands.Bind(CommandId::QUIT, QuitCommand);
    commands.Bind(CommandId::STOP, StopCommand);
    commands.Bind(CommandId::TIMERS, TimersCommand);
}

}  // namespace tw
