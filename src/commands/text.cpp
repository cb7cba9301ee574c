// Text commands and functions: PRINT and its neighbours, the text cursor, fonts, styles and draw
// modes, scrolling, and the PRE* functions that build escape codes. They all work on the current
// screen's text console.
//
// Sections: the console of the current screen; printing; the cursor; fonts, styles and modes;
// scrolling; functions.

#include <algorithm>

#include "commands/registry.h"
#include "display/text_console.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// ---------------------------------------------------------------------------------------------
// The console of the current screen

TextConsole Console(Interpreter& in) {
    Screens& s = in.screens;
    return TextConsole(s, s.records[std::clamp(s.currentScreen, 0, kScreenCount - 1)]);
}

// The current screen for a command that draws: it must be open.
ScreenRecord* DrawingScreen(Interpreter& in, TResult& result) {
    Screens& s = in.screens;
    ScreenRecord* r = DisplayStarted(s) ? s.Open(s.currentScreen) : nullptr;
    if (!r) result.Fail(ErrorId::DrawScreenNotOpen, 0, s.currentScreen);
    return r;
}

// The text form of a command's one expression and the open screen it draws on; null (with the
// failure set) when either cannot be had.
ScreenRecord* TextToDraw(Interpreter& in, const Args& args, CommandResult& result,
                         std::string& text) {
    result.ok = true;
    if (!ArgCursor(in, args, result).Whole().Text(text)) return nullptr;
    return DrawingScreen(in, result);
}

// The canvas update that ends a text command: held, refreshed, released.
void UpdateCanvas(Screens& s, ScreenRecord& r) {
    if (!r.surface) return;
    r.canvasHeld = true;
    ++s.canvasesHeld;
    r.surface->Canvas().ReleaseHandle();
    r.canvasHeld = false;
    --s.canvasesHeld;
}

// ---------------------------------------------------------------------------------------------
// Printing

// PRINT and ?: the text form of one expression, on the cell grid or at the pen.
void PrintCommand(Interpreter& in, const Args& args, CommandResult& result) {
    std::string text;
    ScreenRecord* r = TextToDraw(in, args, result, text);
    if (!r) return;
    TextConsole console(in.screens, *r);
    const ConsoleFailure failure = console.Print(text, kMaxTextLength);
    switch (failure.kind) {
        case ConsoleFailure::Kind::None:
            UpdateCanvas(in.screens, *r);
            break;
        case ConsoleFailure::Kind::BadNumber:
            result.Fail(ErrorId::PreformatNumber, failure.position);
            break;
        case ConsoleFailure::Kind::BadStyleLetter:
            result.Fail(ErrorId::PreformatValue, failure.position);
            break;
        case ConsoleFailure::Kind::TooLong:
            result.Fail(ErrorId::ValueTooBig, 0);
            break;
    }
}

// CENTER: centred across the whole screen, its top at the pen's y; nothing moves.
void CenterCommand(Interpreter& in, const Args& args, CommandResult& result) {
    std::string text;
    ScreenRecord* r = TextToDraw(in, args, result, text);
    if (!r) return;
    TextConsole console(in.screens, *r);
    const int64_t x = (int64_t{r->width} - console.TextWidth(text)) / 2;
    console.DrawString(x, r->surface->Canvas().penPos.y, text);
    UpdateCanvas(in.screens, *r);
}

// BORDER: the text at the cursor (grid mode) or the pen (free mode), framed in white.
void BorderCommand(Interpreter& in, const Args& args, CommandResult& result) {
    std::string text;
    ScreenRecord* r = TextToDraw(in, args, result, text);
    if (!r) return;
    TextConsole console(in.screens, *r);
    const TextState& t = console.State();
    TDispCanvas& canvas = r->surface->Canvas();
    const Point at = t.gridMode == 1 ? Point{t.textX, t.textY} : canvas.penPos;
    console.DrawString(at.x, at.y, text);
    canvas.FrameRect(
        {at.x - 2, at.y, at.x + console.TextWidth(text) + 2, at.y + console.Cell().height}, kWhite);
    UpdateCanvas(in.screens, *r);
}

// ---------------------------------------------------------------------------------------------
// The cursor

