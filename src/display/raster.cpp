#include "display/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>

// Sections:
//   1. Arithmetic: 128-bit products, floor and ceiling division, the coordinate bound.
//   2. The clipped span write, through which every pixel goes.
//   3. Pen patterns.
//   4. Lines: the clipped walk.
//   5. Figures: pen pixels over fill spans, no pixel written twice under Xor.
//   6. Polygon fill.
//   7. Ellipse geometry: rows, outline runs, positions along the curve.
//   8. Sweeps of arcs and pies.
//   9. The drawing calls.
//  10. Flood fill.

namespace tw::raster {
namespace {

// ---------------------------------------------------------------------------------------------
// 1. Arithmetic

__extension__ typedef __int128 Wide;

// Coordinates a 32-bit program can produce (sums of two 32-bit values included) stay far inside
// this bound; clamping to it keeps every product of two coordinate-sized values within 128 bits.
constexpr int64_t kCoordLimit = int64_t{1} << 40;

int64_t ClampCoord(int64_t v) {
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

Point ClampPoint(Point p) {
    return {ClampCoord(p.x), ClampCoord(p.y)};
}

// For int64_t where the operands fit, and Wide for products of coordinates.
template <class T>
T FloorDiv(T a, T b) {
    T q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0))) --q;
    return q;
}

template <class T>
T CeilDiv(T a, T b) {
    return -FloorDiv<T>(-a, b);
}

int64_t ClampWide(Wide v, int64_t lo, int64_t hi) {
    if (v < lo) return lo;
    if (v > hi) return hi;
    return static_cast<int64_t>(v);
}

int64_t Mod(int64_t a, int64_t n) {
    const int64_t r = a % n;
    return r < 0 ? r + n : r;
}

// The count of integers in both [a0, a1] and [b0, b1].
int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
    const int64_t lo = std::max(a0, b0), hi = std::min(a1, b1);
    return lo <= hi ? hi - lo + 1 : 0;
}

uint64_t g_visits = 0;

bool Usable(const PixelTarget& t) {
    return t.pixels != nullptr && t.width > 0 && t.height > 0 && t.pitch >= t.width;
}

// ---------------------------------------------------------------------------------------------
// 2. The clipped span write

void WriteSpan(const PixelTarget& t, int64_t y, int64_t x0, int64_t x1, uint8_t index,
               RasterOp op) {
    if (y < 0 || y >= t.height) return;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, t.width - 1);
    if (x0 > x1) return;
    uint8_t* p = t.pixels + y * t.pitch + x0;
    const size_t n = static_cast<size_t>(x1 - x0 + 1);
    if (n == 1) {
        *p = op == RasterOp::Copy ? index : static_cast<uint8_t>(*p ^ index);
    } else if (op == RasterOp::Copy) {
        std::memset(p, index, n);
    } else {
        for (size_t i = 0; i < n; ++i) p[i] ^= index;
    }
}

// ---------------------------------------------------------------------------------------------
// 3. Pen patterns

// Every style's period divides 24, so a phase kept modulo 24 serves all of them.
constexpr uint32_t kPeriod = 24;

constexpr uint32_t PatternFromRuns(std::initializer_list<uint32_t> runs) {
    uint32_t mask = 0;
    uint32_t pos = 0;
    bool on = true;
    while (pos < kPeriod) {
        for (uint32_t run : runs) {
            for (uint32_t i = 0; i < run && pos < kPeriod; ++i, ++pos) {
                if (on) mask |= 1u << pos;
            }
            on = !on;
        }
    }
    return mask;
}

uint32_t PatternMask(PenStyle style) {
    switch (style) {
        case PenStyle::Solid:
            return PatternFromRuns({24});
        case PenStyle::Dash:
            return PatternFromRuns({18, 6});
        case PenStyle::Dot:
            return PatternFromRuns({3, 3});
        case PenStyle::DashDot:
            return PatternFromRuns({9, 6, 3, 6});
        case PenStyle::DashDotDot:
            return PatternFromRuns({9, 3, 3, 3, 3, 3});
        case PenStyle::Clear:
            break;
    }
    return 0;
}

uint32_t Advance(uint32_t phase, int64_t steps) {
    return static_cast<uint32_t>((phase % kPeriod + static_cast<uint64_t>(steps) % kPeriod) %
                                 kPeriod);
}

// What a pen writes at each step of its pattern.
struct Ink {
    explicit Ink(const Pen& pen)
        : mask(PatternMask(pen.style)),
          on(pen.index),
          gap(pen.gapIndex),
          gapsWritten(pen.opaqueGaps && pen.style != PenStyle::Clear),
          op(pen.op),
          visible(pen.style != PenStyle::Clear),
          styled(pen.style != PenStyle::Solid && pen.style != PenStyle::Clear) {}

    // The index written at pattern step `step`, or false when that step leaves the pixel alone.
    bool Pick(uint32_t step, uint8_t& index) const {
        if ((mask >> step) & 1u) {
            index = on;
            return true;
        }
        if (gapsWritten) {
            index = gap;
            return true;
        }
        return false;
    }

    uint32_t mask;
    uint8_t on, gap;
    bool gapsWritten;
    RasterOp op;
    bool visible;
    bool styled;
};

// ---------------------------------------------------------------------------------------------
// 4. Lines

