#pragma once

#include "scene/notesconstants.h"

#include <QColor>
#include <QGraphicsEllipseItem>

// A circle annotation; only its stroke band answers hit tests.
class NotesCircleItem : public QGraphicsEllipseItem
{
public:
    enum { Type = Notes::CircleType };

    NotesCircleItem(const QRectF &rect, const QColor &color, int width, Qt::PenStyle style,
                    QGraphicsItem *parent = nullptr);

    QColor color() const { return m_color; }
    int width() const { return m_width; }
    Qt::PenStyle style() const { return m_style; }

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget = nullptr) override;
    int type() const override { return Type; }

private:
    QColor m_color;
    int m_width;
    Qt::PenStyle m_style;
};
