#include "geometry/bdoperations.h"

#include "geometry/bdboost.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>

namespace bg = boost::geometry;
using bdGeometry::Linestring;
using bdGeometry::MultiPolygon;
using bdGeometry::Polygon;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double RadiansPerDegree = 0.017453292519943295;

// Points per circle for rounded joins and isolated points, fixed by the outline's cost.
constexpr int JoinPoints = 90;

float floatDistance(const bdPoint &a, const bdPoint &b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

double snapZero(double v)
{
    return bd::fuzzyZero(v) ? 0.0 : v;
}

QPointF onCircle(const bdPoint &center, double radius, double degrees)
{
    const double t = degrees * Pi / 180.0;
    return QPointF(double(center.x()) + snapZero(radius * std::cos(t)),
                   double(center.y()) + snapZero(radius * std::sin(t)));
}

// Sample points of one arc edge, running from its start to its end.
void appendArcSamples(const bdSegment &arc, QList<QPointF> &ring)
{
    const int n = arc.radius < 0.5 ? 16 : 64;
    const bool fullTurn = floatDistance(arc.start, arc.end) < 1e-4f;
    const double step = fullTurn ? 360.0 / n : std::fabs(arc.sweepDegrees()) / n;
    // A clockwise arc is sampled anticlockwise from its end, then turned round.
    const bdPoint &from = arc.clockwise ? arc.end : arc.start;
    const double theta0 = arc.center.angleTo(from);
    QList<QPointF> samples;
    samples.reserve(n + 2);
    samples.append(from.toPointF());
    for (int k = 0; k <= n; ++k)
        samples.append(onCircle(arc.center, arc.radius, theta0 + k * step));
    if (arc.clockwise)
        std::reverse(samples.begin(), samples.end());
    ring.append(samples);
}

// A polygon's ring as straight edges between its consecutive points.
void appendRingSegments(const std::vector<QPointF> &ring, QList<bdSegment> &segments)
{
    for (std::size_t i = 1; i < ring.size(); ++i)
        segments.append(bdSegment(bdPoint(ring[i - 1]), bdPoint(ring[i])));
}

void polygonToFigure(const Polygon &polygon, bdFigure &out)
{
    appendRingSegments(polygon.outer(), out.segments);
    for (const auto &inner : polygon.inners()) {
        bdFigure hole;
        appendRingSegments(inner, hole.segments);
        out.children.append(hole);
    }
}

} // namespace

void toRing(bdFigure &figure, QList<QPointF> &ring)
{
    ring.clear();

    // Two arcs that meet at both ends on the same radius are a full circle.
    if (figure.segments.size() == 2) {
        const bdSegment &a = figure.segments.at(0);
        const bdSegment &b = figure.segments.at(1);
        if (a.isArc() && b.isArc() && floatDistance(b.end, a.start) < 1e-5f &&
            floatDistance(b.start, a.end) < 1e-5f && bd::fuzzyEqual(a.radius + 1.0, b.radius + 1.0)) {
            figure.circle = std::make_unique<bdCircle>(a.center, float(a.radius));
            figure.segments.clear();
        }
    }

    if (figure.circle && figure.segments.isEmpty()) {
        for (int k = 0; k < 64; ++k)
            ring.append(onCircle(figure.circle->center, double(figure.circle->radius), k * 5.625));
        ring.append(ring.first());
        return;
    }
    if (figure.segments.size() < 2)
        return;

    if (!figure.segments.first().isArc())
        ring.append(figure.segments.first().start.toPointF());
    for (const bdSegment &s : std::as_const(figure.segments)) {
        if (s.isArc())
            appendArcSamples(s, ring);
        else
            ring.append(s.end.toPointF());
    }
    if (ring.first() != ring.last())
        ring.append(ring.first());
    bg::unique(ring);
    bg::correct(ring);
}

void toPolyline(const bdFigure &figure, QList<QPointF> &points, double maxStraightAngle)
{
    points.clear();
    if (figure.segments.isEmpty())
        return;
    if (!figure.segments.first().isArc())
        points.append(figure.segments.first().start.toPointF());
    for (const bdSegment &s : figure.segments) {
        if (!s.isArc()) {
            const QPointF end = s.end.toPointF();
            if (points.isEmpty() || points.last() != end)
                points.append(end);
            continue;
        }
        double a = s.center.angleTo(s.start);
        double b = s.center.angleTo(s.end);
        const bool fullTurn = a == b;
        const double d = fullTurn ? 360.0 : std::fabs(a - b);
        if (d <= maxStraightAngle) {
            points.append(s.start.toPointF());
            points.append(s.end.toPointF());
        } else if (!s.clockwise) {
            if (fullTurn) {
                a = 0.0;
                b = 360.0;
            }
            arcPoints(s.radius, s.center, a * RadiansPerDegree, b * RadiansPerDegree, 64, points);
        } else {
            // Sampled anticlockwise from the end to the start, then appended backwards. A full
            // turn runs from 0 to 360 here too: the other way round it would sweep nothing.
            if (fullTurn) {
                b = 0.0;
                a = 360.0;
            }
            QList<QPointF> backwards;
            arcPoints(s.radius, s.center, b * RadiansPerDegree, a * RadiansPerDegree, 64, backwards);
            for (auto it = backwards.crbegin(); it != backwards.crend(); ++it) {
                if (points.isEmpty() || points.last() != *it)
                    points.append(*it);
            }
        }
    }
}

