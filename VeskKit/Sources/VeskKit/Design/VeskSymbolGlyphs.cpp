#include "VeskKit/Design/VeskSymbolGlyphs.h"

#include <QPainterPathStroker>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace VeskSymbolGlyphs {

namespace {

// Boolean operations on paths flatten curves at a fixed tolerance; working at
// sixteen times the grid keeps the flattened curves smooth at any icon size.
constexpr qreal kWork = 16.0;

QPainterPath toWork(const QPainterPath &grid)
{
    return QTransform::fromScale(kWork, kWork).map(grid);
}

qreal radians(qreal degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

QPainterPath mirrored(const QPainterPath &path)
{
    return QTransform(-1, 0, 0, 1, 24, 0).map(path);
}

QPainterPath scaledAbout(const QPainterPath &path, qreal scale, QPointF centre = {12, 12})
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(scale, scale);
    t.translate(-centre.x(), -centre.y());
    return t.map(path);
}

QPainterPath rotatedAbout(const QPainterPath &path, qreal degrees, QPointF centre)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(degrees);
    t.translate(-centre.x(), -centre.y());
    return t.map(path);
}

using B = Builder;

QPainterPath bolt()
{
    return B::poly({{14, 2}, {5, 13.2}, {11.3, 13.2}, {10, 22}, {19, 10.8}, {12.7, 10.8}}, true);
}

// A speech bubble whose tail leaves the bottom left corner.
QPainterPath bubble(qreal x, qreal y, qreal w, qreal h, qreal r)
{
    QPainterPath p;
    p.moveTo(x + r, y);
    p.lineTo(x + w - r, y);
    p.quadTo(x + w, y, x + w, y + r);
    p.lineTo(x + w, y + h - r);
    p.quadTo(x + w, y + h, x + w - r, y + h);
    p.lineTo(x + 6.5, y + h);
    p.lineTo(x + 1.2, y + h + 3.4);
    p.lineTo(x + 2.6, y + h - 0.9);
    p.quadTo(x, y + h - 1.6, x, y + h - r);
    p.lineTo(x, y + r);
    p.quadTo(x, y, x + r, y);
    p.closeSubpath();
    return p;
}

// A page with its top right corner folded.
void page(Builder &g, qreal x, qreal y, qreal w, qreal h, qreal fold)
{
    g.stroke(B::poly({{x, y}, {x + w - fold, y}, {x + w, y + fold}, {x + w, y + h}, {x, y + h}}, true));
    g.stroke(B::poly({{x + w - fold, y}, {x + w - fold, y + fold}, {x + w, y + fold}}));
}

QPainterPath check(qreal x1, qreal y1, qreal x2, qreal y2, qreal x3, qreal y3)
{
    return B::poly({{x1, y1}, {x2, y2}, {x3, y3}});
}

QPainterPath hourglassSides()
{
    QPainterPath p;
    p.addPath(B::line(6, 3, 18, 3));
    p.addPath(B::line(6, 21, 18, 21));
    QPainterPath left;
    left.moveTo(7.5, 3);
    left.cubicTo(7.5, 8, 11, 10, 11, 12);
    left.cubicTo(11, 14, 7.5, 16, 7.5, 21);
    p.addPath(left);
    p.addPath(mirrored(left));
    return p;
}

QPainterPath hourglassSand()
{
    return B::poly({{9.2, 20}, {12, 16.6}, {14.8, 20}}, true);
}

QPainterPath pinBody()
{
    return B::poly({{9, 3.5}, {15, 3.5}, {14.5, 9.5}, {17.8, 13.2}, {6.2, 13.2}, {9.5, 9.5}}, true);
}

QPainterPath star(qreal cx, qreal cy, qreal s)
{
    const qreal k = s * 0.18;
    QPainterPath p;
    p.moveTo(cx, cy - s);
    p.quadTo(cx + k, cy - k, cx + s, cy);
    p.quadTo(cx + k, cy + k, cx, cy + s);
    p.quadTo(cx - k, cy + k, cx - s, cy);
    p.quadTo(cx - k, cy - k, cx, cy - s);
    p.closeSubpath();
    return p;
}

