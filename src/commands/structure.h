#pragma once
// How structured commands find their partners: by scanning the rows' command words at run
// time. There is no jump table; a scan's result depends only on the program, which does not
// change during a run.

#include <cstdint>
#include <string_view>

#include "interpreter/interpreter.h"

namespace tw {

class Interpreter;
struct RowCache;

inline constexpr int32_t kNotFound = -1;

// Scans forward from the row after `from` for `close` (or `middle`) at depth 0: `open` raises
// the depth and `close` lowers it. The partner's row, or kNotFound at the end of the program.
int32_t BlockScan(Interpreter& in, int32_t from, std::string_view open, std::string_view close,
                  std::string_view middle = {});

// The row of the label named `upperName` (a row whose command word is the name and whose first
// argument is ":"): the nearest after `from`, else the nearest at or before it; or kNotFound.
int32_t FindLabel(Interpreter& in, int32_t from, std::string_view upperName);

// The first row after `from` whose command word is `word` (no nesting), or kNotFound.
int32_t ScanForward(Interpreter& in, int32_t from, std::string_view word);

// The first PROCEDURE row (from row 0) whose name is `upperName`, or kNotFound.
int32_t FindProcedure(Interpreter& in, std::string_view upperName);

// A scan's result, kept in the running row's cache (when there is one): a row's scans depend
// only on the program.
template <typename Scan>
int32_t Remembered(RowCache* cache, Scan scan) {
    if (!cache) return scan();
    if (cache->partner == -2) cache->partner = scan();
    return cache->partner;
}

}  // namespace tw
