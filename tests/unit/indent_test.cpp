// The source editor's auto-indent and indent removal.

#include <gtest/gtest.h>

#include "ide/indent.h"

namespace tw {
namespace {

using Lines = std::vector<std::string>;

Lines Indented(Lines lines) {
    AutoIndent(lines);
    return lines;
}

TEST(AutoIndent, LoopsIndentTheirBodiesWithTabs) {
    EXPECT_EQ(Indented({"FOR I = 1 TO 3", "PRINT I", "NEXT", "END"}),
              (Lines{"FOR I = 1 TO 3", "\tPRINT I", "NEXT", "END"}));
    // A FOR inside a DO: one tab for the inner FOR, two for its body.
    EXPECT_EQ(Indented({"DO", "FOR I = 1 TO 3", "PRINT I", "NEXT I", "LOOP"}),
              (Lines{"DO", "\tFOR I = 1 TO 3", "\t\tPRINT I", "\tNEXT I", "LOOP"}));
    // Leading spaces are skipped to find the word, in any case, and kept.
    EXPECT_EQ(Indented({"while x", "  wend", "repeat", "x", "  until y"}),
              (Lines{"while x", "  wend", "repeat", "\tx", "  until y"}));
    // More closers than openers indent nothing; a word must stand alone.
    EXPECT_EQ(Indented({"NEXT", "PRINT 1", "FORMAT", "", "   "}),
              (Lines{"NEXT", "PRINT 1", "FORMAT", "", "   "}));
}

TEST(AutoIndent, ASecondRunIndentsAgainAndRemovalUndoesTheFirst) {
    const Lines plain = {"FOR I = 1 TO 3", "DO", "PRINT I", "LOOP", "NEXT"};
    Lines once = Indented(plain);
    EXPECT_EQ(once, (Lines{"FOR I = 1 TO 3", "\tDO", "\t\tPRINT I", "\tLOOP", "NEXT"}));
    // The tabbed DO and LOOP are not seen again: their lines only take the outer depth.
    EXPECT_EQ(Indented(once),
              (Lines{"FOR I = 1 TO 3", "\t\tDO", "\t\t\tPRINT I", "\t\tLOOP", "NEXT"}));
    RemoveIndent(once);
    EXPECT_EQ(once, plain);
    Lines mixed = {"\t\t", "\t  x", "  \ty"};
    RemoveIndent(mixed);
    EXPECT_EQ(mixed, (Lines{"", "  x", "  \ty"}));
}

}  // namespace
}  // namespace tw
