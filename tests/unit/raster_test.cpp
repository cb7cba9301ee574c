#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "display/raster.h"

namespace tw {
namespace {

using raster::GetPixel;

constexpr int64_t kMin = -2147483648LL, kMax = 2147483647LL;

// A target inside a larger allocation: guard bytes before, after and in each row's padding catch
// any write outside it.
struct Surface {
    static constexpr uint8_t kGuard = 0xA5;
    static constexpr int kPad = 9, kMargin = 64;

    Surface(int w, int h) : mem(2 * kMargin + static_cast<size_t>(w + kPad) * h, kGuard) {
        t = {mem.data() + kMargin, w, h, w + kPad};
        for (int y = 0; y < h; ++y) std::memset(t.pixels + y * t.pitch, 0, w);
    }
    bool GuardsIntact() const {
        for (size_t i = 0; i < mem.size(); ++i) {
            const int64_t off = static_cast<int64_t>(i) - kMargin;
            const bool inside =
                off >= 0 && off < int64_t{t.pitch} * t.height && off % t.pitch < t.width;
            if (!inside && mem[i] != kGuard) return false;
        }
        return true;
    }
    // Rows of characters: index 0 '.', 1 '#', 2 'o', 3 'x', others '?'.
    std::string Picture() const {
        std::string s;
        for (int i = 0; i < t.width * t.height; ++i) {
            s += ".#ox?"[std::min(GetPixel(t, i % t.width, i / t.width), 4)];
            if (i % t.width == t.width - 1) s += '\n';
        }
        return s;
    }
    // The pixels of a rectangle inside the target, row by row.
    std::vector<uint8_t> Crop(int x0, int y0, int w, int h) const {
        std::vector<uint8_t> out;
        for (int y = y0; y < y0 + h; ++y) {
            out.insert(out.end(), t.pixels + y * t.pitch + x0, t.pixels + y * t.pitch + x0 + w);
        }
        return out;
    }
    int Count(int index) const {
        const std::vector<uint8_t> all = Crop(0, 0, t.width, t.height);
        return static_cast<int>(std::count(all.begin(), all.end(), index));
    }

