// Drawing tools, the tool lock, "Remove", the keyboard and the undo history of the notes window,
// driven by real clicks, keys and mouse gestures.

#include "windowtesthelpers.h"

#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QUndoStack>

using namespace WindowTest;

class TestWdgNotesTools : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rectangleAndToolLock_data();
    void rectangleAndToolLock();
    void lockOffAgainKeepsToolUntilNextInsertion();
    void textPlacementReturnsToSelect_data();
    void textPlacementReturnsToSelect();
    void removeWithNothingSelectedPushesNothing();
    void spaceReachesWindowOnlyFromView_data();
    void spaceReachesWindowOnlyFromView();
    void polylineFinishedWithSpaceIsUndoable();
    void dragThenUndoRedo();
    void abandonedPolylinePushesNothing_data();
    void abandonedPolylinePushesNothing();
    void deleteTakesFirstSelectedOnly();
    void toolsWithoutPageChangeNothing();
    void historySpansPages();
    void rotatedEmptyTextDeletedByScene();

private:
    NotesScene *scene() const { return qobject_cast<NotesScene *>(window->view()->scene()); }
    QGraphicsView *view() const { return window->view(); }

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<WdgNotes> window;
};

void TestWdgNotesTools::init()
{
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    window = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    addPage(*window, **dialogs);
    QVERIFY(scene());
}

void TestWdgNotesTools::cleanup()
{
    if (dialogs)
        QVERIFY2((*dialogs)->unexpected.isEmpty(), qPrintable((*dialogs)->unexpected.join(", ")));
    window.reset();
    dialogs.reset();
}

void TestWdgNotesTools::rectangleAndToolLock_data()
{
    QTest::addColumn<bool>("lock");
    QTest::newRow("lock off") << false;
    QTest::newRow("lock on") << true;
}

void TestWdgNotesTools::rectangleAndToolLock()
{
    QFETCH(bool, lock);
    if (lock) {
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key_L);
    }
    QCOMPARE(window->isToolLocked(), lock);

    clickAction(*window, "addRectangleAction");
    QCOMPARE(scene()->mode(), InsertRectangle);
    drag(view(), QPointF(20, 20), QPointF(120, 80));

    QCOMPARE(itemsOf<NotesRectangleItem>(scene()).size(), 1);
    QCOMPARE(window->undoHistory()->count(), 1);
    QCOMPARE(action(*window, "selectMoveAction")->isChecked(), !lock);
    QCOMPARE(action(*window, "addRectangleAction")->isChecked(), lock);
    QCOMPARE(scene()->mode(), lock ? InsertRectangle : SelectMove);

    // The next drag draws another rectangle only while the tool is locked.
    drag(view(), QPointF(150, 150), QPointF(220, 200));
    QCOMPARE(itemsOf<NotesRectangleItem>(scene()).size(), lock ? 2 : 1);
    QCOMPARE(window->undoHistory()->count(), lock ? 2 : 1);
}

void TestWdgNotesTools::lockOffAgainKeepsToolUntilNextInsertion()
{
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_L);
    clickAction(*window, "addCircleAction");
    drag(view(), QPointF(60, 60), QPointF(70, 70));
    QVERIFY(action(*window, "addCircleAction")->isChecked());

    QTest::keyClick(view(), Qt::Key_L);
    QVERIFY(!window->isToolLocked());
    QVERIFY(action(*window, "addCircleAction")->isChecked());
    QCOMPARE(scene()->mode(), InsertCircle);

    drag(view(), QPointF(160, 60), QPointF(170, 70));
    QVERIFY(action(*window, "selectMoveAction")->isChecked());
    QCOMPARE(scene()->mode(), SelectMove);
    QCOMPARE(window->undoHistory()->count(), 2);
}

void TestWdgNotesTools::textPlacementReturnsToSelect_data()
{
    rectangleAndToolLock_data();
}

void TestWdgNotesTools::textPlacementReturnsToSelect()
{
    QFETCH(bool, lock);
    if (lock) {
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key_L);
    }
    clickAction(*window, "addTextAction");
    QCOMPARE(scene()->mode(), InsertText);
    clickAt(view(), QPointF(80, 90));

    const QList<NotesTextItem *> texts = itemsOf<NotesTextItem>(scene());
    QCOMPARE(texts.size(), 1);
    NotesTextItem *text = texts.first();
    QVERIFY(text->isSelected());
    QCOMPARE(scene()->focusItem(), static_cast<QGraphicsItem *>(text));
    QVERIFY(action(*window, "selectMoveAction")->isChecked());
    QCOMPARE(scene()->mode(), SelectMove);
    // Placing text is not an undo step, and typing into it is the document's own history.
    QCOMPARE(window->undoHistory()->count(), 0);
    QTest::keyClicks(view(), QStringLiteral("Via"));
    QVERIFY(text->toPlainText().contains(QStringLiteral("Via")));
    QCOMPARE(window->undoHistory()->count(), 0);
}

