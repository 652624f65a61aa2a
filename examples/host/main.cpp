// quillmark-demo-host [FILE.nts]: a board-inspection window with the notes window embedded, as a
// host application runs it.

#include "app/viewer.h"
#include "examples/host/demohost.h"
#include "window/wdgnotes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Viewer::setApplicationIdentity();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Board inspection with Quillmark notes (demo host)."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Notes file to open."),
                                 QStringLiteral("[file.nts]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : QFileInfo(files.constFirst()).absoluteFilePath();

    DemoHost host(file);
    host.show();
    host.notesWindow()->show();
    return QApplication::exec();
}
