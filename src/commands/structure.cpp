#include "commands/structure.h"

#include "frontend/names.h"
#include "interpreter/interpreter.h"

namespace tw {

int32_t BlockScan(Interpreter& in, int32_t from, std::string_view open, std::string_view close,
                  std::string_view middle) {
    int depth = 0;
    for (int32_t r = from + 1;; ++r) {
        std::string_view word = in.RowWord(r);
        if (depth == 0 && (word == close || (!middle.empty() && word == middle))) return r;
        if (word == close && depth >= 1) --depth;
        if (word == open) ++depth;
        if (word.empty()) return kNotFound;
    }
}

int32_t FindLabel(Interpreter& in, int32_t from, std::string_view upperName) {
    if (!in.program) return kNotFound;
    auto isLabel = [&](int32_t r) {
        return in.RowWord(r) == upperName && in.program->Cell(r, 1) == ":";
    };
    for (int32_t r = from + 1; !in.RowWord(r).empty(); ++r) {
        if (isLabel(r)) return r;
    }
    for (int32_t r = from + 1; r >= 0; --r) {
        if (isLabel(r)) return r;
    }
    return kNotFound;
}

int32_t ScanForward(Interpreter& in, int32_t from, std::string_view word) {
    for (int32_t r = from + 1;; ++r) {
        std::string_view w = in.RowWord(r);
        if (w == word) return r;
        if (w.empty()) return kNotFound;
    }
}

int32_t FindProcedure(Interpreter& in, std::string_view upperName) {
    for (int32_t r = 0;; ++r) {
        std::string_view w = in.RowWord(r);
        if (w.empty()) return kNotFound;
        if (w == "PROCEDURE" && EqualsUpper(in.program->Cell(r, 1), upperName)) return r;
    }
}

}  // namespace tw