void arcPoints(double radius, const bdPoint &center, double from, double to, int count,
               QList<QPointF> &points)
{
    const double cx = double(center.x());
    const double cy = double(center.y());
    auto put = [&](double theta) {
        points.append(QPointF(cx + radius * std::cos(theta), cy + radius * std::sin(theta)));
    };

    if (bd::fuzzyEqual(to + 1.0, 2.0 * Pi + 1.0)) {
        for (int i = 0; i < count; ++i)
            put(i * 2.0 * Pi / count);
        return;
    }
    const double sweep = D_MODP(to - from, 2.0 * Pi);
    if (count == 1) {
        put((sweep + 2.0 * from) / 2.0);
        return;
    }
    for (int i = 0; i < count; ++i)
        put((i * (sweep + from) + (count - 1 - i) * from) / (count - 1));
}

double D_MODP(double x, double y)
{
    if (y == 0.0) {
        qCritical().noquote().nospace() << "\n";
        qCritical().noquote().nospace() << "D_MODP - Fatal error!\n";
        qCritical().noquote().nospace() << "  D_MODP ( X, Y ) called with Y = " << y << "\n";
        // There is no remainder by zero; hand the dividend back rather than divide.
        return x;
    }
    const double q = x / y;
    // Truncate through a 32-bit integer like the classic routine, but only where that is
    // defined; larger quotients truncate in double precision.
    const bool fitsInt = q > double(std::numeric_limits<qint32>::min()) - 1.0 &&
                         q < double(std::numeric_limits<qint32>::max()) + 1.0;
    const double t = fitsInt ? double(qint32(q)) : std::trunc(q);
    double r = x - t * y;
    if (r < 0.0)
        r += std::fabs(y);
    return r;
}

QList<bdPoint> offset(bdFigure &figure, double distance)
{
    QList<QPointF> ring;
    toRing(figure, ring);

    Polygon polygon;
    polygon.outer().assign(ring.cbegin(), ring.cend());
    bg::correct(polygon);

    QList<bdPoint> result;
    if (bg::num_points(polygon) == 0)
        return result;

    MultiPolygon grown;
    bg::buffer(polygon, grown, bg::strategy::buffer::distance_symmetric<double>(distance),
               bg::strategy::buffer::side_straight(), bg::strategy::buffer::join_round(JoinPoints),
               bg::strategy::buffer::end_round(JoinPoints), bg::strategy::buffer::point_circle(JoinPoints));
    if (grown.empty())
        return result;
    const auto &outer = grown.front().outer();
    result.reserve(qsizetype(outer.size()));
    for (const QPointF &p : outer)
        result.append(bdPoint(p));
    return result;
}

void bufferFigures(bdFigure &out, const QMap<bdFigureKey, bdFigure> &figures, int pointsPerCircle)
{
    if (figures.isEmpty())
        return;
    out.width = figures.firstKey().width;

    QList<Polygon> kept;
    for (auto it = figures.cbegin(); it != figures.cend(); ++it) {
        const float width = it.key().width;
        if (bd::fuzzyZero(width) || it.value().segments.isEmpty())
            continue;

        QList<QPointF> points;
        toPolyline(it.value(), points, 5.0);
        Linestring line;
        line.reserve(std::size_t(points.size()));
        for (const QPointF &p : std::as_const(points)) {
            if (line.empty() || line.back() != p)
                line.push_back(p);
        }

        MultiPolygon stroke;
        bg::buffer(line, stroke, bg::strategy::buffer::distance_symmetric<double>(double(width) / 2.0),
                   bg::strategy::buffer::side_straight(), bg::strategy::buffer::join_round(JoinPoints),
                   bg::strategy::buffer::end_round(std::max(pointsPerCircle, 4)),
                   bg::strategy::buffer::point_circle(JoinPoints));
        if (!stroke.empty())
            kept.append(stroke.front());
    }

    if (kept.isEmpty())
        return;

    // Each pass grows one polygon by every later one that touches it when visited.
    QList<Polygon> merged;
    while (!kept.isEmpty()) {
        Polygon p = kept.takeFirst();
        for (qsizetype i = 0; i < kept.size();) {
            QList<Polygon> united;
            bg::union_(p, kept.at(i), united);
            if (united.size() == 1) {
                p = united.first();
                kept.removeAt(i);
            } else {
                ++i;
            }
        }
        merged.append(p);
    }
    polygonToFigure(merged.first(), out);
}
