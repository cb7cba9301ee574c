// What commands and the evaluator remember about the program's rows must change no result: each
// program runs twice, remembering and not, and everything it shows and leaves must be equal.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_support.h"

namespace tw {
namespace {

struct Observed {
    std::vector<std::string> debug, messages;
    int32_t statements = 0;
    std::vector<std::string> variables;
    RunOutcome outcome = RunOutcome::Stopped;
};

Observed RunOnce(const std::string& source, bool remember) {
    test::ProgramRun p(source);
    p.in.rememberProgram = remember;
    p.in.limits.maxStatements = 300000;
    Observed o;
    if (!p.program.Ok()) return o;
    o.outcome = p.Run();
    o.debug = p.host.debug;
    o.messages = p.host.messages;
    o.statements = p.in.run.statementCount;
    for (int i = 0; i < VariableTable::kSlots; ++i) {
        const Variable& v = p.in.variables[i];
        o.variables.push_back(v.name + ":" + std::to_string(v.kind) + ":" + TextOf(v.value) + ":" +
                              (v.isLocal ? "L" : "G") + v.owner);
    }
    return o;
}

void ExpectSameRuns(const std::string& name, const std::string& source) {
    Observed a = RunOnce(source, true);
    Observed b = RunOnce(source, false);
    EXPECT_EQ(a.outcome, b.outcome) << name;
    EXPECT_EQ(a.debug, b.debug) << name;
    EXPECT_EQ(a.messages, b.messages) << name;
    EXPECT_EQ(a.statements, b.statements) << name;
    EXPECT_EQ(a.variables, b.variables) << name;
}

TEST(Remembering, ChangesNoResultOfTheProgramTests) {
    int programs = 0;
    for (const char* folder : {"tests/programs", "examples", "bench/programs"}) {
        std::filesystem::path dir = std::filesystem::path(TARNWICK_SOURCE_DIR) / folder;
        if (!std::filesystem::exists(dir)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() != ".bas") continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            ExpectSameRuns(entry.path().filename().string(), text.str());
            ++programs;
        }
    }
    EXPECT_GT(programs, 10);
}

TEST(Remembering, RowsWhoseValuesChangeShape) {
    // The same rows meet integers, reals, texts that look like operators, empty texts, and
    // variables that come and go.
    ExpectSameRuns("operators", R"(LET OPS = "+"
FOR K = 1 TO 5
  IF K = 2 THEN LET OPS = "*"
  IF K = 3 THEN LET OPS = "-"
  IF K = 4 THEN LET OPS = "/"
  IF K = 5 THEN LET OPS = "AND"
  LET V = (1 = 1) OPS (2 = 3) * 4 - 1
  OUTPUTDEBUG V
NEXT K
STOP
)");
    ExpectSameRuns("operands", R"(LET X = 3
FOR K = 1 TO 6
  IF K = 2 THEN LET X = 2.5
  IF K = 3 THEN LET X = "7"
  IF K = 4 THEN LET X = 1.0 / 3
  IF K = 5 THEN LET X = 1E300
  IF K = 6 THEN LET X = ""
  LET V = 2 + X * 4 - (X + 1)
  OUTPUTDEBUG V
  LET N = N + K * 0.5
  OUTPUTDEBUG N
  CALL P(K)
NEXT K
STOP
PROCEDURE P(A)
  LET T = A * 2
  OUTPUTDEBUG T + A
ENDPROC
)");
    ExpectSameRuns("text", R"(LET X = 3
FOR K = 1 TO 2
  IF K = 2 THEN LET X = "A"
  LET V = 2 + X * 4
  OUTPUTDEBUG V
NEXT K
STOP
)");
    ExpectSameRuns("labels", R"(LET I = 0
TOP:
LET I = I + 1
IF I < 5 THEN GOTO TOP
GOSUB SUB1
OUTPUTDEBUG I
STOP
SUB1:
LET I = I * 10
RETURN
)");
}

}  // namespace
}  // namespace tw
