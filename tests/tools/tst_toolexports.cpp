// quillmark-tool's pdf and images commands against the window's own exports of the sample, and
// the tool's refusals of outputs it cannot or must not write.

#include "common/scripteddialogs.h"
#include "io/pagemodel.h"
#include "toolrunner.h"
#include "window/wdgnotes.h"

#include <QDir>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

int pdfPageCount(const QByteArray &pdf)
{
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text a reader finds in a PDF (poppler's pdftotext).
QString pdfText(const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Share of pixels that differ by more than a small amount in any channel (antialiasing).
double differingShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) {
            if (std::abs(qRed(p[column]) - qRed(q[column])) > 24 || std::abs(qGreen(p[column]) - qGreen(q[column])) > 24 ||
                std::abs(qBlue(p[column]) - qBlue(q[column])) > 24)
                ++differing;
        }
    }
    return double(differing) / (double(x.width()) * x.height());
}

} // namespace

class TestToolExports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pdfMatchesWindow();
    void pdfOptions_data();
    void pdfOptions();
    void imagesMatchWindow();
    void refusedOutputs_data();
    void refusedOutputs();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    QString sample;
};

void TestToolExports::initTestCase()
{
    QVERIFY(dir.isValid());
    sample = QStringLiteral(QUILL_SAMPLE_FILE);
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext (poppler-utils, see scripts/install-deps.sh) reads the PDF texts");
}

void TestToolExports::pdfMatchesWindow()
{
    ScriptedDialogs::Guard dialogs;
    WdgNotes window(sample, 1);
    const QString fromWindow = path(QStringLiteral("window.pdf"));
    dialogs->fileNames.enqueue(fromWindow);
    dialogs->pageSetupAnswers.enqueue(true);
    dialogs->answers.enqueue(QMessageBox::Yes);
    window.onExportToPdf();
    QVERIFY(dialogs->unexpected.isEmpty());

    const QString fromTool = path(QStringLiteral("tool.pdf"));
    const ToolRun run = runTool({QStringLiteral("pdf"), sample, fromTool});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());

    const int pages = window.model()->rowCount();
    QCOMPARE(pages, 5);
    QCOMPARE(pdfPageCount(readAll(fromWindow)), pages);
    QCOMPARE(pdfPageCount(readAll(fromTool)), pages);
    const QString windowText = pdfText(fromWindow);
    const QString toolText = pdfText(fromTool);
    for (int row = 0; row < pages; ++row) {
        for (int column : {int(Page::TitleColumn), int(Page::DateColumn)}) {
            const QString header = window.model()->item(row, column)->text();
            QVERIFY2(windowText.contains(header), qPrintable(header));
            QVERIFY2(toolText.contains(header), qPrintable(header));
        }
    }
}

void TestToolExports::pdfOptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("mediaBox"); // in points
    QTest::addColumn<bool>("comments");
    QTest::newRow("defaults") << QStringList() << 5 << QStringLiteral("595 842") << false;
    QTest::newRow("one page, Letter, landscape")
        << QStringList{"--page", "2", "--paper", "Letter", "--landscape"} << 1 << QStringLiteral("792 612") << false;
    QTest::newRow("A3 with comments") << QStringList{"--paper", "A3", "--comments"} << 5 << QStringLiteral("842 1191")
                                      << true;
}

void TestToolExports::pdfOptions()
{
    QFETCH(QStringList, options);
    QFETCH(int, pages);
    QFETCH(QString, mediaBox);
    QFETCH(bool, comments);
    const QString out = path(QStringLiteral("options.pdf"));
    const ToolRun run = runTool(QStringList{QStringLiteral("pdf"), sample, out} + options,
                                toolEnvironment(QStringLiteral("86400")));
    QCOMPARE(run.exitCode, 0);
    const QByteArray pdf = readAll(out);
    QCOMPARE(pdfPageCount(pdf), pages);
    const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 (\\d+)[.\\d]* (\\d+)"));
    const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf));
    QVERIFY(match.hasMatch());
    QCOMPARE(match.captured(1) + QLatin1Char(' ') + match.captured(2), mediaBox);
    // The clock comes from SOURCE_DATE_EPOCH.
    QVERIFY(pdf.contains("/CreationDate (D:19700102000000Z)"));
    // The first page's comment begins "First pass over".
    QCOMPARE(pdfText(out).contains(QLatin1String("First pass over")), comments);
}

