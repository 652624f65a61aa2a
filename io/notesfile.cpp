#include "notesfile.h"

#include "io/dsvlayer.h"
#include "io/fontstream.h"
#include "io/notesguard.h"
#include "io/pagemodel.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/notesconstants.h"
#include "scene/noteslineitem.h"
#include "scene/notespictureitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notesscene.h"
#include "scene/notestextdocument.h"
#include "scene/notestextitem.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsPixmapItem>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QSaveFile>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QtEndian>

#include <zlib.h>

#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

namespace {

using namespace NotesFile;

// Smallest stream form of each value, used to reject counts that cannot fit in what is left.
constexpr qint64 StringMin = 4;   // null string: its length code only
constexpr qint64 ColorBytes = 11; // qint8 spec, five quint16
constexpr qint64 PointBytes = 16;
constexpr qint64 RectBytes = 32;
constexpr qint64 LineBytes = 32;
constexpr qint64 PixmapMin = 4; // null marker
constexpr qint64 PathMin = 4;   // empty path: element count 0
// number, two strings, eleven colours, fifteen qint32, eleven bool bytes.
constexpr qint64 LayerMin = 4 + 2 * StringMin + 11 * ColorBytes + 15 * 4 + 11;
// family, style name, 31 fixed bytes, families count, both tag-map counts (stream version 23).
constexpr qint64 FontMin = 2 * StringMin + 31 + 4 + 8;

// Counts inside a page are qint64 ("wide") in format 7 and qint32 in older formats.
constexpr qint64 pictureMin(bool wide)
{
    return PointBytes + PixmapMin + (wide ? 8 : 4);
}
constexpr qint64 TextMinOld = StringMin + FontMin + ColorBytes + PointBytes;
constexpr qint64 TextMin = TextMinOld + 8 + 4;
constexpr qint64 ArrowMin = LineBytes + ColorBytes + PointBytes;
constexpr qint64 BoxMin = RectBytes + ColorBytes + 4 + 4 + PointBytes;
constexpr qint64 PathRecordMin = PathMin + ColorBytes + 4 + 4 + PointBytes;
constexpr qint64 PageMin7 = 3 * StringMin + RectBytes + 7 * 8;

// QPainterPath element: qint32 type, two doubles; after the elements qint32 cStart and fill rule.
constexpr qint64 PathElementBytes = 4 + 8 + 8;

// Circles and rectangles are stored by their rectangle, freehand lines and polylines by their path;
// the rest of their records is the same.
template <class Shape>
constexpr bool isBox = std::is_same_v<Shape, NotesCircleItem> || std::is_same_v<Shape, NotesRectangleItem>;

// Pictures are decoded only when shown. The checksums of the small critical chunks (header,
// palette, end) are tested here, so that a picture whose size or colours cannot be trusted makes
// the file count as damaged. The image data's checksums are left to the decoder when the picture
// is shown: a damaged picture body then shows as a damaged picture on its page, and the pages
// after it are kept instead of being cut off with it. png is a complete, walked PNG.
bool criticalChunksIntact(const QByteArray &png)
{
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        const char *type = png.constData() + at + 4;
        const qsizetype end = at + 8 + qsizetype(length);
        if (end + 4 > png.size())
            return false;
        const bool critical = type[0] >= 'A' && type[0] <= 'Z';
        if (critical && std::memcmp(type, "IDAT", 4) != 0 &&
            ::crc32(0, reinterpret_cast<const Bytef *>(type), uInt(4 + length)) !=
                qFromBigEndian<quint32>(png.constData() + end))
            return false;
        at = end + 4;
    }
    return true;
}

QString textOf(const QStandardItemModel &model, int row, int column)
{
    const QStandardItem *item = model.item(row, column);
    return item ? item->text() : QString();
}

// Items of one type number, in the scene's default order (descending stacking order).
QList<QGraphicsItem *> itemsOfType(const QList<QGraphicsItem *> &items, int type)
{
    QList<QGraphicsItem *> result;
    for (QGraphicsItem *item : items) {
        if (item->type() == type)
            result.append(item);
    }
    return result;
}

QByteArray fontTailOf(const QGraphicsTextItem *item)
{
    const QVariantList kept = item->data(FontTailKey).toList();
    if (kept.size() != 2 || kept.at(0).value<QFont>() != item->font())
        return QByteArray();
    return kept.at(1).toByteArray();
}

template <class Shape> void writeShapes(QDataStream &out, const QList<QGraphicsItem *> &items, int type)
{
    const QList<QGraphicsItem *> shapes = itemsOfType(items, type);
    out << qint64(shapes.size());
    for (QGraphicsItem *item : shapes) {
        const auto *shape = static_cast<const Shape *>(item);
        if constexpr (isBox<Shape>)
            out << shape->rect();
        else
            out << shape->path();
        out << shape->color() << qint32(shape->width()) << qint32(shape->style()) << shape->pos();
    }
}

