// The export render layer on its own: how pictures go into a PDF, cancelled and failed writes,
// and the comment file's bytes.

#include "io/notesrender.h"
#include "io/pdfpictures.h"
#include "notestestkit.h"
#include "scene/dialogs.h"
#include "scene/notespictureitem.h"
#include "scene/notesrectangleitem.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
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

// A picture of one of the kinds the PNG encoder writes; the name says which.
QImage pictureOfKind(const QString &kind, quint32 seed)
{
    const QImage board = boardPicture(QSize(160, 100), seed);
    if (kind == QLatin1String("grey"))
        return board.convertToFormat(QImage::Format_Grayscale8);
    if (kind.startsWith(QLatin1String("palette"))) {
        QImage indexed = board.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        if (kind.endsWith(QLatin1String("transparent"))) // one entry see-through: a tRNS chunk
            indexed.setColor(
                0, qRgba(qRed(indexed.color(0)), qGreen(indexed.color(0)), qBlue(indexed.color(0)), 0));
        return indexed;
    }
    if (kind == QLatin1String("alpha")) {
        QImage translucent = board.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < translucent.height(); ++y)
            for (int x = 0; x < translucent.width() / 2; ++x)
                translucent.setPixel(x, y, (translucent.pixel(x, y) & 0x00FFFFFF) | (uint(x * 3) << 24));
        return translucent;
    }
    if (kind == QLatin1String("16 bits"))
        return board.convertToFormat(QImage::Format_RGBX64);
    return board;
}

// The pages of a PDF as poppler renders them at one pixel per point; none when it had to repair
// the document or complained about it.
QList<QImage> popplerPages(const QString &pdf, const QString &prefix)
{
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), pdf, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0 ||
        !process.readAllStandardError().isEmpty())
        return {};
    QList<QImage> pages;
    const QFileInfo base(prefix);
    for (const QString &name :
         QDir(base.path()).entryList({base.fileName() + QStringLiteral("-*.png")}, QDir::Files, QDir::Name))
        pages.append(QImage(base.path() + QLatin1Char('/') + name).convertToFormat(QImage::Format_RGB32));
    return pages;
}

