#pragma once

#include "geometry/lineoutline.h"
#include "scene/notesconstants.h"
#include "scene/notesstrokeditem.h"

#include <QGraphicsPathItem>

// A polyline annotation: one polygon added to an empty path; a closed figure repeats its
// first point at the end.
class NotesPolyLineItem : public NotesStrokedItem<QGraphicsPathItem>
{
public:
    enum { Type = Notes::PolyLineType };

    NotesPolyLineItem(const QPainterPath &path, const QColor &color, int width, Qt::PenStyle style,
                      QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget = nullptr) override;
    int type() const override { return Type; }

private:
    mutable LineOutlineCache outlineCache;
};