// LOCATE x, y and CMOVE dx, dy: every failure, of the evaluation too, is the command's own.
void LocateOrMove(Interpreter& in, const Args& args, CommandResult& result, bool move) {
    result.ok = true;
    int32_t x, y;
    ArgCursor a(in, args, result);
    if (!a.Integer(x) || !a.Integer(y)) {
        result.FailWith(move ? ErrorId::CmoveArguments : ErrorId::LocateArguments, 0);
        return;
    }
    TextConsole console = Console(in);
    if (move) {
        console.MoveBy(x, y);
    } else {
        console.MoveTo(x, y);
    }
    if (ScreenRecord* r = in.screens.Open(in.screens.currentScreen)) UpdateCanvas(in.screens, *r);
}

void LocateCommand(Interpreter& in, const Args& args, CommandResult& result) {
    LocateOrMove(in, args, result, false);
}
void CmoveCommand(Interpreter& in, const Args& args, CommandResult& result) {
    LocateOrMove(in, args, result, true);
}

void HomeCommand(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    TextState& t = Console(in).State();
    t.textColumn = t.textRow = t.textX = t.textY = 0;
}

// CUP, CDOWN, CLEFT, CRIGHT: one cell.
template <int kColumns, int kRows>
void CursorStep(Interpreter& in, const Args&, CommandResult& result) {
    result.ok = true;
    Console(in).MoveBy(kColumns, kRows);
    if (ScreenRecord* r = in.screens.Open(in.screens.currentScreen)) UpdateCanvas(in.screens, *r);
}

// MEMORIZE X|Y|XY and REMEMBER X|Y|XY: any other word does nothing.
void MemorizeCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    TextState& t = Console(in).State();
    const ArgCursor a(in, args, result);
    if (a.NextIs("X") || a.NextIs("XY")) t.memorizedColumn = t.textColumn;
    if (a.NextIs("Y") || a.NextIs("XY")) t.memorizedRow = t.textRow;
}

void RememberCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    TextConsole console = Console(in);
    TextState& t = console.State();
    const ArgCursor a(in, args, result);
    if (a.NextIs("X") || a.NextIs("XY")) {
        t.textColumn = t.memorizedColumn;
        t.textX =
            static_cast<int32_t>(static_cast<uint32_t>(int64_t{console.MWidth()} * t.textColumn));
    }
    if (a.NextIs("Y") || a.NextIs("XY")) {
        t.textRow = t.memorizedRow;
        t.textY =
            static_cast<int32_t>(static_cast<uint32_t>(int64_t{console.MHeight()} * t.textRow));
    }
    if (ScreenRecord* r = in.screens.Open(in.screens.currentScreen)) UpdateCanvas(in.screens, *r);
}

// CURS ON|OFF: a word, not an expression.
void CursCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    const ArgCursor a(in, args, result);
    TextState& t = Console(in).State();
    if (a.NextIs("ON")) {
        t.cursorVisible = 1;
    } else if (a.NextIs("OFF")) {
        t.cursorVisible = 0;
    } else {
        result.Fail(ErrorId::OnOrOff, 1);
    }
}

// ---------------------------------------------------------------------------------------------
// Fonts, styles and modes

// The ON or OFF that BOLD, ITALICS, UNDER, STRIKE, INVERSE and SHADE evaluate: true for ON.
bool OnOrOff(Interpreter& in, const Args& args, CommandResult& result, bool& on) {
    result.ok = true;
    std::string text;
    if (!ArgCursor(in, args, result).Whole().Text(text)) return false;
    const std::string word = ToUpper(text);
    if (word != "ON" && word != "OFF") {
        result.Fail(ErrorId::OnOrOff, 1);
        return false;
    }
    on = word == "ON";
    return true;
}

// BOLD, ITALICS, UNDER, STRIKE: one bit of the font's style.
template <int kBit>
void StyleCommand(Interpreter& in, const Args& args, CommandResult& result) {
    bool on;
    if (!OnOrOff(in, args, result, on)) return;
    TextConsole console = Console(in);
    const int32_t bits = console.StyleBits();
    console.SetStyleBits(on ? (bits | kBit) : (bits & ~kBit));
}

// INVERSE (draw mode 5) and SHADE (6); OFF gives mode 0.
template <uint8_t kMode>
void ModeCommand(Interpreter& in, const Args& args, CommandResult& result) {
    bool on;
    if (!OnOrOff(in, args, result, on)) return;
    Console(in).State().drawMode = on ? kMode : 0;
}

