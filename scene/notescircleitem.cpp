#include "scene/notescircleitem.h"

#include <QPainter>
#include <QPen>

NotesCircleItem::NotesCircleItem(const QRectF &rect, const QColor &color, int width, Qt::PenStyle style,
                                 QGraphicsItem *parent)
    : QGraphicsEllipseItem(parent)
    , m_color(color)
    , m_width(width)
    , m_style(style)
{
    setFlag(QGraphicsItem::ItemIsSelectable, true);
    setFlag(QGraphicsItem::ItemIsMovable, true);
    setPen(QPen(QBrush(m_color), m_width, m_style, Qt::RoundCap, Qt::RoundJoin));
    setRect(rect);
}

QRectF NotesCircleItem::boundingRect() const
{
    const int h = m_width / 2;
    return rect().adjusted(-h, -h, h, h);
}

QPainterPath NotesCircleItem::shape() const
{
    // Outer and inner edge of the stroke; the odd-even fill leaves only the band between them.
    const double h = m_width * 0.5;
    QPainterPath path;
    path.addEllipse(rect().adjusted(-h, -h, h, h));
    path.closeSubpath();
    path.addEllipse(rect().adjusted(h, h, -h, -h));
    return path;
}

void NotesCircleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    QPen myPen = pen();
    myPen.setColor(m_color);
    myPen.setWidth(m_width);
    myPen.setStyle(m_style);
    painter->setBrush(Qt::NoBrush);
    if (isSelected()) {
        painter->setPen(QPen(Qt::black, 0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin));
        painter->drawPath(shape());
        return;
    }
    painter->setPen(myPen);
    painter->drawEllipse(rect());
}
