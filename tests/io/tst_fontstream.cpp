// Fonts in the stream form of newer toolkits: the toolkit part, then the features and axes maps.

#include "io/fontstream.h"
#include "io/notesfile.h"

#include <QBuffer>
#include <QDataStream>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QFont fixedFont()
{
    QFont font(QStringLiteral("A"));
    font.setPointSizeF(12);
    font.setStyleHint(QFont::Courier, QFont::PreferAntialias);
    font.setWeight(QFont::Bold);
    font.setItalic(true);
    font.setUnderline(true);
    font.setKerning(false);
    font.setFixedPitch(false);
    font.setStretch(QFont::SemiExpanded);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    font.setWordSpacing(2);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setCapitalization(QFont::SmallCaps);
    return font;
}

QByteArray written(const QFont &font, const QByteArray &tail = QByteArray(), int version = 23,
                   QDataStream::FloatingPointPrecision precision = QDataStream::DoublePrecision)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(version);
    out.setFloatingPointPrecision(precision);
    FontStream::write(out, font, tail);
    return bytes;
}

QByteArray toolkitBytes(const QFont &font,
                        QDataStream::FloatingPointPrecision precision = QDataStream::DoublePrecision)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(23);
    out.setFloatingPointPrecision(precision);
    out << font;
    return bytes;
}

struct Read
{
    bool ok = false;
    QDataStream::Status status = QDataStream::Ok;
    QFont font;
    QByteArray tail;
    qint64 consumed = 0;
};

Read readBack(const QByteArray &bytes, int version = 23,
              QDataStream::FloatingPointPrecision precision = QDataStream::DoublePrecision)
{
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QDataStream in(&buffer);
    in.setVersion(version);
    in.setFloatingPointPrecision(precision);
    Read result;
    result.ok = FontStream::read(in, result.font, result.tail);
    result.status = in.status();
    result.consumed = buffer.pos();
    return result;
}

// Two features (kern = 0, liga = 1) and one axis (wght = 550.0), as a newer toolkit writes them.
QByteArray featureTail()
{
    return hex("00000002 6B65726E 00000000 6C696761 00000001"
               "00000001 77676874 4081300000000000");
}

} // namespace

class TestFontStream : public QObject
{
    Q_OBJECT

private slots:
    void toolkitPartLayout();
    void defaultFontEndsWithEightZeroBytes();
    void tailSurvivesReadAndWrite_data();
    void tailSurvivesReadAndWrite();
    void emptyTailIsReturnedEmpty();
    void emptyFamiliesListRoundTrips();
    void damagedRecords_data();
    void damagedRecords();
    void everyTruncationFails();
};

void TestFontStream::toolkitPartLayout()
{
    // family "A", null style name, point size 12.0, pixel size -1, style hint Courier (2),
    // strategy PreferAntialias (0x80), weight 700, bits italic|underline (0x03), stretch 112,
    // extended bits absolute spacing (0x02), letter spacing 1.5 and word spacing 2 in 1/64,
    // no hinting (1), small caps (3), families {"A"}, then the empty features and axes maps.
    const QByteArray expected = hex("00000002 0041  FFFFFFFF  4028000000000000  FFFFFFFF  02  0080  02BC  03"
                                    "0070  02  00000060  00000080  01  03  00000001 00000002 0041"
                                    "00000000 00000000");
    QCOMPARE(written(fixedFont()).toHex(' '), expected.toHex(' '));
}

void TestFontStream::defaultFontEndsWithEightZeroBytes()
{
    const QFont font;
    const QByteArray bytes = written(font);
    QCOMPARE(bytes.right(8), QByteArray(8, '\0'));
    QCOMPARE(bytes.chopped(8), toolkitBytes(font));
    // Older stream versions get only the maps they know.
    QCOMPARE(written(font, featureTail(), 21), toolkitBytes(font) + QByteArray(4, '\0'));
}