    PixelTarget t;
    std::vector<uint8_t> mem;
};

// Pen index 1, gaps 3 (when opaque); brush index 2.
Pen MakePen(PenStyle style = PenStyle::Solid, RasterOp op = RasterOp::Copy, bool opaque = true) {
    return Pen{1, style, op, opaque, 3};
}
Brush MakeBrush(bool clear = false, RasterOp op = RasterOp::Copy) {
    return Brush{2, clear, op};
}
void DrawLine(Surface& s, Point a, Point b, const Pen& pen = MakePen()) {
    uint32_t phase = 0;
    raster::Line(s.t, pen, a, b, phase);
}
std::string Rows(std::initializer_list<const char*> rows) {
    std::string s;
    for (const char* r : rows) s += std::string(r) + "\n";
    return s;
}

TEST(RasterBoxes, RightAndBottomAreOutsideAndReversedBoxesDrawNothing) {
    Surface s(8, 4);
    raster::FillRect(s.t, {2, 1, 5, 3}, 1);
    for (const Rect& r : {Rect{7, 0, 6, 4}, Rect{0, 3, 8, 3}, Rect{6, 0, 6, 4}}) {
        raster::FillRect(s.t, r, 2);
        raster::Ellipse(s.t, MakePen(), MakeBrush(), r);
        raster::Arc(s.t, MakePen(), r, {0, 0}, {0, 0});
        raster::Pie(s.t, MakePen(), MakeBrush(), r, {0, 0}, {1, 0});
    }
    EXPECT_EQ(s.Picture(), Rows({"........", "..###...", "..###...", "........"}));
    raster::FillRect(s.t, {kMin, 1, kMax, 2}, 3, RasterOp::Xor);
    EXPECT_EQ(s.Picture(), Rows({"........", "xxoooxxx", "..###...", "........"}));
    EXPECT_TRUE(s.GuardsIntact());
}

TEST(RasterLine, EndPointIsNotDrawnAndTiesRoundToTheLargerCoordinate) {
    Surface s(10, 4);
    DrawLine(s, {0, 0}, {8, 3});
    DrawLine(s, {9, 1}, {9, 1});
    EXPECT_EQ(s.Picture(), Rows({"##........", "..##......", "....###...", ".......#.."}));
}

// A line and its reverse choose the same pixels; a clipped line keeps the pixels and the pen
// pattern of the same line drawn whole.
TEST(RasterLine, ReversingOrClippingKeepsThePixels) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-150, 190);
    for (int n = 0; n < 200; ++n) {
        const Point a{coord(rng), coord(rng)}, b{coord(rng), coord(rng)};
        const Point a2{a.x + 150, a.y + 150}, b2{b.x + 150, b.y + 150};
        Surface small(40, 30), big(341, 341), back(341, 341);
        DrawLine(small, a, b, MakePen(PenStyle::DashDot));
        DrawLine(big, a2, b2, MakePen(PenStyle::DashDot));
        ASSERT_EQ(small.Crop(0, 0, 40, 30), big.Crop(150, 150, 40, 30));
        // Forward with its end point added covers what backward with its own end point covers.
        DrawLine(back, b2, a2);
        raster::SetPixel(big.t, b2.x, b2.y, 1);
        raster::SetPixel(back.t, a2.x, a2.y, 1);
        std::vector<uint8_t> fwd = big.Crop(0, 0, 341, 341);
        for (uint8_t& v : fwd) v = v != 0;
        ASSERT_EQ(fwd, back.Crop(0, 0, 341, 341));
        ASSERT_EQ(std::count(fwd.begin(), fwd.end(), 1),
                  std::max(std::abs(a.x - b.x), std::abs(a.y - b.y)) + 1);
    }
}

TEST(RasterPenStyle, EachStyleHasItsPatternWithOpaqueOrTransparentGaps) {
    const std::pair<PenStyle, std::string> cases[] = {
        {PenStyle::Solid, std::string(24, '#')},
        {PenStyle::Dash, std::string(18, '#') + std::string(6, 'x')},
        {PenStyle::Dot, "###xxx###xxx###xxx###xxx"},
        {PenStyle::DashDot, "#########xxxxxx###xxxxxx"},
        {PenStyle::DashDotDot, "#########xxx###xxx###xxx"},
        {PenStyle::Clear, std::string(24, '.')}};
    for (const auto& [style, period] : cases) {
        Surface opaque(49, 1), transparent(24, 1);
        DrawLine(opaque, {0, 0}, {48, 0}, MakePen(style));
        EXPECT_EQ(opaque.Picture(), period + period + ".\n");
        DrawLine(transparent, {0, 0}, {24, 0}, MakePen(style, RasterOp::Copy, false));
        std::string expected = period;
        std::replace(expected.begin(), expected.end(), 'x', '.');
        EXPECT_EQ(transparent.Picture(), expected + "\n");
    }
}

// One step per pixel along each segment's major axis, running on across segments and, through the
// phase, across separate lines.
TEST(RasterPenStyle, PatternContinuesAcrossSegments) {
    Surface poly(40, 40), lines(40, 40);
    const std::vector<Point> path{{0, 0}, {10, 0}, {10, 5}, {30, 25}, {31, 39}};
    raster::Polyline(poly.t, MakePen(PenStyle::Dot), path);
    uint32_t phase = 0;
    for (size_t i = 0; i + 1 < path.size(); ++i)
        raster::Line(lines.t, MakePen(PenStyle::Dot), path[i], path[i + 1], phase);
    EXPECT_EQ(poly.Picture(), lines.Picture());
    EXPECT_EQ(phase, (10u + 5 + 20 + 14) % 24);
    const int expected[][3] = {{9, 0, 3},  {10, 0, 3}, {10, 2, 1},  {10, 4, 1},
                               {11, 6, 3}, {13, 8, 1}, {30, 25, 3}, {30, 26, 1}};
    for (const auto& [x, y, v] : expected) EXPECT_EQ(GetPixel(poly.t, x, y), v) << x << "," << y;
}