// A save's bytes as a list of pieces: what the stream writes is gathered in small pieces, while
// the large blocks the model already holds (pictures, layer records) are taken as they are,
// shared instead of copied. The file then gets every byte once, straight from where it lies.
class PieceWriter : public QIODevice
{
public:
    PieceWriter() { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }

    void writeBlock(QDataStream &out, const QByteArray &block)
    {
        if (block.size() < SharedMin) {
            out.writeRawData(block.constData(), int(block.size()));
            return;
        }
        endPiece();
        pieces.append(block);
    }
    const QList<QByteArray> &finished()
    {
        endPiece();
        return pieces;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (current.isEmpty())
            current.reserve(PieceReserve);
        current.append(data, size);
        return size;
    }

private:
    // Smaller blocks are cheaper to copy than to write on their own.
    static constexpr qsizetype SharedMin = 4096;
    static constexpr qsizetype PieceReserve = 16384;
    void endPiece()
    {
        if (!current.isEmpty())
            pieces.append(std::exchange(current, QByteArray()));
    }
    QList<QByteArray> pieces;
    QByteArray current;
};

// Writes a block the model holds: shared when the stream goes to a PieceWriter.
void writeBlock(QDataStream &out, PieceWriter *pieces, const QByteArray &block)
{
    if (pieces)
        pieces->writeBlock(out, block);
    else
        out.writeRawData(block.constData(), int(block.size()));
}

void writePage(QDataStream &out, PieceWriter *pieces, const QStandardItemModel &model, int row)
{
    out << textOf(model, row, Page::TitleColumn) << textOf(model, row, Page::DateColumn)
        << textOf(model, row, Page::CommentColumn);
    const QStandardItem *sceneItem = model.item(row, Page::SceneColumn);
    out << (sceneItem ? sceneItem->data(Page::ViewRectRole).toRectF() : QRectF());

    const auto *scene =
        sceneItem ? qvariant_cast<QGraphicsScene *>(sceneItem->data(Page::SceneRole)) : nullptr;
    const QList<QGraphicsItem *> items = scene ? scene->items() : QList<QGraphicsItem *>();

    const QList<QGraphicsItem *> pictures = itemsOfType(items, Notes::PictureType);
    out << qint64(pictures.size());
    for (QGraphicsItem *item : pictures) {
        out << item->pos();
        if (const auto *picture = dynamic_cast<const NotesPictureItem *>(item)) {
            // The bytes the picture was read from go back unchanged; a new one is encoded once.
            const QByteArray png = picture->pngBytes();
            out << qint32(png.isEmpty() ? 0 : 1);
            writeBlock(out, pieces, png);
        } else {
            out << static_cast<QGraphicsPixmapItem *>(item)->pixmap();
        }
        const QVariant hasLayers = item->data(PictureHasLayersKey);
        if (hasLayers.isValid() && hasLayers.toBool()) {
            const QVariantMap map = item->data(PictureLayersKey).toMap();
            const QVariantList records = item->data(LayerRecordsKey).toList();
            if (records.size() == 3 && records.at(0).toMap().isSharedWith(map) && !map.isEmpty()) {
                out << records.at(1).toLongLong();
                writeBlock(out, pieces, records.at(2).toByteArray());
                continue;
            }
            const QList<DsvLayer> layers = layerListFromMap(map);
            out << qint64(layers.size());
            for (const DsvLayer &layer : layers)
                out << layer;
        } else {
            out << qint64(0);
        }
    }

    QList<NotesTextItem *> texts;
    for (QGraphicsItem *item : itemsOfType(items, Notes::TextType)) {
        auto *text = static_cast<NotesTextItem *>(item);
        if (!text->toPlainText().isEmpty())
            texts.append(text);
    }
    out << qint64(texts.size());
    for (const NotesTextItem *text : texts) {
        // A text item always has a document, so the HTML form is the one written.
        out << text->toHtml();
        FontStream::write(out, text->font(), fontTailOf(text));
        out << text->defaultTextColor() << text->pos() << double(text->rotation()) << qint32(1);
    }

    const QList<QGraphicsItem *> arrows = itemsOfType(items, Notes::ArrowType);
    out << qint64(arrows.size());
    for (QGraphicsItem *item : arrows) {
        const auto *arrow = static_cast<const NotesArrow *>(item);
        out << arrow->line() << arrow->color() << arrow->pos();
    }
    writeShapes<NotesCircleItem>(out, items, Notes::CircleType);
    writeShapes<NotesRectangleItem>(out, items, Notes::RectangleType);
    writeShapes<NotesLineItem>(out, items, Notes::LineType);
    writeShapes<NotesPolyLineItem>(out, items, Notes::PolyLineType);
}

