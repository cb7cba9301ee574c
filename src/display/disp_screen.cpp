#include "display/disp_screen.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/host.h"

namespace tw {

void DisplayModeSize(TDisplayMode mode, int& width, int& height) {
    switch (mode) {
        case TDisplayMode::dm320x200x8:
            width = 320, height = 200;
            return;
        case TDisplayMode::dm800x600x8:
            width = 800, height = 600;
            return;
        case TDisplayMode::dm1024x768x8:
            width = 1024, height = 768;
            return;
        case TDisplayMode::dm640x400x8:
            width = 640, height = 400;
            return;
        case TDisplayMode::dm320x240x8:
            width = 320, height = 240;
            return;
        default:
            width = 640, height = 480;
            return;
    }
}

void Trace(Host& host, std::string_view message) {
    host.Trace(message.substr(0, 255));
}

Palette DefaultPalette(const RandomDraw& draw) {
    // The twenty static colours of the system palette.
    static const uint8_t kStatic[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    Palette p{};
    // One component in 0..254: the high 32 bits of the new seed times 255.
    auto component = [&] { return static_cast<uint8_t>((uint64_t{draw()} * 255) >> 32); };
    for (int i = 10; i <= 245; ++i) {
        p[i].red = component();
        p[i].green = component();
        p[i].blue = component();
    }
    for (int i = 0; i < 10; ++i) p[i] = {kStatic[i][0], kStatic[i][1], kStatic[i][2], 0};
    for (int i = 0; i < 10; ++i) {
        p[246 + i] = {kStatic[10 + i][0], kStatic[10 + i][1], kStatic[10 + i][2], 0};
    }
    return p;
}

// ---------------------------------------------------------------------------------------------
// TDispSurface

TDispSurface::TDispSurface(TDispScreen& screen, int width, int height)
    : screen_(screen), canvas_(this) {
    // Cleared to index 0. A size the memory cannot hold fails as a size of 0 does.
    if (width > 0 && height > 0) {
        pixels_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(width) * height]());
    }
    if (!pixels_) {
        throw EDispSurface("Could not create memory surface (" + std::to_string(width) + ", " +
                           std::to_string(height) + ")");
    }
    width_ = width;
    height_ = height;
    pitch_ = width;
}

TDispSurface::~TDispSurface() = default;

void TDispSurface::Erase(uint8_t index) {
    std::memset(pixels_.get(), index, static_cast<size_t>(pitch_) * height_);
}

