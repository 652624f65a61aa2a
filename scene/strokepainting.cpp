#include "scene/strokepainting.h"

#include <QGraphicsItem>
#include <QPainter>

namespace StrokePainting {

bool prepare(QPainter *painter, const QGraphicsItem &item, QPen pen, const QColor &color, int width,
             Qt::PenStyle style)
{
    painter->setBrush(Qt::NoBrush);
    if (item.isSelected()) {
        painter->setPen(QPen(Qt::black, 0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin));
        painter->drawPath(item.shape());
        return false;
    }
    pen.setColor(color);
    pen.setWidth(width);
    pen.setStyle(style);
    painter->setPen(pen);
    return true;
}

} // namespace StrokePainting
