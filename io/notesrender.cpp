#include "io/notesrender.h"

#include "io/clock.h"
#include "io/notesguard.h"
#include "scene/notestextdocument.h"
#include "io/pagemodel.h"
#include "io/pdfpictures.h"
#include "scene/dialogs.h"
#include "scene/notespictureitem.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardItemModel>

#include <algorithm>
#include <cmath>
#include <optional>

namespace NotesRender {

namespace {

QString textAt(const QStandardItemModel &model, int row, int column)
{
    const QStandardItem *item = model.item(row, column);
    return item ? item->text() : QString();
}

QFont headerFont()
{
    return QFont(QStringLiteral("Times"), 20, QFont::Bold);
}

// The part of the page a scene is drawn into when its aspect ratio is kept (as
// QGraphicsScene::render places it: centred in the target).
QRectF fitted(const QRectF &target, const QSizeF &source)
{
    if (source.isEmpty() || target.isEmpty())
        return target;
    const QSizeF size = source.scaled(target.size(), Qt::KeepAspectRatio);
    return QRectF(target.left() + (target.width() - size.width()) / 2,
                  target.top() + (target.height() - size.height()) / 2, size.width(), size.height());
}

QRectF picturesRect(QGraphicsScene *scene)
{
    QRectF rect;
    if (!scene)
        return rect;
    // Sizes come from the items' geometry: a picture may not have decoded its pixels yet.
    const QList<QGraphicsItem *> items = scene->items();
    for (const QGraphicsItem *item : items) {
        if (item->type() == QGraphicsPixmapItem::Type)
            rect = rect.united(item->sceneBoundingRect());
    }
    return rect;
}

// The PDF engine stamps the document's info dictionary with the system clock ("D:" date, then
// "Z" in UTC or "+HH'MM'"); the exports date it by the program's clock instead, so that a fixed
// clock gives the same bytes every time. The replacement keeps the length of the original, so
// the cross-reference offsets stay right.
void stampCreationDate(QByteArray &pdf)
{
    static const QByteArray key("/CreationDate (D:");
    const qsizetype at = pdf.indexOf(key);
    if (at < 0)
        return;
    const qsizetype start = at + key.size();
    const qsizetype end = pdf.indexOf(')', start);
    if (end < 0 || end - start > 32)
        return;
    const QDateTime now = Clock::now();
    QByteArray stamp;
    if (end - start == 15) { // 14 digits and "Z"
        stamp = now.toUTC().toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1() + 'Z';
    } else {
        const int minutes = now.offsetFromUtc() / 60;
        stamp = QStringLiteral("%1%2%3'%4'")
                    .arg(now.toString(QStringLiteral("yyyyMMddhhmmss")))
                    .arg(minutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                    .arg(std::abs(minutes) / 60, 2, 10, QLatin1Char('0'))
                    .arg(std::abs(minutes) % 60, 2, 10, QLatin1Char('0'))
                    .toLatin1();
    }
    if (stamp.size() == end - start)
        pdf.replace(start, stamp.size(), stamp);
}

} // namespace

PageContent pageAt(const QStandardItemModel &model, int row)
{
    PageContent page;
    page.title = textAt(model, row, Page::TitleColumn);
    page.date = textAt(model, row, Page::DateColumn);
    page.comment = textAt(model, row, Page::CommentColumn);
    if (const QStandardItem *item = model.item(row, Page::SceneColumn))
        page.scene = qvariant_cast<QGraphicsScene *>(item->data(Page::SceneRole));
    return page;
}

QList<PageContent> allPages(const QStandardItemModel &model)
{
    QList<PageContent> pages;
    pages.reserve(model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row)
        pages.append(pageAt(model, row));
    return pages;
}

void renderScene(QPainter &painter, const QRectF &target, QGraphicsScene *scene)
{
    if (scene)
        scene->render(&painter, target, scene->sceneRect(), Qt::KeepAspectRatio);
}

Outcome printPages(QPagedPaintDevice *device, const QList<PageContent> &pages, const PdfOptions &options,
                   Progress *progress)
{
    QPainter painter;
    if (!painter.begin(device))
        return Outcome::Failed;
    // Without this hint the PDF engine stores every picture as a JPEG at its full pixel size:
    // lossy, and larger than the PNG it came from. With it, the pixels go in deflated, once per
    // picture (the engine keys its image cache on the pixmap). writePdf spares the engine most of
    // that work: see composePdf.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    // Printable area in device pixels; the header band is as high as one and a half header lines.
    const QRect page = device->pageLayout().paintRectPixels(device->logicalDpiX());
    const int width = page.width();
    const int height = page.height();
    const QFontMetrics metrics(headerFont(), device);
    const int baseline = metrics.ascent();
    const int headerHeight = metrics.height() * 3 / 2;
    const SceneRenderer render = options.sceneRenderer ? options.sceneRenderer : SceneRenderer(renderScene);

    for (int index = 0; index < pages.size(); ++index) {
        const PageContent &content = pages.at(index);
        if (content.scene) {
            if (index > 0 && !device->newPage()) {
                painter.end();
                return Outcome::Failed;
            }
            painter.setFont(headerFont());
            // The date starts in the middle of the line, or after a title that reaches past it;
            // when both do not fit on one line the date goes on a second one, never over the title.
            const int space = metrics.horizontalAdvance(QStringLiteral("  "));
            const int titleWidth = metrics.horizontalAdvance(content.title);
            const int dateWidth = metrics.horizontalAdvance(content.date);
            int dateX = width / 2;
            int dateBaseline = baseline;
            int pageHeaderHeight = headerHeight;
            if (!content.title.isEmpty() && !content.date.isEmpty() && titleWidth + space > dateX) {
                if (titleWidth + space + dateWidth <= width) {
                    dateX = titleWidth + space;
                } else {
                    dateBaseline += metrics.lineSpacing();
                    pageHeaderHeight += metrics.lineSpacing();
                }
            }
            if (!content.title.isEmpty())
                painter.drawText(QPoint(0, baseline), titleWidth <= width
                                                          ? content.title
                                                          : metrics.elidedText(content.title, Qt::ElideRight, width));
            if (!content.date.isEmpty())
                painter.drawText(QPoint(dateX, dateBaseline), content.date);
            QRectF target(0, pageHeaderHeight, width, std::max(0, height - pageHeaderHeight));

            if (options.comments && !content.comment.isEmpty()) {
                NotesTextDocument document;
                document.documentLayout()->setPaintDevice(device);
                document.setHtml(content.comment);
                document.setTextWidth(width);
                // The comment takes what it needs, up to half the area; the picture the rest.
                const qreal gap = metrics.height() / 2.0;
                const qreal commentHeight = std::min(document.size().height(), target.height() / 2);
                target.setHeight(std::max<qreal>(0, target.height() - commentHeight - gap));
                const QRectF picture = fitted(target, content.scene->sceneRect().size());
                target = QRectF(target.left(), target.top(), target.width(), picture.height());
                render(painter, target, content.scene);
                painter.save();
                painter.translate(0, target.bottom() + gap);
                document.drawContents(&painter, QRectF(0, 0, width, commentHeight));
                painter.restore();
            } else {
                render(painter, target, content.scene);
            }
        }
        if (progress && !progress->advance(index + 1)) {
            painter.end();
            return Outcome::Cancelled;
        }
    }
    return painter.end() ? Outcome::Written : Outcome::Failed;
}

namespace {

// The document in memory. With passPictures, pictures whose PNG a PDF takes as it is are painted
// as placeholders and their PNG data put in afterwards; false in *passed when that could not be
// done, and bytes are then not a document to keep.
Outcome composePdf(QByteArray &bytes, const QPageLayout &layout, int resolution,
                   const QList<PageContent> &pages, const PdfOptions &options, Progress *progress,
                   bool passPictures, bool *passed)
{
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Quillmark"));
    writer.setResolution(resolution);
    writer.setPageLayout(layout);
    std::optional<PdfPictureScope> pictures;
    if (passPictures)
        pictures.emplace(&writer);
    const Outcome outcome = printPages(&writer, pages, options, progress);
    *passed = outcome != Outcome::Written || !pictures || PdfPictures::insertPictures(bytes, *pictures);
    return outcome;
}

Outcome composePdf(QByteArray &bytes, const QPageLayout &layout, int resolution,
                   const QList<PageContent> &pages, const PdfOptions &options, Progress *progress)
{
    bool passed = false;
    const Outcome outcome = composePdf(bytes, layout, resolution, pages, options, progress, true, &passed);
    if (passed)
        return outcome;
    qWarning("PDF export: the pictures' PNG data could not be put into the document; composing it again");
    return composePdf(bytes, layout, resolution, pages, options, progress, false, &passed);
}

} // namespace

PdfResult writePdf(const QString &fileName, const QPageLayout &layout, int resolution,
                   const QList<PageContent> &pages, const PdfOptions &options, Progress *progress)
{
    PdfResult result;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.errorString = file.errorString();
        return result;
    }
    // Composed in memory first: the engine's date is replaced and the pictures put in before
    // anything reaches the file.
    QByteArray bytes;
    result.outcome = composePdf(bytes, layout, resolution, pages, options, progress);
    if (result.outcome != Outcome::Written) {
        file.cancelWriting();
        if (result.outcome == Outcome::Failed)
            result.errorString = QStringLiteral("the document could not be composed");
        return result;
    }
    stampCreationDate(bytes);
    if (!NotesGuard::writeWhole(file, bytes, &result.errorString))
        result.outcome = Outcome::Failed;
    return result;
}

QSize pictureSize(QGraphicsScene *scene)
{
    const QRectF rect = picturesRect(scene);
    if (rect.isEmpty())
        return QSize();
    return QSize(int(std::ceil(rect.width() - 1e-6)), int(std::ceil(rect.height() - 1e-6)));
}

QImage renderPageImage(QGraphicsScene *scene, const QSize &size)
{
    if (!scene)
        return QImage();
    QRectF source = picturesRect(scene);
    if (source.isEmpty())
        source = scene->sceneRect();
    QSize imageSize = size;
    if (imageSize.isEmpty())
        imageSize = QSize(int(std::ceil(source.width() - 1e-6)), int(std::ceil(source.height() - 1e-6)));
    if (imageSize.isEmpty())
        return QImage();
    QImage image(imageSize, QImage::Format_RGB32);
    if (image.isNull())
        return image; // too large to allocate
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const QRectF target(QPointF(0, 0), QSizeF(imageSize));
    if (size.isEmpty())
        scene->render(&painter, target, QRectF(source.topLeft(), QSizeF(imageSize)), Qt::IgnoreAspectRatio);
    else
        scene->render(&painter, target, source, Qt::KeepAspectRatio);
    return image;
}

QByteArray latin1Text(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        bytes.append(c <= 0xFF ? char(c) : '?');
    return bytes;
}

QByteArray commentHtmlBytes(const QString &html)
{
    // <meta charset="utf-8"> (as the comment editor writes it) and the older http-equiv form.
    static const QRegularExpression charset(
        QStringLiteral(R"((<meta\b[^>]*?\bcharset\s*=\s*["']?)([A-Za-z0-9_.:\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = html;
    text.replace(charset, QStringLiteral("\\1ISO-8859-1"));
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c <= 0xFF)
            bytes.append(char(c));
        else
            bytes.append("&#" + QByteArray::number(uint(c)) + ';');
    }
    return bytes;
}

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && NotesGuard::writeWhole(file, bytes);
}

