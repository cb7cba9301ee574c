#include <gtest/gtest.h>

#include "commands/registry.h"
#include "frontend/tokenize.h"
#include "interpreter/expression.h"
#include "interpreter/interpreter.h"
#include "interpreter/run_session.h"
#include "test_support.h"

namespace tw {
namespace {

class Expressions : public testing::Test {
protected:
    Expressions() : in(host) { BuildTables(in.commands, in.functions); }

    EvalResult Eval(const std::string& text) {
        tokens = TokenizeLine(text).tokens;
        return Evaluate(in, Args(tokens.data(), static_cast<int>(tokens.size())));
    }
    // The value's text, or the failure's code and message.
    std::string Text(const std::string& text) {
        EvalResult r = Eval(text);
        if (!r.ok) return "fail " + std::to_string(r.code) + ": " + r.message;
        return TextOf(r.value);
    }
    void Set(const std::string& name, Value v, VariableKind kind) {
        int slot = in.variables.Find(name);
        if (slot < 0) slot = in.variables.FirstFree();
        in.variables.SetName(slot, name);
        in.variables[slot].value = std::move(v);
        in.variables[slot].kind = static_cast<uint8_t>(kind);
    }

    test::RecordingHost host;
    Interpreter in;
    std::vector<std::string> tokens;
};

TEST_F(Expressions, MultiplicativeOperatorsBindTighter) {
    EXPECT_EQ(Text("2 + 3 * 4"), "14");
    EXPECT_EQ(Text("2 * 3 + 4"), "10");
    EXPECT_EQ(Text("1 + 2 * 3 - 4"), "3");
    EXPECT_EQ(Text("10 - 4 - 3"), "3");
    EXPECT_EQ(Text("2 * 3 * 4 - 1"), "23");
    EXPECT_EQ(Text("7 \\ 2"), "3");
    EXPECT_EQ(Text("-7 \\ 2"), "-3");  // truncated toward zero
    EXPECT_EQ(Text("7.5 \\ 2"), "4");  // operands rounded half to even first: 8 \ 2
    EXPECT_EQ(Text("1 + 6 / 4 * 2"), "4");
}

TEST_F(Expressions, ParenthesesGroup) {
    EXPECT_EQ(Text("2 * (1 + 2)"), "6");
    EXPECT_EQ(Text("(1 + 2) * 3"), "9");
    EXPECT_EQ(Text("(1 + 2) * (3 - 1) + 1"), "7");
    EXPECT_EQ(Text("10 - (2 + 3)"), "5");
    EXPECT_EQ(Text("((2))"), "2");
    EXPECT_EQ(Text("2 * ((1 + 1) * (2 + 1))"), "12");
}

TEST_F(Expressions, ComparisonsAndLogicShareTheLevelOfPlusAndMinus) {
    EXPECT_EQ(Text("1 + 2 = 3"), "0");  // (1 + 2) = 3: True
    Set("X", Value::Real(3), VariableKind::Integer);
    EXPECT_EQ(Text("X = 1 + 2"), "1");  // (X = 1) + 2 = -1 + 2
    EXPECT_EQ(Text("(X = 1 + 2)"), "1");
    EXPECT_EQ(Text("X = (1 + 2)"), "0");
    EXPECT_EQ(Text("5 = 2 * 3"), "-3");  // the group reaches back to the last + or -
    EXPECT_EQ(Text("(1 = 1) AND (2 = 2)"), "0");
    EXPECT_EQ(Text("(1 = 1) AND (2 = 3)"), "-1");
    EXPECT_EQ(Text("(1 = 2) OR (2 = 2)"), "0");
    EXPECT_EQ(Text("(1 = 2) or (2 = 3)"), "-1");
    EXPECT_EQ(Text("1 < 2"), "0");
    EXPECT_EQ(Text("2 <= 2"), "0");
    EXPECT_EQ(Text("3 >= 4"), "-1");
    // Equal operands: only the comparisons that admit equality hold.
    EXPECT_EQ(Text("4 >= 4"), "0");
    EXPECT_EQ(Text("4 <= 4"), "0");
    EXPECT_EQ(Text("4 = 4"), "0");
    EXPECT_EQ(Text("4 > 4"), "-1");
    EXPECT_EQ(Text("4 < 4"), "-1");
    EXPECT_EQ(Text("4 <> 4"), "-1");
    EXPECT_EQ(Text("\"AB\" >= \"AB\""), "0");
    EXPECT_EQ(Text("\"AB\" > \"AB\""), "-1");
    EXPECT_EQ(Text("2.5 >= 2.5"), "0");
    EXPECT_EQ(Text("3 <> 4"), "0");
    EXPECT_EQ(Text("TRUE"), "0");
    EXPECT_EQ(Text("FALSE"), "-1");
}

TEST_F(Expressions, ComparisonsUseTheSixByteReal) {
    EXPECT_EQ(Text("0.1 + 0.2 = 0.3"), "0");
    EXPECT_EQ(Text("1000000000000 = 1000000000001"), "-1");
    EXPECT_EQ(Text("10000000000000 = 10000000000001"), "0");
}

TEST_F(Expressions, KindComesFromTheTokens) {
    EvalResult half = Eval("7 / 2");
    ASSERT_TRUE(half.ok);
    EXPECT_EQ(half.kind, ExpressionKind::Integer);
    EXPECT_EQ(TextOf(half.value), "3.5");
    EXPECT_EQ(Eval("7.0 / 2").kind, ExpressionKind::Real);
    EXPECT_EQ(Eval("1 + 2.5").kind, ExpressionKind::Real);
    EXPECT_EQ(Eval("2.5 + 1").kind, ExpressionKind::Real);
    EXPECT_EQ(Eval("\"A\" + 1").kind, ExpressionKind::String);
    EXPECT_EQ(Eval("1E39 + 1").kind, ExpressionKind::String);  // too big for the 6-byte real
    EvalResult empty = Eval("");
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.kind, ExpressionKind::String);
    EXPECT_EQ(TextOf(empty.value), "");
    EXPECT_TRUE(empty.value.IsStr());
}

TEST_F(Expressions, ValuesReEnterAsText) {
    Set("X", Value::Str("5"), VariableKind::String);
    EvalResult five = Eval("1 + X");
    ASSERT_TRUE(five.ok);
    EXPECT_EQ(five.kind, ExpressionKind::Integer);
    EXPECT_EQ(TextOf(five.value), "6");

    Set("X", Value::Str("ABC"), VariableKind::String);
    EvalResult joined = Eval("1 + X");
    EXPECT_EQ(joined.kind, ExpressionKind::String);
    EXPECT_EQ(TextOf(joined.value), "1ABC");

    // An integer variable holding 3.5 re-enters as 4 (half to even), 2.5 as 2.
    Set("H", Value::Real(3.5), VariableKind::Integer);
    EXPECT_EQ(Text("H"), "4");
    Set("H", Value::Real(2.5), VariableKind::Integer);
    EXPECT_EQ(Text("H + 0"), "2");

    // A real keeps 15 significant digits each time it re-enters.
    Set("R", Value::Real(1.0 / 3.0), VariableKind::Real);
    EXPECT_EQ(Text("R * 3"), "0.999999999999999");
    // A real whose text is whole makes an integer expression.
    Set("W", Value::Real(5.0), VariableKind::Real);
    EXPECT_EQ(Eval("W + 1").kind, ExpressionKind::Integer);

    // A string variable holding an operator's text acts as that operator.
    Set("OP", Value::Str("+"), VariableKind::String);
    EXPECT_EQ(Text("2 OP 3"), "5");
    // An empty string leaves an empty token, which ends the expression.
    Set("E", Value::Str(""), VariableKind::String);
    EXPECT_EQ(Text("\"A\" + \"B\" E"), "AB");
}

TEST_F(Expressions, Strings) {
    EXPECT_EQ(Text("\"AB\" + \"CD\""), "ABCD");
    EXPECT_EQ(Text("\"A\" + 1 + 2"), "A12");
    EXPECT_EQ(Text("1 + 2 + \"A\""), "12A");  // operands of a string expression are texts
    EXPECT_EQ(Text("2 * 3 + \"A\""), "2A");   // and * leaves the left one alone
    EXPECT_EQ(Text("\"A\" < \"B\""), "0");
    EXPECT_EQ(Text("\"a\" < \"B\""), "-1");  // case matters
    EXPECT_EQ(Text("\"AB\" < \"ABC\""), "0");
    EXPECT_EQ(Text("\"AB\" = \"AB\""), "0");
    EXPECT_EQ(Text("HELLO"), "HELLO");  // an unknown name is its own text
    EXPECT_EQ(Text("A-1"), "A-1");      // one token
    EXPECT_EQ(Text("\"ABC\" * 2"),
              "fail 21: Error <21> : Run Time Error - Operator not correct for expression");
    EXPECT_EQ(Text("\"ABC\" - \"B\""),
              "fail 21: Error <21> : Run Time Error - Operator not correct for expression");
}

TEST_F(Expressions, NumbersAndSigns) {
    EXPECT_EQ(Text("-5 + 2"), "-3");
    EXPECT_EQ(Text("1.5 * 2"), "3");
    EXPECT_EQ(Text("1E3 + 1"), "1001");
    EvalResult minus = Eval("- 5");
    EXPECT_FALSE(minus.ok);
    EXPECT_EQ(minus.code, 20);
    EXPECT_EQ(minus.token, 0);
    EXPECT_EQ(minus.message, "Error <20> : Run Time Error - Type mismatch within expression");
}

TEST_F(Expressions, OperatorFailures) {
    EvalResult two = Eval("1 2");
    EXPECT_FALSE(two.ok);
    EXPECT_EQ(two.code, 19);
    EXPECT_EQ(two.token, 0);
    EXPECT_EQ(two.message, "Error <19> : Run Time Error - Invalid Operator within expression");

    EvalResult logic = Eval("1 AND 2");
    EXPECT_FALSE(logic.ok);
    EXPECT_EQ(logic.code, 65);
    EXPECT_EQ(logic.token, 2);
    EXPECT_EQ(logic.message,
              "RTE (65) - The Logical Operator requires it to have boolean (true/false) values on "
              "either side of it. ");

    for (const char* text : {"1 / 0", "1 \\ 0", "1E200 * 1E200", "0.0 / 0"}) {
        EvalResult r = Eval(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.code, 21) << text;
        EXPECT_EQ(r.message, ErrorText(ErrorId::OperatorNotCorrect)) << text;
    }
}

TEST_F(Expressions, IntegerVariableTooBigForItsText) {
    Set("BIG", Value::Real(2147483648.0), VariableKind::Integer);
    EvalResult r = Eval("1 + BIG");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 21);
    EXPECT_EQ(r.token, 2);
    EXPECT_EQ(r.message, "Error <21> : Run Time Error - Value too big for variable.");
}

