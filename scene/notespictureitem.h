#pragma once

// A picture of a board view under the drawings of a page. It is a plain pixmap item to everything
// that walks a scene (type 7), but it keeps the PNG it was read from and knows its size from the
// PNG header: the pixels are decoded when the picture is first painted or asked for, and a small
// process-wide cache drops the decoded pixels of pictures that have not been shown for a while.
// A review of a hundred full-screen pictures therefore holds the file's bytes, not a hundred
// decoded pictures, and saving writes the bytes back unchanged.
//
// Use picture() instead of QGraphicsPixmapItem::pixmap(), which is null until the first decode.

#include <QByteArray>
#include <QGraphicsPixmapItem>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>

#include <optional>
#include <utility>

class PdfPictureScope;

class NotesPictureItem : public QGraphicsPixmapItem
{
public:
    // Largest picture the program accepts: every picture it writes is one it can read back, and a
    // file cannot make one picture take more than this (8192 x 8192, 256 MiB at 32 bits a pixel).
    static constexpr qint64 MaxPixels = qint64(8192) * 8192;
    static constexpr int MaxEdge = 32767;
    // Allocation limit of the decoder: the largest accepted picture at 64 bits a pixel.
    static constexpr int DecoderLimitMiB = int(MaxPixels * 8 / (1024 * 1024));

    // A picture made in this session (host view, clipboard, image file). Pictures larger than
    // MaxPixels are scaled down to fit. Encoded once, when first saved.
    explicit NotesPictureItem(const QPixmap &pixmap, QGraphicsItem *parent = nullptr);
    // A picture read from a file: a complete PNG whose header gave size (see pngSize).
    NotesPictureItem(const QByteArray &png, const QSize &size, QGraphicsItem *parent = nullptr);
    ~NotesPictureItem() override;

    NotesPictureItem(const NotesPictureItem &) = delete;
    NotesPictureItem &operator=(const NotesPictureItem &) = delete;

    QSize pictureSize() const { return size; }
    // The decoded picture (decoded now if needed); null when its PNG cannot be decoded.
    QPixmap picture() const;
    // The picture as a complete PNG: the bytes it was read from, or its one encoding.
    QByteArray pngBytes() const;
    // True while decoded pixels are held.
    bool isDecoded() const { return !decoded.isNull(); }
    // Drops the decoded pixels when the PNG can give them back.
    void releaseDecoded();

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    bool contains(const QPointF &point) const override;
    QPainterPath opaqueArea() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // Width and height from the IHDR chunk of a PNG that starts at the signature; an invalid size
    // when the header is missing, malformed or zero-sized. Reads nothing else.
    static QSize pngSize(const QByteArray &png);
    // Decodes a PNG with the program's explicit allocation limit; null on failure or when the
    // picture is larger than MaxPixels.
    static QImage decodePng(const QByteArray &png);
    // Fits a picture into MaxPixels and MaxEdge, keeping its aspect ratio.
    static QImage fitToLimits(const QImage &image);
    // Bytes of decoded pixels the cache keeps before it drops the least recently shown.
    static void setCacheBudget(qint64 bytes);
    static qint64 cachedBytes();

private:
    friend class PdfPictureScope;
    void decode() const;

    mutable QByteArray png;   // empty for a picture made here until it is first saved
    mutable QPixmap decoded;  // null until shown or asked for, and after the cache dropped it
    QSize size;
    mutable bool decodeFailed = false;
};

// The image data of a PNG in the form a PDF image takes unchanged: the PDF's Flate filter with
// the PNG predictor reads the compressed rows of a non-interlaced PNG exactly as they are stored.
// Holds the PNG (shared, not copied) and where its IDAT chunks lie in it.
struct PngImageData
{
    enum class Colors { Gray, Rgb, Palette };

    Colors colors = Colors::Rgb;
    QSize size;
    QByteArray palette; // Palette: the PLTE entries, three bytes each
    QByteArray png;
    QList<std::pair<qsizetype, qsizetype>> idat; // position in png and length of each IDAT's data
    qsizetype dataSize = 0;                      // the IDAT lengths summed

    int components() const { return colors == Colors::Rgb ? 3 : 1; }

    // Empty unless the PNG is well formed (every chunk's checksum right, the chunks in their
    // order, a zlib stream in the IDATs) and of a kind that needs no conversion: 8 bits a sample,
    // grey, RGB or palette colours, no alpha, no tRNS transparency, not interlaced.
    static std::optional<PngImageData> parse(const QByteArray &png);
};

// The pictures of one PDF export. While a scope is active on a thread, a NotesPictureItem painted
// there onto the scope's device whose PNG can go into the PDF unchanged (see PngImageData) paints
// a small placeholder image instead of its pixels, in exactly the rectangle its pixels would
// take. The PDF engine stores each placeholder as an image of its own; the exporter then finds it
// by its pixels (pictureFor) and puts the PNG's data in its place. Paints onto any other device,
// such as the screen or a cached pixmap, are not affected. Scopes nest; the innermost applies.
class PdfPictureScope
{
public:
    // The placeholder's size in pixels (RGB, opaque): a marker, this scope's random key and the
    // picture's number.
    static constexpr int PlaceholderWidth = 6;
    static constexpr int PlaceholderHeight = 1;

    explicit PdfPictureScope(const QPaintDevice *device);
    ~PdfPictureScope();
    PdfPictureScope(const PdfPictureScope &) = delete;
    PdfPictureScope &operator=(const PdfPictureScope &) = delete;

    // The pictures painted as placeholders so far, numbered in the order they were first painted.
    const QList<PngImageData> &pictures() const { return taken; }
    // The number of the picture whose placeholder has these pixels (three bytes a pixel, row by
    // row, as the PDF stores them); -1 for any other pixels.
    int pictureFor(const QByteArray &rgb) const;

private:
    friend class NotesPictureItem;
    // Paints the item's placeholder when the innermost scope takes its picture.
    static bool paintPlaceholder(QPainter *painter, const NotesPictureItem &item, const QRectF &area);
    int pictureOf(const NotesPictureItem &item);
    QByteArray placeholderBytes(int index) const;

    const QPaintDevice *device;
    PdfPictureScope *outer;
    QByteArray key;
    QList<PngImageData> taken;
    QList<QImage> placeholders;
    // Every picture looked at: its number, or -1 when it keeps the ordinary paint. The PNG it was
    // looked at with tells a picture from a later one at the same address.
    QHash<const NotesPictureItem *, std::pair<QByteArray, int>> seen;
};

namespace Notes {
// The picture of a type 7 item: the decoded picture of a NotesPictureItem, the pixmap of any other
// pixmap item, null for anything else.
QPixmap picturePixmap(const QGraphicsItem *item);
// The picture's size without decoding it.
QSize pictureSize(const QGraphicsItem *item);
} // namespace Notes
