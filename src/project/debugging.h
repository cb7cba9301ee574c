#pragma once
// A debugger on the run loop's hook: breakpoints on source lines, pausing, stepping, and what a
// paused run shows (its variables, its stacks, its timers, its statistics). It knows nothing of
// windows: the environment drives it and shows what it reads.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "interpreter/prepare.h"
#include "interpreter/run_session.h"

namespace tw {

class Debugger : public RunObserver {
public:
    // The program whose rows map to source lines; it must outlive the debugger.
    explicit Debugger(const PreparedProgram& program) : program_(program) {}

    // Breakpoints on 0-based source lines. A line that the tokenizer cut into several rows (a
    // one-line IF) stops once, when the run comes to it from another line.
    void SetBreakpoints(std::set<int> lines) { breakpoints_ = std::move(lines); }
    const std::set<int>& Breakpoints() const { return breakpoints_; }

    // What the run does next, from a pause or from its start:
    void Continue();           // on until a breakpoint or a pause request
    void StepInto();           // one statement
    void StepOver();           // on until a statement at the pause's GOSUB and CALL depth or less
    void RunToLine(int line);  // on until the line (or a breakpoint)
    void RequestPause();       // stop before the next statement

    Action BeforeStatement(const Interpreter& in, int32_t row) override;

    const PreparedProgram& Program() const { return program_; }

    // Where the run is paused (-1: it is not).
    int32_t PausedRow() const { return pausedRow_; }
    int PausedLine() const { return pausedRow_ < 0 ? -1 : program_.SourceLine(pausedRow_); }

private:
    enum class Mode : uint8_t { Run, Pause, StepOver, RunToLine };
    void Resume(Mode mode);

    const PreparedProgram& program_;
    std::set<int> breakpoints_;
    Mode mode_ = Mode::Run;
    int stepDepth_ = 0;    // StepOver: the depth at the pause
    int targetLine_ = -1;  // RunToLine
    int lastLine_ = -1;    // the source line of the statement that ran last
    int32_t pausedRow_ = -1;
    int pausedDepth_ = 0;
    bool resuming_ = false;  // the paused row is asked about again: it runs
};

// The depth of GOSUB and CALL nesting a statement runs at.
int CallDepth(const Interpreter& in);

// A variable as the watches show it.
struct Watch {
    std::string name;
    std::string value;  // its text, as PRINT would show it
    std::string kind;   // "Integer", "Real" or "String"
    std::string scope;  // "Global", or "Local (OWNER)" (the procedure that declared it)
};
std::vector<Watch> Watches(const Interpreter& in);

// An entry of the run's stacks, the innermost first within each stack.
struct StackEntry {
    std::string what;  // "GOSUB", "CALL NAME", "FOR I", "DO", "REPEAT/WHILE"
    int line = -1;     // 0-based source line: of the GOSUB or CALL statement (the run
                       // goes on after it), where a loop starts
};
std::vector<StackEntry> CallStack(const Interpreter& in, const PreparedProgram& program);
std::vector<StackEntry> LoopStack(const Interpreter& in, const PreparedProgram& program);

// An active timer as the timer-events window shows it.
struct TimerEvent {
    std::string name;
    int32_t interval = 0;
    int64_t lastService = 0;
};
std::vector<TimerEvent> TimerEvents(const Interpreter& in);

// The run-time statistics: statements executed, milliseconds of run clock, statements per second.
struct RunStatistics {
    int64_t statements = 0;
    int64_t milliseconds = 0;
    double perSecond = 0.0;
};
RunStatistics Statistics(const Interpreter& in, uint32_t now);

}  // namespace tw
