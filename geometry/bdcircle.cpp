#include "geometry/bdcircle.h"

#include <QTextStream>

bdCircle::~bdCircle() = default;

QByteArray bdCircle::className() const
{
    return QByteArrayLiteral("bdCircle");
}

void bdCircle::write(QTextStream &stream) const
{
    indentLine(stream, level);
    stream << "(circle " << radius;
    // The centre sits one level deeper than the circle.
    indentLine(stream, level + 1);
    center.write(stream);
    indentLine(stream, level);
    stream << ')';
}