void TestWdgNotesTools::removeWithNothingSelectedPushesNothing()
{
    clickAction(*window, "addRectangleAction");
    drag(view(), QPointF(20, 20), QPointF(120, 80));
    QCOMPARE(window->undoHistory()->count(), 1);
    scene()->clearSelection();
    QAction *undo = action(*window, "undoAction");
    QVERIFY(undo->isEnabled());
    const int index = window->undoHistory()->index();

    clickAction(*window, "removeAction");

    QCOMPARE(window->undoHistory()->count(), 1);
    QCOMPARE(window->undoHistory()->index(), index);
    QVERIFY(undo->isEnabled());
    QCOMPARE(itemsOf<NotesRectangleItem>(scene()).size(), 1);
}

void TestWdgNotesTools::spaceReachesWindowOnlyFromView_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("emitted");
    QTest::newRow("title editor") << "titleEdit" << 0;
    QTest::newRow("graphics view") << "notesView" << 1;
}

void TestWdgNotesTools::spaceReachesWindowOnlyFromView()
{
    QFETCH(QString, focus);
    QFETCH(int, emitted);
    QSignalSpy spy(window.get(), &WdgNotes::spaceBarPressed);
    auto *target = window->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Space);
    QCOMPARE(spy.count(), emitted);
    if (auto *edit = qobject_cast<QLineEdit *>(target))
        QVERIFY(edit->text().endsWith(QLatin1Char(' ')));
}

void TestWdgNotesTools::polylineFinishedWithSpaceIsUndoable()
{
    clickAction(*window, "addPolyLineAction");
    clickAt(view(), QPointF(20, 20));
    moveTo(view(), QPointF(80, 30), Qt::NoButton);
    clickAt(view(), QPointF(80, 30));
    moveTo(view(), QPointF(90, 90), Qt::NoButton);
    view()->setFocus();
    // Two clicks and the cursor point: three points, so no "Closed Figure?" question.
    QTest::keyClick(view(), Qt::Key_Space);

    QCOMPARE(itemsOf<NotesPolyLineItem>(scene()).size(), 1);
    QCOMPARE(window->undoHistory()->count(), 1);
    QCOMPARE(scene()->mode(), SelectMove);
    window->undoHistory()->undo();
    QCOMPARE(itemsOf<NotesPolyLineItem>(scene()).size(), 0);
    window->undoHistory()->redo();
    QCOMPARE(itemsOf<NotesPolyLineItem>(scene()).size(), 1);
}

void TestWdgNotesTools::dragThenUndoRedo()
{
    clickAction(*window, "addRectangleAction");
    drag(view(), QPointF(40, 40), QPointF(140, 100));
    NotesRectangleItem *rect = itemsOf<NotesRectangleItem>(scene()).value(0);
    QVERIFY(rect);
    const QPointF start = rect->pos();

    // Grab the left edge: only the outline band hits.
    drag(view(), QPointF(40, 70), QPointF(90, 120));
    const QPointF moved = rect->pos();
    QVERIFY(moved != start);
    QCOMPARE(moved, start + QPointF(50, 50));
    QCOMPARE(window->undoHistory()->count(), 2);

    clickAction(*window, "undoAction");
    QCOMPARE(rect->pos(), start);
    clickAction(*window, "redoAction");
    QCOMPARE(rect->pos(), moved);
    clickAction(*window, "undoAction");
    clickAction(*window, "undoAction");
    QVERIFY(!rect->scene());
    clickAction(*window, "redoAction");
    QCOMPARE(rect->scene(), scene());
    QCOMPARE(rect->pos(), start);
}

void TestWdgNotesTools::abandonedPolylinePushesNothing_data()
{
    rectangleAndToolLock_data();
}

