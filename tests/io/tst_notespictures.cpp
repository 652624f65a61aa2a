// Pictures in notes files: sizes a file may claim, large pictures that must still round-trip,
// bytes kept from the file and written back unchanged, and the bounded cache of decoded pictures.

#include "notestestkit.h"

#include "scene/notespictureitem.h"

#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace TestKit;

namespace {

// The PNG checksum (CRC-32 of ISO 3309), bit by bit.
quint32 pngCrc(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1u) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray chunk(const char *type, const QByteArray &data)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), bytes.data());
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(pngCrc(QByteArray(type, 4) + data), crc.data());
    return bytes + QByteArray(type, 4) + data + crc;
}

// A PNG whose header claims width x height but whose data is a few bytes: what a hostile file
// holds to make a reader allocate without paying for it in file size.
QByteArray claimingPng(quint32 width, quint32 height)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8; // bit depth
    ihdr[9] = 2; // RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", QByteArray(16, '\0')) +
           chunk("IEND", QByteArray());
}

QByteArray encoded(const QImage &image, int compression)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(compression);
    writer.write(image);
    return png;
}

// A format 7 file of one page per PNG, each page holding just that picture.
QByteArray fileOfPictures(const QList<QByteArray> &pngs)
{
    RawWriter w;
    w << qint32(7) << qint32(0) << qint32(pngs.size());
    for (const QByteArray &png : pngs) {
        w << QStringLiteral("page") << QStringLiteral("d") << QStringLiteral("c") << QRectF() << qint64(1) << QPointF(0, 0)
          << qint32(1);
        w.raw(png);
        w << qint64(0);
        for (int i = 0; i < 6; ++i)
            w << qint64(0);
    }
    return w.bytes;
}

NotesPictureItem *pictureOf(const PageModel &model, int row)
{
    const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(model.scene(row));
    return pictures.size() == 1 ? dynamic_cast<NotesPictureItem *>(pictures.first()) : nullptr;
}

} // namespace

class TestNotesPictures : public QObject
{
    Q_OBJECT

private slots:
    void claimedSizes_data();
    void claimedSizes();
    void largePictureRoundTrips();
    void sessionPictureIsFittedToWhatTheReaderReads();
    void resaveKeepsThePictureBytes();
    void damagedPictureBodyKeepsLaterPages();
    void changedLayersAreWrittenFromTheMap();
    void fileSaveAgreesWithTheStream();
    void decodedPicturesAreBounded();
};

void TestNotesPictures::claimedSizes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pages");
    QTest::addColumn<bool>("damaged");

    QTest::newRow("ordinary pictures") << 1920 << 1080 << 5 << false;
    QTest::newRow("beyond the largest picture") << 10000 << 10000 << 1 << true;
    QTest::newRow("an edge beyond the largest") << 40000 << 10 << 1 << true;
    // Each of these claims 25 million pixels for about 60 bytes of file.
    QTest::newRow("more pixels than the file can hold") << 5000 << 5000 << 10 << true;
}

void TestNotesPictures::claimedSizes()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, pages);
    QFETCH(bool, damaged);

    PageModel model;
    const QList<QByteArray> pngs(pages, claimingPng(quint32(width), quint32(height)));
    const NotesFile::ReadResult result = load(fileOfPictures(pngs), model);
    QCOMPARE(result.damaged, damaged);
    if (!damaged) {
        QCOMPARE(result.pagesRead, pages);
        // Nothing is decoded to read a file; the size comes from the header.
        QCOMPARE(pictureOf(model, 0)->pictureSize(), QSize(width, height));
        QVERIFY(!pictureOf(model, 0)->isDecoded());
        return;
    }
    // The pages before the picture that broke the budget are kept, and the warning says why.
    QVERIFY(result.pagesRead < pages);
    QCOMPARE(model.rowCount(), result.pagesRead);
    QVERIFY2(result.message.contains(QStringLiteral("%1 x %2").arg(width).arg(height)), qPrintable(result.message));
}

