#pragma once
// Helpers that several command families share: reading arguments and their failures.

#include <cstdint>

#include "interpreter/expression.h"
#include "interpreter/results.h"

namespace tw {

class Interpreter;

extern const char* const kMsgInvalidCondition;  // 66

// Evaluates `tokens` and converts the value to an integer (half to even). A failed evaluation
// is copied into `result`; a value that does not convert fails with the evaluator's "Type
// mismatch" (a text) or "Value too big for variable." (a number out of range).
bool EvaluateInteger(Interpreter& in, const Args& tokens, int32_t& out, TResult& result);

// Converts a value to an integer with the failures of EvaluateInteger.
bool ValueToInteger(const Value& value, int32_t& out, TResult& result);

// Evaluates a loop condition: its integer value must be True (0) or False (-1); anything else
// fails with code 66.
bool EvaluateCondition(Interpreter& in, const Args& tokens, int32_t& out, TResult& result);

// Cuts a function's raw argument tokens at top-level commas into `count` parts: each part runs
// to the next comma, the last one to the end of the tokens. Missing parts are empty.
void SplitArguments(const Args& args, int count, Args* parts);

// The tokens of a function's arguments up to the first empty token.
int ArgumentCount(const Args& args);

}  // namespace tw
