#include "interpreter/variables.h"

#include "interpreter/expression.h"
#include "interpreter/interpreter.h"

namespace tw {

int VariableTable::FirstFree() const {
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[i].name.empty()) return i;
    }
    return -1;
}

void VariableTable::Reset() {
    for (auto& slot : slots_) slot = Variable{};
    for (auto& g : generations_) ++g;
    for (size_t i = 0; i < kConstants.size(); ++i) {
        Variable& v = slots_[i];
        v.name = std::string(kConstants[i].name);
        v.kind = static_cast<uint8_t>(VariableKind::Integer);
        v.value = Value::Int(kConstants[i].value);
        v.isLocal = false;
    }
}

AssignmentResult AssignVariable(Interpreter& in, std::string_view upperName, const Args& tokens) {
    AssignmentResult result;
    const int slot = in.variables.Find(upperName);
    if (slot < 0) {
        // Every caller creates the variable first; refuse rather than overwrite TRUE.
        result.Fail(10, 0,
                    "Error <10> : Run Time Error - Variable <" + std::string(upperName) +
                        "> does not exist.");
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

AssignmentResult DeclareVariable(Interpreter& in, std::string_view upperName, Scope scope,
                                 const Args& tokens) {
    const int slot = in.variables.FirstFree();
    if (slot < 0) {
        AssignmentResult result;
        result.Fail(10, 0,
                    "Error <10> : Run Time Error - Variable table full, could not create <" +
                        std::string(upperName) +
                        ">. At most 51 variables (TRUE and FALSE among them) can exist at once.");
        return result;
    }
    in.variables.SetName(slot, std::string(upperName));
    Variable& v = in.variables[slot];
    if (scope == Scope::Local) {
        v.isLocal = true;
        v.owner = in.procedures.Current();
    } else {
        v.isLocal = false;
        v.owner.clear();
    }
    // The variable exists, as the integer 0, while its expression is evaluated.
    v.value = Value::Int(0);
    v.kind = static_cast<uint8_t>(VariableKind::Integer);
    return AssignVariable(in, upperName, tokens);
}

}  // namespace tw
