#include "notespictureitem.h"

#include <QBitmap>
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QStyleOptionGraphicsItem>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

namespace {

// Decoded pictures, most recently shown first. Only pictures that can be decoded again from their
// PNG are listed; the others hold their pixels until they are first saved.
class DecodedCache
{
public:
    void touch(NotesPictureItem *item, qint64 bytes)
    {
        forget(item);
        entries.push_front({item, bytes});
        index[item] = entries.begin();
        total += bytes;
        trim();
    }
    void forget(const NotesPictureItem *item)
    {
        const auto found = index.find(item);
        if (found == index.end())
            return;
        total -= found->second->bytes;
        entries.erase(found->second);
        index.erase(found);
    }
    void setBudget(qint64 bytes)
    {
        budget = bytes;
        trim();
    }
    qint64 bytes() const { return total; }

private:
    struct Entry
    {
        NotesPictureItem *item;
        qint64 bytes;
    };
    // The picture shown last always stays, however large it is.
    void trim()
    {
        while (total > budget && entries.size() > 1) {
            NotesPictureItem *oldest = entries.back().item;
            forget(oldest);
            oldest->releaseDecoded();
        }
    }

    std::list<Entry> entries;
    // Every paint touches its picture: a page may hold many small ones.
    std::unordered_map<const NotesPictureItem *, std::list<Entry>::iterator> index;
    qint64 total = 0;
    // About a dozen full-screen pictures: the page shown and those around it.
    qint64 budget = qint64(96) * 1024 * 1024;
};

DecodedCache &cache()
{
    static DecodedCache instance;
    return instance;
}

qint64 pixmapBytes(const QPixmap &pixmap)
{
    return qint64(pixmap.width()) * pixmap.height() * std::max(1, pixmap.depth()) / 8;
}

bool withinLimits(const QSize &size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= NotesPictureItem::MaxEdge &&
           size.height() <= NotesPictureItem::MaxEdge &&
           qint64(size.width()) * size.height() <= NotesPictureItem::MaxPixels;
}

QPixmap toPixmap(QImage image)
{
    // As the toolkit's own stream reader does: one-bit pictures become bitmaps.
    if (image.depth() == 1)
        return QBitmap::fromImage(image);
    return QPixmap::fromImage(std::move(image));
}

} // namespace

NotesPictureItem::NotesPictureItem(const QPixmap &pixmap, QGraphicsItem *parent)
    : QGraphicsPixmapItem(parent)
{
    if (!pixmap.isNull() && !withinLimits(pixmap.size()))
        decoded = toPixmap(fitToLimits(pixmap.toImage()));
    else
        decoded = pixmap;
    size = decoded.size();
    setShapeMode(BoundingRectShape);
}

NotesPictureItem::NotesPictureItem(const QByteArray &png, const QSize &size, QGraphicsItem *parent)
    : QGraphicsPixmapItem(parent)
    , png(png)
    , size(size)
{
    setShapeMode(BoundingRectShape);
}

NotesPictureItem::~NotesPictureItem()
{
    cache().forget(this);
}

void NotesPictureItem::decode() const
{
    if (!decoded.isNull() || decodeFailed || png.isEmpty())
        return;
    QImage image = decodePng(png);
    if (image.isNull() || image.size() != size) {
        decodeFailed = true;
        return;
    }
    decoded = toPixmap(std::move(image));
    cache().touch(const_cast<NotesPictureItem *>(this), pixmapBytes(decoded));
}

QPixmap NotesPictureItem::picture() const
{
    decode();
    if (!png.isEmpty() && !decoded.isNull())
        cache().touch(const_cast<NotesPictureItem *>(this), pixmapBytes(decoded));
    return decoded;
}

QByteArray NotesPictureItem::pngBytes() const
{
    if (png.isEmpty() && !decoded.isNull()) {
        // Exactly what the toolkit's stream operator writes for a pixmap.
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(decoded.toImage()))
            png.clear();
        else
            cache().touch(const_cast<NotesPictureItem *>(this), pixmapBytes(decoded));
    }
    return png;
}

