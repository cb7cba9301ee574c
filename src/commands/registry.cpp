#include "commands/registry.h"

namespace tw {

void BuildTables(CommandTable& commands, FunctionTable& functions) {
    commands.names = kCommandNames;
    commands.handlers.fill(DefaultCommandHandler);
    commands.quick.fill(nullptr);
    functions.names = kFunctionNames;
    functions.handlers.fill(DefaultFunctionHandler);
    functions.quick.fill(QuickFunctionForm{});

    RegisterAssignmentCommands(commands);
    RegisterConditionCommands(commands, functions);
    RegisterLoopCommands(commands);
    RegisterProcedureCommands(commands);
    RegisterMathsCommands(commands, functions);
    RegisterStringFunctions(functions);
    RegisterDateTimeFunctions(functions);
    RegisterSettingCommands(commands);
    RegisterDebugOutputCommands(commands);
    RegisterRunControlCommands(commands);
    RegisterScreenCommands(commands);
    RegisterGraphicsCommands(commands, functions);
    RegisterEffectCommands(commands);
    RegisterTextCommands(commands, functions);
    RegisterInputCommands(commands, functions);
    RegisterSpriteCommands(commands);
}

}  // namespace tw
