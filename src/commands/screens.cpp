// SCREEN and its sub-commands, DISPLAY UPDATE and RESOLUTION: opening, closing, stacking and
// moving the 16 screens, composing them on demand, and changing the display mode.

#include "display/screens.h"
#include "commands/registry.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

bool ValidSize(int32_t w, int32_t h) {
    return w >= 1 && w <= 1022 && h >= 1 && h <= 1022;
}

// A screen number outside 0..15, for the commands that name a screen to set up.
bool ValidNumber(int32_t n, TResult& result) {
    if (n >= 0 && n < kScreenCount) return true;
    result.Fail(ErrorId::ScreenNumberInvalid, 2, n);
    return false;
}

// A screen number outside 0..15, for the commands that expect an open screen.
bool NumberOfAScreen(int32_t n, TResult& result) {
    if (n >= 0 && n < kScreenCount) return true;
    result.Fail(ErrorId::ScreenNotOpen, 2, n);
    return false;
}

// SCREEN OPEN n, w, h
void ScreenOpen(ArgCursor& a, Screens& s) {
    TResult& result = a.result();
    int32_t n, w, h;
    if (!a.Integer(n) || !a.Integer(w) || !a.Integer(h)) return;
    if (!ValidNumber(n, result)) return;
    ScreenRecord& r = s.records[n];
    if (r.open) {
        result.Fail(ErrorId::ScreenAlreadyOpen, 2, n);
        return;
    }
    if (!ValidSize(w, h)) {
        result.Fail(ErrorId::ScreenSize, 4);
        return;
    }
    r.surface = std::make_unique<TDispSurface>(*s.screen, w, h);
    r.open = true;
    r.offsetX = r.offsetY = 0;
    r.width = w;
    r.height = h;
    r.surface->Erase(0);
    r.surface->Canvas().TextOut(10, 10, "Screen No : " + std::to_string(n));
    r.surface->Canvas().ReleaseHandle();
    r.canvasHeld = false;
    AssignDefaults(s, r.surface->Canvas());
    BringToFront(s, n);
}

// SCREEN CLOSE [n]
void ScreenClose(ArgCursor& a, Screens& s) {
    TResult& result = a.result();
    int32_t n = s.currentScreen;
    if (!a.OptionalInteger(n)) return;
    if (!s.Open(n)) {
        result.Fail(ErrorId::ScreenNotOpen, 1, n);
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
        result.Fail(ErrorId::ScreenClosure, 1);
        return;
    }
    for (int i = 0; i < kScreenCount; ++i) {
        if (s.records[i].open && s.records[i].depth == 0) {
            s.currentScreen = i;
            break;
        }
    }
}

