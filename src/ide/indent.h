#pragma once
// The source editor's two indentation tools, on the text's lines. Neither looks at the
// selection: both work on every line.

#include <string>
#include <vector>

namespace tw {

// Indents loop blocks with tabs: FOR, DO, WHILE and REPEAT open a block, NEXT, LOOP, WEND and
// UNTIL close one. A line's first word is read after its leading spaces (tabs are not skipped,
// so a line indented before is not recognised again); each line keeps what it had and gets
// (depth) tabs in front, an opener one less.
void AutoIndent(std::vector<std::string>& lines);

// Removes the tabs at the start of every line (leading spaces stay).
void RemoveIndent(std::vector<std::string>& lines);

}  // namespace tw
