#include "fontstream.h"

#include <QBuffer>
#include <QDataStream>
#include <QIODevice>

namespace {

// Stream versions at which newer toolkits extended the font record.
constexpr int FeaturesVersion = 21; // Qt_6_6
constexpr int AxesVersion = 22;     // Qt_6_7

// The toolkit part between the two leading strings and the families list: point size (a double, or a
// float in single-precision mode), qint32 pixel size, quint8 style hint, quint16 style strategy,
// quint16 weight, quint8 bits, quint16 stretch, quint8 extended bits, two qint32 spacings, quint8
// hinting, quint8 capitalization.
constexpr qint64 FixedFieldBytesBesidesPointSize = 23;

constexpr quint32 NullSize = 0xFFFFFFFFu;
constexpr quint32 ExtendedSize = 0xFFFFFFFEu;

qint64 remaining(const QDataStream &in)
{
    const QIODevice *device = in.device();
    return device->size() - device->pos();
}

bool fail(QDataStream &in, QDataStream::Status status)
{
    in.setStatus(status);
    return false;
}

bool skipBytes(QDataStream &in, qint64 count)
{
    if (count > remaining(in))
        return fail(in, QDataStream::ReadPastEnd);
    return in.skipRawData(int(count)) == count;
}

bool readSize(QDataStream &in, quint32 &size)
{
    in >> size;
    return in.status() == QDataStream::Ok;
}

// A QString: quint32 byte length (0xFFFFFFFF for a null string), then UTF-16.
bool skipString(QDataStream &in)
{
    quint32 bytes = 0;
    if (!readSize(in, bytes))
        return false;
    if (bytes == NullSize)
        return true;
    if ((bytes & 1u) != 0 || bytes == ExtendedSize)
        return fail(in, QDataStream::ReadCorruptData);
    return skipBytes(in, bytes);
}

// A map of tag to value as newer toolkits write it: count, then sorted entries. A tag of 0 is
// what those toolkits reject as corrupt.
bool skipTagMap(QDataStream &in, qint64 valueBytes)
{
    quint32 count = 0;
    if (!readSize(in, count))
        return false;
    if (count >= ExtendedSize)
        return fail(in, QDataStream::ReadCorruptData);
    const qint64 entryBytes = 4 + valueBytes;
    if (qint64(count) > remaining(in) / entryBytes)
        return fail(in, QDataStream::ReadPastEnd);
    for (quint32 i = 0; i < count; ++i) {
        quint32 tag = 0;
        in >> tag;
        if (in.status() != QDataStream::Ok)
            return false;
        if (tag == 0)
            return fail(in, QDataStream::ReadCorruptData);
        if (!skipBytes(in, valueBytes))
            return false;
    }
    return true;
}

// Walks the toolkit part of a font record (up to and including the families list) without
// building anything, so that the toolkit's reader, which reserves memory for the families count,
// only ever sees a record known to be complete.
bool skipToolkitPart(QDataStream &in)
{
    const qint64 pointSizeBytes = in.floatingPointPrecision() == QDataStream::SinglePrecision ? 4 : 8;
    if (!skipString(in) || !skipString(in) ||
        !skipBytes(in, FixedFieldBytesBesidesPointSize + pointSizeBytes))
        return false;
    quint32 families = 0;
    if (!readSize(in, families))
        return false;
    if (families >= ExtendedSize)
        return fail(in, QDataStream::ReadCorruptData);
    if (qint64(families) > remaining(in) / 4)
        return fail(in, QDataStream::ReadPastEnd);
    for (quint32 i = 0; i < families; ++i) {
        if (!skipString(in))
            return false;
    }
    return true;
}

bool skipTail(QDataStream &in)
{
    if (in.version() >= FeaturesVersion && !skipTagMap(in, 4))
        return false;
    if (in.version() >= AxesVersion) {
        const qint64 axisValueBytes = in.floatingPointPrecision() == QDataStream::SinglePrecision ? 4 : 8;
        if (!skipTagMap(in, axisValueBytes))
            return false;
    }
    return true;
}

#if QT_VERSION < QT_VERSION_CHECK(6, 6, 0)
// The toolkit's writer takes the first of the families list as the family; a font read from a
// file can have an empty list, which it cannot write. Such a font is written with an empty family
// and an empty list, which is what it was read from.
void writeToolkitPart(QDataStream &out, const QFont &font)
{
    if (!font.families().isEmpty()) {
        out << font;
        return;
    }
    QFont named(font);
    named.setFamilies({QString()});
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QDataStream scratch(&buffer);
        scratch.setVersion(out.version());
        scratch.setByteOrder(out.byteOrder());
        scratch.setFloatingPointPrecision(out.floatingPointPrecision());
        scratch << named;
    }
    // The record ends with the families list {""}: count 1 and an empty string (8 bytes).
    bytes.chop(8);
    out.writeRawData(bytes.constData(), int(bytes.size()));
    out << quint32(0);
}
#endif

} // namespace