// FONT SIZE|NAME|STYLE|COLOR|DMODE value: the value runs from position 1 up to ",". Any other
// word changes nothing.
void FontCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    ArgCursor a(in, args, result);
    enum class Form { Size, Name, Style, Colour, DrawMode, None } form = Form::None;
    if (a.Keyword("SIZE"))
        form = Form::Size;
    else if (a.Keyword("NAME"))
        form = Form::Name;
    else if (a.Keyword("STYLE"))
        form = Form::Style;
    else if (a.Keyword("COLOR"))
        form = Form::Colour;
    else if (a.Keyword("DMODE"))
        form = Form::DrawMode;
    if (form == Form::None) return;
    // A value that cannot be applied is the command's failure; an evaluation's failure is its own.
    a.OnBadValue(ErrorId::FontValue, 1);
    TextConsole console = Console(in);
    TextState& t = console.State();
    int32_t n = 0;
    std::string name;
    if (form == Form::Name ? !a.Text(name) : !a.Integer(n)) return;
    switch (form) {
        case Form::Size:
            t.font.size = n;
            console.MeasureCells();
            break;
        case Form::Name:
            t.font.name = name;
            t.font.fixedPitch = t.gridMode == 1;
            console.MeasureCells();
            break;
        case Form::Style: {
            // Decomposed from 8 down to 1: each weight that still fits is set and subtracted.
            int32_t bits = 0, rest = n;
            for (int32_t weight : {8, 4, 2, 1}) {
                if (rest >= weight) {
                    bits |= weight;
                    rest -= weight;
                }
            }
            console.SetStyleBits(bits);
            break;
        }
        case Form::Colour:
            t.font.color = in.screens.ColourOf(n);
            break;
        case Form::DrawMode:
            if (n < 1 || n > 8) {
                result.Fail(ErrorId::FontDrawMode, 1);
                return;
            }
            t.drawMode = static_cast<uint8_t>(n - 1);
            break;
        case Form::None:
            break;
    }
    if (ScreenRecord* r = in.screens.Open(in.screens.currentScreen)) UpdateCanvas(in.screens, *r);
}

// ---------------------------------------------------------------------------------------------
// Scrolling

// HSCROLL L|S, R|other and VSCROLL L|S, U|other: the line of the cursor (L) or the whole
// screen (S) moves by one cell; the band it uncovers keeps its pixels. Any other first word
// scrolls nothing.
void Scroll(Interpreter& in, const Args& args, CommandResult& result, bool horizontal) {
    result.ok = true;
    const ArgCursor a(in, args, result);
    const bool line = a.NextIs("L");
    if (!line && !a.NextIs("S")) return;
    ScreenRecord* r = DrawingScreen(in, result);
    if (!r) return;
    const bool forward = a.Peek(2) != "" && EqualsUpper(a.Peek(2), horizontal ? "R" : "U");
    const TextState& t = r->text;
    const CellSize& cell = TextConsole(in.screens, *r).Cell();
    const int64_t w = r->width, h = r->height, cw = cell.width, ch = cell.height;
    const int64_t top = line ? t.textY : 0;
    const int64_t bottom = line ? int64_t{t.textY} + ch : h;
    Rect source;
    Point to;
    if (horizontal) {
        // Right: the band moves one cell right; left: one cell left.
        source = forward ? Rect{0, top, w - cw, bottom} : Rect{cw, top, w, bottom};
        to = forward ? Point{cw, top} : Point{0, top};
    } else if (line) {
        // The cursor's line, one cell up or down.
        source = Rect{0, top, w, bottom};
        to = Point{0, forward ? top - ch : top + ch};
    } else {
        source = forward ? Rect{0, ch, w, h} : Rect{0, 0, w, h - ch};
        to = forward ? Point{0, 0} : Point{0, ch};
    }
    r->surface->Draw(to.x, to.y, false, source, *r->surface);
    UpdateCanvas(in.screens, *r);
}

void HscrollCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Scroll(in, args, result, true);
}
void VscrollCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Scroll(in, args, result, false);
}

// ---------------------------------------------------------------------------------------------
// Functions

