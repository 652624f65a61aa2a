#include "tools/quillmark-tool/notestool.h"

#include "io/clock.h"
#include "io/notesfile.h"
#include "tools/quillmark-tool/loadednotes.h"
#include "tools/quillmark-tool/notesjson.h"
#include "urf/notesexport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>

namespace {

const char *const Commands =
    "Commands:\n"
    "  dump FILE.nts           Print the pages of a notes file as JSON.\n"
    "  urf FILE.nts OUT        Export the pages as a review result file: RST when OUT\n"
    "                          ends with \".rst\", else URF. The verdicts of an\n"
    "                          existing OUT are carried over.\n"
    "  resave IN.nts OUT.nts   Read a notes file and write it again in format 7.0.\n"
    "\n"
    "Dates written into result files are taken from SOURCE_DATE_EPOCH (seconds\n"
    "since 1970-01-01 UTC) when it is set, and then written in UTC; else they come\n"
    "from the clock.\n"
    "\n"
    "Exit status: 0 on success; 1 when the input cannot be read or is damaged, or\n"
    "the output cannot be written; 2 for usage errors.";

struct Command
{
    const char *name;
    int arguments;
    const char *synopsis;
};

const Command KnownCommands[] = {
    {"dump", 1, "dump FILE.nts"},
    {"urf", 2, "urf FILE.nts OUT"},
    {"resave", 2, "resave IN.nts OUT.nts"},
};

} // namespace

NotesTool::NotesTool(QIODevice *out, QIODevice *err)
    : out(out)
    , err(err)
{
}

QString NotesTool::programName()
{
    return QStringLiteral("quillmark-tool");
}

int NotesTool::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Inspects and converts Quillmark notes files without a display.\n\n%1")
            .arg(QLatin1String(Commands)));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("dump, urf or resave."));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("The command's files."),
                                 QStringLiteral("[arguments...]"));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    // Answered here rather than by the parser, which would end the process on the spot.
    if (parser.isSet(help)) {
        print(parser.helpText().toUtf8());
        return Success;
    }
    if (parser.isSet(version)) {
        print(QStringLiteral("%1 %2\n").arg(programName(), QCoreApplication::applicationVersion()).toUtf8());
        return Success;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usageError(QStringLiteral("no command given (dump, urf or resave)"));
    const QString name = positional.takeFirst();
    const Command *command = nullptr;
    for (const Command &known : KnownCommands) {
        if (name == QLatin1String(known.name))
            command = &known;
    }
    if (!command)
        return usageError(QStringLiteral("unknown command \"%1\" (dump, urf or resave)").arg(name));
    if (positional.size() != command->arguments)
        return usageError(
            QStringLiteral("usage: %1 %2").arg(programName(), QLatin1String(command->synopsis)));
    for (const QString &argument : positional) {
        if (argument.isEmpty())
            return usageError(QStringLiteral("usage: %1 %2 (empty file name)")
                                  .arg(programName(), QLatin1String(command->synopsis)));
    }
    if (!setUpClock())
        return UsageError;

    if (name == QLatin1String("dump"))
        return dump(positional.at(0));
    if (name == QLatin1String("urf"))
        return exportUrf(positional.at(0), positional.at(1));
    return resave(positional.at(0), positional.at(1));
}

bool NotesTool::setUpClock()
{
    // The reproducible-builds convention: a malformed value is an error, not "now".
    const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH").trimmed();
    if (epoch.isEmpty()) {
        Clock::setSource({});
        return true;
    }
    bool ok = false;
    const qint64 seconds = epoch.toLongLong(&ok);
    if (!ok || seconds < 0) {
        complain(QStringLiteral("SOURCE_DATE_EPOCH must be a whole number of seconds, not \"%1\"")
                     .arg(QString::fromLocal8Bit(epoch)));
        return false;
    }
    // In UTC, so that the same value gives the same file in every time zone (the header date of
    // a result file is otherwise written in local time).
    const QDateTime fixed = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    Clock::setSource([fixed] { return fixed; });
    return true;
}

int NotesTool::dump(const QString &fileName)
{
    LoadedNotes notes;
    const bool complete = notes.load(fileName);
    if (!complete && !notes.result().opened) {
        complain(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), notes.problem()));
        return Failure;
    }
    // A damaged file still shows the pages read before the damage.
    const QJsonObject json = NotesJson::notesToJson(notes.model(), notes.result().major, notes.result().minor,
                                                    notes.result().damaged);
    print(QJsonDocument(json).toJson(QJsonDocument::Indented));
    if (!complete) {
        complain(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), notes.problem()));
        return Failure;
    }
    return Success;
}

int NotesTool::exportUrf(const QString &fileName, const QString &outName)
{
    // The export would replace the notes with result-file text.
    if (QFileInfo(outName).exists() &&
        QFileInfo(outName).canonicalFilePath() == QFileInfo(fileName).canonicalFilePath())
        return usageError(QStringLiteral("%1: the result file must not be the notes file itself")
                              .arg(QDir::toNativeSeparators(outName)));
    LoadedNotes notes;
    // Writing a partial export would also merge it into (and so shrink) an existing file.
    if (!loadCompletely(notes, fileName, outName))
        return Failure;
    // The same builder and writer as the window's "Save URF-Data": an existing file at outName is
    // read first and its verdicts are carried over.
    if (!NotesExport::exportNotes(&notes.model(), outName)) {
        const QFileInfo target(outName);
        const QString why = !target.absoluteDir().exists() ? QStringLiteral("its directory does not exist")
                            : target.isDir()               ? QStringLiteral("it is a directory")
                                                           : QStringLiteral("permission denied or disk full");
        complain(QStringLiteral("%1: cannot be written: %2").arg(QDir::toNativeSeparators(outName), why));
        return Failure;
    }
    return Success;
}

int NotesTool::resave(const QString &fileName, const QString &outName)
{
    LoadedNotes notes;
    if (!loadCompletely(notes, fileName, outName))
        return Failure;
    const NotesFile::SaveResult saved = NotesFile::saveNotesFile(outName, notes.model());
    if (!saved.ok) {
        complain(QStringLiteral("%1: cannot be written: %2")
                     .arg(QDir::toNativeSeparators(outName), saved.errorString));
        return Failure;
    }
    return Success;
}

bool NotesTool::loadCompletely(LoadedNotes &notes, const QString &fileName, const QString &outName)
{
    if (notes.load(fileName))
        return true;
    complain(
        QStringLiteral("%1: %2; %3 not written")
            .arg(QDir::toNativeSeparators(fileName), notes.problem(), QDir::toNativeSeparators(outName)));
    return false;
}

void NotesTool::print(const QByteArray &bytes)
{
    out->write(bytes);
}

void NotesTool::complain(const QString &line)
{
    QString text = line;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    err->write(QStringLiteral("%1: %2\n").arg(programName(), text).toUtf8());
}

int NotesTool::usageError(const QString &line)
{
    complain(QStringLiteral("%1 (see --help)").arg(line));
    return UsageError;
}
