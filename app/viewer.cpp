#include "app/viewer.h"

#include "resources/appicon.h"
#include "window/appversion.h"
#include "window/wdgnotes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSettings>

namespace Viewer {

void setApplicationIdentity()
{
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(AppVersion::Major).arg(AppVersion::Minor).arg(AppVersion::Patch));
    QApplication::setOrganizationName(QStringLiteral("Lorvane"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setWindowIcon(quillApplicationIcon());
}

CommandLine readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Viewer for design-review notes files (.nts)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Notes file to open."),
                                 QStringLiteral("[file.nts]"));
    parser.process(arguments);
    const QStringList files = parser.positionalArguments();
    CommandLine request;
    if (files.size() > 1) {
        request.error =
            QStringLiteral("quillmark: only one notes file can be opened, got %1").arg(files.size());
        request.exitStatus = 2;
    } else if (!files.isEmpty()) {
        const QFileInfo info(files.constFirst());
        if (!info.exists()) {
            request.error = QStringLiteral("quillmark: %1: no such file").arg(files.constFirst());
            request.exitStatus = 1;
        } else if (!info.isFile()) {
            request.error = QStringLiteral("quillmark: %1: not a notes file").arg(files.constFirst());
            request.exitStatus = 1;
        } else {
            request.fileName = info.absoluteFilePath();
        }
    }
    return request;
}

std::unique_ptr<WdgNotes> createViewer(const QString &fileName)
{
    if (!fileName.isEmpty())
        QSettings().setValue(QStringLiteral("notespath"), QFileInfo(fileName).absolutePath());
    auto window = std::make_unique<WdgNotes>(fileName, 1, nullptr);
    window->setMinimumSize(800, 600);
    return window;
}

} // namespace Viewer
