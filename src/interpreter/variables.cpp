#include "interpreter/variables.h"

#include "interpreter/expression.h"
#include "interpreter/interpreter.h"

namespace tw {

void VariableTable::Reset() {
    for (auto& slot : slots_) slot = Variable{};
    for (auto& g : generations_) ++g;
    members_.fill(0);
    free_ = (uint64_t{1} << kSlots) - 1;
    owned_ = 0;
    for (size_t i = 0; i < kConstants.size(); ++i) {
        Variable& v = slots_[i];
        v.name = std::string(kConstants[i].name);
        v.kind = static_cast<uint8_t>(VariableKind::Integer);
        v.value = Value::Int(kConstants[i].value);
        v.isLocal = false;
        List(static_cast<int>(i));
    }
}

AssignmentResult AssignVariable(Interpreter& in, std::string_view upperName, const Args& tokens) {
    AssignmentResult result;
    const int slot = in.variables.Find(upperName);
    if (slot < 0) {
        // Every caller creates the variable first; refuse rather than overwrite TRUE.
        result.Fail(ErrorId::VariableMissing, 0, upperName);
        return result;
    }
    return AssignSlot(in, slot, tokens, nullptr);
}

AssignmentResult AssignSlot(Interpreter& in, int slot, const Args& tokens, RowCache* cache) {
    AssignmentResult result;
    result.index = slot;
    EvalResult value = CollectAndEvaluate(in, tokens, 0, cache);
    if (!value.ok) {
        result.CopyFailure(value);
        return result;
    }
    Variable& v = in.variables[slot];
    const size_t length = value.value.s.size();
    if (length >= kBigText && in.TextsHeld() - v.value.s.size() + length > kTextBudget) {
        result.Fail(ErrorId::OutOfMemory, 0);
        return result;
    }
    v.value = std::move(value.value);
    switch (value.kind) {
        case ExpressionKind::Integer:
            v.kind = static_cast<uint8_t>(VariableKind::Integer);
            break;
        case ExpressionKind::Real:
            v.kind = static_cast<uint8_t>(VariableKind::Real);
            break;
        case ExpressionKind::String:
            v.kind = static_cast<uint8_t>(VariableKind::String);
            break;
    }
    return result;
}

namespace {

// What assigning Value::Int(number) or Value::Real(number) leaves, without a new value.
void SetNumber(Value& target, ValueType type, double number) {
    target.type = type;
    if (type == ValueType::Int) {
        target.i = static_cast<int32_t>(number);
    } else {
        target.r = number;
    }
    if (!target.s.empty()) std::string().swap(target.s);
}

// Creates the variable in the lowest free slot, as the integer 0: it exists while its
// expression is evaluated, so the expression may name it. False with the failure when the table
// is full.
bool CreateVariable(Interpreter& in, std::string_view upperName, Scope scope,
                    AssignmentResult& result) {
    const int slot = in.variables.FirstFree();
    if (slot < 0) {
        result.Fail(ErrorId::VariableTableFull, 0, upperName);
        return false;
    }
    Variable& v = in.variables[slot];
    in.variables.Claim(slot, upperName);
    if (scope == Scope::Local) {
        v.isLocal = true;
        in.variables.SetOwner(slot, in.procedures.Current());
    } else {
        v.isLocal = false;
        in.variables.SetOwner(slot, {});
    }
    SetNumber(v.value, ValueType::Int, 0);
    v.kind = static_cast<uint8_t>(VariableKind::Integer);
    return true;
}

}  // namespace

AssignmentResult DeclareVariable(Interpreter& in, std::string_view upperName, Scope scope,
                                 const Args& tokens) {
    AssignmentResult result;
    if (!CreateVariable(in, upperName, scope, result)) return result;
    return AssignVariable(in, upperName, tokens);
}

AssignmentResult DeclareVariableAs(Interpreter& in, std::string_view upperName, Scope scope,
                                   const Value& value) {
    AssignmentResult result;
    if (value.type != ValueType::Str &&
        DeclareNumberAs(in, upperName, scope, value.type, value.i, value.r, result)) {
        return result;
    }
    const std::string text = TextOf(value);
    return DeclareVariable(in, upperName, scope, Args(&text, 1));
}

bool DeclareNumberAs(Interpreter& in, std::string_view upperName, Scope scope, ValueType type,
                     int32_t i, double r, AssignmentResult& result) {
    // What evaluating the number's text gives: the number it denotes (an integer exactly, a
    // real to its 15 digits) and the class of that text. A whole real in the integer range is
    // its own text.
    double number;
    TextClass cls = TextClass::Integer;
    if (type == ValueType::Int) {
        number = i;
    } else if (r >= -2147483648.0 && r <= 2147483647.0 &&
               r == static_cast<double>(static_cast<int32_t>(r))) {
        number = r;
    } else {
        number = RoundTrip15(r);
        cls = ClassifyShownReal(number);
    }
    // A real whose text the classifier takes for a text goes the whole way; so does any value
    // while an operator is pending on the current level: the text would meet it.
    if (cls == TextClass::String ||
        in.expressions.levels[in.expressions.stackLevel].op != OperatorCode::None) {
        return false;
    }
    if (!CreateVariable(in, upperName, scope, result)) return true;
    if (number == 0.0) number = 0.0;  // the text of -0 is 0
    // Into the variable the name finds (an older one of the same name comes first), and on
    // the expression stack's current level.
    result.index = in.variables.Find(upperName);
    Variable& v = in.variables[result.index];
    SetNumber(v.value, ValueType::Real, number);
    v.kind = static_cast<uint8_t>(cls == TextClass::Integer ? VariableKind::Integer
                                                            : VariableKind::Real);
    SetNumber(in.expressions.levels[in.expressions.stackLevel].value, ValueType::Real, number);
    return true;
}

}  // namespace tw
