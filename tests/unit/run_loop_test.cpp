#include <gtest/gtest.h>

#include "project/check_and_run.h"
#include "test_support.h"

namespace tw {
namespace {

using test::ProgramRun;

TEST(RunLoop, RunningPastTheLastRowIsError14) {
    ProgramRun p("LET A = 1\n\nREM nothing\nLET B = 2");
    EXPECT_EQ(p.Run(), RunOutcome::Failed);
    ASSERT_EQ(p.host.messages.size(), 1u);
    EXPECT_EQ(p.host.messages[0],
              "The following run time error occured \rError <14> : Run Time Error - Internal Error "
              "(RTIE), could not find a valid token in execution path.\rAt Line = 2, Token = 0");
    EXPECT_EQ(p.in.run.statementCount, 3);
    EXPECT_EQ(p.in.run.currentLine, -1);
    EXPECT_FALSE(p.in.run.running);
}

TEST(RunLoop, EmptyProgramFailsAtRowZero) {
    ProgramRun p("");
    EXPECT_EQ(p.Run(), RunOutcome::Failed);
    EXPECT_NE(p.host.messages[0].find("At Line = 0, Token = 0"), std::string::npos);
}

TEST(RunLoop, WordsThatAreNoCommandRunWithoutEffect) {
    ProgramRun p("A = 1\nBELL\ntw\nlabel:\nENDIF\nEND\nFUNCTION F\nSTOP");
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_TRUE(p.host.messages.empty());
    EXPECT_EQ(p.in.variables.Find("A"), -1);
    EXPECT_EQ(p.in.run.statementCount, 8);
}

TEST(RunLoop, CommandWordsInAnyCase) {
    ProgramRun p("let a = 1\nLet B = A + 1\noutputdebug b\nOutputDebug A\nstop");
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_EQ(p.host.debug, (std::vector<std::string>{"2", "1"}));
}

TEST(RunLoop, StopAndQuit) {
    ProgramRun stop("OUTPUTDEBUG 1\nSTOP\nOUTPUTDEBUG 2");
    EXPECT_EQ(stop.Run(), RunOutcome::Stopped);
    EXPECT_EQ(stop.host.debug.size(), 1u);
    EXPECT_FALSE(stop.in.quitRequested);
    EXPECT_EQ(stop.in.run.statementCount, 2);

    ProgramRun quit("QUIT\nOUTPUTDEBUG 2");
    EXPECT_EQ(quit.Run(), RunOutcome::Stopped);
    EXPECT_TRUE(quit.in.quitRequested);
    EXPECT_TRUE(quit.host.debug.empty());
}

TEST(RunLoop, TimersCommandSetsTheConsoleFlag) {
    // QUIT: the console, which sets the flag again when it opens, is skipped.
    ProgramRun p("TIMERS OFF\nQUIT");
    p.Run();
    EXPECT_FALSE(p.in.timersInImmediateMode);
    ProgramRun q("TIMERS on\nLINES 1 2 3\nSTOP");
    q.Run();
    EXPECT_TRUE(q.in.timersInImmediateMode);
}

TEST(RunLoop, EscapeStopsAfterTheCurrentPass) {
    ProgramRun p("OUTPUTDEBUG 1\nOUTPUTDEBUG 2\nSTOP");
    p.host.keys[kVkEscape] = true;
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_EQ(p.host.debug, (std::vector<std::string>{"1"}));
    EXPECT_EQ(p.in.run.statementCount, 1);
}

TEST(RunLoop, StatementLimitStopsLikeEscape) {
    ProgramRun p("OUTPUTDEBUG 1\nOUTPUTDEBUG 2\nOUTPUTDEBUG 3\nSTOP");
    p.in.limits.maxStatements = 2;
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_EQ(p.host.debug.size(), 2u);
    EXPECT_EQ(p.in.run.stopTick - p.in.run.startTick, 2u);  // one virtual millisecond per pass
}

TEST(RunLoop, TimeoutStopsLikeEscape) {
    ProgramRun p("OUTPUTDEBUG 1\nOUTPUTDEBUG 2\nOUTPUTDEBUG 3\nSTOP");
    p.in.limits.timeoutMs = 2;
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_EQ(p.host.debug.size(), 2u);
}

TEST(RunLoop, HandlerFailureKeepsTheFailingRow) {
    ProgramRun p("LET A = 1\nLET B = A AND 3\nSTOP");
    EXPECT_EQ(p.Run(), RunOutcome::Failed);
    EXPECT_EQ(p.host.messages[0],
              "The following run time error occured \rRTE (65) - The Logical Operator requires it "
              "to have boolean (true/false) values on either side of it. \rAt Line = 1, Token = 2");
}

TEST(RunLoop, WatchdogEndsAnOverlongRun) {
    // One virtual millisecond per pass: the watchdog is first due 101 ms after the start.
    std::string source;
    for (int i = 0; i < 150; ++i) source += "LET A = 1\n";
    ProgramRun p(source + "STOP");
    p.in.limits.watchdogAllowance = 50;
    EXPECT_EQ(p.Run(), RunOutcome::Failed);
    ASSERT_EQ(p.host.messages.size(), 1u);
    EXPECT_EQ(p.host.messages[0], TimerExpiredMessage("WATCHDOG", 101, 150));
    EXPECT_EQ(p.in.run.statementCount, 101);
}

TEST(RunLoop, UnexpectedFailureShowsTheWarning) {
    ProgramRun p("STOP");
    p.host.throwOnShow = true;
    EXPECT_EQ(p.Run(), RunOutcome::Abnormal);
    ASSERT_EQ(p.host.messages.size(), 1u);
    EXPECT_EQ(p.host.messages[0], kAbnormalTerminationText);
    EXPECT_EQ(p.in.run.currentLine, -1);
}

TEST(RunLoop, PriorityFailureIsShownAndTheRunGoesOn) {
    ProgramRun p("OUTPUTDEBUG 1\nSTOP");
    p.host.priorityRaised = false;
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_EQ(p.host.messages, (std::vector<std::string>{"SetPriorityClass Failed"}));
    EXPECT_EQ(p.host.debug.size(), 1u);
}

TEST(OutputDebug, WritesOnlyWhileTheWindowIsShownAndReportsFailure) {
    ProgramRun hidden("OUTPUTDEBUG 1\nSTOP");
    hidden.host.debugShown = false;
    EXPECT_EQ(hidden.Run(), RunOutcome::Stopped);
    EXPECT_TRUE(hidden.host.debug.empty());

    ProgramRun broken("OUTPUTDEBUG 1\nSTOP");
    broken.host.throwOnDebug = true;
    EXPECT_EQ(broken.Run(), RunOutcome::Failed);
    EXPECT_EQ(
        broken.host.messages[0],
        "The following run time error occured \rOutputDebug() failed.\rAt Line = 0, Token = 1");

    ProgramRun failing("OUTPUTDEBUG 1 2\nSTOP");
    EXPECT_EQ(failing.Run(), RunOutcome::Failed);
    EXPECT_NE(failing.host.messages[0].find("Error <19>"), std::string::npos);
}

TEST(RunLoop, StartRunResetsTheTables) {
    ProgramRun p("LET A = 1\nSTOP");
    p.Run();
    EXPECT_NE(p.in.variables.Find("A"), -1);  // kept after the run for the console
    ProgramRun q("STOP");
    q.in.variables.SetName(5, "STALE");
    q.in.run.angleUnit = AngleUnit::Degrees;
    q.Run();
    EXPECT_EQ(q.in.variables.Find("STALE"), -1);
    EXPECT_EQ(q.in.run.angleUnit, AngleUnit::Radians);
    EXPECT_EQ(q.in.timers.ActiveCount(), 5);
    EXPECT_EQ(q.in.timers.Slot(0).name, "WATCHDOG");
    EXPECT_EQ(q.in.timers.Slot(3).name, "Sprite_Path_Update");
    EXPECT_EQ(q.in.timers.Slot(3).allowed, 1000);
    EXPECT_EQ(q.in.timers.Slot(4).name, "KEYBOARD_SERVICE");
    EXPECT_EQ(q.in.timers.Slot(4).interval, 25);
}

TEST(RunLoop, StopTracesTheKeyBuffer) {
    ProgramRun p("STOP");
    p.Run();
    ASSERT_EQ(p.host.traces.size(), 128u);
    EXPECT_EQ(p.host.traces[0], std::string("0> ") + '\0');
    EXPECT_EQ(p.host.traces[127].substr(0, 5), "127> ");
}

TEST(Statistics, Lines) {
    RunState run;
    run.statementCount = 4000;
    run.startTick = 1000;
    run.stopTick = 3500;
    EXPECT_EQ(StatisticsLines(run),
              (std::vector<std::string>{"Program Execution Concluded : 4000 instructions executed.",
                                        "Program run time : 2 Seconds",
                                        "Average Instruction execution time : 0.63 Milliseconds"}));
    RunState none;
    EXPECT_EQ(StatisticsLines(none)[2], "Average Instruction execution time : 0.00 Milliseconds");
}

// The loop stack's bit sets against a plain scan of the entries.
TEST(LoopStack, FirstActiveAndFirstFreeAgreeWithAScan) {
    LoopStack loops;
    loops.Reset();
    uint32_t seed = 99;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    const LoopKind kinds[] = {LoopKind::RepeatOrWhile, LoopKind::Do, LoopKind::For,
                              LoopKind::Free};
    for (int step = 0; step < 20000; ++step) {
        const int i = static_cast<int>(next(LoopStack::kEntries));
        if (next(2)) {
            loops.SetActive(i, next(3) == 0);
        } else {
            loops.SetKind(i, kinds[next(4)]);
        }
        int active = -1, free = -1;
        for (int k = LoopStack::kEntries - 1; k >= 0; --k) {
            if (loops.entries[k].active) active = k;
            if (loops.entries[k].kind == LoopKind::Free) free = k;
        }
        ASSERT_EQ(loops.FirstActive(), active) << "step " << step;
        ASSERT_EQ(loops.FirstFree(), free) << "step " << step;
    }
    loops.Reset();
    EXPECT_EQ(loops.FirstActive(), -1);
    EXPECT_EQ(loops.FirstFree(), 0);
}

}  // namespace
}  // namespace tw
