// Start-up of the standalone viewer: application identity, the window it opens, and the
// optional notes file on the command line.

#include "app/viewer.h"
#include "common/scripteddialogs.h"
#include "scene/notespictureitem.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "scene/notesconstants.h"
#include "window/wdgnotes.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QApplication>
#include <QDir>
#include <QGraphicsScene>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

class TestViewer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void identity();
    void emptyViewer();
    void commandLine_data();
    void commandLine();
    void viewerShowsFileFromCommandLine();
    void editorAnswersPictureRequest_data();
    void editorAnswersPictureRequest();
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
    // "@" stands for a notes file that exists, "@dir" for an existing folder.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("edit");
    QTest::newRow("none") << QStringList{"quillmark"} << QString() << 0 << QString() << false;
    QTest::newRow("file") << QStringList{"quillmark", "@"} << QString("@") << 0 << QString() << false;
    QTest::newRow("after --") << QStringList{"quillmark", "--", "@"} << QString("@") << 0 << QString()
                              << false;
    QTest::newRow("edit alone") << QStringList{"quillmark", "--edit"} << QString() << 0 << QString()
                                << true;
    QTest::newRow("edit file") << QStringList{"quillmark", "--edit", "@"} << QString("@") << 0
                               << QString() << true;
    QTest::newRow("file then edit") << QStringList{"quillmark", "@", "--edit"} << QString("@") << 0
                                    << QString() << true;
    QTest::newRow("-- edit is a file") << QStringList{"quillmark", "--", "--edit"} << QString() << 1
                                       << QString("--edit: no such file") << false;
    QTest::newRow("missing") << QStringList{"quillmark", "nowhere/board.nts"} << QString() << 1
                             << QString("quillmark: nowhere/board.nts: no such file") << false;
    QTest::newRow("edit missing") << QStringList{"quillmark", "--edit", "nowhere/board.nts"} << QString()
                                  << 1 << QString("no such file") << true;
    QTest::newRow("folder") << QStringList{"quillmark", "@dir"} << QString() << 1
                            << QString("not a notes file") << false;
    QTest::newRow("two files") << QStringList{"quillmark", "@", "@"} << QString() << 2
                               << QString("only one notes file") << false;
}

void TestViewer::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QFETCH(int, exitStatus);
    QFETCH(QString, error);
    QFETCH(bool, edit);

    QTemporaryDir dir;
    const QString existing = dir.filePath("board.nts");
    QFile notes(existing);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();
    for (QString &argument : arguments) {
        if (argument == "@")
            argument = existing;
        else if (argument == "@dir")
            argument = dir.path();
    }
    if (file == "@")
        file = QFileInfo(existing).absoluteFilePath();

    const Viewer::CommandLine request = Viewer::readCommandLine(arguments);
    QCOMPARE(request.fileName, file);
    QCOMPARE(request.exitStatus, exitStatus);
    QCOMPARE(request.edit, edit);
    if (error.isEmpty())
        QVERIFY(request.error.isEmpty());
    else
        QVERIFY2(request.error.contains(error), qPrintable(request.error));
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
    QSettings().remove("notespath");
    const std::unique_ptr<WdgNotes> viewer = Viewer::createViewer(file);
    QCOMPARE(viewer->windowTitle(), QString("View Veritrace Notes review"));
    // Remembered for the next "Load existing Notes", as if opened through it.
    QCOMPARE(QSettings().value("notespath").toString(), QFileInfo(file).absolutePath());
    QCOMPARE(viewer->model()->rowCount(), 1);
    QVERIFY(viewer->view()->scene());
    QVERIFY(viewer->isViewOnly());

    // --edit opens the same notes for editing.
    const std::unique_ptr<WdgNotes> editor = Viewer::createEditor(file);
    QVERIFY(!editor->isViewOnly());
    QCOMPARE(editor->model()->rowCount(), 1);
    QVERIFY(editor->minimumWidth() >= 800 && editor->minimumHeight() >= 600);
}

void TestViewer::editorAnswersPictureRequest_data()
{
    // Where the picture comes from: "clipboard", "file", "unreadable" file, or "cancel" the dialog.
    QTest::addColumn<QString>("source");
    QTest::addColumn<QSize>("pictureSize"); // empty: the page stays without a picture
    QTest::newRow("clipboard") << "clipboard" << QSize(40, 30);
    QTest::newRow("image file") << "file" << QSize(64, 48);
    QTest::newRow("unreadable file") << "unreadable" << QSize();
    QTest::newRow("dialog cancelled") << "cancel" << QSize();
}

void TestViewer::editorAnswersPictureRequest()
{
    QFETCH(QString, source);
    QFETCH(QSize, pictureSize);

    QTemporaryDir dir;
    QApplication::clipboard()->clear();
    QString imageFile;
    if (source == "clipboard") {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QApplication::clipboard()->setImage(image);
    } else if (source == "file") {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::blue);
        imageFile = dir.filePath("board.png");
        QVERIFY(image.save(imageFile));
    } else if (source == "unreadable") {
        imageFile = dir.filePath("broken.png");
        QFile broken(imageFile);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x89PNG not really");
    }

    ScriptedDialogs::Guard dialogs;
    dialogs->answers.enqueue(QMessageBox::Yes);
    dialogs->menuChoices.enqueue(QStringLiteral("Copy in Veritrace."));
    if (source != "clipboard")
        dialogs->fileNames.enqueue(imageFile);
    if (source == "unreadable")
        dialogs->answers.enqueue(QMessageBox::Ok);

    const std::unique_ptr<WdgNotes> editor = Viewer::createEditor(dir.filePath("new.nts"));
    editor->addNewNote();
    QCOMPARE(editor->model()->rowCount(), 1);
    QSize shown;
    for (QGraphicsItem *item : editor->view()->scene()->items()) {
        if (auto *picture = dynamic_cast<QGraphicsPixmapItem *>(item)) {
            shown = Notes::pictureSize(picture);
            // As a pasted picture: it carries no host layers, and its page no host view.
            QCOMPARE(picture->data(PictureHasLayersKey).toBool(), false);
            const QStandardItem *page = editor->model()->item(0, Page::SceneColumn);
            QVERIFY(page->data(Page::ViewRectRole).toRectF().isNull());
            QVERIFY(page->data(Page::LayerMapRole).toMap().isEmpty());
        }
    }
    QCOMPARE(shown, pictureSize.isEmpty() ? QSize() : pictureSize);
    QVERIFY2(dialogs->unexpected.isEmpty(), qPrintable(dialogs->unexpected.join("; ")));
    QApplication::clipboard()->clear();
}

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
