// The text console and the text commands, checked on the cursor the program reads back and on
// the palette indexes of the frames a headless run shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "display/text_console.h"
#include "test_support.h"

namespace tw {
namespace {

using test::Show;
using test::Shown;

const std::string kEsc(1, kEscape);

// The lines a program wrote with OUTPUTDEBUG.
std::vector<std::string> Debug(const std::string& source) {
    return Show(source + "\nSTOP").debug;
}

// The message of the run-time error a program ends with, or "".
std::string Failure(const std::string& source) {
    Shown s = Show(source + "\nSTOP");
    return s.messages.empty() ? std::string() : s.messages[0];
}

std::string RunTimeError(const std::string& message, int line, int token) {
    return "The following run time error occured \r" + message +
           "\rAt Line = " + std::to_string(line) + ", Token = " + std::to_string(token);
}

TEST(TextTabs, StopsEveryTabWidthColumnsFromTheStartOfTheString) {
    std::string out;
    ASSERT_TRUE(ExpandTabs("abc" + kEsc + "Tx", 8, 1000, out));
    EXPECT_EQ(out, "abc     x");  // column 3: five spaces
    ASSERT_TRUE(ExpandTabs("abcdefgh" + kEsc + "Tx", 8, 1000, out));
    EXPECT_EQ(out, "abcdefgh        x");  // column 8: eight
    ASSERT_TRUE(ExpandTabs(kEsc + "T" + kEsc + "Iy", 4, 1000, out));
    EXPECT_EQ(out, "    " + kEsc + "Iy");  // only ESC T is a tab
    // No stops (a width of 0 or less): each tab is one space.
    ASSERT_TRUE(ExpandTabs("a" + kEsc + "T" + kEsc + "Tb", 0, 1000, out));
    EXPECT_EQ(out, "a  b");
    ASSERT_TRUE(ExpandTabs(kEsc + "T", -5, 1000, out));
    EXPECT_EQ(out, " ");
    // A text that would outgrow the limit is refused rather than built.
    EXPECT_FALSE(ExpandTabs("a" + kEsc + "T", 2000000000, 1 << 20, out));
    EXPECT_FALSE(ExpandTabs("abcd", 8, 3, out));
}

TEST(TextCursor, LocateMoveAndTheCellSteps) {
    EXPECT_EQ(Debug("LOCATE 3, 2\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
                    "CMOVE -1, 4\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
                    "CRIGHT\nCRIGHT\nCUP\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
                    "CLEFT\nCDOWN\nCDOWN\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
                    "HOME\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS"),
              (std::vector<std::string>{"3", "2", "2", "6", "4", "5", "3", "7", "0", "0"}));
}

// Cursor arithmetic outside PRINT measures "M" in the text font; PRINT steps by the cells,
// which start out measured in the 8-point sans-serif face.
TEST(TextCursor, PrintStepsByCellsAndWrapsAtTheRightEdge) {
    const std::vector<std::string> cells = Debug("OUTPUTDEBUG FONTWIDTH\nOUTPUTDEBUG FONTHEIGHT");
    const int w = std::stoi(cells.at(0)), h = std::stoi(cells.at(1));
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    // A 10-cell-wide screen: the character that would end past the edge goes to the next row.
    const std::string open = "SCREEN OPEN 1, " + std::to_string(10 * w + w / 2) + ", 200\n";
    EXPECT_EQ(Debug(open + "SET TEXT GRID ON\nPRINT \"ABCDEFGH\"\nOUTPUTDEBUG XCURS\n"
                           "PRINT \"IJK\"\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
                           "OUTPUTDEBUG MAXCHARSWIDE"),
              (std::vector<std::string>{"8", "1", "1", "10"}));
    // Rows go on below the bottom edge: nothing scrolls.
    EXPECT_EQ(Debug("SCREEN OPEN 1, 20, 20\nSET TEXT GRID ON\nPRINT REPEAT(\"X\", 50)\n"
                    "OUTPUTDEBUG YCURS > 10"),
              (std::vector<std::string>{"0"}));
}

// LOCATE measures "M" in the console's font (Courier 12); PRINT steps by the cells, measured at
// the start in the 8-point sans-serif face: the same character lands at different places.
TEST(TextCursor, LocateMeasuresTheFontWhilePrintStepsByTheCells) {
    const std::vector<std::string> widths =
        Debug("OUTPUTDEBUG FONTWIDTH\nFONT SIZE 12\nOUTPUTDEBUG FONTWIDTH");
    const int cell = std::stoi(widths.at(0)), m = std::stoi(widths.at(1));
    auto leftmostInk = [](const std::string& print) {
        Shown s =
            Show("CLS 250\nSET TEXT GRID ON\nFONT COLOR 249\n" + print + "\nDISPLAY UPDATE\nSTOP");
        for (int x = 0; x < 200; ++x) {
            if (s.Count(x, 0, x + 1, 40, 249) > 0) return x;
        }
        return -1;
    };
    const int located = leftmostInk("LOCATE 1, 0\nPRINT \"I\"");
    const int stepped = leftmostInk("PRINT \" I\"");
    ASSERT_GE(located, 0);
    ASSERT_GE(stepped, 0);
    EXPECT_EQ(located - stepped, m - cell);
}

TEST(TextCursor, MemorizeAndRemember) {
    EXPECT_EQ(Debug("LOCATE 4, 5\nMEMORIZE XY\nLOCATE 9, 9\nREMEMBER XY\n"
                    "OUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
                    "LOCATE 1, 2\nMEMORIZE X\nLOCATE 7, 8\nREMEMBER X\n"
                    "OUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
                    "MEMORIZE NOTHING\nREMEMBER Y\nOUTPUTDEBUG YCURS"),
              (std::vector<std::string>{"4", "5", "1", "8", "5"}));
}

TEST(TextCodes, EachCodeChangesTheConsole) {
    const std::string esc = "CHR(27) + ";
    EXPECT_EQ(
        Debug("SET TEXT GRID ON\nPRINT " + esc + "\"X4 \" + " + esc +
              "\"Y3 \"\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
              "PRINT " +
              esc + "\"MD2 \" + " + esc + "\"MR3 \" + " + esc + "\"MU1 \" + " + esc +
              "\"ML1 \"\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS\n"
              "PRINT " +
              esc +
              "\"MU9 \"\nOUTPUTDEBUG YCURS\n"
              "PRINT " +
              esc + "\"FB\" + " + esc + "\"FU\" + " + esc + "\"FS\" + " + esc + "\"FI\" + " + esc +
              "\"FB\"\nOUTPUTDEBUG FONTSTYLE\n"
              "LET W = FONTWIDTH\nPRINT " +
              esc +
              "\"S30 \"\nOUTPUTDEBUG FONTWIDTH > W\n"
              "PRINT " +
              esc + "\"Q\"\nOUTPUTDEBUG XCURS"),
        (std::vector<std::string>{"4", "3", "6", "4", "-5", "14", "0", "6"}));
    // The ink code takes the palette entry's colour: the glyph of "M" in red (entry 249).
    Shown red = Show("SET TEXT GRID ON\nPRINT CHR(27) + \"I249 M\"\nDISPLAY UPDATE\nSTOP");
    EXPECT_GT(red.Count(0, 0, 20, 20, 249), 10);
}

TEST(TextCodes, FailuresNameTheirPlaceInTheString) {
    const std::string rte59 =
        "RTE (59) - Invalid integer value passed with preformatting commands. You have specified "
        "a invalid integer value, after a control character in a preformatted string.";
    const std::string rte60 =
        "RTE (60) - Invalid value passed to preformatting command. You have specified an invalid "
        "value, required by a preformatting command. Please check your expression and try "
        "again.";
    // "ab" ESC "I1x ": the number ends at the space, position 7.
    EXPECT_EQ(Failure("SET TEXT GRID ON\nPRINT \"ab\" + CHR(27) + \"I1x \""),
              RunTimeError(rte59, 1, 7));
    // A number that runs to the end of the string: the position of its last character.
    EXPECT_EQ(Failure("SET TEXT GRID ON\nPRINT CHR(27) + \"S\""), RunTimeError(rte59, 1, 2));
    EXPECT_EQ(Failure("SET TEXT GRID ON\nPRINT \"ab\" + CHR(27) + \"FZ\""),
              RunTimeError(rte60, 1, 5));
    // Positions count in the string with its tabs expanded.
    EXPECT_EQ(Failure("SET TEXT GRID ON\nPRINT \"a\" + TAB + CHR(27) + \"FZ\""),
              RunTimeError(rte60, 1, 11));
    // What was drawn before the failing code stays.
    Shown partly = Show(
        "CLS 250\nSET TEXT GRID ON\nFONT COLOR 249\n"
        "PRINT \"XY\" + CHR(27) + \"FZ\"\nSTOP");
    EXPECT_EQ(partly.messages.size(), 1u);
    EXPECT_GT(partly.Count(0, 0, 40, 20, 249), 10);
    // Without preformatting, an ESC is a character: it takes a cell. Free mode draws codes as
    // they are and never fails.
    EXPECT_EQ(Debug("SET TEXT GRID ON\nSET TEXT PREFORMATTING OFF\nPRINT CHR(27) + \"FZ\"\n"
                    "OUTPUTDEBUG XCURS\nSET TEXT GRID OFF\nPRINT CHR(27) + \"FZ\"\n"
                    "OUTPUTDEBUG XCURS"),
              (std::vector<std::string>{"3", "3"}));
    // Other control characters take their cells too (they show the font's missing-glyph mark).
    EXPECT_EQ(Debug("SET TEXT GRID ON\nPRINT \"A\" + CHR(9) + CHR(10) + \"B\"\nOUTPUTDEBUG XCURS"),
              (std::vector<std::string>{"4"}));
}

// Grid-mode text lands on its cell; free-mode text at the graphics pen, which it does not move.
TEST(TextDrawing, GlyphsAreDrawnWhereTheyBelong) {
    Shown grid = Show(
        "SCREEN OPEN 1, 200, 100\nCLS 0\nSET TEXT GRID ON\nFONT COLOR 249\nLOCATE 3, 2\n"
        "LET X = FONTWIDTH\nPRINT \"M\"\nDISPLAY UPDATE\nSTOP");
    ASSERT_TRUE(grid.messages.empty());
    int inkLeft = 1000, inkTop = 1000, ink = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (grid.Pixel(x, y) != 249) continue;
            ++ink;
            inkLeft = std::min(inkLeft, x);
            inkTop = std::min(inkTop, y);
        }
    }
    EXPECT_GT(ink, 15);      // a real glyph, not a moved cursor
    EXPECT_GE(inkLeft, 20);  // three "M" widths from the left
    EXPECT_GE(inkTop, 20);   // two rows down

