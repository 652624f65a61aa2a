#pragma once

#include <QPainterPath>

// Hit-test outlines of the freehand line and polyline annotations: the area their stroke
// covers. A line that returns to its start is answered with the band between its outward
// and inward offsets; an open line with its rounded stroke buffer.
namespace LineOutline {

// How the closed case is decided: a freehand line is closed when its end lies within one
// line width of its start, a polyline only when its last point equals its first.
enum class Kind { Freehand, PolyLine };

// The outline of `path` in its own coordinates. Never throws; answers an empty path when
// the geometry cannot be computed.
QPainterPath compute(const QPainterPath &path, Kind kind, int lineWidth, int penWidth);

} // namespace LineOutline

// Remembers the last outline of one item; recomputes only when the path or a width changed.
// The answer is always the one `LineOutline::compute` gives for the same arguments.
class LineOutlineCache
{
public:
    QPainterPath outline(const QPainterPath &path, LineOutline::Kind kind, int lineWidth, int penWidth);
    void invalidate() { valid = false; }
    // How many outlines this cache has computed; shows that repeated queries are free.
    int computations() const { return computeCount; }

private:
    QPainterPath cachedPath;
    QPainterPath cachedOutline;
    LineOutline::Kind cachedKind = LineOutline::Kind::Freehand;
    int cachedLineWidth = 0;
    int cachedPenWidth = 0;
    int computeCount = 0;
    bool valid = false;
};
