// Start-up of the standalone viewer: application identity, the window it opens, and the
// optional notes file on the command line.

#include "app/viewer.h"
#include "common/scripteddialogs.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "window/wdgnotes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGraphicsScene>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

class TestViewer : public QObject
{
    Q_OBJECT

private slots:
    void identity();
    void emptyViewer();
    void commandLine_data();
    void commandLine();
    void viewerShowsFileFromCommandLine();
};

void TestViewer::identity()
{
    Viewer::setApplicationIdentity();
    QCOMPARE(QCoreApplication::applicationVersion(), QString("7.0.0"));
    QCOMPARE(QCoreApplication::organizationName(), QString("Lorvane"));
    QCOMPARE(QCoreApplication::applicationName(), QString("Quillmark"));
    QVERIFY(!QApplication::windowIcon().isNull());
}

void TestViewer::emptyViewer()
{
    ScriptedDialogs::Guard dialogs;
    const std::unique_ptr<WdgNotes> viewer = Viewer::createViewer(QString());
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
    QCOMPARE(viewer->minimumSize(), QSize(800, 600));
    QVERIFY(viewer->width() >= 800 && viewer->height() >= 600);
    QVERIFY(viewer->isViewOnly());
    QCOMPARE(viewer->windowTitle(), QString("Quillmark Version 7.0.0"));
    QCOMPARE(viewer->model()->rowCount(), 0);
    QVERIFY(!viewer->view()->scene());
    const QList<QToolBar *> bars = viewer->findChildren<QToolBar *>();
    QCOMPARE(bars.size(), 2);
    for (QToolBar *bar : bars)
        QVERIFY(!bar->isVisible());
    const QList<QAbstractButton *> buttons = viewer->findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons) {
        if (b->text() == QLatin1String("Previous") || b->text() == QLatin1String("Next"))
            QVERIFY(!b->isEnabled());
    }
    QVERIFY(dialogs->asked.isEmpty());
}

void TestViewer::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::newRow("none") << QStringList{"quillmark"} << QString();
    QTest::newRow("file") << QStringList{"quillmark", "board.nts"} << QString("board.nts");
    QTest::newRow("after --") << QStringList{"quillmark", "--", "-odd.nts"} << QString("-odd.nts");
}

void TestViewer::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QCOMPARE(Viewer::notesFileFromCommandLine(arguments), file);
}

void TestViewer::viewerShowsFileFromCommandLine()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("review.nts");
    {
        ScriptedDialogs::Guard dialogs;
        dialogs->answers.enqueue(QMessageBox::Yes);
        dialogs->menuChoices.enqueue(QStringLiteral("Copy from Clipboard."));
        WdgNotes editor(file, 0);
        editor.addNewNote();
    } // written on destruction
    const std::unique_ptr<WdgNotes> viewer = Viewer::createViewer(file);
    QCOMPARE(viewer->windowTitle(), QString("View Veritrace Notes review"));
    QCOMPARE(viewer->model()->rowCount(), 1);
    QVERIFY(viewer->view()->scene());
}

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
