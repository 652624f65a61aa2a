#include "scene/notesrectangleitem.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {
// Corner radius of a rectangle as stored: a negative size gives a negative radius, which
// the painter path turns into square corners.
double cornerRadius(const QRectF &r)
{
    return 0.25 * std::min(r.width(), r.height());
}
} // namespace

NotesRectangleItem::NotesRectangleItem(const QRectF &rect, const QColor &color, int width, Qt::PenStyle style,
                                       QGraphicsItem *parent)
    : NotesStrokedItem(color, width, style, parent)
{
    setRect(rect);
}

QRectF NotesRectangleItem::boundingRect() const
{
    const int h = width() / 2;
    return rect().adjusted(-h, -h, h, h);
}

QPainterPath NotesRectangleItem::shape() const
{
    const double h = width() * 0.5;
    const QRectF outer = rect().adjusted(-h, -h, h, h);
    const QRectF inner = rect().adjusted(h, h, -h, -h);
    QPainterPath path;
    path.addRoundedRect(outer, cornerRadius(outer), cornerRadius(outer), Qt::AbsoluteSize);
    path.closeSubpath();
    path.addRoundedRect(inner, cornerRadius(inner), cornerRadius(inner), Qt::AbsoluteSize);
    return path;
}

void NotesRectangleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!preparePainter(painter))
        return;
    const QRectF r = rect();
    painter->drawRoundedRect(r, cornerRadius(r), cornerRadius(r), Qt::AbsoluteSize);
}
