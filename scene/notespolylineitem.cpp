#include "scene/notespolylineitem.h"

#include <QPainter>
#include <QPen>

NotesPolyLineItem::NotesPolyLineItem(const QPainterPath &path, const QColor &color, int width,
                                     Qt::PenStyle style, QGraphicsItem *parent)
    : NotesStrokedItem(color, width, style, parent)
{
    setPath(path);
}

QRectF NotesPolyLineItem::boundingRect() const
{
    return path().boundingRect();
}

QPainterPath NotesPolyLineItem::shape() const
{
    return outlineCache.outline(path(), LineOutline::Kind::PolyLine, width(), pen().width());
}

void NotesPolyLineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!preparePainter(painter))
        return;
    painter->drawPath(path());
}