const std::vector<Point> kStar{{20, 2}, {30, 36}, {2, 14}, {38, 14}, {10, 36}};

using Figure = void (*)(const PixelTarget&, const Pen&, const Brush&);
const Figure kFigures[] = {
    [](const PixelTarget& t, const Pen& p, const Brush&) {
        uint32_t phase = 0;
        raster::Line(t, p, {-5, 3}, {33, 27}, phase);
    },
    [](const PixelTarget& t, const Pen& p, const Brush&) {
        raster::Polyline(t, p, {{2, 2}, {30, 20}, {30, 2}, {2, 20}, {2, 2}, {35, 2}});
    },
    [](const PixelTarget& t, const Pen& p, const Brush& b) { raster::Polygon(t, p, b, kStar); },
    [](const PixelTarget& t, const Pen& p, const Brush& b) {
        raster::Polygon(t, p, b, {{3, 3}, {30, 3}, {3, 3}, {30, 25}});
    },
    [](const PixelTarget& t, const Pen& p, const Brush& b) {
        raster::Ellipse(t, p, b, {3, 2, 37, 29});
    },
    [](const PixelTarget& t, const Pen& p, const Brush&) {
        raster::Arc(t, p, {3, 2, 37, 29}, {0, 0}, {0, 40});
    },
    [](const PixelTarget& t, const Pen& p, const Brush& b) {
        raster::Pie(t, p, b, {3, 2, 37, 29}, {40, 10}, {5, 30});
    },
    [](const PixelTarget& t, const Pen& p, const Brush& b) {
        raster::Pie(t, p, b, {-50, -60, 70, 80}, {0, 0}, {0, 0});
    },
};

// With Xor a figure writes each pixel once: on a zero background it looks as drawn with Copy, and
// drawing it twice gives the background back.
TEST(RasterXor, EachPixelIsWrittenOnceSoASecondDrawingRestores) {
    for (PenStyle style : {PenStyle::Solid, PenStyle::DashDotDot}) {
        for (size_t which = 0; which < std::size(kFigures); ++which) {
            const Pen pen = MakePen(style, RasterOp::Xor);
            const Brush brush = MakeBrush(false, RasterOp::Xor);
            Surface copy(40, 30), once(40, 30), twice(40, 30);
            kFigures[which](copy.t, MakePen(style), MakeBrush());
            kFigures[which](once.t, pen, brush);
            EXPECT_EQ(once.Picture(), copy.Picture()) << which;
            std::mt19937 rng(which);
            for (int i = 0; i < 40 * 30; ++i)
                raster::SetPixel(twice.t, i % 40, i / 40, rng() & 0xFF);
            const std::vector<uint8_t> before = twice.Crop(0, 0, 40, 30);
            kFigures[which](twice.t, pen, brush);
            kFigures[which](twice.t, pen, brush);
            EXPECT_EQ(twice.Crop(0, 0, 40, 30), before) << which;
        }
    }
}

TEST(RasterPolygon, FillsLikeARectAndOutlinesThroughTheVertices) {
    Surface s(8, 6), bare(8, 6), two(8, 6);
    raster::Polygon(s.t, MakePen(), MakeBrush(), {{1, 1}, {6, 1}, {6, 4}, {1, 4}});
    EXPECT_EQ(s.Picture(),
              Rows({"........", ".######.", ".#oooo#.", ".#oooo#.", ".######.", "........"}));
    raster::Polygon(bare.t, MakePen(PenStyle::Clear), MakeBrush(),
                    {{1, 1}, {6, 1}, {6, 4}, {1, 4}});
    EXPECT_EQ(bare.Picture(),
              Rows({"........", ".ooooo..", ".ooooo..", ".ooooo..", "........", "........"}));
    raster::Polygon(two.t, MakePen(), MakeBrush(), {{1, 1}});
    raster::Polygon(two.t, MakePen(), MakeBrush(), {{1, 2}, {6, 2}});
    EXPECT_EQ(two.Picture(),
              Rows({"........", "........", ".######.", "........", "........", "........"}));
}

