#pragma once

#include "geometry/bdcircle.h"
#include "geometry/bdsegment.h"

#include <QList>
#include <QPointF>

#include <memory>

class QPainterPath;

// A closed or open outline: either a full circle or a chain of straight and arc edges,
// with optional inner contours (holes).
class bdFigure : public bdObject
{
public:
    bdFigure() = default;
    // One straight edge between each pair of consecutive points, zero-length ones included.
    explicit bdFigure(const QList<bdPoint> &points);
    // As above after narrowing to float, but pairs closer than 1e-5 add no edge.
    explicit bdFigure(const QList<QPointF> &points);
    // Deep copies of the circle and the cached box; the lists are shared.
    bdFigure(const bdFigure &other);
    bdFigure &operator=(const bdFigure &other);
    ~bdFigure() override;

    // The cached box when there is one, else the box computed from the circle or the edges.
    // A figure without circle and edges answers the inverted float extremes.
    void boundingBox(bdPoint &min, bdPoint &max) const;
    // Recomputes the box from the geometry and caches it.
    void updateBoundingBox();
    // Draws the figure into `path`; holes follow as closed subpaths.
    void toPainterPath(QPainterPath &path) const;

    QByteArray className() const override;
    void write(QTextStream &stream) const override;

    std::unique_ptr<bdCircle> circle;
    QList<bdSegment> segments;
    QList<bdFigure> children;
    std::unique_ptr<bdPoint> boxMin;
    std::unique_ptr<bdPoint> boxMax;
    float width = 0.0f;
};
