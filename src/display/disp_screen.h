#pragma once
// The screen layer: a palettised 8-bit display with a flipping pair of surfaces, off-screen
// surfaces, keyed copies between them, and a canvas on each surface that draws like the desktop
// drawing API the programs were written against.
//
// Every surface is a block of 8-bit palette indexes in memory of its own, and the palette is the
// display's own table: drawing needs no graphics library. Colours given to a canvas are RGB
// values; each pixel written gets the palette index nearest to its colour, as on an 8-bit device.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "display/fonts.h"
#include "display/raster.h"
#include "platform/frame.h"

namespace tw {

class Host;
class TDispScreen;
class TDispSurface;

// Failures of the layer, each with a fixed text.
class EDispScreen : public std::runtime_error {
    using std::runtime_error::runtime_error;
};
class EDispSurface : public std::runtime_error {
    using std::runtime_error::runtime_error;
};
class EDispCanvas : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class TDisplayMode : uint8_t {
    dm640x480x8 = 0,
    dm320x200x8 = 1,
    dm800x600x8 = 2,
    dm1024x768x8 = 3,
    dm640x400x8 = 4,
    dm320x240x8 = 5,
};

// Width and height of a mode; any other value is 640 x 480.
void DisplayModeSize(TDisplayMode mode, int& width, int& height);

// An RGB colour value: red + green * 256 + blue * 65536.
using Colour = uint32_t;
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;

enum class BrushStyle : uint8_t { Solid, Clear };

// How a text's glyphs are painted: in palette indexes, on a background or not, or combined with
// what is there by exclusive or.
struct TextPaint {
    enum class Mode : uint8_t { Opaque, Transparent, Xor, Nothing };
    Mode mode = Mode::Opaque;
    uint8_t ink = 0;
    uint8_t background = 0;
};

// A canvas bound to a surface: pen, brush, font, pen position, background mode and raster
// operation, and the drawing calls of the desktop API. It keeps its state from call to call.
class TDispCanvas {
public:
    explicit TDispCanvas(TDispSurface* surface);

    // The pen.
    Colour penColour = kBlack;
    PenStyle penStyle = PenStyle::Solid;
    RasterOp penMode = RasterOp::Copy;
    // The brush.
    Colour brushColour = kWhite;
    BrushStyle brushStyle = BrushStyle::Solid;
    // The font.
    FontSpec font;
    // The pen position (the graphics cursor).
    Point penPos;

    // The handle is taken by the first drawing call and given back by ReleaseHandle; it is
    // bookkeeping only on this back end.
    bool HandleAllocated() const { return handle_; }
    void ReleaseHandle() { handle_ = false; }

    void SetPixel(int64_t x, int64_t y, Colour colour);
    void MoveTo(int64_t x, int64_t y);
    void LineTo(int64_t x, int64_t y);
    void Polyline(const std::vector<Point>& points);
    void Polygon(const std::vector<Point>& points);
    void Ellipse(int64_t left, int64_t top, int64_t right, int64_t bottom);
    void Arc(const Rect& box, Point start, Point end);
    void Pie(const Rect& box, Point start, Point end);
    void FillRect(const Rect& r);
    // Fills the connected area of the colour at (x, y) with the brush when that colour is
    // `colour` (a surface fill).
    void FloodFill(int64_t x, int64_t y, Colour colour);
    // Writes the text at (x, y) with the font, on the brush colour unless the brush is clear;
    // the pen position moves to (x + the text's width, y).
    void TextOut(int64_t x, int64_t y, std::string_view text);
    // Writes the text at (x, y), clipped to `clip`.
    void TextRect(const Rect& clip, int64_t x, int64_t y, std::string_view text);
    // The extent of a text in the canvas font, or in another font.
    int TextWidth(std::string_view text);
    int TextWidth(std::string_view text, const FontSpec& face);
    int TextHeight(std::string_view text);
    int TextHeight(std::string_view text, const FontSpec& face);

    // Paints a text's glyphs from (x, y) left to right, each in its own box, in a font of the
    // caller's choosing and the given paint, clipped to `clip` (and the surface); the pen does
    // not move. The x after the text.
    int64_t PaintText(int64_t x, int64_t y, std::string_view text, const FontSpec& face,
                      const TextPaint& paint, const Rect* clip = nullptr);
    // The same in a font the screen's font cache gave.
    int64_t PaintText(int64_t x, int64_t y, std::string_view text, TTF_Font* font,
                      const TextPaint& paint, const Rect* clip = nullptr);
    // A frame one pixel wide along the inside of the rectangle.
    void FrameRect(const Rect& r, Colour colour);

private:
    Pen MakePen();
    Brush MakeBrush();
    void Take() { handle_ = true; }
    // How TextOut paints: the font colour, on the brush colour unless the brush is clear.
    TextPaint CanvasPaint();

