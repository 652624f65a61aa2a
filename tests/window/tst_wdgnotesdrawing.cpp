// Drawing as users do it: on pages that carry an opaque board picture, with real mouse and key
// events on the notes view, including gestures that are interrupted.

#include "windowtesthelpers.h"

#include "io/pagemodel.h"

#include <QCheckBox>
#include <QDataWidgetMapper>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QUndoStack>

using namespace WindowTest;

namespace {

// Everything a user can draw; pictures are not annotations.
QList<QGraphicsItem *> annotations(QGraphicsScene *scene)
{
    QList<QGraphicsItem *> found;
    const QList<QGraphicsItem *> all = scene ? scene->items() : QList<QGraphicsItem *>();
    for (QGraphicsItem *item : all) {
        if (item->type() != Notes::PictureType)
            found << item;
    }
    return found;
}

const char *toolAction(int mode)
{
    switch (mode) {
    case InsertArrow: return "addArrowAction";
    case InsertText: return "addTextAction";
    case InsertCircle: return "addCircleAction";
    case InsertRectangle: return "addRectangleAction";
    case InsertPolyLine: return "addPolyLineAction";
    case InsertFreehandLine: return "addFreeLineAction";
    default: return "selectMoveAction";
    }
}

} // namespace

class TestWdgNotesDrawing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drawingLeavesPictureAlone_data();
    void drawingLeavesPictureAlone();
    void upLeftRectangleIsHitOnItsEdge();
    void endedGesturesLeaveNothing_data();
    void endedGesturesLeaveNothing();
    void frameCopyLeavesPictureAlone();
    void textItemsConnectedOnce();
    void nullViewRectNeverReachesHost();
    void hiddenWindowComesBackWithoutPicture();
    void newPictureStaysUnderDrawings();
    void standardKeys_data();
    void standardKeys();

private:
    ScriptedDialogs &scripted() { return **dialogs; }
    QGraphicsView *view() const { return window->view(); }
    QPointF at(double fx, double fy) const { return visiblePoint(view(), fx, fy); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key(k), mods);
    }
    // The gesture of a tool from a to b, finished as a user finishes it.
    void drawWith(int mode, const QPointF &a, const QPointF &b);

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<WdgNotes> window;
};

void TestWdgNotesDrawing::init()
{
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    window = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestWdgNotesDrawing::cleanup()
{
    QVERIFY2(scripted().unexpected.isEmpty(), qPrintable(scripted().unexpected.join(", ")));
    window->clearAllNotes(); // nothing to keep
    window.reset();
    dialogs.reset();
}

void TestWdgNotesDrawing::drawWith(int mode, const QPointF &a, const QPointF &b)
{
    clickAction(*window, toolAction(mode));
    if (mode == InsertPolyLine) {
        clickAt(view(), a);
        moveTo(view(), b, Qt::NoButton);
        clickAt(view(), b);
        key(Qt::Key_Space);
    } else if (mode == InsertText) {
        clickAt(view(), a);
        QTest::keyClicks(view(), QStringLiteral("via"));
    } else {
        drag(view(), a, b);
    }
}

void TestWdgNotesDrawing::drawingLeavesPictureAlone_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("arrow") << int(InsertArrow);
    QTest::newRow("circle") << int(InsertCircle);
    QTest::newRow("rectangle") << int(InsertRectangle);
    QTest::newRow("freehand") << int(InsertFreehandLine);
    QTest::newRow("polyline") << int(InsertPolyLine);
    QTest::newRow("text") << int(InsertText);
}

void TestWdgNotesDrawing::drawingLeavesPictureAlone()
{
    QFETCH(int, mode);
    QGraphicsPixmapItem *picture = addPicturePage(*window, scripted());
    QVERIFY(picture);
    QUndoStack *history = window->undoHistory();

    // The reviewer first nudges the picture (one move), then draws on it.
    drag(view(), at(0.5, 0.5), at(0.5, 0.5) + QPointF(10, 10));
    QCOMPARE(history->count(), 1);
    const QPointF placed = picture->pos();
    picture->setSelected(false);

    const QPointF a = at(0.3, 0.3), b = at(0.6, 0.6);
    clickAction(*window, toolAction(mode));
    if (mode == InsertFreehandLine || mode == InsertCircle || mode == InsertRectangle) {
        // The preview follows the pen in its own colour: never selected, never the picture.
        press(view(), a);
        moveTo(view(), (a + b) / 2);
        QVERIFY(window->view()->scene()->selectedItems().isEmpty());
        moveTo(view(), b);
        release(view(), b);
    } else {
        drawWith(mode, a, b);
    }

    QCOMPARE(annotations(view()->scene()).size(), 1);
    QVERIFY(!picture->isSelected());
    QCOMPARE(picture->pos(), placed);
    // Text is typed, not added by a command; every other tool adds one. No move is recorded.
    QCOMPARE(history->count(), mode == InsertText ? 1 : 2);
    if (mode != InsertText) {
        key(Qt::Key_Delete);
        QCOMPARE(picture->scene(), view()->scene());
        history->undo();
        QVERIFY(annotations(view()->scene()).isEmpty());
        QCOMPARE(picture->pos(), placed);
    }
}

