#include <gtest/gtest.h>

#include "frontend/tokenize.h"
#include "validator/rules.h"

namespace tw {
namespace {

// Validates a one-statement program and gives the failure's message, or "ok".
std::string Check(const std::string& line, const std::vector<std::string>& before = {}) {
    std::vector<std::string> lines = before;
    lines.push_back(line);
    TokenBuffer buffer;
    TokenizeSuccess filled = FillTokenBuffer(lines, buffer);
    if (filled.failed) return "tokenizer: " + filled.message;
    RoutineTable routines;
    CommandValidationRules rules;
    ValiditySuccess r = Validate_Command_Tokens(buffer, routines, rules);
    if (r.ok) return "ok";
    const std::string prefix = "Error #003 : Testing Failed, could not test this program because ";
    if (r.message.rfind(prefix, 0) == 0) return r.message.substr(prefix.size());
    return r.message;
}

TEST(ValidationRules, NoArgumentCommands) {
    for (const char* word : {"BELL", "BOOM", "RESETKEYS", "CLOSEEDITOR", "DEFAULT", "DXM", "EDITOR",
                             "HOME", "MONITOR", "MULTIWAIT", "RETURN", "SHOOT", "STOP", "SYSTEM"}) {
        EXPECT_EQ(Check(word), "ok") << word;
        EXPECT_EQ(Check(std::string(word) + " 1"), "end of line expected, however <1> found.")
            << word;
    }
    EXPECT_EQ(Check("stop \"now\""), "end of line expected, however <\"now\"> found.");
}

TEST(ValidationRules, AcceptingRules) {
    for (const char* line :
         {"REM", "' anything ( at all", "BAR 1, 2, 3", "BOX (", "PLOT 1 +", "RANDOMIZE , ,",
          "PRINT 1 +", "LET A = (", "label:", "ENDIF", "IF X THEN", "whatever 1 2 3"}) {
        EXPECT_EQ(Check(line), "ok") << line;
    }
}

TEST(ValidationRules, Add) {
    EXPECT_EQ(Check("ADD A, 1 + 2"), "ok");
    EXPECT_EQ(Check("ADD A, SIN(X) * 2, 1 TO 10"), "ok");
    EXPECT_EQ(Check("ADD A, (B + 1)"), "ok");
    EXPECT_EQ(Check("ADD A, B + 1)"), "ok");  // a negative depth passes
    EXPECT_EQ(Check("ADD A, 1 +"), "there was an errors in the expression.");
    EXPECT_EQ(Check("ADD A, (B + 1"), "there was an errors in the expression.");
    EXPECT_EQ(Check("ADD A, -5"), "there was an errors in the expression.");  // a sign is a symbol
    EXPECT_EQ(Check("ADD A, \"a+b\""), "there was an errors in the expression.");
    EXPECT_EQ(Check("ADD A,"), "there was an errors in the expression.");
    EXPECT_EQ(Check("ADD A, B C"), "there was an errors in the expression.");
    EXPECT_EQ(Check("ADD 9X, 1"), "9X is not a valid variable name.");
    EXPECT_EQ(Check("ADD A 1"), "`,` expected, but <1> found.");
    EXPECT_EQ(Check("ADD A"), "`,` expected, but <> found.");
}

TEST(ValidationRules, FunctionsInsideExpressions) {
    EXPECT_EQ(Check("ADD A, SIN(X) + 1"), "ok");
    EXPECT_EQ(Check("ADD A, cos ( (X) ) + 1"), "ok");
    EXPECT_EQ(Check("ADD A, SIN X"),
              "Error #005 : Testing Failed, could not validate expression expected `(` after "
              "function, <X> found.");
    EXPECT_EQ(Check("ADD A, SIN ( X"),
              "Error #005 : Testing Failed, could not validate expression expect `(` but found "
              "end of command.");
    // A declared function's name is left out and its arguments follow as ordinary tokens.
    EXPECT_EQ(Check("ADD A, 2 * F (1)", {"FUNCTION F"}), "ok");
    EXPECT_EQ(Check("ADD A, F", {"FUNCTION F"}), "there was an errors in the expression.");
    EXPECT_EQ(Check("ADD A, F"), "ok");  // undeclared, F is a value
    EXPECT_EQ(Check("ADD A, P + 1", {"PROCEDURE P", "ENDPROC"}),
              "Error #005 : Testing Failed, error is expression caused by use of a procedure "
              "inside expression.");
}

TEST(ValidationRules, Twos) {
    EXPECT_EQ(Check("TWOS LOCK"), "ok");
    EXPECT_EQ(Check("TWOS TO FRONT"), "ok");
    EXPECT_EQ(Check("twos to back"), "ok");
    EXPECT_EQ(Check("TWOS ANYTHING ELSE"), "ok");
    EXPECT_EQ(Check("TWOS LOCK NOW"), "end of line expected, however <NOW> found.");
    EXPECT_EQ(Check("TWOS TO SIDE"), "expected FRONT or BACK, after TWOS TO command.");
    EXPECT_EQ(Check("TWOS TO FRONT 1"), "end of line expected, however <1> found.");
}

TEST(ValidationRules, Auto) {
    EXPECT_EQ(Check("AUTO UPDATE ON"), "ok");
    EXPECT_EQ(Check("auto priority off"), "ok");
    EXPECT_EQ(Check("AUTO"), "Error <12> : Unexpected end of line found.");
    EXPECT_EQ(Check("AUTO UPDATE"), "Error <12> : Unexpected end of line found.");
    EXPECT_EQ(Check("AUTO SPEED ON"),
              "Error <14> : Expected `UPDATE` or `PRIORITY`, found <SPEED>");
    EXPECT_EQ(Check("AUTO UPDATE MAYBE"), "Error <13> : Expected `On` Or `Off`, but <MAYBE> found");
    EXPECT_EQ(Check("AUTO UPDATE ON NOW"), "Error <11> : Expected end of line.");
}

TEST(ValidationRules, Appear) {
    EXPECT_EQ(Check("APPEAR 1 TO 2"), "ok");
    EXPECT_EQ(Check("APPEAR A TO 99"), "Error <6> : Illegal screen number.");
    EXPECT_EQ(Check("APPEAR 16 TO 2"), "Error <6> : Illegal screen number.");
    EXPECT_EQ(Check("APPEAR 1 TO 16"), "Error <6> : Illegal screen number.");
    EXPECT_EQ(Check("APPEAR 1 TO B"), "ok");  // not a literal: no range test
    EXPECT_EQ(Check("APPEAR 1 FROM 2"), "there was an errors in the expression.");
    EXPECT_EQ(Check("APPEAR 1, 2"), "Error <7> : `TO` expected, <,> found.");
    // A value runs to "," or "TO": what follows it must be one of those.
    EXPECT_EQ(Check("APPEAR 1 TO 2; 3"), "there was an errors in the expression.");
    EXPECT_EQ(Check("APPEAR 1 TO 2 TO 3"), "Error <9> : Expected semi-colon `,` but found <TO>");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 0"),
              "Error <8> : Illegal APPEAR speed, value must be between 1 and 50.");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 51"),
              "Error <8> : Illegal APPEAR speed, value must be between 1 and 50.");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 50"), "ok");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 10, 0, 0, 100, 100"), "ok");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 10, 0, 0, 100, 100, 5"), "Error <11> : Expected end of line.");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 10, 0, 0, 100"), "there was an errors in the expression.");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 10, 0 TO 0, 100, 100"),
              "Error <9> : Expected semi-colon `,` but found <TO>");
    EXPECT_EQ(Check("APPEAR 1 TO 2, 10 TO 5"),
              "Error <9> : Expected semi-colon `,` but found <TO>");
    EXPECT_EQ(Check("APPEAR + TO 2"), "there was an errors in the expression.");
}