void TestToolExports::imagesMatchWindow()
{
    ScriptedDialogs::Guard dialogs;
    WdgNotes window(sample, 1);
    window.resize(2400, 1400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QGraphicsView *view = window.view();
    view->resetTransform();
    const QString windowDir = path(QStringLiteral("window-images"));
    QVERIFY(QDir().mkpath(windowDir));
    dialogs->fileNames.enqueue(windowDir);
    window.toSaveImages();

    const QString toolDir = path(QStringLiteral("tool-images"));
    const ToolRun run = runTool({QStringLiteral("images"), sample, toolDir});
    QCOMPARE(run.exitCode, 0);
    QStringList names = QDir(windowDir).entryList(QDir::Files, QDir::Name);
    QCOMPARE(QDir(toolDir).entryList(QDir::Files, QDir::Name), names);
    QCOMPARE(names.filter(QStringLiteral("image_")).size(), 5);

    for (int row = 0; row < window.model()->rowCount(); ++row) {
        const QString number = QString::number(row + 1);
        for (const QString &text : {QStringLiteral("title_%1.txt"), QStringLiteral("date_%1.txt"),
                                    QStringLiteral("comment_%1.html")})
            QCOMPARE(readAll(toolDir + QLatin1Char('/') + text.arg(number)),
                     readAll(windowDir + QLatin1Char('/') + text.arg(number)));
        // The tool draws the page at its picture's size; the window's grab shows the same pixels
        // wherever the view shows them at 1:1.
        const QImage tool(toolDir + QStringLiteral("/image_%1.png").arg(number));
        QGraphicsScene *scene =
            qvariant_cast<QGraphicsScene *>(window.model()->item(row, Page::SceneColumn)->data(Page::SceneRole));
        QRectF pictures;
        for (QGraphicsItem *item : scene->items())
            if (item->type() == QGraphicsPixmapItem::Type)
                pictures |= item->sceneBoundingRect();
        QCOMPARE(tool.size(), pictures.size().toSize());

        view->setScene(scene);
        view->resetTransform();
        const QImage grab = view->grab().toImage();
        const QPoint origin = view->mapFromScene(pictures.topLeft()) + view->viewport()->pos();
        const QRect shown = QRect(origin, tool.size()).intersected(view->viewport()->geometry());
        QVERIFY2(shown.width() > 200 && shown.height() > 150, qPrintable(QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())));
        const QImage fromWindow(windowDir + QStringLiteral("/image_%1.png").arg(number));
        QCOMPARE(fromWindow.size(), view->size());
        // The view may place the scene a pixel off its mapped origin; the best alignment counts.
        const QRect inner = shown.adjusted(2, 2, -2, -2);
        double share = 1.0;
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx)
                share = std::min(share, differingShare(fromWindow.copy(inner.translated(dx, dy)),
                                                       tool.copy(inner.translated(-origin))));
        }
        QVERIFY2(share < 0.02, qPrintable(QStringLiteral("page %1: %2 of the pixels differ").arg(number).arg(share)));
    }

    // At a size given, every page has it.
    const ToolRun sized = runTool({QStringLiteral("images"), sample, path(QStringLiteral("sized")), QStringLiteral("--width"),
                                   QStringLiteral("320"), QStringLiteral("--height"), QStringLiteral("200")});
    QCOMPARE(sized.exitCode, 0);
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(QImage(path(QStringLiteral("sized/image_%1.png").arg(n))).size(), QSize(320, 200));
}