void TDispSurface::Draw(int64_t x, int64_t y, bool transparent, const Rect& sourceRect,
                        const TDispSurface& source) {
    // The source rectangle within the source, then the destination within this surface.
    int64_t left = std::max<int64_t>(sourceRect.left, 0);
    int64_t top = std::max<int64_t>(sourceRect.top, 0);
    int64_t right = std::min<int64_t>(sourceRect.right, source.width_);
    int64_t bottom = std::min<int64_t>(sourceRect.bottom, source.height_);
    x += left - sourceRect.left;
    y += top - sourceRect.top;
    if (x < 0) left -= x, x = 0;
    if (y < 0) top -= y, y = 0;
    right = std::min<int64_t>(right, left + (width_ - x));
    bottom = std::min<int64_t>(bottom, top + (height_ - y));
    if (left >= right || top >= bottom) return;
    const size_t count = static_cast<size_t>(right - left);
    const uint8_t key = source.transparent_;
    // A surface copied onto itself further down is copied from its bottom row up, and further
    // right from its right end, so that no pixel is overwritten before it is read.
    const bool upward = &source == this && y > top;
    const bool leftward = &source == this && x > left;
    for (int64_t i = 0; i < bottom - top; ++i) {
        const int64_t row = upward ? bottom - 1 - i : top + i;
        const uint8_t* from = source.Pixels() + row * source.pitch_ + left;
        uint8_t* to = Pixels() + (y + row - top) * pitch_ + x;
        if (!transparent) {
            std::memmove(to, from, count);
            continue;
        }
        for (size_t n = 0; n < count; ++n) {
            const size_t k = leftward ? count - 1 - n : n;
            if (from[k] != key) to[k] = from[k];
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TDispCanvas

TDispCanvas::TDispCanvas(TDispSurface* surface) : surface_(surface) {
    if (!surface) throw EDispCanvas("Cannot create canvas for NIL surface");
}

Pen TDispCanvas::MakePen() {
    TDispScreen& screen = surface_->Screen();
    Pen pen;
    pen.index = screen.NearestIndex(penColour);
    pen.style = penStyle;
    pen.op = penMode;
    // The gaps of a styled pen show the background colour, which follows the brush; a clear
    // brush leaves them transparent.
    pen.opaqueGaps = brushStyle == BrushStyle::Solid;
    pen.gapIndex = screen.NearestIndex(brushColour);
    return pen;
}

Brush TDispCanvas::MakeBrush() {
    Brush brush;
    brush.index = surface_->Screen().NearestIndex(brushColour);
    brush.clear = brushStyle == BrushStyle::Clear;
    brush.op = penMode;
    return brush;
}

void TDispCanvas::SetPixel(int64_t x, int64_t y, Colour colour) {
    Take();
    raster::SetPixel(surface_->Target(), x, y, surface_->Screen().NearestIndex(colour));
}

void TDispCanvas::MoveTo(int64_t x, int64_t y) {
    Take();
    penPos = {x, y};
}

void TDispCanvas::LineTo(int64_t x, int64_t y) {
    Take();
    uint32_t phase = 0;
    raster::Line(surface_->Target(), MakePen(), penPos, {x, y}, phase);
    penPos = {x, y};
}

void TDispCanvas::Polyline(const std::vector<Point>& points) {
    Take();
    raster::Polyline(surface_->Target(), MakePen(), points);
}

void TDispCanvas::Polygon(const std::vector<Point>& points) {
    Take();
    raster::Polygon(surface_->Target(), MakePen(), MakeBrush(), points);
}

void TDispCanvas::Ellipse(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    Take();
    raster::Ellipse(surface_->Target(), MakePen(), MakeBrush(), Rect{left, top, right, bottom});
}

void TDispCanvas::Arc(const Rect& box, Point start, Point end) {
    Take();
    raster::Arc(surface_->Target(), MakePen(), box, start, end);
}

void TDispCanvas::Pie(const Rect& box, Point start, Point end) {
    Take();
    raster::Pie(surface_->Target(), MakePen(), MakeBrush(), box, start, end);
}

void TDispCanvas::FillRect(const Rect& r) {
    Take();
    Brush brush = MakeBrush();
    if (!brush.clear) raster::FillRect(surface_->Target(), r, brush.index, brush.op);
}

void TDispCanvas::FloodFill(int64_t x, int64_t y, Colour colour) {
    Take();
    raster::FloodFill(surface_->Target(), x, y, surface_->Screen().NearestIndex(colour),
                      MakeBrush());
}

int TDispCanvas::TextWidth(std::string_view text) {
    return TextWidth(text, font);
}

int TDispCanvas::TextWidth(std::string_view text, const FontSpec& face) {
    FontCache& fonts = surface_->Screen().Fonts();
    return static_cast<int>(std::min<int64_t>(fonts.TextWidth(fonts.Get(face), text), INT32_MAX));
}

int TDispCanvas::TextHeight(std::string_view text) {
    return TextHeight(text, font);
}

int TDispCanvas::TextHeight(std::string_view, const FontSpec& face) {
    TTF_Font* f = surface_->Screen().Fonts().Get(face);
    return f ? FontCache::Height(f) : PointsToPixels(face.size);
}

int64_t TDispCanvas::PaintText(int64_t x, int64_t y, std::string_view text, const FontSpec& face,
                               const TextPaint& paint, const Rect* clip) {
    return PaintText(x, y, text, surface_->Screen().Fonts().Get(face), paint, clip);
}

int64_t TDispCanvas::PaintText(int64_t x, int64_t y, std::string_view text, TTF_Font* f,
                               const TextPaint& paint, const Rect* clip) {
    Take();
    if (!f) return x;
    FontCache& fonts = surface_->Screen().Fonts();
    const PixelTarget t = surface_->Target();
    Rect area{0, 0, t.width, t.height};
    if (clip) {
        area.left = std::max(area.left, clip->left);
        area.top = std::max(area.top, clip->top);
        area.right = std::min(area.right, clip->right);
        area.bottom = std::min(area.bottom, clip->bottom);
    }
    const bool visible = paint.mode != TextPaint::Mode::Nothing && y < area.bottom &&
                         y + FontCache::Height(f) > area.top && area.left < area.right;
    TDispScreen& screen = surface_->Screen();
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && screen.GiveWayAfter(i)) break;
        const Glyph& g = fonts.GlyphOf(f, static_cast<uint8_t>(text[i]));
        // Only the part of each glyph inside the area is visited; a glyph left or right of it is
        // only measured.
        if (visible && x < area.right && x + g.width > area.left) {
            const int64_t firstRow = std::max<int64_t>(0, area.top - y);
            const int64_t lastRow = std::min<int64_t>(g.height, area.bottom - y);
            const int64_t firstColumn = std::max<int64_t>(0, area.left - x);
            const int64_t lastColumn = std::min<int64_t>(g.width, area.right - x);
            for (int64_t row = firstRow; row < lastRow; ++row) {
                const uint8_t* ink = g.ink.data() + row * g.width;
                uint8_t* line = t.pixels + (y + row) * t.pitch;
                for (int64_t column = firstColumn; column < lastColumn; ++column) {
                    uint8_t& pixel = line[x + column];
                    if (ink[column]) {
                        pixel = paint.mode == TextPaint::Mode::Xor
                                    ? static_cast<uint8_t>(pixel ^ paint.ink)
                                    : paint.ink;
                    } else if (paint.mode == TextPaint::Mode::Opaque) {
                        pixel = paint.background;
                    }
                }
            }
        }
        x += g.width;
    }
    return x;
}

TextPaint TDispCanvas::CanvasPaint() {
    TDispScreen& screen = surface_->Screen();
    TextPaint paint;
    paint.mode =
        brushStyle == BrushStyle::Solid ? TextPaint::Mode::Opaque : TextPaint::Mode::Transparent;
    paint.ink = screen.NearestIndex(font.color);
    paint.background = screen.NearestIndex(brushColour);
    return paint;
}

void TDispCanvas::TextOut(int64_t x, int64_t y, std::string_view text) {
    penPos = {PaintText(x, y, text, font, CanvasPaint(), nullptr), y};
}

void TDispCanvas::TextRect(const Rect& clip, int64_t x, int64_t y, std::string_view text) {
    PaintText(x, y, text, font, CanvasPaint(), &clip);
}

void TDispCanvas::FrameRect(const Rect& r, Colour colour) {
    Take();
    if (r.right <= r.left || r.bottom <= r.top) return;
    const uint8_t index = surface_->Screen().NearestIndex(colour);
    const PixelTarget t = surface_->Target();
    raster::FillRect(t, {r.left, r.top, r.right, r.top + 1}, index);
    raster::FillRect(t, {r.left, r.bottom - 1, r.right, r.bottom}, index);
    raster::FillRect(t, {r.left, r.top, r.left + 1, r.bottom}, index);
    raster::FillRect(t, {r.right - 1, r.top, r.right, r.bottom}, index);
}

// ---------------------------------------------------------------------------------------------
// TDispScreen

TDispScreen::TDispScreen(Host& h, RandomDraw draw) : host(h), draw_(std::move(draw)) {}

TDispScreen::~TDispScreen() {
    Finalize();
}

void TDispScreen::Initialize() {
    if (initialized_) return;
    DisplayModeSize(DisplayMode, width_, height_);
    host.SetDisplaySize(width_, height_);
    front_ = std::make_unique<TDispSurface>(*this, width_, height_);
    back_ = std::make_unique<TDispSurface>(*this, width_, height_);
    initialized_ = true;
    SetPalette(DefaultPalette(draw_));
    back_->Erase(0);
    Flip();
    back_->Erase(0);
}

void TDispScreen::Finalize() {
    if (!initialized_) return;
    front_.reset();
    back_.reset();
    initialized_ = false;
}

void TDispScreen::Flip() {
    if (!initialized_) return;
    std::swap(front_, back_);
    host.PresentFrame(front_->Pixels(), width_, height_, front_->Pitch(), hardware_);
}

void TDispScreen::WaitForVerticalBlank() {
    host.WaitForVerticalBlank();
}

void TDispScreen::SetPalette(const Palette& entries) {
    stored_ = entries;
    LoadHardware(entries);
}

void TDispScreen::SetEntries(const Palette& entries) {
    LoadHardware(entries);
}

void TDispScreen::LoadHardware(const Palette& entries) {
    hardware_ = entries;
    nearest_.clear();
    host.PresentPalette(hardware_);
}

bool TDispScreen::KeyDown(int virtualKey) {
    return host.KeyDown(virtualKey);
}

Colour TDispScreen::EntryColour(int index) const {
    const PaletteEntry& e = hardware_[static_cast<uint8_t>(index)];
    return Colour{e.red} | (Colour{e.green} << 8) | (Colour{e.blue} << 16);
}

uint8_t TDispScreen::NearestIndex(Colour colour) {
    for (const auto& [c, index] : nearest_) {
        if (c == colour) return index;
    }
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < 256; ++i) {
        const int dr = hardware_[i].red - r, dg = hardware_[i].green - g,
                  db = hardware_[i].blue - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0) break;
        }
    }
    // A few colours are in use at a time; keep the latest answers.
    if (nearest_.size() >= 32) nearest_.erase(nearest_.begin());
    nearest_.emplace_back(colour, static_cast<uint8_t>(best));
    return static_cast<uint8_t>(best);
}

}  // namespace tw
