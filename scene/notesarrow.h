#pragma once

#include "scene/notesconstants.h"

#include <QColor>
#include <QGraphicsLineItem>
#include <QPen>
#include <QPolygonF>

// An arrow annotation: a line whose head sits at the line's start point.
class NotesArrow : public QGraphicsLineItem
{
public:
    enum { Type = Notes::ArrowType };

    explicit NotesArrow(const QLineF &line, QGraphicsItem *parent = nullptr);
    NotesArrow(const QLineF &line, const QColor &color, const QPointF &pos, QGraphicsItem *parent = nullptr);

    void setColor(const QColor &color) { m_color = color; }
    QColor color() const { return m_color; }
    // The arrow's pen is fixed; these answer it so that all annotations read alike.
    int width() const { return pen().width(); }
    Qt::PenStyle style() const { return pen().style(); }

    // The head polygon for the current line (tip, barb, barb, tip); empty for a zero-length line.
    QPolygonF headPolygon() const;

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget = nullptr) override;
    int type() const override { return Type; }

private:
    QColor m_color;
    QPolygonF arrowHead; // as drawn by the last paint
};
