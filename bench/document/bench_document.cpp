// A big review: 100 pages, each with a full-screen (1920 x 1080) picture of the synthetic board
// and a few drawings. Measures, against floors taken in the same run:
//   - opening the file in the viewer until the first page is painted
//     (floor: reading the file's bytes plus decoding one picture, in a process of its own),
//   - resident memory with the file open and one page shown,
//   - resave: read and write the file (floor: copying it), and whether the pictures' bytes stay,
//   - PDF export of every page: time, peak memory and size against the pictures' PNG bytes.
// Each open and export runs in a fresh process of this program, so memory figures are its own.
//
// Usage: bench_document [pages]          (default 100)
//        bench_document open FILE        (child: open, paint the first page, print figures)
//        bench_document pdf FILE OUT     (child: export every page to OUT, print figures)
//        bench_document floor FILE       (child: read FILE and decode its first picture)
//        bench_document make FILE        (writes the document only)
//        bench_document resave FILE N    (reads and writes FILE N times, for a profiler)

#include "examples/generator/syntheticboard.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "scene/dialogs.h"
#include "scene/notesarrow.h"
#include "scene/notespictureitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notesscene.h"
#include "window/wdgnotes.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <algorithm>
#include <unistd.h>
#include <cstdio>
#include <vector>

namespace {

constexpr QSize PictureSize(1920, 1080);

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// VmRSS and VmHWM of this process in MiB.
std::pair<double, double> memoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    double rss = 0, hwm = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words[0] == "VmRSS:")
                rss = words[1].toDouble() / 1024.0;
            if (words.size() >= 2 && words[0] == "VmHWM:")
                hwm = words[1].toDouble() / 1024.0;
        }
    }
    return {rss, hwm};
}

void deleteScenes(QStandardItemModel &model)
{
    for (int row = 0; row < model.rowCount(); ++row)
        delete qvariant_cast<QGraphicsScene *>(model.item(row, Page::SceneColumn)->data(Page::SceneRole));
    model.clear();
}

// The document: page i looks at a different part of the board.
void makeDocument(const QString &path, int pages, qint64 *pngBytes)
{
    const SyntheticBoard board;
    const QRectF extent = board.extent();
    const QList<DsvLayer> layers = SyntheticBoard::reviewLayers();
    QStandardItemModel model;
    *pngBytes = 0;
    for (int i = 0; i < pages; ++i) {
        const double zoom = 1.0 + (i % 5) * 0.6;
        const QSizeF viewSize(extent.width() / zoom, extent.width() / zoom * 9 / 16);
        const QPointF origin(extent.left() + (extent.width() - viewSize.width()) * ((i * 7) % 10) / 9.0,
                             extent.top() + (extent.height() - viewSize.height()) * ((i * 3) % 10) / 9.0);
        const QRectF view(origin, viewSize);
        auto *scene = new NotesScene;
        auto *picture = new NotesPictureItem(QPixmap::fromImage(board.render(view, PictureSize, layers)));
        picture->setZValue(-1);
        picture->setFlags(QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
        picture->setData(PictureHasLayersKey, true);
        picture->setData(PictureLayersKey, layerListToMap(layers));
        scene->addItem(picture);
        *pngBytes += picture->pngBytes().size();
        picture->releaseDecoded();
        scene->addItem(new NotesArrow(QLineF(200, 200, 600, 500), Qt::red, QPointF()));
        scene->addItem(new NotesRectangleItem(QRectF(800, 300, 400, 250), Qt::blue, 3, Qt::DashLine));
        auto *sceneItem = new QStandardItem;
        sceneItem->setData(QVariant::fromValue(static_cast<QGraphicsScene *>(scene)), Page::SceneRole);
        sceneItem->setData(view, Page::ViewRectRole);
        sceneItem->setData(layerListToMap(layers), Page::LayerMapRole);
        model.appendRow({new QStandardItem(QStringLiteral("Finding %1").arg(i + 1)), sceneItem,
                         new QStandardItem(QStringLiteral("05.03.2024 09:07")),
                         new QStandardItem(QStringLiteral("<p>Check clearance near U%1.</p>").arg(i + 1))});
    }
    NotesFile::saveNotesFile(path, model);
    deleteScenes(model);
}

// Answers as a user does: the file to open or to export to, Yes to every question, the page set-up
// accepted.
class Answers : public WidgetDialogs
{
public:
    explicit Answers(const QString &out)
        : out(out)
    {
    }
    QMessageBox::StandardButton message(const Message &) override { return QMessageBox::Yes; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return out; }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return out; }
    bool pageSetup(QPrinter *, QWidget *) override { return true; }

private:
    QString out;
};

