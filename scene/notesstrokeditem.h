#pragma once

#include "scene/strokepainting.h"

#include <QBrush>
#include <QColor>
#include <QGraphicsItem>
#include <QPen>

class QPainter;

// What the circle, rectangle, freehand line and polyline annotations share: their colour, pen
// width and pen style, set up alike (selectable, movable, the base's pen built from the three)
// and painted alike. `Base` is the toolkit item each of them derives from.
template <class Base> class NotesStrokedItem : public Base
{
public:
    QColor color() const { return m_color; }
    int width() const { return m_width; }
    Qt::PenStyle style() const { return m_style; }

protected:
    NotesStrokedItem(const QColor &color, int width, Qt::PenStyle style, QGraphicsItem *parent)
        : Base(parent)
        , m_color(color)
        , m_width(width)
        , m_style(style)
    {
        this->setFlag(QGraphicsItem::ItemIsSelectable, true);
        this->setFlag(QGraphicsItem::ItemIsMovable, true);
        this->setPen(QPen(QBrush(m_color), m_width, m_style, Qt::RoundCap, Qt::RoundJoin));
    }

    // Sets the painter up for the item's own geometry; false when the item is selected, in
    // which case only its outline has been drawn and the caller draws nothing.
    bool preparePainter(QPainter *painter) const
    {
        return StrokePainting::prepare(painter, *this, this->pen(), m_color, m_width, m_style);
    }

private:
    QColor m_color;
    int m_width;
    Qt::PenStyle m_style;
};
