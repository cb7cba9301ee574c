// The text console.
//
// Sections: tabs; measuring; drawing; escape codes; PRINT; the cursor.

#include "display/text_console.h"

#include <algorithm>

#include "frontend/number_text.h"

namespace tw {

namespace {

// 32-bit arithmetic that wraps, as the cursor's fields always have.
int32_t Wrap32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

constexpr Colour kShadeGrey = 0x808080;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tabs

bool ExpandTabs(std::string_view text, int32_t tabWidth, size_t maxLength, std::string& out) {
    out.clear();
    out.reserve(std::min(text.size(), maxLength));
    const int64_t width = tabWidth > 0 ? tabWidth : 1;
    int64_t column = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kEscape && i + 1 < text.size() && text[i + 1] == 'T') {
            const int64_t spaces = width * (column / width + 1) - column;
            if (out.size() + static_cast<uint64_t>(spaces) > maxLength) return false;
            out.append(static_cast<size_t>(spaces), ' ');
            column += spaces;
            ++i;
            continue;
        }
        if (out.size() + 1 > maxLength) return false;
        out += text[i];
        ++column;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Measuring

int TextConsole::TextWidth(std::string_view text) {
    if (!s_.screen) return 0;
    FontCache& fonts = s_.screen->Fonts();
    return static_cast<int>(
        std::min<int64_t>(fonts.TextWidth(fonts.Get(t_.font), text), INT32_MAX));
}

int TextConsole::MWidth() {
    return TextWidth("M");
}

int TextConsole::MHeight() {
    if (!s_.screen) return 0;
    TTF_Font* f = s_.screen->Fonts().Get(t_.font);
    return f ? FontCache::Height(f) : PointsToPixels(t_.font.size);
}

const CellSize& TextConsole::Cell() {
    // Without a screen object there is nothing to measure with; the cell stays unmeasured.
    if (!t_.cell && s_.screen) t_.cell = DefaultCell(s_);
    static const CellSize none;
    return t_.cell ? *t_.cell : none;
}

void TextConsole::MeasureCells() {
    t_.cell = CellSize{MWidth(), MHeight()};
}

// ---------------------------------------------------------------------------------------------
// Drawing

TextConsole::Ink TextConsole::MakeInk() {
    Ink ink;
    TDispCanvas& canvas = r_.surface->Canvas();
    TDispScreen& screen = *s_.screen;
    ink.font = screen.Fonts().Get(t_.font);
    const uint8_t fontInk = screen.NearestIndex(t_.font.color);
    const uint8_t brush = screen.NearestIndex(canvas.brushColour);
    switch (t_.drawMode) {
        case 0:  // opaque
            ink.paint = {TextPaint::Mode::Opaque, fontInk, brush};
            break;
        case 1:  // transparent
            ink.paint = {TextPaint::Mode::Transparent, fontInk, brush};
            break;
        case 2:
        case 3:  // exclusive or with what is there: drawing twice restores it
            ink.paint = {TextPaint::Mode::Xor, fontInk, brush};
            break;
        case 4:  // nothing
            ink.paint.mode = TextPaint::Mode::Nothing;
            break;
        case 5: {
            // Inverse: the glyphs in the brush index's colour on the font colour; afterwards the
            // brush keeps that colour.
            const Colour brushColour = s_.ColourOf(s_.brushIndex);
            ink.paint = {canvas.brushStyle == BrushStyle::Solid ? TextPaint::Mode::Opaque
                                                                : TextPaint::Mode::Transparent,
                         screen.NearestIndex(brushColour), fontInk};
            ink.brushAfter = brushColour;
            ink.changesBrush = true;
            break;
        }
        default:  // 6, 7: shaded, mid grey on the brush
            ink.paint = {TextPaint::Mode::Opaque, screen.NearestIndex(kShadeGrey), brush};
            break;
    }
    return ink;
}

void TextConsole::Paint(const Ink& ink, int64_t x, int64_t y, std::string_view text) {
    TDispCanvas& canvas = r_.surface->Canvas();
    canvas.PaintText(x, y, text, ink.font, ink.paint);
    if (ink.changesBrush) canvas.brushColour = ink.brushAfter;
}

void TextConsole::DrawString(int64_t x, int64_t y, std::string_view text) {
    if (!CanDraw()) return;
    Paint(MakeInk(), x, y, text);
}

void TextConsole::DrawCursorPicture() {
    if (!CanDraw()) return;
    TDispCanvas& canvas = r_.surface->Canvas();
    TDispScreen& screen = *s_.screen;
    // The picture's lines in the font colour, the rest of its 8 x 8 block in the brush colour.
    const uint8_t ink = screen.NearestIndex(t_.font.color);
    const uint8_t paper = screen.NearestIndex(canvas.brushColour);
    const PixelTarget target = r_.surface->Target();
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const bool line = column == row || (column >= 1 && column + row == 8);
            raster::SetPixel(target, int64_t{t_.textX} + column, int64_t{t_.textY} + row,
                             line ? ink : paper);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Escape codes

ConsoleFailure TextConsole::ApplyCode(std::string_view text, size_t& i) {
    ConsoleFailure failure;
    if (i + 1 >= text.size()) return failure;  // an ESC at the end is no code
    // A number: the characters from `from` up to the next space, which is consumed; i is left
    // on the space, or on the last character when there is none. A failure names that position:
    // where the code had got to.
    auto number = [&](size_t from, int32_t& n) {
        size_t end = text.find(' ', from);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view digits = from < text.size() ? text.substr(from, end - from) : "";
        i = std::min(end, text.size() - 1);
        if (ParseWholeNumber(digits, n)) return true;
        failure.kind = ConsoleFailure::Kind::BadNumber;
        failure.position = static_cast<int32_t>(i + 1);
        return false;
    };
    const char letter = text[i + 1];
    int32_t n = 0;
    switch (letter) {
        case 'I':
            if (!number(i + 2, n)) return failure;
            t_.font.color = s_.ColourOf(n);
            break;
        case 'F': {
            const char style = i + 2 < text.size() ? text[i + 2] : '\0';
            i = std::min(i + 2, text.size() - 1);
            switch (style) {
                case 'B':
                    t_.font.bold = !t_.font.bold;
                    break;
                case 'I':
                    t_.font.italic = !t_.font.italic;
                    break;
                case 'U':
                    t_.font.underline = !t_.font.underline;
                    break;
                case 'S':
                    t_.font.strikeout = !t_.font.strikeout;
                    break;
                default:
                    failure.kind = ConsoleFailure::Kind::BadStyleLetter;
                    failure.position = static_cast<int32_t>(i + 1);
                    return failure;
            }
            break;
        }
        case 'S':
            if (!number(i + 2, n)) return failure;
            t_.font.size = n;
            MeasureCells();
            break;
        case 'M': {
            const char direction = i + 2 < text.size() ? text[i + 2] : '\0';
            if (direction != 'D' && direction != 'U' && direction != 'L' && direction != 'R') {
                ++i;  // ESC M and nothing more
                break;
            }
            if (!number(i + 3, n)) return failure;
            if (direction == 'D') MoveBy(0, n);
            if (direction == 'U') MoveBy(0, -int64_t{n});
            if (direction == 'L') MoveBy(-int64_t{n}, 0);
            if (direction == 'R') MoveBy(n, 0);
            break;
        }
        case 'X':
            if (!number(i + 2, n)) return failure;
            t_.textColumn = n;
            t_.textX = Wrap32(int64_t{MWidth()} * n);
            break;
        case 'Y':
            if (!number(i + 2, n)) return failure;
            t_.textRow = n;
            t_.textY = Wrap32(int64_t{MHeight()} * n);
            break;
        default:  // ESC T (already expanded) and any other letter: ESC and the letter, ignored
            ++i;
            break;
    }
    return failure;
}

// ---------------------------------------------------------------------------------------------
// PRINT

ConsoleFailure TextConsole::Print(std::string_view text, size_t maxLength) {
    ConsoleFailure failure;
    if (t_.gridMode == 0) {
        if (CanDraw()) {
            const Point pen = r_.surface->Canvas().penPos;
            DrawString(pen.x, pen.y, text);
        }
    } else {
        std::string expanded;
        if (!ExpandTabs(text, t_.tabWidth, maxLength, expanded)) {
            failure.kind = ConsoleFailure::Kind::TooLong;
            return failure;
        }
        int32_t w = Cell().width, h = Cell().height;
        // The font and the paint change only with a code: they are worked out again after each.
        const bool draw = CanDraw();
        Ink ink;
        if (draw) ink = MakeInk();
        for (size_t i = 0; i < expanded.size(); ++i) {
            if (i > 0 && s_.screen && s_.screen->GiveWayAfter(i)) break;
            const char c = expanded[i];
            if (c == kEscape && t_.preformatting == 1) {
                failure = ApplyCode(expanded, i);
                if (!failure.Ok()) return failure;
                w = Cell().width;
                h = Cell().height;
                if (draw) ink = MakeInk();
                continue;
            }
            // Every other character takes its cell; a control character draws the font's mark
            // for a character it has no glyph for.
            if (draw) Paint(ink, t_.textX, t_.textY, std::string_view(&expanded[i], 1));
            t_.textX = Wrap32(int64_t{t_.textX} + w);
            t_.textColumn = Wrap32(int64_t{t_.textColumn} + 1);
            if (int64_t{r_.width} < int64_t{t_.textX} + w) {
                // The next character would end beyond the right edge: the next row. Rows go on
                // below the bottom edge; nothing scrolls.
                t_.textColumn = 0;
                t_.textRow = Wrap32(int64_t{t_.textRow} + 1);
                t_.textX = 0;
                t_.textY = Wrap32(int64_t{t_.textY} + h);
            }
        }
    }
    if (t_.cursorVisible == 1) DrawCursorPicture();
    return failure;
}

// ---------------------------------------------------------------------------------------------
// The cursor

void TextConsole::MoveBy(int64_t columns, int64_t rows) {
    if (columns != 0) {
        t_.textColumn = Wrap32(t_.textColumn + columns);
        t_.textX = Wrap32(t_.textX + int64_t{MWidth()} * columns);
    }
    if (rows != 0) {
        t_.textRow = Wrap32(t_.textRow + rows);
        t_.textY = Wrap32(t_.textY + int64_t{MHeight()} * rows);
    }
}

void TextConsole::MoveTo(int64_t column, int64_t row) {
    t_.textColumn = Wrap32(column);
    t_.textRow = Wrap32(row);
    t_.textX = Wrap32(int64_t{MWidth()} * column);
    t_.textY = Wrap32(int64_t{MHeight()} * row);
}

int32_t TextConsole::StyleBits() const {
    return (t_.font.bold ? 1 : 0) | (t_.font.italic ? 2 : 0) | (t_.font.underline ? 4 : 0) |
           (t_.font.strikeout ? 8 : 0);
}

void TextConsole::SetStyleBits(int32_t bits) {
    t_.font.bold = bits & 1;
    t_.font.italic = bits & 2;
    t_.font.underline = bits & 4;
    t_.font.strikeout = bits & 8;
}

}  // namespace tw
