// The notes window as a program of its own: files dropped on it, the modified marker, the
// question when unsaved notes are closed, zoom and the page number, driven by real events.

#include "windowtesthelpers.h"

#include "io/pagemodel.h"
#include "scene/notesconstants.h"
#include "window/noteskeeper.h"

#include <QDataWidgetMapper>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QUrl>

using namespace WindowTest;

namespace {

// Drags urls over a widget and drops them, as the toolkit delivers a drop from a file manager.
// Answers whether the widget took the drag.
bool dropUrls(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint pos = target->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

int countOfType(QGraphicsScene *scene, int type)
{
    int n = 0;
    const QList<QGraphicsItem *> all = scene ? scene->items() : QList<QGraphicsItem *>();
    for (const QGraphicsItem *item : all)
        n += item->type() == type ? 1 : 0;
    return n;
}

QString titleOf(const WdgNotes &window, int row)
{
    return window.model()->item(row, Page::TitleColumn)->text();
}

} // namespace

class TestWdgNotesEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void drops_data();
    void drops();
    void modifiedMarker_data();
    void modifiedMarker();
    void closeQuestion_data();
    void closeQuestion();
    void zoom_data();
    void zoom();
    void zoomFollowsEveryPage();
    void pageLabel_data();
    void pageLabel();

private:
    // A notes file with `pages` pages, each with an opaque picture and one rectangle.
    QString makeNotesFile(const QString &name, int pages);
    std::unique_ptr<WdgNotes> openStandalone(const QString &file, int viewOnly = 0);
    QString makeImage(const QString &name, const QColor &color);
    void key(WdgNotes &window, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        window.view()->setFocus();
        QTest::keyClick(window.view(), Qt::Key(k), mods);
    }
    void drawRectangle(WdgNotes &window)
    {
        clickAction(window, "addRectangleAction");
        drag(window.view(), visiblePoint(window.view(), 0.2, 0.2), visiblePoint(window.view(), 0.5, 0.5));
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
};

void TestWdgNotesEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestWdgNotesEditor::init()
{
    dir = std::make_unique<QTemporaryDir>();
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    QGuiApplication::clipboard()->clear();
}

void TestWdgNotesEditor::cleanup()
{
    QVERIFY2((*dialogs)->unexpected.isEmpty(), qPrintable((*dialogs)->unexpected.join(", ")));
    dialogs.reset();
    dir.reset();
}

QString TestWdgNotesEditor::makeNotesFile(const QString &name, int pages)
{
    const QString file = dir->filePath(name);
    auto window = showEditWindow();
    ScriptedDialogs &scripted = **dialogs;
    for (int i = 0; i < pages; ++i) {
        addPicturePage(*window, scripted, QColor::fromHsv(40 * i, 200, 160));
        drawRectangle(*window);
    }
    if (!window->saveNotes(file))
        qWarning("could not write %s", qPrintable(file));
    window->clearAllNotes();
    scripted.asked.clear();
    return file;
}

std::unique_ptr<WdgNotes> TestWdgNotesEditor::openStandalone(const QString &file, int viewOnly)
{
    auto window = std::make_unique<WdgNotes>(file, viewOnly);
    window->setStandalone(true);
    window->resize(1000, 700);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window not active");
    return window;
}

QString TestWdgNotesEditor::makeImage(const QString &name, const QColor &color)
{
    const QString file = dir->filePath(name);
    if (!name.startsWith(QLatin1String("bad")))
        testPicture(color, QSize(320, 240)).save(file);
    else {
        QFile broken(file); // a name that promises a picture, and no picture in it
        if (broken.open(QIODevice::WriteOnly))
            broken.write("not a picture");
    }
    return file;
}

void TestWdgNotesEditor::drops_data()
{
    // files: names made in the temporary folder ("*.nts" with two pages; "bad.png" holds no picture).
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("viewOnly");
    QTest::addColumn<bool>("onButton"); // dropped on the button column instead of the view
    QTest::addColumn<int>("pagesBefore");
    QTest::addColumn<QList<int>>("answers"); // to "You want save notes?" when pages are shown
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("titles"); // of the pages afterwards
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("questions"); // texts asked, in order (prefix)

    const QStringList none;
    QTest::newRow("two images, one page each") << QStringList{"top.png", "bottom.jpg"} << 0 << false << 0
                                              << QList<int>{} << true << QStringList{"top", "bottom"} << 0 << none;
    QTest::newRow("image on the button column") << QStringList{"top.png"} << 0 << true << 0 << QList<int>{} << true
                                                << QStringList{"top"} << 0 << none;
    QTest::newRow("images after existing pages")
        << QStringList{"top.png"} << 0 << false << 2 << QList<int>{} << true
        << QStringList{"Note-0", "Note-1", "top"} << 2 << none;
    QTest::newRow("notes file") << QStringList{"review.nts"} << 0 << false << 0 << QList<int>{} << true
                                << QStringList{"Note-0", "Note-1"} << 0 << none;
    QTest::newRow("notes file in the viewer") << QStringList{"review.nts"} << 1 << false << 0 << QList<int>{} << true
                                              << QStringList{"Note-0", "Note-1"} << 0 << none;
    QTest::newRow("notes file over pages, No appends")
        << QStringList{"review.nts"} << 0 << false << 1 << QList<int>{QMessageBox::No} << true
        << QStringList{"Note-0", "Note-0", "Note-1"} << 0 << QStringList{"You want save notes?"};
    QTest::newRow("notes file over pages, Cancel opens nothing")
        << QStringList{"review.nts"} << 0 << false << 1 << QList<int>{QMessageBox::Cancel} << true
        << QStringList{"Note-0"} << 0 << QStringList{"You want save notes?"};
    QTest::newRow("notes file and an image") << QStringList{"review.nts", "top.png"} << 0 << false << 0
                                             << QList<int>{} << true << QStringList{"Note-0", "Note-1", "top"} << 2
                                             << none;
    QTest::newRow("unreadable picture is named") << QStringList{"bad.png", "top.png"} << 0 << false << 0
                                                 << QList<int>{QMessageBox::Ok} << true << QStringList{"top"} << 0
                                                 << QStringList{"These files could not be read as pictures:"};
    QTest::newRow("two notes files open nothing")
        << QStringList{"review.nts", "other.nts"} << 0 << false << 0 << QList<int>{QMessageBox::Ok} << true
        << QStringList{} << -1 << QStringList{"Only one notes file can be opened at a time."};
    QTest::newRow("images are not taken by the viewer") << QStringList{"top.png"} << 1 << false << 0
                                                        << QList<int>{} << false << QStringList{} << -1 << none;
    QTest::newRow("other files are not taken") << QStringList{"readme.txt"} << 0 << false << 0 << QList<int>{}
                                               << false << QStringList{} << -1 << none;
}

void TestWdgNotesEditor::drops()
{
    QFETCH(QStringList, files);
    QFETCH(int, viewOnly);
    QFETCH(bool, onButton);
    QFETCH(int, pagesBefore);
    QFETCH(QList<int>, answers);
    QFETCH(bool, accepted);
    QFETCH(QStringList, titles);
    QFETCH(int, current);
    QFETCH(QStringList, questions);

    QList<QUrl> urls;
    for (const QString &name : std::as_const(files)) {
        const QString path = name.endsWith(QLatin1String(".nts")) ? makeNotesFile(name, 2)
                             : name.endsWith(QLatin1String(".txt")) ? dir->filePath(name)
                                                                     : makeImage(name, Qt::darkGreen);
        if (name.endsWith(QLatin1String(".txt"))) {
            QFile text(path);
            QVERIFY(text.open(QIODevice::WriteOnly));
        }
        urls << QUrl::fromLocalFile(path);
    }

    auto window = openStandalone(QString(), viewOnly);
    ScriptedDialogs &scripted = **dialogs;
    for (int i = 0; i < pagesBefore; ++i)
        addPicturePage(*window, scripted);
    scripted.asked.clear();
    for (int answer : std::as_const(answers))
        scripted.answers.enqueue(QMessageBox::StandardButton(answer));

    QWidget *target = onButton ? static_cast<QWidget *>(button(*window, QStringLiteral("First Note")))
                               : window->view()->viewport();
    QCOMPARE(dropUrls(target, urls), accepted);

    QStringList shown;
    for (int row = 0; row < window->model()->rowCount(); ++row)
        shown << titleOf(*window, row);
    if (titles.isEmpty() && pagesBefore > 0)
        titles = shown; // nothing changed
    QCOMPARE(shown, titles);
    if (current >= 0) {
        QCOMPARE(window->mapper()->currentIndex(), current);
        QGraphicsScene *scene = window->view()->scene();
        QVERIFY(scene);
        QCOMPARE(countOfType(scene, Notes::PictureType), 1);
        // A dropped picture's page refers to no host view, as a pasted one.
        const QStandardItem *sceneItem = window->model()->item(current, Page::SceneColumn);
        QVERIFY(sceneItem->data(Page::ViewRectRole).toRectF().isNull());
        QVERIFY(sceneItem->data(Page::LayerMapRole).toMap().isEmpty());
    }
    QCOMPARE(scripted.asked.size(), questions.size());
    for (int i = 0; i < questions.size(); ++i)
        QVERIFY2(scripted.asked.at(i).text.startsWith(questions.at(i)), qPrintable(scripted.asked.at(i).text));
    window->clearAllNotes();
}

void TestWdgNotesEditor::modifiedMarker_data()
{
    // Steps, done in order on a standalone editor that opened a saved two-page file:
    // draw, undo, redo, save, page (a new page from the clipboard), delete (this page),
    // title (typed into the title), text (typed into a new text item), next (page switch).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("modified");
    QTest::newRow("opened") << QStringList{} << false;
    QTest::newRow("page switch only") << QStringList{"next"} << false;
    QTest::newRow("drawing") << QStringList{"draw"} << true;
    QTest::newRow("drawing undone") << QStringList{"draw", "undo"} << false;
    QTest::newRow("drawing undone and redone") << QStringList{"draw", "undo", "redo"} << true;
    QTest::newRow("drawing saved") << QStringList{"draw", "save"} << false;
    QTest::newRow("saved, then undone") << QStringList{"draw", "save", "undo"} << true;
    QTest::newRow("new page") << QStringList{"page"} << true;
    QTest::newRow("new page, drawing undone") << QStringList{"page", "draw", "undo"} << true;
    QTest::newRow("page deleted") << QStringList{"delete"} << true;
    QTest::newRow("drawing, then a page deleted") << QStringList{"draw", "next", "delete"} << true;
    QTest::newRow("title typed") << QStringList{"title"} << true;
    QTest::newRow("comment typed") << QStringList{"comment"} << true;
    QTest::newRow("comment typed and saved, visited again")
        << QStringList{"comment", "save", "comment visited", "next", "comment visited"} << false;
    QTest::newRow("comment visited only") << QStringList{"comment visited", "next", "comment visited"} << false;
    QTest::newRow("text typed") << QStringList{"text"} << true;
    QTest::newRow("text typed and saved") << QStringList{"text", "save"} << false;
}

void TestWdgNotesEditor::modifiedMarker()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, modified);

    const QString file = makeNotesFile(QStringLiteral("marked.nts"), 2);
    auto window = openStandalone(file);
    ScriptedDialogs &scripted = **dialogs;
    QVERIFY(window->windowTitle().endsWith(QLatin1String("[*]")));
    QVERIFY(!window->isWindowModified());

    for (const QString &step : std::as_const(steps)) {
        if (step == "draw") {
            drawRectangle(*window);
        } else if (step == "undo") {
            key(*window, Qt::Key_Z, Qt::ControlModifier);
        } else if (step == "redo") {
            window->view()->setFocus();
            QTest::keySequence(window->view(), action(*window, "redoAction")->shortcut());
        } else if (step == "save") {
            scripted.fileNames.enqueue(file);
            click(*window, QStringLiteral("Save Notes as..."));
        } else if (step == "page") {
            addPicturePage(*window, scripted);
        } else if (step == "delete") {
            scripted.answers.enqueue(QMessageBox::Yes);
            click(*window, QStringLiteral("Delete this Note"));
        } else if (step == "next") {
            click(*window, QStringLiteral("Next"));
        } else if (step == "title") {
            auto *title = window->findChild<QLineEdit *>(QStringLiteral("titleEdit"));
            title->setFocus();
            QTest::keyClicks(title, QStringLiteral(" checked"));
            window->view()->setFocus(); // the mapper takes the edit when the editor loses focus
        } else if (step == "comment" || step == "comment visited") {
            auto *comment = window->findChild<QTextEdit *>(QStringLiteral("commentEdit"));
            QTest::mouseClick(comment->viewport(), Qt::LeftButton);
            QVERIFY(comment->hasFocus());
            if (step == "comment")
                QTest::keyClicks(comment, QStringLiteral("Clearance too small"));
            window->view()->setFocus();
        } else if (step == "text") {
            clickAction(*window, "addTextAction");
            clickAt(window->view(), visiblePoint(window->view(), 0.6, 0.3));
            QTest::keyClicks(window->view(), QStringLiteral("via"));
        }
        QVERIFY2(!QTest::currentTestFailed(), qPrintable(step));
    }
    QCOMPARE(window->isWindowModified(), modified);
    QCOMPARE(window->notesKeeper()->hasUnsavedChanges(), modified);
    window->clearAllNotes();
}

