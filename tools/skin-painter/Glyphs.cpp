#include "Glyphs.h"

#include "SkinStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace glyph {

namespace {
// Draws in the 16-unit design grid of the box for the lifetime of the object.
class Grid {
public:
    Grid(QPainter& p, const QRectF& box) : m_p(p)
    {
        m_p.save();
        m_p.translate(box.topLeft());
        m_p.scale(box.width() / 16.0, box.height() / 16.0);
        m_p.setBrush(Qt::NoBrush);
    }
    ~Grid() { m_p.restore(); }
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    void stroke(const QColor& colour, qreal width, Qt::PenCapStyle cap = Qt::RoundCap)
    {
        m_p.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin));
        m_p.setBrush(Qt::NoBrush);
    }
    void fill(const QColor& colour)
    {
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(colour);
    }

private:
    QPainter& m_p;
};

// A closed outline through the points, in order.
QPainterPath outline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}
} // namespace

void microphone(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    p.drawRoundedRect(QRectF(5.25, 1, 5.5, 9), 2.75, 2.75);
    g.stroke(colour, 1.5);
    p.drawArc(QRectF(3, 3.5, 10, 8.5), 180 * 16, 180 * 16);
    p.drawLine(QPointF(8, 12), QPointF(8, 14.25));
    p.drawLine(QPointF(5.5, 14.75), QPointF(10.5, 14.75));
}

void speaker(QPainter& p, const QRectF& box, const QColor& colour, int waves)
{
    Grid g(p, box);
    g.fill(colour);
    const QPainterPath cone = outline({QPointF(1.5, 5.75), QPointF(4.25, 5.75), QPointF(8, 2.25), QPointF(8, 13.75),
                                       QPointF(4.25, 10.25), QPointF(1.5, 10.25)});
    p.drawPath(cone);
    g.stroke(colour, 1.4);
    for (int i = 0; i < waves; ++i) {
        const qreal r = 2.75 + 2.75 * i;
        p.drawArc(QRectF(8.5 - r, 8 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }
}

void cross(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.75);
    p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
}

void pin(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    const QPainterPath head = outline({QPointF(5.5, 2.5), QPointF(10.5, 2.5), QPointF(9.75, 3.75), QPointF(9.75, 7),
                                       QPointF(11.75, 9.5), QPointF(4.25, 9.5), QPointF(6.25, 7), QPointF(6.25, 3.75)});
    p.drawPath(head);
    g.stroke(colour, 1.4);
    p.drawLine(QPointF(8, 9.5), QPointF(8, 14));
}

void dock(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.3, Qt::SquareCap);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 7.5), 1.25, 1.25);
    p.drawLine(QPointF(2.5, 4.75), QPointF(13.5, 4.75));
    g.fill(colour);
    p.drawRoundedRect(QRectF(2, 11.25, 12, 3), 1, 1);
}

void chevronRight(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.75);
    p.drawPolyline(QPolygonF({QPointF(6.25, 4), QPointF(10.25, 8), QPointF(6.25, 12)}));
}

void chevronDown(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.75);
    p.drawPolyline(QPolygonF({QPointF(4, 6.25), QPointF(8, 10.25), QPointF(12, 6.25)}));
}

void check(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 2);
    p.drawPolyline(QPolygonF({QPointF(4.25, 8.25), QPointF(7, 11), QPointF(11.75, 5.25)}));
}

void history(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.5);
    p.drawArc(QRectF(2.25, 2.25, 11.5, 11.5), 160 * 16, -300 * 16);
    g.fill(colour);
    const QPainterPath head = outline({QPointF(0.75, 5.25), QPointF(4.75, 5.5), QPointF(2.25, 8.75)});
    p.drawPath(head);
    g.stroke(colour, 1.5);
    p.drawPolyline(QPolygonF({QPointF(8, 4.75), QPointF(8, 8), QPointF(10.5, 9.5)}));
}

