#include "geometry/bdsegment.h"

#include <cmath>

double bdSegment::sweepAngle() const
{
    const bdPoint &from = clockwise ? start : end;
    const bdPoint &to = clockwise ? end : start;
    const double ux = double(from.x()) - double(center.x());
    const double uy = double(from.y()) - double(center.y());
    const double vx = double(to.x()) - double(center.x());
    const double vy = double(to.y()) - double(center.y());
    const double dot = ux * vx + uy * vy;
    const double cross = vx * uy - ux * vy;
    if (bd::fuzzyZero(dot) && bd::fuzzyZero(cross))
        return 0.0;
    double s = std::atan2(cross, dot);
    if (s < 0.0)
        s += 2.0 * 3.14159265358979323846;
    return clockwise ? -s : s;
}

double bdSegment::sweepDegrees() const
{
    return isArc() ? sweepAngle() * 57.29577951308232 : 0.0;
}
