#include "geometry/lineoutline.h"

#include "geometry/bdfigure.h"
#include "geometry/bdoperations.h"

#include <QLineF>
#include <QPainterPathStroker>

#include <algorithm>
#include <cstring>
#include <exception>
#include <numeric>
#include <vector>
#include <cmath>

namespace {

// Every element's coordinates, whatever its type.
QList<QPointF> elementPoints(const QPainterPath &path)
{
    QList<QPointF> points;
    const int count = path.elementCount();
    points.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        points.append(QPointF(e.x, e.y));
    }
    return points;
}

QPainterPath figurePath(const QList<bdPoint> &points)
{
    QPainterPath path;
    bdFigure(points).toPainterPath(path);
    return path;
}

// The band between the outward and inward offsets; odd-even filling leaves the inside out.
// Empty when the line encloses nothing (fewer than two distinct edges).
QPainterPath closedOutline(const QList<QPointF> &points, int lineWidth)
{
    bdFigure figure(points);
    const double half = lineWidth * 0.5;
    const QPainterPath outer = figurePath(offset(figure, half));
    if (outer.isEmpty())
        return outer;
    const QPainterPath inner = figurePath(offset(figure, -half));
    QPainterPath shape;
    shape.addPath(outer);
    shape.closeSubpath();
    shape.addPath(inner);
    return shape;
}

// The region within half the pen width of the line, rounded at its ends and corners.
QPainterPath openOutline(const QList<QPointF> &points, int penWidth)
{
    bdFigure line(points);
    if (line.segments.isEmpty()) {
        // Every point coincides: a dot, stroked as the round end of a zero-length edge so
        // that it can still be picked.
        const bdPoint dot(points.first());
        line = bdFigure(QList<bdPoint>{dot, dot});
    }
    QMap<bdFigureKey, bdFigure> figures;
    figures.insert(bdFigureKey{0, float(penWidth)}, line);
    bdFigure stroke;
    bufferFigures(stroke, figures, 72);
    QPainterPath shape;
    stroke.toPainterPath(shape);
    return shape;
}

bool isClosed(const QList<QPointF> &points, LineOutline::Kind kind, int lineWidth)
{
    const QPointF &first = points.first();
    const QPointF &last = points.last();
    if (kind == LineOutline::Kind::PolyLine)
        return first == last;
    return QLineF(first, last).length() <= double(lineWidth);
}

// Same private data: the paths are one value, and copy-on-write keeps it unchanged while we
// hold a reference. A painter path is a single pointer to that data.
bool sharesData(const QPainterPath &a, const QPainterPath &b)
{
    static_assert(sizeof(QPainterPath) == sizeof(void *), "a painter path is one data pointer");
    return std::memcmp(static_cast<const void *>(&a), static_cast<const void *>(&b), sizeof(QPainterPath)) ==
           0;
}

// Exact comparison of what the outline depends on: the element coordinates. The toolkit's
// own operator== is fuzzy and would keep a stale outline after a tiny edit.
bool sameCoordinates(const QPainterPath &a, const QPainterPath &b)
{
    const int count = a.elementCount();
    if (count != b.elementCount())
        return false;
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element &ea = a.elementAt(i);
        const QPainterPath::Element &eb = b.elementAt(i);
        if (ea.x != eb.x || ea.y != eb.y)
            return false;
    }
    return true;
}

// The exact buffer and offset are cheap for what people draw, a stroke that crosses itself a
// few times, but their cost grows with the square of the crossings: 800 random points (a 16 KB
// file) took over a minute. Past these bounds the outline is the toolkit's stroke instead, which
// covers the same band with round ends and joins, in time linear in the points.
constexpr int CrossingBudget = 64;
constexpr int PointBudget = 10000;

