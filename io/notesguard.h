#pragma once

// What keeps a reviewer's notes from being lost or overwritten: the lock that makes one editor
// the owner of a notes file, the fingerprint that tells whether someone else changed the file,
// and the names of the copies kept beside a file or in the recovery folder.

#include <QByteArray>
#include <QList>
#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

class QSaveFile;

namespace NotesGuard {

// Size and modification time of a file when it was last read or written by us.
struct FileStamp
{
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;

    bool operator==(const FileStamp &other) const
    {
        return exists == other.exists && size == other.size && modified == other.modified;
    }
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};

FileStamp stampOf(const QString &path);

// True when both name the same file (compared as absolute paths; empty names never match).
bool sameFile(const QString &a, const QString &b);

// True when the file at path is no longer what `known` describes. A file that has gone is not
// "changed by someone else": writing it again loses nothing.
bool changedOnDisk(const QString &path, const FileStamp &known);

// A name beside `path` that is free: NAME.recovered.nts, then NAME.recovered-2.nts and so on.
QString besideName(const QString &path);

// The folder of recovery copies, under the user's application data folder.
QString recoveryFolder();

// The recovery copy of a notes file: one name per absolute path, so that two files of the same
// name in different folders never share a copy.
QString recoveryFileFor(const QString &notesPath);

// The recovery copy of a window that has no notes file yet; unique to this process and `serial`.
QString untitledRecoveryFile(quint64 serial);

// Commits a save file only when every byte written reached the disk. The toolkit reports a write
// that stopped part-way (disk full, file size limit) as a success as long as some bytes were
// written, and commit() would then replace the previous file with a truncated one. On failure the
// save is cancelled, the previous file kept, and *error says why.
bool commitComplete(QSaveFile &file, QString *error = nullptr);

// Writes bytes to an open save file and commits it with commitComplete; on failure the save is
// cancelled and *error says why.
bool writeWhole(QSaveFile &file, const QByteArray &bytes, QString *error = nullptr);
// The same for bytes given as pieces, written one after the other.
bool writeWhole(QSaveFile &file, const QList<QByteArray> &pieces, QString *error = nullptr);

// Writes bytes to path atomically; false (and the reason in *error) when it could not.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Moves a file, also across file systems; false when the source stays where it was.
bool moveFile(const QString &from, const QString &to);

// The lock of one notes file, held while an editor works on it.
class NotesLock
{
public:
    enum class State {
        Taken,       // this editor owns the file now
        HeldByOther, // another editor, in this or another process, owns it
        Unavailable, // no lock can be made (read-only folder): nobody can write there either
    };

    explicit NotesLock(const QString &notesPath);
    ~NotesLock();
    NotesLock(const NotesLock &) = delete;
    NotesLock &operator=(const NotesLock &) = delete;

    // Takes the lock; a lock left by a dead process of this machine is recovered.
    State tryLock();
    bool isLocked() const;
    void unlock();

    // Who holds the lock when tryLock answered HeldByOther, as "process 123 on host".
    QString owner() const;
    QString notesPath() const { return path; }

    static QString lockFileFor(const QString &notesPath);

private:
    QString path;
    std::unique_ptr<QLockFile> lock;
};

} // namespace NotesGuard
