#include "tools/quillmark-tool/notestool.h"

#include <QApplication>
#include <QFile>
#include <QHashFunctions>

#include <cstdio>

#include <unistd.h>

namespace {

bool showToolkitMessages = false;

// The tool's standard error belongs to its own one-line diagnostics; the toolkit's warnings
// (about the runtime directory, fonts, ...) are shown only when asked for.
void messageFilter(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg || showToolkitMessages)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    // The tool never shows a window: unless a platform is chosen explicitly it runs offscreen, so
    // it works in pipelines without a display (and with an unreachable one) and gives the same
    // results everywhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Asked for reproducible output: the PDF engine lays out its fonts in hash order, so the hash
    // seed is fixed too (only then: the random seed guards against crafted hash collisions).
    if (!qEnvironmentVariableIsEmpty("SOURCE_DATE_EPOCH"))
        QHashSeed::setDeterministicGlobalSeed();
    showToolkitMessages = !qEnvironmentVariableIsEmpty("QUILLMARK_TOOL_DEBUG");
    qInstallMessageHandler(messageFilter);

    // Text items and scenes need the widgets application object even without a display.
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QUILL_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Lorvane"));
    QApplication::setApplicationName(QStringLiteral("Quillmark"));

    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    NotesTool tool(&out, &err, isatty(fileno(stderr)) != 0);
    return tool.run(QApplication::arguments());
}