void TestWdgNotesEditor::closeQuestion_data()
{
    QTest::addColumn<bool>("standalone");
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("draw");
    QTest::addColumn<int>("answer"); // to the close question; NoButton: no question expected
    QTest::addColumn<bool>("saveDialog"); // the save dialog is answered with a new file
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("savedRectangles"); // in the file once the window is gone; -1: no file

    QTest::newRow("Save") << true << true << true << int(QMessageBox::Save) << false << true << 2;
    QTest::newRow("Discard") << true << true << true << int(QMessageBox::Discard) << false << true << 1;
    QTest::newRow("Cancel") << true << true << true << int(QMessageBox::Cancel) << false << false << 2;
    QTest::newRow("Save without a file asks for one")
        << true << false << true << int(QMessageBox::Save) << true << true << 1;
    QTest::newRow("Save without a file, dialog cancelled")
        << true << false << true << int(QMessageBox::Save) << false << false << -1;
    QTest::newRow("nothing changed, no question") << true << true << false << int(QMessageBox::NoButton) << false
                                                  << true << 1;
    // A host's window keeps its quiet save and asks nothing.
    QTest::newRow("embedded window") << false << true << true << int(QMessageBox::NoButton) << false << true << 2;
}

void TestWdgNotesEditor::closeQuestion()
{
    QFETCH(bool, standalone);
    QFETCH(bool, withFile);
    QFETCH(bool, draw);
    QFETCH(int, answer);
    QFETCH(bool, saveDialog);
    QFETCH(bool, closed);
    QFETCH(int, savedRectangles);

    ScriptedDialogs &scripted = **dialogs;
    const QString file = withFile ? makeNotesFile(QStringLiteral("closing.nts"), 1) : QString();
    const QString chosen = dir->filePath(QStringLiteral("chosen.nts"));
    auto window = openStandalone(file);
    window->setStandalone(standalone);
    if (!withFile)
        addPicturePage(*window, scripted);
    if (draw)
        drawRectangle(*window);
    scripted.asked.clear();
    if (answer != QMessageBox::NoButton)
        scripted.answers.enqueue(QMessageBox::StandardButton(answer));
    if (answer == QMessageBox::Save && !withFile)
        scripted.fileNames.enqueue(saveDialog ? chosen : QString());

    QCOMPARE(window->close(), closed);
    QCOMPARE(window->isVisible(), !closed);
    if (answer == QMessageBox::NoButton) {
        QVERIFY(scripted.asked.isEmpty());
    } else {
        QVERIFY(!scripted.asked.isEmpty());
        QCOMPARE(scripted.asked.first().title, QString("QUESTION"));
        QCOMPARE(scripted.asked.first().buttons,
                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    }
    if (!closed) {
        if (!withFile)
            window->clearAllNotes(); // nowhere to keep them
        window->show();
    }
    window.reset();

    const QString written = withFile ? file : chosen;
    if (savedRectangles < 0) {
        QVERIFY(!QFile::exists(written));
        return;
    }
    WdgNotes reopened(written, 1);
    QCOMPARE(reopened.model()->rowCount(), 1);
    QCOMPARE(countOfType(reopened.view()->scene(), Notes::RectangleType), savedRectangles);
}

void TestWdgNotesEditor::zoom_data()
{
    // Keys are sent to the focused notes view; "wheel" is Ctrl + one notch of the wheel up,
    // "wheel down" one notch down, "plain wheel" a notch without Ctrl.
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<double>("factor"); // 0: fitted to the page
    QTest::addColumn<QString>("label");
    QTest::newRow("Ctrl++") << QStringList{"+"} << 1.25 << "125 %";
    QTest::newRow("Ctrl+= (plus without Shift)") << QStringList{"="} << 1.25 << "125 %";
    QTest::newRow("Ctrl+- twice") << QStringList{"-", "-"} << 0.64 << "64 %";
    QTest::newRow("in and out") << QStringList{"+", "-"} << 1.0 << "100 %";
    QTest::newRow("Ctrl+0 fits the page") << QStringList{"+", "+", "0"} << 0.0 << QString();
    QTest::newRow("far out stops") << QStringList(20, "-") << 0.05 << "5 %";
    QTest::newRow("Ctrl+wheel up") << QStringList{"wheel"} << 1.25 << "125 %";
    QTest::newRow("Ctrl+wheel down") << QStringList{"wheel down"} << 0.8 << "80 %";
    QTest::newRow("wheel without Ctrl scrolls") << QStringList{"plain wheel"} << 1.0 << "100 %";
}

void TestWdgNotesEditor::zoom()
{
    QFETCH(QStringList, input);
    QFETCH(double, factor);
    QFETCH(QString, label);

    auto window = openStandalone(QString());
    addPicturePage(*window, **dialogs);
    QCoreApplication::processEvents(); // the view learns the page's size from the event loop
    QGraphicsView *view = window->view();
    view->centerOn(view->scene()->sceneRect().center()); // room to scroll every way
    // Near the middle, where the page can scroll both ways in every zoom of this test.
    const QPoint cursor(view->viewport()->width() * 9 / 20, view->viewport()->height() * 11 / 20);
    const QPointF underCursor = view->mapToScene(cursor);

    for (const QString &step : std::as_const(input)) {
        if (step.contains(QLatin1String("wheel"))) {
            const int delta = step == QLatin1String("wheel down") ? -120 : 120;
            const Qt::KeyboardModifiers mods = step.startsWith(QLatin1String("plain")) ? Qt::NoModifier
                                                                                       : Qt::ControlModifier;
            QWheelEvent wheel(QPointF(cursor), QPointF(view->viewport()->mapToGlobal(cursor)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->viewport(), &wheel);
        } else {
            const int k = step == "+" ? Qt::Key_Plus : step == "=" ? Qt::Key_Equal : step == "-" ? Qt::Key_Minus
                                                                                                 : Qt::Key_0;
            key(*window, k, Qt::ControlModifier);
        }
    }

    QCoreApplication::processEvents(); // scroll bars come and go through the event loop
    const QRectF page = view->scene()->sceneRect();
    if (factor == 0.0) {
        // The whole page is visible and fills the view in one direction.
        const QRect mapped = view->mapFromScene(page).boundingRect();
        QVERIFY2(view->viewport()->rect().adjusted(-1, -1, 1, 1).contains(mapped), qPrintable(QStringLiteral("%1: %2,%3 %4x%5 in %6x%7").arg(window->zoomFactor()).arg(mapped.x()).arg(mapped.y()).arg(mapped.width()).arg(mapped.height()).arg(view->viewport()->width()).arg(view->viewport()->height())));
        QVERIFY(mapped.width() >= view->viewport()->width() - 6 || mapped.height() >= view->viewport()->height() - 6);
        label = QStringLiteral("%1 %").arg(qRound(window->zoomFactor() * 100));
    } else {
        QVERIFY2(qAbs(window->zoomFactor() - factor) < 1e-9, qPrintable(QString::number(window->zoomFactor())));
    }
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("zoomLabel"))->text(), label);
    if (input.constFirst().startsWith(QLatin1String("wheel"))) {
        // The board point under the cursor stays under it.
        const QPointF after = view->mapToScene(cursor);
        QVERIFY2(QLineF(after, underCursor).length() * window->zoomFactor() <= 1.5,
                 qPrintable(QStringLiteral("%1,%2 was %3,%4").arg(after.x()).arg(after.y()).arg(underCursor.x()).arg(underCursor.y())));
    }
    window->clearAllNotes();
}

