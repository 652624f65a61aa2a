// Fuzz target: the notes file reader, every format it accepts. Whatever it reads is saved in the
// current format and read again; the second read must not be damaged and must give the same pages.

#include "fuzzapp.h"
#include "common/pagesdescription.h"

#include "io/notesfile.h"
#include "scene/notesscene.h"

#include <QBuffer>
#include <QStandardItemModel>

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

[[noreturn]] void mismatch(const char *what, const QString &first, const QString &second)
{
    std::fprintf(stderr, "%s\n--- first read\n%s\n--- read of its save\n%s\n", what, qPrintable(first),
                 qPrintable(second));
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
