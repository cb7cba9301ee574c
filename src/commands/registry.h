#pragma once
// Binds the handlers of every command family into the command and function tables.

#include "interpreter/results.h"

namespace tw {

void RegisterAssignmentCommands(CommandTable& commands);
void RegisterMiscCommands(CommandTable& commands, FunctionTable& functions);

// All families, in one call.
void RegisterAllCommands(CommandTable& commands, FunctionTable& functions);

}  // namespace tw