void TestNotesPictures::largePictureRoundTrips()
{
    // 5800 x 5800 at 32 bits is beyond the toolkit's default decoding limit of 128 MiB.
    QImage image(5800, 5800, QImage::Format_RGB32);
    image.fill(QColor(20, 90, 160));
    image.setPixelColor(5799, 5799, Qt::yellow);
    PageModel model;
    addPicture(model.appendPage(QStringLiteral("big")), QPixmap::fromImage(image), QPointF(), {}, false);
    image = QImage();

    PageModel loaded;
    const NotesFile::ReadResult result = load(saved(model), loaded);
    QVERIFY2(!result.damaged, qPrintable(result.message));
    const QImage back = pictureOf(loaded, 0)->picture().toImage();
    QCOMPARE(back.size(), QSize(5800, 5800));
    QCOMPARE(back.pixelColor(0, 0), QColor(20, 90, 160));
    QCOMPARE(back.pixelColor(5799, 5799), QColor(Qt::yellow));
}

void TestNotesPictures::sessionPictureIsFittedToWhatTheReaderReads()
{
    QImage wide(40000, 4, QImage::Format_RGB32);
    wide.fill(Qt::red);
    PageModel model;
    addPicture(model.appendPage(QStringLiteral("wide")), QPixmap::fromImage(wide), QPointF(), {}, false);
    const QSize fitted = pictureOf(model, 0)->pictureSize();
    QVERIFY(fitted.width() <= NotesPictureItem::MaxEdge);
    QCOMPARE(fitted.width(), NotesPictureItem::MaxEdge);

    PageModel loaded;
    const NotesFile::ReadResult result = load(saved(model), loaded);
    QVERIFY2(!result.damaged, qPrintable(result.message));
    QCOMPARE(pictureOf(loaded, 0)->picture().size(), fitted);
}

void TestNotesPictures::resaveKeepsThePictureBytes()
{
    // Pictures compressed otherwise than this program would: a re-encoding would show.
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QByteArray file = fileOfPictures({encoded(image, 0), encoded(image.mirrored(), 9)});

    PageModel model;
    QVERIFY(!load(file, model).damaged);
    QCOMPARE(saved(model), file);
    // Reading and writing needed no pixels.
    QVERIFY(!pictureOf(model, 0)->isDecoded());
    QVERIFY(!pictureOf(model, 1)->isDecoded());
    QCOMPARE(pictureOf(model, 1)->picture().toImage().convertToFormat(QImage::Format_RGB32), image.mirrored());
}

void TestNotesPictures::damagedPictureBodyKeepsLaterPages()
{
    const QImage image = solidPixmap(40, 30, Qt::darkGreen).toImage();
    const QByteArray good = encoded(image, 9);
    QByteArray broken = good;
    const qsizetype idat = broken.indexOf("IDAT");
    QVERIFY(idat > 0);
    broken[idat + 6] = char(broken[idat + 6] ^ 0x20); // in the image data: its checksum fails
    const QByteArray file = fileOfPictures({good, broken, good});

    PageModel model;
    const NotesFile::ReadResult result = load(file, model);
    QVERIFY2(!result.damaged, qPrintable(result.message));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(pictureOf(model, 1)->pictureSize(), image.size());
    QVERIFY(pictureOf(model, 1)->picture().isNull()); // shown as a damaged picture
    QCOMPARE(pictureOf(model, 2)->picture().toImage().convertToFormat(QImage::Format_RGB32), image);
    QCOMPARE(saved(model), file); // kept as it was
}

