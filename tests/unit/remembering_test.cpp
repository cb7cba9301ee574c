// What commands and the evaluator remember about the program's rows must change no result: each
// program runs twice, remembering and not, and everything it shows and leaves must be equal.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "differential.h"

namespace tw {
namespace {

// Long runs (the benchmarks): the ends of the runs are compared, every table among them.
void ExpectSameRuns(const std::string& name, const std::string& source) {
    diff::RunOptions options;
    options.maxStatements = 300000;
    options.everyStatement = false;
    EXPECT_EQ(diff::CompareRuns(source, options).difference, "") << name;
}

// Short runs: every table before every statement.
void ExpectSameSteps(const std::string& name, const std::string& source) {
    EXPECT_EQ(diff::CompareRuns(source).difference, "") << name;
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
    ExpectSameSteps("operators", R"(LET OPS = "+"
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
    ExpectSameSteps("operands", R"(LET X = 3
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
    ExpectSameSteps("text", R"(LET X = 3
FOR K = 1 TO 2
  IF K = 2 THEN LET X = "A"
  LET V = 2 + X * 4
  OUTPUTDEBUG V
NEXT K
STOP
)");
    // A string function's argument that is one variable: its text is taken as it stands
    // only when the evaluator would give it unchanged (not a quoted text, a number or a word
    // that acts as an operator).
    ExpectSameSteps("arguments", R"(LET Q = "AB"
FOR K = 1 TO 7
  IF K = 2 THEN LET Q = CHR(34) + "QUOTED" + CHR(34)
  IF K = 3 THEN LET Q = "0123"
  IF K = 4 THEN LET Q = "AND"
  IF K = 5 THEN LET Q = "1E5"
  IF K = 6 THEN LET Q = "."
  IF K = 7 THEN LET Q = "TWO WORDS"
  LET L = LEN(Q) + 1
  OUTPUTDEBUG L
  OUTPUTDEBUG LEFT(Q, 2) + MID(Q, 2, 3) + RIGHT(Q, 1)
NEXT K
STOP
)");
    // Maths functions of one variable, and products of two: whole results and real ones,
    // arguments that are texts, and a variable that comes to be named like the function.
    ExpectSameSteps("maths", R"(LET X = 2.5
LET K = 3
FOR I = 1 TO 8
  IF I = 2 THEN LET X = -7
  IF I = 3 THEN LET X = 0
  IF I = 4 THEN LET X = "9"
  IF I = 5 THEN LET X = 1.0 / 3
  IF I = 6 THEN LET INT = 4
  IF I = 7 THEN LET K = 2.5
  IF I = 8 THEN LET K = 70000
  LET V = INT(X)
  LET S = SIN(X)
  LET A = ABS(X)
  LET Q = SQR(X)
  LET P = K * K
  LET R = K * X
  OUTPUTDEBUG V
  OUTPUTDEBUG S + A + Q
  OUTPUTDEBUG P + R
NEXT I
STOP
)");
    ExpectSameSteps("labels", R"(LET I = 0
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