std::string Escape(std::string_view letters) {
    return std::string(1, kEscape) + std::string(letters);
}

// GRID: True (0) in grid mode, False (-1) otherwise.
void GridFunction(Interpreter& in, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Int(Console(in).State().gridMode == 1 ? kTrue : kFalse);
}

// PRESTYLE BOLD|ITALIC|UNDERLINE|STRIKEOUT: a word; any other word gives the empty text.
void PrestyleFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    result.ok = true;
    const ArgCursor a(in, args, result);
    std::string code;
    if (a.NextIs("BOLD"))
        code = Escape("FB");
    else if (a.NextIs("ITALIC"))
        code = Escape("FI");
    else if (a.NextIs("UNDERLINE"))
        code = Escape("FU");
    else if (a.NextIs("STRIKEOUT"))
        code = Escape("FS");
    result.value = Value::Str(std::move(code));
}

// The integer arguments of a PRE* function, cut at top-level commas; a value that does not
// convert is the function's own failure.
bool PreIntegers(Interpreter& in, const Args& args, FunctionResult& result, ErrorId failure,
                 int32_t* out, int count) {
    result.ok = true;
    ArgCursor a(in, args, result);
    a.Parts(count).OnBadValue(failure);
    for (int i = 0; i < count; ++i) {
        if (!a.Integer(out[i])) return false;
    }
    return true;
}

// ESC M and a direction and the distance, for a signed count: the direction for n > 0, the
// opposite one for n < 0, nothing for 0.
std::string MoveCode(int32_t n, char positive, char negative) {
    if (n == 0) return std::string();
    const int64_t distance = n < 0 ? -int64_t{n} : n;
    return Escape(std::string("M") + (n > 0 ? positive : negative)) + std::to_string(distance) +
           " ";
}

void PreinkFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    int32_t n;
    if (!PreIntegers(in, args, result, ErrorId::PreinkValue, &n, 1)) return;
    result.value = Value::Str(Escape("I") + std::to_string(n) + " ");
}

// PREMOVE(dx, dy): the vertical part first, then the horizontal one.
void PremoveFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    int32_t v[2];
    if (!PreIntegers(in, args, result, ErrorId::PremoveValues, v, 2)) return;
    result.value = Value::Str(MoveCode(v[1], 'D', 'U') + MoveCode(v[0], 'R', 'L'));
}

void PrelocateFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    int32_t v[2];
    if (!PreIntegers(in, args, result, ErrorId::PrelocateValues, v, 2)) return;
    result.value = Value::Str(Escape("X") + std::to_string(v[0]) + " " + Escape("Y") +
                              std::to_string(v[1]) + " ");
}

void TabFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Str(Escape("T"));
}

template <char kPositive, char kNegative, ErrorId kFailure>
void PreCursorFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    int32_t n;
    if (!PreIntegers(in, args, result, kFailure, &n, 1)) return;
    result.value = Value::Str(MoveCode(n, kPositive, kNegative));
}

// FONTNAME(i): the installed font family i, the index clamped to the list.
void FontnameFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    int32_t i;
    if (!PreIntegers(in, args, result, ErrorId::FontnameIndex, &i, 1)) return;
    const std::vector<std::string>& families = FontCache::InstalledFamilies();
    if (families.empty()) {
        result.value = Value::Str(std::string());
        return;
    }
    const int32_t last = static_cast<int32_t>(families.size()) - 1;
    result.value = Value::Str(families[std::clamp(i, 0, last)]);
}

void FontmaxFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Int(static_cast<int32_t>(FontCache::InstalledFamilies().size()));
}

// The functions that read one number of the current screen's console.
template <int32_t (*kRead)(Interpreter&)>
void ConsoleNumber(Interpreter& in, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Int(kRead(in));
}