// Reads one notes file. Every read is checked; the first failure or impossible count ends the
// whole read, and the page being read is dropped with everything made for it.
class Reader
{
public:
    Reader(QDataStream &in, QStandardItemModel &model, const SceneFactory &createScene,
           const ReadOptions &options, ReadResult &result)
        : in(in)
        , device(in.device())
        , whole(wholeOf(device))
        , model(model)
        , createScene(createScene)
        , options(options)
        , result(result)
    {
    }

    void run();

private:
    // One page under construction; its scene is deleted unless the page completes.
    struct PageBuild
    {
        std::unique_ptr<NotesScene> scene;
        QString title;
        QString date;
        QString comment;
        QRectF viewRect;
        QList<DsvLayer> layers; // of all pictures, in file order
        bool hasLayerMap = false;
        // The keyed map of the only picture that brought layers: the page's map is the same.
        QVariantMap onlyPictureMap;
        int picturesWithLayers = 0;
    };

    // The bytes of the whole stream when they are all in memory (a buffer), else null.
    static const QByteArray *wholeOf(QIODevice *device)
    {
        const auto *buffer = qobject_cast<const QBuffer *>(device);
        return buffer ? &buffer->data() : nullptr;
    }
    // Copies n bytes found at pos into to without moving the read position; false past the end.
    bool peekAt(qint64 pos, char *to, qint64 n);
    // After the layer count of a picture: true, with the stream past them, when the records that
    // follow are the same bytes as the previous picture's (their layers and map are reused).
    bool sameRecordsAsBefore(qint64 count);

    bool ok() const { return in.status() == QDataStream::Ok; }
    qint64 remaining() const { return device->size() - device->pos(); }
    bool fail(QDataStream::Status status)
    {
        if (ok())
            in.setStatus(status);
        return false;
    }
    // count records of at least minBytes each must fit in what is left; negative counts read none.
    bool fits(qint64 count, qint64 minBytes)
    {
        return count <= remaining() / minBytes || fail(QDataStream::ReadPastEnd);
    }

    bool readColor(QColor &color);
    // A picture: empty png for a null picture; size from its header.
    bool readPicturePng(QByteArray &png, QSize &size);
    bool readPath(QPainterPath &path);
    bool readPenStyle(Qt::PenStyle &style);
    bool checkLayerColors();
    bool readLayers(qint64 count, QList<DsvLayer> &layers);
    bool readCount(bool wide, qint64 &count);

    bool beginPage(PageBuild &page, int titleOffset);
    void finishPage(PageBuild &page);
    bool readPage7();
    // false when reading ends: damage, or (stream still good) the null picture that ends a 4.x file.
    bool readOldPage();
    bool readPictures(PageBuild &page, bool wide);
    bool readPicture(PageBuild &page, bool wide);
    bool readTexts(PageBuild &page, bool wide, bool withRotation);
    bool readArrows(PageBuild &page, bool wide);
    bool readGeometry(QRectF &rect);
    bool readGeometry(QPainterPath &path) { return readPath(path); }
    template <class Shape> bool readShapeRecords(PageBuild &page, bool wide);
    // Circles, rectangles, freehand lines and polylines, in the order of the file.
    bool readShapes(PageBuild &page, bool wide)
    {
        return readShapeRecords<NotesCircleItem>(page, wide) &&
               readShapeRecords<NotesRectangleItem>(page, wide) &&
               readShapeRecords<NotesLineItem>(page, wide) && readShapeRecords<NotesPolyLineItem>(page, wide);
    }

    QDataStream &in;
    QIODevice *device;
    const QByteArray *whole;
    QStandardItemModel &model;
    const SceneFactory &createScene;
    const ReadOptions &options;
    ReadResult &result;
    qint64 version10 = 0; // major * 10 + minor (minor <= 0 adds nothing)
    // Pixels the pictures of this file may still claim (see run()).
    qint64 pixelsLeft = 0;
    // Keyed layer maps already made, by the layer records they were made of.
    static constexpr qsizetype MaxSharedLayerMaps = 256;
    QHash<QByteArray, QVariantMap> mapsByRecords;
    // The previous picture's layer records, what they were read as, and their map.
    struct KnownRecords
    {
        qint64 count = 0;
        QByteArray bytes;
        QList<DsvLayer> layers;
        QVariantMap map;
    } lastRecords;
};

