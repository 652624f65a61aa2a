#include "app/viewer.h"
#include "window/wdgnotes.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Viewer::setApplicationIdentity();

    // Without arguments the viewer opens empty; a notes file named on the command line is shown,
    // in edit mode with --edit.
    const Viewer::CommandLine request = Viewer::readCommandLine(QApplication::arguments());
    if (!request.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(request.error));
        return request.exitStatus;
    }
    const std::unique_ptr<WdgNotes> notes = request.edit ? Viewer::createEditor(request.fileName)
                                                            : Viewer::createViewer(request.fileName);
    notes->show();
    return QApplication::exec();
}
