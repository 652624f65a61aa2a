#pragma once

#include "scene/notesconstants.h"
#include "scene/notesstrokeditem.h"

#include <QGraphicsRectItem>

// A rounded-rectangle annotation. The rectangle is kept as drawn (it may have a negative
// width or height); only its stroke band answers hit tests.
class NotesRectangleItem : public NotesStrokedItem<QGraphicsRectItem>
{
public:
    enum { Type = Notes::RectangleType };

    NotesRectangleItem(const QRectF &rect, const QColor &color, int width, Qt::PenStyle style,
                       QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget = nullptr) override;
    int type() const override { return Type; }
};
