#pragma once

#include "geometry/lineoutline.h"
#include "scene/notesconstants.h"

#include <QColor>
#include <QGraphicsPathItem>

// A freehand line annotation: one move-to followed by one line-to per recorded cursor position.
class NotesLineItem : public QGraphicsPathItem
{
public:
    enum { Type = Notes::LineType };

    NotesLineItem(const QPainterPath &path, const QColor &color, int width, Qt::PenStyle style,
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
