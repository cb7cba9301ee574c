// The validation rules of the test before a run. Most commands are not tested at all: their
// rule accepts every row, and their errors surface only when they run.

#include "validator/rules.h"

#include <array>

#include "frontend/keywords.h"
#include "frontend/names.h"
#include "frontend/number_text.h"

namespace tw {

namespace {

using Rule = ValidCommandSuccess (*)(const Args& args, const RoutineTable& routines,
                                     const StopWords& stops);

ValidCommandSuccess Pass() {
    ValidCommandSuccess r;
    r.ok = true;
    return r;
}

ValidCommandSuccess Fail(std::string message, int32_t code = 0, int32_t position = 0) {
    ValidCommandSuccess r;
    r.ok = false;
    r.message = std::move(message);
    r.code = code;
    r.position = position;
    return r;
}

std::string EndOfLineExpected(std::string_view found) {
    return "end of line expected, however <" + std::string(found) + "> found.";
}

// The default of every entry, and the rule for command words outside the table.
ValidCommandSuccess NullCommandRule(const Args&, const RoutineTable&, const StopWords&) {
    DebugTrace(TraceLevel::VALIDATOR, "**** NULL COMMAND, Validator end");
    DebugTrace(TraceLevel::VALIDATOR, "**** NULL COMMAND, Validator end");
    return Pass();
}

ValidCommandSuccess CommentRule(const Args&, const RoutineTable&, const StopWords&) {
    DebugTrace(TraceLevel::VALIDATOR, "**** REM COMMAND, Validator started");
    DebugTrace(TraceLevel::VALIDATOR, "**** REM COMMAND, Validator end");
    return Pass();
}

ValidCommandSuccess NoArgumentsRule(const Args& args, const RoutineTable&, const StopWords&) {
    if (args[0].empty()) return Pass();
    return Fail(EndOfLineExpected(args[0]));
}

// The tokens from position 0 on, with up to `count` tokens listed for a trace line.
std::string TraceParameters(const Args& args, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += "  ";
        text += args[i];
    }
    return text;
}

ValidCommandSuccess AcceptingRule(const char* name, const Args& args, bool traceParameters) {
    DebugTrace(TraceLevel::VALIDATOR, std::string("**** ") + name + " COMMAND, Validator started");
    if (traceParameters) {
        DebugTrace(TraceLevel::VALIDATOR,
                   "Parameters (Tokens) Passed (Max9) :" + TraceParameters(args, 9));
    }
    DebugTrace(TraceLevel::VALIDATOR, std::string("**** ") + name + " COMMAND, Validator end");
    return Pass();
}

ValidCommandSuccess RectangleRule(const Args& args, const RoutineTable&, const StopWords&) {
    return AcceptingRule("BAR/BOX", args, false);
}

ValidCommandSuccess RandomizeRule(const Args& args, const RoutineTable&, const StopWords&) {
    return AcceptingRule("RANDOMIZE", args, false);
}

ValidCommandSuccess PlotRule(const Args& args, const RoutineTable&, const StopWords&) {
    return AcceptingRule("PLOT", args, true);
}

const char* const kExpressionErrors = "there was an errors in the expression.";

// Runs the reducer from `position` and the checker on what it leaves. Empty on success, else
// the failure's message.
bool CheckValueAt(const Args& args, int position, const RoutineTable& routines,
                  const StopWords& stops, ValidCommandSuccess& failure) {
    std::vector<std::string> reduced;
    TStandard_Return r = ReduceExpression(args, position, stops, routines, reduced);
    if (!r.ok) {
        failure = Fail(r.message, r.code, position);
        return false;
    }
    if (!CheckExpression(reduced)) {
        failure = Fail(kExpressionErrors, 0, position);
        return false;
    }
    return true;
}

// ADD variable , expression
ValidCommandSuccess AddRule(const Args& args, const RoutineTable& routines,
                            const StopWords& stops) {
    if (!IsValidName(args[0])) return Fail(std::string(args[0]) + " is not a valid variable name.");
    if (args[1] != ",")
        return Fail("`,` expected, but <" + std::string(args[1]) + "> found.", 0, 1);
    ValidCommandSuccess failure;
    if (!CheckValueAt(args, 2, routines, stops, failure)) return failure;
    return Pass();
}

// TWOS LOCK, TWOS TO FRONT, TWOS TO BACK
ValidCommandSuccess TwosRule(const Args& args, const RoutineTable&, const StopWords&) {
    if (EqualsUpper(args[0], "LOCK") && !args[1].empty()) return Fail(EndOfLineExpected(args[1]));
    if (EqualsUpper(args[0], "TO")) {
        if (!EqualsUpper(args[1], "FRONT") && !EqualsUpper(args[1], "BACK")) {
            return Fail("expected FRONT or BACK, after TWOS TO command.");
        }
        if (!args[2].empty()) return Fail(EndOfLineExpected(args[2]));
    }
    return Pass();
}

// AUTO UPDATE|PRIORITY ON|OFF
ValidCommandSuccess AutoRule(const Args& args, const RoutineTable&, const StopWords&) {
    const char* kEndOfLine = "Error <12> : Unexpected end of line found.";
    if (!EqualsUpper(args[0], "UPDATE") && !EqualsUpper(args[0], "PRIORITY")) {
        if (args[0].empty()) return Fail(kEndOfLine, 12);
        return Fail(
            "Error <14> : Expected `UPDATE` or `PRIORITY`, found <" + std::string(args[0]) + ">",
            14);
    }
    if (args[1].empty()) return Fail(kEndOfLine, 12, 1);
    if (!EqualsUpper(args[1], "ON") && !EqualsUpper(args[1], "OFF")) {
        return Fail("Error <13> : Expected `On` Or `Off`, but <" + std::string(args[1]) + "> found",
                    13, 1);
    }
    if (!args[2].empty()) return Fail("Error <11> : Expected end of line.", 11, 2);
    return Pass();
}

// APPEAR screen TO screen [, speed [, x1, y1, x2, y2]]: each value is one token at a fixed
// position; a whole-number literal is range-checked, anything else only checked as an
// expression.
ValidCommandSuccess AppearRule(const Args& args, const RoutineTable& routines,
                               const StopWords& stops) {
    ValidCommandSuccess failure;
    auto value = [&](int position, int low, int high, const char* rangeMessage, int32_t code) {
        if (!CheckValueAt(args, position, routines, stops, failure)) return false;
        int32_t literal;
        if (rangeMessage && ParseWholeNumber(args[position], literal) &&
            (literal < low || literal > high)) {
            failure = Fail(rangeMessage, code, position);
            return false;
        }
        return true;
    };
    auto separatorMissing = [](std::string_view found, int position) {
        return Fail("Error <9> : Expected semi-colon `,` but found <" + std::string(found) + ">", 9,
                    position);
    };
    const char* kScreen = "Error <6> : Illegal screen number.";
    if (!value(0, 0, 15, kScreen, 6)) return failure;
    if (!EqualsUpper(args[1], "TO")) {
        return Fail("Error <7> : `TO` expected, <" + std::string(args[1]) + "> found.", 7, 1);
    }
    if (!value(2, 0, 15, kScreen, 6)) return failure;
    if (args[3].empty()) return Pass();
    if (args[3] != ",") return separatorMissing(args[3], 3);
    if (!value(4, 1, 50, "Error <8> : Illegal APPEAR speed, value must be between 1 and 50.", 8))
        return failure;
    if (args[5].empty()) return Pass();
    if (args[5] != ",") return separatorMissing(args[5], 5);
    for (int position : {6, 8, 10, 12}) {
        if (!value(position, 0, 0, nullptr, 0)) return failure;
    }
    for (int position : {7, 9, 11}) {
        if (args[position] != ",") return separatorMissing(args[position], position);
    }
    if (!args[13].empty()) return Fail("Error <11> : Expected end of line.", 11, 13);
    return Pass();
}

struct RuleBinding {
    ValidationId id;
    Rule rule;
};

constexpr RuleBinding kRules[] = {
    {ValidationId::ADD, AddRule},
    {ValidationId::TWOS, TwosRule},
    {ValidationId::APPEAR, AppearRule},
    {ValidationId::AUTO, AutoRule},
    {ValidationId::BAR, RectangleRule},
    {ValidationId::BOX, RectangleRule},
    {ValidationId::BELL, NoArgumentsRule},
    {ValidationId::BOOM, NoArgumentsRule},
    {ValidationId::RESETKEYS, NoArgumentsRule},
    {ValidationId::CLOSEEDITOR, NoArgumentsRule},
    {ValidationId::DEFAULT, NoArgumentsRule},
    {ValidationId::DXM, NoArgumentsRule},
    {ValidationId::EDITOR, NoArgumentsRule},
    {ValidationId::HOME, NoArgumentsRule},
    {ValidationId::MONITOR, NoArgumentsRule},
    {ValidationId::MULTIWAIT, NoArgumentsRule},
    {ValidationId::RETURN, NoArgumentsRule},
    {ValidationId::SHOOT, NoArgumentsRule},
    {ValidationId::STOP, NoArgumentsRule},
    {ValidationId::SYSTEM, NoArgumentsRule},
    {ValidationId::PLOT, PlotRule},
    {ValidationId::RANDOMIZE, RandomizeRule},
    {ValidationId::REM, CommentRule},
    {ValidationId::APOSTROPHE, CommentRule},
};

// The 144 entries: every one starts with the accepting rule; 24 get their own.
std::array<Rule, kValidationCommandCount> BuildRuleTable() {
    std::array<Rule, kValidationCommandCount> table;
    table.fill(NullCommandRule);
    for (const RuleBinding& binding : kRules) table[Index(binding.id)] = binding.rule;
    return table;
}

const std::array<Rule, kValidationCommandCount>& RuleTable() {
    static const auto table = BuildRuleTable();
    return table;
}

}  // namespace

void CommandValidationRules::BeginPass() {
    stops_.Set();
}

void CommandValidationRules::EndPass() {
    stops_.Clear();
}

ValidCommandSuccess CommandValidationRules::Check(int entry, const Args& args,
                                                  const RoutineTable& routines) {
    if (entry < 0 || entry >= kValidationCommandCount)
        return NullCommandRule(args, routines, stops_);
    return RuleTable()[entry](args, routines, stops_);
}

ValidCommandSuccess CommandValidationRules::CheckUnlisted(const Args& args,
                                                          const RoutineTable& routines) {
    return NullCommandRule(args, routines, stops_);
}

}  // namespace tw
