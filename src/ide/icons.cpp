// The icons, drawn with QPainter on a 32-pixel grid: simple shapes with an outline, in a few
// flat colours, readable at 16 and 24 pixels too.

#include "ide/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <cmath>

namespace tw {
namespace {

constexpr int kGrid = 32;

const QColor kOutline(60, 60, 70);
const QColor kPaper(250, 250, 245);
const QColor kText(120, 130, 150);
const QColor kFolder(240, 190, 70);
const QColor kBlue(60, 110, 200);
const QColor kGreen(50, 160, 70);
const QColor kRed(200, 50, 50);
const QColor kBrown(170, 120, 70);

QPen Outline(qreal width = 1.5) {
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with a folded corner, and optionally lines of text on it.
void Page(QPainter& p, QRectF r, bool lines = true) {
    const qreal fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(Outline());
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
    if (!lines) return;
    p.setPen(QPen(kText, 1.5));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 2; y += 4) {
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

// A round badge in a corner: a plus, a cross or a star.
void Badge(QPainter& p, QPointF centre, QColor colour, char mark) {
    p.setPen(Outline(1));
    p.setBrush(colour);
    p.drawEllipse(centre, 6.5, 6.5);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    if (mark == '+') {
        p.drawLine(centre + QPointF(-3.5, 0), centre + QPointF(3.5, 0));
        p.drawLine(centre + QPointF(0, -3.5), centre + QPointF(0, 3.5));
    } else if (mark == 'x') {
        p.drawLine(centre + QPointF(-3, -3), centre + QPointF(3, 3));
        p.drawLine(centre + QPointF(-3, 3), centre + QPointF(3, -3));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5;
            const double radius = i % 2 ? 2.0 : 5.0;
            star << centre + QPointF(radius * std::cos(a), radius * std::sin(a));
        }
        p.drawPolygon(star);
    }
}

void Folder(QPainter& p) {
    p.setPen(Outline());
    p.setBrush(kFolder.darker(115));
    p.drawRect(QRectF(3, 7, 24, 19));
    p.drawRect(QRectF(3, 5, 10, 3));
    QPolygonF front;
    front << QPointF(7, 12) << QPointF(30, 12) << QPointF(26, 26) << QPointF(3, 26);
    p.setBrush(kFolder);
    p.drawPolygon(front);
}

void Disk(QPainter& p) {
    p.setPen(Outline());
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 4, 16, 10));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(10, 19, 12, 9));
    p.setBrush(kOutline);
    p.drawRect(QRectF(12, 21, 3, 5));
}

void Scissors(QPainter& p) {
    p.setPen(QPen(kOutline, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 4), QPointF(21, 21));
    p.drawLine(QPointF(23, 4), QPointF(11, 21));
    p.setPen(Outline(2));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
    p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(9, 24), 1.8, 1.8);
    p.drawEllipse(QPointF(23, 24), 1.8, 1.8);
}

void Clipboard(QPainter& p) {
    p.setPen(Outline());
    p.setBrush(kBrown);
    p.drawRoundedRect(QRectF(4, 5, 19, 24), 2, 2);
    p.setBrush(QColor(190, 190, 200));
    p.drawRoundedRect(QRectF(9, 2, 9, 6), 1.5, 1.5);
    Page(p, QRectF(13, 11, 16, 19));
}

void Magnifier(QPainter& p, QPointF centre, qreal radius) {
    p.setPen(QPen(kOutline, 4, Qt::SolidLine, Qt::RoundCap));
    const QPointF handle = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(handle, handle + QPointF(radius * 0.8, radius * 0.8));
    p.setPen(Outline(2));
    p.setBrush(QColor(190, 225, 250));
    p.drawEllipse(centre, radius, radius);
}

void Arrow(QPainter& p, QPointF from, QPointF to, QColor colour) {
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const qreal length = std::hypot(d.x(), d.y());
    const QPointF u = d / length, n(-u.y(), u.x());
    p.setBrush(colour);
    p.setPen(QPen(colour, 1));
    QPolygonF head;
    head << to + u * 3 << to - u * 4 + n * 4 << to - u * 4 - n * 4;
    p.drawPolygon(head);
}

