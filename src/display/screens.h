#pragma once
// The 16 numbered screens of a run, their stacking, and their composition onto the display.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "display/disp_screen.h"

namespace tw {

inline constexpr int kScreenCount = 16;

// The size of a text console's character cell, in pixels.
struct CellSize {
    int32_t width = 0, height = 0;
};

// A screen's text cursor, font and attributes (kept for the whole run).
struct TextState {
    int32_t textX = 0, textY = 0, textRow = 0, textColumn = 0;
    uint8_t gridMode = 0;
    uint8_t preformatting = 1;
    FontSpec font;
    // None until a console first needs it (TextConsole::Cell): then the default cell, one "M"
    // of a canvas's default font. FONT SIZE and FONT NAME measure it in the console's font.
    std::optional<CellSize> cell;
    int32_t tabWidth = 8;
    uint8_t drawMode = 0;
    int32_t memorizedColumn = 0, memorizedRow = 0;
    uint8_t cursorVisible = 0;
};

struct ScreenRecord {
    bool open = false;
    int32_t offsetY = 0, offsetX = 0;
    int32_t width = 0, height = 0;
    std::unique_ptr<TDispSurface> surface;
    bool canvasHeld = false;
    TextState text;
    int32_t depth = -1;  // stacking rank among the open screens, 0 in front; -1 closed
};

struct PenSpec {
    Colour colour = kBlack;
    PenStyle style = PenStyle::Solid;
};
struct BrushSpec {
    Colour colour = kWhite;
    BrushStyle style = BrushStyle::Solid;
};

class Screens;

// What lies above every screen (the sprites): drawn onto the back surface after the screens.
class DisplayOverlay {
public:
    virtual ~DisplayOverlay() = default;
    virtual void DrawOver(const Screens& s, TDispSurface& back) = 0;
};

// The screen table of a run. The interpreter owns one; the graphics, text and screen commands
// draw through it.
class Screens {
public:
    std::unique_ptr<TDispScreen> screen;
    std::array<ScreenRecord, kScreenCount> records;
    int currentScreen = 0;
    int displayWidth = 800, displayHeight = 600;
    TDisplayMode displayMode = TDisplayMode::dm800x600x8;
    // The drawing colours: palette indexes (values outside 0..255 are RGB values).
    int32_t inkIndex = 16777215;
    int32_t brushIndex = 0;
    PenSpec defaultPen;
    BrushSpec defaultBrush;
    // How many open screens hold their canvas (checked after every statement).
    int canvasesHeld = 0;
    // Whether a composition has been flipped onto the display during this run.
    bool composedAndShown = false;
    // Drawn over the screens by every composition (null: nothing).
    DisplayOverlay* overlay = nullptr;

    ScreenRecord* Open(int n) {
        return n >= 0 && n < kScreenCount && records[n].open ? &records[n] : nullptr;
    }
    // The canvas colour of a drawing colour: the palette entry of an index, or the value itself
    // outside 0..255.
    Colour ColourOf(int32_t index) const;
};

// The run's pen, brush, ink and brush colours at the start of a run.
void ResetDrawingColours(Screens& s);
// Creates the screen object on the host's display and the 16 screen records; `draw` gives the
// random draws of the display's default palette. No font is opened here: a run that shows no
// text loads no font library.
void CreateScreens(Screens& s, Host& host, RandomDraw draw);
// The cell a console starts with: one "M" of a canvas's default font (nothing without a screen
// object).
CellSize DefaultCell(Screens& s);
// Enters the display mode and opens screen 0 over the whole display.
void StartDisplay(Screens& s);
// Leaves the display mode; every screen is closed.
void StopDisplay(Screens& s);
// Frees the screen object.
void FreeScreens(Screens& s);
// Tells the display to show the desktop surface.
void FlipToDesktop(Screens& s);
// Composes the open screens and the overlay onto the back surface with the run number (the
// statement count) on its bottom line, and flips when asked.
void UpdateDisplay(Screens& s, int32_t runNumber, bool flip);
// The part of a width x height picture placed at (x, y) that lies on the display: the source
// rectangle to copy and where it goes (x and y move to 0 when negative). False when none does.
bool ClipToDisplay(const Screens& s, int64_t& x, int64_t& y, int64_t width, int64_t height,
                   Rect& source);
// Releases the canvas of every open screen that holds one.
void ReleaseHeldCanvases(Screens& s);
// When no composition was shown during the run, composes the display once and keeps it as the
// host's last frame.
void KeepFinalFrame(Screens& s, int32_t runNumber);
// Whether the display is up (between StartDisplay and StopDisplay).
bool DisplayStarted(const Screens& s);

// Gives a canvas the run's default pen and brush.
void AssignDefaults(const Screens& s, TDispCanvas& canvas);

// Stacking: n moves to the front (rank 0) or the back, and becomes the current screen.
void BringToFront(Screens& s, int n);
void SendToBack(Screens& s, int n);

}  // namespace tw