// Visits, in order, the pixels of the line from a to b (end point excluded) that lie in a w x h
// target, each with the pattern step it has on the whole line; returns the line's step count.
// Pixel i sits i steps along the major axis; its minor offset is i * minor / major rounded to the
// nearest integer, a tie going to the larger coordinate, so that a line and its reverse choose the
// same pixels. The visible range of i is solved for before the walk, so the cost is that of the
// visible part, with the pixels and pattern the unclipped line would have had.
template <class Visit>
int64_t WalkLine(int w, int h, Point a, Point b, uint32_t phase, Visit&& visit) {
    a = ClampPoint(a);
    b = ClampPoint(b);
    const int64_t d[2] = {b.x - a.x, b.y - a.y};
    const int64_t p0[2] = {a.x, a.y};
    const int64_t size[2] = {w, h};
    const int maj = std::llabs(d[0]) >= std::llabs(d[1]) ? 0 : 1;
    const int mnr = 1 - maj;
    const int64_t M = std::llabs(d[maj]);
    const int64_t m = std::llabs(d[mnr]);
    if (M == 0 || w <= 0 || h <= 0) return M;
    const int64_t sMaj = d[maj] > 0 ? 1 : -1;
    const int64_t sMin = d[mnr] < 0 ? -1 : 1;
    const int64_t bias = d[mnr] < 0 ? 1 : 0;

    // Offsets k along one axis with p + s * k inside [0, n - 1].
    auto axisRange = [](int64_t p, int64_t s, int64_t n, Wide& lo, Wide& hi) {
        if (s > 0) {
            lo = std::max<Wide>(lo, -p);
            hi = std::min<Wide>(hi, n - 1 - p);
        } else {
            lo = std::max<Wide>(lo, p - (n - 1));
            hi = std::min<Wide>(hi, p);
        }
    };
    Wide lo = 0, hi = M - 1;
    axisRange(p0[maj], sMaj, size[maj], lo, hi);
    Wide kLo = -(Wide{1} << 100), kHi = Wide{1} << 100;
    axisRange(p0[mnr], sMin, size[mnr], kLo, kHi);
    if (kLo > kHi) return M;
    // k(i) = floor((2 i m + M - bias) / 2M), non-decreasing in i.
    if (m == 0) {
        if (kLo > 0 || kHi < 0) return M;
    } else {
        lo = std::max<Wide>(lo, CeilDiv<Wide>(Wide{2} * M * kLo - M + bias, Wide{2} * m));
        hi = std::min<Wide>(hi, CeilDiv<Wide>(Wide{2} * M * kHi + M + bias, Wide{2} * m) - 1);
    }
    if (lo > hi) return M;

    const int64_t i0 = static_cast<int64_t>(lo), i1 = static_cast<int64_t>(hi);
    const int64_t twoM = 2 * M, twoMinor = 2 * m;
    const Wide num = Wide{2} * i0 * m + M - bias;
    int64_t k = static_cast<int64_t>(num / twoM);
    int64_t rem = static_cast<int64_t>(num % twoM);
    int64_t cMaj = p0[maj] + sMaj * i0;
    uint32_t step = Advance(phase, i0);
    g_visits += static_cast<uint64_t>(i1 - i0 + 1);
    for (int64_t i = i0; i <= i1; ++i) {
        const int64_t cMin = p0[mnr] + sMin * k;
        if (maj == 0) {
            visit(static_cast<int>(cMaj), static_cast<int>(cMin), step);
        } else {
            visit(static_cast<int>(cMin), static_cast<int>(cMaj), step);
        }
        cMaj += sMaj;
        rem += twoMinor;
        if (rem >= twoM) {
            rem -= twoM;
            ++k;
        }
        if (++step == kPeriod) step = 0;
    }
    return M;
}

// ---------------------------------------------------------------------------------------------
// 5. Figures

struct PenPixel {
    int32_t y, x;
    uint8_t index;
};

struct FillSpan {
    int32_t y, x0, x1;
};

// A figure collects the pixels its pen writes and the spans its brush fills before writing any.
// With Xor (pen or brush) every pixel must be written once, or a second write would cancel the
// first: the fill under the pen's pixels is left out, and a pixel the pen reaches twice (a shared
// vertex, a crossing) keeps only its last write. With Copy, writing the fill and then the pen in
// drawing order gives that same picture.
class Figure {
public:
    Figure(const PixelTarget& t, const Pen& pen) : t_(t), ink_(pen) {}

    const Ink& ink() const { return ink_; }

    void PenAt(int64_t x, int64_t y, uint32_t step) {
        uint8_t index;
        if (x < 0 || y < 0 || x >= t_.width || y >= t_.height) return;
        if (ink_.Pick(step, index)) {
            pen_.push_back({static_cast<int32_t>(y), static_cast<int32_t>(x), index});
        }
    }

    void Segment(Point a, Point b, uint32_t& phase) {
        const int64_t steps = WalkLine(t_.width, t_.height, a, b, phase,
                                       [&](int x, int y, uint32_t step) { PenAt(x, y, step); });
        phase = Advance(phase, steps);
    }