TEST_F(Expressions, FunctionCallsTakeTheirRawTokens) {
    EXPECT_EQ(Text("NOT(0)"), "-1");
    EXPECT_EQ(Text("NOT(-1)"), "0");
    EXPECT_EQ(Text("NOT((1 = 1)) + 5"), "4");
    EXPECT_EQ(Text("not ( 1 = 2 )"), "0");
    EvalResult bad = Eval("NOT(1)");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.code, 65);
    EXPECT_EQ(bad.token, 1);
    // A name without parentheses is a call without arguments.
    EXPECT_EQ(Eval("NOT 0").code, 65);
}

TEST_F(Expressions, CallWithoutArgumentsInsideParentheses) {
    // The ")" after PI closes the enclosing parenthesis; it is no part of the call.
    EXPECT_EQ(Text("( 2 * PI ) / ( 2 )"), "3.14159265358979");
    EXPECT_EQ(Text("( PI ) * ( -1 )"), "-3.14159265358979");
    EXPECT_EQ(Text("( 1 + PI ) + 2"), "6.14159265358979");
}

TEST_F(Expressions, PendingOperatorDoesNotLeakIntoLaterExpressions) {
    EXPECT_EQ(Text("( 1 + )"), "1");
    EXPECT_EQ(Text("( 5 )"), "5");
    Set("E", Value::Str(""), VariableKind::String);
    EXPECT_EQ(Text("2 * E"), "2");  // the empty text ends the expression inside its group
    EXPECT_EQ(Text("( 5 )"), "5");
}

