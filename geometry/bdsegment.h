#pragma once

#include "geometry/bdpoint.h"

// One edge of a figure outline: straight, or a circular arc when `radius` > 0.
class bdSegment
{
public:
    bdSegment() = default;
    bdSegment(const bdPoint &start, const bdPoint &end)
        : start(start)
        , end(end)
    {
    }
    bdSegment(const bdPoint &start, const bdPoint &end, const bdPoint &center, double radius, bool clockwise)
        : start(start)
        , end(end)
        , center(center)
        , clockwise(clockwise)
        , radius(radius)
    {
    }

    bool isArc() const { return radius > 0.0; }

    // Signed sweep of the arc in radians: [0, 2pi) anticlockwise, (-2pi, 0] clockwise. A start
    // equal to the end gives 0, not a full turn.
    double sweepAngle() const;
    // The sweep in degrees; 0 for a straight edge.
    double sweepDegrees() const;

    bdPoint start;
    bdPoint end;
    bdPoint center;
    bool clockwise = false;
    double radius = 0.0;
};
