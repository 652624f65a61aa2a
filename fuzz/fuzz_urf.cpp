// Fuzz target: the URF/RST reader, and the merge of a fixed export into what it read. What it
// reads is also written and read again: once written, a file reads back to the same groups, cases
// and results and writes the same text again. (The first write may differ from the input and its
// read: the reader collapses runs of blanks inside values and accepts nestings the writer never
// makes, such as cases after a group's subgroups.)

#include "fuzzapp.h"

#include "io/clock.h"
#include "io/dsvlayer.h"
#include "io/pagemodel.h"
#include "urf/notesexport.h"
#include "urf/zukenurffile.h"

#include <QBuffer>
#include <QStandardItemModel>
#include <QTextStream>
#include <QTimeZone>

#include <cstdio>
#include <cstdlib>

namespace {

ZukenUrfFile readText(const QByteArray &bytes)
{
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    ZukenUrfFile file;
    file.readFile(&buffer);
    return file;
}

QByteArray written(ZukenUrfFile &file)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly | QIODevice::Text);
        QTextStream out(&buffer);
        file.write(out);
    }
    return bytes;
}

void addPage(QStandardItemModel &model, const QString &title, const QRectF &view, const QList<DsvLayer> &layers)
{
    auto *sceneItem = new QStandardItem;
    sceneItem->setData(view, Page::ViewRectRole);
    sceneItem->setData(layerListToMap(layers), Page::LayerMapRole);
    model.appendRow({new QStandardItem(title), sceneItem, new QStandardItem(QStringLiteral("05.03.2024 09:07")),
                     new QStandardItem});
}

// The export of three fixed pages, once as URF and once as RST.
ZukenUrfFile fixedExport(bool rst)
{
    QStandardItemModel model;
    DsvLayer wiring;
    wiring.name = QStringLiteral("Wiring1");
    wiring.number = 1;
    DsvLayer silk;
    silk.name = QStringLiteral("SilkTop");
    addPage(model, QStringLiteral("Via check"), QRectF(10, 20, 100, 50), {wiring, silk});
    addPage(model, QStringLiteral("Note 2"), QRectF(-5, -5, 10, 10), {});
    addPage(model, QString(), QRectF(0, 0, 1, 1), {silk});
    return NotesExport::buildUrfFile(&model, rst ? QStringLiteral("fixed.rst") : QStringLiteral("fixed.urf"));
}

// Groups, cases and result keys, nested as read. Names are left out: a group made of cases
// straight inside a top-level group takes the quoted name of the first case line, which an
// unquoted case name does not have, and is written with the name it got.
QString shape(const ZukenUrfGroup &group)
{
    QString out = QStringLiteral("(");
    for (const ZukenUrfCase &c : group.cases) {
        if (c.name.isEmpty())
            continue; // not written, by design
        out += QStringLiteral(" case:");
        for (auto it = c.results.cbegin(); it != c.results.cend(); ++it)
            out += QStringLiteral(" %1/%2").arg(it.key()).arg(it->params.size());
    }
    for (const ZukenUrfGroup &sub : group.subgroups)
        out += shape(sub);
    return out + QLatin1Char(')');
}

QString shape(const ZukenUrfFile &file)
{
    QString out = QString::number(file.formatVersion);
    for (const ZukenUrfGroup &group : file.groups)
        out += shape(group);
    return out;
}

[[noreturn]] void mismatch(const char *what, const QByteArray &first, const QByteArray &second)
{
    std::fprintf(stderr, "%s\n--- first\n%s\n--- second\n%s\n", what, first.constData(), second.constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzApp::start(argc, argv);
    // Dates written into result files come from the clock; a fixed one keeps the texts comparable.
    static Clock::ScopedFixedTime fixed(QDateTime(QDate(2024, 3, 5), QTime(9, 7), QTimeZone(3600)));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    ZukenUrfFile read = readText(input);

    const QByteArray once = written(read);
    ZukenUrfFile reread = readText(once);
    const QByteArray twice = written(reread);
    ZukenUrfFile third = readText(twice);
    const QByteArray thrice = written(third);
    if (shape(reread) != shape(third))
        mismatch("the reread of a written file has another shape", twice, thrice);
    if (twice != thrice)
        mismatch("writing and reading a written file again changes it", twice, thrice);

    // The export merged with the fuzzed file as the existing one: no result gains or loses
    // anything but its verdict, label and date.
    for (const bool rst : {false, true}) {
        ZukenUrfFile fresh = fixedExport(rst);
        ZukenUrfFile reference = fixedExport(rst);
        fresh.mergeFrom(read);
        const ZukenUrfCase &merged = NotesExport::notesCase(fresh);
        const ZukenUrfCase &plain = NotesExport::notesCase(reference);
        if (merged.results.size() != plain.results.size())
            std::abort();
        auto m = merged.results.cbegin();
        for (auto p = plain.results.cbegin(); p != plain.results.cend(); ++p, ++m) {
            if (m.key() != p.key() || m->params != p->params)
                mismatch("the merge changed a result's key or params", written(fresh), written(reference));
        }
        written(fresh);
    }
    return 0;
}
