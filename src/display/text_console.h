#pragma once
// The text console of a screen: its cursor on a grid of character cells, the eight draw modes,
// the escape codes a printed string may hold, tab expansion, and the way PRINT puts a string on
// the screen.
//
// Escape codes (ESC is character 27; a number runs up to the next space, which is consumed):
//   ESC I n     font colour of palette entry n      ESC F B|I|U|S  toggle bold, italic, underline,
//   ESC S n     font size n points                                 strikeout
//   ESC M D|U|L|R n   move the cursor n cells down, up, left, right
//   ESC X n     cursor column n                     ESC Y n        cursor row n
//   ESC T       to the next tab stop (expanded into spaces before printing)
// Any other letter after ESC is ignored.

#include <cstdint>
#include <string>
#include <string_view>

#include "display/screens.h"

namespace tw {

inline constexpr char kEscape = 27;

// How printing a string failed.
struct ConsoleFailure {
    enum class Kind : uint8_t {
        None,
        BadNumber,       // an escape code's number is no whole number
        BadStyleLetter,  // ESC F followed by a letter other than B, I, U, S
        TooLong,         // the string with its tabs expanded exceeds the length allowed
    };
    Kind kind = Kind::None;
    int32_t position = 0;  // the character position (from 1) in the tab-expanded string
    bool Ok() const { return kind == Kind::None; }
};

// Replaces every ESC "T" by spaces up to the next tab stop, counting columns within the string
// from 0. A tab width of 0 or less puts the stops one column apart (each tab is one space).
// False when the result would be longer than `maxLength`.
bool ExpandTabs(std::string_view text, int32_t tabWidth, size_t maxLength, std::string& out);

// The console of one screen record. Measuring and moving the cursor work on any record; drawing
// needs the record's surface (an open screen) and does nothing without it.
class TextConsole {
public:
    TextConsole(Screens& screens, ScreenRecord& record)
        : s_(screens), r_(record), t_(record.text) {}

    TextState& State() { return t_; }

    // The character cell, which grid PRINT, the scrolls and the cell functions use: measured
    // here (the default cell) the first time it is needed.
    const CellSize& Cell();
    // The extent of "M" in the text font, which cursor arithmetic outside PRINT uses.
    int MWidth();
    int MHeight();
    // The extent of a text in the text font.
    int TextWidth(std::string_view text);
    // The cell from the text font (after its size or name changed).
    void MeasureCells();

    // Draws the text at (x, y) in the current draw mode; neither the cursor nor the pen moves.
    void DrawString(int64_t x, int64_t y, std::string_view text);
    // The cursor picture (two diagonals in an 8 x 8 block) at the text cursor.
    void DrawCursorPicture();

    // Interprets the escape code at text[i] (an ESC) and leaves i on the code's last character.
    ConsoleFailure ApplyCode(std::string_view text, size_t& i);

    // PRINT: in free mode the text in one piece at the pen position, escape characters drawn as
    // they are; in grid mode tabs expanded, then character by character at the text cursor,
    // cell by cell, wrapping at the screen's right edge, with the escape codes applied when
    // preformatting is on. Then the cursor picture when the cursor is shown. A failing code
    // stops the printing; what was drawn stays.
    ConsoleFailure Print(std::string_view text, size_t maxLength);

    // The cursor moved by whole cells, or put on a cell, with the "M" measure.
    void MoveBy(int64_t columns, int64_t rows);
    void MoveTo(int64_t column, int64_t row);

    // The toggles of the font's style: bold 1, italic 2, underline 4, strikeout 8.
    int32_t StyleBits() const;
    void SetStyleBits(int32_t bits);

private:
    bool CanDraw() const { return r_.open && r_.surface != nullptr; }
    // What the draw mode paints with: the font, the paint, and the brush the mode leaves.
    struct Ink {
        TTF_Font* font = nullptr;
        TextPaint paint;
        bool changesBrush = false;
        Colour brushAfter = 0;
    };
    Ink MakeInk();
    void Paint(const Ink& ink, int64_t x, int64_t y, std::string_view text);

    Screens& s_;
    ScreenRecord& r_;
    TextState& t_;
};

}  // namespace tw