QPainterPath ring(int points, qreal outer, qreal inner, qreal offsetDeg)
{
    std::vector<QPointF> pts;
    for (int i = 0; i < points * 2; ++i) {
        const qreal r = i % 2 == 0 ? outer : inner;
        pts.push_back(B::onCircle(12, 12, r, offsetDeg + i * 180.0 / points));
    }
    return B::poly(pts, true);
}

QPainterPath regular(int sides, qreal radius, qreal offsetDeg)
{
    std::vector<QPointF> pts;
    for (int i = 0; i < sides; ++i)
        pts.push_back(B::onCircle(12, 12, radius, offsetDeg + i * 360.0 / sides));
    return B::poly(pts, true);
}

QPainterPath gear()
{
    std::vector<QPointF> pts;
    for (int i = 0; i < 8; ++i) {
        const qreal c = i * 45.0;
        pts.push_back(B::onCircle(12, 12, 8.2, c - 19));
        pts.push_back(B::onCircle(12, 12, 10.6, c - 10));
        pts.push_back(B::onCircle(12, 12, 10.6, c + 10));
        pts.push_back(B::onCircle(12, 12, 8.2, c + 19));
    }
    return B::poly(pts, true);
}

QPainterPath thermometer()
{
    QPainterPath p;
    p.moveTo(9.3, 14.6);
    p.lineTo(9.3, 5.2);
    p.arcTo(QRectF(9.3, 2.5, 5.4, 5.4), 180, -180);
    p.lineTo(14.7, 14.6);
    p.arcTo(QRectF(12 - 4.1, 17.8 - 4.1, 8.2, 8.2), 49.8, -279.6);
    p.closeSubpath();
    return p;
}

// A window or page in front of another: clears the room it takes and a
// margin around it, then draws its outline.
void inFront(Builder &g, const QPainterPath &front)
{
    g.cut(front);
    g.cut(g.outline(front, 2.6));
    g.stroke(front);
}

void slash(Builder &g)
{
    const QPainterPath bar = B::line(3.5, 3, 20.5, 21);
    g.cutStroke(bar, 2.8);
    g.stroke(bar);
}

void sidebarLeft(Builder &g)
{
    g.stroke(B::rrect(2, 4, 20, 16, 2.5));
    g.stroke(B::line(9, 4, 9, 20));
    for (qreal y : {8.0, 11.0, 14.0})
        g.stroke(B::line(4.6, y, 6.4, y), 0.8);
}

} // namespace

Builder::Builder(qreal strokeWidth) : m_strokeWidth(strokeWidth)
{
    m_area.setFillRule(Qt::WindingFill);
}

QPainterPath Builder::line(qreal x1, qreal y1, qreal x2, qreal y2)
{
    QPainterPath p;
    p.moveTo(x1, y1);
    p.lineTo(x2, y2);
    return p;
}

QPainterPath Builder::poly(std::initializer_list<QPointF> points, bool closed)
{
    return poly(std::vector<QPointF>(points), closed);
}

QPainterPath Builder::poly(const std::vector<QPointF> &points, bool closed)
{
    QPainterPath p;
    if (points.empty())
        return p;
    p.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i)
        p.lineTo(points[i]);
    if (closed)
        p.closeSubpath();
    return p;
}

QPainterPath Builder::circle(qreal cx, qreal cy, qreal r)
{
    return ellipse(cx, cy, r, r);
}

QPainterPath Builder::ellipse(qreal cx, qreal cy, qreal rx, qreal ry)
{
    QPainterPath p;
    p.addEllipse(QPointF(cx, cy), rx, ry);
    return p;
}

QPainterPath Builder::rrect(qreal x, qreal y, qreal width, qreal height, qreal radius)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, width, height), radius, radius);
    return p;
}