void gear(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    QPainterPath outline;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal angle = (i - 0.5) * M_PI * 2 / (teeth * 4);
        const qreal r = (i % 4 == 0 || i % 4 == 1) ? 7.25 : 5.5;
        const QPointF point(8 + r * std::cos(angle), 8 + r * std::sin(angle));
        if (i == 0)
            outline.moveTo(point);
        else
            outline.lineTo(point);
    }
    outline.closeSubpath();
    outline.addEllipse(QPointF(8, 8), 2.4, 2.4); // the odd-even fill leaves the hub open
    p.drawPath(outline);
}

void question(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.9);
    QPainterPath hook;
    hook.moveTo(4.9, 5.6);
    hook.cubicTo(4.9, 3.1, 6.5, 1.9, 8.1, 1.9);
    hook.cubicTo(10.0, 1.9, 11.3, 3.2, 11.3, 4.9);
    hook.cubicTo(11.3, 7.2, 8.1, 7.6, 8.1, 10.1);
    p.drawPath(hook);
    g.fill(colour);
    p.drawEllipse(QPointF(8.1, 13.3), 1.3, 1.3);
}

void play(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    const QPainterPath path = outline({QPointF(5, 3), QPointF(13, 8), QPointF(5, 13)});
    p.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void pause(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    p.drawRoundedRect(QRectF(4, 3, 3, 10), 0.8, 0.8);
    p.drawRoundedRect(QRectF(9, 3, 3, 10), 0.8, 0.8);
}

void stop(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
}

void recordDot(QPainter& p, const QRectF& box, const QColor& colour, const QColor& shade)
{
    Grid g(p, box);
    QRadialGradient gradient(QPointF(6.5, 6), 7);
    gradient.setColorAt(0, colour.lighter(125));
    gradient.setColorAt(0.6, colour);
    gradient.setColorAt(1, shade);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
}

void trash(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.4);
    p.drawLine(QPointF(2.5, 4), QPointF(13.5, 4));
    p.drawPolyline(QPolygonF({QPointF(6, 3.75), QPointF(6.5, 2), QPointF(9.5, 2), QPointF(10, 3.75)}));
    QPainterPath can;
    can.moveTo(4, 5.5);
    can.lineTo(4.75, 13.25);
    can.quadTo(4.9, 14.25, 5.9, 14.25);
    can.lineTo(10.1, 14.25);
    can.quadTo(11.1, 14.25, 11.25, 13.25);
    can.lineTo(12, 5.5);
    p.drawPath(can);
    g.stroke(colour, 1.1);
    p.drawLine(QPointF(6.75, 7.25), QPointF(7, 12));
    p.drawLine(QPointF(9.25, 7.25), QPointF(9, 12));
}

void folder(QPainter& p, const QRectF& box, const QColor& colour, const QColor& flap)
{
    Grid g(p, box);
    g.fill(colour.darker(112));
    const QPainterPath back = outline({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(14.5, 5),
                                       QPointF(14.5, 13.5), QPointF(1.5, 13.5)});
    p.drawPath(back);
    g.fill(flap);
    const QPainterPath front = outline({QPointF(1.5, 13.5), QPointF(2.75, 7), QPointF(15.25, 7), QPointF(14.5, 13.5)});
    p.drawPath(front);
}

void handset(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    QPainterPath path;
    path.moveTo(3.5, 1.75);
    path.cubicTo(2.5, 2.5, 1.5, 3.75, 2, 5.75);
    path.cubicTo(3, 9.5, 6.5, 13, 10.25, 14);
    path.cubicTo(12.25, 14.5, 13.5, 13.5, 14.25, 12.5);
    path.lineTo(11.5, 9.75);
    path.lineTo(9.75, 11);
    path.cubicTo(8, 10.25, 5.75, 8, 5, 6.25);
    path.lineTo(6.25, 4.5);
    path.closeSubpath();
    p.drawPath(path);
}

void bubble(QPainter& p, const QRectF& box, const QColor& colour, const QColor& dots)
{
    Grid g(p, box);
    g.fill(colour);
    QPainterPath path;
    path.addRoundedRect(QRectF(1.5, 2, 13, 9.5), 3, 3);
    const QPainterPath tail = outline({QPointF(4.5, 10.5), QPointF(3.5, 14.5), QPointF(8.5, 10.5)});
    p.drawPath(path.united(tail));
    g.fill(dots);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(5 + 3 * i, 6.75), 1, 1);
}

