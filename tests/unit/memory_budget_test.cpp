// The memory a run's texts may take: the budget of texts held, the storage the expression stack
// gives back between statements, and memory that runs out while a statement runs.

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "test_support.h"

namespace tw {
namespace {

using test::ProgramRun;
using test::RecordingHost;

TEST(TextBudget, TextsHeldCountsVariablesAndLevels) {
    ProgramRun p("LET A = REPEAT(\"x\", 100000)\nLET B = LEFT(A, 5)\nSTOP");
    p.Run();
    // EndRun empties the levels but the variables stay for the console: A's text is held once.
    EXPECT_EQ(p.in.TextsHeld(), 100005u);
}

// A run stepped to its end, looked at before Finish empties the expression stack.
struct SteppedRun {
    explicit SteppedRun(const std::string& source) : program(Prepare(source)), in(host) {
        in.limits.maxStatements = 100000;
        RunSession session(in);
        session.Start(program);
        while (session.Step(1 << 12) != RunSession::StepEnd::Ended) {
        }
        levels = in.expressions.levels;
        result = session.Finish();
    }
    RecordingHost host;
    PreparedProgram program;
    Interpreter in;
    std::array<ExpressionLevel, ExpressionStack::kLevels> levels;
    RunResult result;
};

TEST(TextBudget, LevelsGiveBackSpareStorageAndKeepTheirValues) {
    // Levels 1 and 2 held a million letters, then "y": the storage goes back after the
    // statement, the value "y" stays.
    SteppedRun shrunk(
        "LET A = REPEAT(\"x\", 1000000)\nLET B = ((A))\nLET B = ((\"y\"))\nOUTPUTDEBUG 1\nSTOP");
    EXPECT_EQ(shrunk.host.debug, (std::vector<std::string>{"1"}));
    for (int k : {1, 2}) {
        EXPECT_EQ(shrunk.levels[k].value.s, "y");
        EXPECT_LT(shrunk.levels[k].value.s.capacity(), kBigText);
    }
    // A later expression reads a level's stale value: a big one stays whole.
    SteppedRun kept(
        "LET A = REPEAT(\"x\", 1000000)\nLET B = ((A + \"z\"))\nOUTPUTDEBUG 1\nLET C = (())\n"
        "OUTPUTDEBUG LEN(C)\nOUTPUTDEBUG RIGHT(C, 2)\nSTOP");
    EXPECT_EQ(kept.host.debug, (std::vector<std::string>{"1", "1000001", "xz"}));
}

class ThrowingObserver : public RunObserver {
public:
    Action BeforeStatement(const Interpreter&, int32_t row) override {
        if (row == 1) throw std::bad_alloc();
        return Action::Run;
    }
};

TEST(TextBudget, MemoryThatRunsOutEndsTheRunWithARunTimeError) {
    RecordingHost host;
    const PreparedProgram program = Prepare("OUTPUTDEBUG 1\nOUTPUTDEBUG 2\nSTOP");
    Interpreter in(host);
    ThrowingObserver observer;
    RunSession session(in);
    session.SetObserver(&observer);
    session.Start(program);
    while (session.Step(100) != RunSession::StepEnd::Ended) {
    }
    const RunResult result = session.Finish();
    EXPECT_EQ(result.end, RunResult::End::RunTimeError);
    EXPECT_EQ(result.row, 1);
    EXPECT_EQ(result.message,
              "The following run time error occured \rRTE (97) - Out of memory: the program's "
              "texts would need more than 256 MiB.\rAt Line = 1, Token = 0");
    EXPECT_EQ(host.debug, (std::vector<std::string>{"1"}));
}

}  // namespace
}  // namespace tw
