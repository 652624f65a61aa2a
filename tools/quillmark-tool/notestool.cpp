#include "tools/quillmark-tool/notestool.h"

#include "io/clock.h"
#include "io/notesfile.h"
#include "io/notesrender.h"
#include "scene/dialogs.h"
#include "tools/quillmark-tool/loadednotes.h"
#include "tools/quillmark-tool/notesjson.h"
#include "urf/notesexport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>

#include <memory>

namespace {

const char *const Commands =
    "Commands:\n"
    "  dump FILE.nts           Print the pages of a notes file as JSON.\n"
    "  urf FILE.nts OUT        Export the pages as a review result file: RST when OUT\n"
    "                          ends with \".rst\", else URF. The verdicts of an\n"
    "                          existing OUT are carried over.\n"
    "  resave IN.nts OUT.nts   Read a notes file and write it again in format 7.0.\n"
    "  pdf IN.nts OUT.pdf [--page N] [--paper A4|Letter|A3] [--landscape] [--comments]\n"
    "                          Print the pages into a PDF document, one page per\n"
    "                          note: title and date as a header, the picture with its\n"
    "                          annotations below. All pages unless --page N (from 1);\n"
    "                          A4 portrait unless told otherwise; --comments prints\n"
    "                          each note's comment under its picture.\n"
    "  images IN.nts DIR [--width W --height H]\n"
    "                          Write the image set into DIR (made when missing):\n"
    "                          image_N.png, title_N.txt, date_N.txt and\n"
    "                          comment_N.html for note N. Each page is drawn at its\n"
    "                          picture's own size, or scaled into W x H pixels.\n"
    "\n"
    "A file that is written appears complete or not at all; a command that fails\n"
    "leaves nothing of its output behind. An output that exists and is not a\n"
    "regular file (a FIFO, a device) is refused. Progress of long exports is shown\n"
    "on standard error when it is a terminal.\n"
    "\n"
    "Dates written into result files and PDF documents are taken from\n"
    "SOURCE_DATE_EPOCH (seconds since 1970-01-01 UTC) when it is set, and then\n"
    "written in UTC; else they come from the clock.\n"
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
    {"pdf", 2, "pdf IN.nts OUT.pdf [--page N] [--paper A4|Letter|A3] [--landscape] [--comments]"},
    {"images", 2, "images IN.nts DIR [--width W --height H]"},
};

constexpr int PdfResolution = 1200;

const char *const CommandNames = "dump, urf, resave, pdf or images";

// Pictures are bounded by the reader; a size asked for on the command line is bounded here, so
// that a typing error cannot ask for gigabytes.
constexpr int MaxImageSide = 16384;
constexpr qint64 MaxImagePixels = qint64(64) * 1024 * 1024;

// "page 3 of 10" on a terminal, rewritten in place; nothing at all elsewhere.
class TerminalProgress : public Progress
{
public:
    TerminalProgress(QIODevice *err, const QString &what, int total)
        : err(err)
        , what(what)
        , total(total)
    {
    }
    ~TerminalProgress() override
    {
        if (shown)
            err->write("\r\033[K");
    }
    bool advance(int done) override
    {
        err->write(QStringLiteral("\r%1: %2: page %3 of %4")
                       .arg(NotesTool::programName(), what)
                       .arg(done)
                       .arg(total)
                       .toUtf8());
        shown = true;
        return true;
    }
    void setLabel(const QString &label) override { what = label; }
    bool cancelled() const override { return false; }

private:
    QIODevice *err;
    QString what;
    int total;
    bool shown = false;
};

} // namespace

