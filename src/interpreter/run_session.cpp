// The run session.
//
// Sections: the run's own timers; starting and ending a run; executing a statement; the session;
// RunProgram.

#include "interpreter/run_session.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <exception>
#include <new>

#include "commands/registry.h"
#include "display/screens.h"
#include "interpreter/immediate_mode.h"
#include "services/keyboard.h"
#include "sprites/sprites.h"

namespace tw {

const char* const kAbnormalTerminationText =
    "Warning : Tarnwick abnormally terminated. This may be because of a bug or problem, if you "
    "are sure you code is correct please contact the Tarnwick Team via "
    "https://tarnwick.example.org (E-Mail you source code so we can reproduce your problem)";

// ---------------------------------------------------------------------------------------------
// The run's own timers

namespace {

constexpr int32_t kRunTimerAllowance = 1500000;

void ScreenUpdateAction(Interpreter& in, uint8_t&) {
    if (in.run.autoScreenUpdate) UpdateDisplay(in.screens, in.run.statementCount, true);
}

void SpritePathAction(Interpreter& in, uint8_t&) {
    AdvanceSpritePaths(in.sprites);
}

void KeyboardAction(Interpreter& in, uint8_t&) {
    ServiceKeyboard(in.keys, in.host);
}

// The run's own timers are of class 0 and due at once.
TimerSlot RunTimer(const char* name, int32_t interval, int32_t allowed, TimerKind kind,
                   TimerCallback callback) {
    return ActiveTimer(name, 0, interval, -1, allowed, kind, callback);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Starting and ending a run

std::string StartRun(Interpreter& in) {
    std::string warning;
    if (!in.host.RaisePriority()) warning = "SetPriorityClass Failed";

    RunState& run = in.run;
    run.currentLine = 0;
    run.failedRow = -1;
    run.statementCount = 0;
    run.autoScreenUpdate = true;
    run.running = true;
    run.angleUnit = AngleUnit::Radians;
    run.suspended = false;

    ResetDrawingColours(in.screens);

    in.loops.Reset();
    in.expressions.Reset();
    in.variables.Reset();
    in.timers.Reset();
    in.procedures.Reset();
    in.gosubs.Reset();
    ResetSprites(in.sprites);
    ResetPaths(in.sprites);
    in.run.waitKeyMark = 0;

    const int32_t watchdog = in.limits.watchdogAllowance;
    in.timers.AddTimer(RunTimer("WATCHDOG", 100, watchdog, TimerKind::Watchdog, nullptr));
    in.timers.AddTimer(
        RunTimer("SCREEN_UPDATE", 20, kRunTimerAllowance, TimerKind::Plain, ScreenUpdateAction));
    in.timers.AddTimer(RunTimer("FLASH_UPDATE", 20, kRunTimerAllowance, TimerKind::Plain, nullptr));
    in.timers.AddTimer(
        RunTimer("Sprite_Path_Update", 20, 1000, TimerKind::Plain, SpritePathAction));

    in.quitRequested = false;
    return warning;
}

void EndRun(Interpreter& in) {
    in.StopWatchingRun();
    in.run.currentLine = -1;
    in.run.running = false;
    in.host.RestorePriority();
    in.loops.Reset();
    for (auto& level : in.expressions.levels) level = ExpressionLevel{};
}

// ---------------------------------------------------------------------------------------------
// Executing a statement

namespace {

// Runs a command's statement: its quick form on the row's prepared form (with `cache`, when
// there is one) or else its handler. The run's record goes to the command as a fresh one would
// (failed, no message): a failure ends the run, so it has none yet.
void RunCommand(Interpreter& in, int16_t command, const Args& args, RowCache* cache,
                CommandResult& runResult) {
    if (!IsCheapCommand(command)) in.pollSoon = true;
    runResult.ok = false;
    const QuickCommand quick = in.commands.quick[command];
    if (!quick || !cache || !quick(in, args, *cache, runResult)) {
        in.commands.handlers[command](in, args, runResult);
    }
}

}  // namespace

namespace {

// Every row that has no short way (apart, so that the short way saves few registers).
[[gnu::noinline]] void ExecuteRow(Interpreter& in, CommandResult& runResult) {
    const int32_t line = in.run.currentLine;
    runResult.ok = true;
    // The program's rows, resolved when the run started (a row cache for each of them).
    if (line >= 0 && line < static_cast<int32_t>(in.rowCommands.size())) {
        const int16_t command = in.rowCommands[line];
        if (command >= 0) {
            RunCommand(in, command, Args(in.program->Row(line)),
                       in.rememberProgram ? &in.rowCaches[line] : nullptr, runResult);
            if (!runResult.ok) return;
        } else if (command == Interpreter::kEndOfProgram) {
            // What happens when a program runs past its last statement.
            runResult.Fail(ErrorId::NoValidToken, 0);
            return;
        }
        // A label, ENDIF, END or any other word: no effect.
        ++in.run.currentLine;
        return;
    }
    std::string_view word = in.RowWord(line);
    const int16_t command =
        word.empty() ? Interpreter::kEndOfProgram : static_cast<int16_t>(FindCommand(word));
    if (command == Interpreter::kEndOfProgram) {
        runResult.Fail(ErrorId::NoValidToken, 0);
        return;
    }
    if (command >= 0) {
        RunCommand(in, command, Args(in.program->Row(line)), nullptr, runResult);
        if (!runResult.ok) return;
    }
    ++in.run.currentLine;
}

// ExecuteStatement, inline in the run loop.
[[gnu::always_inline]] inline void RunStatement(Interpreter& in, CommandResult& runResult) {
    const int32_t line = in.run.currentLine;
    // The short way for a cheap command (its quick form, else its handler) or a row of none.
    if (static_cast<uint32_t>(line) < in.quickRows.size()) {
        const Interpreter::QuickRow& row = in.quickRows[line];
        if (row.handler) {
            runResult.ok = false;
            if (!row.run || !row.run(in, row.args, *row.cache, runResult)) {
                row.handler(in, row.args, runResult);
            }
            if (runResult.ok) ++in.run.currentLine;
            return;
        }
    }
    ExecuteRow(in, runResult);
}

}  // namespace

void ExecuteStatement(Interpreter& in, CommandResult& runResult) {
    RunStatement(in, runResult);
}

std::string RunTimeErrorText(const CommandResult& result, int32_t line) {
    return "The following run time error occured \r" + result.message + "\r" +
           "At Line = " + std::to_string(line) + ", Token = " + std::to_string(result.token);
}

RunOutcome RunResult::Outcome() const {
    switch (end) {
        case End::Stopped:
            return RunOutcome::Stopped;
        case End::RunTimeError:
        case End::Watchdog:
        case End::BadProject:
            return RunOutcome::Failed;
        case End::Abnormal:
            break;
    }
    return RunOutcome::Abnormal;
}

// ---------------------------------------------------------------------------------------------
// The session

RunSession::RunSession(Interpreter& in) : in_(in) {}

RunSession::~RunSession() {
    if (phase_ != Phase::Ready && phase_ != Phase::Finished) Finish();
}

void RunSession::Start(const PreparedProgram& program) {
    // A session runs one program, and only one that passed its test.
    assert(program.Ok());
    if (phase_ != Phase::Ready || !program.Ok()) return;
    in_.program = &program.buffer;
    in_.routines = &program.routines;
    Start();
}

void RunSession::Start() {
    if (phase_ != Phase::Ready) return;
    Host& host = in_.host;
    phase_ = Phase::Running;
    try {
        host.ShowDisplayWindow();
        startWarning_ = StartRun(in_);
        StartKeyboardService(in_.keys);
        in_.timers.AddTimer(ActiveTimer("KEYBOARD_SERVICE", 2, kKeyServiceInterval, -1, 16777215,
                                        TimerKind::Plain, KeyboardAction));
        CreateScreens(in_.screens, host, [&random = in_.random] { return random.Next(); });
        in_.screens.screen->giveWay = [&in = in_] { return in.GiveWay(); };
        StartDisplay(in_.screens);
        BuildTables(in_.commands, in_.functions);
        in_.PrepareProgram();
        // The paths come from the project's files: one that cannot be used stops the run
        // before its first statement, with a message that names it.
        std::string badPaths;
        if (!LoadPaths(in_.sprites, badPaths)) {
            StopKeyboardService(in_.keys);
            result_.message = std::move(badPaths);
            Ended(RunResult::End::BadProject);
            return;
        }
        in_.stopRequested = false;
        runResult_ = CommandResult{};
        runResult_.ok = true;
        limits_ = in_.limits;
    } catch (...) {
        TearDownAbnormally();
    }
}

// The run's clock starts with the first step, so that a warning the host shows after Start
// (a box that waits for the user) does not count against the timers or the time limit.
void RunSession::StartClock() {
    Host& host = in_.host;
    host.StartRunClock();
    in_.timers.StartTimers(host.TickCount());
    startTick_ = host.TickCount();
    in_.run.startTick = startTick_;  // (what a debugger's statistics count from)
    clockStarted_ = true;
    in_.WatchRun(startTick_, limits_.timeoutMs);
}

RunSession::StepEnd RunSession::Step(int64_t budget) {
    if (phase_ == Phase::Console) {
        RunConsole();
        return StepEnd::Ended;
    }
    if (phase_ != Phase::Running) return StepEnd::Ended;
    try {
        if (!clockStarted_) StartClock();
        // Two copies of the loop: without an observer it does not even look for one.
        return observer_ ? Passes<true>(budget) : Passes<false>(budget);
    } catch (const std::bad_alloc&) {
        // Memory that ran out while a statement ran ends the run with a run-time error of that
        // statement; the teardown gives the run's memory back.
        runResult_ = CommandResult{};
        runResult_.Fail(ErrorId::OutOfMemory, 0);
        return FailedStatement();
    } catch (...) {
        TearDownAbnormally();
        return StepEnd::Ended;
    }
}

template <bool kObserved>
RunSession::StepEnd RunSession::Passes(int64_t budget) {
    Interpreter& in = in_;
    Host& host = in.host;
    const RunLimits limits = limits_;
    const bool realClock = host.RealClock();
    auto failed = [&] { return FailedStatement(); };
    // After a statement that may have taken long: the timers, when one may be due.
    auto serviceTimers = [&]() -> bool {
        if (!in.timers.MayBeDue(host.TickCount())) return true;
        std::string expired = in.timers.ServiceTimers(host, in);
        if (expired.empty()) return true;
        result_.message = std::move(expired);
        return false;
    };
    for (; budget > 0; --budget) {
        if constexpr (!kObserved) {
            // The passes before the next look at the host, without an observer or a statement
            // limit: nothing but what the statement itself did needs looking at.
            if (realClock && limits.maxStatements <= 0) {
                // At most this many, counted in a local and given back to both counts after.
                int64_t passes = std::min<int64_t>(budget, cheapPassesLeft_ - 1);
                const int64_t planned = passes;
                CommandResult& runResult = runResult_;
                bool failure = false;
                while (passes > 0 && !in.stopRequested && !in.pollSoon && !in.run.suspended) {
                    --passes;
                    in.run.statementCount =
                        static_cast<int32_t>(static_cast<uint32_t>(in.run.statementCount) + 1u);
                    RunStatement(in, runResult);
                    if (!runResult.ok) {
                        failure = true;
                        break;
                    }
                    if (in.screens.canvasesHeld != 0) ReleaseHeldCanvases(in.screens);
                }
                budget -= planned - passes;
                cheapPassesLeft_ -= static_cast<int>(planned - passes);
                if (failure) return failed();
                if (planned > passes && in.pollSoon && !serviceTimers()) {
                    return Ended(RunResult::End::Watchdog);
                }
                if (budget <= 0) break;
            }
        }
        if (in.stopRequested) return Stopped();
        if constexpr (kObserved) {
            if (!in.run.suspended &&
                observer_->BeforeStatement(in, in.run.currentLine) == RunObserver::Action::Pause) {
                return StepEnd::Paused;
            }
        }
        // A 32-bit count that wraps, as the statement counter always has.
        in.run.statementCount =
            static_cast<int32_t>(static_cast<uint32_t>(in.run.statementCount) + 1u);
        // A clock that passes drive is read on every pass. A real one is read after every
        // statement that may have taken long (pollSoon), while a WAIT holds the run, and at
        // least every kCheapPasses passes: between those, nothing the host tells can change
        // by more than a fraction of its millisecond.
        const bool poll = !realClock || in.pollSoon || in.run.suspended || --cheapPassesLeft_ <= 0;
        if (poll) {
            cheapPassesLeft_ = kCheapPasses;
            in.pollSoon = false;
            host.Pass();
            if (host.KeyDown(kVkEscape)) in.stopRequested = true;
            if (host.CloseRequested()) in.stopRequested = in.quitRequested = true;
            if (limits.timeoutMs > 0 &&
                int64_t{host.TickCount()} - int64_t{startTick_} >= limits.timeoutMs) {
                in.stopRequested = true;
            }
            if (in.expressions.bigTextHeld) in.ReleaseSpareText();
        }
        if (limits.maxStatements > 0 && in.run.statementCount >= limits.maxStatements) {
            in.stopRequested = true;
        }

        if (!in.run.suspended) ExecuteStatement(in, runResult_);
        if (!runResult_.ok) return failed();
        if (in.screens.canvasesHeld != 0) ReleaseHeldCanvases(in.screens);
        if ((poll || in.pollSoon) && !serviceTimers()) return Ended(RunResult::End::Watchdog);
    }
    if (in.stopRequested) return Stopped();
    return StepEnd::Budget;
}

RunSession::StepEnd RunSession::FailedStatement() {
    // The failing row, before the teardown forgets it.
    result_.error = runResult_;
    result_.row = in_.run.currentLine;
    in_.run.failedRow = in_.run.currentLine;
    result_.message = RunTimeErrorText(runResult_, in_.run.currentLine);
    return Ended(RunResult::End::RunTimeError);
}

// The loop has ended on a stop request: the console opens (it leaves at once after QUIT).
RunSession::StepEnd RunSession::Stopped() {
    in_.StopWatchingRun();
    in_.run.stopTick = in_.host.TickCount();
    in_.run.startTick = startTick_;
    phase_ = Phase::Console;
    return Step(1);
}

RunSession::StepEnd RunSession::Ended(RunResult::End end) {
    in_.StopWatchingRun();
    result_.end = end;
    phase_ = Phase::Ended;
    return StepEnd::Ended;
}

void RunSession::RunConsole() {
    try {
        ImmediateMode(in_);
        StopKeyboardService(in_.keys);
        // What the keyboard buffer held, for the outside trace window.
        for (int i = 0; i < 128; ++i) {
            std::string line = std::to_string(i) + "> ";
            line.push_back(static_cast<char>(in_.keys.characters[i]));
            in_.host.Trace(line);
        }
        Ended(RunResult::End::Stopped);
    } catch (...) {
        TearDownAbnormally();
    }
}

RunResult RunSession::Finish() {
    switch (phase_) {
        case Phase::Ready:
        case Phase::Finished:
            return result_;
        case Phase::Running:
        case Phase::Console:
            // Abandoned by the host: it ends as a stop, without the console.
            in_.run.stopTick = in_.host.TickCount();
            in_.run.startTick = clockStarted_ ? startTick_ : in_.run.stopTick;
            StopKeyboardService(in_.keys);
            Ended(RunResult::End::Stopped);
            break;
        case Phase::Ended:
            break;
    }
    if (result_.end != RunResult::End::Abnormal) {
        try {
            TearDown();
        } catch (...) {
            TearDownAbnormally();
        }
    }
    phase_ = Phase::Finished;
    return result_;
}

// Ends the display side of a run and resets the run state. The window closes once, with the
// screen object, before EndRun: closing it again after EndRun would do nothing.
void RunSession::TearDown() {
    KeepFinalFrame(in_.screens, in_.run.statementCount);
    ResetSprites(in_.sprites);
    StopDisplay(in_.screens);
    FreeScreens(in_.screens);
    in_.host.CloseDisplayWindow();
    EndRun(in_);
}

void RunSession::Abort() {
    if (phase_ == Phase::Ready) return;
    TearDownAbnormally();
    phase_ = Phase::Finished;
}

// After an unexpected failure: each step of the teardown on its own, ignoring its own failure.
void RunSession::TearDownAbnormally() {
    try {
        FlipToDesktop(in_.screens);
    } catch (...) {
    }
    try {
        ResetSprites(in_.sprites);
        StopDisplay(in_.screens);
    } catch (...) {
    }
    try {
        FreeScreens(in_.screens);
    } catch (...) {
    }
    try {
        EndRun(in_);
    } catch (...) {
    }
    try {
        in_.host.CloseDisplayWindow();
    } catch (...) {
    }
    result_ = RunResult{};
    result_.end = RunResult::End::Abnormal;
    result_.message = kAbnormalTerminationText;
    phase_ = Phase::Ended;
}

// ---------------------------------------------------------------------------------------------
// RunProgram

namespace {

// Steps the session to its end, calling `betweenSteps` (when there is one) at most every
// `interval` ms; then shows what ends the run. `observer` (when there is one) is asked for the
// run's observer at the start and after every call of `betweenSteps` until it gives one.
RunOutcome RunToTheEnd(Interpreter& in, const std::function<void()>* betweenSteps,
                       uint32_t interval, const std::function<RunObserver*()>* observer = nullptr,
                       const std::function<bool()>* whilePaused = nullptr) {
    // Passes between two looks at the clock: the loop itself polls everything else, so a
    // host without a callback takes big steps; one with a callback looks every 16384 passes
    // (well under a millisecond).
    const int64_t budget = betweenSteps ? int64_t{1} << 14 : int64_t{1} << 20;
    RunSession session(in);
    bool observed = false;
    auto lookForObserver = [&] {
        if (observed || !observer) return;
        if (RunObserver* found = (*observer)()) {
            session.SetObserver(found);
            observed = true;
        }
    };
    lookForObserver();
    session.Start();
    try {
        if (!session.StartWarning().empty()) {
            in.host.ShowMessage(MessageKind::Warning, session.StartWarning());
        }
        uint32_t last = in.host.TickCount();
        for (;;) {
            const RunSession::StepEnd end = session.Step(budget);
            if (end == RunSession::StepEnd::Ended) break;
            if (end == RunSession::StepEnd::Paused) {
                // The host looks at the paused run until it goes on; false stops it, as Escape
                // does. The run's clock stands still meanwhile: its timers, its statistics and
                // its time limit count only the time it ran. Its screens are shown as they
                // stand (when the run composes the display by the clock, as its timer would).
                if (in.run.autoScreenUpdate) {
                    UpdateDisplay(in.screens, in.run.statementCount, true);
                }
                in.host.HoldClock(true);
                const bool goOn = !whilePaused || (*whilePaused)();
                in.host.HoldClock(false);
                if (!goOn) in.stopRequested = true;
                last = in.host.TickCount();
                continue;
            }
            if (!betweenSteps) continue;
            const uint32_t now = in.host.TickCount();
            if (now - last >= interval) {
                last = now;
                (*betweenSteps)();
                lookForObserver();
            }
        }
        const RunResult result = session.Finish();
        if (!result.message.empty()) in.host.ShowMessage(MessageKind::Error, result.message);
        return result.Outcome();
    } catch (...) {
        // A message box (or the host's own work) that fails ends the run as anything
        // unexpected does.
        session.Abort();
        in.host.ShowMessage(MessageKind::Error, kAbnormalTerminationText);
        return RunOutcome::Abnormal;
    }
}

}  // namespace

RunOutcome RunProgram(Interpreter& in) {
    return RunToTheEnd(in, nullptr, 0);
}

RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program) {
    in.program = &program.buffer;
    in.routines = &program.routines;
    return RunToTheEnd(in, nullptr, 0);
}

RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program,
                      const std::function<void()>& betweenSteps, uint32_t interval) {
    in.program = &program.buffer;
    in.routines = &program.routines;
    return RunToTheEnd(in, &betweenSteps, interval);
}

RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program,
                      const std::function<void()>& betweenSteps, uint32_t interval,
                      const std::function<RunObserver*()>& observer,
                      const std::function<bool()>& whilePaused) {
    in.program = &program.buffer;
    in.routines = &program.routines;
    return RunToTheEnd(in, &betweenSteps, interval, &observer, &whilePaused);
}

RunOutcome RunProgram(Interpreter& in, const PreparedProgram& program,
                      const std::function<void()>& betweenSteps, uint32_t interval,
                      RunObserver& observer, const std::function<bool()>& whilePaused) {
    return RunProgram(
        in, program, betweenSteps, interval, [&observer] { return &observer; }, whilePaused);
}

}  // namespace tw
