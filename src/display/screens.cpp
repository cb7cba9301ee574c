// Screens: the table of 16 screens, their stacking, and the composition.
//
// Sections: the screens of a run; stacking; composition.

#include "display/screens.h"

#include "platform/host.h"

namespace tw {

Colour Screens::ColourOf(int32_t index) const {
    if (index >= 0 && index <= 255 && screen) return screen->EntryColour(index);
    return static_cast<Colour>(index) & 0xFFFFFF;
}

// ---------------------------------------------------------------------------------------------
// The screens of a run

void ResetDrawingColours(Screens& s) {
    s.defaultPen = PenSpec{};
    s.defaultBrush = BrushSpec{};
    s.inkIndex = 16777215;
    s.brushIndex = 0;
}

namespace {

// A screen's text state at the start of a run; its cell is measured when first needed.
TextState FreshTextState() {
    TextState t;
    t.font.name = "COURIER";
    t.font.size = 12;
    t.font.color = kWhite;
    return t;
}

}  // namespace

void AssignDefaults(const Screens& s, TDispCanvas& canvas) {
    canvas.penColour = s.defaultPen.colour;
    canvas.penStyle = s.defaultPen.style;
    canvas.brushColour = s.defaultBrush.colour;
    canvas.brushStyle = s.defaultBrush.style;
}

void CreateScreens(Screens& s, Host& host, RandomDraw draw) {
    s.screen = std::make_unique<TDispScreen>(host, std::move(draw));
    s.screen->BackBuffers = 2;
    s.screen->DisplayMode = TDisplayMode::dm800x600x8;
    s.displayMode = TDisplayMode::dm800x600x8;
    s.displayWidth = 800;
    s.displayHeight = 600;
    s.currentScreen = 0;
    s.composedAndShown = false;
    const TextState text = FreshTextState();
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

CellSize DefaultCell(Screens& s) {
    if (!s.screen) return {};
    TDispSurface probe(*s.screen, 1, 1);
    return {probe.Canvas().TextWidth("M"), probe.Canvas().TextHeight("M")};
}

void StartDisplay(Screens& s) {
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

void StopDisplay(Screens& s) {
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

void FreeScreens(Screens& s) {
    s.screen.reset();
}

void FlipToDesktop(Screens& s) {
    if (s.screen) s.screen->FlipToGDISurface();
}

void ReleaseHeldCanvases(Screens& s) {
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

bool ClipToDisplay(const Screens& s, int64_t& x, int64_t& y, int64_t width, int64_t height,
                   Rect& source) {
    source = Rect{0, 0, width, height};
    const int64_t left = x, top = y;
    if (x < 0) source.left = -x, x = 0;
    if (y < 0) source.top = -y, y = 0;
    if (width + left > s.displayWidth) source.right = s.displayWidth - left;
    if (height + top > s.displayHeight) source.bottom = s.displayHeight - top;
    return source.right > 0 && source.bottom > 0 && source.left < source.right &&
           source.top < source.bottom;
}

bool DisplayStarted(const Screens& s) {
    return s.screen && s.screen->Initialized();
}

void UpdateDisplay(Screens& s, int32_t runNumber, bool flip) {
    if (!DisplayStarted(s)) return;
    TDispSurface& back = s.screen->BackSurface();
    back.Erase(3);
    back.Canvas().ReleaseHandle();
    // Back to front, and within a rank by screen number: a screen in front hides what lies
    // behind it within its rectangle.
    for (int rank = kScreenCount - 1; rank >= 0; --rank) {
        for (const ScreenRecord& r : s.records) {
            if (!r.open || r.depth != rank || !r.surface) continue;
            int64_t x = r.offsetX, y = r.offsetY;
            Rect source;
            if (ClipToDisplay(s, x, y, r.width, r.height, source)) {
                back.Draw(x, y, false, source, *r.surface);
                back.Canvas().ReleaseHandle();
            }
        }
    }
    if (s.overlay) s.overlay->DrawOver(s, back);
    // Lettering that only a frame shows, and no program measures.
    if (s.screen->host.FramesSeen()) {
        back.Canvas().TextOut(0, s.displayHeight - 20,
                              "Tarnwick - Run Number :" + std::to_string(runNumber));
    }
    back.Canvas().ReleaseHandle();
    if (flip) {
        s.screen->Flip();
        s.composedAndShown = true;
    }
}

void KeepFinalFrame(Screens& s, int32_t runNumber) {
    if (s.composedAndShown || !DisplayStarted(s)) return;
    UpdateDisplay(s, runNumber, false);
    TDispSurface& back = s.screen->BackSurface();
    s.screen->host.KeepFrame(back.Pixels(), back.Width(), back.Height(), back.Pitch(),
                             s.screen->Entries());
}

}  // namespace tw
