// Fuzz target: the notes file reader, every format it accepts. Whatever it reads is saved in the
// current format and read again; the second read must not be damaged and must give the same pages.

#include "fuzzapp.h"
#include "common/pagesdescription.h"

#include "io/notesfile.h"
#include "scene/notesscene.h"

#include <QBuffer>
#include <QStandardItemModel>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

// Frees the scenes the reader put into the rows, as the window does.
class Pages : public QStandardItemModel
{
public:
    ~Pages() override
    {
        for (int row = 0; row < rowCount(); ++row) {
            const QStandardItem *item = this->item(row, Page::SceneColumn);
            delete (item ? qvariant_cast<QGraphicsScene *>(item->data(Page::SceneRole)) : nullptr);
        }
    }
};

NotesFile::ReadResult read(const QByteArray &bytes, Pages &pages)
{
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return NotesFile::readNotes(&buffer, pages, [] { return new NotesScene; });
}

// Control characters from the file shown as escapes, so that the report stays readable.
QByteArray printable(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\n'))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out.toUtf8();
}

[[noreturn]] void mismatch(const char *what, const QString &first, const QString &second)
{
    std::fprintf(stderr, "%s\n--- first read\n%s\n--- read of its save\n%s\n", what, printable(first).constData(),
                 printable(second).constData());
    // The first line that differs, on its own.
    const QStringList a = first.split(QLatin1Char('\n')), b = second.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < qMax(a.size(), b.size()); ++i) {
        if (a.value(i) != b.value(i)) {
            std::fprintf(stderr, "--- first difference, line %lld\n%s\n%s\n", qlonglong(i),
                         printable(a.value(i)).constData(), printable(b.value(i)).constData());
            break;
        }
    }
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzApp::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    Pages first;
    read(input, first);

    QByteArray saved;
    {
        QBuffer buffer(&saved);
        buffer.open(QIODevice::WriteOnly);
        if (!NotesFile::writeNotes(&buffer, first))
            std::abort();
    }
    Pages second;
    const NotesFile::ReadResult again = read(saved, second);
    if (again.damaged)
        mismatch(qPrintable(QStringLiteral("the save of what was read is damaged: ") + again.message),
                 PagesDescription::pages(first), QString());
    if (second.rowCount() != first.rowCount())
        mismatch("page counts differ", PagesDescription::pages(first), PagesDescription::pages(second));
    const QString a = PagesDescription::pages(first);
    const QString b = PagesDescription::pages(second);
    if (a != b)
        mismatch("pages differ", a, b);
    return 0;
}