bool Reader::peekAt(qint64 pos, char *to, qint64 n)
{
    if (whole) {
        if (pos < 0 || n > whole->size() - pos)
            return false;
        std::memcpy(to, whole->constData() + pos, size_t(n));
        return true;
    }
    return device->seek(pos) && device->peek(to, n) == n;
}

bool Reader::sameRecordsAsBefore(qint64 count)
{
    const qint64 pos = device->pos();
    const QByteArray &known = lastRecords.bytes;
    if (!whole || known.isEmpty() || count != lastRecords.count || known.size() > whole->size() - pos ||
        std::memcmp(whole->constData() + pos, known.constData(), size_t(known.size())) != 0)
        return false;
    return device->seek(pos + known.size());
}

bool Reader::readColor(QColor &color)
{
    if (remaining() < ColorBytes)
        return fail(QDataStream::ReadPastEnd);
    // Colour specs run from Invalid (0) to ExtendedRgb (5); anything else is not a colour.
    const QByteArray spec = device->peek(1);
    if (spec.size() != 1 || spec.at(0) < QColor::Invalid || spec.at(0) > QColor::ExtendedRgb)
        return fail(QDataStream::ReadCorruptData);
    in >> color;
    return ok();
}

// A picture is a qint32 marker (0: null) followed by a whole PNG with no length in front. The PNG's
// chunks are walked first, each length checked against the bytes left, so that only a complete
// PNG of known size is taken and the stream continues right after it. The picture is not decoded
// here: its header gives its size, which is charged against the file's budget of pixels.
bool Reader::readPicturePng(QByteArray &png, QSize &size)
{
    qint32 marker = 0;
    in >> marker;
    if (!ok())
        return false;
    png.clear();
    size = QSize();
    if (marker == 0)
        return true;
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    const qint64 start = device->pos();
    const qint64 available = remaining();
    if (device->peek(8) != signature)
        return fail(available < 8 ? QDataStream::ReadPastEnd : QDataStream::ReadCorruptData);
    qint64 offset = 8;
    for (;;) {
        // Each chunk: quint32 data length, four-letter type, data, CRC.
        if (available - offset < 12)
            return fail(QDataStream::ReadPastEnd);
        char header[8];
        if (!peekAt(start + offset, header, 8))
            return fail(QDataStream::ReadPastEnd);
        const quint32 length = qFromBigEndian<quint32>(header);
        if (length > 0x7FFFFFFFu)
            return fail(QDataStream::ReadCorruptData);
        offset += 12 + qint64(length);
        if (offset > available)
            return fail(QDataStream::ReadPastEnd);
        // One picture is read in one piece; the stream reads at most 2 GiB at a time.
        if (offset > std::numeric_limits<int>::max())
            return fail(QDataStream::ReadCorruptData);
        if (std::memcmp(header + 4, "IEND", 4) == 0)
            break;
    }
    if (!device->seek(start))
        return fail(QDataStream::ReadCorruptData);
    png.resize(offset);
    if (in.readRawData(png.data(), int(offset)) != offset)
        return fail(QDataStream::ReadPastEnd);
    size = NotesPictureItem::pngSize(png);
    if (!size.isValid() || !criticalChunksIntact(png))
        return fail(QDataStream::ReadCorruptData);
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.width() > NotesPictureItem::MaxEdge || size.height() > NotesPictureItem::MaxEdge ||
        pixels > NotesPictureItem::MaxPixels || pixels > pixelsLeft) {
        result.message = QCoreApplication::translate(
                             "WdgNotes", "Reading stopped at byte %1 of %2: a picture of %3 x %4 pixels there "
                                         "is larger than this file can hold.")
                             .arg(start)
                             .arg(device->size())
                             .arg(size.width())
                             .arg(size.height());
        return fail(QDataStream::ReadCorruptData);
    }
    pixelsLeft -= pixels;
    return true;
}

