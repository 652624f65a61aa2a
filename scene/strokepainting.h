#pragma once

#include <QColor>
#include <QPen>

class QGraphicsItem;
class QPainter;

// Shared painting of the stroked annotations (circle, rectangle, freehand line, polyline).
namespace StrokePainting {

// Sets the painter up for `item` and answers whether the caller draws its geometry now.
// A selected item shows only the black dashed outline of its hit shape, drawn here; otherwise
// the pen is the item's pen carrying the item's own colour, width and style, with no brush.
bool prepare(QPainter *painter, const QGraphicsItem &item, QPen pen, const QColor &color, int width,
             Qt::PenStyle style);

} // namespace StrokePainting
