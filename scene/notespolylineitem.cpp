#include "scene/notespolylineitem.h"
#include "scene/strokepainting.h"

#include <QPainter>
#include <QPen>

NotesPolyLineItem::NotesPolyLineItem(const QPainterPath &path, const QColor &color, int width,
                                     Qt::PenStyle style, QGraphicsItem *parent)
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

QRectF NotesPolyLineItem::boundingRect() const
{
    return path().boundingRect();
}

QPainterPath NotesPolyLineItem::shape() const
{
    return outlineCache.outline(path(), LineOutline::Kind::PolyLine, m_width, pen().width());
}

void NotesPolyLineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!StrokePainting::prepare(painter, *this, pen(), m_color, m_width, m_style))
        return;
    painter->drawPath(path());
}