void TestWdgNotesTools::abandonedPolylinePushesNothing()
{
    QFETCH(bool, lock);
    if (lock) {
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key_L);
    }
    clickAction(*window, "addPolyLineAction");
    clickAt(view(), QPointF(30, 30));
    moveTo(view(), QPointF(60, 70), Qt::NoButton);
    clickAt(view(), QPointF(60, 70), Qt::RightButton);

    QCOMPARE(itemsOf<NotesPolyLineItem>(scene()).size(), 0);
    QCOMPARE(window->undoHistory()->count(), 0);
    QVERIFY(!action(*window, "undoAction")->isEnabled());
    QCOMPARE(action(*window, "selectMoveAction")->isChecked(), !lock);
    QCOMPARE(scene()->mode(), lock ? InsertPolyLine : SelectMove);
}

void TestWdgNotesTools::deleteTakesFirstSelectedOnly()
{
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_L);
    clickAction(*window, "addRectangleAction");
    drag(view(), QPointF(20, 20), QPointF(60, 60));
    drag(view(), QPointF(100, 20), QPointF(140, 60));
    drag(view(), QPointF(180, 20), QPointF(220, 60));
    QTest::keyClick(view(), Qt::Key_L);
    clickAction(*window, "selectMoveAction");
    QCOMPARE(scene()->mode(), SelectMove);

    // A rubber band over all three selects them.
    drag(view(), QPointF(5, 5), QPointF(240, 80));
    QList<QGraphicsItem *> selected = scene()->selectedItems();
    QCOMPARE(selected.size(), 3);
    QGraphicsItem *first = selected.first();
    const int before = window->undoHistory()->count();

    clickAction(*window, "removeAction");

    QCOMPARE(window->undoHistory()->count(), before + 1);
    QVERIFY(!first->scene());
    QVERIFY(!first->isSelected());
    QCOMPARE(itemsOf<NotesRectangleItem>(scene()).size(), 2);
    QCOMPARE(scene()->selectedItems().size(), 2);
    QVERIFY(!scene()->selectedItems().contains(first));

    clickAction(*window, "undoAction");
    QCOMPARE(first->scene(), scene());
    QVERIFY(!first->isSelected());
    QCOMPARE(itemsOf<NotesRectangleItem>(scene()).size(), 3);
}

void TestWdgNotesTools::toolsWithoutPageChangeNothing()
{
    WdgNotes empty(QString(), 0);
    empty.removeSelectedItems();
    empty.pointerGroupClicked(action(empty, "addArrowAction"));
    empty.onDrawArrow(true);
    empty.polyLineInserted(nullptr);
    empty.shrinkToItems();
    QCOMPARE(empty.undoHistory()->count(), 0);
    QVERIFY(!empty.view()->scene());
    QVERIFY(action(empty, "selectMoveAction")->isChecked());
}

void TestWdgNotesTools::historySpansPages()
{
    clickAction(*window, "addRectangleAction");
    drag(view(), QPointF(20, 20), QPointF(120, 80));
    NotesScene *firstScene = scene();
    addPage(*window, **dialogs);
    QVERIFY(scene() != firstScene);
    QCOMPARE(window->undoHistory()->count(), 1);
    // Undo acts on the page it was made on, also while another page is shown.
    clickAction(*window, "undoAction");
    QCOMPARE(itemsOf<NotesRectangleItem>(firstScene).size(), 0);
    clickAction(*window, "redoAction");
    QCOMPARE(itemsOf<NotesRectangleItem>(firstScene).size(), 1);
}

void TestWdgNotesTools::rotatedEmptyTextDeletedByScene()
{
    clickAction(*window, "addTextAction");
    clickAt(view(), QPointF(100, 100));
    QPointer<NotesTextItem> text = itemsOf<NotesTextItem>(scene()).value(0);
    QVERIFY(text);

    // Right click on the text: its menu (through the dialog seam) turns it vertical.
    (*dialogs)->menuChoices.enqueue(QStringLiteral("Set Text Vertical"));
    const QPoint at = view()->mapFromScene(text->sceneBoundingRect().center());
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, view()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view()->viewport(), &menuEvent);
    QCOMPARE((*dialogs)->asked.last().menuEntries.mid(0, 1), QStringList({"Paste"}));
    QCOMPARE(window->undoHistory()->count(), 1);
    QCOMPARE(text->rotation(), -90.0);

    // Never typed into: losing focus makes the scene delete it.
    clickAt(view(), QPointF(400, 300));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(text.isNull());

    clickAction(*window, "undoAction");
    clickAction(*window, "redoAction");
    clickAction(*window, "undoAction");
    QCOMPARE(itemsOf<NotesTextItem>(scene()).size(), 0);
}

QTEST_MAIN(TestWdgNotesTools)
#include "tst_wdgnotestools.moc"