    void Fill(int64_t y, int64_t x0, int64_t x1) {
        if (y < 0 || y >= t_.height) return;
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, t_.width - 1);
        if (x0 > x1) return;
        fill_.push_back(
            {static_cast<int32_t>(y), static_cast<int32_t>(x0), static_cast<int32_t>(x1)});
    }

    void Draw(const Brush* brush) {
        const bool fill = brush != nullptr && !brush->clear;
        if (ink_.op == RasterOp::Copy && (!fill || brush->op == RasterOp::Copy)) {
            if (fill) {
                for (const FillSpan& s : fill_)
                    WriteSpan(t_, s.y, s.x0, s.x1, brush->index, brush->op);
            }
            for (const PenPixel& p : pen_) WriteSpan(t_, p.y, p.x, p.x, p.index, ink_.op);
            return;
        }
        auto before = [](const PenPixel& a, const PenPixel& b) {
            return a.y != b.y ? a.y < b.y : a.x < b.x;
        };
        std::stable_sort(pen_.begin(), pen_.end(), before);
        size_t kept = 0;
        for (size_t i = 0; i < pen_.size(); ++i) {
            if (i + 1 < pen_.size() && !before(pen_[i], pen_[i + 1])) continue;
            pen_[kept++] = pen_[i];
        }
        pen_.resize(kept);

        if (fill) {
            for (const FillSpan& s : fill_) {
                auto it =
                    std::lower_bound(pen_.begin(), pen_.end(), PenPixel{s.y, s.x0, 0}, before);
                int64_t from = s.x0;
                for (; it != pen_.end() && it->y == s.y && it->x <= s.x1; ++it) {
                    WriteSpan(t_, s.y, from, it->x - 1, brush->index, brush->op);
                    from = it->x + 1;
                }
                WriteSpan(t_, s.y, from, s.x1, brush->index, brush->op);
            }
        }
        for (const PenPixel& p : pen_) WriteSpan(t_, p.y, p.x, p.x, p.index, ink_.op);
    }

private:
    const PixelTarget& t_;
    Ink ink_;
    std::vector<PenPixel> pen_;
    std::vector<FillSpan> fill_;
};

// ---------------------------------------------------------------------------------------------
// 6. Polygon fill

// Where the edge p-q (p.y < q.y) crosses row y, rounded up, clamped to [0, w].
int64_t CrossingX(Point p, Point q, int64_t y, int w) {
    // Below this bound the products fit in 64 bits, which divides much faster.
    constexpr int64_t kNarrow = int64_t{1} << 30;
    if (std::max({std::llabs(p.x), std::llabs(q.x), std::llabs(p.y), std::llabs(q.y)}) < kNarrow) {
        const int64_t num = p.x * (q.y - p.y) + (y - p.y) * (q.x - p.x);
        return std::clamp<int64_t>(CeilDiv<int64_t>(num, q.y - p.y), 0, w);
    }
    const Wide num = Wide{p.x} * (q.y - p.y) + Wide{y - p.y} * (q.x - p.x);
    return ClampWide(CeilDiv<Wide>(num, q.y - p.y), 0, w);
}

// Even-odd fill sampled at pixel centres, with the top-left rule of the drawing API: a centre on
// a left or top edge is inside, on a right or bottom edge outside (as a Rect's right and bottom).
void FillPolygon(const std::vector<Point>& pts, Figure& fig, int w, int h) {
    int64_t minY = pts[0].y, maxY = pts[0].y;
    for (const Point& p : pts) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const int64_t y0 = std::max<int64_t>(minY, 0);
    const int64_t y1 = std::min<int64_t>(maxY - 1, h - 1);
    std::vector<int64_t> xs;
    if (y0 <= y1) g_visits += static_cast<uint64_t>(y1 - y0 + 1);
    for (int64_t y = y0; y <= y1; ++y) {
        xs.clear();
        for (size_t i = 0; i < pts.size(); ++i) {
            Point p = pts[i], q = pts[(i + 1) % pts.size()];
            if (p.y == q.y) continue;
            if (p.y > q.y) std::swap(p, q);
            if (y < p.y || y >= q.y) continue;
            xs.push_back(CrossingX(p, q, y, w));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) fig.Fill(y, xs[i], xs[i + 1] - 1);
    }
}

// ---------------------------------------------------------------------------------------------
// 7. Ellipse geometry

// Work is done in doubled units around the box's centre: pixel x has DX = 2x - S with
// S = left + right - 1, pixel row y has DY = 2y - SY, and the box is W = right - left wide and
// H = bottom - top high. A pixel belongs to the ellipse when its centre lies inside the ellipse
// inscribed in the box (DX^2/W^2 + DY^2/H^2 <= 1), widened so that every row of the box holds the
// centre pixel(s) and the middle row(s) span the whole width: thin ellipses then still touch the
// four sides of their box. The outline is the set of ellipse pixels with
// a 4-neighbour outside it; in each row it is one run at each end.
//
// Positions along the outline (for styled pens) count pixels counter-clockwise from the east end
// of the middle row: quadrant 1 rows upward, quadrant 2 downward, quadrant 3 downward, quadrant 4
// upward. Where the curve is steeper than 45 degrees each row holds one outline pixel per quadrant;
// where it is flatter, each column does. That makes the count over many rows computable without
// visiting them, so a huge figure costs only its visible rows.

struct Run {
    int64_t x0, x1;
    int64_t pos0;   // position of the run's first pixel along the curve
    bool leftward;  // the curve runs from x1 down to x0

    int64_t PosAt(int64_t x) const { return pos0 + (leftward ? x1 - x : x - x0); }
};

