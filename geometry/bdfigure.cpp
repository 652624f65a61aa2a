#include "geometry/bdfigure.h"

#include <QPainterPath>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::unique_ptr<bdPoint> clonePoint(const std::unique_ptr<bdPoint> &p)
{
    return p ? std::make_unique<bdPoint>(*p) : nullptr;
}

} // namespace

bdFigure::bdFigure(const QList<bdPoint> &points)
{
    for (qsizetype i = 1; i < points.size(); ++i)
        segments.append(bdSegment(points.at(i - 1), points.at(i)));
    updateBoundingBox();
}

bdFigure::bdFigure(const QList<QPointF> &points)
{
    for (qsizetype i = 1; i < points.size(); ++i) {
        const bdPoint a(points.at(i - 1));
        const bdPoint b(points.at(i));
        if (std::hypot(b.x() - a.x(), b.y() - a.y()) < 1e-5f)
            continue;
        segments.append(bdSegment(a, b));
    }
    updateBoundingBox();
}

bdFigure::bdFigure(const bdFigure &other)
    : bdObject()
{
    *this = other;
}

bdFigure &bdFigure::operator=(const bdFigure &other)
{
    if (this == &other)
        return *this;
    circle = other.circle ? std::make_unique<bdCircle>(*other.circle) : nullptr;
    segments = other.segments;
    children = other.children;
    boxMin = clonePoint(other.boxMin);
    boxMax = clonePoint(other.boxMax);
    width = other.width;
    return *this;
}

bdFigure::~bdFigure() = default;

void bdFigure::boundingBox(bdPoint &min, bdPoint &max) const
{
    if (boxMin && boxMax) {
        min = *boxMin;
        max = *boxMax;
        return;
    }
    if (circle) {
        const float h = fuzzyZero(width) ? 0.0f : width / 2.0f;
        const float r = circle->radius + h;
        min = bdPoint(circle->center.x() - r, circle->center.y() - r);
        max = bdPoint(circle->center.x() + r, circle->center.y() + r);
        return;
    }
    constexpr float big = std::numeric_limits<float>::max();
    float x0 = big, y0 = big, x1 = -big, y1 = -big;
    auto widen = [&](float x, float y) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    };
    for (const bdSegment &s : segments) {
        if (s.isArc()) {
            // The whole circle of the arc: cheap and never too small.
            const float r = float(s.radius);
            widen(s.center.x() - r, s.center.y() - r);
            widen(s.center.x() + r, s.center.y() + r);
        } else {
            widen(s.start.x(), s.start.y());
            widen(s.end.x(), s.end.y());
        }
    }
    min = bdPoint(x0, y0);
    max = bdPoint(x1, y1);
}

void bdFigure::updateBoundingBox()
{
    boxMin.reset();
    boxMax.reset();
    auto min = std::make_unique<bdPoint>();
    auto max = std::make_unique<bdPoint>();
    boundingBox(*min, *max);
    boxMin = std::move(min);
    boxMax = std::move(max);
}

void bdFigure::toPainterPath(QPainterPath &path) const
{
    if (!segments.isEmpty()) {
        path.moveTo(segments.first().start.toPointF());
        for (const bdSegment &s : segments) {
            if (!s.isArc()) {
                path.lineTo(s.end.toPointF());
                continue;
            }
            path.lineTo(s.start.toPointF());
            // The toolkit measures arc angles with the y axis pointing up.
            const bdPoint upStart(s.start.x() - s.center.x(), -(s.start.y() - s.center.y()));
            const double startAngle = bdPoint().angleTo(upStart);
            const double sweep = -std::trunc(s.sweepDegrees());
            if (fuzzyZero(sweep)) {
                path.lineTo(s.end.toPointF());
                continue;
            }
            const double r = s.radius;
            path.arcTo(QRectF(double(s.center.x()) - r, double(s.center.y()) - r, 2.0 * r, 2.0 * r),
                       startAngle, sweep);
            if (path.currentPosition() != s.end.toPointF())
                path.lineTo(s.end.toPointF());
        }
    } else if (circle) {
        const float d = 2.0f * circle->radius;
        path.addEllipse(QRectF(double(circle->center.x() - d / 2.0f), double(circle->center.y() - d / 2.0f),
                               double(d), double(d)));
    }
    if (!children.isEmpty()) {
        path.closeSubpath();
        for (const bdFigure &child : children) {
            QPainterPath hole;
            child.toPainterPath(hole);
            path.addPath(hole);
            path.closeSubpath();
        }
    }
}

QByteArray bdFigure::className() const
{
    return QByteArrayLiteral("bdFigure");
}

void bdFigure::write(QTextStream &) const {}