QPainterPath Builder::arc(qreal cx, qreal cy, qreal r, qreal startDeg, qreal spanDeg)
{
    const QRectF box(cx - r, cy - r, 2 * r, 2 * r);
    QPainterPath p;
    p.arcMoveTo(box, startDeg);
    p.arcTo(box, startDeg, spanDeg);
    return p;
}

QPointF Builder::onCircle(qreal cx, qreal cy, qreal r, qreal angleDeg)
{
    return {cx + r * std::cos(radians(angleDeg)), cy - r * std::sin(radians(angleDeg))};
}

QPainterPath Builder::arrowHead(QPointF tip, qreal angleDeg, qreal size)
{
    const QPointF a = tip + QPointF(size * std::cos(radians(angleDeg + 140)), -size * std::sin(radians(angleDeg + 140)));
    const QPointF b = tip + QPointF(size * std::cos(radians(angleDeg - 140)), -size * std::sin(radians(angleDeg - 140)));
    return poly({a, tip, b});
}

QPainterPath Builder::outline(const QPainterPath &shape, qreal factor) const
{
    QPainterPathStroker stroker;
    stroker.setWidth(m_strokeWidth * factor * kWork);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath area = stroker.createStroke(toWork(shape));
    return QTransform::fromScale(1 / kWork, 1 / kWork).map(area);
}

Builder &Builder::stroke(const QPainterPath &shape, qreal factor)
{
    QPainterPathStroker stroker;
    stroker.setWidth(m_strokeWidth * factor * kWork);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    m_area = m_area.united(stroker.createStroke(toWork(shape)).simplified());
    return *this;
}

Builder &Builder::fill(const QPainterPath &shape)
{
    m_area = m_area.united(toWork(shape));
    return *this;
}

Builder &Builder::cut(const QPainterPath &shape)
{
    m_area = m_area.subtracted(toWork(shape));
    return *this;
}

Builder &Builder::cutStroke(const QPainterPath &shape, qreal factor)
{
    QPainterPathStroker stroker;
    stroker.setWidth(m_strokeWidth * factor * kWork);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    m_area = m_area.subtracted(stroker.createStroke(toWork(shape)).simplified());
    return *this;
}

QPainterPath Builder::result() const
{
    return QTransform::fromScale(1 / kWork, 1 / kWork).map(m_area);
}

void drawFallback(Builder &g)
{
    g.stroke(B::rrect(3, 3, 18, 18, 3.5), 0.8);
    QPainterPath question;
    question.moveTo(9.3, 9.6);
    question.cubicTo(9.3, 6.4, 14.7, 6.4, 14.7, 9.6);
    question.cubicTo(14.7, 12.2, 12, 12, 12, 14.4);
    g.stroke(question);
    g.fill(B::circle(12, 17.4, g.w() * 0.7));
}