class EllipseGeom {
public:
    explicit EllipseGeom(const Rect& box)
        : L_(box.left), T_(box.top), R_(box.right), B_(box.bottom) {
        W_ = R_ - L_;
        H_ = B_ - T_;
        S_ = L_ + R_ - 1;
        SY_ = T_ + B_ - 1;
        cL_ = FloorDiv<int64_t>(S_, 2);
        cR_ = CeilDiv<int64_t>(S_, 2);
        mt_ = FloorDiv<int64_t>(SY_, 2);
        ml_ = SY_ - mt_ - 1;
        exact_ = W_ <= (int64_t{1} << 31) && H_ <= (int64_t{1} << 31);
    }

    int64_t Top() const { return T_; }
    int64_t Bottom() const { return B_; }
    int64_t S() const { return S_; }
    int64_t SY() const { return SY_; }
    int64_t W() const { return W_; }
    int64_t H() const { return H_; }
    int64_t CentreLeft() const { return cL_; }
    int64_t CentreRight() const { return cR_; }
    int64_t UpperMiddle() const { return mt_; }
    int64_t Total() const { return n1_ + n2_ + n3_ + n4_; }

    // The right end of row r's span (r inside the box); the left end mirrors it about S / 2.
    int64_t Xr(int64_t r) const { return FloorDiv<int64_t>(S_ + HalfWidth(r), 2); }
    int64_t Xl(int64_t r) const { return S_ - Xr(r); }

    // Makes positions along the curve available (RowRuns with positions, PosOf, Total).
    void PrepareCounting() {
        if (counting_) return;
        counting_ = true;
        int64_t lo = T_ + 1, hi = mt_ + 1;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (Xr(mid) > cR_) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        r0_ = lo;
        lo = T_ + 1;
        hi = std::max(mt_, lo);
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (Growth(mid) < 2) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        steep_ = lo;
        n1_ = P1(T_, mt_);
        n2_ = P2(T_, mt_);
        n3_ = P1(T_, ml_);
        n4_ = P2(T_, ml_);
    }

    // The outline pixels of row r: a run on each side of the centre column (one may be empty),
    // left to right, each within one quadrant.
    int RowRuns(int64_t r, Run out[2], bool withPos) const {
        constexpr int64_t kNone = std::numeric_limits<int64_t>::min() / 4;
        const int64_t xr = Xr(r), xl = S_ - xr;
        const int64_t up = r > T_ ? Xr(r - 1) : kNone;
        const int64_t down = r < B_ - 1 ? Xr(r + 1) : kNone;
        const int64_t rs = std::max(xl, std::min({up, down, xr - 1}) + 1);
        const int64_t le = S_ - rs;
        Run a{}, b{};
        if (r <= mt_) {
            a = {xl, std::min(le, cR_ - 1), 0, true};
            b = {std::max(rs, cR_), xr, 0, true};
            if (withPos) {
                a.pos0 = n1_ + P2(T_, r - 1);
                b.pos0 = P1(r + 1, mt_);
            }
        } else {
            const int64_t rt = SY_ - r;
            a = {xl, std::min(le, cL_), 0, false};
            b = {std::max(rs, cL_ + 1), xr, 0, false};
            if (withPos) {
                a.pos0 = n1_ + n2_ + P1(rt + 1, ml_);
                b.pos0 = n1_ + n2_ + n3_ + P2(T_, rt - 1);
            }
        }
        int n = 0;
        if (a.x0 <= a.x1) out[n++] = a;
        if (b.x0 <= b.x1) out[n++] = b;
        return n;
    }

    int64_t PosOf(int64_t x, int64_t r) const {
        Run runs[2];
        const int n = RowRuns(r, runs, true);
        for (int i = 0; i < n; ++i) {
            if (x >= runs[i].x0 && x <= runs[i].x1) return runs[i].PosAt(x);
        }
        return 0;
    }

private:
    // Half the span of row r in doubled units: the largest D with D^2 H^2 + DY^2 W^2 <= W^2 H^2,
    // widened as described above. Up to 2^31 the floating estimate is corrected with integer
    // products, which then fit in 128 bits; beyond, far outside any target, the estimate serves.
    int64_t HalfWidth(int64_t r) const {
        const int64_t dy = std::llabs(2 * r - SY_);
        const Wide m = Wide{H_} * H_ - Wide{dy} * dy;
        const long double est = static_cast<long double>(W_) *
                                std::sqrt(static_cast<long double>(m)) /
                                static_cast<long double>(H_);
        int64_t d = static_cast<int64_t>(std::min(std::floor(est), static_cast<long double>(W_)));
        d = std::max<int64_t>(d, 0);
        if (exact_) {
            const Wide limit = Wide{W_} * W_ * m;
            const Wide h2 = Wide{H_} * H_;
            while (d < W_ && Wide{d + 1} * (d + 1) * h2 <= limit) ++d;
            while (d > 0 && Wide{d} * d * h2 > limit) --d;
        }
        d = std::max<int64_t>(d, 1);
        if (dy <= 1) d = std::max(d, W_ - 1);
        return d;
    }

    // How much the unwidened half-width grows from row r - 1 to row r (upper half).
    long double Growth(int64_t r) const {
        const int64_t dy = 2 * r - SY_;
        const Wide h2 = Wide{H_} * H_;
        const long double mr = static_cast<long double>(h2 - Wide{dy} * dy);
        const long double mp = static_cast<long double>(h2 - Wide{dy - 2} * (dy - 2));
        return static_cast<long double>(W_) / static_cast<long double>(H_) * 4.0L *
               static_cast<long double>(1 - dy) / (std::sqrt(mr) + std::sqrt(mp));
    }