void NotesPictureItem::releaseDecoded()
{
    if (png.isEmpty() || decoded.isNull())
        return;
    cache().forget(this);
    decoded = QPixmap();
}

QRectF NotesPictureItem::boundingRect() const
{
    if (size.isEmpty())
        return QRectF();
    // As the toolkit's pixmap item: a selectable picture leaves room for its selection outline.
    const qreal margin = (flags() & ItemIsSelectable) ? 0.5 : 0.0;
    return QRectF(offset(), QSizeF(size)).adjusted(-margin, -margin, margin, margin);
}

QPainterPath NotesPictureItem::shape() const
{
    QPainterPath path;
    if (!size.isEmpty())
        path.addRect(QRectF(offset(), QSizeF(size)));
    return path;
}

bool NotesPictureItem::contains(const QPointF &point) const
{
    return QRectF(offset(), QSizeF(size)).contains(point);
}

QPainterPath NotesPictureItem::opaqueArea() const
{
    return shape();
}

void NotesPictureItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    const QRectF area(offset(), QSizeF(size));
    if (PdfPictureScope::paintPlaceholder(painter, *this, area)) {
        // The PDF export puts the PNG's data in the placeholder's place.
    } else if (const QPixmap shown = picture(); !shown.isNull()) {
        painter->setRenderHint(QPainter::SmoothPixmapTransform, transformationMode() == Qt::SmoothTransformation);
        painter->drawPixmap(offset(), shown);
    } else if (!size.isEmpty()) {
        // A picture whose bytes do not decode keeps its place, visibly.
        painter->fillRect(area, QColor(0xE0, 0xE0, 0xE0));
        painter->setPen(QPen(Qt::darkGray, 0));
        painter->drawRect(area);
        painter->drawLine(area.topLeft(), area.bottomRight());
        painter->drawLine(area.topRight(), area.bottomLeft());
    }
    if (option && (option->state & QStyle::State_Selected)) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::white, 0));
        painter->drawRect(area);
        painter->setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter->drawRect(area);
    }
}

QSize NotesPictureItem::pngSize(const QByteArray &png)
{
    // Signature, then the IHDR chunk: length 13, type, width, height (big-endian, 1 .. 2^31-1).
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (png.size() < 8 + 8 + 13 || !png.startsWith(signature))
        return QSize();
    const char *ihdr = png.constData() + 8;
    if (qFromBigEndian<quint32>(ihdr) != 13 || QByteArray(ihdr + 4, 4) != "IHDR")
        return QSize();
    const quint32 width = qFromBigEndian<quint32>(ihdr + 8);
    const quint32 height = qFromBigEndian<quint32>(ihdr + 12);
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return QSize();
    return QSize(int(width), int(height));
}

QImage NotesPictureItem::decodePng(const QByteArray &png)
{
    if (!withinLimits(pngSize(png)))
        return QImage();
    // The toolkit's default limit (128 MiB) would refuse pictures the program accepts and writes.
    QImageReader::setAllocationLimit(DecoderLimitMiB);
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage image;
    if (!reader.read(&image))
        return QImage();
    return image;
}

