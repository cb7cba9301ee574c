#pragma once
// Working storage of the evaluator (internal to the interpreter core).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// One token of an expression after substitution: the source token's text, or a value that
// stands for its own text form (an integer, a real, or a string).
struct Cell {
    enum class Tag : uint8_t { Text, Int, Real, Str };
    Tag tag = Tag::Text;
    std::string_view text;  // Text
    int32_t i = 0;          // Int
    double r = 0.0;         // Real: the real that its 15-digit text denotes
    std::string s;          // Str
};

struct EvalScratch {
    std::vector<Cell> cells;
    std::vector<int> grouped;
    std::string text;
};

}  // namespace tw
