#pragma once

// Rendering of note pages for the exports: the PDF document (a header with title and date, the
// page's scene below it, optionally the comment) and the image set (a picture of each page plus
// its title, date and comment files). Works on pages and a paint device or folder, never on a
// window: the window passes its view's rendering and on-screen grab, the command-line tool
// renders the scenes themselves.

#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class Progress;
class QGraphicsScene;
class QPagedPaintDevice;
class QPainter;
class QStandardItemModel;

namespace NotesRender {

// What an export shows of one page. The scene may be null (a page without a picture yet).
struct PageContent
{
    QString title;
    QString date;
    QString comment; // HTML
    QGraphicsScene *scene = nullptr;
};

// The texts and scene of one row of the page model.
PageContent pageAt(const QStandardItemModel &model, int row);
QList<PageContent> allPages(const QStandardItemModel &model);

// Draws a page's scene into target keeping its aspect ratio. The window passes one that goes
// through its view, so that the view's zoom applies; by default the scene renders itself.
using SceneRenderer = std::function<void(QPainter &painter, const QRectF &target, QGraphicsScene *scene)>;
void renderScene(QPainter &painter, const QRectF &target, QGraphicsScene *scene);

enum class Outcome { Written, Cancelled, Failed };

struct PdfOptions
{
    bool comments = false; // print each page's comment under its picture
    SceneRenderer sceneRenderer; // empty: renderScene
};

// Prints pages onto a paged device (a QPdfWriter or QPrinter), one device page per entry; an
// entry without a scene prints nothing, and a new page is started before every later entry
// with a scene, so an empty first entry leaves the first page empty. With no entries the device
// gets one empty page. progress (may be null) advances once per entry and may cancel.
Outcome printPages(QPagedPaintDevice *device, const QList<PageContent> &pages, const PdfOptions &options,
                   Progress *progress = nullptr);

struct PdfResult
{
    Outcome outcome = Outcome::Failed;
    QString errorString; // when Failed
};

// Writes the pages as a PDF file of the given layout and resolution (dots per inch). The file is
// replaced only once the document is complete; a cancelled or failed export leaves whatever was
// there before. The creation date is the clock's (so it is reproducible under a fixed clock).
PdfResult writePdf(const QString &fileName, const QPageLayout &layout, int resolution,
                   const QList<PageContent> &pages, const PdfOptions &options, Progress *progress = nullptr);

// The size of a page's pictures (the union of their bounding rectangles), in whole pixels;
// empty when the scene holds no picture.
QSize pictureSize(QGraphicsScene *scene);

// The page rendered into an opaque image: by default at its pictures' own size (else its scene
// rectangle's), one scene unit per pixel, showing the pictures' area; with a size, the same area
// scaled into it keeping the aspect ratio, centred on white.
QImage renderPageImage(QGraphicsScene *scene, const QSize &size = QSize());

// Makes the picture of one page for the image set (index counts from 0).
using PageImager = std::function<QImage(int index, const PageContent &page)>;

struct ImageSetResult
{
    Outcome outcome = Outcome::Written;
    int failed = 0;      // files that could not be written
    QStringList written; // paths written, in order
};

// Writes the image set of the pages into dir: image_N.png for a page with a scene, title_N.txt,
// date_N.txt and comment_N.html for the texts that are not empty (N = index + 1). Each file
// appears complete or not at all; one that cannot be written is counted and the export goes on.
// On cancel, files this export created are removed again (a file it replaced stays replaced).
ImageSetResult writeImageSet(const QString &dir, const QList<PageContent> &pages, const PageImager &imager,
                             Progress *progress = nullptr);

// Text as Latin-1, '?' for each character outside it (a character outside the basic plane,
// two UTF-16 units, is one '?').
QByteArray latin1Text(const QString &text);
// Comment HTML as Latin-1 bytes that a browser shows as typed: characters outside Latin-1 become
// numeric character references, and a charset the HTML declares is made to say ISO-8859-1.
QByteArray commentHtmlBytes(const QString &html);

} // namespace NotesRender
