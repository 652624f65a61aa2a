#include "notespictureitem.h"

#include <QBitmap>
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>
#include <QtEndian>

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
    const QPixmap shown = picture();
    if (!shown.isNull()) {
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
