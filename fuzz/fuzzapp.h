#pragma once

// The readers make pixmaps, fonts and text items (widget classes), which need an application.
// Each fuzz target makes one, offscreen, before the first input.

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace FuzzApp {

inline void start(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    // Warnings of the picture decoder and of seeks past the end are expected for broken input and
    // would flood the fuzzer's output; a fatal message still ends the run.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
            std::abort();
        }
    });
    static QApplication *app = new QApplication(*argc, *argv);
    (void)app;
}

} // namespace FuzzApp
