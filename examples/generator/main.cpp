// Writes the sample notes file: quill_make_sample OUT.nts
// Re-run it after changing the board or the review; the output is the same on every run.

#include "examples/generator/samplenotes.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quill_make_sample"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws a synthetic board and writes a sample review as a notes file."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("The notes file to write."),
                                 QStringLiteral("OUT.nts"));
    const QCommandLineOption preview(
        QStringLiteral("preview"),
        QStringLiteral("Also draw every page with its annotations as page_<n>.png into <dir>."),
        QStringLiteral("dir"));
    parser.addOption(preview);
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "usage: quill_make_sample OUT.nts\n");
        return 2;
    }
    const QString path = parser.positionalArguments().constFirst();

    QStandardItemModel model;
    Sample::addPages(model, Sample::pages());
    const NotesFile::SaveResult saved = NotesFile::saveNotesFile(path, model);
    if (parser.isSet(preview)) {
        const QDir dir(parser.value(preview));
        for (int row = 0; row < model.rowCount(); ++row) {
            auto *scene =
                qvariant_cast<QGraphicsScene *>(model.item(row, Page::SceneColumn)->data(Page::SceneRole));
            const QRectF area = scene->itemsBoundingRect();
            QImage image(area.size().toSize(), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            scene->render(&painter, QRectF(QPointF(0, 0), area.size()), area);
            painter.end();
            image.save(dir.filePath(QStringLiteral("page_%1.png").arg(row + 1)));
        }
    }
    Sample::deleteScenes(model);
    if (!saved.ok) {
        std::fprintf(stderr, "quill_make_sample: %s: %s\n", qPrintable(path), qPrintable(saved.errorString));
        return 1;
    }
    std::printf("%s written\n", qPrintable(path));
    return 0;
}