TEST_F(Expressions, TokenPositionsCountACallAsOneToken) {
    Set("BIG", Value::Real(4e9), VariableKind::Integer);
    EvalResult r = Eval("NOT ( 0 ) + 1 + BIG");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 21);
    EXPECT_EQ(r.token, 4);
    EXPECT_EQ(Eval("1 + .").code, 20);  // a lone "." is no number
}

TEST_F(Expressions, JoiningStopsAtTheLongestText) {
    Set("BIG", Value::Str(std::string(kMaxTextLength / 2 + 1, 'A')), VariableKind::String);
    EvalResult r = Eval("BIG + BIG");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 21);
    EXPECT_EQ(r.message, ErrorText(ErrorId::ValueTooBig));
    Set("HALF", Value::Str(std::string(kMaxTextLength / 2, 'A')), VariableKind::String);
    EXPECT_TRUE(Eval("HALF + HALF").ok);
}

TEST_F(Expressions, BalanceAndDepthAreChecked) {
    for (const char* text : {"(1 + 2", "1 + 2)", ")(", "NOT(0"}) {
        EvalResult r = Eval(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.code, 18) << text;
    }
    std::string deep = "1";
    for (int i = 0; i < 50; ++i) deep = "(" + deep + ")";
    EXPECT_EQ(Text(deep), "1");
    EvalResult tooDeep = Eval("(" + deep + ")");
    EXPECT_FALSE(tooDeep.ok);
    EXPECT_EQ(tooDeep.message, ErrorText(ErrorId::NestedTooDeeply));
    EXPECT_EQ(in.expressions.stackLevel, 0);
    EXPECT_EQ(Text("2 + 2"), "4");  // the stack is still usable
}

