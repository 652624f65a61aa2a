#pragma once

#include "scene/notesconstants.h"
#include "scene/notesstrokeditem.h"

#include <QGraphicsEllipseItem>

// A circle annotation; only its stroke band answers hit tests.
class NotesCircleItem : public NotesStrokedItem<QGraphicsEllipseItem>
{
public:
    enum { Type = Notes::CircleType };

    NotesCircleItem(const QRectF &rect, const QColor &color, int width, Qt::PenStyle style,
                    QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget = nullptr) override;
    int type() const override { return Type; }
};
