// Graphics commands: points, lines, shapes, fills and text on a screen's canvas, in palette
// colours, and the functions GRLOCATEX and GRLOCATEY.
//
// Every command may start with "SCREEN n," to draw on screen n instead of the current screen.

#include <optional>

#include "commands/registry.h"
#include "display/screens.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

constexpr int kMaxPoints = 50;

// The frame every graphics command shares: the target screen, the arguments in order (each
// runs to the next "," or "TO" at depth 0, or the end), and the canvas held while drawing.
class Drawing {
public:
    // `badValue`: the command's failure for a value that is no integer (none: the value's own).
    Drawing(Interpreter& in, const Args& args, CommandResult& result,
            std::optional<ErrorId> badValue)
        : s_(in.screens), a_(in, args, result), badValue_(badValue) {}

    // Finds the target screen, after an optional "SCREEN n," prefix; false (with the failure
    // set) when it is not open.
    bool Begin() {
        a_.result().ok = true;
        int32_t n = s_.currentScreen;
        if (a_.Keyword("SCREEN") && !a_.Integer(n)) return false;
        a_.StopAt(",", "TO");
        if (badValue_) a_.OnBadValue(*badValue_);
        screen_ = DisplayStarted(s_) ? s_.Open(n) : nullptr;
        if (!screen_) {
            a_.result().Fail(ErrorId::DrawScreenNotOpen, 2, n);
            return false;
        }
        return true;
    }

    bool Integer(int32_t& out) { return a_.Integer(out); }
    bool Text(std::string& out) { return a_.Text(out); }
    ArgCursor& args() { return a_; }

    TDispCanvas& Canvas() { return screen_->surface->Canvas(); }
    Screens& screens() { return s_; }
    ScreenRecord& screen() { return *screen_; }
    TResult& result() { return a_.result(); }

    // The drawing is done: the canvas is held until here, then released.
    void Done() {
        screen_->canvasHeld = true;
        ++s_.canvasesHeld;
        Canvas().ReleaseHandle();
        screen_->canvasHeld = false;
        --s_.canvasesHeld;
    }

private:
    Screens& s_;
    ArgCursor a_;
    std::optional<ErrorId> badValue_;
    ScreenRecord* screen_ = nullptr;
};

void SetPenFromInk(Drawing& d) {
    d.Canvas().penColour = d.screens().ColourOf(d.screens().inkIndex);
}
void SetBrushFromIndex(Drawing& d) {
    d.Canvas().brushColour = d.screens().ColourOf(d.screens().brushIndex);
}

// The box of a circle or an ellipse, in the 32-bit arithmetic of the original coordinates.
int32_t Wrap(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

// The bounding-box limit of the old desktop drawing API: the figure is drawn only when the OR of
// left + right, top + bottom and their sum, as a signed 32-bit value, is at most 32768.
bool WithinLimits(const Rect& box) {
    const int32_t sx = Wrap(box.left + box.right);
    const int32_t sy = Wrap(box.top + box.bottom);
    const int32_t sum = Wrap(int64_t{sx} + sy);
    return (sx | sy | sum) <= 32768;
}

void PlotCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::PlotArguments);
    int32_t x, y;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y)) return;
    int32_t colour = d.screens().inkIndex;
    if (!d.args().OptionalInteger(colour)) return;
    d.Canvas().penColour = d.screens().ColourOf(colour);
    d.Canvas().SetPixel(x, y, d.Canvas().penColour);
    d.Done();
}

// CLS [c]: the whole surface in palette index c mod 256, or in the low byte of the default
// brush's colour. CLS has no failure text of its own: a value that is no integer is reported as
// the value's fault.
void ClsCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, std::nullopt);
    if (!d.Begin()) return;
    int32_t index = static_cast<int32_t>(d.screens().defaultBrush.colour & 0xFF);
    if (!d.args().OptionalInteger(index)) return;
    d.screen().surface->Erase(static_cast<uint8_t>(static_cast<uint32_t>(index) & 0xFF));
    d.Done();
}

void GfxLocateCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::GfxLocateArguments);
    int32_t x, y;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y)) return;
    d.Canvas().MoveTo(x, y);
    d.Done();
}

void LineCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, std::nullopt);
    if (!d.Begin()) return;
    const bool partial = d.args().Keyword("TO");
    d.args().OnBadValue(partial ? ErrorId::LinePartArguments : ErrorId::LineFullArguments);
    int32_t x1, y1, x2, y2;
    if (partial) {
        if (!d.Integer(x2) || !d.Integer(y2)) return;
        SetPenFromInk(d);
        d.Canvas().LineTo(x2, y2);
    } else {
        if (!d.Integer(x1) || !d.Integer(y1) || !d.Integer(x2) || !d.Integer(y2)) return;
        SetPenFromInk(d);
        d.Canvas().MoveTo(x1, y1);
        d.Canvas().LineTo(x2, y2);
    }
    d.Done();
}

bool Corners(Drawing& d, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
    return d.Integer(x1) && d.Integer(y1) && d.Integer(x2) && d.Integer(y2);
}

void BoxCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::BoxArguments);
    int32_t x1, y1, x2, y2;
    if (!d.Begin() || !Corners(d, x1, y1, x2, y2)) return;
    SetPenFromInk(d);
    d.Canvas().Polyline({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}});
    d.Done();
}

void BarCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::BarArguments);
    int32_t x1, y1, x2, y2;
    if (!d.Begin() || !Corners(d, x1, y1, x2, y2)) return;
    SetPenFromInk(d);
    SetBrushFromIndex(d);
    d.Canvas().Polygon({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}});
    d.Done();
}

// CIRCLE x, y, r and ELLIPSE x, y, rx, ry: outlines only.
void Ellipse(Interpreter& in, const Args& args, CommandResult& result, bool circle) {
    Drawing d(in, args, result, ErrorId::CircleArguments);
    int32_t x, y, rx, ry;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y) || !d.Integer(rx)) return;
    if (circle) {
        ry = rx;
    } else if (!d.Integer(ry)) {
        return;
    }
    const Rect box{Wrap(int64_t{x} - rx), Wrap(int64_t{y} - ry), Wrap(int64_t{x} + rx),
                   Wrap(int64_t{y} + ry)};
    if (!WithinLimits(box)) {
        result.Fail(ErrorId::CircleLimits, d.args().LastStart() - 2);
        return;
    }
    SetPenFromInk(d);
    TDispCanvas& canvas = d.Canvas();
    canvas.brushStyle = BrushStyle::Clear;
    canvas.Ellipse(box.left, box.top, box.right, box.bottom);
    canvas.brushStyle = d.screens().defaultBrush.style;
    d.Done();
}

void CircleCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Ellipse(in, args, result, true);
}
void EllipseCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Ellipse(in, args, result, false);
}

// POLYLINE and POLYGON: [TO] x1, y1 TO x2, y2 [TO ...]; a leading TO starts at the graphics
// cursor. At most 50 points.
void Polyfigure(Interpreter& in, const Args& args, CommandResult& result, bool polygon) {
    Drawing d(in, args, result, polygon ? ErrorId::PolygonArguments : ErrorId::PolylineArguments);
    if (!d.Begin()) return;
    std::vector<Point> points;
    if (d.args().Keyword("TO")) points.push_back(d.Canvas().penPos);
    while (!d.args().AtEnd()) {
        int32_t x, y;
        if (!d.Integer(x) || !d.Integer(y)) return;
        if (points.size() >= kMaxPoints) {
            result.Fail(ErrorId::TooManyPoints, 0, polygon ? "POLYGON" : "POLYLINE");
            return;
        }
        points.push_back({x, y});
    }
    SetPenFromInk(d);
    if (polygon) {
        SetBrushFromIndex(d);
        d.Canvas().Polygon(points);
    } else {
        d.Canvas().Polyline(points);
        if (!points.empty()) d.Canvas().MoveTo(points.back().x, points.back().y);
    }
    d.Done();
}

void PolylineCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Polyfigure(in, args, result, false);
}
void PolygonCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Polyfigure(in, args, result, true);
}

void InkCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::InkArguments);
    int32_t c;
    if (!d.Begin() || !d.Integer(c)) return;
    d.screens().inkIndex = c;
    d.Canvas().penColour = d.screens().ColourOf(c);
    d.Done();
}

void BrushCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::BrushArguments);
    int32_t c;
    if (!d.Begin() || !d.Integer(c)) return;
    d.screens().brushIndex = c;
    d.Canvas().brushColour = d.screens().ColourOf(c);
    d.Done();
}