NotesTool::NotesTool(QIODevice *out, QIODevice *err, bool errIsTerminal)
    : out(out)
    , err(err)
    , errIsTerminal(errIsTerminal)
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
    const QCommandLineOption pageOption(QStringLiteral("page"), QStringLiteral("pdf: only note page N (from 1)."),
                                        QStringLiteral("N"));
    const QCommandLineOption paperOption(QStringLiteral("paper"),
                                         QStringLiteral("pdf: paper size A4 (default), Letter or A3."),
                                         QStringLiteral("size"));
    const QCommandLineOption landscapeOption(QStringLiteral("landscape"), QStringLiteral("pdf: landscape pages."));
    const QCommandLineOption commentsOption(QStringLiteral("comments"),
                                            QStringLiteral("pdf: print each note's comment under its picture."));
    const QCommandLineOption widthOption(QStringLiteral("width"),
                                         QStringLiteral("images: width of each image in pixels (with --height)."),
                                         QStringLiteral("W"));
    const QCommandLineOption heightOption(QStringLiteral("height"),
                                          QStringLiteral("images: height of each image in pixels (with --width)."),
                                          QStringLiteral("H"));
    for (const QCommandLineOption &option :
         {pageOption, paperOption, landscapeOption, commentsOption, widthOption, heightOption})
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("dump, urf, resave, pdf or images."));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("The command's files."),
                                 QStringLiteral("[arguments...]"));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    // Answered here rather than by the parser, which would end the process on the spot.
    if (parser.isSet(help)) {
        print(parser.helpText().toUtf8());
        return finish(Success);
    }
    if (parser.isSet(version)) {
        print(QStringLiteral("%1 %2\n").arg(programName(), QCoreApplication::applicationVersion()).toUtf8());
        return finish(Success);
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usageError(QStringLiteral("no command given (%1)").arg(QLatin1String(CommandNames)));
    const QString name = positional.takeFirst();
    const Command *command = nullptr;
    for (const Command &known : KnownCommands) {
        if (name == QLatin1String(known.name))
            command = &known;
    }
    if (!command)
        return usageError(
            QStringLiteral("unknown command \"%1\" (%2)").arg(name, QLatin1String(CommandNames)));
    if (positional.size() != command->arguments)
        return usageError(
            QStringLiteral("usage: %1 %2").arg(programName(), QLatin1String(command->synopsis)));
    for (const QString &argument : positional) {
        if (argument.isEmpty())
            return usageError(QStringLiteral("usage: %1 %2 (empty file name)")
                                  .arg(programName(), QLatin1String(command->synopsis)));
    }
    // Each option belongs to one command.
    const bool isPdf = name == QLatin1String("pdf");
    const bool isImages = name == QLatin1String("images");
    for (const QCommandLineOption &option : {pageOption, paperOption, landscapeOption, commentsOption}) {
        if (!isPdf && parser.isSet(option))
            return usageError(QStringLiteral("--%1 is an option of pdf").arg(option.names().constFirst()));
    }
    for (const QCommandLineOption &option : {widthOption, heightOption}) {
        if (!isImages && parser.isSet(option))
            return usageError(QStringLiteral("--%1 is an option of images").arg(option.names().constFirst()));
    }
    if (!setUpClock())
        return UsageError;

    if (name == QLatin1String("dump"))
        return finish(dump(positional.at(0)));
    if (name == QLatin1String("urf"))
        return finish(exportUrf(positional.at(0), positional.at(1)));
    if (isPdf) {
        PdfRequest request;
        if (parser.isSet(pageOption)) {
            bool ok = false;
            request.page = parser.value(pageOption).toInt(&ok);
            if (!ok || request.page < 1)
                return usageError(QStringLiteral("--page needs a page number from 1, not \"%1\"")
                                      .arg(parser.value(pageOption)));
        }
        request.paper = parser.isSet(paperOption) ? parser.value(paperOption) : QStringLiteral("A4");
        if (request.paper.compare(QLatin1String("A4"), Qt::CaseInsensitive) != 0 &&
            request.paper.compare(QLatin1String("A3"), Qt::CaseInsensitive) != 0 &&
            request.paper.compare(QLatin1String("Letter"), Qt::CaseInsensitive) != 0)
            return usageError(QStringLiteral("--paper must be A4, Letter or A3, not \"%1\"").arg(request.paper));
        request.landscape = parser.isSet(landscapeOption);
        request.comments = parser.isSet(commentsOption);
        return finish(exportPdf(positional.at(0), positional.at(1), request));
    }
    if (isImages) {
        QSize size;
        if (parser.isSet(widthOption) != parser.isSet(heightOption))
            return usageError(QStringLiteral("--width and --height go together"));
        if (parser.isSet(widthOption)) {
            bool okWidth = false;
            bool okHeight = false;
            size = QSize(parser.value(widthOption).toInt(&okWidth), parser.value(heightOption).toInt(&okHeight));
            if (!okWidth || !okHeight || size.width() < 1 || size.height() < 1 || size.width() > MaxImageSide ||
                size.height() > MaxImageSide || qint64(size.width()) * size.height() > MaxImagePixels)
                return usageError(QStringLiteral("--width and --height must be pixel counts from 1 to %1, "
                                                 "at most %2 megapixels")
                                      .arg(MaxImageSide)
                                      .arg(MaxImagePixels / (1024 * 1024)));
        }
        return finish(exportImages(positional.at(0), positional.at(1), size));
    }
    return finish(resave(positional.at(0), positional.at(1)));
}

int NotesTool::finish(int status)
{
    // A full disk or a closed pipe on standard output is a failure like any other write; standard
    // output is buffered by the C library, so its last bytes are only tried here.
    if (auto *file = qobject_cast<QFileDevice *>(out); file && !outFailed && !file->flush())
        outFailed = true;
    if (outFailed) {
        complain(QStringLiteral("standard output cannot be written: %1").arg(out->errorString()));
        return Failure;
    }
    return status;
}