TEST(RasterPolygon, SelfIntersectingStarFillsAlternately) {
    Surface s(40, 40);
    raster::Polygon(s.t, MakePen(PenStyle::Clear), MakeBrush(), kStar);
    EXPECT_EQ(GetPixel(s.t, 20, 22), 0);  // the inner pentagon is crossed twice
    EXPECT_EQ(GetPixel(s.t, 20, 34), 0);  // outside, between two points
    for (const Point& p :
         {Point{20, 8}, Point{8, 15}, Point{32, 15}, Point{28, 31}, Point{12, 31}}) {
        EXPECT_EQ(GetPixel(s.t, p.x, p.y), 2) << p.x << "," << p.y;
    }
}

TEST(RasterEllipse, TenByTenBoxTouchesColumnsAndRowsZeroToNine) {
    Surface s(11, 11);
    raster::Ellipse(s.t, MakePen(), MakeBrush(), {0, 0, 10, 10});
    EXPECT_EQ(s.Picture(), Rows({"...####....", ".##oooo##..", ".#oooooo#..", "#oooooooo#.",
                                 "#oooooooo#.", "#oooooooo#.", "#oooooooo#.", ".#oooooo#..",
                                 ".##oooo##..", "...####....", "..........."}));
}

// Every box from 1x1 to 14x14 gives a figure that reaches each side of its box and no further,
// mirrors itself both ways, and without a pen fills exactly what the outline encloses.
TEST(RasterEllipse, FiguresAreSymmetricAndTouchEverySideOfTheirBox) {
    for (int w = 1; w <= 14; ++w) {
        for (int h = 1; h <= 14; ++h) {
            Surface s(16, 16), bare(16, 16);
            raster::Ellipse(s.t, MakePen(), MakeBrush(), {1, 1, 1 + w, 1 + h});
            raster::Ellipse(bare.t, MakePen(PenStyle::Clear), MakeBrush(), {1, 1, 1 + w, 1 + h});
            std::vector<bool> rows(16), cols(16);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const int v = GetPixel(s.t, x, y);
                    ASSERT_EQ(v != 0, GetPixel(bare.t, x, y) == 2) << w << "x" << h;
                    if (v == 0) continue;
                    rows[y] = cols[x] = true;
                    ASSERT_EQ(GetPixel(s.t, w + 1 - x, y), v) << w << "x" << h;
                    ASSERT_EQ(GetPixel(s.t, x, h + 1 - y), v) << w << "x" << h;
                }
            }
            for (int i = 0; i < 16; ++i) {
                EXPECT_EQ(cols[i], i >= 1 && i <= w) << w << "x" << h << " column " << i;
                EXPECT_EQ(rows[i], i >= 1 && i <= h) << w << "x" << h << " row " << i;
            }
        }
    }
}

// Ordered by angle from the east, the outline pixels of a styled ellipse follow the pattern.
TEST(RasterEllipse, PatternRunsAroundTheCurveFromTheEast) {
    Surface s(250, 250);
    raster::Ellipse(s.t, MakePen(PenStyle::DashDotDot), MakeBrush(true), {5, 8, 245, 208});
    std::vector<std::pair<double, int>> outline;
    for (int y = 0; y < 250; ++y) {
        for (int x = 0; x < 250; ++x) {
            const double angle = std::atan2(-(2.0 * y - 215), 2.0 * x - 249);
            if (GetPixel(s.t, x, y) != 0)
                outline.push_back({angle < 0 ? angle + 2 * M_PI : angle, GetPixel(s.t, x, y)});
        }
    }
    std::sort(outline.begin(), outline.end());
    const std::string period = "#########xxx###xxx###xxx";
    for (size_t i = 0; i < outline.size(); ++i)
        ASSERT_EQ(".#ox"[outline[i].second], period[i % 24]) << i;
    // One pixel wide: from the middle up to the top, then from the middle down.
    Surface thin(1, 30);
    raster::Ellipse(thin.t, MakePen(PenStyle::Dot), MakeBrush(true), {0, 0, 1, 30});
    std::string column = thin.Picture();
    column.erase(std::remove(column.begin(), column.end(), '\n'), column.end());
    EXPECT_EQ(column, "###xxx###xxx###xxx###xxx###xxx");
}

