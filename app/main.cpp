#include "resources/appicon.h"
#include "window/appversion.h"
#include "window/wdgnotes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QString>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(AppVersion::Major).arg(AppVersion::Minor).arg(AppVersion::Patch));
    QApplication::setOrganizationName(QStringLiteral("Lorvane"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setWindowIcon(quillApplicationIcon());

    // Without arguments the viewer opens empty; a notes file given on the command line is opened
    // in the viewer right away.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Viewer for design-review notes files (.nts)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Notes file to open."),
                                 QStringLiteral("[file.nts]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QString fileName = files.isEmpty() ? QString() : files.constFirst();

    WdgNotes notes(fileName, 1, nullptr);
    notes.setMinimumSize(800, 600);
    notes.show();
    return QApplication::exec();
}
