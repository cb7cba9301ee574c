#include "commands/registry.h"

#include "display/effects.h"
#include "display/graphics.h"
#include "display/screens.h"

namespace tw {

void RegisterAllCommands(CommandTable& commands, FunctionTable& functions) {
    RegisterAssignmentCommands(commands);
    RegisterConditionCommands(commands);
    RegisterLoopCommands(commands);
    RegisterProcedureCommands(commands);
    RegisterMathsCommands(commands, functions);
    RegisterStringFunctions(functions);
    RegisterDateTimeFunctions(functions);
    RegisterMiscCommands(commands, functions);
    RegisterScreenCommands(commands);
    RegisterGraphicsCommands(commands, functions);
    RegisterEffectCommands(commands);
}

}  // namespace tw
