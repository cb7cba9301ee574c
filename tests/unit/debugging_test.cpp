// The debugger on the run loop's hook: breakpoints, steps, running to a line, pausing and
// going on, and what a paused run shows.

#include <gtest/gtest.h>

#include <functional>

#include "platform/clock.h"
#include "project/debugging.h"
#include "test_support.h"

namespace tw {
namespace {

// A run of `source` under a debugger whose pauses `atPause` answers (false: stop the run).
struct DebugRun {
    explicit DebugRun(const std::string& source) : program(Prepare(source)), debugger(program) {
        host.debugShown = true;
        host.advancePerPass = true;
        in.limits.maxStatements = 100000;  // a test that goes wrong still ends
    }
    RunOutcome Run() {
        return RunProgram(
            in, program, [] {}, 100, debugger,
            [this] {
                lines.push_back(debugger.PausedLine());
                return atPause ? atPause() : (debugger.Continue(), true);
            });
    }
    test::RecordingHost host;
    Interpreter in{host};
    PreparedProgram program;
    Debugger debugger;
    std::vector<int> lines;  // the source line of each pause
    std::function<bool()> atPause;
};

constexpr const char* kLoop =
    "LET A = 0\n"
    "FOR I = 1 TO 3\n"
    "IF I > 1 THEN LET A = A + I ELSE LET A = A + 100\n"
    "NEXT I\n"
    "OUTPUTDEBUG A\n"
    "STOP\n";

TEST(Debugger, ABreakpointStopsOnceEachTimeTheRunComesToItsLine) {
    // Line 2 is cut into several rows (IF, LET, ELSE, LET, ENDIF): one stop per pass.
    DebugRun run(kLoop);
    run.debugger.SetBreakpoints({2, 4});
    run.Run();
    EXPECT_EQ(run.lines, (std::vector<int>{2, 2, 2, 4}));
    EXPECT_EQ(run.host.debug, (std::vector<std::string>{"105"}));
    // A breakpoint on a line that has no row (a REM, a blank line) never stops the run.
    DebugRun none("REM nothing\n\nLET A = 1\nSTOP\n");
    none.debugger.SetBreakpoints({0, 1});
    none.Run();
    EXPECT_TRUE(none.lines.empty());
}

TEST(Debugger, StepIntoRunsOneRowAtATime) {
    DebugRun run(kLoop);
    run.debugger.StepInto();  // before the first statement
    int steps = 0;
    run.atPause = [&] {
        if (++steps >= 6) {
            run.debugger.Continue();
        } else {
            run.debugger.StepInto();
        }
        return true;
    };
    run.Run();
    // LET, FOR, then line 2's rows one by one (IF, ELSE jumps to the ELSE branch's LET...).
    ASSERT_EQ(run.lines.size(), 6u);
    EXPECT_EQ(run.lines[0], 0);
    EXPECT_EQ(run.lines[1], 1);
    EXPECT_EQ(run.lines[2], 2);
    EXPECT_EQ(run.lines[3], 2);
    EXPECT_EQ(run.host.debug, (std::vector<std::string>{"105"}));
}

constexpr const char* kCalls =
    "LET A = 1\n"       // 0
    "GOSUB SUB1\n"      // 1
    "CALL P(2)\n"       // 2
    "OUTPUTDEBUG A\n"   // 3
    "STOP\n"            // 4
    "SUB1:\n"           // 5
    "LET A = A + 10\n"  // 6
    "RETURN\n"          // 7
    "PROCEDURE P(X)\n"  // 8
    "LOCAL T\n"         // 9
    "LET T = X * 2\n"   // 10
    "LET A = A + T\n"   // 11
    "ENDPROC\n";        // 12

TEST(Debugger, StepOverRunsAGosubAndACallWhole) {
    DebugRun run(kCalls);
    run.debugger.SetBreakpoints({1});
    run.atPause = [&] {
        if (run.lines.size() < 3) {
            run.debugger.StepOver();
        } else {
            run.debugger.Continue();
        }
        return true;
    };
    run.Run();
    EXPECT_EQ(run.lines, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(run.host.debug, (std::vector<std::string>{"15"}));
    // Stepping into the GOSUB instead goes to the row after its label; stepping over the RETURN
    // comes back to the row after the GOSUB, and over the CALL to the row after it.
    DebugRun into(kCalls);
    into.debugger.SetBreakpoints({1});
    into.atPause = [&] {
        const size_t n = into.lines.size();
        if (n == 1) {
            into.debugger.StepInto();
        } else if (n < 5) {
            into.debugger.StepOver();
        } else {
            into.debugger.Continue();
        }
        return true;
    };
    into.Run();
    EXPECT_EQ(into.lines, (std::vector<int>{1, 6, 7, 2, 3}));
}

TEST(Debugger, RunToALineAndWhatThePausedRunShows) {
    DebugRun run(kCalls);
    run.debugger.RunToLine(11);
    std::vector<Watch> inside, after;
    std::vector<StackEntry> calls;
    run.atPause = [&] {
        if (run.lines.size() == 1) {
            inside = Watches(run.in);
            calls = CallStack(run.in, run.program);
            run.debugger.RunToLine(3);
        } else {
            after = Watches(run.in);
            run.debugger.Continue();
        }
        return true;
    };
    run.Run();
    EXPECT_EQ(run.lines, (std::vector<int>{11, 3}));
    // Inside the procedure: its parameter and local, owned by it, and the global.
    auto find = [](const std::vector<Watch>& ws, const std::string& name) -> const Watch* {
        for (const Watch& w : ws) {
            if (w.name == name) return &w;
        }
        return nullptr;
    };
    ASSERT_NE(find(inside, "X"), nullptr);
    EXPECT_EQ(find(inside, "X")->value, "2");
    EXPECT_EQ(find(inside, "X")->scope, "Local (P)");
    ASSERT_NE(find(inside, "T"), nullptr);
    EXPECT_EQ(find(inside, "T")->value, "4");
    ASSERT_NE(find(inside, "A"), nullptr);
    EXPECT_EQ(find(inside, "A")->value, "11");
    EXPECT_EQ(find(inside, "A")->kind, "Integer");
    // Called from line 2.
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].what, "CALL P");
    EXPECT_EQ(calls[0].line, 2);
    // After ENDPROC the procedure's variables are gone.
    EXPECT_EQ(find(after, "X"), nullptr);
    EXPECT_EQ(find(after, "T"), nullptr);
    EXPECT_EQ(find(after, "A")->value, "15");
}

TEST(Debugger, TheStacksTimersAndStatisticsOfAPausedRun) {
    DebugRun run(
        "FOR I = 1 TO 2\n"  // 0
        "FOR J = 1 TO 1\n"  // 1
        "GOSUB S\n"         // 2
        "NEXT J\n"          // 3
        "NEXT I\n"          // 4
        "STOP\n"            // 5
        "S:\n"              // 6
        "OUTPUTDEBUG I\n"   // 7
        "RETURN\n");        // 8
    run.debugger.SetBreakpoints({7});
    std::vector<StackEntry> loops, calls;
    std::vector<TimerEvent> timers;
    RunStatistics stats;
    run.atPause = [&] {
        loops = LoopStack(run.in, run.program);
        calls = CallStack(run.in, run.program);
        timers = TimerEvents(run.in);
        stats = Statistics(run.in, run.host.tick);
        run.debugger.Continue();
        return true;
    };
    run.Run();
    EXPECT_EQ(run.lines, (std::vector<int>{7, 7}));
    ASSERT_EQ(loops.size(), 2u);
    EXPECT_EQ(loops[0].what, "FOR J");
    EXPECT_EQ(loops[0].line, 1);
    EXPECT_EQ(loops[1].what, "FOR I");
    EXPECT_EQ(loops[1].line, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].what, "GOSUB");
    EXPECT_EQ(calls[0].line, 2);
    // The keyboard service is one of the run's own timers.
    bool keyboard = false;
    for (const TimerEvent& t : timers) keyboard |= t.name == "KEYBOARD_SERVICE";
    EXPECT_TRUE(keyboard);
    EXPECT_GT(stats.statements, 0);
    EXPECT_GE(stats.milliseconds, 0);
}

