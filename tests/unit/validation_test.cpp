#include <gtest/gtest.h>

#include "frontend/tokenize.h"
#include "frontend/validation.h"

namespace tw {
namespace {

TokenBuffer Fill(const std::vector<std::string>& lines) {
    TokenBuffer buffer;
    EXPECT_FALSE(FillTokenBuffer(lines, buffer).failed);
    return buffer;
}

ValiditySuccess FirstPass(const std::vector<std::string>& lines, RoutineTable& routines) {
    TokenBuffer buffer = Fill(lines);
    return Perform_First_Pass(buffer, routines);
}

TEST(FirstPass, RecordsProceduresAndFunctions) {
    RoutineTable routines;
    ValiditySuccess r =
        FirstPass({"PROCEDURE MOVE ( X , Y )", "ENDPROC", "function f", "STOP"}, routines);
    ASSERT_TRUE(r.ok) << r.message;
    const InternalRoutine* move = routines.Find("MOVE");
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->kind, RoutineKind::Procedure);
    EXPECT_EQ(move->parameterCount, 2);
    const InternalRoutine* f = routines.Find("F");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->kind, RoutineKind::Function);
    EXPECT_EQ(f->parameterCount, 0);
}

TEST(FirstPass, UnclosedOrEmptyParameterListRecordsNothing) {
    RoutineTable routines;
    EXPECT_TRUE(
        FirstPass({"PROCEDURE P ( )", "PROCEDURE Q ( A ,", "PROCEDURE R ( A B )"}, routines).ok);
    EXPECT_EQ(routines.Find("P"), nullptr);
    EXPECT_EQ(routines.Find("Q"), nullptr);
    EXPECT_EQ(routines.Find("R"), nullptr);
}

TEST(FirstPass, Failures) {
    RoutineTable routines;
    struct Case {
        std::vector<std::string> lines;
        std::string message;
    } cases[] = {
        {{"PROCEDURE 9A"}, "<9A> is not a valid procedure/function name."},
        {{"PROCEDURE"}, "<> is not a valid procedure/function name."},
        {{"PROCEDURE P X"}, "expected '(' but found 'X'"},
        {{"PROCEDURE P", "FUNCTION p"}, "Procedure <P> redeclared as a function."},
        {{"FUNCTION P", "PROCEDURE P"}, "Function <P> redeclared as a procedure."},
        {{"PROCEDURE P", "PROCEDURE P"},
         "Function/Procedure <P> redeclared. You cannot declare a procedure/function twice."},
    };
    for (const Case& c : cases) {
        ValiditySuccess r = FirstPass(c.lines, routines);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.code, 4);
        EXPECT_EQ(r.message, c.message);
    }
}

TEST(FirstPass, TwelfthRoutineFailsNamingTen) {
    std::vector<std::string> lines;
    for (int i = 0; i < 12; ++i) lines.push_back("PROCEDURE P" + std::to_string(i));
    RoutineTable routines;
    ValiditySuccess r = FirstPass(lines, routines);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.row, 11);
    EXPECT_EQ(r.message,
              "maximum number of procedure / functions exceeded, current limit 10. Please "
              "increase procedure/function buffer space.");
    EXPECT_NE(routines.Find("P10"), nullptr);  // eleven were recorded
}

// Fails every row whose command word is in the table at `failEntry`, and counts calls.
class ProbeRules : public ValidationRules {
public:
    ValidCommandSuccess Check(int entry, const Args& args, const RoutineTable&) override {
        ++checked;
        ValidCommandSuccess r;
        r.ok = entry != failEntry;
        r.message = "probe failed at <" + std::string(args[0]) + ">";
        r.code = 7;
        return r;
    }
    ValidCommandSuccess CheckUnlisted(const Args&, const RoutineTable&) override {
        ++unlisted;
        ValidCommandSuccess r;
        r.ok = true;
        return r;
    }
    void BeginPass() override { ++begun; }
    void EndPass() override { ++ended; }
    int failEntry = -1;
    int checked = 0, unlisted = 0, begun = 0, ended = 0;
};

TEST(ValidateCommandTokens, HandsEveryRowToItsRule) {
    TokenBuffer buffer = Fill({"BELL", "LET A = 1", "start:", "PRINT A", "IF A THEN B"});
    RoutineTable routines;
    ProbeRules rules;
    ValiditySuccess r = Validate_Command_Tokens(buffer, routines, rules);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(rules.checked, 3);   // BELL, PRINT, IF
    EXPECT_EQ(rules.unlisted, 4);  // LET, the label, B and ENDIF
    EXPECT_EQ(rules.begun, 1);
    EXPECT_EQ(rules.ended, 1);
}

TEST(ValidateCommandTokens, ReportsTheFirstFailingRow) {
    TokenBuffer buffer = Fill({"BELL", "print 1", "PRINT 2"});
    RoutineTable routines;
    ProbeRules rules;
    rules.failEntry = Index(ValidationId::PRINT);
    ValiditySuccess r = Validate_Command_Tokens(buffer, routines, rules);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.row, 1);
    EXPECT_EQ(r.entry, Index(ValidationId::PRINT));
    EXPECT_EQ(r.code, 7);
    EXPECT_EQ(
        r.message,
        "Error #003 : Testing Failed, could not test this program because probe failed at <1>");
    EXPECT_EQ(rules.ended, 0);
}

TEST(ValidateCommandTokens, FirstPassFailureComesFirst) {
    TokenBuffer buffer = Fill({"PROCEDURE 1X"});
    RoutineTable routines;
    ProbeRules rules;
    ValiditySuccess r = Validate_Command_Tokens(buffer, routines, rules);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.message,
              "Error #004 : Testing Failed, the following problem arised during the first pass : "
              "<1X> is not a valid procedure/function name.");
    EXPECT_EQ(rules.checked, 0);
}

TEST(ValidateCommandTokens, EmptyAndFullPrograms) {
    RoutineTable routines;
    AcceptAllRules rules;
    TokenBuffer empty;
    EXPECT_TRUE(Validate_Command_Tokens(empty, routines, rules).ok);
    // All 2001 rows in use: the end of the buffer ends the program.
    TokenBuffer full = Fill(std::vector<std::string>(2001, "BELL"));
    EXPECT_TRUE(Validate_Command_Tokens(full, routines, rules).ok);
}

TEST(Keywords, TablesInIndexOrder) {
    EXPECT_EQ(kCommandNames[0], "ADD");
    EXPECT_EQ(kCommandNames[125], "");
    EXPECT_EQ(kCommandNames[143], "?");
    EXPECT_EQ(kCommandNames[155], "TIMERS");
    EXPECT_EQ(kFunctionNames[60], "NOT");
    EXPECT_EQ(kFunctionNames[72], "KEYALT");
    EXPECT_EQ(kValidationNames[143], "?");
    EXPECT_EQ(FindCommand("PRINT"), 111);
    EXPECT_EQ(FindCommand(""), -1);
    EXPECT_EQ(FindCommand("ENDIF"), -1);
    EXPECT_EQ(FindFunction("REPEAT"), 16);
    EXPECT_EQ(FindValidationCommand("END"), 54);
    EXPECT_EQ(FindValidationCommand("LET"), -1);
}

}  // namespace
}  // namespace tw
