// Damaged notes files: truncation at every byte, impossible counts, corrupt values. The reader
// must stop at once, keep the pages read completely before the damage, free everything it made
// for the page it was reading, and say that the file is damaged.

#include "notestestkit.h"

#include <QTest>

using namespace TestKit;

namespace {

constexpr qint64 Huge = qint64(1) << 40;

// A scene factory that counts the scenes still alive.
struct CountingFactory
{
    int alive = 0;
    int made = 0;

    NotesFile::SceneFactory factory()
    {
        return [this] {
            auto *scene = new NotesScene;
            ++alive;
            ++made;
            QObject::connect(scene, &QObject::destroyed, [this] { --alive; });
            return scene;
        };
    }
};

NotesFile::ReadResult loadCounting(const QByteArray &bytes, PageModel &model, CountingFactory &counter)
{
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return NotesFile::readNotes(&buffer, model, counter.factory());
}

// A complete format 7 page holding one arrow.
void writeGoodPage(RawWriter &w, const QString &title)
{
    w << title << QStringLiteral("d") << QString() << QRectF() << qint64(0) << qint64(0) << qint64(1)
      << QLineF(0, 0, 5, 5) << QColor(Qt::red) << QPointF(1, 1);
    for (int i = 0; i < 4; ++i)
        w << qint64(0);
}

QPainterPath simplePath()
{
    QPainterPath path(QPointF(0, 0));
    path.lineTo(3, 4);
    return path;
}

// The page records up to the count at `section` (0 pictures ... 6 polylines), which is `count`;
// the counts before it are 0. Padding follows so that some bytes remain.
QByteArray fileWithCount(int section, qint64 count)
{
    RawWriter w;
    w << qint32(7) << qint32(0) << qint32(2);
    writeGoodPage(w, QStringLiteral("good"));
    w << QStringLiteral("bad") << QString() << QString() << QRectF();
    for (int i = 0; i < section; ++i)
        w << qint64(0);
    w << count;
    w.raw(QByteArray(256, '\0'));
    return w.bytes;
}

// A second page whose only item is described by `record` (raw bytes after the counts before it).
QByteArray fileWithRecord(int section, const QByteArray &record)
{
    RawWriter w;
    w << qint32(7) << qint32(0) << qint32(2);
    writeGoodPage(w, QStringLiteral("good"));
    w << QStringLiteral("bad") << QString() << QString() << QRectF();
    for (int i = 0; i < section; ++i)
        w << qint64(0);
    w << qint64(1);
    w.raw(record);
    for (int i = section + 1; i < 7; ++i)
        w << qint64(0);
    return w.bytes;
}

template <class... T> QByteArray encoded(const T &...values)
{
    RawWriter w;
    (w << ... << values);
    return w.bytes;
}

QByteArray pathBytes(const QList<QPair<qint32, QPointF>> &elements, qint32 cStart = 0,
                     qint32 fillRule = Qt::OddEvenFill)
{
    RawWriter w;
    w << qint32(elements.size());
    for (const auto &element : elements)
        w << element.first << double(element.second.x()) << double(element.second.y());
    w << cStart << fillRule;
    return w.bytes;
}

QByteArray boxRecord(const QColor &color, qint32 style)
{
    return encoded(QRectF(0, 0, 4, 4), color, qint32(1), style, QPointF());
}

QByteArray lineRecord(const QByteArray &path)
{
    RawWriter w;
    w.raw(path);
    w << QColor(Qt::red) << qint32(1) << qint32(Qt::SolidLine) << QPointF();
    return w.bytes;
}

// A format 5.0 sample with three pages; the offsets at which each page ends are recorded.
QByteArray olderSample(QList<qint64> &pageEnds)
{
    RawWriter w;
    w << qint32(5) << qint32(0);
    for (int page = 0; page < 3; ++page) {
        w << QStringLiteral("P%1").arg(page) << QStringLiteral("d") << QStringLiteral("c")
          << QRectF(0, 0, 5, 5) << qint32(1) << QPointF(page, page) << solidPixmap(3, 2, Qt::red) << qint32(1)
          << layer(QStringLiteral("Top"), page);
        w << qint32(1) << QStringLiteral("text");
        w.font(QFont(QStringLiteral("DejaVu Sans")));
        w << QColor(Qt::black) << QPointF() << double(-90) << qint32(0);
        w << qint32(1) << QLineF(0, 0, 1, 1) << QColor(Qt::blue) << QPointF();
        w << qint32(0) << qint32(0) << qint32(1) << simplePath() << QColor(Qt::green) << qint32(2)
          << qint32(Qt::DotLine) << QPointF() << qint32(0);
        pageEnds.append(w.bytes.size());
    }
    return w.bytes;
}

// The start of a text record: its text and the toolkit's part of its font, up to the tail of
// features and axes that the caller writes.
void textUpToFontTail(RawWriter &w)
{
    w << QStringLiteral("t");
    QByteArray font;
    QDataStream out(&font, QIODevice::WriteOnly);
    out.setVersion(NotesFile::StreamVersion);
    out << QFont(QStringLiteral("DejaVu Sans"));
    w.raw(font);
}

} // namespace

