// The window's icons are looked up by fixed resource paths; every one must resolve, from an
// executable that only links quill_resources, to a real drawing of a usable size.

#include "resources/appicon.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

namespace {

// Share of pixels that are not fully transparent.
double coverage(const QImage &img)
{
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    qint64 inked = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) > 0)
                ++inked;
    return double(inked) / (argb.width() * argb.height());
}

QByteArray pixelHash(const QImage &img)
{
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (int y = 0; y < argb.height(); ++y)
        h.addData(QByteArrayView(reinterpret_cast<const char *>(argb.constScanLine(y)), argb.width() * 4));
    return h.result();
}

struct IconPath
{
    const char *path;
    QSize size;
};

// The toolbar and colour-button pictures, by the paths the window uses.
const IconPath kWindowIcons[] = {
    {":/Images/Images/pointer.png", {48, 48}},
    {":/Images/Images/Arrow.png", {48, 48}},
    {":/Images/Images/textpointer.png", {48, 48}},
    {":/Images/Images/Circle.png", {48, 48}},
    {":/Images/Images/Roundedrectangle.png", {48, 48}},
    {":/Images/Images/Line.png", {48, 48}},
    {":/Images/Images/Curve.png", {48, 48}},
    {":/Images/Images/file_pdf.png", {48, 48}},
    {":Images/Images/repaint.png", {48, 48}},
    {":/Images/Images/remove.png", {48, 48}},
    {":/Images/Images/bold.png", {48, 48}},
    {":/Images/Images/italic.png", {48, 48}},
    {":/Images/Images/underline.png", {48, 48}},
    {":/Images/Images/Undo.png", {48, 48}},
    {":/Images/Images/Redo.png", {48, 48}},
    // The colour buttons copy exactly 42 x 43 pixels of these.
    {":/textpointer.png", {42, 43}},
    {":/linecolor.png", {42, 43}},
    {":/linewidth.png", {48, 48}},
    {":/linestyle.png", {48, 48}},
    {":/icons/quillmark.png", {256, 256}},
};

} // namespace

class TestIcons : public QObject
{
    Q_OBJECT

private slots:
    void loads_data();
    void loads();
    void colonWithoutSlashMatchesRootPath();
    void everyPictureIsDistinct();
    void colorButtonShowsPictureAboveBand_data();
    void colorButtonShowsPictureAboveBand();
    void applicationIconHasEverySize_data();
    void applicationIconHasEverySize();
};

void TestIcons::loads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const IconPath &icon : kWindowIcons)
        QTest::newRow(icon.path) << QString::fromLatin1(icon.path) << icon.size;
}

void TestIcons::loads()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QVERIFY2(QFile::exists(path), qPrintable(path));
    const QPixmap pixmap(path);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), size);

    const QImage img = pixmap.toImage();
    QVERIFY(img.hasAlphaChannel());
    // Transparent background: the corners stay clear (the PDF page and the app sheet keep a margin).
    QCOMPARE(qAlpha(img.pixel(0, img.height() - 1)), 0);
    QCOMPARE(qAlpha(img.pixel(img.width() - 1, img.height() - 1)), 0);
    // A drawing, neither blank nor a filled square.
    const double inked = coverage(img);
    QVERIFY2(inked > 0.08 && inked < 0.8, qPrintable(QString::number(inked)));

    // As the toolbars show it.
    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    const QPixmap small = icon.pixmap(QSize(24, 24));
    QVERIFY(!small.isNull());
    QVERIFY(small.width() <= 24 && small.height() <= 24);
    QVERIFY(coverage(small.toImage()) > 0.08);
}

void TestIcons::colonWithoutSlashMatchesRootPath()
{
    const QImage odd(QStringLiteral(":Images/Images/repaint.png"));
    const QImage rooted(QStringLiteral(":/Images/Images/repaint.png"));
    QVERIFY(!odd.isNull());
    QCOMPARE(odd, rooted);
    QVERIFY(!QIcon(QStringLiteral(":Images/Images/repaint.png")).pixmap(QSize(24, 24)).isNull());
}

void TestIcons::everyPictureIsDistinct()
{
    QHash<QByteArray, QString> seen;
    for (const IconPath &icon : kWindowIcons) {
        const QString path = QString::fromLatin1(icon.path);
        const QByteArray hash = pixelHash(QImage(path));
        QVERIFY2(!seen.contains(hash), qPrintable(path + QStringLiteral(" repeats ") + seen.value(hash)));
        seen.insert(hash, path);
    }
}

void TestIcons::colorButtonShowsPictureAboveBand_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("text colour") << QStringLiteral(":/textpointer.png");
    QTest::newRow("figure colour") << QStringLiteral(":/linecolor.png");
}

// The colour buttons draw the picture's 42 x 43 top-left into a 50 x 80 pixmap over a colour band;
// the picture must fill that area and leave the band alone.
void TestIcons::colorButtonShowsPictureAboveBand()
{
    QFETCH(QString, path);
    QImage button(50, 80, QImage::Format_ARGB32_Premultiplied);
    button.fill(Qt::transparent);
    {
        QPainter p(&button);
        p.fillRect(QRect(0, 60, 50, 20), Qt::red);
        p.drawPixmap(QRect(4, 0, 42, 43), QPixmap(path), QRect(0, 0, 42, 43));
    }
    const double picture = coverage(button.copy(4, 0, 42, 43));
    QVERIFY2(picture > 0.2, qPrintable(QString::number(picture)));
    QCOMPARE(coverage(button.copy(0, 43, 50, 17)), 0.0);
    QCOMPARE(button.pixelColor(25, 70), QColor(Qt::red));
}

void TestIcons::applicationIconHasEverySize_data()
{
    QTest::addColumn<int>("size");
    for (int s : {16, 24, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QString::number(s))) << s;
}

void TestIcons::applicationIconHasEverySize()
{
    QFETCH(int, size);
    const QIcon icon = quillApplicationIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QPixmap pixmap = icon.pixmap(QSize(size, size));
    QCOMPARE(pixmap.size(), QSize(size, size));
    QVERIFY(coverage(pixmap.toImage()) > 0.3);
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
