#include "app/viewer.h"
#include "window/wdgnotes.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Viewer::setApplicationIdentity();

    // Without arguments the viewer opens empty; a notes file named on the command line is shown.
    const std::unique_ptr<WdgNotes> notes =
        Viewer::createViewer(Viewer::notesFileFromCommandLine(app.arguments()));
    notes->show();
    return QApplication::exec();
}