TEST(Debugger, PausingChangesNothingAndStoppingEndsTheRun) {
    const std::string source =
        "LET S = 0\nFOR I = 1 TO 50\nLET S = S + I * 1.5\nIF S > 100 THEN OUTPUTDEBUG S\n"
        "NEXT I\nOUTPUTDEBUG S\nSTOP\n";
    test::RecordingHost plainHost;
    plainHost.debugShown = true;
    plainHost.advancePerPass = true;
    Interpreter plain(plainHost);
    const PreparedProgram program = Prepare(source);
    RunProgram(plain, program);
    // The same run paused at every statement, going on each time.
    DebugRun run(source);
    run.debugger.StepInto();
    run.atPause = [&] {
        run.debugger.StepInto();
        return true;
    };
    run.Run();
    EXPECT_EQ(run.host.debug, plainHost.debug);
    EXPECT_EQ(run.in.run.statementCount, plain.run.statementCount);
    EXPECT_EQ(static_cast<int64_t>(run.lines.size()), plain.run.statementCount);
    // Stopping at a pause ends the run as Escape does: what follows never runs.
    DebugRun stopped(source);
    stopped.debugger.SetBreakpoints({5});
    stopped.atPause = [] { return false; };
    EXPECT_EQ(stopped.Run(), RunOutcome::Stopped);
    EXPECT_EQ(stopped.lines, (std::vector<int>{5}));
    EXPECT_EQ(stopped.host.debug.size(), plainHost.debug.size() - 1);
}