// The toolkit's path reader trusts its element count and accepts any element sequence; the bytes
// are checked here first (count against what is left, element types, curve structure, start index,
// fill rule) and then handed to it, so it only ever sees a path it can draw.
bool Reader::readPath(QPainterPath &path)
{
    const qint64 start = device->pos();
    qint32 count = 0;
    in >> count;
    if (!ok())
        return false;
    if (count > 0) {
        if (count > (remaining() - 8) / PathElementBytes)
            return fail(QDataStream::ReadPastEnd);
        int curveData = 0; // CurveToData elements still owed to the last CurveTo
        for (qint32 i = 0; i < count; ++i) {
            qint32 type = -1;
            in >> type;
            if (!ok() || in.skipRawData(16) != 16)
                return fail(QDataStream::ReadPastEnd);
            bool valid = false;
            if (type < QPainterPath::MoveToElement || type > QPainterPath::CurveToDataElement)
                valid = false;
            else if (i == 0)
                valid = type == QPainterPath::MoveToElement;
            else if (curveData > 0)
                valid = type == QPainterPath::CurveToDataElement;
            else
                valid = type != QPainterPath::CurveToDataElement;
            if (!valid)
                return fail(QDataStream::ReadCorruptData);
            if (type == QPainterPath::CurveToElement)
                curveData = 2;
            else if (type == QPainterPath::CurveToDataElement)
                --curveData;
        }
        qint32 cStart = 0;
        qint32 fillRule = 0;
        in >> cStart >> fillRule;
        if (!ok())
            return false;
        if (curveData != 0 || cStart < 0 || cStart >= count ||
            (fillRule != Qt::OddEvenFill && fillRule != Qt::WindingFill))
            return fail(QDataStream::ReadCorruptData);
    } else if (count < 0) {
        // The toolkit reads no elements, then the start index and fill rule, and gives an empty path.
        if (remaining() < 8)
            return fail(QDataStream::ReadPastEnd);
    }
    if (!device->seek(start))
        return fail(QDataStream::ReadCorruptData);
    QPainterPath fresh; // 6.4's reader may append to a non-empty target
    in >> fresh;
    if (!ok())
        return false;
    // A path of one move is empty to the toolkit, which writes it as no path at all; a negative
    // count leaves a path of no elements that still holds the start index and fill rule read after
    // it, which the toolkit would write after a count of 0 and so put every later value out of step
    // (a file that read well would save damaged). Both are taken as the plain empty path.
    path = fresh.isEmpty() || fresh.elementCount() == 0 ? QPainterPath() : fresh;
    return true;
}

bool Reader::readPenStyle(Qt::PenStyle &style)
{
    qint32 value = 0;
    in >> value;
    if (!ok())
        return false;
    if (value < Qt::NoPen || value > Qt::CustomDashLine)
        return fail(QDataStream::ReadCorruptData);
    style = Qt::PenStyle(value);
    return true;
}

// A layer record holds eleven colours after its number and two strings. Their spec bytes are
// checked before the record is read, as readColor does for the annotation colours.
bool Reader::checkLayerColors()
{
    const qint64 start = device->pos();
    const qint64 available = remaining();
    const auto bytesAt = [&](qint64 offset, qint64 size) {
        return device->seek(start + offset) ? device->peek(size) : QByteArray();
    };
    QDataStream::Status status = QDataStream::Ok;
    qint64 offset = 4; // number
    for (int i = 0; i < 2 && status == QDataStream::Ok; ++i) {
        const QByteArray size = bytesAt(offset, 4);
        if (size.size() != 4) {
            status = QDataStream::ReadPastEnd;
            break;
        }
        const quint32 bytes = qFromBigEndian<quint32>(size.constData());
        offset += 4;
        if (bytes == 0xFFFFFFFFu)
            continue; // null string
        if ((bytes & 1u) != 0)
            status = QDataStream::ReadCorruptData;
        offset += bytes;
    }
    if (status == QDataStream::Ok) {
        const QByteArray colours = offset <= available ? bytesAt(offset, 11 * ColorBytes) : QByteArray();
        if (colours.size() != 11 * ColorBytes)
            status = QDataStream::ReadPastEnd;
        for (int i = 0; status == QDataStream::Ok && i < 11; ++i) {
            const char spec = colours.at(i * int(ColorBytes));
            if (spec < QColor::Invalid || spec > QColor::ExtendedRgb)
                status = QDataStream::ReadCorruptData;
        }
    }
    if (!device->seek(start) && status == QDataStream::Ok)
        status = QDataStream::ReadCorruptData;
    return status == QDataStream::Ok || fail(status);
}

bool Reader::readLayers(qint64 count, QList<DsvLayer> &layers)
{
    if (!fits(count, LayerMin))
        return false;
    for (qint64 i = 0; i < count; ++i) {
        if (!checkLayerColors())
            return false;
        DsvLayer layer;
        in >> layer;
        if (!ok())
            return false;
        layers.append(layer);
    }
    return true;
}

bool Reader::readCount(bool wide, qint64 &count)
{
    if (wide) {
        in >> count;
    } else {
        qint32 narrow = 0;
        in >> narrow;
        count = narrow;
    }
    return ok();
}

bool Reader::beginPage(PageBuild &page, int titleOffset)
{
    page.scene.reset(createScene ? createScene() : nullptr);
    if (!page.scene)
        return fail(QDataStream::ReadCorruptData);
    in >> page.title >> page.date >> page.comment;
    if (!ok())
        return false;
    if (page.title.isEmpty())
        page.title = QStringLiteral("Note%1").arg(options.currentIndex + titleOffset);
    return true;
}

