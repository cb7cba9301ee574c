#pragma once
// Binds the handlers of every command family into the command and function tables. Each family
// lives in its own file and ends with its Register function.

#include "interpreter/results.h"

namespace tw {

void RegisterAssignmentCommands(CommandTable& commands);
void RegisterConditionCommands(CommandTable& commands, FunctionTable& functions);
void RegisterLoopCommands(CommandTable& commands);
void RegisterProcedureCommands(CommandTable& commands);
void RegisterMathsCommands(CommandTable& commands, FunctionTable& functions);
void RegisterStringFunctions(FunctionTable& functions);
void RegisterDateTimeFunctions(FunctionTable& functions);
void RegisterSettingCommands(CommandTable& commands);
void RegisterDebugOutputCommands(CommandTable& commands);
void RegisterRunControlCommands(CommandTable& commands);
void RegisterScreenCommands(CommandTable& commands);
void RegisterGraphicsCommands(CommandTable& commands, FunctionTable& functions);
void RegisterEffectCommands(CommandTable& commands);
void RegisterTextCommands(CommandTable& commands, FunctionTable& functions);
void RegisterInputCommands(CommandTable& commands, FunctionTable& functions);
void RegisterSpriteCommands(CommandTable& commands);

// Every slot of both tables gets its name and the default handler, then every family its own
// handlers.
void BuildTables(CommandTable& commands, FunctionTable& functions);

}  // namespace tw
