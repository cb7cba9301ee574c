#pragma once
// The variable table: 51 named scalar slots, the two constants among them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "interpreter/results.h"
#include "interpreter/value.h"

namespace tw {

// The kind byte of a variable. 2 and 7 read like Integer, 4 like String; nothing stores them.
enum class VariableKind : uint8_t { Free = 0, Integer = 1, Real = 3, String = 5 };

inline bool IsIntegerKind(uint8_t k) {
    return k == 1 || k == 2 || k == 7;
}
inline bool IsStringKind(uint8_t k) {
    return k == 4 || k == 5;
}

struct Variable {
    std::string name;  // upper case; empty for a free slot. Change it through SetName only.
    uint8_t kind = 0;
    Value value;
    bool isLocal = true;
    std::string owner;  // the procedure that declared a local variable
};

class VariableTable {
public:
    static constexpr int kSlots = 51;

    // The first slot with this upper-case name, or -1. Scope plays no part.
    int Find(std::string_view upper) const {
        for (int i = 0; i < kSlots; ++i) {
            const std::string& n = slots_[i].name;
            if (n.size() == upper.size() && !n.empty() && n[0] == upper[0] && n == upper) return i;
        }
        return -1;
    }
    // Find, remembering the answer in `hint`: while no name in the table changes, the answer
    // cannot change either.
    struct Hint {
        uint64_t generation = 0;  // 0: nothing remembered
        int slot = -1;
    };
    int Find(std::string_view upper, Hint& hint) const {
        if (hint.generation == generation_) return hint.slot;
        hint.slot = Find(upper);
        hint.generation = generation_;
        return hint.slot;
    }
    int FirstFree() const;
    Variable& operator[](int i) { return slots_[i]; }
    const Variable& operator[](int i) const { return slots_[i]; }

    void SetName(int i, std::string name) {
        slots_[i].name = std::move(name);
        ++generation_;
    }
    void FreeSlot(int i) {
        slots_[i] = Variable{};
        ++generation_;
    }
    // Every slot free, then the constants TRUE (0) and FALSE (-1) in slots 0 and 1.
    void Reset();

private:
    std::array<Variable, kSlots> slots_{};
    uint64_t generation_ = 1;
};

struct TConstant {
    std::string_view name;
    int32_t value;
};
inline constexpr std::array<TConstant, 2> kConstants = {{{"TRUE", kTrue}, {"FALSE", kFalse}}};

struct AssignmentResult : TResult {
    int32_t index = 0;  // the slot that was assigned
};

// Evaluates the expression at the start of `tokens` (up to the first empty token at depth 0)
// and stores it in the variable named `upperName`.
AssignmentResult AssignVariable(Interpreter& in, std::string_view upperName, const Args& tokens);

struct RowCache;

// AssignVariable for the variable in `slot`; `cache` is the running row's, or null.
AssignmentResult AssignSlot(Interpreter& in, int slot, const Args& tokens, RowCache* cache);

enum class Scope : uint8_t { Local, Global };

// Creates `upperName` in the lowest free slot, then assigns the expression to it.
AssignmentResult DeclareVariable(Interpreter& in, std::string_view upperName, Scope scope,
                                 const Args& tokens);

}  // namespace tw
