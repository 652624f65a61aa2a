// Writes the seed files of the fuzz targets that the test data does not hold: notes files of the
// older formats (3.5, 4.4, 5.0), a 7.0 file with every kind of item and a font of a newer toolkit,
// and layer lists in both stream versions.
//
//     fuzz_seeds <notes corpus dir> <layers corpus dir>

#include "fuzzapp.h"

#include "io/notesfile.h"
#include "io/notestestkit.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace TestKit;

namespace {

QFont textFont()
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(10);
    return font;
}

QPainterPath zigzag()
{
    QPainterPath path(QPointF(0, 0));
    path.lineTo(10, 10);
    path.cubicTo(QPointF(12, 0), QPointF(15, 5), QPointF(20, 0));
    return path;
}

QString html(const QString &text)
{
    NotesTextItem item;
    item.setFont(textFont());
    item.setHtml(text);
    return item.toHtml();
}

void oldShapes(RawWriter &w)
{
    w << qint32(1) << QRectF(0, 0, 20, 10) << QColor(Qt::red) << qint32(3) << qint32(Qt::DashLine) << QPointF(4, 4);
    w << qint32(1) << QRectF(1, 1, 5, 5) << QColor(Qt::green) << qint32(1) << qint32(Qt::SolidLine) << QPointF();
    w << qint32(1) << zigzag() << QColor(Qt::blue) << qint32(2) << qint32(Qt::SolidLine) << QPointF(1, 1);
    w << qint32(1) << zigzag() << QColor(Qt::black) << qint32(5) << qint32(Qt::DotLine) << QPointF(2, 2);
}

QByteArray format35()
{
    RawWriter w;
    w << qint32(3) << qint32(5);
    w << QString() << QStringLiteral("01.01.2010 12:00") << QStringLiteral("old") << qint32(1)
      << QStringLiteral("plain <b>text</b>");
    w.font(textFont());
    w << QColor(Qt::darkGreen) << QPointF(5, 6);
    w << qint32(1) << QLineF(0, 0, 10, 10) << QColor(Qt::red) << QPointF(2, 3);
    w << QStringLiteral("Second") << QString() << QString() << qint32(0) << qint32(0);
    return w.bytes;
}

QByteArray format44()
{
    RawWriter w;
    w << qint32(4) << qint32(4);
    w << QStringLiteral("Four") << QStringLiteral("d") << QString() << solidPixmap(6, 4, Qt::yellow)
      << QRectF(1, 2, 3, 4) << qint32(1) << layer(QStringLiteral("Top"), 1);
    w << qint32(1) << html(QStringLiteral("rotated"));
    w.font(textFont());
    w << QColor(Qt::black) << QPointF(7, 8) << double(-90) << qint32(1);
    w << qint32(0);
    oldShapes(w);
    w << QStringLiteral("End") << QString() << QString() << QPixmap();
    return w.bytes;
}

QByteArray format50()
{
    RawWriter w;
    w << qint32(5) << qint32(0);
    w << QString() << QString() << QString() << QRectF(0, 0, 50, 50) << qint32(2);
    w << QPointF(1, 1) << solidPixmap(2, 2, Qt::red) << qint32(2) << layer(QStringLiteral("Top"), 1)
      << layer(QStringLiteral("Wiring2"), 2);
    w << QPointF(2, 2) << solidPixmap(2, 2, Qt::green) << qint32(-1);
    w << qint32(1) << html(QStringLiteral("<b>five</b>"));
    w.font(textFont());
    w << QColor(Qt::blue) << QPointF(3, 3) << double(45) << qint32(0);
    w << qint32(1) << QLineF(1, 1, 2, 2) << QColor(Qt::black) << QPointF();
    oldShapes(w);
    return w.bytes;
}

QByteArray format70()
{
    RawWriter w;
    w << qint32(7) << qint32(0) << qint32(2);
    w << QStringLiteral("Seven") << QStringLiteral("02.03.2024 10:00") << QStringLiteral("<p>c</p>")
      << QRectF(5, 5, 100, 80);
    w << qint64(1) << QPointF(0, 0) << solidPixmap(3, 3, Qt::cyan) << qint64(1) << layer(QStringLiteral("Wiring1"), 1);
    w << qint64(1) << html(QStringLiteral("tail"));
    // A font of a newer toolkit: one feature ("kern" off) and no axes.
    w.font(textFont(), hex("00000001 6B65726E 00000000 00000000"));
    w << QColor(Qt::darkRed) << QPointF(9, 9) << double(30) << qint32(1);
    w << qint64(1) << QLineF(0, 0, 5, 5) << QColor(Qt::red) << QPointF(1, 1);
    for (int kind = 0; kind < 4; ++kind) {
        w << qint64(1);
        if (kind < 2)
            w << QRectF(0, 0, 8, 4);
        else
            w << zigzag();
        w << QColor(QColor::fromHsv(kind * 60, 200, 200)) << qint32(kind + 1) << qint32(Qt::DashDotLine)
          << QPointF(kind, kind);
    }
    w << QString() << QString() << QString() << QRectF();
    w << qint64(0) << qint64(0) << qint64(0) << qint64(0) << qint64(0) << qint64(0) << qint64(0);
    return w.bytes;
}

QByteArray layerList(int version)
{
    QByteArray bytes(1, version == NotesFile::StreamVersion ? '\x02' : '\x00');
    QDataStream out(&bytes, QIODevice::Append);
    out.setVersion(version);
    out << QList<DsvLayer>{layer(QStringLiteral("Top"), 1), layer(QStringLiteral("Wiring1"), 2, Qt::blue)};
    return bytes;
}

bool put(const QString &dir, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(dir);
    QFile file(dir + QLatin1Char('/') + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds NOTES_DIR LAYERS_DIR\n");
        return 2;
    }
    FuzzApp::start(&argc, &argv);
    const QString notes = QString::fromLocal8Bit(argv[1]);
    const QString layers = QString::fromLocal8Bit(argv[2]);
    const bool ok = put(notes, QStringLiteral("format35.nts"), format35()) &&
                    put(notes, QStringLiteral("format44.nts"), format44()) &&
                    put(notes, QStringLiteral("format50.nts"), format50()) &&
                    put(notes, QStringLiteral("format70.nts"), format70()) &&
                    put(layers, QStringLiteral("list-5.15"), layerList(QDataStream::Qt_5_15)) &&
                    put(layers, QStringLiteral("list-23"), layerList(NotesFile::StreamVersion)) &&
                    put(layers, QStringLiteral("keyed"), QByteArray("\x01\x01\x03Top\x02\x00\x05\x04Wire\x04", 13));
    return ok ? 0 : 1;
}
