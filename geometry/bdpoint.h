#pragma once

#include "geometry/bdobject.h"

#include <QPointF>
#include <QVector2D>

// A point of the board geometry in single precision (scene coordinates, y down).
class bdPoint : public bdObject, public QVector2D
{
public:
    bdPoint()
        : QVector2D(0.0f, 0.0f)
    {
    }
    bdPoint(float x, float y)
        : QVector2D(x, y)
    {
    }
    // Narrows the toolkit's double coordinates to float.
    explicit bdPoint(const QPointF &p)
        : QVector2D(float(p.x()), float(p.y()))
    {
    }
    bdPoint(const bdPoint &other)
        : bdObject()
        , QVector2D(other)
    {
    }
    bdPoint &operator=(const bdPoint &other)
    {
        QVector2D::operator=(other);
        return *this;
    }
    ~bdPoint() override;

    QPointF toPointF() const { return QPointF(x(), y()); }

    // Direction towards `other` in degrees, in [0, 360), positive from +x towards +y.
    double angleTo(const bdPoint &other) const;

    QByteArray className() const override;
    void write(QTextStream &stream) const override;
};