void Reader::finishPage(PageBuild &page)
{
    auto *sceneItem = new QStandardItem;
    sceneItem->setData(QVariant::fromValue(page.scene.get()), Page::SceneRole);
    sceneItem->setData(page.viewRect, Page::ViewRectRole);
    if (page.hasLayerMap) {
        sceneItem->setData(page.picturesWithLayers == 1 ? page.onlyPictureMap : layerListToMap(page.layers),
                           Page::LayerMapRole);
    }
    page.scene.release(); // the row owns it now
    model.appendRow({new QStandardItem(page.title), sceneItem, new QStandardItem(page.date),
                     new QStandardItem(page.comment)});
    ++result.pagesRead;
    if (options.progress)
        options.progress(device->pos(), device->size());
}

bool Reader::readPictures(PageBuild &page, bool wide)
{
    qint64 count = 0;
    in >> page.viewRect;
    if (!ok() || !readCount(wide, count) || !fits(count, pictureMin(wide)))
        return false;
    for (qint64 i = 0; i < count; ++i) {
        if (!readPicture(page, wide))
            return false;
    }
    return true;
}

bool Reader::readPicture(PageBuild &page, bool wide)
{
    QPointF pos;
    QByteArray png;
    QSize size;
    qint64 layerCount = 0;
    in >> pos;
    if (!ok() || !readPicturePng(png, size) || !readCount(wide, layerCount))
        return false;
    QList<DsvLayer> layers;
    // The layer records of a current-format file as they stand, written back while the picture
    // keeps the map made of them (see LayerRecordsKey).
    QByteArray records;
    QVariantMap map;
    const qint64 recordsStart = device->pos();
    if (wide && layerCount > 0 && sameRecordsAsBefore(layerCount)) {
        layers = lastRecords.layers;
        records = lastRecords.bytes;
        map = lastRecords.map;
    } else if (layerCount > 0 && !readLayers(layerCount, layers)) {
        return false;
    } else if (wide && !layers.isEmpty()) {
        const qint64 recordsEnd = device->pos();
        if (!device->seek(recordsStart))
            return fail(QDataStream::ReadCorruptData);
        records = device->read(recordsEnd - recordsStart);
        if (records.size() != recordsEnd - recordsStart)
            return fail(QDataStream::ReadPastEnd);
    }

    auto *picture = new NotesPictureItem(png, size);
    picture->setZValue(PictureZ);
    picture->setFlags(QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
    // Format 7 says per picture whether it carries layers; older files mark every picture.
    picture->setData(PictureHasLayersKey, !wide || layerCount > 0);
    // The picture keeps its own layers also when it comes from an older file, so that saving in
    // the current format, which stores layers per picture, does not lose them.
    if (!layers.isEmpty()) {
        // The pictures of one review mostly show the same layer table: pictures whose records are
        // the same bytes share one map.
        const auto known = !map.isEmpty() || records.isEmpty() ? mapsByRecords.cend()
                                                               : mapsByRecords.constFind(records);
        if (known != mapsByRecords.cend()) {
            map = *known;
        } else if (map.isEmpty()) {
            map = layerListToMap(layers);
            if (!records.isEmpty() && mapsByRecords.size() < MaxSharedLayerMaps)
                mapsByRecords.insert(records, map);
        }
        if (!records.isEmpty())
            lastRecords = {layerCount, records, layers, map};
        picture->setData(PictureLayersKey, map);
        if (!records.isEmpty())
            picture->setData(LayerRecordsKey, QVariantList{map, layerCount, records});
        page.onlyPictureMap = map;
        ++page.picturesWithLayers;
    }
    // The page's own map collects every picture's layers, so the host link and the result export
    // find them for pages of every format. Older files keep the map whenever a count is not 0.
    page.layers.append(layers);
    if (wide ? layerCount > 0 : layerCount != 0)
        page.hasLayerMap = true;
    picture->setPos(pos);
    page.scene->addItem(picture);
    return true;
}

bool Reader::readTexts(PageBuild &page, bool wide, bool withRotation)
{
    qint64 count = 0;
    if (!readCount(wide, count) || !fits(count, withRotation ? TextMin : TextMinOld))
        return false;
    for (qint64 i = 0; i < count; ++i) {
        QString text;
        QFont font;
        QByteArray fontTail;
        QColor color;
        QPointF pos;
        double rotation = 0;
        qint32 flag = 0;
        in >> text;
        if (!ok() || !FontStream::read(in, font, fontTail) || !readColor(color))
            return false;
        in >> pos;
        if (withRotation)
            in >> rotation >> flag;
        if (!ok())
            return false;

        auto *item = new NotesTextItem;
        item->setFont(font);
        item->setDefaultTextColor(color);
        if (flag != 0) {
            // The item keeps the font it was saved with: the new document starts from it.
            auto *document = new NotesTextDocument(item);
            document->setDefaultFont(font);
            document->setNotesHtml(text);
            item->setDocument(document);
            item->setTextInteractionFlags(Qt::TextSelectableByMouse);
        } else {
            item->setPlainText(text);
        }
        if (!fontTail.isEmpty())
            item->setData(FontTailKey, QVariantList{QVariant::fromValue(item->font()), fontTail});
        item->setRotation(rotation);
        item->setPos(pos);
        if (options.textItemCreated)
            options.textItemCreated(item);
        if (flag == 0)
            item->setTextInteractionFlags(Qt::TextEditable);
        page.scene->addItem(item);
    }
    return true;
}

bool Reader::readArrows(PageBuild &page, bool wide)
{
    qint64 count = 0;
    if (!readCount(wide, count) || !fits(count, ArrowMin))
        return false;
    for (qint64 i = 0; i < count; ++i) {
        QLineF line;
        QColor color;
        QPointF pos;
        in >> line;
        if (!ok() || !readColor(color))
            return false;
        in >> pos;
        if (!ok())
            return false;
        page.scene->addItem(new NotesArrow(line, color, pos));
    }
    return true;
}

bool Reader::readGeometry(QRectF &rect)
{
    in >> rect;
    return ok();
}

template <class Shape> bool Reader::readShapeRecords(PageBuild &page, bool wide)
{
    qint64 count = 0;
    if (!readCount(wide, count) || !fits(count, isBox<Shape> ? BoxMin : PathRecordMin))
        return false;
    for (qint64 i = 0; i < count; ++i) {
        std::conditional_t<isBox<Shape>, QRectF, QPainterPath> geometry;
        QColor color;
        qint32 width = 0;
        Qt::PenStyle style = Qt::SolidLine;
        QPointF pos;
        if (!readGeometry(geometry) || !readColor(color))
            return false;
        in >> width;
        if (!ok() || !readPenStyle(style))
            return false;
        in >> pos;
        if (!ok())
            return false;
        auto *item = new Shape(geometry, color, width, style);
        item->setPos(pos);
        page.scene->addItem(item);
    }
    return true;
}

bool Reader::readPage7()
{
    PageBuild page;
    if (!beginPage(page, 2))
        return false;
    if (!readPictures(page, true) || !readTexts(page, true, true) || !readArrows(page, true) ||
        !readShapes(page, true))
        return false;
    finishPage(page);
    return true;
}

bool Reader::readOldPage()
{
    PageBuild page;
    if (!beginPage(page, 1))
        return false;

    if (result.major == 4 && result.minor <= 4) {
        QByteArray png;
        QSize size;
        if (!readPicturePng(png, size))
            return false;
        if (png.isEmpty()) {
            // These files end with a null picture; the page it starts is not one.
            return false;
        }
        qint32 layerCount = 0;
        in >> page.viewRect >> layerCount;
        if (!ok())
            return false;
        QList<DsvLayer> discarded;
        if (layerCount > 0 && !readLayers(layerCount, discarded))
            return false;
        auto *picture = new NotesPictureItem(png, size);
        picture->setZValue(PictureZ);
        picture->setTransformOriginPoint(picture->boundingRect().center());
        picture->setFlags(QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
        picture->setData(PictureHasLayersKey, true);
        page.scene->addItem(picture);
    } else if (version10 > 44 && !readPictures(page, false)) {
        return false;
    }

    const bool rich = version10 > 37;
    if (!readTexts(page, false, rich) || !readArrows(page, false))
        return false;
    if (rich && !readShapes(page, false))
        return false;
    finishPage(page);
    return true;
}

void Reader::run()
{
    if (device->size() == 0) {
        // An empty file is an empty notes file of version 0.0.
        return;
    }
    // Pictures are decoded only when shown, but a file must not be able to claim more pixels than a
    // real review of its size could hold: a fixed allowance (dozens of full-screen pictures) plus
    // 128 pixels a byte, far more than board pictures compress to, far less than a flat picture
    // made to fill memory does.
    pixelsLeft = qint64(128) * 1024 * 1024 + 128 * device->size();
    in >> result.major >> result.minor;
    if (!ok())
        return;
    version10 = qint64(result.major) * 10 + qMax<qint32>(result.minor, 0);

    if (result.major >= 7) {
        qint32 pages = 0;
        in >> pages;
        if (!ok())
            return;
        result.pagesDeclared = pages;
        // The loop is bounded by the bytes, not by the count: every page needs PageMin7 of them.
        for (qint32 i = 0; i < pages; ++i) {
            if (remaining() < PageMin7) {
                fail(QDataStream::ReadPastEnd);
                return;
            }
            if (!readPage7())
                return;
        }
        return;
    }
    while (!in.atEnd()) {
        if (!readOldPage())
            return;
    }
}

// Why and where reading stopped; the caller says how many pages were read.
QString damageMessage(QDataStream::Status status, qint64 offset, qint64 size, const ReadResult &result)
{
    if (status == QDataStream::ReadPastEnd) {
        return QCoreApplication::translate(
                   "WdgNotes", "Reading stopped at byte %1 of %2: the file ends before the data it "
                               "announces.")
            .arg(offset)
            .arg(size);
    }
    if (status != QDataStream::Ok) {
        return QCoreApplication::translate("WdgNotes",
                                           "Reading stopped at byte %1 of %2: a value there is not valid.")
            .arg(offset)
            .arg(size);
    }
    return QCoreApplication::translate("WdgNotes", "The file announces %1 pages but holds %2.")
        .arg(result.pagesDeclared)
        .arg(result.pagesRead);
}

void writeAll(QDataStream &out, PieceWriter *pieces, const QStandardItemModel &model, qint32 major,
              qint32 minor, const WriteProgress &progress)
{
    out.setVersion(StreamVersion);
    const int pages = model.rowCount();
    out << major << minor << qint32(pages);
    for (int row = 0; row < pages; ++row) {
        writePage(out, pieces, model, row);
        if (progress)
            progress(row + 1, pages);
    }
}

} // namespace

namespace NotesFile {

void writeNotes(QDataStream &out, const QStandardItemModel &model, qint32 major, qint32 minor,
                const WriteProgress &progress)
{
    writeAll(out, nullptr, model, major, minor, progress);
}

bool writeNotes(QIODevice *device, const QStandardItemModel &model, qint32 major, qint32 minor,
                const WriteProgress &progress)
{
    QDataStream out(device);
    writeNotes(out, model, major, minor, progress);
    return out.status() == QDataStream::Ok;
}

SaveResult saveNotesFile(const QString &path, const QStandardItemModel &model, qint32 major, qint32 minor,
                         const WriteProgress &progress)
{
    SaveResult result;
    if (path.isEmpty()) {
        result.errorString = QCoreApplication::translate("WdgNotes", "No file name given.");
        return result;
    }
    // Saving replaces the target with a new file: a FIFO or a device would silently become one.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile()) {
        result.errorString = QCoreApplication::translate("WdgNotes", "It is not a regular file.");
        return result;
    }
    QSaveFile file(path);
    // Never fall back to writing the target in place: the old file must survive a failed save.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        result.errorString = file.errorString();
        return result;
    }
    // The pictures go to the file from the model's own bytes, each in one write, and the rest in
    // pieces between them: a hundred pages in small buffered writes, or copied into one buffer
    // first, would cost more than the data itself.
    PieceWriter pieces;
    {
        QDataStream out(&pieces);
        writeAll(out, &pieces, model, major, minor, progress);
    }
    result.ok = NotesGuard::writeWhole(file, pieces.finished(), &result.errorString);
    return result;
}