QImage NotesPictureItem::fitToLimits(const QImage &image)
{
    if (image.isNull() || withinLimits(image.size()))
        return image;
    const double scale = std::min({1.0, double(MaxEdge) / image.width(), double(MaxEdge) / image.height(),
                                   std::sqrt(double(MaxPixels) / (double(image.width()) * image.height()))});
    QSize fitted(std::max(1, int(std::floor(image.width() * scale))),
                 std::max(1, int(std::floor(image.height() * scale))));
    while (!withinLimits(fitted))
        fitted -= QSize(fitted.width() > 1 ? 1 : 0, fitted.height() > 1 ? 1 : 0);
    return image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void NotesPictureItem::setCacheBudget(qint64 bytes)
{
    cache().setBudget(bytes);
}

qint64 NotesPictureItem::cachedBytes()
{
    return cache().bytes();
}

namespace {

// The first two bytes of the IDAT data, which may be split over chunks.
bool zlibHeader(const PngImageData &data, uchar header[2])
{
    int found = 0;
    for (const auto &[at, length] : data.idat) {
        for (qsizetype i = 0; i < length && found < 2; ++i)
            header[found++] = uchar(data.png.at(at + i));
        if (found == 2)
            return true;
    }
    return false;
}

} // namespace

std::optional<PngImageData> PngImageData::parse(const QByteArray &png)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (!png.startsWith(signature))
        return std::nullopt;
    PngImageData data;
    data.png = png;
    const auto *bytes = reinterpret_cast<const uchar *>(png.constData());
    const qsizetype total = png.size();
    bool header = false;
    bool inData = false;
    bool afterData = false;
    bool ended = false;
    // Chunks: length, type, data, CRC of type and data.
    for (qsizetype at = 8; at + 12 <= total;) {
        const quint32 length = qFromBigEndian<quint32>(bytes + at);
        if (length > 0x7FFFFFFFu || qsizetype(length) > total - at - 12)
            return std::nullopt;
        const uchar *type = bytes + at + 4;
        const qsizetype body = at + 8;
        if (crc32(crc32(0L, nullptr, 0), type, uInt(length) + 4) !=
            qFromBigEndian<quint32>(bytes + body + length))
            return std::nullopt;
        const QByteArray name(reinterpret_cast<const char *>(type), 4);
        if (!header) {
            if (name != "IHDR" || length != 13)
                return std::nullopt;
            const uchar *ihdr = bytes + body;
            const quint32 width = qFromBigEndian<quint32>(ihdr);
            const quint32 height = qFromBigEndian<quint32>(ihdr + 4);
            // Bit depth 8; compression, filter and interlace methods 0.
            if (ihdr[8] != 8 || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0)
                return std::nullopt;
            switch (ihdr[9]) {
            case 0:
                data.colors = Colors::Gray;
                break;
            case 2:
                data.colors = Colors::Rgb;
                break;
            case 3:
                data.colors = Colors::Palette;
                break;
            default:
                return std::nullopt; // with alpha
            }
            if (width > quint32(NotesPictureItem::MaxEdge) || height > quint32(NotesPictureItem::MaxEdge))
                return std::nullopt;
            data.size = QSize(int(width), int(height));
            if (!withinLimits(data.size))
                return std::nullopt;
            header = true;
        } else if (name == "IDAT") {
            if (afterData)
                return std::nullopt;
            inData = true;
            if (length > 0)
                data.idat.append({body, qsizetype(length)});
            data.dataSize += length;
        } else {
            afterData = inData;
            if (name == "IEND") {
                ended = true;
                break;
            }
            if (name == "tRNS")
                return std::nullopt;
            if (name == "PLTE") {
                if (inData || !data.palette.isEmpty() || length == 0 || length % 3 != 0 || length > 256 * 3 ||
                    data.colors == Colors::Gray)
                    return std::nullopt;
                if (data.colors == Colors::Palette) // for RGB only a suggestion for few-colour displays
                    data.palette = png.mid(body, length);
            } else if (!(type[0] & 0x20)) {
                return std::nullopt; // a second IHDR or a critical chunk the program does not know
            }
        }
        at = body + length + 4;
    }
    if (!ended || data.idat.isEmpty() || (data.colors == Colors::Palette && data.palette.isEmpty()))
        return std::nullopt;
    // A zlib stream: deflate, a window of at most 32 KiB, no preset dictionary, header check.
    uchar zlib[2];
    if (!zlibHeader(data, zlib) || (zlib[0] & 0x0F) != 8 || (zlib[0] >> 4) > 7 || (zlib[1] & 0x20) != 0 ||
        (zlib[0] * 256 + zlib[1]) % 31 != 0)
        return std::nullopt;
    return data;
}

namespace {

// The innermost scope of this thread's PDF export, if one is running.
thread_local PdfPictureScope *innermostScope = nullptr;

const QByteArray PlaceholderMarker("Qmk", 3);
const QByteArray PlaceholderEnd("PNG", 3);
constexpr int KeyBytes = 8;

} // namespace

PdfPictureScope::PdfPictureScope(const QPaintDevice *device)
    : device(device)
    , outer(innermostScope)
{
    const quint64 random = QRandomGenerator::system()->generate64();
    key = QByteArray(reinterpret_cast<const char *>(&random), KeyBytes);
    innermostScope = this;
}