// The outline of the circle in box (0, 0, 21, 21), centre (10, 10), where keep(x, y) holds.
template <class Keep>
std::string CirclePart(Keep keep) {
    Surface s(22, 22);
    raster::Ellipse(s.t, MakePen(), MakeBrush(true), {0, 0, 21, 21});
    for (int i = 0; i < 22 * 22; ++i) {
        if (!keep(i % 22, i / 22)) raster::SetPixel(s.t, i % 22, i / 22, 0);
    }
    return s.Picture();
}

TEST(RasterArc, GoesCounterClockwiseFromStartRadialToEndRadial) {
    Surface quarter(22, 22), threeQuarters(22, 22), whole(22, 22);
    raster::Arc(quarter.t, MakePen(), {0, 0, 21, 21}, {40, 10}, {10, -3});
    raster::Arc(threeQuarters.t, MakePen(), {0, 0, 21, 21}, {10, -3}, {40, 10});
    raster::Arc(whole.t, MakePen(), {0, 0, 21, 21}, {3, 3}, {4, 4});
    EXPECT_EQ(quarter.Picture(), CirclePart([](int x, int y) { return x >= 10 && y <= 10; }));
    EXPECT_EQ(threeQuarters.Picture(), CirclePart([](int x, int y) { return x <= 10 || y >= 10; }));
    EXPECT_EQ(whole.Picture(), CirclePart([](int, int) { return true; }));
}

// East to north: the pattern of the whole ellipse, which also starts at the east end. South to
// east: the dots start at the south end.
TEST(RasterArc, PatternStartsAtTheStartRadial) {
    Surface quarter(62, 62), whole(62, 62), south(62, 62);
    raster::Arc(quarter.t, MakePen(PenStyle::DashDot), {0, 0, 61, 61}, {90, 30}, {30, -9});
    raster::Ellipse(whole.t, MakePen(PenStyle::DashDot), MakeBrush(true), {0, 0, 61, 61});
    for (int i = 0; i < 62 * 62; ++i) {
        if (i % 62 < 30 || i / 62 > 30) raster::SetPixel(whole.t, i % 62, i / 62, 0);
    }
    EXPECT_EQ(quarter.Picture(), whole.Picture());
    raster::Arc(south.t, MakePen(PenStyle::Dot), {0, 0, 61, 61}, {30, 90}, {90, 30});
    EXPECT_EQ(south.Crop(28, 60, 9, 1), std::vector<uint8_t>({0, 0, 1, 1, 1, 3, 3, 3, 0}));
}

TEST(RasterPie, DrawsBothRadialsAndFillsOnlyTheSlice) {
    Surface s(22, 22);
    raster::Pie(s.t, MakePen(), MakeBrush(), {0, 0, 21, 21}, {40, 10}, {10, -3});
    for (int i = 0; i <= 10; ++i) {
        EXPECT_TRUE(GetPixel(s.t, 10 + i, 10) == 1 && GetPixel(s.t, 10, i) == 1) << i;
    }
    EXPECT_TRUE(GetPixel(s.t, 15, 5) == 2 && GetPixel(s.t, 11, 9) == 2);
    raster::FillRect(s.t, {10, 0, 22, 11}, 0);
    EXPECT_EQ(s.Count(0), 22 * 22);
}