void TestWdgNotesDrawing::upLeftRectangleIsHitOnItsEdge()
{
    QGraphicsPixmapItem *picture = addPicturePage(*window, scripted());
    const QPointF from = at(0.6, 0.6), to = at(0.3, 0.3);
    clickAction(*window, "addRectangleAction");
    drag(view(), from, to);
    const QList<NotesRectangleItem *> rects = itemsOf<NotesRectangleItem>(view()->scene());
    QCOMPARE(rects.size(), 1);
    // Its left edge, halfway down, clicked in Select/Move.
    clickAt(view(), QPointF(to.x(), (from.y() + to.y()) / 2));
    QVERIFY(rects.first()->isSelected());
    QVERIFY(!picture->isSelected());
}

void TestWdgNotesDrawing::endedGesturesLeaveNothing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("ending");
    QTest::newRow("arrow, click only") << int(InsertArrow) << "click";
    QTest::newRow("circle, click only") << int(InsertCircle) << "click";
    QTest::newRow("rectangle, click only") << int(InsertRectangle) << "click";
    QTest::newRow("freehand, click only") << int(InsertFreehandLine) << "click";
    QTest::newRow("polyline, one click then Space") << int(InsertPolyLine) << "click";
    QTest::newRow("circle, right button") << int(InsertCircle) << "right";
    QTest::newRow("rectangle, right button") << int(InsertRectangle) << "right";
    QTest::newRow("arrow, right button") << int(InsertArrow) << "right";
    QTest::newRow("circle, page switch") << int(InsertCircle) << "switch";
    QTest::newRow("freehand, page switch") << int(InsertFreehandLine) << "switch";
    QTest::newRow("rectangle, page deleted") << int(InsertRectangle) << "delete";
    QTest::newRow("arrow, Escape") << int(InsertArrow) << "escape";
    QTest::newRow("polyline, Escape") << int(InsertPolyLine) << "escape";
}

void TestWdgNotesDrawing::endedGesturesLeaveNothing()
{
    QFETCH(int, mode);
    QFETCH(QString, ending);
    addPicturePage(*window, scripted(), Qt::darkBlue);
    addPicturePage(*window, scripted());
    auto *scene = qobject_cast<NotesScene *>(view()->scene());
    const QPointF a = at(0.3, 0.3), b = at(0.6, 0.5), c = at(0.7, 0.7);

    clickAction(*window, toolAction(mode));
    if (ending == QLatin1String("click")) {
        clickAt(view(), a);
        key(Qt::Key_Space);
    } else {
        press(view(), a);
        if (mode == InsertPolyLine) {
            release(view(), a);
            clickAt(view(), b);
        }
        moveTo(view(), b, mode == InsertPolyLine ? Qt::NoButton : Qt::LeftButton);
        if (ending == QLatin1String("right")) {
            // No menu may open over the drag (the scripted dialogs would record it).
            press(view(), b, Qt::RightButton);
            release(view(), b, Qt::RightButton);
        } else if (ending == QLatin1String("switch")) {
            window->mapper()->toPrevious();
            window->mapper()->toNext();
        } else if (ending == QLatin1String("delete")) {
            scripted().answers.enqueue(QMessageBox::Yes);
            click(*window, "Delete this Note");
            QCOMPARE(window->model()->rowCount(), 1);
            scene = qobject_cast<NotesScene *>(view()->scene());
        } else {
            key(Qt::Key_Escape);
            key(Qt::Key_Space);
        }
    }
    // The cursor goes on without a button held: nothing follows it, nothing was recorded.
    moveTo(view(), c, Qt::NoButton);
    QVERIFY(!scene->isGestureInProgress());
    QVERIFY(annotations(scene).isEmpty());
    QCOMPARE(window->undoHistory()->count(), 0);
}

void TestWdgNotesDrawing::frameCopyLeavesPictureAlone()
{
    QGraphicsPixmapItem *picture = addPicturePage(*window, scripted());
    const QPointF placed = picture->pos();
    QGuiApplication::clipboard()->clear();
    scripted().menuChoices.enqueue(QStringLiteral("Copy Frame to Clip Board"));
    // The open menu takes the right button's release; the view never sees it.
    press(view(), at(0.2, 0.2), Qt::RightButton);
    drag(view(), at(0.3, 0.3), at(0.6, 0.6));
    QCOMPARE(picture->pos(), placed);
    QCOMPARE(window->undoHistory()->count(), 0);
    QVERIFY(!QGuiApplication::clipboard()->image().isNull());
}

