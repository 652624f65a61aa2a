#pragma once

// Reader and writer of the ".nts" notes file. They work on the page model (rows laid out as in
// io/pagemodel.h) and a scene factory, never on a window, so that the window and the command-line
// tool share them.
//
// Format 7.0 is written; formats 7 and later and the older formats (major below 7) are read.
// Every value goes through QDataStream at stream version 23 (big-endian). Fonts carry the
// features/axes tail of newer toolkits; a font's tail read from a file is kept on its text item
// (see FontTailKey) and written again as long as the item keeps that font.

#include <QString>
#include <QtGlobal>

#include <functional>

class NotesScene;
class NotesTextItem;
class QDataStream;
class QIODevice;
class QStandardItemModel;

namespace NotesFile {

// Version written into new files (the window's fileVersionMajor / fileVersionMinor).
inline constexpr qint32 FormatMajor = 7;
inline constexpr qint32 FormatMinor = 0;
// QDataStream version used on both sides (Qt_6_10 in newer toolkits).
inline constexpr int StreamVersion = 23;

// Item data key under which a text item read from a file keeps the features/axes tail of its
// font, together with the font it belongs to (a QVariantList {QFont, QByteArray}). The writer
// uses the tail only while the item's font still equals that font; a font chosen later gets
// empty maps. Private to the notes file; nothing else reads it.
inline constexpr int FontTailKey = 0x4E54; // "NT"

// Item data key under which a picture read from a current-format file keeps its layer records as
// they stand, with the keyed map made of them and their count (a QVariantList {QVariantMap,
// qint64, QByteArray}). The writer copies the records while the picture's PictureLayersKey map is
// still that same map (not a copy with changes, not a new one): a save of an unchanged review
// converts no layers. Private to the notes file.
inline constexpr int LayerRecordsKey = 0x4E4C; // "NL"

// Makes the scene of one page (the window passes its createPageScene). The reader owns nothing
// it makes: the scene goes into the row's SceneRole, or is deleted when its page is dropped.
using SceneFactory = std::function<NotesScene *()>;

struct ReadOptions
{
    // The page mapper's current index while loading. Empty titles become "Note%1" with this
    // index plus 2 in format 7 files, plus 1 in older files (the mapper does not move).
    int currentIndex = -1;
    // Called for each text item the reader creates, before it is added to its scene; the
    // window connects the item's rotateText signal here. May be empty.
    std::function<void(NotesTextItem *)> textItemCreated;
    // Called after each page with the bytes read so far and the file's size. May be empty.
    std::function<void(qint64 done, qint64 total)> progress;
};

// Called after each page written with the pages written so far and their number.
using WriteProgress = std::function<void(int done, int total)>;

struct ReadResult
{
    bool opened = false; // the file could be opened (always true for readNotes on a device)
    qint32 major = 0;    // format version read from the file (0.0 for an empty file)
    qint32 minor = 0;
    qint32 pagesDeclared = -1; // page count of a format 7 file; -1 for older formats (no count)
    int pagesRead = 0;         // rows appended to the model
    bool damaged = false;      // the read stopped at a stream error or an impossible count
    qint64 damageOffset = -1;  // byte offset at which reading stopped, -1 when not damaged
    QString message;           // when damaged: one sentence saying why and where reading stopped, fit
                               // to follow the caller's own "damaged, N pages read" text; else empty
};

struct SaveResult
{
    bool ok = false;
    QString errorString; // why the save failed; empty on success
};

// Writes all pages of the model as a format major.minor file (the layout of 7.0) to a stream
// whose version the function sets to StreamVersion. Items other than pictures and annotations
// are not written; text items with empty plain text are skipped.
void writeNotes(QDataStream &out, const QStandardItemModel &model, qint32 major = FormatMajor,
                qint32 minor = FormatMinor, const WriteProgress &progress = {});

// Writes to an open device; false when the device reported a write error.
bool writeNotes(QIODevice *device, const QStandardItemModel &model, qint32 major = FormatMajor,
                qint32 minor = FormatMinor, const WriteProgress &progress = {});

// Atomic save (QSaveFile): the file at path is replaced only once the new one is complete, so a
// failed save leaves the previous file untouched. An empty path fails.
SaveResult saveNotesFile(const QString &path, const QStandardItemModel &model, qint32 major = FormatMajor,
                         qint32 minor = FormatMinor, const WriteProgress &progress = {});

// Reads a notes file from an open device and appends one row per page to the model. Pages read
// completely before any damage are kept; the page during which the damage was found is dropped
// (its scene deleted). No count from the file is trusted for allocation or looping beyond what the
// remaining bytes can hold.
ReadResult readNotes(QIODevice *device, QStandardItemModel &model, const SceneFactory &createScene,
                     const ReadOptions &options = {});

// Opens path and reads it with readNotes. A file that does not exist or cannot be opened gives
// opened == false and changes nothing.
ReadResult loadNotesFile(const QString &path, QStandardItemModel &model, const SceneFactory &createScene,
                         const ReadOptions &options = {});

} // namespace NotesFile
