#include "scene/noteslineitem.h"

#include <QPainter>
#include <QPen>

NotesLineItem::NotesLineItem(const QPainterPath &path, const QColor &color, int width, Qt::PenStyle style,
                             QGraphicsItem *parent)
    : NotesStrokedItem(color, width, style, parent)
{
    setPath(path);
}

QRectF NotesLineItem::boundingRect() const
{
    return path().boundingRect();
}

QPainterPath NotesLineItem::shape() const
{
    return outlineCache.outline(path(), LineOutline::Kind::Freehand, width(), pen().width());
}

void NotesLineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!preparePainter(painter))
        return;
    painter->drawPath(path());
}
