// Graphics commands: points, lines, shapes, fills and text on a screen's canvas, in palette
// colours, and the functions GRLOCATEX and GRLOCATEY.
//
// Every command may start with "SCREEN n," to draw on screen n instead of the current screen.

#include "display/graphics.h"

#include "display/screens.h"
#include "frontend/names.h"
#include "interpreter/arguments.h"

namespace tw {

namespace {

constexpr int kMaxPoints = 50;

// The frame every graphics command shares: the target screen, its arguments in order, and the
// failures of each step.
class Drawing {
public:
    Drawing(Interpreter& in, const Args& args, CommandResult& result, const char* failText)
        : in_(in), s_(ScreensOf(in)), args_(args), result_(result), failText_(failText) {}

    // Finds the target screen; false (with the failure set) when it is not open.
    bool Begin() {
        result_.ok = true;
        int32_t n = s_.currentScreen;
        if (EqualsUpper(args_[0], "SCREEN")) {
            Expression expr;
            position_ = 1;
            CollectExpression(args_, position_, ",", "", expr, result_);
            if (!result_.ok) return false;
            EvalResult value = Evaluate(in_, expr.AsArgs());
            if (!value.ok) {
                result_.CopyFailure(value);
                return false;
            }
            if (!ValueToInteger(value.value, n, result_)) return false;
            position_ += 2;
        }
        screen_ = s_.screen && s_.screen->Initialized() ? s_.Open(n) : nullptr;
        if (!screen_) {
            result_.Fail(
                15, 2,
                "Error <15> : Run Time Error - Screen " + std::to_string(n) + " is not open.");
            return false;
        }
        return true;
    }

    // The next argument as an integer: it runs to the next "," or "TO" at depth 0, or the end.
    bool Integer(int32_t& out) {
        lastStart_ = position_;
        Value v;
        if (!Next(v)) return false;
        if (ToInt32(v, out)) return true;
        if (!failText_) return ValueToInteger(v, out, result_);
        return Failed();
    }
    bool Text(std::string& out) {
        lastStart_ = position_;
        Value v;
        if (!Next(v)) return false;
        out = TextOf(v);
        return true;
    }

    std::string_view Peek() const { return args_[position_]; }
    void Skip() { ++position_; }
    bool AtEnd() const { return args_[position_].empty(); }
    int LastStart() const { return lastStart_; }

    TDispCanvas& Canvas() { return screen_->surface->Canvas(); }
    Screens& screens() { return s_; }
    ScreenRecord& screen() { return *screen_; }
    CommandResult& result() { return result_; }

    // The drawing is done: the canvas is held until here, then released.
    void Done() {
        screen_->canvasHeld = true;
        ++s_.canvasesHeld;
        Canvas().ReleaseHandle();
        screen_->canvasHeld = false;
        --s_.canvasesHeld;
    }
    bool Failed() {
        result_.Fail(999, 0, std::string("Error <999> : ") + (failText_ ? failText_ : ""));
        return false;
    }
    void SetFailText(const char* text) { failText_ = text; }

private:
    bool Next(Value& v) {
        Expression expr;
        int end = position_;
        CollectExpression(args_, end, ",", "TO", expr, result_);
        if (!result_.ok) return false;
        EvalResult value = Evaluate(in_, expr.AsArgs());
        if (!value.ok) {
            result_.CopyFailure(value);
            return false;
        }
        // Past the expression and its separator (or the end of the line).
        position_ += expr.Count() + 1;
        v = std::move(value.value);
        return true;
    }

    Interpreter& in_;
    Screens& s_;
    const Args& args_;
    CommandResult& result_;
    const char* failText_;
    int position_ = 0;
    int lastStart_ = 0;
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
    Drawing d(in, args, result,
              "Plot failed, during the evaluation of X,Y and colour parameters..");
    int32_t x, y, c;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y)) return;
    int32_t colour = d.screens().inkIndex;
    if (!d.AtEnd()) {
        if (!d.Integer(c)) return;
        colour = c;
    }
    d.Canvas().penColour = d.screens().ColourOf(colour);
    d.Canvas().SetPixel(x, y, d.Canvas().penColour);
    d.Done();
}

// CLS [c]: the whole surface in palette index c mod 256, or in the low byte of the default
// brush's colour. CLS has no failure text of its own: a value that is no integer is reported as
// the value's fault.
void ClsCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, nullptr);
    if (!d.Begin()) return;
    int32_t index = static_cast<int32_t>(d.screens().defaultBrush.colour & 0xFF);
    if (!d.AtEnd() && !d.Integer(index)) return;
    d.screen().surface->Erase(static_cast<uint8_t>(static_cast<uint32_t>(index) & 0xFF));
    d.Done();
}

void GfxLocateCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, "GfxLocate failed, during the evaluation of X,Y arguments..");
    int32_t x, y;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y)) return;
    d.Canvas().MoveTo(x, y);
    d.Done();
}

void LineCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result, nullptr);
    if (!d.Begin()) return;
    const bool partial = EqualsUpper(d.Peek(), "TO");
    d.SetFailText(partial ? "Line (Part) failed, during the evaluation of X1,Y1 arguments.."
                          : "Line (Full) failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
    int32_t x1, y1, x2, y2;
    if (partial) {
        d.Skip();
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
    Drawing d(in, args, result,
              "Box Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
    int32_t x1, y1, x2, y2;
    if (!d.Begin() || !Corners(d, x1, y1, x2, y2)) return;
    SetPenFromInk(d);
    d.Canvas().Polyline({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}});
    d.Done();
}

void BarCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result,
              "BAR Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
    int32_t x1, y1, x2, y2;
    if (!d.Begin() || !Corners(d, x1, y1, x2, y2)) return;
    SetPenFromInk(d);
    SetBrushFromIndex(d);
    d.Canvas().Polygon({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}});
    d.Done();
}

// CIRCLE x, y, r and ELLIPSE x, y, rx, ry: outlines only.
void Ellipse(Interpreter& in, const Args& args, CommandResult& result, bool circle) {
    Drawing d(in, args, result,
              "CIRCLE Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
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
        result.Fail(23, d.LastStart() - 2,
                    "RTE (23) - Circle command could not be performed, Windows 95/98/NT limits "
                    "exceeded.");
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
    Drawing d(
        in, args, result,
        polygon
            ? "POLYGON Command failed, during the evaluation of X1,Y1 <repeating> arguments.."
            : "POLYLINE Command failed, during the evaluation of X1,Y1 <repeating> arguments..");
    if (!d.Begin()) return;
    std::vector<Point> points;
    if (EqualsUpper(d.Peek(), "TO")) {
        points.push_back(d.Canvas().penPos);
        d.Skip();
    }
    while (!d.AtEnd()) {
        int32_t x, y;
        if (!d.Integer(x) || !d.Integer(y)) return;
        if (points.size() >= kMaxPoints) {
            result.Fail(26, 0,
                        std::string("RTE (26) - ") + (polygon ? "POLYGON" : "POLYLINE") +
                            " Command failed, at most 50 points can be given.");
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
    Drawing d(in, args, result,
              "INK Command failed, during the evaluation of colour index arguments..");
    int32_t c;
    if (!d.Begin() || !d.Integer(c)) return;
    d.screens().inkIndex = c;
    d.Canvas().penColour = d.screens().ColourOf(c);
    d.Done();
}

void BrushCommand(Interpreter& in, const Args& args, CommandResult& result) {
    Drawing d(in, args, result,
              "BRUSH Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
    int32_t c;
    if (!d.Begin() || !d.Integer(c)) return;
    d.screens().brushIndex = c;
    d.Canvas().brushColour = d.screens().ColourOf(c);
    d.Done();
}

// ARC and PIE: the box x1, y1, x2, y2 and the radials through (x3, y3) and (x4, y4).
void ArcOrPie(Interpreter& in, const Args& args, CommandResult& result, bool pie) {
    Drawing d(in, args, result,
              pie ? "Pie Command failed, during the evaluation of X1,Y1,X2,Y2 arguments.."
                  : "ARC Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
    if (!d.Begin()) return;
    int32_t v[8];
    for (int32_t& value : v) {
        if (!d.Integer(value)) return;
    }
    const Rect box{v[0], v[1], v[2], v[3]};
    if (!WithinLimits(box)) {
        result.Fail(23, d.LastStart() - 2,
                    pie ? "RTE (23) - Pie command could not be performed, Windows 95/98/NT limits "
                          "exceeded."
                        : "RTE (23) - ARC command could not be performed, Windows 95/98/NT limits "
                          "exceeded.");
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
    Drawing d(in, args, result,
              "Paint Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
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
    Drawing d(in, args, result,
              "TEXT Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..");
    int32_t x, y;
    std::string text;
    if (!d.Begin() || !d.Integer(x) || !d.Integer(y) || !d.Text(text)) return;
    d.Canvas().TextOut(x, y, text);
    d.Done();
}

// GRLOCATEX and GRLOCATEY: the current screen's graphics cursor.
void GraphicsCursor(Interpreter& in, FunctionResult& result, bool x) {
    Screens& s = ScreensOf(in);
    ScreenRecord* r = s.screen && s.screen->Initialized() ? s.Open(s.currentScreen) : nullptr;
    if (!r) {
        result.Fail(15, 0,
                    "Error <15> : Run Time Error - Screen " + std::to_string(s.currentScreen) +
                        " is not open.");
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