// A curved arrow from the right going left (undo), or mirrored (redo).
void CurvedArrow(QPainter& p, bool mirrored) {
    if (mirrored) {
        p.translate(kGrid, 0);
        p.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(26, 24);
    arc.cubicTo(26, 8, 12, 8, 8, 14);
    p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    QPolygonF head;
    head << QPointF(3, 9) << QPointF(5, 20) << QPointF(13, 14);
    p.drawPolygon(head);
}

void TextLines(QPainter& p, qreal left, qreal top, int count, qreal indent = 0) {
    p.setPen(QPen(kText, 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i) {
        const qreal inset = (i % 2) ? indent : 0;
        p.drawLine(QPointF(left + inset, top + i * 6), QPointF(29, top + i * 6));
    }
}

void Picture(QPainter& p) {
    p.setPen(Outline());
    p.setBrush(QColor(150, 200, 245));
    p.drawRect(QRectF(3, 6, 26, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(22, 12), 3, 3);
    p.setBrush(kGreen);
    QPolygonF hills;
    hills << QPointF(3.8, 25.2) << QPointF(12, 14) << QPointF(18, 21) << QPointF(22, 17)
          << QPointF(28.2, 25.2);
    p.drawPolygon(hills);
}

// A small invader drawn on an 11 by 8 grid.
void Invader(QPainter& p) {
    static const std::array<const char*, 8> rows = {
        "..X.....X..", "...X...X...", "..XXXXXXX..", ".XX.XXX.XX.",
        "XXXXXXXXXXX", "X.XXXXXXX.X", "X.X.....X.X", "...XX.XX...",
    };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 60, 200));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 11; ++x) {
            if (rows[y][x] == 'X') p.drawRect(QRectF(2.5 + x * 2.5, 6 + y * 2.5, 2.5, 2.5));
        }
    }
}

void PathDots(QPainter& p) {
    QPainterPath curve;
    curve.moveTo(4, 26);
    curve.cubicTo(4, 4, 28, 28, 28, 6);
    p.setPen(QPen(kBlue, 2, Qt::DashLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(Outline(1));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(4, 26), 3, 3);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(28, 6), 3, 3);
}

void Note(QPainter& p) {
    p.setPen(QPen(kOutline, 2.5));
    p.drawLine(QPointF(13, 24), QPointF(13, 5));
    p.drawLine(QPointF(26, 21), QPointF(26, 3));
    p.setBrush(kOutline);
    QPolygonF beam;
    beam << QPointF(13, 5) << QPointF(26, 3) << QPointF(26, 8) << QPointF(13, 10);
    p.drawPolygon(beam);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(9.5, 25), 4.5, 3.5);
    p.drawEllipse(QPointF(22.5, 22), 4.5, 3.5);
}

void Speaker(QPainter& p) {
    p.setPen(Outline());
    p.setBrush(QColor(150, 150, 160));
    QPolygonF cone;
    cone << QPointF(3, 12) << QPointF(9, 12) << QPointF(17, 5) << QPointF(17, 27)
         << QPointF(9, 20) << QPointF(3, 20);
    p.drawPolygon(cone);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(13, 5, 15, 22), -60 * 16, 120 * 16);
}

void Gear(QPainter& p) {
    const QPointF c(16, 16);
    QPolygonF teeth;
    for (int i = 0; i < 32; ++i) {
        const double a = i * M_PI / 16;
        const double radius = (i / 2) % 2 ? 10.0 : 13.5;
        teeth << c + QPointF(radius * std::cos(a), radius * std::sin(a));
    }
    p.setPen(Outline());
    p.setBrush(QColor(150, 150, 165));
    p.drawPolygon(teeth);
    p.setBrush(kPaper);
    p.drawEllipse(c, 4.5, 4.5);
}

