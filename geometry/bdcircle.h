#pragma once

#include "geometry/bdpoint.h"

// A full circle: centre and radius.
class bdCircle : public bdObject
{
public:
    bdCircle() = default;
    bdCircle(const bdPoint &center, float radius)
        : center(center)
        , radius(radius)
    {
    }
    bdCircle(const bdCircle &other)
        : bdObject()
        , center(other.center)
        , radius(other.radius)
    {
    }
    bdCircle &operator=(const bdCircle &other)
    {
        center = other.center;
        radius = other.radius;
        return *this;
    }
    ~bdCircle() override;

    QByteArray className() const override;
    void write(QTextStream &stream) const override;

    bdPoint center;
    float radius = 0.0f;
};