void TestWdgNotesEditor::zoomFollowsEveryPage()
{
    auto window = openStandalone(QString());
    ScriptedDialogs &scripted = **dialogs;
    addPicturePage(*window, scripted, Qt::darkRed);
    addPicturePage(*window, scripted, Qt::darkBlue);
    key(*window, Qt::Key_Plus, Qt::ControlModifier);
    click(*window, QStringLiteral("First Note"));
    QCOMPARE(window->mapper()->currentIndex(), 0);
    QCOMPARE(window->zoomFactor(), 1.25);
    // Drawing on a zoomed page lands where the mouse is.
    drawRectangle(*window);
    const QList<NotesRectangleItem *> drawn = itemsOf<NotesRectangleItem>(window->view()->scene());
    QCOMPARE(drawn.size(), 1);
    const QRectF expected(visiblePoint(window->view(), 0.2, 0.2), visiblePoint(window->view(), 0.5, 0.5));
    const QRectF got = drawn.first()->mapRectToScene(drawn.first()->rect());
    QVERIFY2(qAbs(got.left() - expected.left()) < 2 && qAbs(got.bottom() - expected.bottom()) < 2,
             qPrintable(QStringLiteral("%1 %2").arg(got.left()).arg(expected.left())));
    window->clearAllNotes();
}