int32_t CellHeightOf(Interpreter& in) {
    return Console(in).Cell().height;
}
int32_t CellWidthOf(Interpreter& in) {
    return Console(in).Cell().width;
}
int32_t CharsWide(Interpreter& in) {
    Screens& s = in.screens;
    const ScreenRecord& r = s.records[std::clamp(s.currentScreen, 0, kScreenCount - 1)];
    const int32_t cell = Console(in).Cell().width;
    return cell > 0 ? r.width / cell : 0;
}
int32_t CharsHigh(Interpreter& in) {
    Screens& s = in.screens;
    const ScreenRecord& r = s.records[std::clamp(s.currentScreen, 0, kScreenCount - 1)];
    const int32_t cell = Console(in).Cell().height;
    return cell > 0 ? r.height / cell : 0;
}
int32_t StyleOf(Interpreter& in) {
    return Console(in).StyleBits();
}
int32_t ColumnOf(Interpreter& in) {
    return Console(in).State().textColumn;
}
int32_t RowOf(Interpreter& in) {
    return Console(in).State().textRow;
}

}  // namespace

void RegisterTextCommands(CommandTable& commands, FunctionTable& functions) {
    commands.Bind(CommandId::PRINT, PrintCommand);
    commands.Bind(CommandId::QUESTION, PrintCommand);
    commands.Bind(CommandId::CENTER, CenterCommand);
    commands.Bind(CommandId::BORDER, BorderCommand);
    commands.Bind(CommandId::FONT, FontCommand);
    commands.Bind(CommandId::LOCATE, LocateCommand);
    commands.Bind(CommandId::CMOVE, CmoveCommand);
    commands.Bind(CommandId::HOME, HomeCommand);
    commands.Bind(CommandId::CUP, CursorStep<0, -1>);
    commands.Bind(CommandId::CDOWN, CursorStep<0, 1>);
    commands.Bind(CommandId::CLEFT, CursorStep<-1, 0>);
    commands.Bind(CommandId::CRIGHT, CursorStep<1, 0>);
    commands.Bind(CommandId::BOLD, StyleCommand<1>);
    commands.Bind(CommandId::ITALICS, StyleCommand<2>);
    commands.Bind(CommandId::UNDER, StyleCommand<4>);
    commands.Bind(CommandId::STRIKE, StyleCommand<8>);
    commands.Bind(CommandId::INVERSE, ModeCommand<5>);
    commands.Bind(CommandId::SHADE, ModeCommand<6>);
    commands.Bind(CommandId::CURS, CursCommand);
    commands.Bind(CommandId::MEMORIZE, MemorizeCommand);
    commands.Bind(CommandId::REMEMBER, RememberCommand);
    commands.Bind(CommandId::HSCROLL, HscrollCommand);
    commands.Bind(CommandId::VSCROLL, VscrollCommand);

    functions.Bind(FunctionId::GRID, GridFunction);
    functions.Bind(FunctionId::PRESTYLE, PrestyleFunction);
    functions.Bind(FunctionId::PREINK, PreinkFunction);
    functions.Bind(FunctionId::PREMOVE, PremoveFunction);
    functions.Bind(FunctionId::PRELOCATE, PrelocateFunction);
    functions.Bind(FunctionId::TAB, TabFunction);
    functions.Bind(FunctionId::PRECDOWN, PreCursorFunction<'D', 'U', ErrorId::PrecdownValue>);
    functions.Bind(FunctionId::PRECUP, PreCursorFunction<'U', 'D', ErrorId::PrecupValue>);
    functions.Bind(FunctionId::PRECLEFT, PreCursorFunction<'L', 'R', ErrorId::PrecleftValue>);
    functions.Bind(FunctionId::PRECRIGHT, PreCursorFunction<'R', 'L', ErrorId::PrecrightValue>);
    functions.Bind(FunctionId::FONTNAME, FontnameFunction);
    functions.Bind(FunctionId::FONTMAX, FontmaxFunction);
    functions.Bind(FunctionId::FONTHEIGHT, ConsoleNumber<CellHeightOf>);
    functions.Bind(FunctionId::FONTWIDTH, ConsoleNumber<CellWidthOf>);
    functions.Bind(FunctionId::TEXTWIDTH, ConsoleNumber<CellWidthOf>);
    functions.Bind(FunctionId::MAXCHARSWIDE, ConsoleNumber<CharsWide>);
    functions.Bind(FunctionId::MAXCHARSHIGH, ConsoleNumber<CharsHigh>);
    functions.Bind(FunctionId::FONTSTYLE, ConsoleNumber<StyleOf>);
    functions.Bind(FunctionId::XCURS, ConsoleNumber<ColumnOf>);
    functions.Bind(FunctionId::YCURS, ConsoleNumber<RowOf>);
}

}  // namespace tw
