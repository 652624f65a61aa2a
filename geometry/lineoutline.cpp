#include "geometry/lineoutline.h"

// Placeholder until the figure operations land: answers the path itself.
namespace LineOutline {
QPainterPath compute(const QPainterPath &path, Kind, int, int)
{
    return path;
}
} // namespace LineOutline

QPainterPath LineOutlineCache::outline(const QPainterPath &path, LineOutline::Kind kind, int lineWidth,
                                       int penWidth)
{
    if (!valid || kind != cachedKind || lineWidth != cachedLineWidth || penWidth != cachedPenWidth ||
        !(path == cachedPath)) {
        cachedOutline = LineOutline::compute(path, kind, lineWidth, penWidth);
        cachedPath = path;
        cachedKind = kind;
        cachedLineWidth = lineWidth;
        cachedPenWidth = penWidth;
        valid = true;
    }
    return cachedOutline;
}
