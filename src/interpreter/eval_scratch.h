#pragma once
// Working storage of the evaluator (internal to the interpreter core).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "interpreter/expression.h"
#include "interpreter/variables.h"

namespace tw {

// How the classifier counts a token.
enum class CellClass : uint8_t { Skip, Integer, Real, String };

// The result of CheckOperator on a token.
enum class OperatorWord : uint8_t { Invalid, Not, Code };

// What a token's text is, worked out once: every step of the evaluator reads these facts
// instead of the text. For the program's own tokens they are kept from one evaluation to the
// next (the texts cannot change during a run).
struct TokenFacts {
    bool empty = true;
    bool open = false;            // "("
    bool close = false;           // ")"
    bool plusMinus = false;       // "+" or "-": the bounds of a multiplicative group
    bool multiplicative = false;  // "*", "/" or "\"
    CellClass cls = CellClass::Skip;
    bool numberOk = false;  // the text is a decimal number text
    double number = 0.0;
    OperatorWord word = OperatorWord::Invalid;
    OperatorCode code = OperatorCode::None;
    // A token that starts with a letter names a variable or a function.
    bool name = false;
    std::string upper;
    int16_t function = -1;
    VariableTable::Hint variable;  // where the name was last found

    // Whether the token shapes the expression (grouping, parentheses, its end).
    bool Structural() const { return empty || open || close || plusMinus || multiplicative; }
};

void ComputeFacts(std::string_view text, TokenFacts& facts, bool withName);

// One token of an expression after substitution: the source token's text, or a value that
// stands for its own text form (an integer, a real, or a string).
struct Cell {
    enum class Tag : uint8_t { Text, Int, Real, Str };
    Tag tag = Tag::Text;
    std::string_view text;              // Text
    int32_t i = 0;                      // Int
    double r = 0.0;                     // Real: the real that its 15-digit text denotes
    std::string s;                      // Str
    const TokenFacts* facts = nullptr;  // Text and Str
};

// What is kept about one of the program's token lists.
struct ExpressionPlan {
    std::vector<TokenFacts> facts;
    // The shape of the expression when every substituted value is a plain operand: where the
    // reduction ends, whether the parentheses balance, and the grouped order of a numeric
    // expression.
    bool shapeKnown = false;
    int cellCount = 0;
    int end = 0;
    bool balanced = true;
    std::vector<int> grouped;
};

struct EvalScratch {
    std::vector<Cell> cells;
    std::vector<TokenFacts> facts;  // facts of texts that have no plan
    std::vector<int> grouped;
    std::string text;
};

struct PlanKey {
    const char* first;
    int count;
    bool operator==(const PlanKey& o) const { return first == o.first && count == o.count; }
};
struct PlanKeyHash {
    size_t operator()(const PlanKey& k) const {
        return std::hash<const void*>()(k.first) ^ (static_cast<size_t>(k.count) << 1);
    }
};

struct EvalCache {
    std::unordered_map<PlanKey, std::unique_ptr<ExpressionPlan>, PlanKeyHash> plans;
};

}  // namespace tw
