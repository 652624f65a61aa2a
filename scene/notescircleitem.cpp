#include "scene/notescircleitem.h"

#include <QPainter>
#include <QPen>

NotesCircleItem::NotesCircleItem(const QRectF &rect, const QColor &color, int width, Qt::PenStyle style,
                                 QGraphicsItem *parent)
    : NotesStrokedItem(color, width, style, parent)
{
    setRect(rect);
}

QRectF NotesCircleItem::boundingRect() const
{
    const int h = width() / 2;
    return rect().adjusted(-h, -h, h, h);
}

QPainterPath NotesCircleItem::shape() const
{
    // Outer and inner edge of the stroke; the odd-even fill leaves only the band between them.
    const double h = width() * 0.5;
    QPainterPath path;
    path.addEllipse(rect().adjusted(-h, -h, h, h));
    path.closeSubpath();
    path.addEllipse(rect().adjusted(h, h, -h, -h));
    return path;
}

void NotesCircleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!preparePainter(painter))
        return;
    painter->drawEllipse(rect());
}
