#pragma once
// Binds the handlers of every command family into the command and function tables.

#include "interpreter/results.h"

namespace tw {

void RegisterAssignmentCommands(CommandTable& commands);
void RegisterConditionCommands(CommandTable& commands);
void RegisterLoopCommands(CommandTable& commands);
void RegisterProcedureCommands(CommandTable& commands);
void RegisterMathsCommands(CommandTable& commands, FunctionTable& functions);
void RegisterStringFunctions(FunctionTable& functions);
void RegisterDateTimeFunctions(FunctionTable& functions);
void RegisterMiscCommands(CommandTable& commands, FunctionTable& functions);

// All families, in one call.
void RegisterAllCommands(CommandTable& commands, FunctionTable& functions);

}  // namespace tw
