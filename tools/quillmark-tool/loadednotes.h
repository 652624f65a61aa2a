#pragma once

#include "io/notesfile.h"

#include <QStandardItemModel>
#include <QString>

// The pages of one notes file, read the way the viewer reads them when it opens a file with no
// pages shown: into an empty page model, one NotesScene per page. Owns the scenes.
class LoadedNotes
{
public:
    LoadedNotes() = default;
    ~LoadedNotes();
    LoadedNotes(const LoadedNotes &) = delete;
    LoadedNotes &operator=(const LoadedNotes &) = delete;

    // Reads fileName. True when the whole file was read; otherwise problem() says why, and the
    // pages read before any damage are still there.
    bool load(const QString &fileName);

    QStandardItemModel &model() { return pages; }
    const QStandardItemModel &model() const { return pages; }
    const NotesFile::ReadResult &result() const { return readResult; }

    // One line for the user: what is wrong with the file, empty after a complete read.
    QString problem() const { return why; }

private:
    QStandardItemModel pages;
    NotesFile::ReadResult readResult;
    QString why;
};
