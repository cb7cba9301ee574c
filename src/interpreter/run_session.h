#pragma once
// A run as a host drives it. The host prepares a program, starts a session on an interpreter,
// steps it for as long as it likes, and finishes it; the session never shows anything itself:
// Finish tells how the run ended and the host decides what to show.
//
//     PreparedProgram program = Prepare(source);
//     RunSession session(in);
//     session.Start(program);
//     while (session.Step(budget) != RunSession::StepEnd::Ended) { /* the host's own work */ }
//     RunResult result = session.Finish();
//
// One pass of the run loop counts the statement, polls Escape, the window's close button and the
// run's limits, executes row CurrentLine unless a WAIT holds the run, releases held canvases and
// services the timers. A stop request (STOP, QUIT, Escape, a limit) ends the loop and opens the
// immediate-mode console; a failed statement or an expired watchdog ends the run at once.

#include <cstdint>
#include <functional>
#include <string>

#include "interpreter/interpreter.h"
#include "interpreter/prepare.h"

namespace tw {

enum class RunOutcome {
    Stopped,   // a stop was requested (STOP, QUIT, Escape, a limit)
    Failed,    // a run-time error or a timer overrun ended the run with a message box
    Abnormal,  // something unexpected ended the run with the abnormal-termination warning
};

// How a run ended.
struct RunResult {
    enum class End : uint8_t { Stopped, RunTimeError, Watchdog, Abnormal, BadProject };
    End end = End::Stopped;
    // RunTimeError: the failed statement's message, code and token, and the row that failed.
    CommandResult error;
    int32_t row = -1;
    // BadProject: the project's files cannot be used (a path file); the program did not start.
    // The text of the message box a host shows; empty when the run stopped.
    std::string message;

    RunOutcome Outcome() const;
};

// Looks at a run between statements: a debugger's breakpoints, steps and watches live here.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    enum class Action : uint8_t { Run, Pause };
    // Called before the statement of `row` runs (not while a WAIT holds the run), with the
    // interpreter as it stands. Pause: the statement does not run yet; Step returns Paused and
    // the next Step asks again about the same row. The interpreter's tables are read-only here;
    // the host and the random generator it refers to are the run's own, and an observer must
    // not draw from the generator or drive the host.
    virtual Action BeforeStatement(const Interpreter& in, int32_t row) = 0;
};

class RunSession {
public:
    explicit RunSession(Interpreter& in);
    // A session that was started and not finished is finished here, showing nothing.
    ~RunSession();
    RunSession(const RunSession&) = delete;
    RunSession& operator=(const RunSession&) = delete;

    // Starts a run of the interpreter's program (in.program, in.routines): the run's tables,
    // the keyboard service, the display with screen 0, the command tables and the timers.
    void Start();
    // Starts a run of a prepared program, which must pass its test and outlive the session. A
    // session runs one program: a second Start, or a program that failed its test, starts
    // nothing.
    void Start(const PreparedProgram& program);
    // A warning from the start for the host to show ("SetPriorityClass Failed"), or empty.
    const std::string& StartWarning() const { return startWarning_; }

    enum class StepEnd : uint8_t {
        Budget,  // the budget is spent and the run goes on
        Paused,  // the observer paused the run before a statement
        Ended,   // the run is over: Finish tells how
    };
    // Runs up to `budget` passes of the run loop, each executing at most one statement.
    StepEnd Step(int64_t budget);

    // The observer called before each statement, or null for none (costs nothing then).
    void SetObserver(RunObserver* observer) { observer_ = observer; }

    enum class Phase : uint8_t { Ready, Running, Console, Ended, Finished };
    Phase CurrentPhase() const { return phase_; }

    // Tears the run down and tells how it ended. A run that has not ended yet is abandoned as
    // if stopped, without its console; a session that never started ends as stopped.
    RunResult Finish();
    // Ends the run after something outside it failed (a host's message box): the teardown of
    // an unexpected failure, each step on its own.
    void Abort();

private:
    template <bool kObserved>
    StepEnd Passes(int64_t budget);
    StepEnd Stopped();
    // Ends the run on the failure in runResult_, of the row that ran.
    StepEnd FailedStatement();
    void StartClock();
    StepEnd Ended(RunResult::End end);
    void RunConsole();
    void TearDown();
    void TearDownAbnormally();

    Interpreter& in_;
    Phase phase_ = Phase::Ready;
    RunObserver* observer_ = nullptr;
    RunLimits limits_;
    uint32_t startTick_ = 0;
    bool clockStarted_ = false;
    // Cheap passes left before a real clock is read again.
    static constexpr int kCheapPasses = 64;
    int cheapPassesLeft_ = 0;
    CommandResult runResult_;
    RunResult result_;
    std::string startWarning_;
};

// Runs the interpreter's program (or a prepared one) to its end, and shows what ends it through
// the host's message box: the host that just wants a run.
RunOutcome RunProgram(Interpreter& in);
RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program);
// The same, calling `betweenSteps` between steps of the run, at most every `interval` ms of the
// host's clock (a host that repaints its windows during a run).
RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program,
                      const std::function<void()>& betweenSteps, uint32_t interval = 100);
// The same with an observer before each statement (a debugger): when it pauses the run,
// `whilePaused` is called, and returns when the run is to go on (false: stop it, as Escape does).
// The host's clock is held meanwhile.
RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program,
                      const std::function<void()>& betweenSteps, uint32_t interval,
                      RunObserver& observer, const std::function<bool()>& whilePaused);
// The same with an observer that may come later: `observer` is asked at the start and after
// every call of `betweenSteps` until it gives one (a debugger called in while the run goes on).
RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program,
                      const std::function<void()>& betweenSteps, uint32_t interval,
                      const std::function<RunObserver*()>& observer,
                      const std::function<bool()>& whilePaused);

// Per-run initialisation and teardown of the interpreter's state. StartRun gives the text of a
// warning to show, or empty.
std::string StartRun(Interpreter& in);
void EndRun(Interpreter& in);

// Executes row CurrentLine into the run's result record.
void ExecuteStatement(Interpreter& in, CommandResult& runResult);

// The text of the box that reports a run-time error.
std::string RunTimeErrorText(const CommandResult& result, int32_t line);

extern const char* const kAbnormalTerminationText;

}  // namespace tw
