#pragma once

#include "geometry/bdfigure.h"
#include "geometry/bdfigurekey.h"

#include <QList>
#include <QMap>
#include <QPointF>

// Figure operations built on Boost.Geometry. They report nothing and may let the library's
// exceptions through; callers that must not throw catch them (see LineOutline).

// The figure as a closed ring, oriented as the library's default clockwise ring. Two arcs
// forming a full circle turn the figure into a circle first (hence the non-const figure).
// Fewer than two edges give an empty ring.
void toRing(bdFigure &figure, QList<QPointF> &ring);

// The figure as an open point list; arcs whose end directions differ by at most
// `maxStraightAngle` degrees are drawn straight.
void toPolyline(const bdFigure &figure, QList<QPointF> &points, double maxStraightAngle);

// Appends `count` points of the arc of `radius` around `center` from angle `from` to `to`
// (radians, running with increasing angle). A `to` of 2pi gives a full circle whose first
// point is not repeated.
void arcPoints(double radius, const bdPoint &center, double from, double to, int count,
               QList<QPointF> &points);

// Remainder of x by y that is never negative. A zero divisor is logged as a fatal error on
// the critical channel and answers x.
double D_MODP(double x, double y);

// The outline of the closed figure grown by `distance` (negative shrinks), with rounded
// corners; empty when the figure has no area to work with.
QList<bdPoint> offset(bdFigure &figure, double distance);

// Strokes every open figure of the map with half its key's width on each side, rounded
// ends of `pointsPerCircle` points, and merges the strokes that overlap. `out` receives the
// first merged outline as straight edges, its holes as children.
void bufferFigures(bdFigure &out, const QMap<bdFigureKey, bdFigure> &figures, int pointsPerCircle);
