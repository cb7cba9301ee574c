// Screens: the table of 16 screens, their stacking, the composition, SCREEN and DISPLAY.
//
// Sections: the screens of a run; stacking; composition; SCREEN sub-commands; DISPLAY UPDATE.

#include "display/screens.h"

#include "frontend/names.h"
#include "interpreter/arguments.h"

namespace tw {

Colour Screens::ColourOf(int32_t index) const {
    if (index >= 0 && index <= 255 && screen) return screen->EntryColour(index);
    return static_cast<Colour>(index) & 0xFFFFFF;
}

Screens& ScreensOf(Interpreter& in) {
    if (!in.display) in.display = std::make_unique<Screens>();
    return static_cast<Screens&>(*in.display);
}

// ---------------------------------------------------------------------------------------------
// The screens of a run

void ResetDrawingColours(Interpreter& in) {
    Screens& s = ScreensOf(in);
    s.defaultPen = PenSpec{};
    s.defaultBrush = BrushSpec{};
    s.inkIndex = 16777215;
    s.brushIndex = 0;
}

namespace {

// A screen's text state at the start of a run.
TextState FreshTextState(TDispScreen& screen) {
    TextState t;
    t.font.name = "COURIER";
    t.font.size = 12;
    t.font.color = kWhite;
    // One character "M" of the default font gives the cell.
    TDispSurface probe(screen, 1, 1);
    t.cellWidth = probe.Canvas().TextWidth("M");
    t.cellHeight = probe.Canvas().TextHeight("M");
    return t;
}

void AssignDefaults(Screens& s, TDispCanvas& canvas) {
    canvas.penColour = s.defaultPen.colour;
    canvas.penStyle = s.defaultPen.style;
    canvas.brushColour = s.defaultBrush.colour;
    canvas.brushStyle = s.defaultBrush.style;
}

}  // namespace

void CreateScreens(Interpreter& in) {
    Screens& s = ScreensOf(in);
    s.screen = std::make_unique<TDispScreen>(in.host);
    s.screen->BackBuffers = 2;
    s.screen->DisplayMode = TDisplayMode::dm800x600x8;
    s.displayMode = TDisplayMode::dm800x600x8;
    s.displayWidth = 800;
    s.displayHeight = 600;
    s.currentScreen = 0;
    s.composedAndShown = false;
    const TextState text = FreshTextState(*s.screen);
    for (ScreenRecord& r : s.records) {
        r.open = false;
        r.offsetX = r.offsetY = 0;
        r.width = s.displayWidth;
        r.height = s.displayHeight;
        r.surface.reset();
        r.canvasHeld = false;
        r.depth = -1;
        r.text = text;
    }
}

void StartDisplay(Interpreter& in) {
    Screens& s = ScreensOf(in);
    if (!s.screen) return;
    s.screen->DisplayMode = s.displayMode;
    s.screen->Initialize();
    s.screen->BackSurface().Erase(3);
    s.screen->FrontSurface().Erase(3);

    ScreenRecord& zero = s.records[0];
    zero.open = true;
    zero.offsetX = zero.offsetY = 0;
    zero.width = s.displayWidth;
    zero.height = s.displayHeight;
    zero.surface = std::make_unique<TDispSurface>(*s.screen, zero.width, zero.height);
    zero.surface->Erase(3);
    zero.canvasHeld = false;
    TDispCanvas& canvas = zero.surface->Canvas();
    canvas.font.color = zero.text.font.color;
    AssignDefaults(s, canvas);
    // Taken directly as RGB values: screen 0 starts with a white pen and a black brush.
    canvas.penColour = static_cast<Colour>(s.inkIndex) & 0xFFFFFF;
    canvas.brushColour = static_cast<Colour>(s.brushIndex) & 0xFFFFFF;
    zero.depth = 0;
}

void StopDisplay(Interpreter& in) {
    if (!in.display) return;
    Screens& s = ScreensOf(in);
    if (!s.screen) return;
    if (s.screen->Initialized()) {
        s.screen->FrontSurface().Canvas().ReleaseHandle();
        s.screen->BackSurface().Canvas().ReleaseHandle();
    }
    // Closed screens leave the stack: the ranks of the open screens stay 0 to n - 1.
    for (ScreenRecord& r : s.records) {
        r.surface.reset();
        r.open = false;
        r.depth = -1;
    }
    s.canvasesHeld = 0;
    s.screen->Finalize();
}

void FreeScreens(Interpreter& in) {
    if (!in.display) return;
    ScreensOf(in).screen.reset();
}

void FlipToDesktop(Interpreter& in) {
    if (!in.display) return;
    Screens& s = ScreensOf(in);
    if (s.screen) s.screen->FlipToGDISurface();
}

void ReleaseHeldCanvases(Interpreter& in) {
    if (!in.display) return;
    Screens& s = ScreensOf(in);
    if (s.canvasesHeld == 0) return;
    s.canvasesHeld = 0;
    for (ScreenRecord& r : s.records) {
        if (r.open && r.canvasHeld) {
            r.surface->Canvas().ReleaseHandle();
            r.canvasHeld = false;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Stacking

void BringToFront(Screens& s, int n) {
    ScreenRecord& target = s.records[n];
    for (int i = 0; i < kScreenCount; ++i) {
        ScreenRecord& r = s.records[i];
        if (i == n || !r.open) continue;
        if (target.depth == -1 || r.depth < target.depth) ++r.depth;
    }
    target.depth = 0;
    s.currentScreen = n;
}

void SendToBack(Screens& s, int n) {
    ScreenRecord& target = s.records[n];
    int open = 0;
    for (int i = 0; i < kScreenCount; ++i) {
        ScreenRecord& r = s.records[i];
        if (!r.open) continue;
        ++open;
        if (i != n && target.depth != -1 && r.depth > target.depth) --r.depth;
    }
    target.depth = open - 1;
    s.currentScreen = n;
}

// ---------------------------------------------------------------------------------------------
// Composition

void UpdateDisplay(Interpreter& in, bool flip) {
    if (!in.display) return;
    Screens& s = ScreensOf(in);
    if (!s.screen || !s.screen->Initialized()) return;
    TDispSurface& back = s.screen->BackSurface();
    back.Erase(3);
    back.Canvas().ReleaseHandle();
    // Back to front, and within a rank by screen number: a screen in front hides what lies
    // behind it within its rectangle.
    for (int rank = kScreenCount - 1; rank >= 0; --rank) {
        for (const ScreenRecord& r : s.records) {
            if (!r.open || r.depth != rank || !r.surface) continue;
            int64_t x = r.offsetX, y = r.offsetY;
            Rect source{0, 0, r.width, r.height};
            if (x < 0) source.left = -x, x = 0;
            if (y < 0) source.top = -y, y = 0;
            if (int64_t{r.width} + r.offsetX > s.displayWidth)
                source.right = int64_t{s.displayWidth} - r.offsetX;
            if (int64_t{r.height} + r.offsetY > s.displayHeight) {
                source.bottom = int64_t{s.displayHeight} - r.offsetY;
            }
            if (source.right > 0 && source.bottom > 0 && source.left < source.right &&
                source.top < source.bottom) {
                back.Draw(x, y, false, source, *r.surface);
                back.Canvas().ReleaseHandle();
            }
        }
    }
    back.Canvas().TextOut(0, s.displayHeight - 20,
                          "Tarnwick - Run Number :" + std::to_string(in.run.statementCount));
    back.Canvas().ReleaseHandle();
    if (flip) {
        s.screen->Flip();
        s.composedAndShown = true;
    }
}

void KeepFinalFrame(Interpreter& in) {
    if (!in.display) return;
    Screens& s = ScreensOf(in);
    if (s.composedAndShown) return;
    if (!s.screen || !s.screen->Initialized()) return;
    UpdateDisplay(in, false);
    TDispSurface& back = s.screen->BackSurface();
    in.host.KeepFrame(back.Pixels(), back.Width(), back.Height(), back.Pitch(),
                      s.screen->Entries());
}

// ---------------------------------------------------------------------------------------------
// SCREEN sub-commands

namespace {

std::string Number(int32_t n) {
    return std::to_string(n);
}

// Reads `count` comma-separated integer expressions from `position` (the last to the end).
bool ReadIntegers(Interpreter& in, const Args& args, int position, int count, int32_t* out,
                  CommandResult& result) {
    Expression expr;
    for (int i = 0; i < count; ++i) {
        CollectExpression(args, position, ",", "", expr, result);
        if (!result.ok || !EvaluateInteger(in, expr.AsArgs(), out[i], result)) return false;
        position += 2;
    }
    return true;
}

bool ValidSize(int32_t w, int32_t h) {
    return w >= 1 && w <= 1022 && h >= 1 && h <= 1022;
}

// A screen number outside 0..15, for the commands that name a screen to set up.
bool ValidNumber(int32_t n, CommandResult& result) {
    if (n >= 0 && n < kScreenCount) return true;
    result.Fail(27, 2, "RTE (27) - Screen number <" + Number(n) + "> is invalid!");
    return false;
}

// A screen number outside 0..15, for the commands that expect an open screen.
bool NumberOfAScreen(int32_t n, CommandResult& result) {
    if (n >= 0 && n < kScreenCount) return true;
    result.Fail(28, 2, "RTE (28) - Screen " + Number(n) + " is not open.");
    return false;
}

void ScreenOpen(Interpreter& in, Screens& s, const Args& args, CommandResult& result) {
    int32_t v[3];
    if (!ReadIntegers(in, args, 1, 3, v, result)) return;
    const int32_t n = v[0], w = v[1], h = v[2];
    if (!ValidNumber(n, result)) return;
    ScreenRecord& r = s.records[n];
    if (r.open) {
        result.Fail(24, 2, "RTE (24) - Screen " + Number(n) + " is already open.");
        return;
    }
    if (!ValidSize(w, h)) {
        result.Fail(25, 4, "RTE (25) - Screen dimensions are too big or too small.");
        return;
    }
    r.surface = std::make_unique<TDispSurface>(*s.screen, w, h);
    r.open = true;
    r.offsetX = r.offsetY = 0;
    r.width = w;
    r.height = h;
    r.surface->Erase(0);
    r.surface->Canvas().TextOut(10, 10, "Screen No : " + Number(n));
    r.surface->Canvas().ReleaseHandle();
    r.canvasHeld = false;
    AssignDefaults(s, r.surface->Canvas());
    BringToFront(s, n);
}

void ScreenClose(Interpreter& in, Screens& s, const Args& args, CommandResult& result) {
    int32_t n = s.currentScreen;
    if (!args[1].empty() && !ReadIntegers(in, args, 1, 1, &n, result)) return;
    if (!s.Open(n)) {
        result.Fail(28, 1, "RTE (28) - Screen " + Number(n) + " is not open.");
        return;
    }
    ScreenRecord& r = s.records[n];
    try {
        SendToBack(s, n);
        r.open = false;
        r.offsetX = r.offsetY = 0;
        r.width = r.height = 0;
        r.surface.reset();
        r.canvasHeld = false;
        r.depth = -1;
    } catch (const std::exception&) {
        result.Fail(4, 1, "ProgError <4> : Screen closure error, existing commands queued?");
        return;
    }
    for (int i = 0; i < kScreenCount; ++i) {
        if (s.records[i].open && s.records[i].depth == 0) {
            s.currentScreen = i;
            break;
        }
    }
}

void ScreenClone(Interpreter& in, Screens& s, const Args& args, CommandResult& result) {
    int32_t n = -1;
    if (args[1].empty()) {
        for (int i = 0; i < kScreenCount && n < 0; ++i) {
            if (!s.records[i].open) n = i;
        }
        if (n < 0) {
            result.Fail(30, 1,
                        "RTE (30) - Could not clone current screen, all available screens are "
                        "used.");
            return;
        }
    } else {
        if (!ReadIntegers(in, args, 1, 1, &n, result)) return;
        if (!ValidNumber(n, result)) return;
        if (s.records[n].open) {
            result.Fail(29, 2,
                        "RTE (29) - Could not clone current screen, clone destination screen "
                        "already exists (" +
                            Number(n) + ").");
            return;
        }
    }
    // There is nothing to copy when the current screen has been closed.
    ScreenRecord* current = s.Open(s.currentScreen);
    if (!current) {
        result.Fail(28, 1, "RTE (28) - Screen " + Number(s.currentScreen) + " is not open.");
        return;
    }
    ScreenRecord& r = s.records[n];
    r.surface = std::make_unique<TDispSurface>(*s.screen, current->width, current->height);
    r.open = true;
    r.offsetX = current->offsetX;
    r.offsetY = current->offsetY;
    r.width = current->width;
    r.height = current->height;
    r.surface->Draw(0, 0, false, Rect{0, 0, current->width, current->height}, *current->surface);
    r.surface->Canvas().TextOut(10, 10, "CLONED Screen No : " + Number(n));
    r.surface->Canvas().ReleaseHandle();
    r.canvasHeld = false;
    AssignDefaults(s, r.surface->Canvas());
    BringToFront(s, n);
}

void ScreenTo(Interpreter& in, Screens& s, const Args& args, CommandResult& result) {
    const bool back = EqualsUpper(args[1], "BACK");
    int32_t n = s.currentScreen;
    if (!args[2].empty() && !ReadIntegers(in, args, 2, 1, &n, result)) return;
    if (!NumberOfAScreen(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(31, 2,
                    "RTE (31) - Could not change ZOrder of screen (" + Number(n) +
                        "). Screen is is not open.");
        return;
    }
    if (back) {
        SendToBack(s, n);
    } else {
        BringToFront(s, n);
    }
}

void ScreenCurrent(Interpreter& in, Screens& s, const Args& args, CommandResult& result) {
    int32_t n;
    if (!ReadIntegers(in, args, 1, 1, &n, result)) return;
    if (!NumberOfAScreen(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(32, 2,
                    "RTE (32) - Could not change the current screen to  (" + Number(n) +
                        "), this screen is not open.");
        return;
    }
    s.currentScreen = n;
}

void ScreenOffset(Interpreter& in, Screens& s, const Args& args, CommandResult& result) {
    int32_t v[3];
    if (!ReadIntegers(in, args, 1, 3, v, result)) return;
    const int32_t n = v[0];
    if (!ValidNumber(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(
            33, 2,
            "RTE (33) - Could not change screen location, screen (" + Number(n) + ") is not open.");
        return;
    }
    s.records[n].offsetX = v[1];
    s.records[n].offsetY = v[2];
}

void ScreenResize(Interpreter& in, Screens& s, const Args& args, CommandResult& result) {
    int32_t v[3];
    if (!ReadIntegers(in, args, 1, 3, v, result)) return;
    const int32_t n = v[0], w = v[1], h = v[2];
    if (!ValidNumber(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(34, 2,
                    "RTE (34) - Could not change screen dimensions, screen (" + Number(n) +
                        ") is not open.");
        return;
    }
    if (!ValidSize(w, h)) {
        result.Fail(25, 4, "RTE (25) - Screen dimensions are too big or too small.");
        return;
    }
    ScreenRecord& r = s.records[n];
    auto fresh = std::make_unique<TDispSurface>(*s.screen, w, h);
    fresh->Erase(3);
    r.surface = std::move(fresh);
    r.width = w;
    r.height = h;
    r.canvasHeld = false;
}

void ScreenCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    Screens& s = ScreensOf(in);
    if (!s.screen || !s.screen->Initialized()) return;
    UpperCopy word(args[0]);
    if (word.view() == "OPEN")
        ScreenOpen(in, s, args, result);
    else if (word.view() == "CLOSE")
        ScreenClose(in, s, args, result);
    else if (word.view() == "CLONE")
        ScreenClone(in, s, args, result);
    else if (word.view() == "TO")
        ScreenTo(in, s, args, result);
    else if (word.view() == "CURRENT")
        ScreenCurrent(in, s, args, result);
    else if (word.view() == "OFFSET")
        ScreenOffset(in, s, args, result);
    else if (word.view() == "RESIZE")
        ScreenResize(in, s, args, result);
}

// ---------------------------------------------------------------------------------------------
// DISPLAY UPDATE [TRUE]

void DisplayCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    if (!EqualsUpper(args[0], "UPDATE")) return;
    Screens& s = ScreensOf(in);
    if (!s.screen || !s.screen->Initialized()) return;
    if (EqualsUpper(args[1], "TRUE")) s.screen->WaitForVerticalBlank();
    UpdateDisplay(in, true);
}

}  // namespace

void RegisterScreenCommands(CommandTable& commands) {
    commands.Bind(CommandId::SCREEN, ScreenCommand);
    commands.Bind(CommandId::DISPLAY, DisplayCommand);
}

}  // namespace tw
