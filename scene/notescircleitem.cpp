#include "scene/notescircleitem.h"
#include "scene/strokepainting.h"

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
    if (!StrokePainting::prepare(painter, *this, pen(), m_color, m_width, m_style))
        return;
    painter->drawEllipse(rect());
}
