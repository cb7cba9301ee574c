#pragma once
// The variable table: 51 named scalar slots, the two constants among them.

#include <array>
#include <bit>
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

    // The first slot with this upper-case name, or -1. Scope plays no part. Only the slots
    // whose names fall in the name's group are looked at, lowest first.
    int Find(std::string_view upper) const {
        if (upper.empty()) return -1;
        for (uint64_t m = members_[Group(upper)]; m != 0; m &= m - 1) {
            const int i = std::countr_zero(m);
            if (slots_[i].name == upper) return i;
        }
        return -1;
    }
    // Find, remembering the answer in `hint`. The answer for a name can change only when a slot
    // takes or loses that name, so each name's group counts such changes: while the count of
    // the name's group is unchanged, the remembered answer stands.
    struct Hint {
        uint64_t generation = 0;  // 0: nothing remembered
        int slot = -1;
    };
    int Find(std::string_view upper, Hint& hint) const { return Find(upper, Group(upper), hint); }
    // The same with the name's group worked out beforehand (GroupOf).
    int Find(std::string_view upper, size_t group, Hint& hint) const {
        const uint64_t generation = generations_[group];
        if (hint.generation == generation) return hint.slot;
        hint.slot = Find(upper);
        hint.generation = generation;
        return hint.slot;
    }
    static size_t GroupOf(std::string_view upper) { return Group(upper); }
    // The lowest free slot, or -1.
    int FirstFree() const { return free_ != 0 ? std::countr_zero(free_) : -1; }
    Variable& operator[](int i) { return slots_[i]; }
    const Variable& operator[](int i) const { return slots_[i]; }

    void SetName(int i, std::string name) {
        Unlist(i);
        ++generations_[Group(name)];
        slots_[i].name = std::move(name);
        List(i);
    }
    // SetName for a free slot, into the storage it kept.
    void Claim(int i, std::string_view name) {
        Unlist(i);
        ++generations_[Group(name)];
        slots_[i].name.assign(name);
        List(i);
    }
    // The procedure that owns a local variable (empty: none).
    void SetOwner(int i, std::string_view owner) {
        slots_[i].owner.assign(owner);
        const uint64_t bit = uint64_t{1} << i;
        owned_ = owner.empty() ? owned_ & ~bit : owned_ | bit;
    }
    // The slots whose owner is not empty, one bit each (slot 0 in the lowest bit).
    uint64_t OwnedSlots() const { return owned_; }
    void FreeSlot(int i) {
        Variable& v = slots_[i];
        Unlist(i);
        // As a fresh Variable, in place: a short name's storage is kept for the next variable
        // (procedures free and make their locals on every call); a long text's is given back.
        Forget(v.name);
        Forget(v.owner);
        Forget(v.value.s);
        owned_ &= ~(uint64_t{1} << i);
        free_ |= uint64_t{1} << i;
        v.kind = 0;
        v.value.type = ValueType::Int;
        v.value.i = 0;
        v.value.r = 0.0;
        v.isLocal = true;
    }
    static void Forget(std::string& text) {
        if (text.capacity() > 64) {
            std::string().swap(text);
        } else {
            text.clear();
        }
    }
    // Every slot free, then the constants TRUE (0) and FALSE (-1) in slots 0 and 1.
    void Reset();

private:
    static size_t Group(std::string_view name) {
        if (name.empty()) return 0;
        // Odd multipliers that spread one-letter names over 26 groups.
        return (static_cast<unsigned char>(name[0]) * 37u +
                static_cast<unsigned char>(name.back()) * 101u + name.size() * 7u) %
               kGroups;
    }
    // Takes slot i out of its name's group (its name is about to change) and the group's
    // answers with it.
    void Unlist(int i) {
        const std::string& name = slots_[i].name;
        ++generations_[Group(name)];
        if (!name.empty()) members_[Group(name)] &= ~(uint64_t{1} << i);
    }
    // Puts slot i into its (new) name's group, or among the free slots.
    void List(int i) {
        const std::string& name = slots_[i].name;
        const uint64_t bit = uint64_t{1} << i;
        if (name.empty()) {
            free_ |= bit;
        } else {
            free_ &= ~bit;
            members_[Group(name)] |= bit;
        }
    }
    static constexpr size_t kGroups = 64;

    std::array<Variable, kSlots> slots_{};
    std::array<uint64_t, kGroups> generations_ = MakeGenerations();
    // Each group's slots, the free slots and the slots with an owner, one bit per slot: a
    // name's slot is found among a few, a free slot and a procedure's locals without a scan.
    static_assert(kSlots <= 64);
    std::array<uint64_t, kGroups> members_{};
    uint64_t free_ = (uint64_t{1} << kSlots) - 1;
    uint64_t owned_ = 0;
    static constexpr std::array<uint64_t, kGroups> MakeGenerations() {
        std::array<uint64_t, kGroups> g{};
        for (auto& v : g) v = 1;
        return g;
    }
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

// DeclareVariable with `value`'s text as the one-token expression, as CALL binds a parameter. A
// number's text re-enters as the number it denotes without being written out.
AssignmentResult DeclareVariableAs(Interpreter& in, std::string_view upperName, Scope scope,
                                   const Value& value);

// DeclareVariableAs for a number (`i` when `type` is Int, else the real `r`). False, having
// changed nothing, when the number must go the whole way (its text is no number, or an
// operator is pending); else true with the result (which fails when the table is full).
bool DeclareNumberAs(Interpreter& in, std::string_view upperName, Scope scope, ValueType type,
                     int32_t i, double r, AssignmentResult& result);

}  // namespace tw
