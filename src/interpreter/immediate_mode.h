#pragma once
// The immediate-mode console that a stopped run opens (its commands LINES, QUIT, STOP and TIMERS
// are in commands/run_control.cpp).

namespace tw {

class Interpreter;

// Runs the console after a stop request; returns when it is left.
void ImmediateMode(Interpreter& in);

}  // namespace tw
