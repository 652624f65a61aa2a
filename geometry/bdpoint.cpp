#include "geometry/bdpoint.h"

#include <QTextStream>

#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr double DegreesPerRadian = 57.29577951308232;
} // namespace

bdPoint::~bdPoint() = default;

double bdPoint::angleTo(const bdPoint &other) const
{
    const double dx = double(other.x()) - double(x());
    const double dy = double(other.y()) - double(y());
    double a;
    if (std::fabs(dx) > 0.0) {
        a = std::atan2(dy, dx);
        if (a < 0.0)
            a += 2.0 * Pi;
    } else {
        a = dy < 0.0 ? 1.5 * Pi : 0.5 * Pi;
    }
    a *= DegreesPerRadian;
    // A direction just below a full turn is the same as 0.
    if (a > 360.0 || fuzzyEqual(a + 1.0, 361.0))
        a -= 360.0;
    // Wrapping a value just below 360 leaves a rounding residue below 0; keep the range.
    return a < 0.0 ? 0.0 : a;
}

QByteArray bdPoint::className() const
{
    return QByteArrayLiteral("bdPoint");
}

void bdPoint::write(QTextStream &stream) const
{
    stream << QStringLiteral("(pt %1 %2)").arg(double(x()), 0, 'f', 0).arg(double(y()), 0, 'f', 0);
}