void TestWdgNotesDrawing::textItemsConnectedOnce()
{
    addPicturePage(*window, scripted());
    addPicturePage(*window, scripted());
    window->mapper()->toFirst();
    auto *scene = qobject_cast<NotesScene *>(view()->scene());
    drawWith(InsertText, at(0.4, 0.4), {});
    const QList<NotesTextItem *> texts = itemsOf<NotesTextItem>(scene);
    QCOMPARE(texts.size(), 1);
    for (int visit = 0; visit < 3; ++visit) {
        window->mapper()->toNext();
        window->mapper()->toFirst();
    }
    texts.first()->setSelected(false);
    QSignalSpy selected(scene, &NotesScene::itemSelected);
    texts.first()->setSelected(true);
    QCOMPARE(selected.size(), 1);
}

void TestWdgNotesDrawing::nullViewRectNeverReachesHost()
{
    DsvLayer wiring;
    wiring.number = 1;
    wiring.name = QStringLiteral("Wiring1");
    const QList<DsvLayer> layers{wiring};
    const auto hostPage = [&](const QRectF &rect) {
        scripted().answers.enqueue(QMessageBox::Yes);
        scripted().menuChoices.enqueue(QStringLiteral("Copy in Veritrace."));
        click(*window, "New Note");
        auto *pixmap = new QPixmap(400, 300);
        pixmap->fill(Qt::darkGreen);
        window->createdImage(pixmap, layers, rect);
    };
    hostPage(QRectF());
    hostPage(QRectF(10, 20, 100, 50));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("host.nts"));
    QVERIFY(window->saveNotes(file));

    // Another reviewer opens the file (the first window still holds its lock).
    WdgNotes reopened(file, 1);
    for (WdgNotes *w : {window.get(), &reopened}) {
        w->setSendView(true);
        QSignalSpy shown(w, &WdgNotes::showNotePos);
        w->mapper()->toFirst();
        w->mapper()->toLast();
        w->mapper()->toFirst();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().first().toRectF(), QRectF(10, 20, 100, 50));
    }
    reopened.clearAllNotes();
}

void TestWdgNotesDrawing::hiddenWindowComesBackWithoutPicture()
{
    window->findChild<QCheckBox *>(QStringLiteral("hideWindowCheck"))->setChecked(true);
    QGuiApplication::clipboard()->clear();
    addPage(*window, scripted());
    QVERIFY(window->isVisible());
}

void TestWdgNotesDrawing::newPictureStaysUnderDrawings()
{
    addPicturePage(*window, scripted());
    const QPointF a = at(0.3, 0.3), b = at(0.6, 0.6);
    drawWith(InsertRectangle, a, b);
    QCOMPARE(itemsOf<NotesRectangleItem>(view()->scene()).size(), 1);
    // A second picture pasted over the drawing through the page menu.
    QGuiApplication::clipboard()->setImage(testPicture(Qt::darkRed, QSize(1600, 1200)));
    scripted().menuChoices.enqueue(QStringLiteral("Copy Pixmap from Clip Board"));
    press(view(), at(0.1, 0.1), Qt::RightButton);
    QCOMPARE(itemsOf<QGraphicsPixmapItem>(view()->scene()).size(), 2);
    const QList<QGraphicsItem *> under = view()->scene()->items(QPointF(a.x(), (a.y() + b.y()) / 2));
    QVERIFY(!under.isEmpty());
    QCOMPARE(under.first()->type(), int(Notes::RectangleType));
}

void TestWdgNotesDrawing::standardKeys_data()
{
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("annotationsLeft");
    QTest::addColumn<int>("undoIndex");
    QTest::newRow("Delete removes the selection") << int(Qt::Key_Delete) << 0 << 0 << 2;
    QTest::newRow("Backspace removes the selection") << int(Qt::Key_Backspace) << 0 << 0 << 2;
    QTest::newRow("Ctrl+Z undoes") << int(Qt::Key_Z) << int(Qt::ControlModifier) << 0 << 0;
    QTest::newRow("L locks the tool") << int(Qt::Key_L) << 0 << 1 << 1;
}

void TestWdgNotesDrawing::standardKeys()
{
    QFETCH(int, keyCode);
    QFETCH(int, modifiers);
    QFETCH(int, annotationsLeft);
    QFETCH(int, undoIndex);
    addPicturePage(*window, scripted());
    drawWith(InsertCircle, at(0.4, 0.4), at(0.5, 0.5));
    QList<QGraphicsItem *> drawn = annotations(view()->scene());
    QCOMPARE(drawn.size(), 1);
    drawn.first()->setSelected(true);

    key(keyCode, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(annotations(view()->scene()).size(), annotationsLeft);
    QCOMPARE(window->undoHistory()->index(), undoIndex);
    if (keyCode == Qt::Key_L) {
        QVERIFY(window->isToolLocked());
        QVERIFY(window->findChild<QLabel *>(QStringLiteral("toolLockLabel"))->isVisible());
    } else if (modifiers) {
        QTest::keySequence(view(), QKeySequence(QKeySequence::Redo));
        QCOMPARE(window->undoHistory()->index(), 1);
    }
}

QTEST_MAIN(TestWdgNotesDrawing)
#include "tst_wdgnotesdrawing.moc"