void TestWdgNotesEditor::pageLabel_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("clicks"); // buttons, in order; "delete" deletes the page shown
    QTest::addColumn<QString>("label");
    QTest::newRow("no pages") << 0 << QStringList{} << "No notes";
    QTest::newRow("one page") << 1 << QStringList{} << "Note 1 of 1";
    QTest::newRow("last added is shown") << 12 << QStringList{} << "Note 12 of 12";
    QTest::newRow("third of twelve") << 12 << QStringList{"First Note", "Next", "Next"} << "Note 3 of 12";
    QTest::newRow("back from the last") << 4 << QStringList{"Last Note", "Previous"} << "Note 3 of 4";
    QTest::newRow("middle page deleted") << 3 << QStringList{"First Note", "Next", "delete"} << "Note 2 of 2";
    QTest::newRow("only page deleted") << 1 << QStringList{"delete"} << "No notes";
    QTest::newRow("all cleared") << 3 << QStringList{"clear"} << "No notes";
}

void TestWdgNotesEditor::pageLabel()
{
    QFETCH(int, pages);
    QFETCH(QStringList, clicks);
    QFETCH(QString, label);

    auto window = openStandalone(QString());
    ScriptedDialogs &scripted = **dialogs;
    for (int i = 0; i < pages; ++i)
        addPicturePage(*window, scripted);
    for (const QString &c : std::as_const(clicks)) {
        if (c == "delete") {
            scripted.answers.enqueue(QMessageBox::Yes);
            click(*window, QStringLiteral("Delete this Note"));
        } else if (c == "clear") {
            scripted.answers.enqueue(QMessageBox::Yes); // saved first, then cleared
            scripted.fileNames.enqueue(dir->filePath(QStringLiteral("cleared.nts")));
            click(*window, QStringLiteral("Clear all Notes"));
        } else {
            click(*window, c);
        }
    }
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("pageLabel"))->text(), label);
    window->clearAllNotes();
}

QTEST_MAIN(TestWdgNotesEditor)
#include "tst_wdgnoteseditor.moc"