TEST(Debugger, APausedRunShowsItsScreensAsTheyStand) {
    // The bar is drawn a moment before the pause, long before the display's 20 ms timer.
    DebugRun run("CLS 0\nBRUSH 2\nINK 250\nBAR 10, 10 TO 40, 40\nLET A = 1\nSTOP\n");
    run.debugger.SetBreakpoints({4});
    auto pixel = [&run](int x, int y) {
        const Frame& frame = run.host.LastFrame();
        return frame.Valid() ? frame.indices[static_cast<size_t>(y * frame.width + x)] : -1;
    };
    int shown = -1, around = -1;
    run.atPause = [&] {
        shown = pixel(25, 25);
        around = pixel(100, 100);
        run.debugger.Continue();
        return true;
    };
    run.Run();
    EXPECT_EQ(run.lines, (std::vector<int>{4}));
    // What the run's last frame shows there, and not the background.
    EXPECT_EQ(shown, pixel(25, 25));
    EXPECT_NE(shown, around);
}

TEST(Debugger, CalledInWhileTheRunGoesOnItPausesItAndTheClockStandsStill) {
    // A host whose clock runs on while the run is paused, unless it is held.
    struct WallClockHost : test::RecordingHost {
        uint32_t TickCount() override { return hold.Read(tick); }
        void HoldClock(bool held) override {
            hold.Hold(held, tick);
            holds.push_back(held);
        }
        ClockHold hold;
        std::vector<bool> holds;
    };
    const std::string source =
        "LET A = 0\nL:\nLET A = A + 1\nIF A < 40000 THEN GOTO L\nOUTPUTDEBUG A\nSTOP\n";
    const PreparedProgram program = Prepare(source);
    WallClockHost host;
    host.debugShown = true;
    host.advancePerPass = true;
    Interpreter in(host);
    Debugger debugger(program);
    // No debugger at the start: it is asked for again between steps, and comes with a pause.
    int asked = 0;
    std::vector<int> lines;
    RunProgram(
        in, program, [] {}, 100,
        [&]() -> RunObserver* {
            if (++asked < 3) return nullptr;
            debugger.RequestPause();
            return &debugger;
        },
        [&] {
            lines.push_back(debugger.PausedLine());
            host.tick += 60000;  // a minute at the pause
            debugger.Continue();
            return true;
        });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_GE(lines[0], 1);  // inside the loop
    EXPECT_LE(lines[0], 3);
    EXPECT_EQ(asked, 3);  // not asked again once it has one
    EXPECT_EQ(host.debug, (std::vector<std::string>{"40000"}));
    EXPECT_EQ(host.holds, (std::vector<bool>{true, false}));
    // The run's time (a millisecond a pass) leaves out the pause's minute.
    const uint32_t elapsed = in.run.stopTick - in.run.startTick;
    EXPECT_LT(elapsed, static_cast<uint32_t>(in.run.statementCount) + 1000u);
}

}  // namespace
}  // namespace tw
