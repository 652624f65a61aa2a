#pragma once

// Helpers shared by the notes file tests: a page model that frees its scenes, page builders,
// in-memory save and load, and a raw writer for files the program itself no longer writes.

#include "io/dsvlayer.h"
#include "io/fontstream.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "scene/notespictureitem.h"
#include "scene/notesscene.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QGraphicsPixmapItem>
#include <QImage>
#include <QPixmap>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QtEndian>

namespace TestKit {

// A page model laid out as the window keeps it; deletes its page scenes like the window does.
class PageModel : public QStandardItemModel
{
public:
    ~PageModel() override { clearPages(); }

    void clearPages()
    {
        for (int row = 0; row < rowCount(); ++row)
            delete scene(row);
        clear();
    }

    QGraphicsScene *scene(int row) const
    {
        const QStandardItem *item = this->item(row, Page::SceneColumn);
        return item ? qvariant_cast<QGraphicsScene *>(item->data(Page::SceneRole)) : nullptr;
    }

    // Takes the last page out and deletes its scene.
    void removeLastPage()
    {
        const int row = rowCount() - 1;
        delete scene(row);
        removeRow(row);
    }

    QStandardItem *sceneItem(int row) const { return item(row, Page::SceneColumn); }
    QString title(int row) const { return item(row, Page::TitleColumn)->text(); }

    // Appends a page as the window does; the view rectangle is left unset when null.
    NotesScene *appendPage(const QString &title, const QString &date = QStringLiteral("01.02.2024 10:30"),
                           const QString &comment = QString(), const QRectF &viewRect = QRectF())
    {
        auto *scene = new NotesScene;
        auto *sceneItem = new QStandardItem;
        sceneItem->setData(QVariant::fromValue(scene), Page::SceneRole);
        if (!viewRect.isNull())
            sceneItem->setData(viewRect, Page::ViewRectRole);
        appendRow({new QStandardItem(title), sceneItem, new QStandardItem(date), new QStandardItem(comment)});
        return scene;
    }
};

inline NotesFile::SceneFactory sceneFactory()
{
    return [] { return new NotesScene; };
}

inline QByteArray saved(const QStandardItemModel &model)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    NotesFile::writeNotes(&buffer, model);
    return bytes;
}

inline NotesFile::ReadResult load(const QByteArray &bytes, QStandardItemModel &model, int currentIndex = -1)
{
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    NotesFile::ReadOptions options;
    options.currentIndex = currentIndex;
    return NotesFile::readNotes(&buffer, model, sceneFactory(), options);
}

inline QPixmap solidPixmap(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return QPixmap::fromImage(image);
}

inline QGraphicsPixmapItem *addPicture(QGraphicsScene *scene, const QPixmap &pixmap, const QPointF &pos,
                                       const QList<DsvLayer> &layers, bool hasLayers)
{
    auto *picture = new NotesPictureItem(pixmap);
    picture->setFlags(QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
    picture->setData(PictureHasLayersKey, hasLayers);
    if (hasLayers && !layers.isEmpty())
        picture->setData(PictureLayersKey, layerListToMap(layers));
    picture->setPos(pos);
    scene->addItem(picture);
    return picture;
}

inline DsvLayer layer(const QString &name, qint32 number, const QColor &padColor = QColor(Qt::red))
{
    DsvLayer l;
    l.name = name;
    l.number = number;
    l.padcol = padColor;
    return l;
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes written as hex digits, spaces allowed for grouping.
inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// The items of one class in a scene, in ascending stacking order: the order the loader added them in.
template <class T> QList<T *> itemsOf(QGraphicsScene *scene)
{
    QList<T *> result;
    for (QGraphicsItem *item : scene->items(Qt::AscendingOrder)) {
        if (item->type() == T::Type)
            result.append(static_cast<T *>(item));
    }
    return result;
}

inline QString dataPath(const QString &name)
{
    return QStringLiteral(QUILL_TEST_DATA_DIR "/notes/") + name;
}

// A notes file taken apart into its PNG payloads and everything else. PNG bytes depend on the
// zlib build that wrote them; files are compared by their other bytes exactly and their pictures
// decoded.
struct PictureSplit
{
    QByteArray rest;
    QList<QImage> pictures;
};

inline PictureSplit splitPictures(const QByteArray &bytes)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    PictureSplit split;
    qsizetype at = 0;
    for (;;) {
        const qsizetype start = bytes.indexOf(signature, at);
        if (start < 0)
            break;
        qsizetype end = start + 8;
        while (end + 12 <= bytes.size()) {
            const quint32 length = qFromBigEndian<quint32>(bytes.constData() + end);
            const bool last = bytes.mid(end + 4, 4) == "IEND";
            end += 12 + qsizetype(length);
            if (last)
                break;
        }
        split.rest += bytes.mid(at, start - at) + "<png>";
        split.pictures.append(QImage::fromData(bytes.mid(start, end - start), "PNG")
                                  .convertToFormat(QImage::Format_ARGB32));
        at = end;
    }
    split.rest += bytes.mid(at);
    return split;
}

// Writes files value by value in the stream form of the notes file; for layouts and damage the
// program's own writer never produces.
class RawWriter
{
public:
    RawWriter()
        : stream(&bytes, QIODevice::WriteOnly)
    {
        stream.setVersion(NotesFile::StreamVersion);
    }

    template <class T> RawWriter &operator<<(const T &value)
    {
        stream << value;
        return *this;
    }

    RawWriter &font(const QFont &font, const QByteArray &tail = QByteArray())
    {
        FontStream::write(stream, font, tail);
        return *this;
    }

    RawWriter &raw(const QByteArray &data)
    {
        stream.writeRawData(data.constData(), int(data.size()));
        return *this;
    }

    QByteArray bytes;
    QDataStream stream;
};

} // namespace TestKit
