#include "app/viewer.h"

#include "resources/appicon.h"
#include "scene/dialogs.h"
#include "window/appversion.h"
#include "window/wdgnotes.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
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
    const QCommandLineOption editOption(QStringLiteral("edit"),
                                        QStringLiteral("Open the notes in edit mode."));
    parser.addOption(editOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Notes file to open."),
                                 QStringLiteral("[file.nts]"));
    parser.process(arguments);
    const QStringList files = parser.positionalArguments();
    CommandLine request;
    request.edit = parser.isSet(editOption);
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

namespace {
std::unique_ptr<WdgNotes> createWindow(const QString &fileName, int viewOnlyMode)
{
    if (!fileName.isEmpty())
        QSettings().setValue(QStringLiteral("notespath"), QFileInfo(fileName).absolutePath());
    auto window = std::make_unique<WdgNotes>(fileName, viewOnlyMode, nullptr);
    window->setMinimumSize(800, 600);
    window->setStandalone(true);
    return window;
}
} // namespace

std::unique_ptr<WdgNotes> createViewer(const QString &fileName)
{
    return createWindow(fileName, 1);
}

void answerCreateImage(WdgNotes *window)
{
    // Without a host the picture comes from the clipboard, or else from an image file.
    QImage image = QApplication::clipboard()->image();
    if (image.isNull()) {
        const QString file = Dialogs::current().openFileName(
            window, QObject::tr("Picture for the Note"), QSettings().value(QStringLiteral("imagepath")).toString(),
            imageFileFilter());
        if (file.isEmpty())
            return;
        QSettings().setValue(QStringLiteral("imagepath"), QFileInfo(file).absolutePath());
        // The reader's allocation limit keeps a hostile header from asking for gigabytes.
        QImageReader reader(file);
        image = reader.read();
        if (image.isNull()) {
            Dialogs::current().warning(window, QObject::tr("WARNING"),
                                       QObject::tr("Cannot read the picture %1").arg(file), QMessageBox::Ok);
            return;
        }
    }
    // A picture of no host view: the page gets it as a pasted one.
    window->addPastedPicture(image);
    if (window->isHidden())
        window->showNormal();
}

QString imageFileFilter()
{
    QStringList patterns;
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats)
        patterns << QStringLiteral("*.") + QString::fromLatin1(format).toLower();
    return QObject::tr("Images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

std::unique_ptr<WdgNotes> createEditor(const QString &fileName)
{
    std::unique_ptr<WdgNotes> window = createWindow(fileName, 0);
    WdgNotes *raw = window.get();
    QObject::connect(raw, &WdgNotes::createImage, raw, [raw] { answerCreateImage(raw); });
    return window;
}

} // namespace Viewer