    Shown free = Show(
        "CLS 0\nFONT COLOR 249\nGFXLOCATE 300, 200\nPRINT \"HELLO\"\nPRINT \"HELLO\"\n"
        "OUTPUTDEBUG GRLOCATEX\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(free.debug, (std::vector<std::string>{"300"}));
    EXPECT_GT(free.Count(300, 200, 360, 220, 249), 30);
    EXPECT_EQ(free.Count(0, 0, 300, 600, 249), 0);
    EXPECT_EQ(free.Count(0, 0, 800, 200, 249), 0);
}

TEST(TextDrawing, DrawModes) {
    // 0: opaque, on the brush (black on screen 0); 1: transparent, the paper shows through.
    const std::string setup = "CLS 250\nFONT COLOR 249\nGFXLOCATE 10, 10\n";
    Shown opaque = Show(setup + "PRINT \"MMMM\"\nDISPLAY UPDATE\nSTOP");
    EXPECT_GT(opaque.Count(10, 10, 40, 20, 0), 20);
    Shown transparent = Show(setup + "FONT DMODE 2\nPRINT \"MMMM\"\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(transparent.Count(10, 10, 40, 20, 0), 0);
    EXPECT_GT(transparent.Count(10, 10, 40, 20, 249), 20);
    // 2: exclusive or; the same text twice restores the paper.
    Shown once = Show(setup + "FONT DMODE 3\nPRINT \"MMMM\"\nDISPLAY UPDATE\nSTOP");
    EXPECT_GT(once.Count(10, 10, 40, 20, 250 ^ 249), 20);
    Shown twice =
        Show(setup + "FONT DMODE 3\nPRINT \"MMMM\"\nPRINT \"MMMM\"\nDISPLAY UPDATE\nQUIT");
    EXPECT_EQ(twice.Count(0, 0, 800, 580, 250), 800 * 580);
    // 4: nothing at all.
    Shown nothing = Show(setup + "FONT DMODE 5\nPRINT \"MMMM\"\nDISPLAY UPDATE\nQUIT");
    EXPECT_EQ(nothing.Count(0, 0, 800, 580, 250), 800 * 580);
    // 5 (INVERSE ON): glyphs in the brush index's colour on the font colour.
    Shown inverse = Show(setup + "BRUSH 251\nINVERSE ON\nPRINT \"MMMM\"\nDISPLAY UPDATE\nSTOP");
    EXPECT_GT(inverse.Count(10, 10, 40, 20, 249), 20);  // the background
    EXPECT_GT(inverse.Count(10, 10, 40, 20, 251), 10);  // the glyphs
    // 6 (SHADE ON): mid grey glyphs.
    Shown shade = Show(setup + "SHADE ON\nPRINT \"MMMM\"\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(shade.Count(10, 10, 40, 20, 249), 0);
    EXPECT_GT(shade.Count(10, 10, 40, 20, 248), 10);  // entry 248 is the mid grey
    EXPECT_GT(shade.Count(10, 10, 40, 20, 0), 20);    // on the brush
    // OFF goes back to the opaque mode 0.
    Shown off = Show(setup + "SHADE ON\nSHADE OFF\nPRINT \"MMMM\"\nDISPLAY UPDATE\nSTOP");
    EXPECT_GT(off.Count(10, 10, 40, 20, 249), 10);
}

TEST(TextDrawing, CursorPictureFollowsEachPrint) {
    Shown s = Show(
        "CLS 250\nSET TEXT GRID ON\nFONT COLOR 249\nCURS ON\nPRINT \"\"\nLOCATE 10, 5\n"
        "PRINT \"\"\nDISPLAY UPDATE\nSTOP");
    // Both diagonals of the 8 x 8 block at the cursor, on the brush's black.
    EXPECT_EQ(s.Pixel(0, 0), 249);
    EXPECT_EQ(s.Pixel(7, 7), 249);
    EXPECT_EQ(s.Pixel(7, 1), 249);
    EXPECT_EQ(s.Pixel(1, 0), 0);
    EXPECT_EQ(s.Pixel(8, 8), 250);
    EXPECT_EQ(s.Count(0, 0, 800, 580, 249), 2 * 14);  // the diagonals cross at (4, 4)
}

TEST(TextDrawing, CenterAndBorder) {
    Shown s = Show(
        "CLS 250\nFONT COLOR 249\nGFXLOCATE 0, 100\nCENTER \"MMMM\"\n"
        "GFXLOCATE 50, 300\nBORDER \"MM\"\nDISPLAY UPDATE\nSTOP");
    int left = 800, right = 0;
    for (int x = 0; x < 800; ++x) {
        for (int y = 100; y < 120; ++y) {
            if (s.Pixel(x, y) == 249) left = std::min(left, x), right = std::max(right, x);
        }
    }
    EXPECT_NEAR((left + right) / 2, 400, 6);
    EXPECT_EQ(s.Pixel(48, 300), 255);  // the white frame, two pixels left of the text
    EXPECT_EQ(s.Pixel(48, 305), 255);
    EXPECT_EQ(s.Pixel(47, 305), 250);
}

TEST(TextScroll, TheRightBandMovesByOneCell) {
    const std::string setup =
        "SCREEN OPEN 1, 100, 60\nCLS 250\nLET W = FONTWIDTH\nLET H = FONTHEIGHT\n"
        "PLOT 5, 5, 4\nPLOT 95, 55, 5\n";
    const std::vector<std::string> cells = Debug("OUTPUTDEBUG FONTWIDTH\nOUTPUTDEBUG FONTHEIGHT");
    const int w = std::stoi(cells.at(0)), h = std::stoi(cells.at(1));
    Shown right = Show(setup + "HSCROLL S, R\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(right.Pixel(5 + w, 5), 4);
    EXPECT_EQ(right.Pixel(5, 5), 4);  // the uncovered band keeps its pixels
    Shown up = Show(setup + "VSCROLL S, U\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(up.Pixel(95, 55 - h), 5);
    Shown down = Show(setup + "VSCROLL S, D\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(down.Pixel(5, 5 + h), 4);
    EXPECT_EQ(down.Pixel(5, 5 + 2 * h), 250);  // copied from the bottom up: nothing smeared
    // The cursor's line, one cell up or down. (FONT SIZE measures the cells in the console's
    // font, so that the cursor's row and the cells agree.)
    const int m = std::stoi(Debug("FONT SIZE 12\nOUTPUTDEBUG FONTHEIGHT").at(0));
    const std::string row =
        "FONT SIZE 12\nLET H = FONTHEIGHT\nLOCATE 0, 1\nPLOT 7, H + H \\ 2, 6\n";
    Shown lineUp = Show(setup + row + "VSCROLL L, U\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(lineUp.Pixel(7, m / 2), 6);
    Shown lineDown = Show(setup + row + "VSCROLL L, D\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(lineDown.Pixel(7, 2 * m + m / 2), 6);
    EXPECT_EQ(lineDown.Pixel(7, m + m / 2), 6);  // the uncovered band keeps its pixels
    // A line: only the cursor's row of cells moves.
    Shown line = Show(setup + "HSCROLL L, L\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(line.Pixel(95 - w, 55), 250);
    EXPECT_EQ(line.Pixel(95, 55), 5);
    Shown left = Show(setup + "PLOT 5 + W, 5, 6\nHSCROLL L, L\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(left.Pixel(5, 5), 6);
    EXPECT_EQ(Show(setup + "VSCROLL X, U\nDISPLAY UPDATE\nSTOP").Pixel(95, 55), 5);
}

TEST(TextFonts, StylesSizesAndModes) {
    EXPECT_EQ(Debug("FONT STYLE 20\nOUTPUTDEBUG FONTSTYLE\nFONT STYLE 3\nOUTPUTDEBUG FONTSTYLE\n"
                    "BOLD OFF\nUNDER ON\nOUTPUTDEBUG FONTSTYLE\nFONT STYLE -4\n"
                    "OUTPUTDEBUG FONTSTYLE\nSTRIKE \"on\"\nITALICS ON\nOUTPUTDEBUG FONTSTYLE"),
              (std::vector<std::string>{"15", "3", "6", "0", "10"}));
    EXPECT_EQ(Debug("LET W = FONTWIDTH\nFONT SIZE 40\nOUTPUTDEBUG FONTWIDTH > W\n"
                    "FONT NAME \"DejaVu Sans\"\nOUTPUTDEBUG FONTHEIGHT > 20\n"
                    "FONT BOGUS 1 / 0\nOUTPUTDEBUG GRID\nSET TEXT GRID ON\nOUTPUTDEBUG GRID"),
              (std::vector<std::string>{"0", "0", "-1", "0"}));
    const std::string rte56 = "RTE (56) - FONT DMODE command failed, invalid value passed.";
    EXPECT_EQ(Failure("FONT DMODE 0"), RunTimeError(rte56, 0, 1));
    EXPECT_EQ(Failure("FONT DMODE 9"), RunTimeError(rte56, 0, 1));
    EXPECT_EQ(Failure("FONT DMODE 8\nFONT DMODE 1"), "");
    EXPECT_EQ(Failure("FONT SIZE \"BIG\""),
              RunTimeError("RTE (55) - Invalid parameter passed to FONT command. Value passed was "
                           "no valid and/or not of the correct type.",
                           0, 1));
    EXPECT_NE(Failure("FONT SIZE 1 AND 2").find("RTE (65)"), std::string::npos);
}

TEST(TextCommands, OnOrOffAndTheOtherFailures) {
    const std::string rte57 = "RTE (57) - Invalid parameter passed to command, excepted ON or OFF.";
    for (const char* command : {"BOLD", "ITALICS", "UNDER", "STRIKE", "INVERSE", "SHADE", "CURS"}) {
        EXPECT_EQ(Failure(std::string(command) + " MAYBE"), RunTimeError(rte57, 0, 1)) << command;
    }
    EXPECT_EQ(Failure("SET TEXT GRID MAYBE"), RunTimeError(rte57, 0, 2));
    EXPECT_EQ(Failure("SET TEXT PREFORMATTING X"), RunTimeError(rte57, 0, 2));
    EXPECT_EQ(Failure("SET TEXT NOTHING X"), "");
    EXPECT_EQ(Failure("SET TAB \"X\""),
              RunTimeError("RTE (61) - SET TAB failed, invalid integer passed to command. Must be "
                           "in range 0 - 80.",
                           0, 2));
    EXPECT_NE(Failure("SET TAB 1 AND 2").find("RTE (65)"), std::string::npos);
    EXPECT_EQ(Failure("SET TAB 200\nSET TAB 0\nSET TEXT GRID ON\nPRINT TAB + \"X\""), "");
    EXPECT_EQ(Failure("LOCATE \"A\", 1"),
              RunTimeError("Error <999> : Locate failed, during the evaluation of X,Y arguments..",
                           0, 0));
    EXPECT_EQ(
        Failure("CMOVE 1, 1 AND 2"),
        RunTimeError("Error <999> : CMOVE failed, during the evaluation of X,Y arguments..", 0, 0));
    EXPECT_EQ(Failure("SCREEN CLOSE\nPRINT 1"),
              RunTimeError("Error <15> : Run Time Error - Screen 0 is not open.", 1, 0));
    EXPECT_EQ(Failure("SET TEXT GRID ON\nSET TAB 1000000\nPRINT REPEAT(TAB, 100)"),
              RunTimeError("Error <21> : Run Time Error - Value too big for variable.", 2, 0));
}

TEST(TextFunctions, PreformattingCodes) {
    const std::string e = kEsc;
    EXPECT_EQ(Debug("OUTPUTDEBUG PRESTYLE(BOLD)\nOUTPUTDEBUG PRESTYLE(italic)\n"
                    "OUTPUTDEBUG PRESTYLE(UNDERLINE)\nOUTPUTDEBUG PRESTYLE(STRIKEOUT)\n"
                    "OUTPUTDEBUG \"|\" + PRESTYLE(WIDE)\nOUTPUTDEBUG PREINK(12)\n"
                    "OUTPUTDEBUG PREMOVE(3, -2)\nOUTPUTDEBUG PREMOVE(-1, 4)\n"
                    "OUTPUTDEBUG \"|\" + PREMOVE(0, 0)\nOUTPUTDEBUG PRELOCATE(5, 6)\n"
                    "OUTPUTDEBUG TAB\nOUTPUTDEBUG PRECDOWN(2)\nOUTPUTDEBUG PRECUP(-2)\n"
                    "OUTPUTDEBUG PRECUP(3)\nOUTPUTDEBUG PRECLEFT(1)\nOUTPUTDEBUG PRECLEFT(-7)\n"
                    "OUTPUTDEBUG PRECRIGHT(4)\nOUTPUTDEBUG \"|\" + PRECRIGHT(0)"),
              (std::vector<std::string>{e + "FB", e + "FI", e + "FU", e + "FS", "|", e + "I12 ",
                                        e + "MU2 " + e + "MR3 ", e + "MD4 " + e + "ML1 ", "|",
                                        e + "X5 " + e + "Y6 ", e + "T", e + "MD2 ", e + "MD2 ",
                                        e + "MU3 ", e + "ML1 ", e + "MR7 ", e + "MR4 ", "|"}));
    // PREMOVE(0, 0) prints nothing and moves nothing.
    EXPECT_EQ(Debug("SET TEXT GRID ON\nPRINT PREMOVE(0, 0)\nOUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS"),
              (std::vector<std::string>{"0", "0"}));
    // The codes the functions build do what they say.
    EXPECT_EQ(Debug("SET TEXT GRID ON\nPRINT PRELOCATE(7, 3) + PRECDOWN(2) + PRECLEFT(1)\n"
                    "OUTPUTDEBUG XCURS\nOUTPUTDEBUG YCURS"),
              (std::vector<std::string>{"6", "5"}));
    const std::map<std::string, std::string> failures = {
        {"PREINK(\"A\")", "RTE (0) - PREINK Function failed, invalid colour value supplied."},
        {"PREMOVE(1, \"A\")", "RTE (0) - PREMOVE Function failed, invalid colour value supplied."},
        {"PRELOCATE(\"A\", 1)",
         "RTE (0) - PRELOCATE Function failed, invalid integers value supplied."},
        {"PRECDOWN(\"A\")", "RTE (0) - PRECDOWN Function failed, invalid value supplied."},
        {"PRECUP(\"A\")", "RTE (0) - PRECUP Function failed, invalid value supplied."},
        {"PRECLEFT(\"A\")", "RTE (0) - PRECLEFT Function failed, invalid value supplied."},
        {"PRECRIGHT(\"A\")", "RTE (0) - PRECRIGHT Function failed, invalid value supplied."},
        {"FONTNAME(\"A\")", "RTE (0) - FONTNAME Function failed, invalid index value supplied."},
    };
    for (const auto& [call, message] : failures) {
        EXPECT_EQ(Failure("OUTPUTDEBUG " + call), RunTimeError(message, 0, 0)) << call;
    }
}

TEST(TextFunctions, InstalledFontsAndMeasures) {
    const std::vector<std::string>& families = FontCache::InstalledFamilies();
    ASSERT_FALSE(families.empty());
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
    EXPECT_EQ(std::adjacent_find(families.begin(), families.end()), families.end());
    EXPECT_EQ(Debug("OUTPUTDEBUG FONTMAX\nOUTPUTDEBUG FONTNAME(-5)\n"
                    "OUTPUTDEBUG FONTNAME(100000)\nOUTPUTDEBUG TEXTWIDTH = FONTWIDTH\n"
                    "SCREEN OPEN 1, 100, 50\nOUTPUTDEBUG MAXCHARSWIDE = 100 \\ FONTWIDTH\n"
                    "OUTPUTDEBUG MAXCHARSHIGH = 50 \\ FONTHEIGHT"),
              (std::vector<std::string>{std::to_string(families.size()), families.front(),
                                        families.back(), "0", "0", "0"}));
}

// Each glyph is drawn by the font library once, then reused.
TEST(TextGlyphs, EachGlyphIsRenderedOnce) {
    test::RecordingHost host;
    Screens s;
    CreateScreens(s, host, [] { return 0u; });
    StartDisplay(s);
    FontCache& fonts = s.screen->Fonts();
    TTF_Font* font = fonts.Get(s.records[0].text.font);
    ASSERT_NE(font, nullptr);
    const Glyph m = fonts.GlyphOf(font, 'M');
    const int before = fonts.GlyphsRendered();
    EXPECT_EQ(fonts.GlyphOf(font, 'M').ink, m.ink);
    EXPECT_EQ(fonts.GlyphsRendered(), before);
    EXPECT_GT(m.width, 0);
    int ink = 0;
    for (uint8_t bit : m.ink) ink += bit;
    EXPECT_GT(ink, 10);
    EXPECT_EQ(fonts.TextWidth(font, "MM"), 2 * m.width);
    TextConsole console(s, s.records[0]);
    console.State().gridMode = 1;
    // The first grid PRINT measures the console's default cell, in a font of its own.
    console.Print("M", 1 << 20);
    const int rendered = fonts.GlyphsRendered();
    console.Print(std::string(5000, 'M'), 1 << 20);
    EXPECT_EQ(fonts.GlyphsRendered(), rendered);
    StopDisplay(s);
}

// Many sizes and large glyphs do not pile up: the fonts kept open and the glyphs' bytes are
// bounded, and a glyph drawn again after the cache emptied is the same.
TEST(TextGlyphs, TheCachesAreBounded) {
    FontCache fonts(64 * 1024);
    FontSpec face;
    face.name = "COURIER";
    for (int size = 1; size <= 70; ++size) {
        face.size = size;
        ASSERT_NE(fonts.Get(face), nullptr);
        EXPECT_LE(fonts.OpenFonts(), FontCache::kMaxFonts);
    }
    face.size = 60;
    TTF_Font* big = fonts.Get(face);
    const Glyph first = fonts.GlyphOf(big, 'W');
    for (int c = 'A'; c <= 'Z'; ++c) {
        fonts.GlyphOf(big, static_cast<uint8_t>(c));
        EXPECT_LE(fonts.GlyphBytes(), 64u * 1024);
    }
    const Glyph again = fonts.GlyphOf(big, 'W');
    EXPECT_EQ(again.width, first.width);
    EXPECT_EQ(again.ink, first.ink);
    // A face name is held to 31 characters: a longer one is its first 31.
    FontSpec longName = face;
    longName.name = std::string(31, 'Q') + std::string(100000, 'x');
    FontSpec shortName = face;
    shortName.name = std::string(31, 'Q');
    EXPECT_EQ(fonts.Get(longName), fonts.Get(shortName));
}

}  // namespace
}  // namespace tw
