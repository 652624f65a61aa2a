#include "geometry/lineoutline.h"

#include "geometry/bdfigure.h"
#include "geometry/bdoperations.h"

#include <QLineF>

#include <cstring>
#include <exception>

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

} // namespace

namespace LineOutline {

QPainterPath compute(const QPainterPath &path, Kind kind, int lineWidth, int penWidth)
{
    const QList<QPointF> points = elementPoints(path);
    if (points.isEmpty())
        return QPainterPath();
    // The geometry library may give up on odd input (a loop that crosses itself, say); an
    // exception must not run through the scene's event handling. A closed line that
    // encloses nothing, a short dash or a dot, is answered by its stroke instead, so that
    // every visible mark can still be picked.
    if (isClosed(points, kind, lineWidth)) {
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
