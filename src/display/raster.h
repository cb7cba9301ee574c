#pragma once
// The rasterizer: lines, shapes and fills drawn into an 8-bit indexed pixel buffer, following the
// conventions of the desktop drawing API the programs were written against. Every coordinate a
// program can produce is safe: geometry is computed in 64 bits and every pixel write goes through
// one clipped primitive.

#include <cstdint>
#include <vector>

namespace tw {

// An 8-bit indexed pixel buffer. Rows are `pitch` bytes apart.
struct PixelTarget {
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
};

struct Point {
    int64_t x = 0;
    int64_t y = 0;
};

enum class PenStyle : uint8_t {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
    Clear = 5
};

// How a pen or a brush pixel combines with the pixel under it.
enum class RasterOp : uint8_t { Copy, Xor };

struct Pen {
    uint8_t index = 0;  // palette index of the pen's colour
    PenStyle style = PenStyle::Solid;
    RasterOp op = RasterOp::Copy;
    // The gaps of a styled pen: filled with `gapIndex` when opaque, left alone when transparent.
    bool opaqueGaps = true;
    uint8_t gapIndex = 255;
};

struct Brush {
    uint8_t index = 255;
    bool clear = false;  // a clear brush fills nothing
    RasterOp op = RasterOp::Copy;
};

// A rectangle; right and bottom are outside it.
struct Rect {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
};

namespace raster {

void SetPixel(const PixelTarget& t, int64_t x, int64_t y, uint8_t index,
              RasterOp op = RasterOp::Copy);
// The index at (x, y), or -1 outside the target.
int GetPixel(const PixelTarget& t, int64_t x, int64_t y);

// Fills the rectangle (clipped) with one index.
void FillRect(const PixelTarget& t, const Rect& r, uint8_t index, RasterOp op = RasterOp::Copy);

// A line from `from` to `to`, the end point not drawn. `phase` carries the pen style's pattern
// from one segment to the next (start it at 0).
void Line(const PixelTarget& t, const Pen& pen, Point from, Point to, uint32_t& phase);

// Segments through the points in order.
void Polyline(const PixelTarget& t, const Pen& pen, const std::vector<Point>& points);

// The closed polygon: its inside (alternate, even-odd rule) filled with the brush, then its
// outline drawn with the pen.
void Polygon(const PixelTarget& t, const Pen& pen, const Brush& brush,
             const std::vector<Point>& points);

// The ellipse inscribed in the box: filled with the brush, outlined with the pen.
void Ellipse(const PixelTarget& t, const Pen& pen, const Brush& brush, const Rect& box);

// The arc of the box's ellipse, counter-clockwise from the radial through `start` to the radial
// through `end` (both radials from the box's centre).
void Arc(const PixelTarget& t, const Pen& pen, const Rect& box, Point start, Point end);

// The pie slice with the same geometry: the arc and the two radials, filled with the brush.
void Pie(const PixelTarget& t, const Pen& pen, const Brush& brush, const Rect& box, Point start,
         Point end);

// Fills the connected area (4-connected) of pixels of index `match` that contains (x, y) with the
// brush. Nothing happens when (x, y) is outside the target or not of that index. Iterative.
void FloodFill(const PixelTarget& t, int64_t x, int64_t y, uint8_t match, const Brush& brush);

// The rows, line steps and outline pixels visited since the process started: the rasterizer's
// work, which tests compare with the visible part of a figure (clipping must keep it there).
uint64_t Visits();

}  // namespace raster
}  // namespace tw
