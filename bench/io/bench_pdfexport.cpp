// PDF export of a long document with large pictures: the size of the PDF against the pictures'
// PNG bytes, and the time, with the PDF engine's default (JPEG) image path measured in the same
// run for comparison.
//
//   bench_pdfexport [PAGES]        (default 100 pages of 1920 x 1080 board pictures)

#include "examples/generator/syntheticboard.h"
#include "io/notesrender.h"
#include "scene/notesrectangleitem.h"
#include "scene/notesscene.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QGraphicsPixmapItem>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pageCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const QSize pictureSize(1920, 1080);

    // One board view per page, panning and zooming across the board as a review does.
    SyntheticBoard board;
    const QRectF extent = board.extent();
    std::vector<std::unique_ptr<NotesScene>> scenes;
    QList<NotesRender::PageContent> pages;
    qint64 pngBytes = 0;
    for (int i = 0; i < pageCount; ++i) {
        const double zoom = 0.35 + 0.65 * double(i % 10) / 9.0;
        const QSizeF viewSize(extent.width() * zoom, extent.width() * zoom * 9.0 / 16.0);
        const QPointF corner(extent.left() + (extent.width() - viewSize.width()) * double(i % 7) / 6.0,
                             extent.top() + (extent.height() - viewSize.height()) * double(i % 5) / 4.0);
        const QImage picture =
            board.render(QRectF(corner, viewSize), pictureSize, SyntheticBoard::reviewLayers());
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        pngBytes += png.size();
        auto scene = std::make_unique<NotesScene>();
        scene->addItem(new QGraphicsPixmapItem(QPixmap::fromImage(picture)));
        scene->addItem(new NotesRectangleItem(QRectF(400, 300, 500, 300), Qt::yellow, 3, Qt::SolidLine, nullptr));
        pages.append({QStringLiteral("Page %1").arg(i + 1), QStringLiteral("04.03.2024 09:12"), QString(), scene.get()});
        scenes.push_back(std::move(scene));
    }

    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.pdf"));
    QElapsedTimer timer;
    timer.start();
    const NotesRender::PdfResult result = NotesRender::writePdf(file, layout, 1200, pages, {});
    const qint64 exportMs = timer.elapsed();
    if (result.outcome != NotesRender::Outcome::Written) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(result.errorString));
        return 1;
    }
    const qint64 pdfBytes = QFileInfo(file).size();

    // The engine's default: no lossless hint, every picture as a JPEG.
    QByteArray lossy;
    timer.restart();
    {
        QBuffer buffer(&lossy);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageLayout(layout);
        QPainter painter(&writer);
        const QRect paint = layout.paintRectPixels(1200);
        for (int i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            pages.at(i).scene->render(&painter, QRectF(0, 300, paint.width(), paint.height() - 300));
        }
    }
    const qint64 lossyMs = timer.elapsed();

    std::printf("pages                      %d (%dx%d pictures)\n", pageCount, pictureSize.width(),
                pictureSize.height());
    std::printf("pictures as PNG            %10lld bytes\n", static_cast<long long>(pngBytes));
    std::printf("PDF, lossless (export)     %10lld bytes  %.2f x PNG  %lld ms\n", static_cast<long long>(pdfBytes),
                double(pdfBytes) / double(pngBytes), static_cast<long long>(exportMs));
    std::printf("PDF, engine default (JPEG) %10lld bytes  %.2f x PNG  %lld ms\n",
                static_cast<long long>(lossy.size()), double(lossy.size()) / double(pngBytes),
                static_cast<long long>(lossyMs));
    return 0;
}
