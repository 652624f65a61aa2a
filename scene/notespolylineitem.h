#pragma once

#include "geometry/lineoutline.h"
#include "scene/notesconstants.h"

#include <QColor>
#include <QGraphicsPathItem>

// A polyline annotation: one polygon added to an empty path; a closed figure repeats its
// first point at the end.
class NotesPolyLineItem : public QGraphicsPathItem
{
public:
    enum { Type = Notes::PolyLineType };

    NotesPolyLineItem(const QPainterPath &path, const QColor &color, int width, Qt::PenStyle style,
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
    mutable LineOutlineCache outlineCache;
};