void TestNotesPictures::changedLayersAreWrittenFromTheMap()
{
    PageModel first;
    addPicture(first.appendPage(QStringLiteral("p")), solidPixmap(8, 8, Qt::red), QPointF(), {layer(QStringLiteral("Top"), 1)}, true);
    PageModel second;
    QVERIFY(!load(saved(first), second).damaged);
    // An unchanged map goes back as it was read; a changed one is written from the map.
    QCOMPARE(saved(second), saved(first));
    QGraphicsItem *picture = pictureOf(second, 0);
    QVariantMap map = picture->data(PictureLayersKey).toMap();
    map.insert(QStringLiteral("Top_padvisible"), false);
    map.insert(QStringLiteral("Bottom_number"), 2);
    picture->setData(PictureLayersKey, map);
    PageModel third;
    QVERIFY(!load(saved(second), third).damaged);
    const QVariantMap read = pictureOf(third, 0)->data(PictureLayersKey).toMap();
    QCOMPARE(read.value(QStringLiteral("Top_padvisible")), QVariant(false));
    QCOMPARE(read.value(QStringLiteral("Bottom_number")).toInt(), 2);
}

void TestNotesPictures::fileSaveAgreesWithTheStream()
{
    // Pictures and layer tables large enough to go to the file as blocks of their own, with the
    // tables in the order A A B A: a table equal to the previous picture's is taken over, one
    // that differs is read anew.
    auto table = [](int first, const QColor &color) {
        QList<DsvLayer> layers;
        for (int i = 0; i < 24; ++i)
            layers.append(layer(QStringLiteral("Layer %1").arg(first + i), first + i, color));
        return layers;
    };
    const QList<QList<DsvLayer>> tables{table(1, Qt::red), table(1, Qt::red), table(40, Qt::blue), table(1, Qt::red)};
    QImage noise(96, 96, QImage::Format_RGB32);
    quint32 state = 12345;
    PageModel model;
    for (int page = 0; page < tables.size(); ++page) {
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, (state = state * 1664525u + 1013904223u) >> 8);
        }
        addPicture(model.appendPage(QStringLiteral("p%1").arg(page)), QPixmap::fromImage(noise), QPointF(page, 0),
                   tables[page], true);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("blocks.nts"));
    const QString again = dir.filePath(QStringLiteral("again.nts"));
    QVERIFY(NotesFile::saveNotesFile(path, model).ok);
    QCOMPARE(readFile(path), saved(model));

    PageModel read;
    QVERIFY(!NotesFile::loadNotesFile(path, read, sceneFactory()).damaged);
    for (int page = 0; page < tables.size(); ++page)
        QCOMPARE(pictureOf(read, page)->data(PictureLayersKey).toMap(), layerListToMap(tables[page]));
    QVERIFY(NotesFile::saveNotesFile(again, read).ok);
    QCOMPARE(readFile(again), readFile(path));
}

void TestNotesPictures::decodedPicturesAreBounded()
{
    QImage image(200, 100, QImage::Format_RGB32);
    const qint64 pictureBytes = qint64(image.sizeInBytes());
    QList<QByteArray> pngs;
    for (int i = 0; i < 10; ++i) {
        image.fill(QColor(i * 20, 0, 0));
        pngs.append(encoded(image, -1));
    }
    PageModel model;
    QVERIFY(!load(fileOfPictures(pngs), model).damaged);

    NotesPictureItem::setCacheBudget(3 * pictureBytes);
    for (int row = 0; row < 10; ++row) {
        QCOMPARE(pictureOf(model, row)->picture().toImage().pixelColor(0, 0), QColor(row * 20, 0, 0));
        QVERIFY(NotesPictureItem::cachedBytes() <= 3 * pictureBytes);
    }
    // The least recently shown were dropped, the last ones kept; dropped ones decode again.
    QVERIFY(!pictureOf(model, 0)->isDecoded());
    QVERIFY(pictureOf(model, 9)->isDecoded());
    QCOMPARE(pictureOf(model, 0)->picture().toImage().pixelColor(0, 0), QColor(0, 0, 0));
    NotesPictureItem::setCacheBudget(qint64(96) * 1024 * 1024);
}

QTEST_MAIN(TestNotesPictures)
#include "tst_notespictures.moc"
