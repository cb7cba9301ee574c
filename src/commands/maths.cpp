// Maths: the numeric functions, the angle mode, the random generator, and the commands that
// change numeric variables (INC, DEC, ADD, SUB).

#include <cmath>

#include "commands/registry.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

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
// The function's value at x in the angle mode; false when it is no finite real.
bool OneArgumentValue(const Interpreter& in, double x, double (*compute)(double), Angle angle,
                      double& y) {
    const bool degrees = in.run.angleUnit == AngleUnit::Degrees;
    if (angle == Angle::ArgumentIn && degrees) x = x / kRadiansToDegrees;
    y = compute(x);
    if (angle == Angle::ResultOut && degrees) y *= kRadiansToDegrees;
    return std::isfinite(y);
}

void OneArgument(Interpreter& in, const Args& args, FunctionResult& result,
                 double (*compute)(double), Angle angle, ErrorId failure) {
    result.ok = true;
    double x, y;
    if (!ArgCursor(in, args, result).Whole().OnBadValue(failure).Real(x)) return;
    if (!OneArgumentValue(in, x, compute, angle, y)) {
        result.FailWith(failure, 0);
        return;
    }
    result.value = Value::Real(y);
}

// The quick form: the argument's value, converted as the handler converts it.
bool OneArgumentQuick(Interpreter& in, const Value& argument, double (*compute)(double),
                      Angle angle, Value& out) {
    double x, y;
    if (!ToDouble(argument, x) || !OneArgumentValue(in, x, compute, angle, y)) return false;
    out.type = ValueType::Real;
    out.r = y;
    return true;
}

#define TW_ONE_ARGUMENT(Name, compute, angle, failure)                     \
    void Name(Interpreter& in, const Args& args, FunctionResult& result) { \
        OneArgument(in, args, result, compute, angle, failure);            \
    }                                                                      \
    bool Name##Quick(Interpreter& in, Value* args, Value& out) {           \
        return OneArgumentQuick(in, args[0], compute, angle, out);         \
    }                                                                      \
    bool Name##Number(const Interpreter& in, double x, double& y) {        \
        return OneArgumentValue(in, x, compute, angle, y);                 \
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

TW_ONE_ARGUMENT(CosFunction, Cos, Angle::ArgumentIn, ErrorId::CosValue)
TW_ONE_ARGUMENT(SinFunction, Sin, Angle::ArgumentIn, ErrorId::SinValue)
TW_ONE_ARGUMENT(TanFunction, Tan, Angle::Ignored, ErrorId::TanValue)
TW_ONE_ARGUMENT(AcosFunction, Acos, Angle::ResultOut, ErrorId::AcosValue)
TW_ONE_ARGUMENT(AsinFunction, Asin, Angle::ResultOut, ErrorId::AsinValue)
TW_ONE_ARGUMENT(AtanFunction, Atan, Angle::Ignored, ErrorId::AtanValue)
TW_ONE_ARGUMENT(HcosFunction, Cosh, Angle::Ignored, ErrorId::HcosValue)
TW_ONE_ARGUMENT(HsinFunction, Sinh, Angle::Ignored, ErrorId::HsinValue)
TW_ONE_ARGUMENT(HtanFunction, Tanh, Angle::Ignored, ErrorId::HtanValue)
TW_ONE_ARGUMENT(AbsFunction, Absolute, Angle::Ignored, ErrorId::AbsValue)
TW_ONE_ARGUMENT(IntFunction, Truncate, Angle::Ignored, ErrorId::IntValue)
TW_ONE_ARGUMENT(SqrFunction, Square, Angle::Ignored, ErrorId::SqrValue)
TW_ONE_ARGUMENT(ExpFunction, Exp, Angle::Ignored, ErrorId::ExpValue)
TW_ONE_ARGUMENT(LogFunction, Log10, Angle::Ignored, ErrorId::LogValue)
TW_ONE_ARGUMENT(LnFunction, Ln, Angle::Ignored, ErrorId::LnValue)

#undef TW_ONE_ARGUMENT

void RandomFunction(Interpreter& in, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Real(in.random.NextReal());
}

void PiFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Real(kPi);
}

void TickCountFunction(Interpreter& in, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Int(static_cast<int32_t>(in.host.SystemTickCount()));
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
void Extreme(Interpreter& in, const Args& args, FunctionResult& result, bool largest,
             ErrorId failure) {
    result.ok = true;
    ArgCursor a(in, args, result);
    a.Parts(2);
    Value values[2];
    if (!a.Read(values[0]) || !a.Read(values[1])) return;
    int order;
    if (!CompareValues(values[0], values[1], order)) {
        result.FailWith(failure, 0);
        return;
    }
    result.value = Value::Int(order == 0 ? 0 : ((order > 0) == largest ? -1 : 1));
}

void MaxFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    Extreme(in, args, result, true, ErrorId::MaxValues);
}

void MinFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    Extreme(in, args, result, false, ErrorId::MinValues);
}

void SgnFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    result.ok = true;
    Value value;
    if (!ArgCursor(in, args, result).Whole().Read(value)) return;
    int order;
    if (!CompareValues(value, Value::Int(0), order)) {
        result.Fail(ErrorId::SgnValue, 0);
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

// RANDOMIZE n sets the seed; RANDOMIZE alone advances it by one.
void RandomizeCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    ArgCursor a(in, args, result);
    if (a.AtEnd()) {
        ++in.random.seed;
        return;
    }
    int32_t seed;
    if (!a.OnBadValue(ErrorId::MathsParameters).Integer(seed)) return;
    in.random.seed = static_cast<uint32_t>(seed);
}

// INC and DEC: the variable's value plus or minus 1 (a real stays real); no variable of that
// name: nothing happens.
void Step(Interpreter& in, const Args& args, CommandResult& result, int amount) {
    result.ok = true;
    int slot = in.variables.Find(UpperCopy(args[0]));
    if (slot < 0) return;
    Value next;
    if (!AddToValue(in.variables[slot].value, amount, next)) {
        result.Fail(ErrorId::TypeMismatch, 0);
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
    // After the name and ",": the amount, then optionally ", low TO high".
    ArgCursor a(in, args, result, 2);
    a.OnBadValue(ErrorId::MathsParameters);
    int32_t amount, low = 0, high = 0;
    if (!a.Integer(amount)) return;
    const bool ranged = !a.AtEnd();
    if (ranged && (!a.StopAt("TO").Integer(low) || !a.StopAt({}).Integer(high))) return;
    int slot = in.variables.Find(name);
    if (slot < 0) {
        if (subtract) {
            result.Fail(ErrorId::SubNoVariable, 0, name.view());
        } else {
            result.Fail(ErrorId::AddNoVariable, 0, name.view());
        }
        return;
    }
    int32_t current;
    if (!ToInt32(in.variables[slot].value, current)) {
        result.Fail(ErrorId::MathsParameters, 0);
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
    functions.BindQuick(FunctionId::COS, CosFunctionQuick, 0, CosFunctionNumber);
    functions.Bind(FunctionId::SIN, SinFunction);
    functions.BindQuick(FunctionId::SIN, SinFunctionQuick, 0, SinFunctionNumber);
    functions.Bind(FunctionId::TAN, TanFunction);
    functions.BindQuick(FunctionId::TAN, TanFunctionQuick, 0, TanFunctionNumber);
    functions.Bind(FunctionId::ACOS, AcosFunction);
    functions.BindQuick(FunctionId::ACOS, AcosFunctionQuick, 0, AcosFunctionNumber);
    functions.Bind(FunctionId::ASIN, AsinFunction);
    functions.BindQuick(FunctionId::ASIN, AsinFunctionQuick, 0, AsinFunctionNumber);
    functions.Bind(FunctionId::ATAN, AtanFunction);
    functions.BindQuick(FunctionId::ATAN, AtanFunctionQuick, 0, AtanFunctionNumber);
    functions.Bind(FunctionId::HCOS, HcosFunction);
    functions.BindQuick(FunctionId::HCOS, HcosFunctionQuick, 0, HcosFunctionNumber);
    functions.Bind(FunctionId::HSIN, HsinFunction);
    functions.BindQuick(FunctionId::HSIN, HsinFunctionQuick, 0, HsinFunctionNumber);
    functions.Bind(FunctionId::HTAN, HtanFunction);
    functions.BindQuick(FunctionId::HTAN, HtanFunctionQuick, 0, HtanFunctionNumber);
    functions.Bind(FunctionId::MAX, MaxFunction);
    functions.Bind(FunctionId::MIN, MinFunction);
    functions.Bind(FunctionId::SGN, SgnFunction);
    functions.Bind(FunctionId::ABS, AbsFunction);
    functions.BindQuick(FunctionId::ABS, AbsFunctionQuick, 0, AbsFunctionNumber);
    functions.Bind(FunctionId::INT, IntFunction);
    functions.BindQuick(FunctionId::INT, IntFunctionQuick, 0, IntFunctionNumber);
    functions.Bind(FunctionId::SQR, SqrFunction);
    functions.BindQuick(FunctionId::SQR, SqrFunctionQuick, 0, SqrFunctionNumber);
    functions.Bind(FunctionId::EXP, ExpFunction);
    functions.BindQuick(FunctionId::EXP, ExpFunctionQuick, 0, ExpFunctionNumber);
    functions.Bind(FunctionId::LOG, LogFunction);
    functions.BindQuick(FunctionId::LOG, LogFunctionQuick, 0, LogFunctionNumber);
    functions.Bind(FunctionId::LN, LnFunction);
    functions.BindQuick(FunctionId::LN, LnFunctionQuick, 0, LnFunctionNumber);

    commands.Bind(CommandId::DEGREE, DegreeCommand);
    commands.Bind(CommandId::RADIAN, RadianCommand);
    commands.Bind(CommandId::RANDOMIZE, RandomizeCommand);
    commands.Bind(CommandId::INC, IncCommand);
    commands.Bind(CommandId::DEC, DecCommand);
    commands.Bind(CommandId::ADD, AddCommand);
    commands.Bind(CommandId::SUB, SubCommand);
}

}  // namespace tw