bool NotesTool::refuseSpecialTarget(const QString &outName)
{
    const QFileInfo target(outName);
    if (!target.exists() || target.isFile() || target.isDir())
        return false;
    complain(QStringLiteral("%1: not a regular file (a FIFO or a device); not written")
                 .arg(QDir::toNativeSeparators(outName)));
    return true;
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
    if (refuseSpecialTarget(outName))
        return Failure;
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
    if (refuseSpecialTarget(outName))
        return Failure;
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

int NotesTool::exportPdf(const QString &fileName, const QString &outName, const PdfRequest &request)
{
    if (QFileInfo(outName).exists() &&
        QFileInfo(outName).canonicalFilePath() == QFileInfo(fileName).canonicalFilePath())
        return usageError(QStringLiteral("%1: the PDF must not be the notes file itself")
                              .arg(QDir::toNativeSeparators(outName)));
    if (QFileInfo(outName).isDir()) {
        complain(QStringLiteral("%1: cannot be written: it is a directory").arg(QDir::toNativeSeparators(outName)));
        return Failure;
    }
    if (refuseSpecialTarget(outName))
        return Failure;
    LoadedNotes notes;
    if (!loadCompletely(notes, fileName, outName))
        return Failure;
    QList<NotesRender::PageContent> pages = NotesRender::allPages(notes.model());
    if (request.page > 0) {
        if (request.page > pages.size()) {
            complain(QStringLiteral("%1: has no page %2 (%3 pages); %4 not written")
                         .arg(QDir::toNativeSeparators(fileName))
                         .arg(request.page)
                         .arg(pages.size())
                         .arg(QDir::toNativeSeparators(outName)));
            return Failure;
        }
        pages = {pages.at(request.page - 1)};
    }
    const QPageSize::PageSizeId paper =
        request.paper.compare(QLatin1String("A3"), Qt::CaseInsensitive) == 0       ? QPageSize::A3
        : request.paper.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0 ? QPageSize::Letter
                                                                                    : QPageSize::A4;
    // The page set-up dialog's defaults: 10 mm margins; the resolution of a high-resolution printer.
    const QPageLayout layout(QPageSize(paper), request.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    NotesRender::PdfOptions options;
    options.comments = request.comments;
    std::unique_ptr<Progress> progress;
    if (errIsTerminal)
        progress = std::make_unique<TerminalProgress>(err, QStringLiteral("pdf"), int(pages.size()));
    const NotesRender::PdfResult result =
        NotesRender::writePdf(outName, layout, PdfResolution, pages, options, progress.get());
    progress.reset();
    if (result.outcome != NotesRender::Outcome::Written) {
        complain(QStringLiteral("%1: cannot be written: %2")
                     .arg(QDir::toNativeSeparators(outName), result.errorString));
        return Failure;
    }
    return Success;
}

int NotesTool::exportImages(const QString &fileName, const QString &dirName, const QSize &size)
{
    const QFileInfo target(dirName);
    if (target.exists() && !target.isDir()) {
        complain(QStringLiteral("%1: not a directory; nothing written").arg(QDir::toNativeSeparators(dirName)));
        return Failure;
    }
    LoadedNotes notes;
    if (!loadCompletely(notes, fileName, dirName))
        return Failure;
    const bool made = !target.exists();
    if (made && !QDir().mkpath(dirName)) {
        complain(QStringLiteral("%1: the directory cannot be made").arg(QDir::toNativeSeparators(dirName)));
        return Failure;
    }
    const QList<NotesRender::PageContent> pages = NotesRender::allPages(notes.model());
    std::unique_ptr<Progress> progress;
    if (errIsTerminal)
        progress = std::make_unique<TerminalProgress>(err, QStringLiteral("images"), int(pages.size()));
    const NotesRender::ImageSetResult result = NotesRender::writeImageSet(
        dirName, pages,
        [size](int, const NotesRender::PageContent &page) { return NotesRender::renderPageImage(page.scene, size); },
        progress.get());
    progress.reset();
    if (result.failed > 0) {
        // Nothing of a failed export stays behind.
        for (const QString &path : result.written)
            QFile::remove(path);
        if (made)
            QDir().rmdir(dirName);
        complain(QStringLiteral("%1: %2 of the files cannot be written; nothing written")
                     .arg(QDir::toNativeSeparators(dirName))
                     .arg(result.failed));
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
    if (!outFailed && out->write(bytes) != bytes.size())
        outFailed = true;
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