// Opens the file in a running viewer ("Load existing Notes") and paints the first page; the
// start of a viewer with the file is timed as well.
int openChild(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    {
        WdgNotes started(path, 1);
        started.resize(1280, 900);
        started.show();
        started.view()->viewport()->grab();
    }
    const double startMs = ms(timer);

    Dialogs::install(std::make_unique<Answers>(path));
    WdgNotes viewer(QString(), 1);
    viewer.resize(1280, 900);
    viewer.show();
    viewer.view()->viewport()->grab();
    timer.restart();
    viewer.loadExistingNotes();
    const double loadedMs = ms(timer);
    viewer.view()->viewport()->grab(); // the first page, painted
    if (qEnvironmentVariableIsSet("QUILL_BENCH_SPLIT"))
        std::fprintf(stderr, "loaded %.1f ms, painted %.1f ms\n", loadedMs, ms(timer) - loadedMs);
    const double openMs = ms(timer);
    const auto [rss, hwm] = memoryMiB();
    std::printf("%.1f %.1f %.1f\n", openMs, rss, startMs);
    return viewer.model()->rowCount() > 0 ? 0 : 1;
}

int pdfChild(const QString &path, const QString &out)
{
    Dialogs::install(std::make_unique<Answers>(out));
    QElapsedTimer timer;
    timer.start();
    WdgNotes viewer(path, 1);
    viewer.resize(1280, 900);
    viewer.show();
    viewer.onExportToPdf();
    const bool ok = QFileInfo(out).size() > 0;
    const double exportMs = ms(timer);
    const auto [rss, hwm] = memoryMiB();
    std::printf("%.1f %.1f %.1f\n", exportMs, rss, hwm);
    return ok ? 0 : 1;
}

// The floor of opening: the file's bytes read, one picture decoded.
double openFloorMs(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    const qsizetype start = bytes.indexOf("\x89PNG");
    const qsizetype end = bytes.indexOf("IEND", start) + 8;
    const QImage first = NotesPictureItem::decodePng(bytes.mid(start, end - start));
    const double floor = ms(timer);
    return first.isNull() ? -1 : floor;
}

struct Median
{
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median()
    {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[values.size() / 2];
    }
};

