#pragma once
// The checks of expressions that several validation rules apply: the reducer turns calls into
// placeholder values, and the checker looks at the flat value/operator sequence that remains.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/token_buffer.h"
#include "frontend/validation.h"

namespace tw {

// The result of the reducer and of function rules.
struct TStandard_Return {
    bool ok = false;
    std::string message;
    int32_t code = 0;
};
using TValid_Function_Success = TStandard_Return;

// The expression stop words: slot 0 ",", slot 1 "TO", the rest empty while a validation runs.
class StopWords {
public:
    static constexpr int kSlots = 16;
    void Set();
    void Clear();
    bool Matches(std::string_view token) const;  // the token in upper case equals a stop word

private:
    std::array<std::string, kSlots> words_{};
};

// Walks the tokens from `start` to a stop word or the end, writing them to `out` with each call
// of a validation function replaced by "999" and the names of declared functions left out.
TStandard_Return ReduceExpression(const Args& args, int start, const StopWords& stops,
                                  const RoutineTable& routines, std::vector<std::string>& out);

// True when the reduced tokens alternate values and + - * / \ operators, end on a value, and
// close every parenthesis they open. Strings are lone double-quote tokens.
bool CheckExpression(const std::vector<std::string>& tokens);

}  // namespace tw
