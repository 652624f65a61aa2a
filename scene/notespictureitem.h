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
#include <QPixmap>
#include <QSize>

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
    void decode() const;

    mutable QByteArray png;   // empty for a picture made here until it is first saved
    mutable QPixmap decoded;  // null until shown or asked for, and after the cache dropped it
    QSize size;
    mutable bool decodeFailed = false;
};

namespace Notes {
// The picture of a type 7 item: the decoded picture of a NotesPictureItem, the pixmap of any other
// pixmap item, null for anything else.
QPixmap picturePixmap(const QGraphicsItem *item);
// The picture's size without decoding it.
QSize pictureSize(const QGraphicsItem *item);
} // namespace Notes