// Small windows onto a large styled figure show exactly their part of it, pattern included.
TEST(RasterClipping, StyledFiguresClipToTheSamePixels) {
    const Point shifts[] = {{0, 0}, {-37, -150}, {-180, -60}, {-90, -215}, {-5, -100}};
    for (int figure = 0; figure < 4; ++figure) {
        auto draw = [&](const PixelTarget& t, int dx, int dy) {
            const Rect box{10 + dx, 5 + dy, 231 + dx, 238 + dy};
            const Pen pen = MakePen(PenStyle::DashDotDot);
            if (figure == 0) raster::Ellipse(t, pen, MakeBrush(), box);
            if (figure == 1) raster::Arc(t, pen, box, {200 + dx, 6 + dy}, {150 + dx, 230 + dy});
            if (figure == 2)
                raster::Pie(t, pen, MakeBrush(), box, {0 + dx, 90 + dy}, {240 + dx, 50 + dy});
            if (figure == 3)
                raster::Ellipse(t, pen, MakeBrush(), {12 + dx, 100 + dy, 238 + dx, 117 + dy});
        };
        Surface big(250, 250);
        draw(big.t, 0, 0);
        for (const Point& d : shifts) {
            Surface small(40, 30);
            draw(small.t, d.x, d.y);
            EXPECT_EQ(small.Crop(0, 0, 40, 30), big.Crop(-d.x, -d.y, 40, 30))
                << figure << " at " << d.x << "," << d.y;
        }
    }
}

// Lines, polygons and ellipses reaching +-2^31 cost only their visible part and stay inside: the
// rows, steps and pixels the rasterizer visits are a few per row and column of the target, where
// walking the figures themselves would take 2^31 and more.
TEST(RasterClipping, HugeFiguresCostOnlyTheirVisiblePart) {
    Surface s(800, 600), ring(800, 600);
    const uint64_t before = raster::Visits();
    DrawLine(s, {kMin, kMin}, {kMax, kMax});
    DrawLine(s, {kMax, 598 - kMax}, {kMin + 599, kMax});
    DrawLine(s, {kMin, 5}, {kMax, 5});
    for (int i = 0; i < 599; ++i)
        ASSERT_TRUE(GetPixel(s.t, i, i) == 1 && GetPixel(s.t, i, 598 - i) == 1);
    EXPECT_EQ(s.Count(1), 600 + 599 + 800 - 3);
    // A circle of radius 2^31 whose top touches row 300 at x = 400.
    raster::Ellipse(s.t, MakePen(PenStyle::Dash), MakeBrush(true),
                    {400 - (1LL << 31), 300, 401 + (1LL << 31), 301 + (1LL << 32)});
    EXPECT_TRUE(GetPixel(s.t, 400, 300) == 1 && GetPixel(s.t, 400, 299) == 0 &&
                GetPixel(s.t, 400, 301) == 0);
    raster::Pie(s.t, MakePen(PenStyle::Dot), MakeBrush(), {kMin, kMin, kMax, kMax}, {0, kMin},
                {kMin, 0});
    raster::Arc(s.t, MakePen(PenStyle::Dot), {kMin, -5, kMax, 5}, {0, 0}, {1, 0});
    std::vector<Point> points;
    for (int i = 0; i < 50; ++i)
        points.push_back({400 + std::llround(std::cos(i * M_PI / 25) * kMax),
                          300 + std::llround(std::sin(i * M_PI / 25) * kMax)});
    raster::Polygon(ring.t, MakePen(), MakeBrush(), points);
    // Eight figures: at most the target's rows and columns for each.
    EXPECT_LT(raster::Visits() - before, 8u * (800 + 600));
    EXPECT_EQ(ring.Count(2), 800 * 600);
    EXPECT_TRUE(s.GuardsIntact() && ring.GuardsIntact());
}