namespace FontStream {

QByteArray emptyTail(const QDataStream &stream)
{
    if (stream.version() >= AxesVersion)
        return QByteArray(8, '\0');
    if (stream.version() >= FeaturesVersion)
        return QByteArray(4, '\0');
    return QByteArray();
}

void write(QDataStream &out, const QFont &font, const QByteArray &tail)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    // The toolkit writes features and axes itself; they live in the font.
    Q_UNUSED(tail)
    if (font.families().isEmpty()) {
        QFont named(font);
        named.setFamilies({QString()});
        out << named;
    } else {
        out << font;
    }
#elif QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
#error "Qt 6.6 streams font features but not axes; build with 6.4/6.5 or 6.7 and later"
#else
    writeToolkitPart(out, font);
    if (out.version() >= AxesVersion && !tail.isEmpty()) {
        out.writeRawData(tail.constData(), int(tail.size()));
    } else {
        const QByteArray none = emptyTail(out);
        out.writeRawData(none.constData(), int(none.size()));
    }
#endif
}

bool read(QDataStream &in, QFont &font, QByteArray &tail)
{
    tail.clear();
    QIODevice *device = in.device();
    if (in.status() != QDataStream::Ok || device == nullptr || device->isSequential())
        return fail(in, QDataStream::ReadCorruptData);
    const qint64 start = device->pos();
    if (!skipToolkitPart(in))
        return false;
    const qint64 tailStart = device->pos();
    if (!skipTail(in))
        return false;
    const qint64 end = device->pos();

    // The whole record is known to be there: let the toolkit read its own part.
    if (!device->seek(start))
        return fail(in, QDataStream::ReadCorruptData);
    QFont fresh;
    in >> fresh;
    if (in.status() != QDataStream::Ok)
        return false;
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    Q_UNUSED(tailStart)
#else
    if (device->pos() != tailStart)
        return fail(in, QDataStream::ReadCorruptData);
    tail.resize(end - tailStart);
    if (in.readRawData(tail.data(), int(tail.size())) != tail.size())
        return fail(in, QDataStream::ReadPastEnd);
    if (tail == emptyTail(in))
        tail.clear();
#endif
    if (device->pos() != end)
        return fail(in, QDataStream::ReadCorruptData);
    // The rich text's style sheet carries the family too, quoted and unescaped: a backslash or a
    // quote in it reads back as another name (a CSS escape, the quote's end). No font is named with
    // those or with control characters; they are left out.
    QStringList families = fresh.families();
    bool changed = false;
    for (QString &family : families) {
        const qsizetype before = family.size();
        family.removeIf([](QChar c) {
            return c == u'\\' || c == u'\'' || c == u'"' || c.category() == QChar::Other_Control;
        });
        changed = changed || family.size() != before;
    }
    if (changed)
        fresh.setFamilies(families);
    font = fresh;
    return true;
}

} // namespace FontStream
