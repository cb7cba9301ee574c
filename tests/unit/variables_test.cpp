#include <gtest/gtest.h>

#include "test_support.h"

namespace tw {
namespace {

using test::ProgramRun;

const Variable* Find(const Interpreter& in, const std::string& name) {
    int slot = in.variables.Find(name);
    return slot < 0 ? nullptr : &in.variables[slot];
}

TEST(Variables, ConstantsAfterReset) {
    VariableTable table;
    table.Reset();
    EXPECT_EQ(table.Find("TRUE"), 0);
    EXPECT_EQ(table.Find("FALSE"), 1);
    EXPECT_EQ(table[0].value.i, 0);
    EXPECT_EQ(table[1].value.i, -1);
    EXPECT_FALSE(table[0].isLocal);
    EXPECT_EQ(table.FirstFree(), 2);
}

TEST(Let, KindFollowsTheExpression) {
    ProgramRun p(
        "LET A = 5\nLET B = A\nLET A = \"X\"\nLET C = 2.5\nlet d = d + 1\nLet E = 7 / 2\nSTOP");
    ASSERT_EQ(p.Run(), RunOutcome::Stopped);
    const Variable* a = Find(p.in, "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->kind, 5);
    EXPECT_EQ(a->value.s, "X");
    EXPECT_EQ(Find(p.in, "B")->kind, 1);
    EXPECT_EQ(Find(p.in, "C")->kind, 3);
    EXPECT_EQ(TextOf(Find(p.in, "D")->value), "1");  // exists as 0 while its expression runs
    const Variable* e = Find(p.in, "E");
    EXPECT_EQ(e->kind, 1);
    EXPECT_EQ(TextOf(e->value), "3.5");  // kept as computed; re-enters as 4
    // A variable first assigned by LET at top level is local with no owner.
    EXPECT_TRUE(a->isLocal);
    EXPECT_EQ(a->owner, "");
}

TEST(Let, FailureKeepsThePreviousValue) {
    ProgramRun p("LET A = 1\nLET A = \"X\" * 2\nSTOP");
    ASSERT_EQ(p.Run(), RunOutcome::Failed);
    EXPECT_EQ(TextOf(Find(p.in, "A")->value), "1");
    ASSERT_EQ(p.host.messages.size(), 1u);
    EXPECT_EQ(p.host.messages[0],
              "The following run time error occured \rError <21> : Run Time Error - Operator not "
              "correct for expression\rAt Line = 1, Token = 2");
}

TEST(Let, NewVariableWhoseExpressionFailsStillExists) {
    ProgramRun p("LET N = 1 2\nSTOP");
    ASSERT_EQ(p.Run(), RunOutcome::Failed);
    const Variable* n = Find(p.in, "N");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(TextOf(n->value), "0");
}

TEST(Let, FullTableFailsCleanly) {
    std::string source;
    for (int i = 0; i < 49; ++i)
        source += "LET V" + std::to_string(i) + " = " + std::to_string(i) + "\n";
    source += "LET ONEMORE = 1\nSTOP\n";
    ProgramRun p(source);
    ASSERT_EQ(p.Run(), RunOutcome::Failed);
    EXPECT_EQ(p.in.run.currentLine, -1);
    ASSERT_EQ(p.host.messages.size(), 1u);
    EXPECT_NE(
        p.host.messages[0].find("Error <10> : Run Time Error - Variable table full, could not "
                                "create <ONEMORE>."),
        std::string::npos);
    EXPECT_NE(p.host.messages[0].find("At Line = 49, Token = 0"), std::string::npos);
    EXPECT_NE(Find(p.in, "V48"), nullptr);
}

TEST(Let, WithoutNameStillEvaluates) {
    ProgramRun ok("LET\nSTOP");
    EXPECT_EQ(ok.Run(), RunOutcome::Stopped);
    EXPECT_EQ(ok.in.variables.FirstFree(), 2);
}

TEST(Dim, DoesNothing) {
    ProgramRun p("DIM A(10)\nDIM\nSTOP");
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_EQ(p.in.variables.Find("A"), -1);
}

TEST(AssignVariable, RefusesAMissingVariable) {
    test::RecordingHost host;
    Interpreter in(host);
    std::string one = "1";
    AssignmentResult r = AssignVariable(in, "NOPE", Args(&one, 1));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 10);
    EXPECT_EQ(TextOf(in.variables[0].value), "0");  // TRUE untouched
}

// CALL binds a parameter to its value's text; the shortcut for numbers must give what the text
// gives when it goes through the evaluator.
TEST(DeclareVariable, ValueShortcutMatchesTheTextRoute) {
    const std::vector<Value> values = {
        Value::Int(0),          Value::Int(-7),         Value::Int(INT32_MIN),
        Value::Real(1.0 / 3.0), Value::Real(0.1 + 0.2), Value::Real(3.0000000000000004),
        Value::Real(2.5),       Value::Real(-0.0),      Value::Real(2147483648.0),
        Value::Real(1e15),      Value::Real(1e-5),      Value::Real(1e300),
        Value::Real(-1.7e38),   Value::Str("5"),        Value::Str("hello world"),
        Value::Str(""),         Value::Str("\"q\""),    Value::Str("TRUE")};
    for (const Value& value : values) {
        test::RecordingHost host;
        Interpreter a(host), b(host);
        ASSERT_TRUE(DeclareVariableAs(a, "P", Scope::Local, value).ok);
        const std::string text = TextOf(value);
        ASSERT_TRUE(DeclareVariable(b, "P", Scope::Local, Args(&text, 1)).ok);
        const Variable& x = a.variables[a.variables.Find("P")];
        const Variable& y = b.variables[b.variables.Find("P")];
        EXPECT_EQ(x.kind, y.kind) << text;
        EXPECT_EQ(x.value.type, y.value.type) << text;
        EXPECT_EQ(TextOf(x.value), TextOf(y.value)) << text;
        if (x.value.type == ValueType::Real) {
            EXPECT_EQ(x.value.r, y.value.r) << text;
        }
        EXPECT_EQ(TextOf(a.expressions.levels[0].value), TextOf(b.expressions.levels[0].value))
            << text;
    }
}

TEST(DeclareVariable, LocalOwnerIsTheRunningProcedure) {
    test::RecordingHost host;
    Interpreter in(host);
    in.procedures.frames[0] = {"OUTER", true, 3};
    in.procedures.frames[1] = {"INNER", true, 7};
    std::string zero = "0";
    ASSERT_TRUE(DeclareVariable(in, "L", Scope::Local, Args(&zero, 1)).ok);
    ASSERT_TRUE(DeclareVariable(in, "G", Scope::Global, Args(&zero, 1)).ok);
    EXPECT_EQ(in.variables[in.variables.Find("L")].owner, "INNER");
    EXPECT_TRUE(in.variables[in.variables.Find("L")].isLocal);
    EXPECT_EQ(in.variables[in.variables.Find("G")].owner, "");
    EXPECT_FALSE(in.variables[in.variables.Find("G")].isLocal);
}

// The table's bit sets against a plain scan of the slots, through a long random sequence of
// names taken, changed and freed (names that share groups among them) and owners set.
TEST(VariableTable, IndexAgreesWithAScan) {
    VariableTable table;
    table.Reset();
    const std::string names[] = {"A", "B", "AB", "BA", "X1", "Z", "LONGER_NAME", "Q", "AQ", ""};
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int step = 0; step < 20000; ++step) {
        const int slot = static_cast<int>(next(VariableTable::kSlots));
        const std::string& name = names[next(std::size(names))];
        switch (next(4)) {
            case 0:
                table.SetName(slot, name);
                break;
            case 1:
                if (table[slot].name.empty()) table.Claim(slot, name);
                break;
            case 2:
                table.FreeSlot(slot);
                break;
            default:
                table.SetOwner(slot, next(2) ? "PROC" : "");
                break;
        }
        for (const std::string& wanted : names) {
            int scan = -1;
            for (int i = 0; i < VariableTable::kSlots && !wanted.empty(); ++i) {
                if (table[i].name == wanted) {
                    scan = i;
                    break;
                }
            }
            ASSERT_EQ(table.Find(wanted), scan) << "step " << step << " name " << wanted;
        }
        int firstFree = -1;
        uint64_t owned = 0;
        for (int i = VariableTable::kSlots - 1; i >= 0; --i) {
            if (table[i].name.empty()) firstFree = i;
            if (!table[i].owner.empty()) owned |= uint64_t{1} << i;
        }
        ASSERT_EQ(table.FirstFree(), firstFree) << "step " << step;
        ASSERT_EQ(table.OwnedSlots(), owned) << "step " << step;
    }
}

}  // namespace
}  // namespace tw
