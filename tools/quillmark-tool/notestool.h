#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class LoadedNotes;
class QIODevice;

// The command line of quillmark-tool: parses the arguments, runs one subcommand on the same notes
// file reader, writer and result-file export the viewer uses, and answers the exit status.
//
//   dump FILE.nts          pages as JSON on standard output
//   urf FILE.nts OUT       review result file (RST when OUT ends with ".rst", else URF), merging
//                          the verdicts of an existing OUT
//   resave IN.nts OUT.nts  read and write again in the current format
//   pdf IN.nts OUT.pdf     the PDF document of the window's export
//   images IN.nts DIR      the image set of the window's export, rendered instead of grabbed
class NotesTool
{
public:
    enum ExitCode : int {
        Success = 0,
        Failure = 1,    // input unreadable or damaged, output not written
        UsageError = 2, // bad arguments or environment
    };

    // out and err receive standard output and standard error; progress of long work is shown on
    // err only when it is a terminal.
    NotesTool(QIODevice *out, QIODevice *err, bool errIsTerminal = false);

    // arguments as QCoreApplication::arguments() gives them (program name first).
    int run(const QStringList &arguments);

    // The name the messages begin with.
    static QString programName();

private:
    int dump(const QString &fileName);
    int exportUrf(const QString &fileName, const QString &outName);
    int resave(const QString &fileName, const QString &outName);
    struct PdfRequest
    {
        int page = 0; // 1-based; 0 for all pages
        QString paper;
        bool landscape = false;
        bool comments = false;
    };
    int exportPdf(const QString &fileName, const QString &outName, const PdfRequest &request);
    int exportImages(const QString &fileName, const QString &dirName, const QSize &size);

    // A target that exists and is no regular file (a FIFO, a device) is never written through
    // or replaced: reported, and false.
    bool refuseSpecialTarget(const QString &outName);

    // Reads the input of a command that writes outName; a damaged or unreadable input is
    // reported and nothing is to be written.
    bool loadCompletely(LoadedNotes &notes, const QString &fileName, const QString &outName);

    // Installs the clock from SOURCE_DATE_EPOCH when set; false (and a message) when malformed.
    bool setUpClock();
    // The command's status, or Failure when standard output could not be written.
    int finish(int status);

    void print(const QByteArray &bytes);
    // One line on standard error, prefixed with the program name.
    void complain(const QString &line);
    int usageError(const QString &line);

    QIODevice *out;
    QIODevice *err;
    bool errIsTerminal = false;
    bool outFailed = false; // standard output could not take everything printed
};