ReadResult readNotes(QIODevice *device, QStandardItemModel &model, const SceneFactory &createScene,
                     const ReadOptions &options)
{
    ReadResult result;
    if (device == nullptr || !device->isReadable())
        return result;
    result.opened = true;

    // The checks against the bytes left need a random-access device.
    QBuffer buffer;
    QIODevice *source = device;
    if (device->isSequential()) {
        buffer.setData(device->readAll());
        buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        source = &buffer;
    }
    QDataStream in(source);
    in.setVersion(StreamVersion);
    Reader(in, model, createScene, options, result).run();
    if (in.status() != QDataStream::Ok || result.pagesDeclared > result.pagesRead) {
        result.damaged = true;
        result.damageOffset = source->pos();
        if (result.message.isEmpty())
            result.message = damageMessage(in.status(), result.damageOffset, source->size(), result);
    }
    return result;
}

ReadResult loadNotesFile(const QString &path, QStandardItemModel &model, const SceneFactory &createScene,
                         const ReadOptions &options)
{
    if (path.isEmpty())
        return ReadResult();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult();
    // The reader peeks and seeks at every picture chunk, a system call each on a plain file: the
    // file is read in one piece first (its pictures stay in memory as their bytes anyway), and
    // read from memory without the device's own buffer, which would copy it once more.
    QByteArray bytes = file.readAll();
    if (file.error() == QFileDevice::NoError) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        return readNotes(&buffer, model, createScene, options);
    }
    file.seek(0);
    return readNotes(&file, model, createScene, options);
}

} // namespace NotesFile
