#pragma once

#include "io/notesguard.h"

#include <QObject>
#include <QString>

#include <functional>
#include <future>
#include <memory>

class QTimer;
class QUndoStack;

// Keeps an edit-mode window's notes safe between saves: owns the lock of the notes file, knows
// what the file looked like when it was read or written, counts unsaved changes and writes a
// recovery copy of them at a modest interval. The window decides what to ask the user.
class NotesKeeper : public QObject
{
    Q_OBJECT

public:
    // Serialises the window's pages as a complete notes file.
    using Serializer = std::function<QByteArray()>;

    static constexpr int DefaultAutosaveMs = 2 * 60 * 1000;

    NotesKeeper(Serializer serializer, QObject *parent = nullptr);
    ~NotesKeeper() override;

    // Takes the lock of `path` (recovering a dead process's lock). The lock of the window's
    // current file is kept until the window has really moved to `path` (loaded or saved).
    NotesGuard::NotesLock::State lock(const QString &path);
    // Who holds the lock that lock() could not take.
    QString lockOwner() const { return refusedOwner; }
    void releaseLock();

    // The pages now shown came from `path` (damaged when only part of it could be read).
    void loaded(const QString &path, bool damaged);
    // The pages were written completely to `path`, which is now the window's file.
    void saved(const QString &path);

    // True when the file was changed by someone else since we read or wrote it.
    bool changedOnDisk() const;
    // A file that loaded damaged is never written over without the user saying so.
    bool loadedDamaged() const { return damaged; }
    QString notesPath() const { return path; }

    // A change outside the undo history: pages added, removed or edited, text typed.
    void markChanged();
    // Drawing steps count as unsaved while the history is away from the point of the last save
    // or load; undoing back to it leaves nothing to save.
    void watchUndoStack(QUndoStack *stack);
    bool hasUnsavedChanges() const;

    // Where the recovery copy of the current file (or of the untitled window) is kept.
    QString recoveryFile() const;
    // Writes the recovery copy now; the file is written off the GUI thread unless `wait`.
    // False when there was nothing to keep or the write failed (only known when waiting).
    bool writeRecoveryCopy(bool wait);
    void removeRecoveryCopy();

    void setAutosaveInterval(int milliseconds);
    int autosaveInterval() const;

signals:
    // Emitted when hasUnsavedChanges() turns true or false.
    void unsavedChangesChanged(bool unsaved);

private:
    void undoCleanChanged(bool clean);
    // Makes the present state the saved one.
    void markSaved();
    void reportUnsaved();

    void finishPendingWrite();
    // Moves the window to `notesPath`: the lock taken for it replaces the previous file's lock.
    void adopt(const QString &notesPath);

    Serializer serialize;
    QString path;
    NotesGuard::FileStamp stamp;
    bool damaged = false;
    quint64 changes = 0; // every change, drawing steps included: what the autosave looks at
    quint64 pageChanges = 0; // changes outside the undo history
    quint64 savedPageChanges = 0;
    QUndoStack *undoStack = nullptr;
    bool settingClean = false;
    bool reportedUnsaved = false;
    quint64 copiedChanges = 0;
    quint64 serial = 0;
    std::unique_ptr<NotesGuard::NotesLock> fileLock;
    // Taken for a save under a new name; becomes fileLock once that save succeeded.
    std::unique_ptr<NotesGuard::NotesLock> pendingLock;
    QString refusedOwner;
    QTimer *autosaveTimer = nullptr;
    std::future<bool> pendingWrite;
};