TEST(ExpressionChecker, BracketsAndStrings) {
    using V = std::vector<std::string>;
    EXPECT_TRUE(CheckExpression(V{"A", "+", "1"}));
    EXPECT_TRUE(CheckExpression(V{"(", "A", "+", "1", ")", "*", "2"}));
    EXPECT_TRUE(CheckExpression(V{"A", "+", "1", ")"}));
    EXPECT_FALSE(CheckExpression(V{"(", "A", "+", "1"}));
    EXPECT_FALSE(CheckExpression(V{"A", "+"}));
    EXPECT_FALSE(CheckExpression(V{}));
    EXPECT_FALSE(CheckExpression(V{"A", "=", "1"}));  // comparisons are no operators here
    // A lone quote opens a string that the next lone quote closes.
    EXPECT_TRUE(CheckExpression(V{"\"", "a", "+", "b", "\"", "+", "1"}));
    EXPECT_FALSE(CheckExpression(V{"\"", "a", "b"}));
    EXPECT_TRUE(CheckExpression(V{"A", "", "+"}));  // the first empty token ends the list
}

TEST(ExpressionReducer, StopsAtStopWords) {
    StopWords stops;
    stops.Set();
    RoutineTable routines;
    std::vector<std::string> t = {"1", "+", "COS", "(", "2", ")", "to", "9"};
    std::vector<std::string> out;
    TStandard_Return r =
        ReduceExpression(Args(t.data(), static_cast<int>(t.size())), 0, stops, routines, out);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(out, (std::vector<std::string>{"1", "+", "999"}));
    stops.Clear();
    ReduceExpression(Args(t.data(), static_cast<int>(t.size())), 0, stops, routines, out);
    EXPECT_EQ(out.size(), 5u);
}

}  // namespace
}  // namespace tw
