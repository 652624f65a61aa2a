// Keeping notes safe: the file lock, files changed by someone else, recovery copies, and the
// quiet save when the window goes away.

#include "window/wdgnotes.h"

#include "io/notesguard.h"
#include "io/pagemodel.h"
#include "scene/dialogs.h"
#include "window/noteskeeper.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTextDocument>
#include <QTextEdit>
#include <QUndoStack>

#include <cstdio>
#include <memory>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The window has no other way to reach a user whose window is going away.
void tell(const QString &text)
{
    std::fprintf(stderr, "quillmark: %s\n", qPrintable(text));
}

} // namespace

void WdgNotes::createKeeper()
{
    keeper = new NotesKeeper([this] { return serializePages(); }, this);
    keeper->watchUndoStack(undoStack);
    const auto changed = [this] { keeper->markChanged(); };
    connect(noteModel, &QStandardItemModel::rowsInserted, keeper, changed);
    connect(noteModel, &QStandardItemModel::rowsRemoved, keeper, changed);
    // The mapper writes every editor back when it loses focus, also when nothing was typed: the
    // comment comes back reworded by the toolkit and the view, which has no editable property,
    // as an empty value. Only typing and real page data count as changes.
    auto commentTyped = std::make_shared<bool>(false);
    // Typing is what makes an undo step; putting a page's comment into the editor is none.
    connect(commentEdit->document(), &QTextDocument::undoAvailable, keeper, [commentTyped](bool typed) {
        if (typed)
            *commentTyped = true;
    });
    connect(noteModel, &QStandardItemModel::dataChanged, keeper,
            [this, commentTyped](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
                if (topLeft.column() == bottomRight.column()) {
                    if (topLeft.column() == Page::CommentColumn) {
                        if (!*commentTyped)
                            return;
                        *commentTyped = false;
                    }
                    const bool pageData = roles.isEmpty() || roles.contains(Page::SceneRole) ||
                                          roles.contains(Page::ViewRectRole) || roles.contains(Page::LayerMapRole);
                    if (topLeft.column() == Page::SceneColumn && !pageData)
                        return;
                }
                keeper->markChanged();
            });
}

QByteArray WdgNotes::serializePages() const
{
    if (noteModel->rowCount() == 0)
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!NotesFile::writeNotes(&buffer, *noteModel, fileVersionMajor, fileVersionMinor))
        return {};
    return buffer.data();
}

bool WdgNotes::lockBeforeLoading()
{
    if (!keeper || keeper->lock(notesFileName) != NotesGuard::NotesLock::State::HeldByOther)
        return true;
    const QMessageBox::StandardButton answer = Dialogs::current().warning(
        this, tr("WARNING"),
        tr("The notes file\n%1\nis being edited by %2.\nOpen it view-only?")
            .arg(native(notesFileName), keeper->lockOwner()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        becomeViewOnly();
        return true;
    }
    // Not opened: nothing of that file may be written by this window.
    notesFileName = keeper->notesPath();
    return false;
}

QString WdgNotes::offerRecovery(bool *restored)
{
    *restored = false;
    if (!keeper)
        return notesFileName;
    const QString copy = NotesGuard::recoveryFileFor(notesFileName);
    const QFileInfo copyInfo(copy);
    const QFileInfo fileInfo(notesFileName);
    if (!copyInfo.exists() || (fileInfo.exists() && copyInfo.lastModified() <= fileInfo.lastModified()))
        return notesFileName;

    const QString beside = NotesGuard::besideName(notesFileName);
    const QMessageBox::StandardButton answer = Dialogs::current().question(
        this, tr("QUESTION"),
        tr("Notes of\n%1\nthat were never saved were kept in a recovery copy on %2.\n"
           "Yes restores them. No keeps both: the copy is put beside the file as\n%3\n"
           "Discard deletes the copy.")
            .arg(native(notesFileName), QLocale().toString(copyInfo.lastModified(), QLocale::ShortFormat),
                 native(beside)),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        *restored = true;
        return copy;
    }
    if (answer == QMessageBox::Discard)
        QFile::remove(copy);
    else if (!NotesGuard::moveFile(copy, beside))
        tell(tr("the recovery copy %1 could not be moved to %2; it stays where it is")
                 .arg(native(copy), native(beside)));
    return notesFileName;
}

bool WdgNotes::confirmOverwriteChanged(const QString &target, bool *askedForOtherName)
{
    *askedForOtherName = false;
    if (!keeper || !NotesGuard::sameFile(target, keeper->notesPath()) || !keeper->changedOnDisk())
        return true;
    const QMessageBox::StandardButton answer = Dialogs::current().warning(
        this, tr("WARNING"),
        tr("The notes file\n%1\nwas changed on disk since it was opened or saved here.\n"
           "Yes overwrites it with these notes. Save keeps it and saves these notes under "
           "another name. Cancel saves nothing.")
            .arg(native(target)),
        QMessageBox::Yes | QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Save) {
        *askedForOtherName = true;
        return false;
    }
    return answer == QMessageBox::Yes;
}

void WdgNotes::keepPagesOnClose()
{
    submitPendingEdits();
    QString target = notesFileName;
    QString reason;
    if (keeper && !target.isEmpty()) {
        if (keeper->loadedDamaged())
            reason = tr("was damaged when it was opened");
        else if (keeper->changedOnDisk())
            reason = tr("was changed on disk by someone else");
        if (!reason.isEmpty())
            target = NotesGuard::besideName(notesFileName);
    }

    QString failure;
    if (!target.isEmpty()) {
        const NotesFile::SaveResult result =
            NotesFile::saveNotesFile(target, *noteModel, fileVersionMajor, fileVersionMinor);
        if (result.ok) {
            if (!keeper)
                return;
            if (reason.isEmpty()) {
                keeper->saved(target);
            } else {
                keeper->removeRecoveryCopy();
                tell(tr("%1 %2; the notes were saved beside it as %3")
                         .arg(native(notesFileName), reason, native(target)));
            }
            return;
        }
        failure = tr("could not be saved to %1 (%2)").arg(native(target), result.errorString);
    } else {
        failure = tr("have no notes file");
    }

    // Nowhere else to keep them: the recovery copy in the user's data folder.
    if (keeper && keeper->writeRecoveryCopy(true))
        tell(tr("the notes %1; they are kept in %2").arg(failure, native(keeper->recoveryFile())));
    else
        tell(tr("the notes %1 and no recovery copy could be written").arg(failure));
}

void WdgNotes::becomeViewOnly()
{
    viewOnly = true;
    applyViewOnly();
    for (QWidget *w : std::initializer_list<QWidget *>{saveNotesButton, newNoteButton, deleteNoteButton,
                                                       clearNotesButton, hideWindowCheck, sendViewCheck})
        w->setEnabled(false);
    titleEdit->setReadOnly(true);
    commentEdit->setReadOnly(true);
    disconnect(sendViewCheck, &QCheckBox::toggled, this, &WdgNotes::setSendView);
    // A viewer neither locks nor keeps copies; the pages of the previous file are gone already.
    delete keeper;
    keeper = nullptr;
}