void TestFontStream::tailSurvivesReadAndWrite_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("precision");
    QTest::newRow("features and axes") << featureTail() << int(QDataStream::DoublePrecision);
    QTest::newRow("features only") << hex("00000001 6B65726E 00000001 00000000")
                                   << int(QDataStream::DoublePrecision);
    QTest::newRow("axes only") << hex("00000000 00000001 77647468 4059000000000000")
                               << int(QDataStream::DoublePrecision);
    QTest::newRow("single-precision axis")
        << hex("00000000 00000001 77676874 44098000") << int(QDataStream::SinglePrecision);
}

void TestFontStream::tailSurvivesReadAndWrite()
{
    QFETCH(QByteArray, tail);
    QFETCH(int, precision);
    const auto mode = QDataStream::FloatingPointPrecision(precision);
    const QByteArray file = toolkitBytes(fixedFont(), mode) + tail + hex("CAFE");
    const Read read = readBack(file, 23, mode);
    QVERIFY(read.ok);
    QCOMPARE(read.font, fixedFont());
    QCOMPARE(read.tail, tail);
    QCOMPARE(read.consumed, file.size() - 2);
    QCOMPARE(written(read.font, read.tail, 23, mode), file.chopped(2));
}

void TestFontStream::emptyTailIsReturnedEmpty()
{
    const Read read = readBack(written(fixedFont()));
    QVERIFY(read.ok);
    QVERIFY(read.tail.isEmpty());
}

void TestFontStream::emptyFamiliesListRoundTrips()
{
    // A file may hold a font whose families list is empty. The toolkit cannot write such a font
    // itself (it takes the first family as the family); it is written with an empty family and
    // list, and reads back the same.
    const QByteArray part = toolkitBytes(fixedFont());
    const QByteArray file = part.chopped(10) + hex("00000000") + QByteArray(8, '\0');
    const Read read = readBack(file);
    QVERIFY(read.ok);
    QVERIFY(read.font.families().isEmpty());
    const QByteArray again = written(read.font, read.tail);
    QCOMPARE(again.left(4), hex("FFFFFFFF")); // a null family
    QCOMPARE(again.mid(4), file.mid(6));
    const Read second = readBack(again);
    QVERIFY(second.ok);
    QCOMPARE(second.font, read.font);
}

void TestFontStream::damagedRecords_data()
{
    const QByteArray part = toolkitBytes(fixedFont());
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::newRow("feature tag 0") << part + hex("00000001 00000000 00000001 00000000")
                                   << int(QDataStream::ReadCorruptData);
    QTest::newRow("axis tag 0") << part + hex("00000000 00000001 00000000 4059000000000000")
                                << int(QDataStream::ReadCorruptData);
    QTest::newRow("feature count 2^31")
        << part + hex("80000000 6B65726E 00000001 00000000") << int(QDataStream::ReadPastEnd);
    QTest::newRow("axis count too large")
        << part + hex("00000000 00000002 77676874 4059000000000000") << int(QDataStream::ReadPastEnd);
    QTest::newRow("families count 2^30") << part.chopped(10) + hex("40000000 00000002 0041 00000000 00000000")
                                         << int(QDataStream::ReadPastEnd);
    QTest::newRow("families null count")
        << part.chopped(10) + hex("FFFFFFFF 00000000 00000000") << int(QDataStream::ReadCorruptData);
    QTest::newRow("odd family length")
        << hex("00000003 004100") + part.mid(6) << int(QDataStream::ReadCorruptData);
    QTest::newRow("family longer than the rest")
        << hex("7FFFFFFE 0041") + part.mid(6) << int(QDataStream::ReadPastEnd);
}

void TestFontStream::damagedRecords()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    const Read read = readBack(bytes);
    QVERIFY(!read.ok);
    QCOMPARE(int(read.status), status);
}

void TestFontStream::everyTruncationFails()
{
    const QByteArray file = toolkitBytes(fixedFont()) + featureTail();
    for (int size = 0; size < file.size(); ++size) {
        const Read read = readBack(file.left(size));
        QVERIFY2(!read.ok, qPrintable(QString::number(size)));
        QVERIFY(read.status != QDataStream::Ok);
    }
    QVERIFY(readBack(file).ok);
}

QTEST_MAIN(TestFontStream)
#include "tst_fontstream.moc"
