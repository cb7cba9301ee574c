// The run as a host drives it: preparing a program, stepping a session with an observer, and the
// outcome a session gives back instead of showing it.

#include <gtest/gtest.h>

#include "interpreter/prepare.h"
#include "interpreter/run_session.h"
#include "test_support.h"

namespace tw {
namespace {

using test::RecordingHost;

TEST(Prepare, PassesAProgramAndKeepsWhereEachRowCameFrom) {
    const PreparedProgram p = Prepare("REM start\nLET A = 1\n\nIF A = 1 THEN STOP\nQUIT\n");
    ASSERT_TRUE(p.Ok());
    EXPECT_EQ(p.buffer.FilledRows(), 5);  // LET, IF, STOP, ENDIF, QUIT
    EXPECT_EQ(p.SourceLine(0), 1);
    EXPECT_EQ(p.SourceLine(2), 3);  // the STOP split from the one-line IF
    EXPECT_EQ(p.SourceLine(4), 4);
}

TEST(Prepare, GivesTheFirstFailureWithItsStageRowAndLine) {
    const PreparedProgram rule = Prepare("LET A = 1\n\nBELL 1\nQUIT\n");
    ASSERT_EQ(rule.failures.size(), 1u);
    EXPECT_EQ(rule.failures[0].stage, PrepareFailure::Stage::Validator);
    EXPECT_EQ(rule.failures[0].row, 1);
    EXPECT_EQ(rule.failures[0].line, 2);
    EXPECT_EQ(rule.failures[0].message.rfind("Error #003 : Testing Failed", 0), 0u);

    std::string tooLong = "QUIT\nLET A =";
    for (int i = 0; i < 200; ++i) tooLong += " 1";
    const PreparedProgram tokens = Prepare(tooLong);
    ASSERT_EQ(tokens.failures.size(), 1u);
    EXPECT_EQ(tokens.failures[0].stage, PrepareFailure::Stage::Tokenizer);
    EXPECT_EQ(tokens.failures[0].line, 1);
    EXPECT_EQ(tokens.failures[0].code, 2);
}

TEST(Prepare, AProgramTooLongForTheRowsNamesTheLineWhereTheyRanOut) {
    // One-line IFs split into three rows each: the rows run out before the lines do.
    std::string source;
    for (int i = 0; i < 700; ++i) source += "IF 1 = 1 THEN LET A = 1\n";
    const PreparedProgram p = Prepare(source);
    ASSERT_EQ(p.failures.size(), 1u);
    EXPECT_EQ(p.failures[0].stage, PrepareFailure::Stage::Tokenizer);
    EXPECT_EQ(p.failures[0].message, kRowBufferMessage);
    EXPECT_EQ(p.failures[0].line, 667);  // rows 2001 and on belong to line 667
}

TEST(Prepare, EveryFailureModeListsEveryFailingRow) {
    const PreparedProgram p = Prepare("AUTO\nLET A = 1\nBELL 1\n", PrepareMode::EveryFailure);
    ASSERT_EQ(p.failures.size(), 2u);
    EXPECT_EQ(p.failures[0].row, 0);
    EXPECT_EQ(p.failures[1].row, 2);
    EXPECT_EQ(p.failures[1].line, 2);
}

// Pauses before every statement, and lets it run when the host says so.
class SingleStepper : public RunObserver {
public:
    Action BeforeStatement(const Interpreter& in, int32_t row) override {
        asked.push_back(row);
        if (released) {
            released = false;
            const int slot = in.variables.Find("A");
            seenA.push_back(slot < 0 ? "-" : TextOf(in.variables[slot].value));
            return Action::Run;
        }
        return Action::Pause;
    }
    std::vector<int32_t> asked;
    std::vector<std::string> seenA;
    bool released = false;
};

TEST(RunSession, AHostSingleStepsAProgramWithAnObserver) {
    const PreparedProgram program =
        Prepare("LET A = 1\nGOSUB L\nOUTPUTDEBUG A\nSTOP\nL:\nLET A = A + 1\nRETURN\n");
    ASSERT_TRUE(program.Ok());
    RecordingHost host;
    Interpreter in(host);
    RunSession session(in);
    SingleStepper stepper;
    session.SetObserver(&stepper);
    session.Start(program);
    std::vector<int32_t> ran;
    for (int guard = 0; guard < 100; ++guard) {
        const RunSession::StepEnd end = session.Step(1);
        if (end == RunSession::StepEnd::Ended) break;
        if (end == RunSession::StepEnd::Paused) {
            // A pause comes before the pass: nothing of it has happened yet.
            EXPECT_EQ(in.run.statementCount, static_cast<int32_t>(ran.size()));
            ran.push_back(in.run.currentLine);
            stepper.released = true;
        }
    }
    // GOSUB goes on after its label's row, which itself does not run.
    EXPECT_EQ(ran, (std::vector<int32_t>{0, 1, 5, 6, 2, 3}));
    EXPECT_EQ(stepper.seenA, (std::vector<std::string>{"-", "1", "1", "2", "2", "2"}));
    EXPECT_EQ(session.CurrentPhase(), RunSession::Phase::Ended);
    const RunResult result = session.Finish();
    EXPECT_EQ(result.end, RunResult::End::Stopped);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(host.debug, (std::vector<std::string>{"2"}));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(in.run.statementCount, 6);
    EXPECT_EQ(stepper.asked.size(), 12u);  // each row asked twice: paused, then let run
}

TEST(RunSession, StepsRunAtMostTheirBudget) {
    const PreparedProgram program = Prepare("LET A = 1\nLET A = 2\nLET A = 3\nSTOP\n");
    RecordingHost host;
    Interpreter in(host);
    RunSession session(in);
    session.Start(program);
    EXPECT_EQ(session.Step(2), RunSession::StepEnd::Budget);
    EXPECT_EQ(in.run.statementCount, 2);
    EXPECT_EQ(in.run.currentLine, 2);
    EXPECT_EQ(session.Step(100), RunSession::StepEnd::Ended);
    EXPECT_EQ(session.Finish().end, RunResult::End::Stopped);
}

// Finish tells how the run ended; the session itself shows nothing.
TEST(RunSession, FinishReportsTheEndInsteadOfShowingIt) {
    RecordingHost host;
    {
        const PreparedProgram program = Prepare("LET A = 1\nLET B = A AND 3\nSTOP\n");
        Interpreter in(host);
        RunSession session(in);
        session.Start(program);
        while (session.Step(10) != RunSession::StepEnd::Ended) {
        }
        const RunResult r = session.Finish();
        EXPECT_EQ(r.end, RunResult::End::RunTimeError);
        EXPECT_EQ(r.Outcome(), RunOutcome::Failed);
        EXPECT_EQ(r.row, 1);
        EXPECT_EQ(r.error.code, 65);
        EXPECT_EQ(r.error.token, 2);
        EXPECT_EQ(r.message, RunTimeErrorText(r.error, 1));
        EXPECT_EQ(in.run.currentLine, -1);  // torn down
    }
    {
        std::string source;
        for (int i = 0; i < 150; ++i) source += "LET A = 1\n";
        const PreparedProgram program = Prepare(source + "STOP\n");
        Interpreter in(host);
        in.limits.watchdogAllowance = 50;
        RunSession session(in);
        session.Start(program);
        while (session.Step(1000) != RunSession::StepEnd::Ended) {
        }
        const RunResult r = session.Finish();
        EXPECT_EQ(r.end, RunResult::End::Watchdog);
        EXPECT_EQ(r.message.rfind("Timer Expired..", 0), 0u);
    }
    {
        RecordingHost failing;
        failing.throwOnShow = true;
        const PreparedProgram program = Prepare("STOP\n");
        Interpreter in(failing);
        RunSession session(in);
        session.Start(program);
        EXPECT_EQ(session.Step(10), RunSession::StepEnd::Ended);
        const RunResult r = session.Finish();
        EXPECT_EQ(r.end, RunResult::End::Abnormal);
        EXPECT_EQ(r.message, kAbnormalTerminationText);
        EXPECT_TRUE(failing.messages.empty());
    }
    EXPECT_TRUE(host.messages.empty());
}

// RunProgram shows what Finish reports; a message box that fails ends the run as anything
// unexpected does.
TEST(RunSession, AFailingMessageBoxEndsTheRunAbnormally) {
    RecordingHost host;
    host.failingMessages = 1;
    const PreparedProgram program = Prepare("LET A = 1 AND 2\nSTOP\n");
    Interpreter in(host);
    EXPECT_EQ(RunProgram(in, program), RunOutcome::Abnormal);
    EXPECT_EQ(host.messages, (std::vector<std::string>{kAbnormalTerminationText}));
    EXPECT_FALSE(in.run.running);
    EXPECT_FALSE(DisplayStarted(in.screens));

    RecordingHost warned;
    warned.priorityRaised = false;
    warned.failingMessages = 1;  // the priority warning's box
    Interpreter other(warned);
    EXPECT_EQ(RunProgram(other, program), RunOutcome::Abnormal);
    EXPECT_EQ(warned.messages, (std::vector<std::string>{kAbnormalTerminationText}));
    EXPECT_EQ(other.run.statementCount, 0);
}

// A session runs one program, and only one that passed its test.
TEST(RunSession, StartsOnlyOnceAndOnlyATestedProgram) {
    const PreparedProgram first = Prepare("LET A = 1\nSTOP\n");
    const PreparedProgram second = Prepare("LET B = 2\nSTOP\n");
    RecordingHost host;
    Interpreter in(host);
    RunSession session(in);
    session.Start(first);
    session.Start(second);
    EXPECT_EQ(in.program, &first.buffer);
    while (session.Step(10) != RunSession::StepEnd::Ended) {
    }
    session.Finish();
    EXPECT_NE(in.variables.Find("A"), -1);
    EXPECT_EQ(in.variables.Find("B"), -1);
    RunSession never(in);
    EXPECT_EQ(never.Step(10), RunSession::StepEnd::Ended);
    EXPECT_EQ(never.Finish().end, RunResult::End::Stopped);
}

TEST(RunSession, AnAbandonedRunEndsAsStoppedAndIsTornDown) {
    const PreparedProgram program = Prepare("L:\nGOTO L\n");
    RecordingHost host;
    Interpreter in(host);
    {
        RunSession session(in);
        session.Start(program);
        EXPECT_EQ(session.Step(50), RunSession::StepEnd::Budget);
        EXPECT_TRUE(in.run.running);
        EXPECT_TRUE(DisplayStarted(in.screens));
        const RunResult r = session.Finish();
        EXPECT_EQ(r.end, RunResult::End::Stopped);
        EXPECT_FALSE(in.run.running);
        EXPECT_FALSE(DisplayStarted(in.screens));
    }
    {
        RunSession session(in);
        session.Start(program);
        session.Step(5);
    }  // the session's end finishes the run
    EXPECT_FALSE(in.run.running);
    EXPECT_EQ(in.run.currentLine, -1);
}

TEST(RunSession, ClosingTheWindowEndsTheRunAsQuit) {
    RecordingHost host;
    host.closeAtPass = 3;
    const PreparedProgram program = Prepare("L:\nOUTPUTDEBUG 1\nGOTO L\n");
    Interpreter in(host);
    EXPECT_EQ(RunProgram(in, program), RunOutcome::Stopped);
    EXPECT_TRUE(in.quitRequested);
    EXPECT_EQ(in.run.statementCount, 3);  // the pass that saw the close still completes
    EXPECT_EQ(host.debug, (std::vector<std::string>{"1"}));
    EXPECT_TRUE(host.messages.empty());
}

// The generator belongs to the host: it carries on from one run to the next, and two hosts do
// not share it.
TEST(RunSession, TheRandomSequenceCarriesOverFromRunToRun) {
    const PreparedProgram program = Prepare("OUTPUTDEBUG RANDOM\nSTOP\n");
    RecordingHost host;
    Random random;
    {
        Interpreter in(host, random);
        RunProgram(in, program);
    }
    {
        Interpreter in(host, random);
        RunProgram(in, program);
    }
    ASSERT_EQ(host.debug.size(), 2u);
    EXPECT_NE(host.debug[0], host.debug[1]);

    RecordingHost other;
    Random fresh;
    Interpreter in(other, fresh);
    RunProgram(in, program);
    EXPECT_EQ(other.debug, (std::vector<std::string>{host.debug[0]}));
}

}  // namespace
}  // namespace tw
