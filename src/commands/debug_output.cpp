// OUTPUTDEBUG: a line of text for the debug window.

#include <exception>

#include "commands/registry.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// Adds the text of its expression as a line of the debug window, when that window is shown.
void OutputDebugCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    std::string text;
    if (!ArgCursor(in, args, result).Whole().Text(text)) return;
    try {
        if (in.host.DebugShown()) in.host.DebugOutput(text);
    } catch (const std::exception&) {
        result.Fail(ErrorId::OutputDebugFailed, 1);
    }
}

}  // namespace

void RegisterDebugOutputCommands(CommandTable& commands) {
    commands.Bind(CommandId::OUTPUTDEBUG, OutputDebugCommand);
}

}  // namespace tw
