#pragma once
// The immediate-mode console that a stopped run opens, and the commands LINES, QUIT, STOP and
// TIMERS.

#include "interpreter/results.h"

namespace tw {

class Interpreter;

// Runs the console after a stop request; returns when it is left.
void ImmediateMode(Interpreter& in);

void RegisterImmediateModeCommands(CommandTable& commands);

}  // namespace tw
