#pragma once
// The run loop: executes the token buffer one statement per pass, shows the first run-time
// error, services the timers between statements, and stops on a stop request.

#include <string>

#include "interpreter/interpreter.h"

namespace tw {

enum class RunOutcome {
    Stopped,   // a stop was requested (STOP, QUIT, Escape, a limit)
    Failed,    // a run-time error or a timer overrun ended the run with a message box
    Abnormal,  // something unexpected ended the run with the abnormal-termination warning
};

// Per-run initialisation and teardown of the interpreter's state.
void StartRun(Interpreter& in);
void EndRun(Interpreter& in);

// Builds the command and function tables: every slot gets its default handler and name, then
// every implemented command and function its own handler.
void BuildTables(Interpreter& in);

// Executes row `CurrentLine` into the run's result record.
void ExecuteStatement(Interpreter& in, CommandResult& runResult);

// The whole run of `in.program`; returns when it has ended and its message has been shown.
RunOutcome RunProgram(Interpreter& in);

// The text of the box that reports a run-time error.
std::string RunTimeErrorText(const CommandResult& result, int32_t line);

extern const char* const kAbnormalTerminationText;
extern const char* const kMsgNoValidToken;  // Error <14>

}  // namespace tw
