#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "commands/registry.h"
#include "frontend/tokenize.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"
#include "interpreter/run_session.h"
#include "test_support.h"

namespace tw {
namespace {

// The tokens of one line, kept alive for the Args that point into them.
struct Line {
    explicit Line(const std::string& text) : tokens(TokenizeLine(text).tokens) {}
    Args AsArgs() const { return Args(tokens.data(), static_cast<int>(tokens.size())); }
    std::vector<std::string> tokens;
};

std::string Joined(const Args& args) {
    std::string out;
    for (int i = 0; i < args.Count(); ++i) {
        if (i) out += ' ';
        out += args[i];
    }
    return out;
}

std::vector<std::string> Split(const std::string& text, int count) {
    Line line(text);
    std::vector<Args> parts(count);
    SplitArguments(line.AsArgs(), count, parts.data());
    std::vector<std::string> out;
    for (const Args& part : parts) out.push_back(Joined(part));
    return out;
}

using Parts = std::vector<std::string>;

TEST(SplitArguments, CutsAtTopLevelCommasAndTheLastPartTakesTheRest) {
    EXPECT_EQ(Split("1,2,3", 3), (Parts{"1", "2", "3"}));
    EXPECT_EQ(Split("A(1,2),B(3,(4)),5", 3), (Parts{"A ( 1 , 2 )", "B ( 3 , ( 4 ) )", "5"}));
    EXPECT_EQ(Split("1,2,3", 2), (Parts{"1", "2 , 3"}));
    EXPECT_EQ(Split("1,2,3", 1), (Parts{"1 , 2 , 3"}));
    EXPECT_EQ(Split("\"a,b\",c", 2), (Parts{"\"a,b\"", "c"}));  // a comma in a text is no cut
}

TEST(SplitArguments, MissingPartsAreEmpty) {
    EXPECT_EQ(Split("7", 3), (Parts{"7", "", ""}));
    EXPECT_EQ(Split("", 2), (Parts{"", ""}));
    EXPECT_EQ(Split("1,", 2), (Parts{"1", ""}));
    EXPECT_EQ(Split(",2", 2), (Parts{"", "2"}));
}

TEST(SplitArguments, StopsAtTheFirstEmptyToken) {
    // A function's argument slots end with empty tokens; what follows them is stale.
    std::vector<std::string> slots = {"1", ",", "2", "", ",", "9"};
    Args parts[3];
    SplitArguments(Args(slots.data(), static_cast<int>(slots.size())), 3, parts);
    EXPECT_EQ(Joined(parts[0]), "1");
    EXPECT_EQ(Joined(parts[1]), "2");
    EXPECT_EQ(parts[2].Count(), 0);
    EXPECT_EQ(ArgumentCount(Args(slots.data(), static_cast<int>(slots.size()))), 3);
}

TEST(ArgsView, SliceAndFromStayInsideTheList) {
    Line line("A B C D");
    const Args args = line.AsArgs();
    EXPECT_EQ(Joined(args.Slice(1, 2)), "B C");
    EXPECT_EQ(Joined(args.Slice(2, 99)), "C D");
    EXPECT_EQ(args.Slice(1, -3).Count(), 0);
    EXPECT_EQ(Joined(args.From(-5)), "A B C D");
    EXPECT_EQ(args.From(9).Count(), 0);
    EXPECT_EQ(args[4], "");  // reading past the end gives the empty token
    EXPECT_EQ(args[-1], "");
}

class Arguments : public testing::Test {
protected:
    Arguments() : in(host) { BuildTables(in.commands, in.functions); }

    // The integer, or the failure's code and message.
    std::string Integer(const std::string& text) {
        Line line(text);
        TResult result;
        int32_t out = 12345;
        if (!ArgCursor(in, line.AsArgs(), result).Whole().Integer(out)) {
            EXPECT_EQ(out, 12345) << "a failure leaves the target alone";
            return "fail " + std::to_string(result.code) + ": " + result.message;
        }
        EXPECT_TRUE(result.ok);
        return std::to_string(out);
    }
    std::string Condition(const std::string& text) {
        Line line(text);
        TResult result;
        int32_t out = 0;
        if (!ArgCursor(in, line.AsArgs(), result).Whole().Condition(out)) {
            return "fail " + std::to_string(result.code);
        }
        return std::to_string(out);
    }

