#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class WdgNotes;

// The standalone viewer around the notes window, kept apart from main() so that it can be tested.
namespace Viewer {

// Version 7.0.0, organisation "Lorvane", application "Quillmark"; these also place the settings.
void setApplicationIdentity();

// The notes file named on the command line, or an empty string. Handles --help and --version
// (which print and exit) through the toolkit's command-line parser.
QString notesFileFromCommandLine(const QStringList &arguments);

// The window of the standalone program: view-only, at least 800 x 600, showing fileName if given.
std::unique_ptr<WdgNotes> createViewer(const QString &fileName);

} // namespace Viewer
