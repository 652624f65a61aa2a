#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class WdgNotes;

// The standalone viewer around the notes window, kept apart from main() so that it can be tested.
namespace Viewer {

// Version 7.0.0, organisation "Lorvane", application "Quillmark"; these also place the settings.
void setApplicationIdentity();

// What the command line asks for: a notes file to open (absolute path, or empty for none), or an
// error to report on standard error with the exit status to end with.
struct CommandLine
{
    QString fileName;
    QString error;
    int exitStatus = 0;
    bool edit = false; // --edit: the notes window in edit mode instead of the viewer
};

// Reads the command line: at most one notes file, which must exist, and --edit for edit mode.
// --help and --version print and exit through the toolkit's command-line parser.
CommandLine readCommandLine(const QStringList &arguments);

// The window of the standalone program (files can be dropped on it): view-only, at least 800 x 600, showing fileName if given.
// A file opened this way is remembered as the place to look next time, as "Load existing Notes" does.
std::unique_ptr<WdgNotes> createViewer(const QString &fileName);

// The same window in edit mode; without a file it starts empty and asks for a name on the first save.
// Standing in for the host, it answers the window's request for a picture itself.
std::unique_ptr<WdgNotes> createEditor(const QString &fileName);

// The picture for a new page: the clipboard's image, else an image file the user picks.
void answerCreateImage(WdgNotes *window);

// The open dialog's filter: every image format the toolkit's plugins read.
QString imageFileFilter();

} // namespace Viewer
