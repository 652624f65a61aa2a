#include "io/notesguard.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/uio.h>
#endif

namespace NotesGuard {

FileStamp stampOf(const QString &path)
{
    FileStamp stamp;
    if (path.isEmpty())
        return stamp;
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    return stamp;
}

bool sameFile(const QString &a, const QString &b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

bool changedOnDisk(const QString &path, const FileStamp &known)
{
    const FileStamp now = stampOf(path);
    return now.exists && now != known;
}

QString besideName(const QString &path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("nts") : info.suffix();
    const QString stem = info.dir().filePath(info.completeBaseName());
    QString candidate = QStringLiteral("%1.recovered.%2").arg(stem, suffix);
    // Bounded: a folder full of earlier copies still gets a name, never an endless search.
    for (int n = 2; QFileInfo::exists(candidate) && n < 10000; ++n)
        candidate = QStringLiteral("%1.recovered-%2.%3").arg(stem).arg(n).arg(suffix);
    return candidate;
}

QString recoveryFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString recoveryFileFor(const QString &notesPath)
{
    const QFileInfo info(notesPath);
    const QByteArray key =
        QCryptographicHash::hash(info.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QDir(recoveryFolder())
        .filePath(QStringLiteral("%1-%2.nts").arg(info.completeBaseName(), QString::fromLatin1(key)));
}

QString untitledRecoveryFile(quint64 serial)
{
    return QDir(recoveryFolder())
        .filePath(QStringLiteral("untitled-%1-%2.nts").arg(QCoreApplication::applicationPid()).arg(serial));
}

namespace {

// Commits when the file holds the written bytes (flushed: whether the device's buffer reached it).
bool commitWritten(QSaveFile &file, bool flushed, qint64 written, QString *error)
{
    if (!flushed || file.size() != written) {
        if (error) {
            *error = flushed || file.errorString().isEmpty()
                         ? QCoreApplication::translate("WdgNotes", "Only %1 of %2 bytes could be written.")
                               .arg(file.size())
                               .arg(written)
                         : file.errorString();
        }
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool commitComplete(QSaveFile &file, QString *error)
{
    const bool flushed = file.flush();
    return commitWritten(file, flushed, file.pos(), error);
}

bool writeWhole(QSaveFile &file, const QList<QByteArray> &pieces, QString *error)
{
#ifdef Q_OS_UNIX
    // Many pieces (a picture each, and what lies between) cost a system call each through the
    // device; gathered writes take up to IOV_MAX of them at once. The device's own buffer is
    // empty, so the bytes land in order.
    if (file.flush() && file.handle() >= 0) {
        std::vector<iovec> chunks;
        chunks.reserve(size_t(pieces.size()));
        qint64 total = 0;
        for (const QByteArray &bytes : pieces) {
            if (bytes.isEmpty())
                continue;
            chunks.push_back({const_cast<char *>(bytes.constData()), size_t(bytes.size())});
            total += bytes.size();
        }
        size_t next = 0;
        while (next < chunks.size()) {
            const int count = int(std::min<size_t>(chunks.size() - next, IOV_MAX));
            const ssize_t written = ::writev(file.handle(), chunks.data() + next, count);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                if (error) {
                    *error = written < 0 ? qt_error_string(errno)
                                         : QCoreApplication::translate("WdgNotes", "The disk took no more bytes.");
                }
                file.cancelWriting();
                return false;
            }
            // A short write leaves the rest of a piece, or of several, for the next call.
            for (size_t left = size_t(written); left > 0;) {
                iovec &chunk = chunks[next];
                const size_t taken = std::min(left, chunk.iov_len);
                chunk.iov_base = static_cast<char *>(chunk.iov_base) + taken;
                chunk.iov_len -= taken;
                left -= taken;
                if (chunk.iov_len == 0)
                    ++next;
            }
        }
        // The device did not see these writes: its position stays at 0, so the size is checked
        // against what was handed to the system.
        return commitWritten(file, true, total, error);
    }
#endif
    for (const QByteArray &bytes : pieces) {
        if (file.write(bytes) != bytes.size()) {
            if (error)
                *error = file.errorString();
            file.cancelWriting();
            return false;
        }
    }
    return commitComplete(file, error);
}

bool writeWhole(QSaveFile &file, const QByteArray &bytes, QString *error)
{
    return writeWhole(file, QList<QByteArray>{bytes}, error);
}

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return writeWhole(file, bytes, error);
}

bool moveFile(const QString &from, const QString &to)
{
    // QFile::rename copies and removes when the two names are on different file systems.
    return QFile::rename(from, to);
}

NotesLock::NotesLock(const QString &notesPath)
    : path(notesPath)
    , lock(std::make_unique<QLockFile>(lockFileFor(notesPath)))
{
    // An editor may keep a file for hours: only a dead owner makes a lock stale, never its age.
    lock->setStaleLockTime(0);
}

NotesLock::~NotesLock() = default;

NotesLock::State NotesLock::tryLock()
{
    if (lock->isLocked() || lock->tryLock(0))
        return State::Taken;
    return lock->error() == QLockFile::LockFailedError ? State::HeldByOther : State::Unavailable;
}

bool NotesLock::isLocked() const
{
    return lock->isLocked();
}

void NotesLock::unlock()
{
    lock->unlock();
}

QString NotesLock::owner() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock->getLockInfo(&pid, &host, &application))
        return QCoreApplication::translate("WdgNotes", "another editor");
    return QCoreApplication::translate("WdgNotes", "process %1 on %2").arg(pid).arg(host);
}

QString NotesLock::lockFileFor(const QString &notesPath)
{
    return notesPath + QStringLiteral(".lock");
}

} // namespace NotesGuard
