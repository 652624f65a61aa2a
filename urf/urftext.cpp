#include "urf/urftext.h"

#include "urf/urfconstants.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <limits>

namespace UrfText {

QString oneLine(const QString &text)
{
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString result = text;
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return result;
}

QString indent(int count)
{
    return QString(qMax(count, 0), QLatin1Char(' '));
}

qint32 rstCoordinate(double value)
{
    const double scaled = value * Urf::RstCoordinateScale;
    if (std::isnan(scaled))
        return 0;
    if (scaled >= 2147483648.0)
        return std::numeric_limits<qint32>::max();
    if (scaled <= -2147483649.0)
        return std::numeric_limits<qint32>::min();
    // A value that came from the file's own integer (n / 100000) comes back a hair below or above
    // n; it is that integer, not a fraction to truncate, or every read and write would move it.
    const double nearest = std::round(scaled);
    if (std::abs(scaled - nearest) < 1e-6 * std::max(1.0, std::abs(nearest)))
        return static_cast<qint32>(nearest);
    return static_cast<qint32>(scaled); // truncates towards zero
}

QString coordinate(double value, int version)
{
    if (version > Urf::RstFormatVersion)
        return QString::number(value, 'f', 4);
    return QString::number(rstCoordinate(value));
}

QString section(const QString &line, int k)
{
    return line.section(QLatin1Char(','), k, k);
}

QString unquoted(const QString &text)
{
    QString result = text;
    result.remove(QLatin1Char('"'));
    return result;
}

QString unquotedSection(const QString &line, int k)
{
    return unquoted(section(line, k));
}

QString quotedName(const QString &line)
{
    return line.section(QLatin1Char('"'), 1, 1);
}

Line::Line(QIODevice *device)
    : m_device(device)
{
    m_device->startTransaction();
    m_text = QString::fromUtf8(m_device->readLine().simplified());
}

Line::~Line()
{
    keep();
}

void Line::keep()
{
    if (m_device->isTransactionStarted())
        m_device->commitTransaction();
}

bool Line::startsWith(const char *keyword) const
{
    return m_text.startsWith(QLatin1String(keyword));
}

void Line::putBack()
{
    m_device->rollbackTransaction();
}

} // namespace UrfText
