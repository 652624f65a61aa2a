#pragma once

// Shared by the result-file tests: the fixed clock of the worked example and text helpers.

#include "io/clock.h"
#include "urf/zukenurffile.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QTextStream>
#include <QTimeZone>

namespace UrfTest {

// 2024-03-05 09:07 local time at UTC+1, i.e. 08:07 UTC.
inline QDateTime exampleTime()
{
    return QDateTime(QDate(2024, 3, 5), QTime(9, 7), QTimeZone(3600));
}

// What write(QTextStream &) puts out, as text.
template <typename Write> QString captured(Write &&write)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QTextStream out(&buffer);
        write(out);
    }
    return QString::fromUtf8(bytes);
}

template <typename Record> QString written(Record &record, int version)
{
    return captured([&](QTextStream &out) { record.write(out, version); });
}

inline QString writtenFile(ZukenUrfFile &file)
{
    return captured([&](QTextStream &out) { file.write(out); });
}

inline ZukenUrfFile readText(const QByteArray &text)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    ZukenUrfFile file;
    file.readFile(&buffer);
    return file;
}

inline QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(QUILL_TEST_DATA_DIR "/urf/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace UrfTest
