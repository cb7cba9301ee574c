// SET, OUTPUTDEBUG and the function NOT.

#include <exception>

#include "commands/registry.h"
#include "frontend/names.h"
#include "interpreter/expression.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// Adds the text of its expression as a line of the debug window, when that window is shown.
void OutputDebugCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    EvalResult value = Evaluate(in, args);
    if (!value.ok) {
        result.CopyFailure(value);
        return;
    }
    try {
        if (in.host.DebugShown()) in.host.DebugOutput(TextOf(value.value));
    } catch (const std::exception&) {
        result.Fail(-1, 1, "OutputDebug() failed.");
    }
}

// SET selects its form by its first word; a word that matches no form does nothing.
void SetCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    UpperCopy word(args[0]);
    if (word.view() == "AUTO") {
        // SET AUTO UPDATE ON; any other word switches automatic updating off.
        in.run.autoScreenUpdate = EqualsUpper(args[2], "ON");
    } else if (word.view() == "CURS") {
        // SET CURS ( a , b , c , d , e , f , g , h ): whole-number literals only; the values
        // have no further effect.
        for (int position = 2; position <= 16; position += 2) {
            int32_t value;
            if (!ParseWholeNumber(args[position], value)) {
                result.Fail(58, 0,
                            "RTE (58) - SET CURS failed. One or more parameters are not simple "
                            "integer values - Expressions are not allowed.");
                return;
            }
        }
    }
}

// NOT(x): -1 for 0 (True), 0 for -1 (False); anything else is no truth value.
void NotFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    result.ok = true;
    EvalResult value = Evaluate(in, args);
    if (!value.ok) {
        result.CopyFailure(value);
        return;
    }
    int32_t whole = 0;
    if (!ParseWholeNumber(TextOf(value.value), whole) || (whole != kTrue && whole != kFalse)) {
        result.Fail(65, 1, kMsgLogicalOperator);
        return;
    }
    result.value = Value::Int(whole == kTrue ? kFalse : kTrue);
}

}  // namespace

void RegisterMiscCommands(CommandTable& commands, FunctionTable& functions) {
    commands.Bind(CommandId::SET, SetCommand);
    commands.Bind(CommandId::OUTPUTDEBUG, OutputDebugCommand);
    functions.Bind(FunctionId::NOT, NotFunction);
}

}  // namespace tw
