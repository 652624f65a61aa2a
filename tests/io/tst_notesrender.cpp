// The export render layer on its own: how pictures go into a PDF, cancelled and failed writes,
// and the comment file's bytes.

#include "io/notesrender.h"
#include "notestestkit.h"
#include "scene/dialogs.h"
#include "scene/notesrectangleitem.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

namespace {

// Cancels once the work reports `after` steps.
class CancellingProgress : public Progress
{
public:
    explicit CancellingProgress(int after)
        : after(after)
    {
    }
    bool advance(int done) override { return !(stopped = stopped || done >= after); }
    void setLabel(const QString &) override {}
    bool cancelled() const override { return stopped; }

private:
    int after;
    bool stopped = false;
};

// A board-like picture: flat colours with tracks and some noise, so that it compresses as real
// screenshots do (neither trivially nor not at all).
QImage boardPicture(const QSize &size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(20, 40, 90));
    QPainter painter(&image);
    QRandomGenerator random(seed);
    for (int i = 0; i < 300; ++i) {
        painter.setPen(QPen(QColor::fromHsv(random.bounded(360), 200, 230), 1 + random.bounded(6)));
        painter.drawLine(random.bounded(size.width()), random.bounded(size.height()),
                         random.bounded(size.width()), random.bounded(size.height()));
    }
    for (int i = 0; i < 2000; ++i)
        image.setPixel(random.bounded(size.width()), random.bounded(size.height()), random.generate() | 0xFF000000);
    return image;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const QPageLayout A4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10));

} // namespace

class TestNotesRender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void picturesGoInOnceAndLossless();
    void cancelledPdfLeavesPreviousFile();
    void unwritablePdf();
    void imageSetCountsFailures_data();
    void imageSetCountsFailures();
    void cancelledImageSetRemovesWhatItMade();
    void pageImageAtPictureSize();
    void commentReadsBackAsTyped_data();
    void commentReadsBackAsTyped();

private:
    // A page with an opaque picture and a rectangle on it.
    NotesScene *addPicturePage(const QString &title, const QImage &picture, const QString &comment = {});

    std::unique_ptr<TestKit::PageModel> model;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestNotesRender::init()
{
    model = std::make_unique<TestKit::PageModel>();
    dir = std::make_unique<QTemporaryDir>();
}

NotesScene *TestNotesRender::addPicturePage(const QString &title, const QImage &picture, const QString &comment)
{
    NotesScene *scene = model->appendPage(title, QStringLiteral("01.02.2024 10:30"), comment);
    scene->addItem(new QGraphicsPixmapItem(QPixmap::fromImage(picture)));
    auto *rect = new NotesRectangleItem(QRectF(20, 20, 120, 80), Qt::red, 3, Qt::SolidLine, nullptr);
    scene->addItem(rect);
    return scene;
}

void TestNotesRender::picturesGoInOnceAndLossless()
{
    // Large pictures on several pages, one of them shown on two pages.
    qint64 png = 0;
    for (int i = 0; i < 3; ++i) {
        const QImage picture = boardPicture(QSize(1600, 1000), quint32(i + 1));
        png += pngBytes(picture).size();
        addPicturePage(QStringLiteral("Page %1").arg(i + 1), picture);
    }
    QList<NotesRender::PageContent> pages = NotesRender::allPages(*model);
    pages.append(pages.first());
    const QString file = dir->filePath(QStringLiteral("pictures.pdf"));
    QCOMPARE(NotesRender::writePdf(file, A4, 1200, pages, {}).outcome, NotesRender::Outcome::Written);

    QFile pdfFile(file);
    QVERIFY(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray pdf = pdfFile.readAll();
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 4);
    // One image object per picture, kept at its own pixel size, deflated rather than JPEG.
    QCOMPARE(pdf.count("/Subtype /Image"), 3);
    QCOMPARE(pdf.count("/DCTDecode"), 0);
    QCOMPARE(pdf.count("/Width 1600"), 3);
    QVERIFY2(pdf.size() <= png * 3 / 2 + 64 * 1024,
             qPrintable(QStringLiteral("PDF %1 bytes, pictures %2 PNG bytes").arg(pdf.size()).arg(png)));
}

void TestNotesRender::cancelledPdfLeavesPreviousFile()
{
    for (int i = 0; i < 4; ++i)
        addPicturePage(QStringLiteral("P%1").arg(i), boardPicture(QSize(300, 200), 7));
    const QString file = dir->filePath(QStringLiteral("old.pdf"));
    QFile previous(file);
    QVERIFY(previous.open(QIODevice::WriteOnly));
    previous.write("previous");
    previous.close();

    CancellingProgress progress(2);
    QCOMPARE(NotesRender::writePdf(file, A4, 300, NotesRender::allPages(*model), {}, &progress).outcome,
             NotesRender::Outcome::Cancelled);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), QByteArray("previous"));
    // Nothing else was left in the folder (no temporary file either).
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("old.pdf")});
}

void TestNotesRender::unwritablePdf()
{
    addPicturePage(QStringLiteral("P"), boardPicture(QSize(300, 200), 7));
    const NotesRender::PdfResult result = NotesRender::writePdf(
        dir->filePath(QStringLiteral("missing/x.pdf")), A4, 300, NotesRender::allPages(*model), {});
    QCOMPARE(result.outcome, NotesRender::Outcome::Failed);
    QVERIFY(!result.errorString.isEmpty());
}