TEST(RasterClipping, ExtremeCoordinatesNeverWriteOutsideTheTarget) {
    const int64_t values[] = {kMin, kMin + 1, -65536, -1, 0, 17, 39, 40, 65535, kMax - 1, kMax};
    Surface s(40, 30);
    std::mt19937 rng(3);
    auto pick = [&] { return values[rng() % std::size(values)]; };
    const uint64_t before = raster::Visits();
    for (int n = 0; n < 400; ++n) {
        const Point a{pick(), pick()}, b{pick(), pick()}, c{pick(), pick()};
        const Rect r{a.x, a.y, b.x, b.y};
        const Pen pen =
            MakePen(static_cast<PenStyle>(n % 6), n % 2 ? RasterOp::Xor : RasterOp::Copy);
        DrawLine(s, a, b, pen);
        raster::Polygon(s.t, pen, MakeBrush(), {a, b, c});
        raster::Ellipse(s.t, pen, MakeBrush(), r);
        raster::Arc(s.t, pen, r, c, a);
        raster::Pie(s.t, pen, MakeBrush(), r, b, c);
        raster::FillRect(s.t, r, 3);
        raster::SetPixel(s.t, a.x, a.y, 1);
        raster::FloodFill(s.t, c.x, c.y, 0, MakeBrush());
    }
    // 400 rounds of eight figures, each bounded by the target's rows and columns.
    EXPECT_LT(raster::Visits() - before, 400u * 8 * (40 + 30));
    EXPECT_TRUE(s.GuardsIntact());
}

TEST(RasterFloodFill, FillsTheFourConnectedAreaOnlyAndOnlyWhenItChangesSomething) {
    Surface s(9, 5);
    const char* rows[] = {"....#....", ".###.#...", ".#...#...", ".#..#....", ".####..#."};
    for (int i = 0; i < 45; ++i) raster::SetPixel(s.t, i % 9, i / 9, rows[i / 9][i % 9] == '#');
    raster::FloodFill(s.t, -1, 2, 0, MakeBrush());
    raster::FloodFill(s.t, 2, kMax, 0, MakeBrush());
    raster::FloodFill(s.t, 2, 2, 7, MakeBrush());
    raster::FloodFill(s.t, 2, 2, 0, MakeBrush(true));
    raster::FloodFill(s.t, 2, 2, 0, Brush{0, false, RasterOp::Copy});
    raster::FloodFill(s.t, 2, 2, 0, Brush{0, false, RasterOp::Xor});
    EXPECT_EQ(s.Count(2), 0);
    raster::FloodFill(s.t, 2, 2, 0, MakeBrush());
    EXPECT_EQ(s.Picture(), Rows({"....#....", ".###o#...", ".#ooo#...", ".#oo#....", ".####..#."}));
}

// A 2000x2000 random maze: the fill reaches only pixels of the matching index and stops only at
// other indexes (no matching pixel is left beside a filled one).
TEST(RasterFloodFill, LargeMazeFillsItsWholeAreaWithoutRecursion) {
    const int n = 2000;
    Surface s(n, n);
    std::mt19937 rng(5);
    for (int i = 0; i < n * n; ++i) {
        if (i / n != n / 2 && rng() % 100 < 35) s.t.pixels[i / n * s.t.pitch + i % n] = 1;
    }
    const std::vector<uint8_t> before = s.Crop(0, 0, n, n);
    raster::FloodFill(s.t, 0, n / 2, 0, MakeBrush());
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const int v = GetPixel(s.t, x, y);
            if (v != 2) {
                ASSERT_EQ(v, before[y * n + x]);
                continue;
            }
            ASSERT_EQ(before[y * n + x], 0);
            for (const Point& d : {Point{-1, 0}, Point{1, 0}, Point{0, -1}, Point{0, 1}}) {
                ASSERT_NE(GetPixel(s.t, x + d.x, y + d.y), 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(s.Count(2), n * n / 4);
    EXPECT_TRUE(s.GuardsIntact());
}

}  // namespace
}  // namespace tw
