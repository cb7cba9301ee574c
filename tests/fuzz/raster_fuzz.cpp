// Fuzz target: the rasterizer on any figures, pens and brushes, with coordinates anywhere in
// 64 bits, on small targets whose rows are padded. Every write must land inside the target:
// the padding around and between the rows is checked after every figure (the sanitizers catch
// a write past the whole buffer). A figure far outside must cost no more than its visible part
// (clipping), which libFuzzer's timeout catches when it does not.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/raster.h"

namespace {

constexpr uint8_t kPad = 0xA5;

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A coordinate: mostly near the target, sometimes anywhere in 64 bits.
    int64_t Coordinate() {
        const uint8_t kind = Byte();
        if (kind < 160) return static_cast<int64_t>(Byte()) - 96;
        if (kind < 224) return static_cast<int64_t>(static_cast<int16_t>(Byte() | Byte() << 8));
        int64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v = static_cast<int64_t>(static_cast<uint64_t>(v) << 8 | Byte());
        return v;
    }
    tw::Point P() { return tw::Point{Coordinate(), Coordinate()}; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    tw::PixelTarget t;
    t.width = 1 + in.Byte() % 64;
    t.height = 1 + in.Byte() % 64;
    t.pitch = t.width + 1 + in.Byte() % 8;  // padding after every row
    constexpr int kBorder = 64;
    std::vector<uint8_t> buffer(static_cast<size_t>(t.pitch) * t.height + 2 * kBorder, kPad);
    t.pixels = buffer.data() + kBorder;
    for (int y = 0; y < t.height; ++y) std::memset(t.pixels + y * t.pitch, 0, t.width);
    auto check = [&] {
        for (size_t i = 0; i < buffer.size(); ++i) {
            const int64_t offset = static_cast<int64_t>(i) - kBorder;
            const bool inside =
                offset >= 0 && offset < int64_t{t.pitch} * t.height && offset % t.pitch < t.width;
            if (!inside && buffer[i] != kPad) std::abort();
        }
    };
    for (int figures = 0; figures < 24 && !in.Empty(); ++figures) {
        tw::Pen pen;
        pen.index = in.Byte();
        pen.style = static_cast<tw::PenStyle>(in.Byte() % 6);
        pen.op = in.Byte() & 1 ? tw::RasterOp::Xor : tw::RasterOp::Copy;
        pen.opaqueGaps = in.Byte() & 1;
        pen.gapIndex = in.Byte();
        tw::Brush brush;
        brush.index = in.Byte();
        brush.clear = in.Byte() % 4 == 0;
        brush.op = in.Byte() & 1 ? tw::RasterOp::Xor : tw::RasterOp::Copy;
        const tw::Rect box{in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate()};
        std::vector<tw::Point> points(in.Byte() % 12);
        for (tw::Point& p : points) p = in.P();
        uint32_t phase = 0;
        switch (in.Byte() % 10) {
            case 0:
                tw::raster::SetPixel(t, in.Coordinate(), in.Coordinate(), pen.index, pen.op);
                break;
            case 1:
                tw::raster::FillRect(t, box, brush.index, brush.op);
                break;
            case 2:
                tw::raster::Line(t, pen, in.P(), in.P(), phase);
                break;
            case 3:
                tw::raster::Polyline(t, pen, points);
                break;
            case 4:
                tw::raster::Polygon(t, pen, brush, points);
                break;
            case 5:
                tw::raster::Ellipse(t, pen, brush, box);
                break;
            case 6:
                tw::raster::Arc(t, pen, box, in.P(), in.P());
                break;
            case 7:
                tw::raster::Pie(t, pen, brush, box, in.P(), in.P());
                break;
            case 8:
                tw::raster::FloodFill(t, in.Coordinate(), in.Coordinate(), in.Byte(), brush);
                break;
            default:
                if (tw::raster::GetPixel(t, in.Coordinate(), in.Coordinate()) > 255) std::abort();
                break;
        }
        check();
    }
    return 0;
}