    TDispSurface* surface_;
    bool handle_ = false;
};

class TDispSurface {
public:
    // An off-screen surface of the display's format.
    TDispSurface(TDispScreen& screen, int width, int height);
    ~TDispSurface();
    TDispSurface(const TDispSurface&) = delete;
    TDispSurface& operator=(const TDispSurface&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return pitch_; }
    uint8_t* Pixels() const { return pixels_.get(); }
    PixelTarget Target() const { return PixelTarget{Pixels(), width_, height_, pitch_}; }
    TDispScreen& Screen() const { return screen_; }

    // Fills the whole surface with one palette index.
    void Erase(uint8_t index);
    // Copies the source rectangle of `source` to (x, y); when `transparent`, source pixels of the
    // source's transparent colour are skipped. Clipped to both surfaces.
    void Draw(int64_t x, int64_t y, bool transparent, const Rect& sourceRect,
              const TDispSurface& source);
    void SetTransparentColor(uint8_t index) { transparent_ = index; }
    uint8_t TransparentColor() const { return transparent_; }

    TDispCanvas& Canvas() { return canvas_; }

private:
    TDispScreen& screen_;
    std::unique_ptr<uint8_t[]> pixels_;  // pitch_ x height_
    int width_ = 0, height_ = 0, pitch_ = 0;
    uint8_t transparent_ = 0;
    TDispCanvas canvas_;
};

// A source of the language's random draws: each call advances the generator and gives its new
// 32-bit seed. The display's default palette is drawn from it.
using RandomDraw = std::function<uint32_t()>;

// Asked by a long drawing loop (a text of many characters) every kGiveWayCharacters
// characters: true stops the drawing there. Empty: drawing always runs to its end.
using GiveWay = std::function<bool()>;
inline constexpr size_t kGiveWayCharacters = size_t{1} << 16;

// The display.
class TDispScreen {
public:
    TDispScreen(Host& host, RandomDraw draw);
    ~TDispScreen();

    TDisplayMode DisplayMode = TDisplayMode::dm800x600x8;
    int BackBuffers = 2;
    const std::string Version = "Disp Beta 6";

    bool Initialized() const { return initialized_; }
    // Enters the display mode: the flipping pair of surfaces and the default palette. Nothing
    // happens when the display is already initialised.
    void Initialize();
    void Finalize();

    // Shows the back surface.
    void Flip();
    void WaitForVerticalBlank();
    // Stores the 256 entries and loads them into the hardware palette.
    void SetPalette(const Palette& entries);
    // Loads entries into the hardware palette only (the stored copy stays).
    void SetEntries(const Palette& entries);
    // The hardware palette, which drawing reads.
    const Palette& Entries() const { return hardware_; }
    const Palette& StoredPalette() const { return stored_; }
    void RestoreSurfaces() {}
    // Shows the desktop surface: nothing to do on this back end.
    void FlipToGDISurface() {}

    int DisplayWidth() const { return width_; }
    int DisplayHeight() const { return height_; }
    bool KeyDown(int virtualKey);

    TDispSurface& FrontSurface() { return *front_; }
    TDispSurface& BackSurface() { return *back_; }

    // The RGB value of palette entry i (red + green * 256 + blue * 65536).
    Colour EntryColour(int index) const;
    // The palette index nearest to an RGB colour (the lowest of equals).
    uint8_t NearestIndex(Colour colour);

    FontCache& Fonts() { return fonts_; }
    Host& host;
    GiveWay giveWay;
    // Whether a long drawing loop that has drawn `done` characters stops now.
    bool GiveWayAfter(size_t done) {
        return done % kGiveWayCharacters == 0 && giveWay && giveWay();
    }

private:
    void LoadHardware(const Palette& entries);

    bool initialized_ = false;
    int width_ = 0, height_ = 0;
    std::unique_ptr<TDispSurface> front_, back_;
    Palette stored_{};
    Palette hardware_{};
    FontCache fonts_;
    RandomDraw draw_;
    // Nearest-index answers for the current hardware palette.
    std::vector<std::pair<Colour, uint8_t>> nearest_;
};

// Trace text sent to the outside trace window: at most 255 characters.
void Trace(Host& host, std::string_view message);

// The default palette of a new display: entries 10 to 245 drawn from the language's random
// generator (each component in 0..254), the twenty static colours in 0 to 9 and 246 to 255.
Palette DefaultPalette(const RandomDraw& draw);

}  // namespace tw