void Draw(QPainter& p, IconId id) {
    switch (id) {
        case IconId::NewProject:
            Page(p, QRectF(6, 3, 20, 26), false);
            Badge(p, QPointF(23, 23), QColor(240, 170, 30), '*');
            break;
        case IconId::Open: Folder(p); break;
        case IconId::Save: Disk(p); break;
        case IconId::Close:
            Page(p, QRectF(5, 3, 20, 26));
            Badge(p, QPointF(23, 23), kRed, 'x');
            break;
        case IconId::Cut: Scissors(p); break;
        case IconId::Copy:
            Page(p, QRectF(3, 2, 17, 21));
            Page(p, QRectF(12, 9, 17, 21));
            break;
        case IconId::Paste: Clipboard(p); break;
        case IconId::SelectAll:
            TextLines(p, 8, 9, 3, 4);
            p.setPen(QPen(kBlue, 1.5, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(3, 4, 26, 22));
            break;
        case IconId::Find: Magnifier(p, QPointF(13, 13), 8); break;
        case IconId::SearchAgain:
            Magnifier(p, QPointF(11, 11), 7);
            Arrow(p, QPointF(18, 26), QPointF(28, 26), kGreen);
            break;
        case IconId::Replace:
            p.setPen(QPen(kOutline));
            p.setFont(QFont("Sans", 11, QFont::Bold));
            p.drawText(QRectF(1, 1, 16, 16), Qt::AlignCenter, "a");
            p.setPen(QPen(kBlue));
            p.drawText(QRectF(15, 15, 16, 16), Qt::AlignCenter, "b");
            Arrow(p, QPointF(8, 20), QPointF(14, 26), kGreen);
            break;
        case IconId::GotoLine:
            TextLines(p, 12, 6, 4);
            Arrow(p, QPointF(2, 18), QPointF(9, 18), kGreen);
            break;
        case IconId::Run: {
            QPolygonF play;
            play << QPointF(8, 4) << QPointF(27, 16) << QPointF(8, 28);
            p.setPen(Outline());
            p.setBrush(kGreen);
            p.drawPolygon(play);
            break;
        }
        case IconId::Test:
            Page(p, QRectF(4, 3, 19, 25));
            p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF() << QPointF(13, 19) << QPointF(19, 26) << QPointF(29, 11));
            break;
        case IconId::Information:
            p.setPen(Outline());
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(16, 16), 13, 13);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
            p.drawRoundedRect(QRectF(14, 14, 4, 11), 1, 1);
            break;
        case IconId::Source:
            Page(p, QRectF(5, 3, 22, 26));
            break;
        case IconId::Bitmap: Picture(p); break;
        case IconId::Sprite: Invader(p); break;
        case IconId::Path: PathDots(p); break;
        case IconId::Music: Note(p); break;
        case IconId::Sound: Speaker(p); break;
        case IconId::Pause:
            p.setPen(Outline());
            p.setBrush(kBlue);
            p.drawRect(QRectF(8, 5, 6, 22));
            p.drawRect(QRectF(18, 5, 6, 22));
            break;
        case IconId::TraceInto:
            TextLines(p, 4, 22, 2);
            Arrow(p, QPointF(16, 3), QPointF(16, 16), kBlue);
            break;
        case IconId::StepOver: {
            TextLines(p, 4, 22, 2);
            QPainterPath arc;
            arc.moveTo(5, 18);
            arc.cubicTo(6, 2, 24, 2, 25, 13);
            p.setPen(QPen(kBlue, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arc);
            Arrow(p, QPointF(25, 11), QPointF(25.5, 15), kBlue);
            break;
        }
        case IconId::Indent:
        case IconId::Unindent: {
            TextLines(p, 14, 6, 4);
            const bool in = id == IconId::Indent;
            Arrow(p, QPointF(in ? 2 : 10, 15), QPointF(in ? 8 : 4, 15), in ? kGreen : kRed);
            break;
        }
        case IconId::Comment:
        case IconId::Uncomment:
            Page(p, QRectF(5, 3, 22, 26), false);
            p.setPen(QPen(id == IconId::Comment ? kGreen : kRed));
            p.setFont(QFont("Sans", 14, QFont::Bold));
            p.drawText(QRectF(5, 6, 22, 22), Qt::AlignCenter, "'");
            break;
        case IconId::Breakpoint:
            TextLines(p, 12, 8, 3);
            p.setPen(Outline());
            p.setBrush(kRed);
            p.drawEllipse(QPointF(6, 14), 4.5, 4.5);
            break;
        case IconId::NextProcedure:
        case IconId::PreviousProcedure: {
            const bool next = id == IconId::NextProcedure;
            TextLines(p, 4, next ? 5 : 21, 2);
            Arrow(p, QPointF(16, next ? 14 : 17), QPointF(16, next ? 27 : 4), kBlue);
            break;
        }
        case IconId::Undo: CurvedArrow(p, false); break;
        case IconId::Redo: CurvedArrow(p, true); break;
        case IconId::Options: Gear(p); break;
    }
}

}  // namespace

QIcon Icon(IconId id) {
    static QIcon cache[static_cast<int>(IconId::Options) + 1];
    QIcon& icon = cache[static_cast<int>(id)];
    if (!icon.isNull()) return icon;
    // Drawn at twice the grid and at the grid, for sharp results on dense screens too.
    for (const int scale : {1, 2}) {
        QPixmap pixmap(kGrid * scale, kGrid * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        Draw(painter, id);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tw