QList<double> runChild(const QStringList &args, int expected = 3)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(600000);
    QList<double> figures;
    for (const QByteArray &word : child.readAllStandardOutput().simplified().split(' '))
        figures.append(word.toDouble());
    if (child.exitCode() != 0 || figures.size() != expected)
        std::printf("child %s failed\n", qPrintable(args.join(' ')));
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("open"))
        return openChild(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("floor")) {
        // The decoder's first use (libraries, tables) is paid before the clock starts, as the
        // opening window has paid it for its icons.
        QImage small(8, 8, QImage::Format_RGB32);
        small.fill(Qt::gray);
        QByteArray smallPng;
        QBuffer smallBuffer(&smallPng);
        smallBuffer.open(QIODevice::WriteOnly);
        small.save(&smallBuffer, "PNG");
        if (NotesPictureItem::decodePng(smallPng).isNull())
            return 1;
        const double floorMs = openFloorMs(args[2]);
        std::printf("%.1f\n", floorMs);
        return floorMs < 0 ? 1 : 0;
    }
    if (args.size() == 4 && args[1] == QLatin1String("pdf"))
        return pdfChild(args[2], args[3]);
    if (args.size() == 4 && args[1] == QLatin1String("resave")) {
        QTemporaryDir dir;
        for (int i = 0; i < args[3].toInt(); ++i) {
            QStandardItemModel model;
            NotesFile::loadNotesFile(args[2], model, [] { return new NotesScene; });
            NotesFile::saveNotesFile(dir.filePath(QStringLiteral("resaved.nts")), model);
            deleteScenes(model);
        }
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("make")) {
        qint64 pngBytes = 0;
        makeDocument(args[2], 100, &pngBytes);
        return 0;
    }

    const int pages = args.size() > 1 ? std::max(1, args[1].toInt()) : 100;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("review.nts"));
    qint64 pngBytes = 0;
    makeDocument(path, pages, &pngBytes);
    const qint64 fileBytes = QFileInfo(path).size();
    std::printf("%d pages of %dx%d pictures: file %.1f MB, pictures' PNG bytes %.1f MB\n", pages,
                PictureSize.width(), PictureSize.height(), fileBytes / 1e6, pngBytes / 1e6);

    constexpr int Runs = 5;
    Median open, rss, floor, warmFloor, start;
    for (int run = 0; run < Runs; ++run) {
        const QList<double> f = runChild({QStringLiteral("open"), path});
        if (f.size() == 3) {
            open.add(f[0]);
            rss.add(f[1]);
            start.add(f[2]);
        }
        // In a new process, as the opening is: its memory is new and costs a page fault where it
        // is first touched (dear on virtual machines), which a process that has read the file
        // before no longer pays. Both are shown.
        const QList<double> floorMs = runChild({QStringLiteral("floor"), path}, 1);
        if (floorMs.size() == 1)
            floor.add(floorMs[0]);
        warmFloor.add(openFloorMs(path));
    }
    const double openMs = open.median();
    std::printf("open (Load existing Notes), first page shown %8.1f ms\n"
                "   floor (read bytes + decode one) in a new process %8.1f ms   ratio %.2f\n"
                "   floor in a process that read the file before     %8.1f ms   ratio %.2f\n",
                openMs, floor.median(), openMs / floor.median(), warmFloor.median(), openMs / warmFloor.median());
    std::printf("viewer started with the file, first page shown %8.1f ms (window construction included)\n",
                start.median());
    std::printf("resident memory, file open and one page shown %8.1f MiB\n", rss.median());

    // Resave as the tool does it, against copying the file.
    Median resave, copy, copySynced, readPart;
    bool identical = true;
    for (int run = 0; run < Runs; ++run) {
        const QString out = dir.filePath(QStringLiteral("resaved.nts"));
        const QString copied = dir.filePath(QStringLiteral("copied.nts"));
        QFile::remove(copied);
        QElapsedTimer timer;
        timer.start();
        QFile::copy(path, copied);
        copy.add(ms(timer));
        // A save must reach the disk before it replaces the old file; a copy does not wait for that.
        QFile::remove(copied);
        timer.restart();
        QFile::copy(path, copied);
        {
            QFile synced(copied);
            if (synced.open(QIODevice::ReadWrite))
                ::fdatasync(synced.handle());
        }
        copySynced.add(ms(timer));

        // Both write a new file: replacing one would add the old file's removal to the resave only.
        QFile::remove(out);
        timer.restart();
        QStandardItemModel model;
        NotesFile::loadNotesFile(path, model, [] { return new NotesScene; });
        readPart.add(ms(timer));
        NotesFile::saveNotesFile(out, model);
        resave.add(ms(timer));
        deleteScenes(model);
        QFile a(path), b(out);
        identical = identical && a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) &&
                    a.readAll() == b.readAll();
    }
    const double resaveMs = resave.median();
    const double copyMs = copy.median();
    const double readMs = readPart.median();
    const double syncedMs = copySynced.median();
    std::printf("resave                   %8.1f ms   floor (copy the file) %8.1f ms   ratio %.2f   bytes identical: %s\n"
                "                         (read %.1f ms, write %.1f ms; copy and sync to disk %.1f ms, ratio %.2f)\n",
                resaveMs, copyMs, resaveMs / copyMs, identical ? "yes" : "NO", readMs, resaveMs - readMs, syncedMs,
                resaveMs / syncedMs);

    Median pdf, pdfPeak;
    qint64 pdfBytes = 0;
    for (int run = 0; run < 3; ++run) {
        const QString out = dir.filePath(QStringLiteral("review.pdf"));
        const QList<double> f = runChild({QStringLiteral("pdf"), path, out});
        if (f.size() == 3) {
            pdf.add(f[0]);
            pdfPeak.add(f[2]);
        }
        pdfBytes = QFileInfo(out).size();
    }
    std::printf("PDF of all pages         %8.1f ms   peak %8.1f MiB   size %.1f MB = %.2f x the pictures' PNG bytes\n",
                pdf.median(), pdfPeak.median(), pdfBytes / 1e6, double(pdfBytes) / double(pngBytes));
    return identical ? 0 : 2;
}
