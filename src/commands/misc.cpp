// SET, OUTPUTDEBUG, RESOLUTION and the function NOT.

#include <exception>

#include "commands/registry.h"
#include "display/screens.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
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
    } else if (word.view() == "LINE") {
        // SET LINE n: the line style of the shared pen and of the current screen's pen.
        int32_t style;
        if (!EvaluateInteger(in, args.From(1), style, result)) return;
        if (style < 0 || style > 5) {
            result.Fail(22, 1,
                        "RTE (22) - Set Line command failed, line style value was out of bounds");
            return;
        }
        Screens& s = ScreensOf(in);
        s.defaultPen.style = static_cast<PenStyle>(style);
        if (ScreenRecord* r = s.Open(s.currentScreen)) {
            r->surface->Canvas().penStyle = static_cast<PenStyle>(style);
        }
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

// RESOLUTION 320X240 | 640X480 | 800X600 | 1024X768: a new display mode; every screen but a
// fresh screen 0 is closed.
void ResolutionCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    struct Mode {
        const char* word;
        int width, height;
        TDisplayMode mode;
    };
    static const Mode kModes[] = {{"320X240", 320, 240, TDisplayMode::dm320x240x8},
                                  {"640X480", 640, 480, TDisplayMode::dm640x480x8},
                                  {"800X600", 800, 600, TDisplayMode::dm800x600x8},
                                  {"1024X768", 1024, 768, TDisplayMode::dm1024x768x8}};
    for (const Mode& m : kModes) {
        if (!EqualsUpper(args[0], m.word)) continue;
        Screens& s = ScreensOf(in);
        s.displayWidth = m.width;
        s.displayHeight = m.height;
        s.displayMode = m.mode;
        StopDisplay(in);
        StartDisplay(in);
        return;
    }
    result.Fail(93, 1,
                "RTE (93) - Resolution change failed, Unknown or Unsupported resolution passed to "
                "command.");
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
    commands.Bind(CommandId::RESOLUTION, ResolutionCommand);
    functions.Bind(FunctionId::NOT, NotFunction);
}

}  // namespace tw
