#pragma once
// Binds the handlers of every command family into the command and function tables. Each family
// lives in its own file and ends with its Register function.

#include <cstdint>
#include <string_view>

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

// INSTR's search: the first position (from 1) at or after `start` where `sub` occurs in `s`,
// or -1. An empty `sub` occurs at every position up to one past the end.
int32_t FindText(std::string_view s, std::string_view sub, int32_t start);

}  // namespace tw
