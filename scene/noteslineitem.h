#pragma once

#include "geometry/lineoutline.h"
#include "scene/notesconstants.h"
#include "scene/notesstrokeditem.h"

#include <QGraphicsPathItem>

// A freehand line annotation: one move-to followed by one line-to per recorded cursor position.
class NotesLineItem : public NotesStrokedItem<QGraphicsPathItem>
{
public:
    enum { Type = Notes::LineType };

    NotesLineItem(const QPainterPath &path, const QColor &color, int width, Qt::PenStyle style,
                  QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget = nullptr) override;
    int type() const override { return Type; }

private:
    mutable LineOutlineCache outlineCache;
};