TEST(CollectExpression, StopsAtStopWordsAtDepthZero) {
    std::vector<std::string> t = {"A", "(", "TO", ")", "to", "B", ""};
    Args args(t.data(), static_cast<int>(t.size()));
    Expression e;
    TResult status;
    int start = 0;
    CollectExpression(args, start, "TO", "", e, status);
    ASSERT_TRUE(status.ok);
    EXPECT_EQ(e.Count(), 4);
    EXPECT_EQ(start, 3);  // the last token taken
    start = 5;
    CollectExpression(args, start, "TO", "", e, status);
    EXPECT_EQ(e.Count(), 1);
    EXPECT_EQ(e[0], "B");
    EXPECT_EQ(start, 5);  // stopped at the end (the empty stop word)
    start = 5;
    CollectExpression(args, start, "TO", "THEN", e, status);
    EXPECT_EQ(start, 5);  // no stop word found: unchanged
}

TEST(CollectExpression, LimitsAndBalance) {
    std::vector<std::string> t(51, "1");
    Expression e;
    TResult status;
    int start = 0;
    CollectExpression(Args(t.data(), 50), start, "", "", e, status);
    EXPECT_TRUE(status.ok);
    EXPECT_EQ(e.Count(), 50);
    start = 0;
    CollectExpression(Args(t.data(), 51), start, "", "", e, status);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, ErrorText(ErrorId::ExpressionTooLong));

    std::vector<std::string> open = {"(", "1", ",", "2"};
    start = 0;
    CollectExpression(Args(open.data(), 4), start, ",", "", e, status);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, ErrorText(ErrorId::Unbalanced));
}

}  // namespace
}  // namespace tw
