#pragma once
// The graphics commands and the graphics-cursor functions.

#include "interpreter/results.h"

namespace tw {

void RegisterGraphicsCommands(CommandTable& commands, FunctionTable& functions);

}  // namespace tw
