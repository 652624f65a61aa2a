#include "scene/noteslineitem.h"

#include <QPainter>
#include <QPen>

NotesLineItem::NotesLineItem(const QPainterPath &path, const QColor &color, int width, Qt::PenStyle style,
                             QGraphicsItem *parent)
    : QGraphicsPathItem(parent)
    , m_color(color)
    , m_width(width)
    , m_style(style)
{
    setFlag(QGraphicsItem::ItemIsSelectable, true);
    setFlag(QGraphicsItem::ItemIsMovable, true);
    setPen(QPen(QBrush(m_color), m_width, m_style, Qt::RoundCap, Qt::RoundJoin));
    setPath(path);
}

QRectF NotesLineItem::boundingRect() const
{
    return path().boundingRect();
}

QPainterPath NotesLineItem::shape() const
{
    return outlineCache.outline(path(), LineOutline::Kind::Freehand, m_width, pen().width());
}

void NotesLineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
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
    painter->drawPath(path());
}
