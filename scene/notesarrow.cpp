#include "scene/notesarrow.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace {
// The head is drawn with these rounded constants; stored drawings look the way they always did.
constexpr double Pi = 3.14;
constexpr double TwoPi = 6.28;
constexpr double HeadLength = 20.0;
constexpr double FixedPenWidth = 3.0;

QPen arrowPen(const QColor &color)
{
    return QPen(QBrush(color), FixedPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}
} // namespace

NotesArrow::NotesArrow(const QLineF &line, QGraphicsItem *parent)
    : NotesArrow(line, Qt::black, QPointF(), parent)
{
}

NotesArrow::NotesArrow(const QLineF &line, const QColor &color, const QPointF &pos, QGraphicsItem *parent)
    : QGraphicsLineItem(line, parent)
    , m_color(color)
{
    setFlag(QGraphicsItem::ItemIsSelectable, true);
    setFlag(QGraphicsItem::ItemIsMovable, true);
    setPen(arrowPen(m_color));
    setPos(pos);
}

QPolygonF NotesArrow::headPolygon() const
{
    const QLineF l = line();
    const double length = l.length();
    // A zero-length arrow has no direction, so it gets no head.
    if (!(length > 0.0))
        return {};
    double angle = std::acos(l.dx() / length);
    if (l.dy() >= 0)
        angle = TwoPi - angle;
    const QPointF tip = l.p1();
    const QPointF barb1 =
        tip + QPointF(std::sin(angle + Pi / 3) * HeadLength, std::cos(angle + Pi / 3) * HeadLength);
    const QPointF barb2 =
        tip + QPointF(std::sin(angle + Pi - Pi / 3) * HeadLength, std::cos(angle + Pi - Pi / 3) * HeadLength);
    QPolygonF head;
    head << tip << barb1 << barb2 << tip;
    return head;
}

QRectF NotesArrow::boundingRect() const
{
    const double extra = (pen().width() + 30) * 0.5;
    const QLineF l = line();
    return QRectF(l.p1(), QSizeF(l.p2().x() - l.p1().x(), l.p2().y() - l.p1().y()))
        .normalized()
        .adjusted(-extra, -extra, extra, extra);
}

QPainterPath NotesArrow::shape() const
{
    if (line().isNull())
        return {};
    QPainterPath path = QGraphicsLineItem::shape();
    // Computed from the line rather than taken from the last paint, so that an arrow that
    // was never painted yet (just loaded, off screen) is hit on its head too.
    path.addPolygon(headPolygon());
    return path;
}

void NotesArrow::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    QPen myPen = pen();
    myPen.setColor(m_color);
    painter->setPen(myPen);
    painter->setBrush(m_color);

    arrowHead = headPolygon();
    painter->drawLine(line());
    if (!arrowHead.isEmpty())
        painter->drawPolygon(arrowHead, Qt::OddEvenFill);

    if (isSelected()) {
        painter->setPen(QPen(Qt::black, 0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin));
        painter->drawPath(shape());
    }
}