class TestNotesFileDamage : public QObject
{
    Q_OBJECT

private slots:
    void truncatedFormat7Sample();
    void truncatedOlderSample();
    void hugeCounts_data();
    void hugeCounts();
    void hugeNestedCounts_data();
    void hugeNestedCounts();
    void hugePageCountKeepsPresentPages();
    void negativeCountsReadNothing();
    void corruptValues_data();
    void corruptValues();
    void messageNamesPagesRead();
};

void TestNotesFileDamage::truncatedFormat7Sample()
{
    const QByteArray golden = readFile(dataPath(QStringLiteral("sample-7.0.nts")));
    QVERIFY(golden.size() > 1000);

    // Where each page ends: the sizes of files holding the first k pages (the page count field has
    // the same size whatever its value).
    QList<qint64> pageEnds;
    {
        PageModel model;
        QVERIFY(!load(golden, model).damaged);
        model.item(1, Page::TitleColumn)->setText(QString()); // as it was before loading
        QCOMPARE(saved(model).size(), golden.size());
        while (model.rowCount() > 0) {
            pageEnds.prepend(saved(model).size());
            model.removeLastPage();
        }
    }
    QCOMPARE(pageEnds.size(), 3);

    for (qint64 cut = 0; cut <= golden.size(); ++cut) {
        PageModel model;
        CountingFactory counter;
        const NotesFile::ReadResult result = loadCounting(golden.left(cut), model, counter);
        int whole = 0;
        while (whole < pageEnds.size() && pageEnds.at(whole) <= cut)
            ++whole;
        const QByteArray where = QByteArray::number(cut);
        QVERIFY2(result.pagesRead == whole, where);
        QVERIFY2(model.rowCount() == whole, where);
        QVERIFY2(counter.alive == whole, where); // the scene of a dropped page is deleted
        QVERIFY2(result.damaged == (cut > 0 && cut < golden.size()), where);
        QVERIFY2(result.message.isEmpty() == !result.damaged, where);
        for (int row = 0; row < model.rowCount(); ++row)
            QVERIFY2(model.scene(row) != nullptr, where);
    }
}

void TestNotesFileDamage::truncatedOlderSample()
{
    QList<qint64> pageEnds;
    const QByteArray sample = olderSample(pageEnds);
    for (qint64 cut = 0; cut <= sample.size(); ++cut) {
        PageModel model;
        CountingFactory counter;
        const NotesFile::ReadResult result = loadCounting(sample.left(cut), model, counter);
        int whole = 0;
        while (whole < pageEnds.size() && pageEnds.at(whole) <= cut)
            ++whole;
        // Older files have no page count: a cut between pages looks like a shorter file.
        const bool between = cut == 0 || cut == 8 || pageEnds.contains(cut);
        const QByteArray where = QByteArray::number(cut);
        QVERIFY2(result.pagesRead == whole, where);
        QVERIFY2(counter.alive == whole, where);
        QVERIFY2(result.damaged == !between, where);
    }
    PageModel model;
    QVERIFY(!load(sample, model).damaged);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.sceneItem(2)->data(Page::LayerMapRole).toMap(),
             layerListToMap({layer(QStringLiteral("Top"), 2)}));
}

void TestNotesFileDamage::hugeCounts_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<qint64>("count");
    const char *names[] = {"pictures",   "texts",          "arrows",   "circles",
                           "rectangles", "freehand lines", "polylines"};
    for (int section = 0; section < 7; ++section) {
        QTest::addRow("%s 2^40", names[section]) << section << Huge;
        QTest::addRow("%s max", names[section]) << section << std::numeric_limits<qint64>::max();
        QTest::addRow("%s 16 in 256 bytes", names[section]) << section << qint64(16);
    }
}

