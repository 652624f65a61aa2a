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

// A rectangle drawn up or left has a negative size; the stroke around it is grown on the
// normalised rectangle, or it would shrink instead.
QRectF NotesRectangleItem::boundingRect() const
{
    const int h = width() / 2;
    return rect().normalized().adjusted(-h, -h, h, h);
}

QPainterPath NotesRectangleItem::shape() const
{
    const double h = width() * 0.5;
    const QRectF r = rect().normalized();
    const QRectF outer = r.adjusted(-h, -h, h, h);
    const QRectF inner = r.adjusted(h, h, -h, -h);
    // The painted corners of a negative rectangle are square; so is the stroke to hit.
    const bool square = cornerRadius(rect()) < 0;
    const auto radius = [square](const QRectF &band) { return square ? 0.0 : cornerRadius(band); };
    QPainterPath path;
    path.addRoundedRect(outer, radius(outer), radius(outer), Qt::AbsoluteSize);
    path.closeSubpath();
    if (inner.isValid())
        path.addRoundedRect(inner, radius(inner), radius(inner), Qt::AbsoluteSize);
    return path;
}

void NotesRectangleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!preparePainter(painter))
        return;
    const QRectF r = rect();
    painter->drawRoundedRect(r, cornerRadius(r), cornerRadius(r), Qt::AbsoluteSize);
}
