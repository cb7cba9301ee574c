#include "display/raster.h"

namespace tw::raster {

void SetPixel(const PixelTarget& t, int64_t x, int64_t y, uint8_t index, RasterOp op) {
    if (x < 0 || y < 0 || x >= t.width || y >= t.height) return;
    uint8_t& p = t.pixels[y * t.pitch + x];
    p = op == RasterOp::Xor ? static_cast<uint8_t>(p ^ index) : index;
}

int GetPixel(const PixelTarget& t, int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= t.width || y >= t.height) return -1;
    return t.pixels[y * t.pitch + x];
}

void FillRect(const PixelTarget&, const Rect&, uint8_t, RasterOp) {}
void Line(const PixelTarget&, const Pen&, Point, Point, uint32_t&) {}
void Polyline(const PixelTarget&, const Pen&, const std::vector<Point>&) {}
void Polygon(const PixelTarget&, const Pen&, const Brush&, const std::vector<Point>&) {}
void Ellipse(const PixelTarget&, const Pen&, const Brush&, const Rect&) {}
void Arc(const PixelTarget&, const Pen&, const Rect&, Point, Point) {}
void Pie(const PixelTarget&, const Pen&, const Brush&, const Rect&, Point, Point) {}
void FloodFill(const PixelTarget&, int64_t, int64_t, uint8_t, const Brush&) {}

}  // namespace tw::raster