    // The quadrant-1 outline pixels of rows a..b, T < a, b <= mt: each row holds
    // max(1, Xr(r) - Xr(r - 1)). Rows whose span is only the centre (widened) add one each; where
    // the curve is flatter than 45 degrees the sum telescopes; where it is steeper each row adds
    // one. The two regions meet at row steep_, found once by bisection.
    int64_t RowsSum(int64_t a, int64_t b) const {
        constexpr int64_t kDirectRows = 64;
        if (a > b) return 0;
        int64_t sum = 0;
        if (b - a < kDirectRows) {
            int64_t prev = Xr(a - 1);
            for (int64_t r = a; r <= b; ++r) {
                const int64_t x = Xr(r);
                sum += std::max<int64_t>(1, x - prev);
                prev = x;
            }
            return sum;
        }
        // The middle row may be widened to the full width: it is counted on its own.
        if (b == mt_) {
            sum += std::max<int64_t>(1, Xr(mt_) - Xr(mt_ - 1));
            --b;
        }
        sum += Overlap(a, b, T_ + 1, r0_ - 1);
        int64_t lo = std::max(a, r0_), hi = std::min(b, steep_ - 1);
        if (lo <= hi) sum += Xr(hi) - Xr(lo - 1);
        lo = std::max({a, steep_, r0_});
        if (lo <= b) sum += b - lo + 1;
        return sum;
    }

    int64_t P1(int64_t a, int64_t b) const {
        if (a > b) return 0;
        int64_t sum = 0;
        if (a == T_) {
            sum += Xr(T_) - cR_ + 1;
            ++a;
        }
        return sum + RowsSum(a, b);
    }

    // Quadrant 2 mirrors quadrant 1, but a centre column (odd width) belongs to quadrant 1 only.
    int64_t P2(int64_t a, int64_t b) const {
        if (a > b) return 0;
        int64_t sum = 0;
        if (a == T_) {
            sum += Xr(T_) - cL_;
            ++a;
        }
        if (a <= b) {
            sum += RowsSum(a, b);
            if (cL_ == cR_) sum -= Overlap(a, b, T_ + 1, r0_ - 1);
        }
        return sum;
    }

    int64_t L_, T_, R_, B_, W_, H_, S_, SY_;
    int64_t cL_, cR_;  // the centre column(s)
    int64_t mt_, ml_;  // the last row of the upper half; the upper row mirroring the lower half's
    bool exact_;
    bool counting_ = false;
    int64_t r0_ = 0;     // first row below the top whose span is wider than the centre
    int64_t steep_ = 0;  // first row where the curve is steeper than 45 degrees
    int64_t n1_ = 0, n2_ = 0, n3_ = 0, n4_ = 0;
};

// ---------------------------------------------------------------------------------------------
// 8. Sweeps

// A direction from the box's centre in doubled units, v pointing up the screen, so that the
// visual counter-clockwise turn is the mathematical one.
struct Dir {
    Wide u, v;
};

Wide Cross(Dir a, Dir b) {
    return a.u * b.v - a.v * b.u;
}

Wide DotOf(Dir a, Dir b) {
    return a.u * b.u + a.v * b.v;
}

struct Interval {
    int64_t lo, hi;
};

// The angular range of an arc or pie: counter-clockwise from the start radial to the end radial,
// both included; the whole turn when they coincide.
class Sweep {
public:
    Sweep(const EllipseGeom& g, Point start, Point end) : g_(g) {
        s_ = DirOf(start.x, start.y);
        e_ = DirOf(end.x, end.y);
        // A radial through the centre itself has no direction; it is taken as pointing east.
        if (s_.u == 0 && s_.v == 0) s_ = {1, 0};
        if (e_.u == 0 && e_.v == 0) e_ = {1, 0};
        const Wide c = Cross(s_, e_);
        full_ = c == 0 && DotOf(s_, e_) > 0;
        narrow_ = c > 0 || (c == 0 && !full_);
    }

    Dir DirOf(int64_t x, int64_t y) const { return {Wide{2} * x - g_.S(), Wide{g_.SY()} - 2 * y}; }
    Dir StartDir() const { return s_; }
    Dir EndDir() const { return e_; }
    bool Full() const { return full_; }
    bool Narrow() const { return narrow_; }

    // Whether p comes before q counter-clockwise from the start radial.
    bool Before(Dir p, Dir q) const {
        const int hp = Half(p), hq = Half(q);
        if (hp != hq) return hp < hq;
        return Cross(p, q) > 0;
    }

