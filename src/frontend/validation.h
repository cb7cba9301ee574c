#pragma once
// The first pass (declared procedures and functions) and the validation driver that hands
// every row to the rule of its command word.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/keywords.h"
#include "frontend/token_buffer.h"
#include "frontend/tokenize.h"

namespace tw {

enum class RoutineKind : uint8_t { Procedure = 0, Function = 1 };

struct InternalRoutine {
    std::string name;  // upper case
    RoutineKind kind = RoutineKind::Procedure;
    int32_t parameterCount = 0;
};

class RoutineTable {
public:
    static constexpr int kSlots = 11;
    void Clear() { slots_.fill(std::nullopt); }
    const std::optional<InternalRoutine>& Slot(int i) const { return slots_[i]; }
    std::optional<InternalRoutine>& Slot(int i) { return slots_[i]; }
    // The first occupied slot with this upper-case name, or nullptr.
    const InternalRoutine* Find(std::string_view upper) const;

private:
    std::array<std::optional<InternalRoutine>, kSlots> slots_{};
};

struct ValiditySuccess {
    bool ok = false;
    std::string message;
    int32_t code = 0;
    int32_t row = 0;
    int32_t entry = 0;
};

// The result of one command rule.
struct ValidCommandSuccess {
    bool ok = false;
    std::string message;
    int32_t code = 0;
    int32_t position = 0;
};

// The rules that the driver applies; the validator supplies the real ones.
class ValidationRules {
public:
    virtual ~ValidationRules() = default;
    // Called when a validation starts and when it ends successfully.
    virtual void BeginPass() {}
    virtual void EndPass() {}
    // The rule of validation table entry `entry` (0..143).
    virtual ValidCommandSuccess Check(int entry, const Args& args,
                                      const RoutineTable& routines) = 0;
    // The rule for command words that are in no entry of the table.
    virtual ValidCommandSuccess CheckUnlisted(const Args& args, const RoutineTable& routines) = 0;
};

// Accepts every row.
class AcceptAllRules final : public ValidationRules {
public:
    ValidCommandSuccess Check(int, const Args&, const RoutineTable&) override;
    ValidCommandSuccess CheckUnlisted(const Args&, const RoutineTable&) override;
};

ValiditySuccess Perform_First_Pass(const TokenBuffer& buffer, RoutineTable& routines);

ValiditySuccess Validate_Command_Tokens(const TokenBuffer& buffer, RoutineTable& routines,
                                        ValidationRules& rules, ProgressSink* progress = nullptr);

// Like Validate_Command_Tokens, but goes on after a failure: every failing row, in order (the
// first pass's failure first). Empty when the program passes.
std::vector<ValiditySuccess> ValidateEveryRow(const TokenBuffer& buffer, RoutineTable& routines,
                                              ValidationRules& rules);

// Trace hook of the front end, validator and interpreter. Switched off: it returns at once.
enum class TraceLevel { TOKENIZER, EXPRESSION, VALIDATOR, INTERRUPTER };
inline void DebugTrace(TraceLevel, std::string_view) {}

}  // namespace tw