// SCREEN CLONE [n]: a copy of the current screen, in front of it.
void ScreenClone(ArgCursor& a, Screens& s) {
    TResult& result = a.result();
    int32_t n = -1;
    if (a.AtEnd()) {
        for (int i = 0; i < kScreenCount && n < 0; ++i) {
            if (!s.records[i].open) n = i;
        }
        if (n < 0) {
            result.Fail(ErrorId::CloneAllUsed, 1);
            return;
        }
    } else {
        if (!a.Integer(n) || !ValidNumber(n, result)) return;
        if (s.records[n].open) {
            result.Fail(ErrorId::CloneExists, 2, n);
            return;
        }
    }
    // There is nothing to copy when the current screen has been closed.
    ScreenRecord* current = s.Open(s.currentScreen);
    if (!current) {
        result.Fail(ErrorId::ScreenNotOpen, 1, s.currentScreen);
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
    r.surface->Canvas().TextOut(10, 10, "CLONED Screen No : " + std::to_string(n));
    r.surface->Canvas().ReleaseHandle();
    r.canvasHeld = false;
    AssignDefaults(s, r.surface->Canvas());
    BringToFront(s, n);
}

// SCREEN TO FRONT|BACK [n]: any word but BACK brings the screen to the front.
void ScreenTo(ArgCursor& a, Screens& s) {
    TResult& result = a.result();
    const bool back = a.NextIs("BACK");
    a.Skip();
    int32_t n = s.currentScreen;
    if (!a.OptionalInteger(n) || !NumberOfAScreen(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(ErrorId::ZOrderClosed, 2, n);
        return;
    }
    if (back) {
        SendToBack(s, n);
    } else {
        BringToFront(s, n);
    }
}

// SCREEN CURRENT n: the stacking does not change.
void ScreenCurrent(ArgCursor& a, Screens& s) {
    TResult& result = a.result();
    int32_t n;
    if (!a.Integer(n) || !NumberOfAScreen(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(ErrorId::CurrentClosed, 2, n);
        return;
    }
    s.currentScreen = n;
}

// SCREEN OFFSET n, x, y
void ScreenOffset(ArgCursor& a, Screens& s) {
    TResult& result = a.result();
    int32_t n, x, y;
    if (!a.Integer(n) || !a.Integer(x) || !a.Integer(y) || !ValidNumber(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(ErrorId::OffsetClosed, 2, n);
        return;
    }
    s.records[n].offsetX = x;
    s.records[n].offsetY = y;
}

// SCREEN RESIZE n, w, h: a new, erased surface; the picture is lost.
void ScreenResize(ArgCursor& a, Screens& s) {
    TResult& result = a.result();
    int32_t n, w, h;
    if (!a.Integer(n) || !a.Integer(w) || !a.Integer(h) || !ValidNumber(n, result)) return;
    if (!s.records[n].open) {
        result.Fail(ErrorId::ResizeClosed, 2, n);
        return;
    }
    if (!ValidSize(w, h)) {
        result.Fail(ErrorId::ScreenSize, 4);
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

// SCREEN selects its form by its first word; a word that matches no form does nothing.
void ScreenCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    Screens& s = in.screens;
    if (!DisplayStarted(s)) return;
    ArgCursor a(in, args, result);
    if (a.Keyword("OPEN"))
        ScreenOpen(a, s);
    else if (a.Keyword("CLOSE"))
        ScreenClose(a, s);
    else if (a.Keyword("CLONE"))
        ScreenClone(a, s);
    else if (a.Keyword("TO"))
        ScreenTo(a, s);
    else if (a.Keyword("CURRENT"))
        ScreenCurrent(a, s);
    else if (a.Keyword("OFFSET"))
        ScreenOffset(a, s);
    else if (a.Keyword("RESIZE"))
        ScreenResize(a, s);
}

// DISPLAY UPDATE [TRUE]: composes and flips at once, after the vertical blank with TRUE. Any
// other first word does nothing.
void DisplayCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    ArgCursor a(in, args, result);
    if (!a.Keyword("UPDATE") || !DisplayStarted(in.screens)) return;
    if (a.NextIs("TRUE")) in.screens.screen->WaitForVerticalBlank();
    UpdateDisplay(in.screens, in.run.statementCount, true);
}

// RESOLUTION 320X240 | 640X480 | 800X600 | 1024X768: a new display mode; every screen but a
// fresh screen 0 is closed.
void ResolutionCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    struct Mode {
        const char* word;
        int width, height;
        TDisplayMode mode;
    };
    static const Mode kModes[] = {{"320X240", 320, 240, TDisplayMode::dm320x240x8},
                                  {"640X480", 640, 480, TDisplayMode::dm640x480x8},
                                  {"800X600", 800, 600, TDisplayMode::dm800x600x8},
                                  {"1024X768", 1024, 768, TDisplayMode::dm1024x768x8}};
    ArgCursor a(in, args, result);
    for (const Mode& m : kModes) {
        if (!a.NextIs(m.word)) continue;
        Screens& s = in.screens;
        s.displayWidth = m.width;
        s.displayHeight = m.height;
        s.displayMode = m.mode;
        StopDisplay(s);
        StartDisplay(s);
        return;
    }
    result.Fail(ErrorId::Resolution, 1);
}

}  // namespace

void RegisterScreenCommands(CommandTable& commands) {
    commands.Bind(CommandId::SCREEN, ScreenCommand);
    commands.Bind(CommandId::DISPLAY, DisplayCommand);
    commands.Bind(CommandId::RESOLUTION, ResolutionCommand);
}

}  // namespace tw