// The page count pdfinfo reports; -1 when it complained about the document.
int pdfPageCount(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    if (!process.waitForFinished(60000) || process.exitCode() != 0 ||
        !process.readAllStandardError().isEmpty())
        return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(QString::fromLatin1(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// True when startxref gives the cross-reference table and each of its entries in use gives where
// its object starts (readers repair a wrong table silently).
bool crossReferencesRight(const QByteArray &pdf)
{
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    const QList<QByteArray> tail = pdf.mid(startxref).split('\n');
    if (startxref < 0 || tail.size() < 3 || tail.at(2) != "%%EOF")
        return false;
    const qsizetype table = tail.at(1).trimmed().toLongLong();
    const QList<QByteArray> lines = pdf.mid(table, startxref - table).split('\n');
    if (lines.size() < 3 || lines.at(0) != "xref" || !lines.at(1).startsWith("0 "))
        return false;
    const int count = lines.at(1).mid(2).toInt();
    if (count < 2 || lines.size() < count + 3 || lines.at(count + 2) != "trailer")
        return false;
    for (int n = 1; n < count; ++n) {
        const QByteArray &entry = lines.at(n + 2);
        if (entry.size() != 19 || !entry.endsWith(" 00000 n "))
            return false;
        const qsizetype offset = entry.left(10).toLongLong();
        if (offset >= table ||
            !QByteArrayView(pdf).sliced(offset).startsWith(QByteArray::number(n) + " 0 obj\n"))
            return false;
    }
    return true;
}

// What a pixel of the picture shows on a white page.
QRgb onWhite(QRgb pixel)
{
    const int alpha = qAlpha(pixel);
    auto channel = [alpha](int value) { return (value * alpha + 255 * (255 - alpha) + 127) / 255; };
    return qRgb(channel(qRed(pixel)), channel(qGreen(pixel)), channel(qBlue(pixel)));
}

} // namespace

class TestNotesRender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void picturesGoInOnceAndLossless();
    void pngDataGoesInAsItIs_data();
    void pngDataGoesInAsItIs();
    void pictureRewriteRefusesTheUnexpected_data();
    void pictureRewriteRefusesTheUnexpected();
    void placeholdersOnlyOnTheScopesDevice();
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

void TestNotesRender::pngDataGoesInAsItIs_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("passed"); // pictures whose PNG data goes in as it is
    // kinds as pictureOfKind makes them; their PNG headers are checked below
    QTest::newRow("RGB") << "RGB" << "RGB" << 2;
    QTest::newRow("grey") << "grey" << "grey" << 2;
    QTest::newRow("palette") << "palette" << "palette" << 2;
    QTest::newRow("RGB beside RGB with alpha") << "RGB" << "alpha" << 1;
    QTest::newRow("16 bits a sample") << "16 bits" << "16 bits" << 0;
    QTest::newRow("palette with a see-through entry") << "palette transparent" << "palette transparent" << 0;
}

void TestNotesRender::pngDataGoesInAsItIs()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, passed);
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
             "pdftoppm and pdfinfo (poppler-utils, see scripts/install-deps.sh) read the PDF");

    // Two pictures as read from a file, placed off the scene origin, each with a drawing on it;
    // the first page is printed again at the end.
    const QPoint offset(3, 2);
    QList<QByteArray> pngs;
    QList<QRectF> drawings;
    qint64 pngTotal = 0;
    for (const QString &kind : {first, second}) {
        const QByteArray png = pngBytes(pictureOfKind(kind, quint32(pngs.size() + 1)));
        // IHDR bit depth and colour type, so that each row is the kind it is named after.
        const int depth = uchar(png.at(24));
        const int colourType = uchar(png.at(25));
        const QMap<QString, std::pair<int, int>> header{
            {"RGB", {8, 2}},   {"grey", {8, 0}},     {"palette", {8, 3}},
            {"alpha", {8, 6}}, {"16 bits", {16, 2}}, {"palette transparent", {8, 3}}};
        QCOMPARE(std::make_pair(depth, colourType), header.value(kind));
        QCOMPARE(png.contains("tRNS"), kind == QLatin1String("palette transparent"));
        pngs.append(png);
        pngTotal += png.size();
        NotesScene *scene = model->appendPage(QStringLiteral("Page %1").arg(pngs.size()));
        auto *picture = new NotesPictureItem(png, NotesPictureItem::pngSize(png));
        picture->setOffset(offset);
        scene->addItem(picture);
        auto *rect = new NotesRectangleItem(QRectF(100, 10 + 40 * pngs.size(), 40, 30), Qt::red, 3,
                                            Qt::SolidLine, nullptr);
        scene->addItem(rect);
        drawings.append(rect->sceneBoundingRect().adjusted(-3, -3, 3, 3));
    }
    QList<NotesRender::PageContent> pages = NotesRender::allPages(*model);
    pages.append(pages.first());

    // One point a pixel; each picture pixel painted as a block of 4 x 4 at a known place (poppler
    // smooths pictures enlarged less than four times).
    constexpr int Scale = 4;
    const QSize size = NotesPictureItem::pngSize(pngs.first());
    const QPointF origin(10, 80);
    const QSizeF source(size.width() + offset.x(), size.height() + offset.y());
    NotesRender::PdfOptions options;
    options.sceneRenderer = [&](QPainter &painter, const QRectF &, QGraphicsScene *scene) {
        scene->render(&painter, QRectF(origin, source * Scale), QRectF(QPointF(0, 0), source),
                      Qt::IgnoreAspectRatio);
    };
    const QPageLayout layout(
        QPageSize(QSize(int(source.width()) * Scale + 20, int(source.height()) * Scale + 100),
                  QPageSize::Point, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    const QString file = dir->filePath(QStringLiteral("kinds.pdf"));
    QCOMPARE(NotesRender::writePdf(file, layout, 72, pages, options).outcome, NotesRender::Outcome::Written);

    QFile pdfFile(file);
    QVERIFY(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray pdf = pdfFile.readAll();
    QCOMPARE(int(pdf.count("/Predictor 15")), passed);
    if (passed == 2) {
        QCOMPARE(int(pdf.count("/Subtype /Image")), 2);
        QVERIFY2(
            pdf.size() <= pngTotal * 3 / 2 + 32 * 1024,
            qPrintable(QStringLiteral("PDF %1 bytes, pictures %2 PNG bytes").arg(pdf.size()).arg(pngTotal)));
    }
    QVERIFY(crossReferencesRight(pdf));
    QCOMPARE(pdfPageCount(file), 3);

    const QList<QImage> rendered = popplerPages(file, dir->filePath(QStringLiteral("page")));
    QCOMPARE(rendered.size(), 3);
    for (int page = 0; page < 3; ++page) {
        const int picture = page == 1 ? 1 : 0;
        const QImage original =
            NotesPictureItem::decodePng(pngs.at(picture)).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!original.isNull());
        int compared = 0;
        for (int y = 0; y < size.height(); y += 3) {
            for (int x = 0; x < size.width(); x += 3) {
                const QPointF scenePoint(x + offset.x() + 0.5, y + offset.y() + 0.5);
                if (drawings.at(picture).contains(scenePoint))
                    continue;
                // The middle of the pixel's block.
                const QPoint at =
                    (origin + QPointF(scenePoint.x() * Scale, scenePoint.y() * Scale)).toPoint();
                const QRgb want = onWhite(original.pixel(x, y));
                const QRgb got = rendered.at(page).pixel(at);
                if (std::abs(qRed(want) - qRed(got)) > 2 || std::abs(qGreen(want) - qGreen(got)) > 2 ||
                    std::abs(qBlue(want) - qBlue(got)) > 2)
                    QFAIL(qPrintable(QStringLiteral("page %1, picture pixel (%2, %3): %4 shown, %5 expected")
                                         .arg(page + 1)
                                         .arg(x)
                                         .arg(y)
                                         .arg(got, 6, 16, QLatin1Char('0'))
                                         .arg(want & 0xFFFFFF, 6, 16, QLatin1Char('0'))));
                ++compared;
            }
        }
        QVERIFY(compared > 1000);
    }
}

void TestNotesRender::pictureRewriteRefusesTheUnexpected_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("rewritten");
    QTest::newRow("as the engine wrote it") << QString() << true;
    QTest::newRow("table offset off by one") << "startxref" << false;
    QTest::newRow("an object's entry off by one") << "entry" << false;
    QTest::newRow("placeholder of another export") << "other export" << false;
}