void TestNotesRender::imageSetCountsFailures_data()
{
    QTest::addColumn<QString>("subfolder");
    QTest::addColumn<QStringList>("blocked"); // names taken by folders, so even root cannot write them
    QTest::addColumn<int>("failed");
    // Two pages with title, date and comment: 8 files.
    QTest::newRow("missing folder") << QStringLiteral("missing") << QStringList() << 8;
    QTest::newRow("two names taken") << QString() << QStringList{"image_2.png", "comment_1.html"} << 2;
    QTest::newRow("all writable") << QString() << QStringList() << 0;
}

void TestNotesRender::imageSetCountsFailures()
{
    QFETCH(QString, subfolder);
    QFETCH(QStringList, blocked);
    QFETCH(int, failed);
    addPicturePage(QStringLiteral("One"), boardPicture(QSize(200, 100), 1), QStringLiteral("<p>a</p>"));
    addPicturePage(QStringLiteral("Two"), boardPicture(QSize(200, 100), 2), QStringLiteral("<p>b</p>"));
    for (const QString &name : blocked)
        QVERIFY(QDir(dir->path()).mkdir(name));
    const QString target = subfolder.isEmpty() ? dir->path() : dir->filePath(subfolder);
    const NotesRender::ImageSetResult result =
        NotesRender::writeImageSet(target, NotesRender::allPages(*model), {});
    QCOMPARE(result.failed, failed);
    QCOMPARE(result.written.size(), 8 - failed);
    QCOMPARE(result.outcome, failed ? NotesRender::Outcome::Failed : NotesRender::Outcome::Written);
    for (const QString &path : result.written)
        QVERIFY2(QFileInfo(path).isFile() && QFileInfo(path).size() > 0, qPrintable(path));
}

void TestNotesRender::cancelledImageSetRemovesWhatItMade()
{
    for (int i = 0; i < 3; ++i)
        addPicturePage(QStringLiteral("T%1").arg(i), boardPicture(QSize(200, 100), 3));
    // A file from before that the export replaces, and one it does not touch.
    for (const char *name : {"title_1.txt", "notes.txt"}) {
        QFile file(dir->filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    CancellingProgress progress(2);
    const NotesRender::ImageSetResult result =
        NotesRender::writeImageSet(dir->path(), NotesRender::allPages(*model), {}, &progress);
    QCOMPARE(result.outcome, NotesRender::Outcome::Cancelled);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files, QDir::Name),
             QStringList({QStringLiteral("notes.txt"), QStringLiteral("title_1.txt")}));
}

void TestNotesRender::pageImageAtPictureSize()
{
    const QImage picture = boardPicture(QSize(321, 123), 5);
    NotesScene *scene = addPicturePage(QStringLiteral("P"), picture);
    // An annotation reaching beyond the picture does not change the image's extent.
    scene->addItem(new NotesRectangleItem(QRectF(300, 100, 200, 200), Qt::red, 3, Qt::SolidLine, nullptr));
    QCOMPARE(NotesRender::pictureSize(scene), QSize(321, 123));
    const QImage image = NotesRender::renderPageImage(scene);
    QCOMPARE(image.size(), QSize(321, 123));
    // Away from the annotations the picture is reproduced pixel for pixel.
    QCOMPARE(image.copy(200, 0, 90, 15).convertToFormat(QImage::Format_RGB32),
             picture.copy(200, 0, 90, 15).convertToFormat(QImage::Format_RGB32));
    QVERIFY(image.pixel(20, 50) != picture.pixel(20, 50)); // the rectangle's left edge
    QCOMPARE(NotesRender::renderPageImage(scene, QSize(640, 480)).size(), QSize(640, 480));
}

void TestNotesRender::commentReadsBackAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("Latin-1") << QStringLiteral("Résumé: Lötstopp über Pad");
    QTest::newRow("Greek and CJK") << QStringLiteral("Ω ≥ 3 µm, 基板の確認");
    QTest::newRow("outside the basic plane") << QStringLiteral("done 😀 — ok");
}

void TestNotesRender::commentReadsBackAsTyped()
{
    QFETCH(QString, typed);
    // The HTML as the comment editor writes it, charset declaration included.
    QTextDocument typedDocument;
    typedDocument.setPlainText(typed);
    const QString html = typedDocument.toHtml();
    QVERIFY(html.contains(QLatin1String("charset=\"utf-8\"")));

    const QByteArray bytes = NotesRender::commentHtmlBytes(html);
    // What a browser does: take the declared charset and decode the bytes with it.
    const QRegularExpression declared(QStringLiteral("charset=\"?([A-Za-z0-9_\\-]+)"));
    const QRegularExpressionMatch match = declared.match(QString::fromLatin1(bytes));
    QVERIFY(match.hasMatch());
    QStringDecoder decoder(match.captured(1).toUtf8().constData());
    QVERIFY2(decoder.isValid(), qPrintable(match.captured(1)));
    const QString decoded = decoder(bytes);
    QVERIFY(!decoder.hasError());
    QTextDocument readBack;
    readBack.setHtml(decoded);
    QCOMPARE(readBack.toPlainText(), typed);
}

QTEST_MAIN(TestNotesRender)
#include "tst_notesrender.moc"