namespace {
void arrow(QPainter& p, const QRectF& box, const QColor& colour, bool outgoing)
{
    Grid g(p, box);
    p.translate(8, 8);
    p.rotate(outgoing ? -45 : 135);
    g.stroke(colour, 2);
    p.drawLine(QPointF(-5, 0), QPointF(3, 0));
    g.fill(colour);
    const QPainterPath head = outline({QPointF(6.25, 0), QPointF(1.5, -4.25), QPointF(1.5, 4.25)});
    p.drawPath(head);
}
} // namespace

void arrowOut(QPainter& p, const QRectF& box, const QColor& colour)
{
    arrow(p, box, colour, true);
}

void arrowIn(QPainter& p, const QRectF& box, const QColor& colour)
{
    arrow(p, box, colour, false);
}

void stack(QPainter& p, const QRectF& box, const QColor& colour, const QColor& light)
{
    Grid g(p, box);
    g.fill(light);
    p.drawRoundedRect(QRectF(3.5, 1.5, 9, 3), 1, 1);
    g.fill(colour.lighter(118));
    p.drawRoundedRect(QRectF(2.5, 4.5, 11, 3.5), 1, 1);
    g.fill(colour);
    p.drawRoundedRect(QRectF(1.5, 8, 13, 6.5), 1.5, 1.5);
    g.fill(light);
    p.drawRoundedRect(QRectF(6, 10, 4, 1.5), 0.75, 0.75);
}

void heart(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    QPainterPath path;
    path.moveTo(8, 13);
    path.cubicTo(2, 9, 2.5, 4, 5.5, 4);
    path.cubicTo(7, 4, 7.75, 5, 8, 6);
    path.cubicTo(8.25, 5, 9, 4, 10.5, 4);
    path.cubicTo(13.5, 4, 14, 9, 8, 13);
    p.drawPath(path);
}

void bar(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.fill(colour);
    p.drawRoundedRect(QRectF(3.5, 6.75, 9, 2.5), 1, 1);
}

void clockHands(QPainter& p, const QRectF& box, const QColor& colour)
{
    Grid g(p, box);
    g.stroke(colour, 1.8);
    p.drawPolyline(QPolygonF({QPointF(8, 3.75), QPointF(8, 8.25), QPointF(11, 10)}));
}

void logo(QPainter& p, const QRectF& box)
{
    const qreal s = box.width();
    p.save();
    QLinearGradient tile(box.topLeft(), box.bottomLeft());
    tile.setColorAt(0, skin::accentLight);
    tile.setColorAt(1, skin::accentDark);
    p.setPen(s >= 32 ? QPen(skin::accentDark.darker(115), s / 64) : QPen(Qt::NoPen));
    p.setBrush(tile);
    const QRectF inner = box.adjusted(s / 32, s / 32, -s / 32, -s / 32);
    p.drawRoundedRect(inner, s * 0.22, s * 0.22);
    if (s >= 32) {
        // A soft sheen on the upper half keeps the larger sizes from looking flat.
        QLinearGradient sheen(inner.topLeft(), QPointF(inner.left(), inner.center().y()));
        sheen.setColorAt(0, QColor(255, 255, 255, 70));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(sheen);
        p.drawRoundedRect(inner.adjusted(s / 32, s / 32, -s / 32, -inner.height() / 2), s * 0.2, s * 0.2);
    }
    const QRectF micBox(box.left() + s * 0.14, box.top() + s * 0.12, s * 0.62, s * 0.72);
    microphone(p, micBox, skin::paper);
    const qreal r = s * (s >= 24 ? 0.17 : 0.2);
    const QPointF dot(box.right() - r * 1.15, box.bottom() - r * 1.15);
    p.setPen(s >= 24 ? QPen(skin::paper, s / 24) : QPen(Qt::NoPen));
    p.setBrush(skin::recordRed);
    p.drawEllipse(dot, r, r);
    p.restore();
}

} // namespace glyph
