// Writes the sample notes file: quill_make_sample OUT.nts
// Re-run it after changing the board or the review; the output is the same on every run.

#include "examples/generator/samplenotes.h"
#include "io/notesfile.h"

#include <QApplication>
#include <QCommandLineParser>
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
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "usage: quill_make_sample OUT.nts\n");
        return 2;
    }
    const QString path = parser.positionalArguments().constFirst();

    QStandardItemModel model;
    Sample::addPages(model, Sample::pages());
    const NotesFile::SaveResult saved = NotesFile::saveNotesFile(path, model);
    Sample::deleteScenes(model);
    if (!saved.ok) {
        std::fprintf(stderr, "quill_make_sample: %s: %s\n", qPrintable(path), qPrintable(saved.errorString));
        return 1;
    }
    std::printf("%s written\n", qPrintable(path));
    return 0;
}
