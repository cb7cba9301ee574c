#include "interpreter/run_loop.h"

#include <exception>

#include "commands/registry.h"
#include "display/screens.h"
#include "frontend/names.h"
#include "interpreter/immediate_mode.h"
#include "services/keyboard.h"
#include "sprites/sprites.h"

namespace tw {

const char* const kMsgNoValidToken =
    "Error <14> : Run Time Error - Internal Error (RTIE), could not find a valid token in "
    "execution path.";

const char* const kAbnormalTerminationText =
    "Warning : Tarnwick abnormally terminated. This may be because of a bug or problem, if you "
    "are sure you code is correct please contact the Tarnwick Team via "
    "https://tarnwick.example.org (E-Mail you source code so we can reproduce your problem)";

namespace {

constexpr int32_t kRunTimerAllowance = 1500000;

void ScreenUpdateAction(Interpreter& in, uint8_t&) {
    if (in.run.autoScreenUpdate) UpdateDisplay(in, true);
}

void SpritePathAction(Interpreter& in, uint8_t&) {
    AdvanceSpritePaths(in);
}

TimerSlot RunTimer(const char* name, int32_t interval, int32_t allowed, TimerKind kind,
                   TimerCallback callback) {
    TimerSlot t;
    t.active = true;
    t.name = name;
    t.timerClass = 0;
    t.interval = interval;
    t.lastService = -1;
    t.allowed = allowed;
    t.kind = kind;
    t.callback = callback;
    return t;
}

// Ends the display side of a run (stop the display, free the screens, close the window).
void TearDown(Interpreter& in) {
    KeepFinalFrame(in);
    StopDisplay(in);
    FreeScreens(in);
    in.host.CloseDisplayWindow();
    EndRun(in);
    in.host.CloseDisplayWindow();
}

}  // namespace

void StartRun(Interpreter& in) {
    if (!in.host.RaisePriority())
        in.host.ShowMessage(MessageKind::Warning, "SetPriorityClass Failed");

    RunState& run = in.run;
    run.currentLine = 0;
    run.statementCount = 0;
    run.autoScreenUpdate = true;
    run.running = true;
    run.angleUnit = AngleUnit::Radians;
    run.suspended = false;

    ResetDrawingColours(in);

    in.loops.Reset();
    in.expressions.Reset();
    in.variables.Reset();
    in.timers.Reset();
    in.procedures.Reset();
    in.gosubs.Reset();
    ResetSprites(in);
    ResetPaths(in);

    const int32_t watchdog = in.limits.watchdogAllowance;
    in.timers.AddTimer(RunTimer("WATCHDOG", 100, watchdog, TimerKind::Watchdog, nullptr));
    in.timers.AddTimer(
        RunTimer("SCREEN_UPDATE", 20, kRunTimerAllowance, TimerKind::Plain, ScreenUpdateAction));
    in.timers.AddTimer(RunTimer("FLASH_UPDATE", 20, kRunTimerAllowance, TimerKind::Plain, nullptr));
    in.timers.AddTimer(
        RunTimer("Sprite_Path_Update", 20, 1000, TimerKind::Plain, SpritePathAction));

    LoadPaths(in);
    in.quitRequested = false;
}

void EndRun(Interpreter& in) {
    in.run.currentLine = -1;
    in.run.running = false;
    in.host.RestorePriority();
    in.loops.Reset();
    for (auto& level : in.expressions.levels) level = ExpressionLevel{};
}

void BuildTables(Interpreter& in) {
    in.commands.handlers.fill(DefaultCommandHandler);
    in.commands.names = kCommandNames;
    in.functions.handlers.fill(DefaultFunctionHandler);
    in.functions.names = kFunctionNames;
    RegisterAllCommands(in.commands, in.functions);
    RegisterImmediateModeCommands(in.commands);
}

void ExecuteStatement(Interpreter& in, CommandResult& runResult) {
    runResult.ok = true;
    const int32_t line = in.run.currentLine;
    int16_t command;
    if (line >= 0 && line < static_cast<int32_t>(in.rowCommands.size())) {
        command = in.rowCommands[line];
    } else {
        std::string_view word = in.RowWord(line);
        command =
            word.empty() ? Interpreter::kEndOfProgram : static_cast<int16_t>(FindCommand(word));
    }
    if (command == Interpreter::kEndOfProgram) {
        runResult.Fail(14, 0, kMsgNoValidToken);
        return;
    }
    if (command >= 0) {
        CommandResult result;
        in.commands.handlers[command](in, Args(in.program->Row(line)), result);
        if (!result.ok) {
            runResult.CopyFailure(result);
            return;
        }
    }
    // A label, ENDIF, END or any other word: no effect.
    ++in.run.currentLine;
}

std::string RunTimeErrorText(const CommandResult& result, int32_t line) {
    return "The following run time error occured \r" + result.message + "\r" +
           "At Line = " + std::to_string(line) + ", Token = " + std::to_string(result.token);
}

RunOutcome RunProgram(Interpreter& in) {
    Host& host = in.host;
    try {
        host.ShowDisplayWindow();
        StartRun(in);
        StartKeyboardService(in);
        CreateScreens(in);
        StartDisplay(in);
        BuildTables(in);
        in.PrepareProgram();
        in.timers.StartTimers(host.TickCount());

        const uint32_t startTick = host.TickCount();
        in.stopRequested = false;
        CommandResult runResult;
        runResult.ok = true;
        const RunLimits limits = in.limits;
        while (!in.stopRequested) {
            host.Pass();
            // A 32-bit count that wraps, as the statement counter always has.
            in.run.statementCount =
                static_cast<int32_t>(static_cast<uint32_t>(in.run.statementCount) + 1u);
            if (host.KeyDown(kVkEscape)) in.stopRequested = true;
            if (host.CloseRequested()) in.stopRequested = in.quitRequested = true;
            if (limits.maxStatements > 0 && in.run.statementCount >= limits.maxStatements) {
                in.stopRequested = true;
            }
            if (limits.timeoutMs > 0 &&
                int64_t{host.TickCount()} - int64_t{startTick} >= limits.timeoutMs) {
                in.stopRequested = true;
            }

            if (!in.run.suspended) ExecuteStatement(in, runResult);
            if (!runResult.ok) {
                // The box names the failing row, which the teardown forgets.
                const std::string text = RunTimeErrorText(runResult, in.run.currentLine);
                TearDown(in);
                host.ShowMessage(MessageKind::Error, text);
                return RunOutcome::Failed;
            }
            ReleaseHeldCanvases(in);
            std::string expired = in.timers.ServiceTimers(in);
            if (!expired.empty()) {
                TearDown(in);
                host.ShowMessage(MessageKind::Error, expired);
                return RunOutcome::Failed;
            }
        }

        in.run.stopTick = host.TickCount();
        in.run.startTick = startTick;
        ImmediateMode(in);
        StopKeyboardService(in);
        for (int i = 0; i < 128; ++i) {
            std::string line = std::to_string(i) + "> ";
            line.push_back(static_cast<char>(in.keys.characters[i]));
            host.Trace(line);
        }
        TearDown(in);
        return RunOutcome::Stopped;
    } catch (...) {
        // Each step of the teardown on its own, ignoring its own failure.
        try {
            FlipToDesktop(in);
        } catch (...) {
        }
        try {
            StopDisplay(in);
        } catch (...) {
        }
        try {
            FreeScreens(in);
        } catch (...) {
        }
        try {
            EndRun(in);
        } catch (...) {
        }
        try {
            host.CloseDisplayWindow();
        } catch (...) {
        }
        host.ShowMessage(MessageKind::Error, kAbnormalTerminationText);
        return RunOutcome::Abnormal;
    }
}

}  // namespace tw