bool writeImage(const QString &path, const QImage &image)
{
    if (image.isNull())
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && NotesGuard::commitComplete(file);
}

} // namespace

ImageSetResult writeImageSet(const QString &dir, const QList<PageContent> &pages, const PageImager &imager,
                             Progress *progress)
{
    ImageSetResult result;
    QStringList created;
    auto put = [&](const QString &path, const auto &write) {
        const bool existed = QFileInfo::exists(path);
        if (write(path)) {
            result.written.append(path);
            if (!existed)
                created.append(path);
        } else {
            ++result.failed;
        }
    };

    for (int index = 0; index < pages.size(); ++index) {
        const PageContent &page = pages.at(index);
        const QString number = QString::number(index + 1);
        if (page.scene) {
            const QImage image = imager ? imager(index, page) : renderPageImage(page.scene);
            put(QStringLiteral("%1/image_%2.png").arg(dir, number),
                [&](const QString &path) { return writeImage(path, image); });
        }
        if (!page.title.isEmpty())
            put(QStringLiteral("%1/title_%2.txt").arg(dir, number),
                [&](const QString &path) { return writeFile(path, latin1Text(page.title)); });
        if (!page.date.isEmpty())
            put(QStringLiteral("%1/date_%2.txt").arg(dir, number),
                [&](const QString &path) { return writeFile(path, latin1Text(page.date)); });
        if (!page.comment.isEmpty())
            put(QStringLiteral("%1/comment_%2.html").arg(dir, number),
                [&](const QString &path) { return writeFile(path, commentHtmlBytes(page.comment)); });
        if (progress && !progress->advance(index + 1)) {
            for (const QString &path : std::as_const(created))
                QFile::remove(path);
            result.written.clear();
            result.outcome = Outcome::Cancelled;
            return result;
        }
    }
    result.outcome = result.failed > 0 ? Outcome::Failed : Outcome::Written;
    return result;
}

} // namespace NotesRender