    // The parts of [x0, x1] on row r inside the sweep: at most two intervals, left to right.
    int Clip(int64_t r, int64_t x0, int64_t x1, Interval out[2]) const {
        if (x0 > x1) return 0;
        if (full_) {
            out[0] = {x0, x1};
            return 1;
        }
        const Wide v = Wide{g_.SY()} - 2 * r;
        // cross(s, p) >= 0 and cross(p, e) >= 0, each solved for x as A x <= C.
        const Interval a = Solve(Wide{2} * s_.v, s_.u * v + s_.v * g_.S(), x0, x1);
        const Interval b = Solve(Wide{-2} * e_.v, -(v * e_.u + e_.v * g_.S()), x0, x1);
        if (narrow_) {
            const Interval both{std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
            if (both.lo > both.hi) return 0;
            out[0] = both;
            return 1;
        }
        int n = 0;
        if (a.lo <= a.hi) out[n++] = a;
        if (b.lo <= b.hi) out[n++] = b;
        if (n == 2) {
            if (out[0].lo > out[1].lo) std::swap(out[0], out[1]);
            if (out[1].lo <= out[0].hi + 1) {
                out[0].hi = std::max(out[0].hi, out[1].hi);
                n = 1;
            }
        }
        return n;
    }

    // The row where a radial meets the ellipse, and the x of that meeting, rounded.
    void Meeting(Dir d, int64_t& x, int64_t& r) const {
        const long double u = static_cast<long double>(d.u), v = static_cast<long double>(d.v);
        const long double w = static_cast<long double>(g_.W()),
                          h = static_cast<long double>(g_.H());
        const long double t = 1.0L / std::sqrt(u * u / (w * w) + v * v / (h * h));
        const long double y = (static_cast<long double>(g_.SY()) - v * t) / 2.0L;
        const long double xx = (static_cast<long double>(g_.S()) + u * t) / 2.0L;
        r = std::clamp(static_cast<int64_t>(std::llround(y)), g_.Top(), g_.Bottom() - 1);
        x = std::clamp(static_cast<int64_t>(std::llround(xx)), g_.Xl(r), g_.Xr(r));
    }

    // The x on row r where the line of radial d passes, rounded down (false when it is parallel).
    bool RadialX(Dir d, int64_t r, int64_t& x) const {
        if (d.v == 0) return false;
        const Wide v = Wide{g_.SY()} - 2 * r;
        x = ClampWide(FloorDiv<Wide>(d.u * v + d.v * g_.S(), Wide{2} * d.v), -kCoordLimit * 4,
                      kCoordLimit * 4);
        return true;
    }

private:
    int Half(Dir p) const {
        const Wide c = Cross(s_, p);
        if (c > 0) return 0;
        if (c < 0) return 1;
        return DotOf(s_, p) >= 0 ? 0 : 1;
    }

    static Interval Solve(Wide a, Wide c, int64_t x0, int64_t x1) {
        if (a > 0) return {x0, ClampWide(FloorDiv<Wide>(c, a), x0 - 1, x1)};
        if (a < 0) return {ClampWide(CeilDiv<Wide>(c, a), x0, x1 + 1), x1};
        return c >= 0 ? Interval{x0, x1} : Interval{x0, x0 - 1};
    }

    const EllipseGeom& g_;
    Dir s_{}, e_{};
    bool full_ = false;
    bool narrow_ = false;  // at most half a turn: the sweep is the intersection of two half-planes
};

// The first and last pixels of an arc, counter-clockwise. They lie next to the points where the
// radials meet the ellipse, so only the rows around those meetings are searched; in a row, the
// angle is monotonic except where a radial crosses it, so the ends of the swept parts and the
// pixels beside each radial are the only candidates.
struct ArcEnds {
    bool found = false;
    int64_t ax = 0, ay = 0, ex = 0, ey = 0;
};

ArcEnds FindArcEnds(const EllipseGeom& g, const Sweep& sw) {
    ArcEnds ends;
    int64_t bestA = 0, bestE = 0;  // positions along the curve, to order pixels at equal angles
    auto consider = [&](int64_t x, int64_t r) {
        const Dir p = sw.DirOf(x, r);
        const int64_t pos = g.PosOf(x, r);
        if (!ends.found) {
            ends = {true, x, r, x, r};
            bestA = bestE = pos;
            return;
        }
        const Dir a = sw.DirOf(ends.ax, ends.ay), e = sw.DirOf(ends.ex, ends.ey);
        if (sw.Before(p, a) || (!sw.Before(a, p) && pos < bestA)) {
            ends.ax = x;
            ends.ay = r;
            bestA = pos;
        }
        if (sw.Before(e, p) || (!sw.Before(p, e) && pos > bestE)) {
            ends.ex = x;
            ends.ey = r;
            bestE = pos;
        }
    };
    const Dir radials[2] = {sw.StartDir(), sw.EndDir()};
    for (const Dir& d : radials) {
        int64_t mx, mr;
        sw.Meeting(d, mx, mr);
        for (int64_t r = std::max(mr - 2, g.Top()); r <= std::min(mr + 2, g.Bottom() - 1); ++r) {
            Run runs[2];
            const int nRuns = g.RowRuns(r, runs, false);
            for (int i = 0; i < nRuns; ++i) {
                Interval parts[2];
                const int nParts = sw.Clip(r, runs[i].x0, runs[i].x1, parts);
                for (int j = 0; j < nParts; ++j) {
                    consider(parts[j].lo, r);
                    consider(parts[j].hi, r);
                    for (const Dir& side : radials) {
                        int64_t x;
                        if (!sw.RadialX(side, r, x)) continue;
                        for (int64_t off = -1; off <= 2; ++off) {
                            consider(std::clamp(x + off, parts[j].lo, parts[j].hi), r);
                        }
                    }
                }
            }
        }
    }
    return ends;
}

// Adds the arc's outline pixels (the whole outline with a full sweep, or no sweep at all) that lie
// in rows 0..h-1, with pattern steps counted from `posStart` along the curve.
void AddOutline(const EllipseGeom& g, const Sweep* sw, int64_t posStart, Figure& fig, int w,
                int h) {
    const bool styled = fig.ink().styled;
    const int64_t total = styled ? g.Total() : 1;
    const int64_t r0 = std::max<int64_t>(g.Top(), 0), r1 = std::min<int64_t>(g.Bottom() - 1, h - 1);
    if (r0 <= r1) g_visits += static_cast<uint64_t>(r1 - r0 + 1);
    for (int64_t r = r0; r <= r1; ++r) {
        Run runs[2];
        const int nRuns = g.RowRuns(r, runs, styled);
        for (int i = 0; i < nRuns; ++i) {
            const int64_t x0 = std::max<int64_t>(runs[i].x0, 0);
            const int64_t x1 = std::min<int64_t>(runs[i].x1, w - 1);
            Interval parts[2] = {{x0, x1}, {0, -1}};
            const int nParts = sw != nullptr ? sw->Clip(r, x0, x1, parts) : (x0 <= x1 ? 1 : 0);
            for (int j = 0; j < nParts; ++j) {
                if (parts[j].lo <= parts[j].hi)
                    g_visits += static_cast<uint64_t>(parts[j].hi - parts[j].lo + 1);
                for (int64_t x = parts[j].lo; x <= parts[j].hi; ++x) {
                    uint32_t step = 0;
                    if (styled) {
                        step = static_cast<uint32_t>(Mod(runs[i].PosAt(x) - posStart, total) %
                                                     kPeriod);
                    }
                    fig.PenAt(x, r, step);
                }
            }
        }
    }
}

bool UsableBox(const Rect& box, Rect& clamped) {
    if (box.right <= box.left || box.bottom <= box.top) return false;
    clamped = {ClampCoord(box.left), ClampCoord(box.top), ClampCoord(box.right),
               ClampCoord(box.bottom)};
    return clamped.right > clamped.left && clamped.bottom > clamped.top;
}

// Shared by Arc and Pie: the outline of the arc, and (for a pie) the two radials and the fill.
void DrawArcOrPie(const PixelTarget& t, const Pen& pen, const Brush* brush, const Rect& box,
                  Point start, Point end) {
    Rect b;
    if (!Usable(t) || !UsableBox(box, b)) return;
    EllipseGeom g(b);
    g.PrepareCounting();
    const Sweep sw(g, ClampPoint(start), ClampPoint(end));
    Figure fig(t, pen);
    const ArcEnds ends = FindArcEnds(g, sw);
    const int64_t posA = ends.found ? g.PosOf(ends.ax, ends.ay) : 0;
    if (fig.ink().visible) AddOutline(g, &sw, posA, fig, t.width, t.height);

    if (brush != nullptr) {
        if (fig.ink().visible) {
            Point a{ends.ax, ends.ay}, e{ends.ex, ends.ey};
            if (!ends.found) {
                sw.Meeting(sw.StartDir(), a.x, a.y);
                e = a;
            }
            // The corner of the slice is the centre pixel on the side of the slice's bisector
            // (an even box has four pixels around its centre).
            const auto unit = [](Dir d) {
                const long double u = static_cast<long double>(d.u),
                                  v = static_cast<long double>(d.v);
                const long double n = std::sqrt(u * u + v * v);
                return std::pair<long double, long double>{u / n, v / n};
            };
            const auto [su, sv] = unit(sw.StartDir());
            const auto [eu, ev] = unit(sw.EndDir());
            long double bu = su + eu, bv = sv + ev;
            if (sw.Full()) {
                bu = -su;
                bv = -sv;
            } else if (!sw.Narrow()) {
                bu = -bu;
                bv = -bv;
            }
            if (std::fabs(bu) + std::fabs(bv) < 1e-9L) {
                bu = -sv;
                bv = su;
            }
            const Point c{bu > 0 ? g.CentreRight() : g.CentreLeft(),
                          bv > 0 ? g.UpperMiddle() : g.SY() - g.UpperMiddle()};
            const int64_t arcLength = ends.found ? Mod(g.PosOf(e.x, e.y) - posA, g.Total()) + 1 : 0;
            uint32_t phase = Advance(0, arcLength);
            fig.Segment(e, c, phase);
            fig.Segment(c, a, phase);
        }
        const int64_t r0 = std::max<int64_t>(g.Top(), 0);
        const int64_t r1 = std::min<int64_t>(g.Bottom() - 1, t.height - 1);
        if (r0 <= r1) g_visits += static_cast<uint64_t>(r1 - r0 + 1);
        for (int64_t r = r0; r <= r1; ++r) {
            Interval parts[2];
            const int64_t x0 = std::max<int64_t>(g.Xl(r), 0);
            const int64_t x1 = std::min<int64_t>(g.Xr(r), t.width - 1);
            const int n = sw.Clip(r, x0, x1, parts);
            for (int j = 0; j < n; ++j) fig.Fill(r, parts[j].lo, parts[j].hi);
        }
    }
    fig.Draw(brush);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// 9. The drawing calls

void SetPixel(const PixelTarget& t, int64_t x, int64_t y, uint8_t index, RasterOp op) {
    if (!Usable(t)) return;
    WriteSpan(t, y, x, x, index, op);
}

uint64_t Visits() {
    return g_visits;
}

int GetPixel(const PixelTarget& t, int64_t x, int64_t y) {
    if (!Usable(t) || x < 0 || y < 0 || x >= t.width || y >= t.height) return -1;
    return t.pixels[y * t.pitch + x];
}

void FillRect(const PixelTarget& t, const Rect& r, uint8_t index, RasterOp op) {
    if (!Usable(t) || r.right <= r.left || r.bottom <= r.top) return;
    const int64_t y0 = std::max<int64_t>(r.top, 0);
    const int64_t y1 = std::min<int64_t>(r.bottom, t.height);
    if (y0 < y1) g_visits += static_cast<uint64_t>(y1 - y0);
    for (int64_t y = y0; y < y1; ++y) WriteSpan(t, y, r.left, r.right - 1, index, op);
}

void Line(const PixelTarget& t, const Pen& pen, Point from, Point to, uint32_t& phase) {
    const Ink ink(pen);
    const bool draw = Usable(t) && ink.visible;
    const int64_t steps = WalkLine(draw ? t.width : 0, draw ? t.height : 0, from, to, phase,
                                   [&](int x, int y, uint32_t step) {
                                       uint8_t index;
                                       if (ink.Pick(step, index)) {
                                           WriteSpan(t, y, x, x, index, ink.op);
                                       }
                                   });
    phase = Advance(phase, steps);
}

void Polyline(const PixelTarget& t, const Pen& pen, const std::vector<Point>& points) {
    if (!Usable(t) || points.size() < 2 || pen.style == PenStyle::Clear) return;
    Figure fig(t, pen);
    uint32_t phase = 0;
    for (size_t i = 0; i + 1 < points.size(); ++i) fig.Segment(points[i], points[i + 1], phase);
    fig.Draw(nullptr);
}

void Polygon(const PixelTarget& t, const Pen& pen, const Brush& brush,
             const std::vector<Point>& points) {
    if (!Usable(t) || points.size() < 2) return;
    std::vector<Point> pts(points.size());
    std::transform(points.begin(), points.end(), pts.begin(), ClampPoint);
    Figure fig(t, pen);
    if (fig.ink().visible) {
        uint32_t phase = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            fig.Segment(pts[i], pts[(i + 1) % pts.size()], phase);
        }
    }
    if (pts.size() >= 3 && !brush.clear) FillPolygon(pts, fig, t.width, t.height);
    fig.Draw(&brush);
}

void Ellipse(const PixelTarget& t, const Pen& pen, const Brush& brush, const Rect& box) {
    Rect b;
    if (!Usable(t) || !UsableBox(box, b)) return;
    EllipseGeom g(b);
    Figure fig(t, pen);
    if (fig.ink().visible) {
        if (fig.ink().styled) g.PrepareCounting();
        AddOutline(g, nullptr, 0, fig, t.width, t.height);
    }
    if (!brush.clear) {
        const int64_t r0 = std::max<int64_t>(g.Top(), 0);
        const int64_t r1 = std::min<int64_t>(g.Bottom() - 1, t.height - 1);
        if (r0 <= r1) g_visits += static_cast<uint64_t>(r1 - r0 + 1);
        for (int64_t r = r0; r <= r1; ++r) fig.Fill(r, g.Xl(r), g.Xr(r));
    }
    fig.Draw(&brush);
}

void Arc(const PixelTarget& t, const Pen& pen, const Rect& box, Point start, Point end) {
    if (pen.style == PenStyle::Clear) return;
    DrawArcOrPie(t, pen, nullptr, box, start, end);
}

void Pie(const PixelTarget& t, const Pen& pen, const Brush& brush, const Rect& box, Point start,
         Point end) {
    DrawArcOrPie(t, pen, &brush, box, start, end);
}

// ---------------------------------------------------------------------------------------------
// 10. Flood fill

// Span fill with an explicit stack: each entry is a row to scan between the ends of the run just
// filled in the row it came from. Only the parts of the run beyond its parent's ends are scanned
// back toward the parent row, whose own run is already filled. Filled pixels no longer match, so
// every pixel is filled once and the stack never holds more entries than there are runs.
void FloodFill(const PixelTarget& t, int64_t x, int64_t y, uint8_t match, const Brush& brush) {
    if (!Usable(t) || brush.clear) return;
    if (x < 0 || y < 0 || x >= t.width || y >= t.height) return;
    const uint8_t result = brush.op == RasterOp::Xor ? match ^ brush.index : brush.index;
    // A fill that leaves the matching pixels matching would change nothing and never end.
    if (result == match) return;
    if (t.pixels[y * t.pitch + x] != match) return;

    struct Seed {
        int32_t y, x0, x1, dir;
    };
    std::vector<Seed> stack;
    const int32_t sx = static_cast<int32_t>(x), sy = static_cast<int32_t>(y);
    stack.push_back({sy, sx, sx, 1});
    stack.push_back({sy - 1, sx, sx, -1});
    while (!stack.empty()) {
        const Seed s = stack.back();
        stack.pop_back();
        ++g_visits;
        if (s.y < 0 || s.y >= t.height) continue;
        const uint8_t* row = t.pixels + static_cast<int64_t>(s.y) * t.pitch;
        int32_t cx = s.x0;
        while (cx <= s.x1) {
            if (row[cx] != match) {
                ++cx;
                continue;
            }
            int32_t left = cx, right = cx;
            if (cx == s.x0) {
                while (left > 0 && row[left - 1] == match) --left;
            }
            while (right + 1 < t.width && row[right + 1] == match) ++right;
            WriteSpan(t, s.y, left, right, brush.index, brush.op);
            stack.push_back({s.y + s.dir, left, right, s.dir});
            if (left < s.x0) stack.push_back({s.y - s.dir, left, s.x0 - 1, -s.dir});
            if (right > s.x1) stack.push_back({s.y - s.dir, s.x1 + 1, right, -s.dir});
            cx = right + 2;
        }
    }
}

}  // namespace tw::raster