void TestNotesFileDamage::hugeCounts()
{
    QFETCH(int, section);
    QFETCH(qint64, count);
    PageModel model;
    CountingFactory counter;
    const NotesFile::ReadResult result = loadCounting(fileWithCount(section, count), model, counter);
    QVERIFY(result.damaged);
    QCOMPARE(result.pagesDeclared, 2);
    QCOMPARE(result.pagesRead, 1);
    QCOMPARE(model.title(0), QStringLiteral("good"));
    QCOMPARE(counter.made, 2);
    QCOMPARE(counter.alive, 1);
}

void TestNotesFileDamage::hugeNestedCounts_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QByteArray>("record");
    RawWriter layers;
    layers << QPointF() << QPixmap() << Huge;
    layers.raw(QByteArray(512, '\0'));
    QTest::newRow("layers 2^40") << 0 << layers.bytes;

    QByteArray path = encoded(qint32(0x7FFFFFFF), qint32(0), 0.0, 0.0);
    path += QByteArray(512, '\0');
    QTest::newRow("path elements 2^31-1") << 5 << path;

    RawWriter features;
    textUpToFontTail(features);
    features << quint32(0x80000000u);
    features.raw(QByteArray(512, '\0'));
    QTest::newRow("font features 2^31") << 1 << features.bytes;
}

void TestNotesFileDamage::hugeNestedCounts()
{
    QFETCH(int, section);
    QFETCH(QByteArray, record);
    PageModel model;
    CountingFactory counter;
    const NotesFile::ReadResult result = loadCounting(fileWithRecord(section, record), model, counter);
    QVERIFY(result.damaged);
    QCOMPARE(result.pagesRead, 1);
    QCOMPARE(counter.alive, 1);
}

void TestNotesFileDamage::hugePageCountKeepsPresentPages()
{
    RawWriter w;
    w << qint32(7) << qint32(0) << qint32(0x7FFFFFFF);
    writeGoodPage(w, QStringLiteral("one"));
    writeGoodPage(w, QStringLiteral("two"));
    PageModel model;
    const NotesFile::ReadResult result = load(w.bytes, model);
    QVERIFY(result.damaged);
    QCOMPARE(result.pagesDeclared, 0x7FFFFFFF);
    QCOMPARE(result.pagesRead, 2);
    QCOMPARE(model.title(1), QStringLiteral("two"));
}

void TestNotesFileDamage::negativeCountsReadNothing()
{
    // Negative counts read no records and are not damage; the values that follow are read on.
    RawWriter w;
    w << qint32(7) << qint32(0) << qint32(1) << QStringLiteral("neg") << QString() << QString() << QRectF()
      << qint64(-5) << qint64(-1) << qint64(1) << QLineF(0, 0, 1, 1) << QColor(Qt::red) << QPointF()
      << qint64(-1) << qint64(0) << qint64(0) << qint64(0);
    PageModel model;
    const NotesFile::ReadResult result = load(w.bytes, model);
    QVERIFY(!result.damaged);
    QCOMPARE(result.pagesRead, 1);
    QCOMPARE(model.scene(0)->items().size(), 1);

    RawWriter negativePages;
    negativePages << qint32(7) << qint32(0) << qint32(-3);
    PageModel none;
    const NotesFile::ReadResult empty = load(negativePages.bytes, none);
    QVERIFY(!empty.damaged);
    QCOMPARE(empty.pagesRead, 0);
}