void TestNotesRender::pictureRewriteRefusesTheUnexpected()
{
    QFETCH(QString, damage);
    QFETCH(bool, rewritten);
    const QByteArray png = pngBytes(boardPicture(QSize(120, 80), 9));
    NotesScene *scene = model->appendPage(QStringLiteral("P"));
    scene->addItem(new NotesPictureItem(png, NotesPictureItem::pngSize(png)));

    QByteArray pdf;
    std::optional<PdfPictureScope> pictures;
    std::optional<PdfPictureScope> other;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        pictures.emplace(&writer);
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::LosslessImageRendering);
        scene->render(&painter);
        if (damage == QLatin1String("other export")) {
            // A second export's scope that painted the same picture elsewhere.
            QImage image(10, 10, QImage::Format_RGB32);
            other.emplace(&image);
            QPainter imagePainter(&image);
            scene->render(&imagePainter);
        }
    }
    QCOMPARE(pictures->pictures().size(), 1);
    const PdfPictureScope &used = other ? *other : *pictures;
    QCOMPARE(used.pictures().size(), 1);

    if (damage == QLatin1String("startxref")) {
        const qsizetype at = pdf.lastIndexOf("startxref\n") + 10;
        const qsizetype end = pdf.indexOf('\n', at);
        pdf.replace(at, end - at, QByteArray::number(pdf.mid(at, end - at).trimmed().toLongLong() + 1));
    } else if (damage == QLatin1String("entry")) {
        const qsizetype table = pdf.lastIndexOf("xref\n0 ");
        const qsizetype second = pdf.indexOf('\n', pdf.indexOf('\n', pdf.indexOf('\n', table) + 1) + 1) + 1;
        const QByteArray offset =
            QByteArray::number(pdf.mid(second, 10).toLongLong() + 1).rightJustified(10, '0');
        pdf.replace(second, 10, offset);
    }
    const QByteArray before = pdf;
    QCOMPARE(PdfPictures::insertPictures(pdf, used), rewritten);
    if (!rewritten) {
        QCOMPARE(pdf, before);
        return;
    }
    QCOMPARE(int(pdf.count("/Predictor 15")), 1);
    QVERIFY(crossReferencesRight(pdf));
    const QString file = dir->filePath(QStringLiteral("rewritten.pdf"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(pdf);
    out.close();
    QCOMPARE(pdfPageCount(file), 1);
}

void TestNotesRender::placeholdersOnlyOnTheScopesDevice()
{
    const QImage board = boardPicture(QSize(60, 40), 4);
    const QByteArray png = pngBytes(board);
    NotesPictureItem item(png, NotesPictureItem::pngSize(png));
    auto painted = [&](QImage &image) {
        image.fill(Qt::white);
        QPainter painter(&image);
        item.paint(&painter, nullptr, nullptr);
        painter.end();
        return image.convertToFormat(QImage::Format_RGB32) == board.convertToFormat(QImage::Format_RGB32);
    };
    QImage screen(board.size(), QImage::Format_RGB32);
    QImage other(board.size(), QImage::Format_RGB32);
    {
        std::optional<PdfPictureScope> outer(&other);
        std::optional<PdfPictureScope> inner(&screen);
        QVERIFY(!painted(screen)); // the placeholder, stretched
        QCOMPARE(inner->pictures().size(), 1);
        outer.reset(); // ended before the inner one
        QVERIFY(!painted(screen));
        inner.reset();
        QVERIFY(painted(screen));
        QVERIFY(painted(other));
        PdfPictureScope elsewhere(&other);
        QVERIFY(painted(screen));
        QVERIFY(elsewhere.pictures().isEmpty());
    }
    QVERIFY(painted(screen));
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
