// Export of many note pages over an existing, reviewed result file: the verdict merge written as
// nested loops against the indexed merge, on the same data in the same run.
//
// Usage: bench_urfmerge [pages] [existing results]   (defaults 10000 10000)

#include "io/pagemodel.h"
#include "urf/notesexport.h"
#include "reference/urfmergereference.h"
#include "urf/zukenurffile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

void addPages(QStandardItemModel &model, int pages)
{
    DsvLayer wiring;
    wiring.name = QStringLiteral("Wiring1");
    wiring.number = 1;
    DsvLayer silk;
    silk.name = QStringLiteral("SilkTop");
    const QVariantMap layers = layerListToMap({wiring, silk});
    for (int i = 0; i < pages; ++i) {
        auto *scene = new QStandardItem;
        scene->setData(QRectF(i % 300, i / 300, 40, 30), Page::ViewRectRole);
        scene->setData(layers, Page::LayerMapRole);
        model.appendRow({new QStandardItem(QStringLiteral("Page %1").arg(i)), scene,
                         new QStandardItem(QStringLiteral("05.03.2024 09:07")),
                         new QStandardItem(QString())});
    }
}

// The reviewed file: an earlier export of the same pages (shifted, so only part of them match)
// with verdicts set on most results.
QByteArray reviewedFile(int pages, int results)
{
    QStandardItemModel model;
    addPages(model, std::max(pages, results) + results / 4);
    ZukenUrfFile earlier = NotesExport::buildUrfFile(&model, QStringLiteral("earlier.urf"));
    ZukenUrfCase &notes = NotesExport::notesCase(earlier);
    QMap<int, ZukenUrfResult> kept;
    int n = 0;
    for (auto it = notes.results.begin(); it != notes.results.end() && n < results; ++it, ++n) {
        if (n % 2 == 0)
            continue; // every other page of the earlier export is left out, so matches are sparse
        static const ResultType verdicts[] = {ResultType::E, ResultType::F, ResultType::M, ResultType::Q};
        it->type = verdicts[n % 4];
        it->resultText = QStringLiteral("Reviewed %1").arg(n);
        kept.insert(it.key(), *it);
    }
    for (auto it = notes.results.begin(); it != notes.results.end() && kept.size() < results; ++it)
        kept.insert(it.key(), *it);
    notes.results = kept;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextStream out(&buffer);
    earlier.write(out);
    out.flush();
    return bytes;
}

QString fingerprint(const ZukenUrfFile &file)
{
    QString out;
    for (const ZukenUrfResult &r : NotesExport::notesCase(file).results)
        out += QString::number(int(r.type)) + r.resultText + r.resultDate + QLatin1Char('\n');
    return out;
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// An existing result file whose one result has a param line of `commas` commas.
QByteArray longLineFile(int commas)
{
    QByteArray line = "      param";
    for (int i = 0; i < commas; ++i)
        line += ",\"p" + QByteArray::number(i % 1000) + '"';
    return "version,5.000\ndate,\"2024/3/5 09:07\"\nbegingroup,\"Notes\"\n  case,\"Notes\",\"2024/3/5 09:07\",1\n"
           "    result,F,\"Label-1\",,,\n" +
           line + "\n  endgroup\nendgroup\n";
}

// Merge of a small export into a file with one very long line; against picking the line's fields
// one by one with QString::section, as the reader did before.
void longLineRows(const QString &dirPath)
{
    std::printf("export over a file with one long param line:\n");
    for (const int commas : {16000, 32000, 200000}) {
        const QString path = dirPath + QStringLiteral("/long-%1.urf").arg(commas);
        const QByteArray bytes = longLineFile(commas);
        QStandardItemModel model;
        addPages(model, 10);
        QElapsedTimer timer;
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0)
                return;
        }
        timer.start();
        const bool written = NotesExport::exportNotes(&model, path);
        const double exportMs = ms(timer);
        std::printf("  %6d commas  whole export %9.1f ms%s", commas, exportMs, written ? "" : " NOT WRITTEN");
        if (commas <= 16000) {
            const QString text = QString::fromLatin1(bytes.mid(bytes.indexOf("      param")).split('\n').first());
            timer.restart();
            qsizetype total = 0;
            for (int k = 1; k <= commas; ++k)
                total += text.section(QLatin1Char(','), k, k).size();
            std::printf("   fields by section(), line alone %9.1f ms (%lld chars)", ms(timer), (long long)total);
        }
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int pages = args.size() > 1 ? args[1].toInt() : 10000;
    const int results = args.size() > 2 ? args[2].toInt() : 10000;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("review.urf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(reviewedFile(pages, results)) < 0)
            return 1;
    }

    QStandardItemModel model;
    addPages(model, pages);

    QElapsedTimer timer;
    timer.start();
    const ZukenUrfFile fresh = NotesExport::buildUrfFile(&model, path);
    const double buildMs = ms(timer);

    ZukenUrfFile existing;
    timer.restart();
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return 1;
        existing.readFile(&file);
    }
    const double readMs = ms(timer);
    const int readResults = int(NotesExport::notesCase(existing).results.size());

    ZukenUrfFile nested = fresh;
    timer.restart();
    mergeFromNestedLoops(nested, existing);
    const double nestedMs = ms(timer);

    double indexedMs = 1e300;
    ZukenUrfFile indexed;
    for (int run = 0; run < 5; ++run) {
        indexed = fresh;
        timer.restart();
        indexed.mergeFrom(existing);
        indexedMs = std::min(indexedMs, ms(timer));
    }

    int carried = 0;
    for (const ZukenUrfResult &r : NotesExport::notesCase(indexed).results)
        carried += r.type != ResultType::E ? 1 : 0;
    const bool identical = fingerprint(nested) == fingerprint(indexed);

    timer.restart();
    const bool written = NotesExport::exportNotes(&model, path);
    const double exportMs = ms(timer);

    std::printf("pages %d, existing results read %d, verdicts carried %d\n", pages, readResults, carried);
    std::printf("build from page model     %9.1f ms\n", buildMs);
    std::printf("read existing file        %9.1f ms\n", readMs);
    std::printf("merge, nested loops       %9.1f ms\n", nestedMs);
    std::printf("merge, indexed (best of 5)%9.1f ms   speed-up %.0fx\n", indexedMs, nestedMs / indexedMs);
    std::printf("whole export (build, read, merge, write) %9.1f ms, written %s\n", exportMs,
                written ? "yes" : "NO");
    std::printf("merge results identical: %s\n", identical ? "yes" : "NO");
    longLineRows(dir.path());
    return identical && written ? 0 : 2;
}
