#pragma once
// Working storage of the evaluator (internal to the interpreter core).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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

// Whether a text is one of the operator words (+ - * / \ ( ) < > = <= >= <> OR AND).
bool IsOperatorWord(std::string_view text);

// One token of an expression after substitution: the source token's text, or a value that
// stands for its own text form (an integer, a real, or a string).
struct Cell {
    enum class Tag : uint8_t { Text, Int, Real, Str };
    Tag tag = Tag::Text;
    std::string_view text;              // Text and Str: the characters
    int32_t i = 0;                      // Int
    double r = 0.0;                     // Real: the real that its 15-digit text denotes
    std::string s;                      // Str: a function's text, which `text` views
    const TokenFacts* facts = nullptr;  // Text and Str
};

struct QuickExpression;

// What is kept about one of the program's token lists.
struct ExpressionPlan {
    ExpressionPlan();
    ~ExpressionPlan();
    std::vector<TokenFacts> facts;
    // The quick form, made on the second evaluation (a list evaluated once needs none).
    std::unique_ptr<QuickExpression> quick;
    int evaluations = 0;
    // The shape of the expression when every substituted value is a plain operand: where the
    // reduction ends, whether the parentheses balance, and the grouped order of a numeric
    // expression.
    bool shapeKnown = false;
    int cellCount = 0;
    int end = 0;
    bool balanced = true;
    std::vector<int> grouped;
};

// The evaluator's steps that the quick forms share with it.
//
// Combines the level's value with r under the level's operator (the value becomes the result).
bool ApplyOperator(ExpressionLevel& level, const Value& r, bool stringMode, TResult& err);
// Where the reduction of `cells` ends and whether its parentheses balance.
void Shape(const std::vector<Cell>& cells, int& end, bool& balanced);
// The order in which the reduction takes the cells: in a numeric expression, the runs of
// * / \ wrapped in the marks below.
void GroupedOrder(const std::vector<Cell>& cells, int end, bool stringMode, std::vector<int>& w);
// Whether comparison `op` holds between l and r.
template <typename T>
inline bool Holds(OperatorCode op, const T& l, const T& r) {
    switch (op) {
        case OperatorCode::Less:
            return l < r;
        case OperatorCode::Greater:
            return r < l;
        case OperatorCode::Equal:
            return l == r;
        case OperatorCode::GreaterEqual:
            return !(l < r);
        case OperatorCode::LessEqual:
            return !(r < l);
        case OperatorCode::NotEqual:
            return !(l == r);
        default:
            return false;
    }
}

inline constexpr int kOpenMark = -1;   // a "(" inserted by the grouping
inline constexpr int kCloseMark = -2;  // a ")" inserted by the grouping

struct EvalScratch {
    std::vector<Cell> cells;
    std::vector<TokenFacts> facts;  // facts of texts that have no plan
    std::vector<int> grouped;
    std::string text;
};

struct PlanKey {
    const char* first;  // where the first token's characters are in the token buffer
    int count;
};

// The plans of the program's token lists, found by the place of their first token: open
// addressing on a power-of-two table, since it is looked up for every evaluation.
class PlanTable {
public:
    std::unique_ptr<ExpressionPlan>& Find(PlanKey key) {
        if (2 * (used_ + 1) > slots_.size()) Grow();
        size_t i = Hash(key) & (slots_.size() - 1);
        for (;; i = (i + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[i];
            if (!slot.first) {
                slot.first = key.first;
                slot.count = key.count;
                ++used_;
                return slot.plan;
            }
            if (slot.first == key.first && slot.count == key.count) return slot.plan;
        }
    }
    void clear() {
        slots_.clear();
        used_ = 0;
    }

private:
    struct Slot {
        const char* first = nullptr;
        int count = 0;
        std::unique_ptr<ExpressionPlan> plan;
    };
    static size_t Hash(PlanKey key) {
        uint64_t h = reinterpret_cast<uintptr_t>(key.first) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>((h >> 17) ^ static_cast<uint64_t>(key.count) * 0xC2B2AE3Dull);
    }
    void Grow() {
        std::vector<Slot> old = std::move(slots_);
        slots_ = std::vector<Slot>(old.empty() ? 64 : old.size() * 2);
        used_ = 0;
        for (Slot& slot : old) {
            if (slot.first) Find(PlanKey{slot.first, slot.count}) = std::move(slot.plan);
        }
    }
    std::vector<Slot> slots_;
    size_t used_ = 0;
};

struct EvalCache {
    PlanTable plans;
};

}  // namespace tw