const std::vector<Glyph> &glyphs()
{
    static const std::vector<Glyph> table = {
        {"arrow.clockwise", [](Builder &g) {
             g.stroke(B::arc(12, 12.5, 7.5, 45, -315));
             g.stroke(B::arrowHead(B::onCircle(12, 12.5, 7.5, 90) + QPointF(0.6, 0), 0, 3.6));
         }},
        {"arrow.up.left.and.arrow.down.right", [](Builder &g) {
             g.stroke(B::line(5, 5, 10.2, 10.2));
             g.stroke(B::poly({{5, 10.5}, {5, 5}, {10.5, 5}}));
             g.stroke(B::line(13.8, 13.8, 19, 19));
             g.stroke(B::poly({{13.5, 19}, {19, 19}, {19, 13.5}}));
         }},
        {"bolt.circle.fill", [](Builder &g) {
             g.fill(B::circle(12, 12, 10.5));
             g.cut(scaledAbout(bolt(), 0.62));
         }},
        {"bolt.fill", [](Builder &g) {
             g.fill(bolt());
             g.stroke(bolt(), 0.5);
         }},
        {"bubble.left.and.bubble.right.fill", [](Builder &g) {
             const QPainterPath back = mirrored(bubble(2, 2.5, 13, 10, 4));
             const QPainterPath front = bubble(2, 9, 13, 10, 4);
             g.fill(back);
             g.cut(g.outline(front, 2.2));
             g.fill(front);
         }},
        {"bubble.left.and.exclamationmark.bubble.right", [](Builder &g) {
             g.stroke(bubble(2, 3, 13, 9.5, 4));
             const QPainterPath right = mirrored(bubble(2, 8.5, 13, 9.5, 4));
             inFront(g, right);
             g.stroke(B::line(15.5, 11.2, 15.5, 13.8));
             g.fill(B::circle(15.5, 16, g.w() * 0.62));
         }},
        {"chart.bar.xaxis", [](Builder &g) {
             g.stroke(B::line(3, 20.5, 21, 20.5));
             g.fill(B::rrect(5, 12, 3.4, 6, 1));
             g.fill(B::rrect(10.3, 5, 3.4, 13, 1));
             g.fill(B::rrect(15.6, 9, 3.4, 9, 1));
         }},
        {"checklist", [](Builder &g) {
             for (qreal y : {6.0, 12.0, 18.0}) {
                 g.stroke(check(2.8, y, 4.5, y + 1.7, 7.6, y - 1.9), 0.85);
                 g.stroke(B::line(11, y, 21, y));
             }
         }},
        {"checkmark", [](Builder &g) { g.stroke(check(4.5, 12.5, 9.5, 17.5, 19.5, 6.5), 1.1); }},
        {"checkmark.circle.fill", [](Builder &g) {
             g.fill(B::circle(12, 12, 10.5));
             g.cutStroke(check(7.3, 12.3, 10.6, 15.6, 16.8, 8.6), 1.15);
         }},
        {"checkmark.seal.fill", [](Builder &g) {
             const QPainterPath seal = ring(12, 10.6, 8.7, 90);
             g.fill(seal);
             g.stroke(seal, 0.6);
             g.cutStroke(check(7.8, 12.2, 10.8, 15.2, 16.3, 9.2), 1.1);
         }},
        {"chevron.down", [](Builder &g) { g.stroke(B::poly({{6, 9}, {12, 15}, {18, 9}}), 1.2); }},
        {"chevron.left", [](Builder &g) { g.stroke(B::poly({{15, 6}, {9, 12}, {15, 18}}), 1.2); }},
        {"chevron.right", [](Builder &g) { g.stroke(B::poly({{9, 6}, {15, 12}, {9, 18}}), 1.2); }},
        {"chevron.up", [](Builder &g) { g.stroke(B::poly({{6, 15}, {12, 9}, {18, 15}}), 1.2); }},
        {"circle", [](Builder &g) { g.stroke(B::circle(12, 12, 9.2)); }},
        {"clock.arrow.circlepath", [](Builder &g) {
             g.stroke(B::arc(12.8, 12, 8, 205, -310));
             const QPointF end = B::onCircle(12.8, 12, 8, 205);
             g.stroke(B::arrowHead(end + QPointF(0.25, 0.55), 295, 3.4));
             g.stroke(B::poly({{12.8, 7.8}, {12.8, 12.3}, {15.8, 14.2}}));
         }},
        {"doc.on.clipboard", [](Builder &g) {
             g.stroke(B::rrect(4.5, 4, 15, 18, 2.5));
             g.cut(g.outline(B::rrect(8.5, 2.3, 7, 3.8, 1.3), 2.0));
             g.fill(B::rrect(8.5, 2.3, 7, 3.8, 1.3));
             g.stroke(B::line(8.3, 11, 15.7, 11), 0.85);
             g.stroke(B::line(8.3, 14.8, 15.7, 14.8), 0.85);
             g.stroke(B::line(8.3, 18.6, 12.8, 18.6), 0.85);
         }},
        {"doc.on.doc", [](Builder &g) {
             g.stroke(B::rrect(8.5, 2, 11.5, 15, 2.5));
             inFront(g, B::rrect(4, 7, 11.5, 15, 2.5));
         }},
        {"doc.plaintext", [](Builder &g) {
             page(g, 5, 2, 14, 20, 5);
             g.stroke(B::line(8.3, 11, 15.7, 11), 0.85);
             g.stroke(B::line(8.3, 14.5, 15.7, 14.5), 0.85);
             g.stroke(B::line(8.3, 18, 13.3, 18), 0.85);
         }},
        {"doc.richtext", [](Builder &g) {
             page(g, 5, 2, 14, 20, 5);
             g.stroke(B::line(8.3, 10.5, 15.7, 10.5), 0.85);
             g.stroke(B::line(8.3, 13.9, 15.7, 13.9), 0.85);
             g.fill(B::rrect(8, 16.6, 3.8, 3.4, 0.8));
             g.stroke(B::line(13.6, 18.3, 15.7, 18.3), 0.85);
         }},
        {"doc.text.magnifyingglass", [](Builder &g) {
             page(g, 3, 2, 14, 20, 4.5);
             g.stroke(B::line(6.2, 10, 13.5, 10), 0.85);
             g.stroke(B::line(6.2, 13.5, 10.5, 13.5), 0.85);
             g.cut(B::circle(16.3, 16.3, 6.4));
             g.stroke(B::circle(16, 16, 3.8));
             g.stroke(B::line(18.9, 18.9, 21.5, 21.5), 1.2);
         }},
        {"exclamationmark.triangle.fill", [](Builder &g) {
             const QPainterPath tri = B::poly({{12, 3}, {21.5, 20}, {2.5, 20}}, true);
             g.fill(tri);
             g.stroke(tri, 1.3);
             g.cutStroke(B::line(12, 9, 12, 13.6), 1.1);
             g.cut(B::circle(12, 16.8, g.w() * 0.72));
         }},
        {"externaldrive.badge.timemachine", [](Builder &g) {
             g.stroke(B::rrect(2, 10.5, 15, 9, 2.5));
             g.fill(B::circle(5.6, 15, 1.1));
             g.cut(B::circle(18, 7.5, 6.6));
             g.stroke(B::arc(18, 7.5, 4.6, 200, -320), 0.85);
             g.stroke(B::poly({{18, 5.2}, {18, 7.7}, {19.8, 8.8}}), 0.8);
         }},
        {"folder", [](Builder &g) {
             g.stroke(B::poly({{2.5, 5}, {9, 5}, {11, 7.2}, {21.5, 7.2}, {21.5, 19.5}, {2.5, 19.5}}, true));
             g.stroke(B::line(2.5, 10.2, 21.5, 10.2));
         }},
        {"function", [](Builder &g) {
             QPainterPath f;
             f.moveTo(12, 4.6);
             f.cubicTo(9.8, 3.8, 8.7, 5.2, 8.4, 7.5);
             f.lineTo(7, 18);
             f.cubicTo(6.7, 20.3, 5.6, 21, 3.5, 20.5);
             g.stroke(f);
             g.stroke(B::line(5.6, 10, 11.4, 10));
             QPainterPath open;
             open.moveTo(15.2, 8);
             open.cubicTo(13.6, 10.4, 13.6, 15.6, 15.2, 18);
             g.stroke(open, 0.85);
             QPainterPath close;
             close.moveTo(21, 8);
             close.cubicTo(22.6, 10.4, 22.6, 15.6, 21, 18);
             g.stroke(close, 0.85);
             g.stroke(B::line(16.6, 10.8, 19.6, 15.2), 0.85);
             g.stroke(B::line(19.6, 10.8, 16.6, 15.2), 0.85);
         }},
        {"gearshape.fill", [](Builder &g) {
             g.fill(gear());
             g.stroke(gear(), 0.5);
             g.cut(B::circle(12, 12, 3.4));
         }},
        {"globe", [](Builder &g) {
             g.stroke(B::circle(12, 12, 9.5));
             g.stroke(B::ellipse(12, 12, 4.2, 9.5), 0.85);
             g.stroke(B::line(2.5, 12, 21.5, 12), 0.85);
             g.stroke(B::line(4, 7, 20, 7), 0.85);
             g.stroke(B::line(4, 17, 20, 17), 0.85);
         }},
        {"hourglass", [](Builder &g) {
             g.stroke(hourglassSides());
             g.fill(hourglassSand());
         }},
        {"hourglass.circle.fill", [](Builder &g) {
             g.fill(B::circle(12, 12, 10.5));
             g.cutStroke(scaledAbout(hourglassSides(), 0.56), 0.9);
             g.cut(scaledAbout(hourglassSand(), 0.56));
         }},
        {"ladybug.fill", [](Builder &g) {
             g.fill(B::circle(12, 5.4, 3.6));
             g.cut(B::circle(12, 13.6, 9.2));
             g.fill(B::circle(12, 13.6, 8));
             g.cutStroke(B::line(12, 6.5, 12, 21.6), 0.7);
             g.cut(B::circle(8.6, 11.5, 1.5));
             g.cut(B::circle(15.4, 11.5, 1.5));
             g.cut(B::circle(8.8, 16.6, 1.4));
             g.cut(B::circle(15.2, 16.6, 1.4));
         }},
        {"lightbulb.fill", [](Builder &g) {
             g.fill(B::circle(12, 9.3, 7));
             g.fill(B::poly({{8.3, 13}, {15.7, 13}, {14.7, 16.8}, {9.3, 16.8}}, true));
             g.fill(B::rrect(9.2, 18, 5.6, 1.7, 0.85));
             g.fill(B::rrect(9.9, 20.4, 4.2, 1.7, 0.85));
         }},
        {"line.3.horizontal", [](Builder &g) {
             for (qreal y : {6.5, 12.0, 17.5})
                 g.stroke(B::line(4, y, 20, y), 1.1);
         }},
        {"macwindow.on.rectangle", [](Builder &g) {
             g.stroke(B::rrect(7.5, 3, 14.5, 11.5, 2.5));
             inFront(g, B::rrect(2, 8.5, 14.5, 12.5, 2.5));
             g.stroke(B::line(2, 12, 16.5, 12), 0.85);
         }},
        {"magnifyingglass", [](Builder &g) {
             g.stroke(B::circle(10, 10, 6.3));
             g.stroke(B::line(14.7, 14.7, 20.5, 20.5), 1.3);
         }},
        {"memorychip", [](Builder &g) {
             g.stroke(B::rrect(5, 5, 14, 14, 2));
             g.stroke(B::rrect(9, 9, 6, 6, 1), 0.8);
             for (qreal p : {8.5, 12.0, 15.5}) {
                 g.stroke(B::line(p, 2, p, 5), 0.8);
                 g.stroke(B::line(p, 19, p, 22), 0.8);
                 g.stroke(B::line(2, p, 5, p), 0.8);
                 g.stroke(B::line(19, p, 22, p), 0.8);
             }
         }},
        {"note.text", [](Builder &g) {
             g.stroke(B::rrect(3.5, 3, 17, 18, 3));
             g.stroke(B::line(7.5, 8.5, 16.5, 8.5), 0.85);
             g.stroke(B::line(7.5, 12.5, 16.5, 12.5), 0.85);
             g.stroke(B::line(7.5, 16.5, 13, 16.5), 0.85);
         }},
        {"photo.on.rectangle.angled", [](Builder &g) {
             g.stroke(rotatedAbout(B::rrect(7, 2.5, 14.5, 12, 2), 10, {14, 9}));
             inFront(g, B::rrect(2.5, 8, 15, 12.5, 2));
             g.fill(B::poly({{4.8, 18.4}, {8.6, 13.6}, {11.4, 16.6}, {13.1, 14.9}, {15.2, 18.4}}, true));
             g.fill(B::circle(13.2, 11.4, 1.3));
         }},
        {"pin", [](Builder &g) {
             g.stroke(pinBody());
             g.stroke(B::line(12, 13.2, 12, 21.5));
         }},
        {"pin.fill", [](Builder &g) {
             g.fill(pinBody());
             g.stroke(pinBody());
             g.stroke(B::line(12, 13.2, 12, 21.5));
         }},
        {"pin.slash", [](Builder &g) {
             g.stroke(pinBody());
             g.stroke(B::line(12, 13.2, 12, 21.5));
             slash(g);
         }},
        {"plus", [](Builder &g) {
             g.stroke(B::line(12, 4.5, 12, 19.5), 1.1);
             g.stroke(B::line(4.5, 12, 19.5, 12), 1.1);
         }},
        {"plus.circle", [](Builder &g) {
             g.stroke(B::circle(12, 12, 9.5));
             g.stroke(B::line(12, 7.5, 12, 16.5));
             g.stroke(B::line(7.5, 12, 16.5, 12));
         }},
        {"rectangle.inset.topright.filled", [](Builder &g) {
             g.stroke(B::rrect(2, 4, 20, 16, 2.5));
             g.fill(B::rrect(12.3, 7, 6.7, 5.5, 1.2));
         }},
        {"rectangle.on.rectangle.slash", [](Builder &g) {
             g.stroke(B::rrect(7, 3.5, 15, 11, 2));
             inFront(g, B::rrect(2, 9, 15, 11.5, 2));
             slash(g);
         }},
        {"safari", [](Builder &g) {
             g.stroke(B::circle(12, 12, 9.5));
             g.fill(B::poly({{16.8, 7.2}, {13.4, 13.4}, {7.2, 16.8}, {10.6, 10.6}}, true));
             g.cut(B::circle(12, 12, 1.1));
         }},
        {"scope", [](Builder &g) {
             g.stroke(B::circle(12, 12, 7.5));
             g.stroke(B::line(12, 2, 12, 6.5));
             g.stroke(B::line(12, 17.5, 12, 22));
             g.stroke(B::line(2, 12, 6.5, 12));
             g.stroke(B::line(17.5, 12, 22, 12));
             g.fill(B::circle(12, 12, 1.6));
         }},
        {"sidebar.left", [](Builder &g) { sidebarLeft(g); }},
        {"sidebar.right", [](Builder &g) {
             Builder left(g.w());
             sidebarLeft(left);
             g.fill(mirrored(left.result()));
         }},
        {"slider.horizontal.3", [](Builder &g) {
             const std::pair<qreal, qreal> knobs[] = {{15, 6}, {8, 12}, {13, 18}};
             for (const auto &[x, y] : knobs) {
                 g.stroke(B::line(3, y, 21, y));
                 g.cut(B::circle(x, y, 3.7));
                 g.stroke(B::circle(x, y, 2.2), 0.9);
             }
         }},
        {"sparkles", [](Builder &g) {
             g.fill(star(10, 13.5, 8.3));
             g.fill(star(18.5, 5.4, 3.6));
             g.fill(star(19.2, 17.6, 2.6));
         }},
        {"square.and.arrow.up", [](Builder &g) {
             g.stroke(B::poly({{8.5, 9}, {5, 9}, {5, 21}, {19, 21}, {19, 9}, {15.5, 9}}));
             g.stroke(B::line(12, 2.5, 12, 14.5));
             g.stroke(B::poly({{8.5, 6}, {12, 2.5}, {15.5, 6}}));
         }},
        {"square.grid.2x2.fill", [](Builder &g) {
             g.fill(B::rrect(3, 3, 8, 8, 2));
             g.fill(B::rrect(13, 3, 8, 8, 2));
             g.fill(B::rrect(3, 13, 8, 8, 2));
             g.fill(B::rrect(13, 13, 8, 8, 2));
         }},
        {"sum", [](Builder &g) {
             g.stroke(B::poly({{18, 6}, {18, 4.5}, {6, 4.5}, {12.5, 12}, {6, 19.5}, {18, 19.5}, {18, 18}}));
         }},
        {"sun.max.fill", [](Builder &g) {
             g.fill(B::circle(12, 12, 4.6));
             for (int i = 0; i < 8; ++i)
                 g.stroke(B::poly({B::onCircle(12, 12, 7.3, i * 45), B::onCircle(12, 12, 9.8, i * 45)}));
         }},
        {"tablecells", [](Builder &g) {
             g.stroke(B::rrect(2.5, 4, 19, 16, 2));
             g.stroke(B::line(2.5, 9.4, 21.5, 9.4), 0.85);
             g.stroke(B::line(2.5, 14.7, 21.5, 14.7), 0.85);
             g.stroke(B::line(8.8, 4, 8.8, 20), 0.85);
             g.stroke(B::line(15.2, 4, 15.2, 20), 0.85);
         }},
        {"tag.fill", [](Builder &g) {
             const QPainterPath tag = B::poly({{3.5, 3.5}, {11.2, 3.5}, {20.5, 12.8}, {12.8, 20.5}, {3.5, 11.2}}, true);
             g.fill(tag);
             g.stroke(tag, 0.9);
             g.cut(B::circle(7.8, 7.8, 1.7));
         }},
        {"thermometer.medium", [](Builder &g) {
             g.stroke(thermometer());
             g.stroke(B::line(12, 10, 12, 17.5));
             g.fill(B::circle(12, 17.8, 2.2));
         }},
        {"trash", [](Builder &g) {
             g.stroke(B::line(4, 6, 20, 6));
             g.stroke(B::poly({{9, 6}, {9.6, 3.3}, {14.4, 3.3}, {15, 6}}));
             g.stroke(B::poly({{6, 6}, {7.2, 21}, {16.8, 21}, {18, 6}}));
             g.stroke(B::line(10, 10, 10.3, 17.5), 0.8);
             g.stroke(B::line(14, 10, 13.7, 17.5), 0.8);
         }},
        {"tray", [](Builder &g) {
             g.stroke(B::poly({{3, 13}, {6, 4.5}, {18, 4.5}, {21, 13}, {21, 19.5}, {3, 19.5}}, true));
             g.stroke(B::poly({{3, 13}, {8.5, 13}, {9.5, 15.5}, {14.5, 15.5}, {15.5, 13}, {21, 13}}));
         }},
        {"waveform.path.ecg", [](Builder &g) {
             g.stroke(B::poly({{2, 12.5}, {6.5, 12.5}, {8.8, 7.5}, {12, 18}, {15, 4.5}, {17.2, 12.5}, {22, 12.5}}));
         }},
        {"xmark", [](Builder &g) {
             g.stroke(B::line(5.5, 5.5, 18.5, 18.5), 1.1);
             g.stroke(B::line(18.5, 5.5, 5.5, 18.5), 1.1);
         }},
        {"xmark.circle.fill", [](Builder &g) {
             g.fill(B::circle(12, 12, 10.5));
             g.cutStroke(B::line(8.6, 8.6, 15.4, 15.4), 1.1);
             g.cutStroke(B::line(15.4, 8.6, 8.6, 15.4), 1.1);
         }},
        {"xmark.octagon.fill", [](Builder &g) {
             const QPainterPath octagon = regular(8, 10.4, 22.5);
             g.fill(octagon);
             g.stroke(octagon, 0.6);
             g.cutStroke(B::line(8.6, 8.6, 15.4, 15.4), 1.1);
             g.cutStroke(B::line(15.4, 8.6, 8.6, 15.4), 1.1);
         }},
    };
    return table;
}

} // namespace VeskSymbolGlyphs