// ARC and PIE: the box x1, y1, x2, y2 and the radials through (x3, y3) and (x4, y4).
void ArcOrPie(Interpreter& in, const Args& args, CommandResult& result, bool pie) {
    Drawing d(in, args, result, pie ? ErrorId::PieArguments : ErrorId::ArcArguments);
    if (!d.Begin()) return;
    int32_t v[8];
    for (int32_t& value : v) {
        if (!d.Integer(value)) return;
    }
    const Rect box{v[0], v[1], v[2], v[3]};
    if (!WithinLimits(box)) {
        result.FailWith(pie ? ErrorId::PieLimits : ErrorId::ArcLimits, d.args().LastStart() - 2);
        return;
    }
    SetPenFromInk(d);
    if (pie) {
        d.Canvas().Pie(box, {v[4], v[5]}, {v[6], v[7]});
    } else {
        d.Canvas().Arc(box, {v[4], v[5]}, {v[6], v[7]});
    }
    d.Done();
}

void ArcCommand(Interpreter& in, const Args& args, CommandResult& result) {
    ArcOrPie(in, args, result, false);
}
void PieCommand(Interpreter& in, const Args& args, CommandResult& result) {
    ArcOrPie(in, args, result, true);
}

// PAINT x, y, c: fills the area of the ink's colour around (x, y) with the screen's brush; c is
// evaluated and has no effect. The screen's brush is the default brush afterwards.
void PaintCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::PaintArguments);
    int32_t x, y, ignored;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y) || !d.Integer(ignored)) return;
    SetPenFromInk(d);
    TDispCanvas& canvas = d.Canvas();
    canvas.FloodFill(x, y, canvas.penColour);
    canvas.brushColour = d.screens().defaultBrush.colour;
    canvas.brushStyle = d.screens().defaultBrush.style;
    d.Done();
}

void TextCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, ErrorId::TextArguments);
    int32_t x, y;
    std::string text;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y) || !d.Text(text)) return;
    d.Canvas().TextOut(x, y, text);
    d.Done();
}

// GRLOCATEX and GRLOCATEY: the current screen's graphics cursor.
void GraphicsCursor(Interpreter& in, FunctionResult& result, bool x) {
    Screens& s = in.screens;
    ScreenRecord* r = DisplayStarted(s) ? s.Open(s.currentScreen) : nullptr;
    if (!r) {
        result.Fail(ErrorId::DrawScreenNotOpen, 0, s.currentScreen);
        return;
    }
    const Point p = r->surface->Canvas().penPos;
    result.ok = true;
    result.value = Value::Int(Wrap(x ? p.x : p.y));
}

void GrLocateXFunction(Interpreter& in, const Args&, FunctionResult& result) {
    GraphicsCursor(in, result, true);
}
void GrLocateYFunction(Interpreter& in, const Args&, FunctionResult& result) {
    GraphicsCursor(in, result, false);
}

}  // namespace

void RegisterGraphicsCommands(CommandTable& commands, FunctionTable& functions) {
    commands.Bind(CommandId::PLOT, PlotCommand);
    commands.Bind(CommandId::CLS, ClsCommand);
    commands.Bind(CommandId::GFXLOCATE, GfxLocateCommand);
    commands.Bind(CommandId::LINE, LineCommand);
    commands.Bind(CommandId::BOX, BoxCommand);
    commands.Bind(CommandId::BAR, BarCommand);
    commands.Bind(CommandId::CIRCLE, CircleCommand);
    commands.Bind(CommandId::ELLIPSE, EllipseCommand);
    commands.Bind(CommandId::POLYLINE, PolylineCommand);
    commands.Bind(CommandId::POLYGON, PolygonCommand);
    commands.Bind(CommandId::INK, InkCommand);
    commands.Bind(CommandId::BRUSH, BrushCommand);
    commands.Bind(CommandId::ARC, ArcCommand);
    commands.Bind(CommandId::PIE, PieCommand);
    commands.Bind(CommandId::PAINT, PaintCommand);
    commands.Bind(CommandId::TEXT, TextCommand);
    functions.Bind(FunctionId::GRLOCATEX, GrLocateXFunction);
    functions.Bind(FunctionId::GRLOCATEY, GrLocateYFunction);
}

}  // namespace tw
