#include "window/noteskeeper.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUndoStack>

#include <atomic>

namespace {

quint64 nextSerial()
{
    static std::atomic<quint64> serial{0};
    return ++serial;
}

} // namespace

using NotesGuard::sameFile;

NotesKeeper::NotesKeeper(Serializer serializer, QObject *parent)
    : QObject(parent)
    , serialize(std::move(serializer))
    , serial(nextSerial())
    , autosaveTimer(new QTimer(this))
{
    autosaveTimer->setInterval(DefaultAutosaveMs);
    connect(autosaveTimer, &QTimer::timeout, this, [this] {
        if (changes != copiedChanges && hasUnsavedChanges())
            writeRecoveryCopy(false);
    });
    autosaveTimer->start();
}

NotesKeeper::~NotesKeeper()
{
    finishPendingWrite();
}

NotesGuard::NotesLock::State NotesKeeper::lock(const QString &notesPath)
{
    using State = NotesGuard::NotesLock::State;
    refusedOwner.clear();
    for (const NotesGuard::NotesLock *held : {fileLock.get(), pendingLock.get()}) {
        if (held && held->isLocked() && sameFile(held->notesPath(), notesPath))
            return State::Taken;
    }
    auto candidate = std::make_unique<NotesGuard::NotesLock>(notesPath);
    const State state = candidate->tryLock();
    if (state == State::HeldByOther)
        refusedOwner = candidate->owner();
    if (state != State::Taken)
        return state;
    if (path.isEmpty() || sameFile(path, notesPath))
        fileLock = std::move(candidate);
    else
        pendingLock = std::move(candidate);
    return state;
}

void NotesKeeper::releaseLock()
{
    fileLock.reset();
    pendingLock.reset();
}

void NotesKeeper::loaded(const QString &notesPath, bool wasDamaged)
{
    adopt(notesPath);
    damaged = wasDamaged;
    stamp = NotesGuard::stampOf(notesPath);
    markSaved();
}

void NotesKeeper::saved(const QString &notesPath)
{
    finishPendingWrite();
    const QString previousCopy = recoveryFile();
    adopt(notesPath);
    damaged = false;
    stamp = NotesGuard::stampOf(notesPath);
    markSaved();
    QFile::remove(previousCopy);
    removeRecoveryCopy();
}

void NotesKeeper::adopt(const QString &notesPath)
{
    if (!sameFile(path, notesPath) && pendingLock && sameFile(pendingLock->notesPath(), notesPath)) {
        fileLock = std::move(pendingLock);
    } else if (fileLock && !sameFile(fileLock->notesPath(), notesPath)) {
        fileLock.reset();
    }
    pendingLock.reset();
    path = notesPath;
}

bool NotesKeeper::changedOnDisk() const
{
    return NotesGuard::changedOnDisk(path, stamp);
}

void NotesKeeper::markChanged()
{
    ++changes;
    ++pageChanges;
    reportUnsaved();
}

void NotesKeeper::watchUndoStack(QUndoStack *stack)
{
    undoStack = stack;
    connect(stack, &QUndoStack::indexChanged, this, [this] { ++changes; });
    connect(stack, &QUndoStack::cleanChanged, this, &NotesKeeper::undoCleanChanged);
    connect(stack, &QObject::destroyed, this, [this] { undoStack = nullptr; });
}

void NotesKeeper::undoCleanChanged(bool clean)
{
    // A history emptied while it held unsaved steps (pages deleted, notes loaded) looks clean,
    // but the steps it held are still unsaved.
    if (clean && !settingClean && undoStack && undoStack->count() == 0)
        ++pageChanges;
    reportUnsaved();
}

bool NotesKeeper::hasUnsavedChanges() const
{
    return pageChanges != savedPageChanges || (undoStack && !undoStack->isClean());
}

void NotesKeeper::markSaved()
{
    copiedChanges = changes;
    savedPageChanges = pageChanges;
    if (undoStack) {
        settingClean = true;
        undoStack->setClean();
        settingClean = false;
    }
    reportUnsaved();
}

void NotesKeeper::reportUnsaved()
{
    const bool unsaved = hasUnsavedChanges();
    if (unsaved == reportedUnsaved)
        return;
    reportedUnsaved = unsaved;
    emit unsavedChangesChanged(unsaved);
}

QString NotesKeeper::recoveryFile() const
{
    return path.isEmpty() ? NotesGuard::untitledRecoveryFile(serial) : NotesGuard::recoveryFileFor(path);
}

bool NotesKeeper::writeRecoveryCopy(bool wait)
{
    finishPendingWrite();
    // Pages are read on the GUI thread, where they live; only the file is written elsewhere.
    const QByteArray bytes = serialize();
    if (bytes.isEmpty())
        return false;
    copiedChanges = changes;
    const QString target = recoveryFile();
    pendingWrite = std::async(std::launch::async,
                              [target, bytes] { return NotesGuard::writeAtomically(target, bytes); });
    if (!wait)
        return true;
    return pendingWrite.get();
}

void NotesKeeper::removeRecoveryCopy()
{
    finishPendingWrite();
    QFile::remove(recoveryFile());
}

void NotesKeeper::setAutosaveInterval(int milliseconds)
{
    autosaveTimer->setInterval(milliseconds);
}

int NotesKeeper::autosaveInterval() const
{
    return autosaveTimer->interval();
}

void NotesKeeper::finishPendingWrite()
{
    if (pendingWrite.valid())
        pendingWrite.get();
}
