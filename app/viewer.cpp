#include "app/viewer.h"

#include "resources/appicon.h"
#include "window/appversion.h"
#include "window/wdgnotes.h"

#include <QApplication>
#include <QCommandLineParser>

namespace Viewer {

void setApplicationIdentity()
{
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(AppVersion::Major).arg(AppVersion::Minor).arg(AppVersion::Patch));
    QApplication::setOrganizationName(QStringLiteral("Lorvane"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setWindowIcon(quillApplicationIcon());
}

QString notesFileFromCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Viewer for design-review notes files (.nts)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Notes file to open."),
                                 QStringLiteral("[file.nts]"));
    parser.process(arguments);
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? QString() : files.constFirst();
}

std::unique_ptr<WdgNotes> createViewer(const QString &fileName)
{
    auto window = std::make_unique<WdgNotes>(fileName, 1, nullptr);
    window->setMinimumSize(800, 600);
    return window;
}

} // namespace Viewer