double orientation(const QPointF &a, const QPointF &b, const QPointF &c)
{
    return (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
}

bool segmentsMeet(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d)
{
    const double o1 = orientation(a, b, c);
    const double o2 = orientation(a, b, d);
    const double o3 = orientation(c, d, a);
    const double o4 = orientation(c, d, b);
    // Touching and overlapping count as meeting: the budget only needs to be conservative.
    return ((o1 <= 0 && o2 >= 0) || (o1 >= 0 && o2 <= 0)) && ((o3 <= 0 && o4 >= 0) || (o3 >= 0 && o4 <= 0));
}

// True when the line's segments meet each other (other than at their shared ends) more often than
// the budget. A sweep along x with early exit: near-linear for real strokes, and it stops as soon
// as a scribble has shown what it is.
bool crossesMoreThan(const QList<QPointF> &points, int budget)
{
    const int segments = int(points.size()) - 1;
    if (segments < 3)
        return false;
    std::vector<int> order(static_cast<size_t>(segments));
    std::iota(order.begin(), order.end(), 0);
    const auto minX = [&](int i) { return std::min(points[i].x(), points[i + 1].x()); };
    const auto maxX = [&](int i) { return std::max(points[i].x(), points[i + 1].x()); };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return minX(a) < minX(b); });
    int crossings = 0;
    for (size_t m = 0; m < order.size(); ++m) {
        const int i = order[m];
        const double right = maxX(i);
        const double top = std::min(points[i].y(), points[i + 1].y());
        const double bottom = std::max(points[i].y(), points[i + 1].y());
        for (size_t n = m + 1; n < order.size() && minX(order[n]) <= right; ++n) {
            const int j = order[n];
            if (std::abs(i - j) <= 1 || std::abs(i - j) == segments - 1)
                continue; // neighbours share a point
            if (std::max(points[j].y(), points[j + 1].y()) < top || std::min(points[j].y(), points[j + 1].y()) > bottom)
                continue;
            if (segmentsMeet(points[i], points[i + 1], points[j], points[j + 1]) && ++crossings > budget)
                return true;
        }
    }
    return false;
}

QPainterPath strokedOutline(const QPainterPath &path, int width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(std::max(1, width));
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

} // namespace

namespace LineOutline {

QPainterPath compute(const QPainterPath &path, Kind kind, int lineWidth, int penWidth)
{
    const QList<QPointF> points = elementPoints(path);
    if (points.isEmpty())
        return QPainterPath();
    const bool closed = isClosed(points, kind, lineWidth);
    if (points.size() > PointBudget || crossesMoreThan(points, CrossingBudget))
        return strokedOutline(path, closed ? lineWidth : penWidth);
    // The geometry library may give up on odd input (a loop that crosses itself, say); an
    // exception must not run through the scene's event handling. A closed line that
    // encloses nothing, a short dash or a dot, is answered by its stroke instead, so that
    // every visible mark can still be picked.
    if (closed) {
        try {
            QPainterPath band = closedOutline(points, lineWidth);
            if (!band.isEmpty())
                return band;
        } catch (const std::exception &) {
        }
    }
    try {
        return openOutline(points, penWidth);
    } catch (const std::exception &) {
        return QPainterPath();
    }
}

} // namespace LineOutline

QPainterPath LineOutlineCache::outline(const QPainterPath &path, LineOutline::Kind kind, int lineWidth,
                                       int penWidth)
{
    const bool sameArguments =
        valid && kind == cachedKind && lineWidth == cachedLineWidth && penWidth == cachedPenWidth;
    if (sameArguments && sharesData(path, cachedPath))
        return cachedOutline;
    if (!sameArguments || !sameCoordinates(path, cachedPath)) {
        cachedOutline = LineOutline::compute(path, kind, lineWidth, penWidth);
        ++computeCount;
    }
    // Adopting the caller's copy lets the next call take the shared-data shortcut.
    cachedPath = path;
    cachedKind = kind;
    cachedLineWidth = lineWidth;
    cachedPenWidth = penWidth;
    valid = true;
    return cachedOutline;
}