void TestToolExports::refusedOutputs_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("stdoutFile"); // where standard output goes; empty: a pipe
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("dump into a full disk") << QStringList{"dump", "{sample}"} << QStringLiteral("/dev/full") << 1
                                           << QStringLiteral("standard output cannot be written");
    QTest::newRow("help into a full disk") << QStringList{"--help"} << QStringLiteral("/dev/full") << 1
                                           << QStringLiteral("standard output cannot be written");
    for (const char *command : {"resave", "urf", "pdf"})
        QTest::newRow(qPrintable(QStringLiteral("%1 onto a FIFO").arg(QLatin1String(command))))
            << QStringList{QLatin1String(command), "{sample}", "{tmp}/fifo"} << QString() << 1
            << QStringLiteral("not a regular file");
    QTest::newRow("pdf onto a device") << QStringList{"pdf", "{sample}", "/dev/null"} << QString() << 1
                                       << QStringLiteral("not a regular file");
    QTest::newRow("pdf into a missing folder") << QStringList{"pdf", "{sample}", "{tmp}/none/x.pdf"} << QString() << 1
                                               << QStringLiteral("cannot be written");
    QTest::newRow("pdf of a page that is not there") << QStringList{"pdf", "{sample}", "{tmp}/x.pdf", "--page", "6"}
                                                     << QString() << 1 << QStringLiteral("has no page 6 (5 pages)");
    QTest::newRow("images into a file") << QStringList{"images", "{sample}", "{tmp}/fifo"} << QString() << 1
                                        << QStringLiteral("not a directory");
    QTest::newRow("images into blocked names") << QStringList{"images", "{sample}", "{tmp}/blocked"} << QString() << 1
                                               << QStringLiteral("1 of the files cannot be written");
    QTest::newRow("width without height") << QStringList{"images", "{sample}", "{tmp}/w", "--width", "10"} << QString()
                                          << 2 << QStringLiteral("--width and --height go together");
    QTest::newRow("huge size") << QStringList{"images", "{sample}", "{tmp}/w", "--width", "100000", "--height", "10"}
                               << QString() << 2 << QStringLiteral("pixel counts");
    QTest::newRow("pdf option on images") << QStringList{"images", "{sample}", "{tmp}/w", "--landscape"} << QString()
                                          << 2 << QStringLiteral("--landscape is an option of pdf");
    QTest::newRow("unknown paper") << QStringList{"pdf", "{sample}", "{tmp}/x.pdf", "--paper", "B5"} << QString() << 2
                                   << QStringLiteral("--paper must be");
}

void TestToolExports::refusedOutputs()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, stdoutFile);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QString fifo = path(QStringLiteral("fifo"));
    if (!QFileInfo::exists(fifo))
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Folders where the export's files would go: not even root can write through them.
    QDir(path(QStringLiteral("blocked"))).mkpath(QStringLiteral("image_3.png"));
    for (QString &argument : arguments)
        argument.replace(QLatin1String("{sample}"), sample).replace(QLatin1String("{tmp}"), dir.path());

    QProcess process;
    process.setProcessEnvironment(toolEnvironment());
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(QStringLiteral(QUILLMARK_TOOL), arguments);
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), exitCode);
    const QStringList lines = QString::fromUtf8(process.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith(QLatin1String("quillmark-tool: ")) && lines.first().contains(message),
             qPrintable(lines.first()));
    // Nothing was replaced or left behind.
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QVERIFY(QFileInfo(QStringLiteral("/dev/null")).exists() && !QFileInfo(QStringLiteral("/dev/null")).isFile());
    QVERIFY(!QFile::exists(path(QStringLiteral("x.pdf"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("w"))));
    QCOMPARE(QDir(path(QStringLiteral("blocked"))).entryList(QDir::Files), QStringList());
}

QTEST_MAIN(TestToolExports)
#include "tst_toolexports.moc"
