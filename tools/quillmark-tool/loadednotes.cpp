#include "tools/quillmark-tool/loadednotes.h"

#include "io/pagemodel.h"
#include "scene/notesscene.h"

#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>

LoadedNotes::~LoadedNotes()
{
    // The rows own their scenes (the model does not know that).
    for (int row = 0; row < pages.rowCount(); ++row) {
        if (const QStandardItem *item = pages.item(row, Page::SceneColumn))
            delete qvariant_cast<QGraphicsScene *>(item->data(Page::SceneRole));
    }
}

bool LoadedNotes::load(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        why = QStringLiteral("no such file");
        return false;
    }
    if (info.isDir()) {
        why = QStringLiteral("is a directory, not a notes file");
        return false;
    }

    // As the viewer opening a file with no pages shown: no page is current, which numbers untitled pages.
    NotesFile::ReadOptions options;
    options.currentIndex = -1;
    readResult = NotesFile::loadNotesFile(
        fileName, pages, [] { return new NotesScene; }, options);
    if (!readResult.opened) {
        QFile probe(fileName);
        probe.open(QIODevice::ReadOnly);
        why = QStringLiteral("cannot be read: %1").arg(probe.errorString());
        return false;
    }
    if (readResult.damaged) {
        const QString count = readResult.pagesDeclared >= 0
                                  ? QStringLiteral("%1 of %2 pages read")
                                        .arg(readResult.pagesRead)
                                        .arg(readResult.pagesDeclared)
                                  : QStringLiteral("%1 pages read").arg(readResult.pagesRead);
        QString message = readResult.message.trimmed();
        if (message.endsWith(QLatin1Char('.')))
            message.chop(1);
        why = QStringLiteral("damaged notes file (format %1.%2, %3): %4")
                  .arg(readResult.major)
                  .arg(readResult.minor)
                  .arg(count, message);
        return false;
    }
    return true;
}
