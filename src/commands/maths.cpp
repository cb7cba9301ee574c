// Maths: the numeric functions, the angle mode, the random generator, and the commands that
// change numeric variables (INC, DEC, ADD, SUB).

#include <cmath>

#include "commands/registry.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"
#include "interpreter/random.h"

namespace tw {

namespace {

constexpr double kPi = 3.1415926535897932385;
constexpr double kRadiansToDegrees = 57.295779513082320877;

// What degree mode does to a one-argument function.
enum class Angle : uint8_t {
    Ignored,     // the mode is not consulted
    ArgumentIn,  // in degree mode the argument is taken in degrees
    ResultOut,   // in degree mode the resulting angle is given in degrees
};

// One-argument functions: all the call's tokens are one expression, converted to real. Anything
// that is not a finite real (a text, an overflow, a logarithm of 0) is the function's failure.
void OneArgument(Interpreter& in, const Args& args, FunctionResult& result,
                 double (*compute)(double), Angle angle, int32_t code, const char* message) {
    result.ok = true;
    EvalResult value = Evaluate(in, args);
    if (!value.ok) {
        result.CopyFailure(value);
        return;
    }
    const bool degrees = in.run.angleUnit == AngleUnit::Degrees;
    double x;
    if (!ToDouble(value.value, x)) {
        result.Fail(code, 0, message);
        return;
    }
    if (angle == Angle::ArgumentIn && degrees) x = x / kRadiansToDegrees;
    double y = compute(x);
    if (angle == Angle::ResultOut && degrees) y *= kRadiansToDegrees;
    if (!std::isfinite(y)) {
        result.Fail(code, 0, message);
        return;
    }
    result.value = Value::Real(y);
}

#define TW_ONE_ARGUMENT(Name, compute, angle, code, message)               \
    void Name(Interpreter& in, const Args& args, FunctionResult& result) { \
        OneArgument(in, args, result, compute, angle, code, message);      \
    }

double Clamp1(double x) {
    return x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x);
}
double Acos(double x) {
    return std::acos(Clamp1(x));
}
double Asin(double x) {
    return std::asin(Clamp1(x));
}
double Tanh(double x) {
    if (x > 5678.22249441322) return 1.0;
    if (x < -5678.22249441322) return -1.0;
    return std::tanh(x);
}
double Log10(double x) {
    return x > 0 ? std::log10(x) : NAN;
}
double Ln(double x) {
    return x > 0 ? std::log(x) : NAN;
}
double Square(double x) {
    return x * x;
}
double Absolute(double x) {
    return std::fabs(x);
}
double Truncate(double x) {
    return std::trunc(x);
}
double Cos(double x) {
    return std::cos(x);
}
double Sin(double x) {
    return std::sin(x);
}
double Tan(double x) {
    return std::tan(x);
}
double Atan(double x) {
    return std::atan(x);
}
double Cosh(double x) {
    return std::cosh(x);
}
double Sinh(double x) {
    return std::sinh(x);
}
double Exp(double x) {
    return std::exp(x);
}

TW_ONE_ARGUMENT(CosFunction, Cos, Angle::ArgumentIn, 35, "RTE (35) - COS, invalid value passed.")
TW_ONE_ARGUMENT(SinFunction, Sin, Angle::ArgumentIn, 36, "RTE (36) - SIN, invalid value passed.")
TW_ONE_ARGUMENT(TanFunction, Tan, Angle::Ignored, 48,
                "RTE (48) - Tan function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(AcosFunction, Acos, Angle::ResultOut, 49, "RTE (49) - ACOS, invalid value passed.")
TW_ONE_ARGUMENT(AsinFunction, Asin, Angle::ResultOut, 51, "RTE (51) - ASIN, invalid value passed.")
TW_ONE_ARGUMENT(AtanFunction, Atan, Angle::Ignored, 53,
                "RTE (53) - ATan function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(HcosFunction, Cosh, Angle::Ignored, 50, "RTE (50) - HCOS, invalid value passed.")
TW_ONE_ARGUMENT(HsinFunction, Sinh, Angle::Ignored, 52, "RTE (52) - HSIN, invalid value passed.")
TW_ONE_ARGUMENT(HtanFunction, Tanh, Angle::Ignored, 54,
                "RTE (54) - HTAN function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(AbsFunction, Absolute, Angle::Ignored, 43,
                "RTE (43) - ABS function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(IntFunction, Truncate, Angle::Ignored, 44,
                "RTE (44) - INT function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(SqrFunction, Square, Angle::Ignored, 45,
                "RTE (45) - SQR function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(ExpFunction, Exp, Angle::Ignored, 46,
                "RTE (46) - EXP function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(LogFunction, Log10, Angle::Ignored, 47,
                "RTE (47) - LOG function failed, value passed was not valid and/or not of the "
                "correct type")
TW_ONE_ARGUMENT(LnFunction, Ln, Angle::Ignored, 48,
                "RTE (48) - LN function failed, value passed was not valid and/or not of the "
                "correct type")

#undef TW_ONE_ARGUMENT

void RandomFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Real(NextRandom());
}

void PiFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Real(kPi);
}

void TickCountFunction(Interpreter& in, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Int(static_cast<int32_t>(in.host.TickCount()));
}

// The value comparison: two texts compare as texts, otherwise both must be numbers.
// -1, 0 or 1 for a < b, a = b, a > b; false when the two cannot be compared.
bool CompareValues(const Value& a, const Value& b, int& order) {
    if (a.IsStr() && b.IsStr()) {
        int c = a.s.compare(b.s);
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
        return true;
    }
    double x, y;
    if (!ToDouble(a, x) || !ToDouble(b, y)) return false;
    order = x < y ? -1 : (x > y ? 1 : 0);
    return true;
}

// MAX(a, b): -1 when a is the larger, 1 when b is, 0 when equal. MIN mirrors it.
void Extreme(Interpreter& in, const Args& args, FunctionResult& result, bool largest, int32_t code,
             const char* message) {
    result.ok = true;
    Args parts[2];
    SplitArguments(args, 2, parts);
    Value values[2];
    for (int i = 0; i < 2; ++i) {
        EvalResult value = Evaluate(in, parts[i]);
        if (!value.ok) {
            result.CopyFailure(value);
            return;
        }
        values[i] = std::move(value.value);
    }
    int order;
    if (!CompareValues(values[0], values[1], order)) {
        result.Fail(code, 0, message);
        return;
    }
    result.value = Value::Int(order == 0 ? 0 : ((order > 0) == largest ? -1 : 1));
}

void MaxFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    Extreme(in, args, result, true, 41,
            "RTE (41) - MAX Function failed, value passed were invalid and/or not of matching "
            "type.");
}

void MinFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    Extreme(in, args, result, false, 42,
            "RTE (42) - MIN Function failed, value passed were invalid and/or not of matching "
            "type.");
}

void SgnFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    result.ok = true;
    EvalResult value = Evaluate(in, args);
    if (!value.ok) {
        result.CopyFailure(value);
        return;
    }
    int order;
    if (!CompareValues(value.value, Value::Int(0), order)) {
        result.Fail(43, 0,
                    "RTE (43) - SGN function failed, value passed was not valid and/or not of the "
                    "correct type");
        return;
    }
    result.value = Value::Int(order);
}

void DegreeCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    in.run.angleUnit = AngleUnit::Degrees;
}

void RadianCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    in.run.angleUnit = AngleUnit::Radians;
}

const char* const kMsgMathsParameters = "RTE (38) - Invalid parameters passed to maths function.";

// Evaluates an argument to an integer; a value that does not convert is code 38.
bool MathsInteger(Interpreter& in, const Args& tokens, int32_t& out, TResult& result) {
    EvalResult value = Evaluate(in, tokens);
    if (!value.ok) {
        result.CopyFailure(value);
        return false;
    }
    if (!ToInt32(value.value, out)) {
        result.Fail(38, 0, kMsgMathsParameters);
        return false;
    }
    return true;
}

// RANDOMIZE n sets the seed; RANDOMIZE alone advances it by one.
void RandomizeCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    if (args[0].empty()) {
        ++RandomSeed();
        return;
    }
    Expression expr;
    int position = 0;
    CollectExpression(args, position, ",", "", expr, result);
    int32_t seed;
    if (!result.ok || !MathsInteger(in, expr.AsArgs(), seed, result)) return;
    RandomSeed() = static_cast<uint32_t>(seed);
}

// INC and DEC: the variable's value plus or minus 1 (a real stays real); no variable of that
// name: nothing happens.
void Step(Interpreter& in, const Args& args, CommandResult& result, int amount) {
    result.ok = true;
    int slot = in.variables.Find(UpperCopy(args[0]));
    if (slot < 0) return;
    Value next;
    if (!AddToValue(in.variables[slot].value, amount, next)) {
        result.Fail(20, 0, kMsgTypeMismatch);
        return;
    }
    in.variables[slot].value = std::move(next);
}

void IncCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Step(in, args, result, 1);
}
void DecCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Step(in, args, result, -1);
}

// ADD name, amount [, low TO high] and SUB: integer arithmetic (wrapping at 32 bits), then the
// range wraps around: above high becomes low, below low becomes high.
void AddOrSubtract(Interpreter& in, const Args& args, CommandResult& result, bool subtract) {
    result.ok = true;
    UpperCopy name(args[0]);
    Expression expr;
    int position = 2;
    int32_t amount, low = 0, high = 0;
    CollectExpression(args, position, ",", "", expr, result);
    if (!result.ok || !MathsInteger(in, expr.AsArgs(), amount, result)) return;
    const bool ranged = !args[position + 2].empty();
    if (ranged) {
        position += 2;
        CollectExpression(args, position, "TO", "", expr, result);
        if (!result.ok || !MathsInteger(in, expr.AsArgs(), low, result)) return;
        position += 2;
        CollectExpression(args, position, "", "", expr, result);
        if (!result.ok || !MathsInteger(in, expr.AsArgs(), high, result)) return;
    }
    int slot = in.variables.Find(name);
    if (slot < 0) {
        std::string text = subtract ? "RTE (40) - SUB command failed, could not find variable <"
                                    : "RTE (39) - ADD Command failed, could not find variable <";
        result.Fail(subtract ? 40 : 39, 0, text + std::string(name.view()) + ">.");
        return;
    }
    int32_t current;
    if (!ToInt32(in.variables[slot].value, current)) {
        result.Fail(38, 0, kMsgMathsParameters);
        return;
    }
    uint32_t sum = subtract ? static_cast<uint32_t>(current) - static_cast<uint32_t>(amount)
                            : static_cast<uint32_t>(current) + static_cast<uint32_t>(amount);
    int32_t v = static_cast<int32_t>(sum);
    if (ranged) {
        if (v > high) v = low;
        if (v < low) v = high;
    }
    in.variables[slot].value = Value::Int(v);
}

void AddCommand(Interpreter& in, const Args& args, CommandResult& result) {
    AddOrSubtract(in, args, result, false);
}

void SubCommand(Interpreter& in, const Args& args, CommandResult& result) {
    AddOrSubtract(in, args, result, true);
}

}  // namespace

void RegisterMathsCommands(CommandTable& commands, FunctionTable& functions) {
    functions.Bind(FunctionId::RANDOM, RandomFunction);
    functions.Bind(FunctionId::PI, PiFunction);
    functions.Bind(FunctionId::TICKCOUNT, TickCountFunction);
    functions.Bind(FunctionId::COS, CosFunction);
    functions.Bind(FunctionId::SIN, SinFunction);
    functions.Bind(FunctionId::TAN, TanFunction);
    functions.Bind(FunctionId::ACOS, AcosFunction);
    functions.Bind(FunctionId::ASIN, AsinFunction);
    functions.Bind(FunctionId::ATAN, AtanFunction);
    functions.Bind(FunctionId::HCOS, HcosFunction);
    functions.Bind(FunctionId::HSIN, HsinFunction);
    functions.Bind(FunctionId::HTAN, HtanFunction);
    functions.Bind(FunctionId::MAX, MaxFunction);
    functions.Bind(FunctionId::MIN, MinFunction);
    functions.Bind(FunctionId::SGN, SgnFunction);
    functions.Bind(FunctionId::ABS, AbsFunction);
    functions.Bind(FunctionId::INT, IntFunction);
    functions.Bind(FunctionId::SQR, SqrFunction);
    functions.Bind(FunctionId::EXP, ExpFunction);
    functions.Bind(FunctionId::LOG, LogFunction);
    functions.Bind(FunctionId::LN, LnFunction);

    commands.Bind(CommandId::DEGREE, DegreeCommand);
    commands.Bind(CommandId::RADIAN, RadianCommand);
    commands.Bind(CommandId::RANDOMIZE, RandomizeCommand);
    commands.Bind(CommandId::INC, IncCommand);
    commands.Bind(CommandId::DEC, DecCommand);
    commands.Bind(CommandId::ADD, AddCommand);
    commands.Bind(CommandId::SUB, SubCommand);
}

}  // namespace tw
