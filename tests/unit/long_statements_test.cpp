// Statements that take long give way to a stop: the run's limits, Escape and the close button end
// a run within moments, however long its statement would have run; a run that is not stopped
// runs each statement to its end.

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_host.h"
#include "test_support.h"

namespace tw {
namespace {

using test::FrameHost;
using test::RecordingHost;

// A run stepped by hand, so that its screens can be looked at before Finish tears them down.
struct SteppedRun {
    SteppedRun(const std::string& source, int64_t maxStatements)
        : program(Prepare(source)), in(host) {
        in.limits.maxStatements = maxStatements;
        RunSession session(in);
        session.Start(program);
        while (session.Step(1 << 12) != RunSession::StepEnd::Ended) {
        }
        const ScreenRecord& r = in.screens.records[0];
        row = r.text.textRow;
        penX = r.surface ? r.surface->Canvas().penPos.x : -1;
        result = session.Finish();
    }
    RecordingHost host;
    PreparedProgram program;
    Interpreter in;
    RunResult result;
    int64_t row = 0;
    int64_t penX = 0;
};

constexpr const char* kGridPrint =
    "SET TEXT GRID ON\nLET A = REPEAT(\"W\", 1000000)\nPRINT A\nOUTPUTDEBUG 1\nSTOP";
constexpr const char* kFreeText =
    "LET A = REPEAT(\"W\", 1000000)\nTEXT 0, 20, A\nOUTPUTDEBUG 1\nSTOP";

TEST(GivingWay, TextsStopBeingDrawnWhenTheStatementLimitIsReached) {
    // The limit requests the stop as the third statement (the PRINT) starts: it gives way after
    // its first 64 KiB of characters, where it would have gone on for a million.
    SteppedRun stopped(kGridPrint, 3);
    SteppedRun whole(kGridPrint, 100000);
    EXPECT_EQ(stopped.result.end, RunResult::End::Stopped);
    EXPECT_TRUE(stopped.host.debug.empty());
    EXPECT_EQ(whole.host.debug, (std::vector<std::string>{"1"}));
    ASSERT_GT(stopped.row, 0);
    EXPECT_LT(stopped.row * 10, whole.row);

    SteppedRun stoppedText(kFreeText, 2);
    SteppedRun wholeText(kFreeText, 100000);
    EXPECT_EQ(stoppedText.result.end, RunResult::End::Stopped);
    ASSERT_GT(stoppedText.penX, 0);
    EXPECT_LT(stoppedText.penX * 10, wholeText.penX);
}

TEST(GivingWay, AFadeStopsAfterItsStepAtTheStatementLimit) {
    const PreparedProgram program = Prepare("OUTPUTDEBUG 1\nFADE 5000\nOUTPUTDEBUG 2\nSTOP");
    FrameHost stoppedHost;
    Interpreter stopped(stoppedHost);
    stopped.limits.maxStatements = 2;
    EXPECT_EQ(RunProgram(stopped, program), RunOutcome::Stopped);
    EXPECT_EQ(stoppedHost.debug, (std::vector<std::string>{"1"}));
    EXPECT_LT(stoppedHost.palettes.size(), 20u);

    FrameHost wholeHost;
    Interpreter whole(wholeHost);
    whole.limits.maxStatements = 100000;
    EXPECT_EQ(RunProgram(whole, program), RunOutcome::Stopped);
    EXPECT_EQ(wholeHost.debug, (std::vector<std::string>{"1", "2"}));
    EXPECT_GE(wholeHost.palettes.size(), 5001u);
}

TEST(GivingWay, TheConsoleRunsItsLinesWhole) {
    // The stop request stands while the console of a stopped run runs its typed lines: they
    // give way only to Escape and the close button.
    const PreparedProgram program = Prepare("STOP");
    FrameHost host;
    host.consoleLines = {"FADE 50"};
    Interpreter in(host);
    in.limits.maxStatements = 100000;
    EXPECT_EQ(RunProgram(in, program), RunOutcome::Stopped);
    EXPECT_GE(host.palettes.size(), 51u);
}

// Runs a program on a headless host with a real clock, with a time limit of 100 ms or with
// Escape going down at 100 ms, and says how it ended. (A statement that did not give way would
// run for hours: the test would not end.)
enum class StopBy : uint8_t { TimeLimit, Escape };
RunOutcome RunUntilStopped(const std::string& source, StopBy by) {
    HeadlessHost::Options options;
    options.debugShown = false;
    if (by == StopBy::Escape) options.keys = {{100, scan::kEscape, true}};
    HeadlessHost host(options);
    Interpreter in(host);
    if (by == StopBy::TimeLimit) in.limits.timeoutMs = 100;
    const PreparedProgram program = Prepare(source);
    return RunProgram(in, program);
}

TEST(GivingWay, LongStatementsEndAtTheTimeLimitOrEscape) {
    for (const StopBy by : {StopBy::TimeLimit, StopBy::Escape}) {
        for (const char* source :
             {"FADE 2147483647\nSTOP", "WAIT 2147483647\nSTOP",
              "LET A = REPEAT(\"W\", 67108864)\nDO\nPRINT A\nTEXT 0, 0, A\nLOOP",
              "DO\nLET A = FORMATDATETIME(REPEAT(\"c\", 3000000), 1000.5)\nLOOP"}) {
            EXPECT_EQ(RunUntilStopped(source, by), RunOutcome::Stopped) << source;
        }
    }
}

}  // namespace
}  // namespace tw