PdfPictureScope::~PdfPictureScope()
{
    // Taken out of the chain also when an inner scope outlives it.
    for (PdfPictureScope **link = &innermostScope; *link; link = &(*link)->outer) {
        if (*link == this) {
            *link = outer;
            break;
        }
    }
}

QByteArray PdfPictureScope::placeholderBytes(int index) const
{
    // The marker makes the first pixel coloured, so that no engine takes the placeholder for a
    // grey or black-and-white picture.
    QByteArray bytes = PlaceholderMarker + key;
    char number[4];
    qToBigEndian<quint32>(quint32(index), number);
    bytes.append(number, 4);
    bytes.append(PlaceholderEnd);
    Q_ASSERT(bytes.size() == PlaceholderWidth * PlaceholderHeight * 3);
    return bytes;
}

int PdfPictureScope::pictureFor(const QByteArray &rgb) const
{
    if (rgb.size() != PlaceholderWidth * PlaceholderHeight * 3 || !rgb.startsWith(PlaceholderMarker) ||
        !rgb.endsWith(PlaceholderEnd))
        return -1;
    const quint32 index = qFromBigEndian<quint32>(rgb.constData() + PlaceholderMarker.size() + KeyBytes);
    if (index >= quint32(taken.size()) || rgb != placeholderBytes(int(index)))
        return -1;
    return int(index);
}

int PdfPictureScope::pictureOf(const NotesPictureItem &item)
{
    const QByteArray &png = item.png;
    const auto found = seen.constFind(&item);
    if (found != seen.cend() && found->first.constData() == png.constData())
        return found->second;
    int index = -1;
    // A picture that failed to decode keeps its visible mark; one made here at another pixel
    // ratio paints at another size.
    const bool plain = item.decoded.isNull() || item.decoded.devicePixelRatio() == 1.0;
    if (!png.isEmpty() && !item.decodeFailed && plain) {
        std::optional<PngImageData> data = PngImageData::parse(png);
        if (data && data->size == item.size) {
            index = int(taken.size());
            taken.append(std::move(*data));
            const QByteArray bytes = placeholderBytes(index);
            QImage placeholder(PlaceholderWidth, PlaceholderHeight, QImage::Format_RGB32);
            for (int x = 0; x < PlaceholderWidth; ++x)
                placeholder.setPixel(
                    x, 0, qRgb(uchar(bytes[3 * x]), uchar(bytes[3 * x + 1]), uchar(bytes[3 * x + 2])));
            placeholders.append(placeholder);
        }
    }
    seen.insert(&item, {png, index});
    return index;
}

bool PdfPictureScope::paintPlaceholder(QPainter *painter, const NotesPictureItem &item, const QRectF &area)
{
    PdfPictureScope *scope = innermostScope;
    if (!scope || !painter || painter->device() != scope->device || area.isEmpty())
        return false;
    const int index = scope->pictureOf(item);
    if (index < 0)
        return false;
    // Drawn as the picture's pixels would be: the whole placeholder stretched over the picture's
    // rectangle. The placeholder is always what a lossless engine stores (one image per number).
    painter->save();
    painter->setRenderHint(QPainter::LosslessImageRendering);
    painter->drawImage(area, scope->placeholders.at(index),
                       QRectF(0, 0, PlaceholderWidth, PlaceholderHeight));
    painter->restore();
    return true;
}

namespace Notes {

QPixmap picturePixmap(const QGraphicsItem *item)
{
    if (const auto *picture = dynamic_cast<const NotesPictureItem *>(item))
        return picture->picture();
    if (const auto *plain = dynamic_cast<const QGraphicsPixmapItem *>(item))
        return plain->pixmap();
    return QPixmap();
}

QSize pictureSize(const QGraphicsItem *item)
{
    if (const auto *picture = dynamic_cast<const NotesPictureItem *>(item))
        return picture->pictureSize();
    if (const auto *plain = dynamic_cast<const QGraphicsPixmapItem *>(item))
        return plain->pixmap().size();
    return QSize();
}

} // namespace Notes