    test::RecordingHost host;
    Interpreter in;
};

TEST_F(Arguments, IntegersRoundHalfToEvenAndRefuseWhatDoesNotConvert) {
    EXPECT_EQ(Integer("2.5"), "2");
    EXPECT_EQ(Integer("3.5"), "4");
    EXPECT_EQ(Integer("-2.5"), "-2");
    EXPECT_EQ(Integer("10 / 4"), "2");
    EXPECT_EQ(Integer("\"12\""), "12");  // a text that denotes a number converts
    EXPECT_EQ(Integer("2147483647"), "2147483647");
    EXPECT_EQ(Integer("\"abc\""), "fail 20: " + ErrorText(ErrorId::TypeMismatch));
    EXPECT_EQ(Integer("2147483648"), "fail 21: " + ErrorText(ErrorId::ValueTooBig));
    EXPECT_EQ(Integer("-3000000000.5"), "fail 21: " + ErrorText(ErrorId::ValueTooBig));
}

TEST_F(Arguments, EvaluationFailuresAreCopiedWhole) {
    Line line("\"ABC\" * 2");
    EvalResult direct = Evaluate(in, line.AsArgs());
    ASSERT_FALSE(direct.ok);
    TResult result;
    int32_t out;
    ASSERT_FALSE(ArgCursor(in, line.AsArgs(), result).Whole().Integer(out));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.code, direct.code);
    EXPECT_EQ(result.message, direct.message);
    EXPECT_EQ(result.token, direct.token);
    EXPECT_EQ(Condition("\"ABC\" * 2"), "fail " + std::to_string(direct.code));
}

TEST_F(Arguments, ConditionsAreTrueOrFalseOnly) {
    EXPECT_EQ(Condition("0"), "0");
    EXPECT_EQ(Condition("-1"), "-1");
    EXPECT_EQ(Condition("2 > 1"), "0");  // True is 0
    EXPECT_EQ(Condition("1 > 2"), "-1");
    EXPECT_EQ(Condition("-0.6"), "-1");  // rounds to False
    EXPECT_EQ(Condition("1"), "fail 66");
    EXPECT_EQ(Condition("-2"), "fail 66");
    EXPECT_EQ(Condition("\"yes\""), "fail 66");
    EXPECT_EQ(Condition("5000000000"), "fail 66");
}

// A cursor reads a statement's arguments in order, each cut at its stop words, and says where it
// stopped.
TEST_F(Arguments, CursorReadsInOrderAndConsumesTheWordThatEndedEachRead) {
    Line line("SCREEN 1 + 1 , 2 * ( 3 + 4 ) TO 7 STEP 2");
    TResult result;
    ArgCursor a(in, line.AsArgs(), result);
    EXPECT_TRUE(a.NextIs("SCREEN"));
    EXPECT_FALSE(a.Keyword("OPEN"));
    EXPECT_TRUE(a.Keyword("SCREEN"));
    int32_t first, second, third, step = 0;
    ASSERT_TRUE(a.Integer(first));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(a.LastStop(), ",");
    EXPECT_EQ(a.LastStart(), 1);
    ASSERT_TRUE(a.StopAt("TO").Integer(second));
    EXPECT_EQ(second, 14);
    EXPECT_EQ(a.LastStop(), "TO");
    ASSERT_TRUE(a.StopAt("STEP").Integer(third));
    EXPECT_EQ(third, 7);
    EXPECT_EQ(a.LastStop(), "STEP");
    EXPECT_FALSE(a.AtEnd());
    ASSERT_TRUE(a.StopAt({}).OptionalInteger(step));
    EXPECT_EQ(step, 2);
    EXPECT_TRUE(a.AtEnd());
    EXPECT_EQ(a.LastStop(), "");
    int32_t untouched = 99;
    EXPECT_TRUE(a.OptionalInteger(untouched));
    EXPECT_EQ(untouched, 99);
    EXPECT_TRUE(result.ok);

    // A comma inside parentheses is no stop: the read takes ( 1 , 2 ) whole, and it fails.
    Line nested("( 1 , 2 ) , 3");
    TResult failed;
    ArgCursor b(in, nested.AsArgs(), failed);
    Value v;
    EXPECT_FALSE(b.Read(v));
    EXPECT_EQ(failed.code, 19);
}

TEST_F(Arguments, CursorCutsFunctionArgumentsIntoPartsTheLastTakingTheRest) {
    Line line("\"AB\" , 1 + 1 , 3 , 4");
    TResult result;
    ArgCursor a(in, line.AsArgs(), result);
    a.Parts(3);
    std::string text;
    int32_t n;
    ASSERT_TRUE(a.Text(text));
    EXPECT_EQ(text, "AB");
    ASSERT_TRUE(a.Integer(n));
    EXPECT_EQ(n, 2);
    EXPECT_FALSE(a.AtEnd());
    EXPECT_FALSE(a.Integer(n));  // "3 , 4" is one part
    EXPECT_EQ(result.code, 19);

    Line two("5");
    TResult more;
    ArgCursor b(in, two.AsArgs(), more);
    b.Parts(3);
    ASSERT_TRUE(b.Integer(n));
    EXPECT_TRUE(b.AtEnd());  // the missing parts are empty
}

TEST_F(Arguments, CursorFailuresCarryTheHandlersOwnEntry) {
    Line line("\"X\" , 1");
    TResult own;
    int32_t n;
    EXPECT_FALSE(ArgCursor(in, line.AsArgs(), own).OnBadValue(ErrorId::MathsParameters).Integer(n));
    EXPECT_EQ(own.code, 38);
    EXPECT_EQ(own.message, ErrorText(ErrorId::MathsParameters));
    EXPECT_EQ(own.token, 0);
    TResult plain;
    EXPECT_FALSE(ArgCursor(in, line.AsArgs(), plain).Integer(n));
    EXPECT_EQ(plain.code, 20);
    double real;
    TResult realFailure;
    EXPECT_FALSE(ArgCursor(in, line.AsArgs(), realFailure).Real(real));
    EXPECT_EQ(realFailure.code, 20);

    Line open("( 1 , 2");
    TResult cut;
    Args tokens;
    EXPECT_FALSE(ArgCursor(in, open.AsArgs(), cut).Cut(tokens));
    EXPECT_EQ(cut.code, 18);
    EXPECT_EQ(cut.message, ErrorText(ErrorId::Unbalanced));

    Line closed("A + 1 , 2");
    TResult fine;
    ArgCursor c(in, closed.AsArgs(), fine);
    ASSERT_TRUE(c.Cut(tokens));
    EXPECT_EQ(tokens.Count(), 3);
    EXPECT_EQ(c.Position(), 4);
}

// The error table: a code is the number its text shows, except where the language says
// otherwise, and the placeholders are filled in order.
TEST(ErrorTable, CodesMatchTheirTextsAndPlaceholdersFill) {
    std::set<std::string_view> names;
    for (const ErrorEntry& e : kErrors) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        std::string_view t = e.text;
        int shown = INT32_MIN;
        for (std::string_view form : {"RTE (", "Error <", "ProgError <"}) {
            if (t.rfind(form, 0) == 0)
                shown = std::atoi(std::string(t.substr(form.size())).c_str());
        }
        if (shown == INT32_MIN) continue;  // "OutputDebug() failed.", "FADE Failed"
        if (e.name == "LoopNoCurrent") {
            EXPECT_EQ(e.code, 16);  // the LOOP command's own quirk: code 16, "ProgError <1>"
            continue;
        }
        if (shown == 0) {
            EXPECT_EQ(e.code, -1) << e.name;  // the text functions' failures: "RTE (0)", code -1
            continue;
        }
        EXPECT_EQ(e.code, shown) << e.name;
    }
    EXPECT_EQ(ErrorText(ErrorId::ScreenNotOpen, {7}), "RTE (28) - Screen 7 is not open.");
    EXPECT_EQ(ErrorText(ErrorId::TooManyPoints, {"POLYGON"}),
              "RTE (26) - POLYGON Command failed, at most 50 points can be given.");
    EXPECT_EQ(PlaceholderCount(Entry(ErrorId::CloneExists).text), 1);
    EXPECT_EQ(PlaceholderCount(Entry(ErrorId::ScreenSize).text), 0);
    TResult r;
    r.Fail(ErrorId::CallNotFound, 3, std::string_view("Fred"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 78);
    EXPECT_EQ(r.token, 3);
    EXPECT_EQ(r.message, "RTE (78) - CALL Command Failed, could not find CALL Fred");
}

}  // namespace
}  // namespace tw