void TestNotesFileDamage::corruptValues_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QByteArray>("record");

    QByteArray badColor = boxRecord(QColor(Qt::red), Qt::SolidLine);
    badColor[32] = 9; // colour spec byte after the rectangle
    QTest::newRow("colour spec 9") << 3 << badColor;
    QTest::newRow("pen style 42") << 4 << boxRecord(QColor(Qt::red), 42);
    QTest::newRow("pen style -1") << 3 << boxRecord(QColor(Qt::red), -1);

    using E = QPair<qint32, QPointF>;
    QTest::newRow("path starts with a line") << 5 << lineRecord(pathBytes({E(1, {0, 0}), E(1, {1, 1})}));
    QTest::newRow("curve without its data")
        << 6 << lineRecord(pathBytes({E(0, {0, 0}), E(2, {1, 1}), E(3, {2, 2})}));
    QTest::newRow("curve data alone") << 6 << lineRecord(pathBytes({E(0, {0, 0}), E(3, {1, 1})}));
    QTest::newRow("element type 7") << 5 << lineRecord(pathBytes({E(0, {0, 0}), E(7, {1, 1})}));
    QTest::newRow("subpath start out of range")
        << 5 << lineRecord(pathBytes({E(0, {0, 0}), E(1, {1, 1})}, 2));
    QTest::newRow("fill rule 5") << 5 << lineRecord(pathBytes({E(0, {0, 0}), E(1, {1, 1})}, 0, 5));

    RawWriter notPng;
    notPng << QPointF() << qint32(1);
    notPng.raw(QByteArray("this is not a picture at all, only text", 39));
    notPng << qint64(0);
    QTest::newRow("picture that is not a PNG") << 0 << notPng.bytes;

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        solidPixmap(4, 4, Qt::red).save(&buffer, "PNG");
    }
    QByteArray hugeChunk = png;
    hugeChunk.replace(8, 4, QByteArray::fromHex("7FFFFFF0")); // the IHDR length
    RawWriter longChunk;
    longChunk << QPointF() << qint32(1);
    longChunk.raw(hugeChunk);
    longChunk << qint64(0);
    QTest::newRow("PNG chunk longer than the file") << 0 << longChunk.bytes;

    QByteArray badCrc = png;
    badCrc[29] = char(badCrc[29] ^ 0x55); // inside the IHDR checksum; libpng reports it on stderr
    RawWriter brokenPng;
    brokenPng << QPointF() << qint32(1);
    brokenPng.raw(badCrc);
    brokenPng << qint64(0);
    QTest::newRow("PNG with a broken checksum") << 0 << brokenPng.bytes;

    QByteArray badLayer = encoded(layer(QStringLiteral("Top"), 1));
    badLayer[4 + 4 + 6 + 4 + 5 * 11] = 9; // spec of the sixth colour (number, name, comment first)
    RawWriter layerColour;
    layerColour << QPointF() << QPixmap() << qint64(1);
    layerColour.raw(badLayer);
    QTest::newRow("layer colour spec 9") << 0 << layerColour.bytes;

    QByteArray oddName = encoded(layer(QStringLiteral("Top"), 1));
    oddName[7] = 5; // name length
    RawWriter layerName;
    layerName << QPointF() << QPixmap() << qint64(1);
    layerName.raw(oddName);
    QTest::newRow("layer name of odd length") << 0 << layerName.bytes;

    RawWriter tagZero;
    textUpToFontTail(tagZero);
    tagZero << quint32(1) << quint32(0) << quint32(1) << quint32(0);
    tagZero << QColor(Qt::black) << QPointF() << double(0) << qint32(1);
    QTest::newRow("font feature tag 0") << 1 << tagZero.bytes;
}

void TestNotesFileDamage::corruptValues()
{
    QFETCH(int, section);
    QFETCH(QByteArray, record);
    PageModel model;
    CountingFactory counter;
    const NotesFile::ReadResult result = loadCounting(fileWithRecord(section, record), model, counter);
    QVERIFY(result.damaged);
    QCOMPARE(result.pagesRead, 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(counter.alive, 1);
}

void TestNotesFileDamage::messageNamesPagesRead()
{
    PageModel model;
    const QByteArray bytes = fileWithCount(2, Huge);
    const NotesFile::ReadResult result = load(bytes, model);
    QVERIFY(result.damaged);
    QVERIFY(result.damageOffset > 12);
    QCOMPARE(result.message,
             QStringLiteral("Reading stopped at byte %1 of %2: the file ends before the data it "
                            "announces.")
                 .arg(result.damageOffset)
                 .arg(bytes.size()));

    QByteArray corrupt = fileWithRecord(4, boxRecord(QColor(Qt::red), 42));
    const NotesFile::ReadResult invalid = load(corrupt, model);
    QVERIFY(invalid.message.endsWith(QLatin1String("a value there is not valid.")));
}

QTEST_MAIN(TestNotesFileDamage)
#include "tst_notesfiledamage.moc"
