#include "commands/registry.h"

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
}

}  // namespace tw
