// Undo commands: undo/redo through a QUndoStack, move merging, ownership of items taken out of
// their scene, and commands whose item or scene was deleted behind their back.

#include "common/scripteddialogs.h"
#include "scene/wdgaddcommand.h"
#include "scene/wdgdeletecommand.h"
#include "scene/wdgmovecommand.h"
#include "scene/wdgrotatecommand.h"
#include "sceneview.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QUndoStack>
#include <QtTest>

#include <memory>

namespace {

int destroyedCircles = 0;

// A circle that counts its destruction, to see who frees what.
class CountedCircle : public NotesCircleItem
{
public:
    explicit CountedCircle(const QRectF &rect)
        : NotesCircleItem(rect, Qt::red, 4, Qt::SolidLine)
    {
    }
    ~CountedCircle() override { ++destroyedCircles; }
};

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Turns the scene's reports into commands the way the notes window does.
class Recorder : public QObject
{
public:
    Recorder(NotesScene *scene, QUndoStack *stack)
        : stack(stack)
    {
        auto add = [stack](QGraphicsItem *item) {
            if (item)
                stack->push(new WdgAddCommand(item));
        };
        connect(scene, &NotesScene::arrowInserted, this, add);
        connect(scene, &NotesScene::circleInserted, this, add);
        connect(scene, &NotesScene::rectangleInserted, this, add);
        connect(scene, &NotesScene::polyLineInserted, this, add);
        connect(scene, &NotesScene::freehandLineInserted, this, add);
        connect(scene, &NotesScene::itemMoved, this,
                [stack](QGraphicsItem *item, QPointF from) { stack->push(new WdgMoveCommand(item, from)); });
        connect(scene, &NotesScene::textInserted, this, [this, scene](QGraphicsTextItem *item) {
            if (auto *text = qgraphicsitem_cast<NotesTextItem *>(item))
                watchText(text);
            item->setFocus();
            scene->setMode(SelectMove);
        });
    }
    void watchText(NotesTextItem *text)
    {
        connect(text, &NotesTextItem::rotateText, this, [this](QGraphicsItem *item, double rotation) {
            stack->push(new WdgRotateCommand(item, rotation));
        });
    }
    QUndoStack *stack;
};

void contextChoice(SceneView &v, ScriptedDialogs &dialogs, const QPointF &p, const QString &choice)
{
    dialogs.menuChoices.enqueue(choice);
    const QPoint pos = v.at(p);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, v.view.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(v.view.viewport(), &event);
}

} // namespace

class TestUndoCommands : public QObject
{
    Q_OBJECT

private slots:
    void init() { destroyedCircles = 0; }
    void commandsHaveNoText();
    void addUndoRedo_data();
    void addUndoRedo();
    void dragThenUndoRedo();
    void consecutiveDragsMerge_data();
    void consecutiveDragsMerge();
    void dragBackToStartLeavesNothing();
    void deleteTakesFirstSelectedOnly();
    void deleteWithNothingSelectedIsDropped();
    void rotateToggles_data();
    void rotateToggles();
    void verticalTwiceThenUndoIsHorizontal();
    void typingPushesNothing();
    void ownership_data();
    void ownership();
    void deleteFocusedEmptyTextItem();
    void textItemDeletedByScene_data();
    void textItemDeletedByScene();
    void sceneDeletedUnderTheStack();
};

void TestUndoCommands::commandsHaveNoText()
{
    NotesScene scene;
    auto *circle = new NotesCircleItem(QRectF(0, 0, 10, 10), Qt::red, 3, Qt::SolidLine);
    scene.addItem(circle);
    circle->setSelected(true);
    WdgAddCommand add(circle);
    WdgMoveCommand move(circle, QPointF(5, 5));
    WdgRotateCommand rotate(circle, -90);
    WdgDeleteCommand remove(&scene);
    QVERIFY(add.text().isEmpty() && move.text().isEmpty() && rotate.text().isEmpty() &&
            remove.text().isEmpty());
    QCOMPARE(add.id(), -1);
    QCOMPARE(remove.id(), -1);
    QCOMPARE(rotate.id(), -1);
    QCOMPARE(move.id(), 1234);
    remove.undo(); // give the circle back to the scene before the commands go
}

void TestUndoCommands::addUndoRedo_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("arrow") << int(InsertArrow);
    QTest::newRow("circle") << int(InsertCircle);
    QTest::newRow("rectangle") << int(InsertRectangle);
    QTest::newRow("freehand") << int(InsertFreehandLine);
    QTest::newRow("polyline") << int(InsertPolyLine);
}

void TestUndoCommands::addUndoRedo()
{
    QFETCH(int, mode);
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    v.scene.setMode(Mode_t(mode));
    if (mode == InsertPolyLine) {
        v.click({20, 20});
        v.move({120, 90});
        v.click({120, 90});
        v.scene.spaceBarPressed();
    } else {
        v.drag({20, 20}, {120, 90});
    }
    QCOMPARE(stack.count(), 1);
    QCOMPARE(v.scene.items().size(), 1);
    QGraphicsItem *item = v.scene.items().first();

    stack.undo();
    QVERIFY(v.scene.items().isEmpty());
    QCOMPARE(item->scene(), nullptr);
    stack.redo();
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{item});
    stack.undo();
    // The stack's destruction frees the item held outside the scene (checked under ASan).
}

void TestUndoCommands::dragThenUndoRedo()
{
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    v.scene.setMode(InsertRectangle);
    v.drag({50, 50}, {150, 110});
    v.scene.setMode(SelectMove);
    auto *rect = v.scene.items().first();

    v.drag({100, 50}, {130, 80});
    QCOMPARE(rect->pos(), QPointF(30, 30));
    QCOMPARE(stack.count(), 2);
    stack.undo();
    QCOMPARE(rect->pos(), QPointF(0, 0));
    stack.redo();
    QCOMPARE(rect->pos(), QPointF(30, 30));
    stack.undo();
    stack.undo();
    QVERIFY(v.scene.items().isEmpty());
    stack.redo();
    stack.redo();
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{rect});
    QCOMPARE(rect->pos(), QPointF(30, 30));
}

void TestUndoCommands::consecutiveDragsMerge_data()
{
    QTest::addColumn<bool>("sameItem");
    QTest::newRow("same item: one step") << true;
    QTest::newRow("different items: two steps") << false;
}

void TestUndoCommands::consecutiveDragsMerge()
{
    QFETCH(bool, sameItem);
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    auto *a = new NotesRectangleItem(QRectF(20, 20, 60, 40), Qt::red, 6, Qt::SolidLine);
    auto *b = new NotesRectangleItem(QRectF(200, 150, 60, 40), Qt::red, 6, Qt::SolidLine);
    v.scene.addItem(a);
    v.scene.addItem(b);

    v.drag({50, 20}, {60, 30}); // a by (10, 10)
    if (sameItem)
        v.drag({60, 30}, {80, 60}); // a again, by (20, 30)
    else
        v.drag({230, 150}, {240, 170}); // b by (10, 20)

    QCOMPARE(stack.count(), sameItem ? 1 : 2);
    stack.undo();
    if (sameItem) {
        QCOMPARE(a->pos(), QPointF(0, 0));
        QVERIFY(!stack.canUndo());
        stack.redo();
        QCOMPARE(a->pos(), QPointF(30, 40));
    } else {
        QCOMPARE(a->pos(), QPointF(10, 10));
        QCOMPARE(b->pos(), QPointF(0, 0));
        stack.undo();
        QCOMPARE(a->pos(), QPointF(0, 0));
        stack.redo();
        stack.redo();
        QCOMPARE(a->pos(), QPointF(10, 10));
        QCOMPARE(b->pos(), QPointF(10, 20));
    }
}

void TestUndoCommands::dragBackToStartLeavesNothing()
{
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    auto *a = new NotesRectangleItem(QRectF(20, 20, 60, 40), Qt::red, 6, Qt::SolidLine);
    v.scene.addItem(a);
    v.drag({50, 20}, {90, 70});
    QCOMPARE(stack.count(), 1);
    v.drag({90, 70}, {50, 20});
    QCOMPARE(a->pos(), QPointF(0, 0));
    QCOMPARE(stack.count(), 0);
    QVERIFY(!stack.canUndo());
}

void TestUndoCommands::deleteTakesFirstSelectedOnly()
{
    NotesScene scene;
    QList<QGraphicsItem *> items;
    for (int i = 0; i < 3; ++i) {
        auto *item = new NotesCircleItem(QRectF(i * 50, 0, 40, 40), Qt::red, 3, Qt::SolidLine);
        scene.addItem(item);
        item->setSelected(true);
        items << item;
    }
    QUndoStack stack;
    QGraphicsItem *first = scene.selectedItems().first();
    stack.push(new WdgDeleteCommand(&scene));
    QCOMPARE(first->scene(), nullptr);
    QVERIFY(!first->isSelected());
    QCOMPARE(scene.items().size(), 2);
    QCOMPARE(scene.selectedItems().size(), 2);
    QVERIFY(!scene.selectedItems().contains(first));

    stack.undo();
    QCOMPARE(first->scene(), &scene);
    QVERIFY(!first->isSelected());
    QCOMPARE(scene.selectedItems().size(), 2);
    stack.redo();
    QCOMPARE(scene.items().size(), 2);
}

void TestUndoCommands::deleteWithNothingSelectedIsDropped()
{
    NotesScene scene;
    scene.addItem(new NotesCircleItem(QRectF(0, 0, 40, 40), Qt::red, 3, Qt::SolidLine));
    QUndoStack stack;
    stack.push(new WdgDeleteCommand(&scene));
    QCOMPARE(stack.count(), 0);
    QCOMPARE(scene.items().size(), 1);
}

void TestUndoCommands::rotateToggles_data()
{
    QTest::addColumn<double>("rotation");
    QTest::addColumn<double>("afterRedo");
    QTest::addColumn<double>("afterUndo");
    QTest::newRow("vertical") << -90.0 << -90.0 << 0.0;
    QTest::newRow("horizontal") << 0.0 << 0.0 << -90.0;
}

void TestUndoCommands::rotateToggles()
{
    QFETCH(double, rotation);
    QFETCH(double, afterRedo);
    QFETCH(double, afterUndo);
    NotesScene scene;
    auto *text = new NotesTextItem();
    text->setPlainText(QStringLiteral("Turn"));
    scene.addItem(text);
    QUndoStack stack;
    stack.push(new WdgRotateCommand(text, rotation));
    QCOMPARE(text->rotation(), afterRedo);
    stack.undo();
    QCOMPARE(text->rotation(), afterUndo);
    stack.redo();
    QCOMPARE(text->rotation(), afterRedo);
}

void TestUndoCommands::verticalTwiceThenUndoIsHorizontal()
{
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    auto *text = new NotesTextItem();
    text->setPlainText(QStringLiteral("Pin 1"));
    text->setPos(100, 200);
    v.scene.addItem(text);
    recorder.watchText(text);

    contextChoice(v, *dialogs, text->mapToScene(QPointF(6, 6)), QStringLiteral("Set Text Vertical"));
    QCOMPARE(text->rotation(), -90.0);
    contextChoice(v, *dialogs, text->mapToScene(QPointF(6, 6)), QStringLiteral("Set Text Vertical"));
    QCOMPARE(text->rotation(), -90.0);
    QCOMPARE(stack.count(), 2);
    // The command toggles: its undo gives the other direction, whatever was there before.
    stack.undo();
    QCOMPARE(text->rotation(), 0.0);
    QVERIFY(dialogs->unexpected.isEmpty());
}

void TestUndoCommands::typingPushesNothing()
{
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    v.scene.setMode(InsertText);
    v.click({100, 100});
    QTest::keyClicks(v.view.viewport(), QStringLiteral("Check C12"));
    v.click({300, 250});
    QCOMPARE(v.scene.items().size(), 1);
    QCOMPARE(stack.count(), 0);
    QVERIFY(!stack.canUndo());
}

void TestUndoCommands::ownership_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("freedByStack");
    // a = add command, d = delete command, u = undo, r = redo, p = push an unrelated command
    // (drops undone commands), c = clear the stack.
    QTest::newRow("add, undo, dropped: freed") << QStringLiteral("a u p") << 1;
    QTest::newRow("add, undo, cleared: freed") << QStringLiteral("a u c") << 1;
    QTest::newRow("add, cleared: stays in scene") << QStringLiteral("a c") << 0;
    QTest::newRow("delete, cleared: freed") << QStringLiteral("d c") << 1;
    QTest::newRow("add then delete, cleared: freed once") << QStringLiteral("a d c") << 1;
    QTest::newRow("delete undone, dropped: stays") << QStringLiteral("d u p") << 0;
    QTest::newRow("add, delete, both undone, cleared: freed once") << QStringLiteral("a d u u c") << 1;
    QTest::newRow("add, delete, undo delete, dropped: stays") << QStringLiteral("a d u p") << 0;
}

void TestUndoCommands::ownership()
{
    QFETCH(QString, script);
    QFETCH(int, freedByStack);
    auto scene = std::make_unique<NotesScene>();
    auto *circle = new CountedCircle(QRectF(0, 0, 40, 40));
    scene->addItem(circle);
    auto *other = new NotesCircleItem(QRectF(100, 100, 40, 40), Qt::red, 3, Qt::SolidLine);
    scene->addItem(other);
    QUndoStack stack;
    const QStringList steps = script.split(QLatin1Char(' '));
    for (const QString &step : steps) {
        if (step == QLatin1String("a")) {
            stack.push(new WdgAddCommand(circle));
        } else if (step == QLatin1String("d")) {
            scene->clearSelection();
            circle->setSelected(true);
            stack.push(new WdgDeleteCommand(scene.get()));
        } else if (step == QLatin1String("u")) {
            stack.undo();
        } else if (step == QLatin1String("r")) {
            stack.redo();
        } else if (step == QLatin1String("p")) {
            stack.push(new WdgMoveCommand(other, other->pos()));
        } else if (step == QLatin1String("c")) {
            stack.clear();
        }
    }
    QCOMPARE(destroyedCircles, freedByStack);
    const bool inScene = scene->items().contains(circle);
    QCOMPARE(inScene, freedByStack == 0);
    scene.reset();
    QCOMPARE(destroyedCircles, 1);
}

void TestUndoCommands::deleteFocusedEmptyTextItem()
{
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    v.scene.setMode(InsertText);
    v.click({100, 100});
    auto *text = qgraphicsitem_cast<NotesTextItem *>(v.scene.items().first());
    QPointer<NotesTextItem> guard(text);
    QVERIFY(text->hasFocus());
    QVERIFY(text->isSelected());

    // Taking the focused item out makes it lose focus; the scene must leave it to the command.
    stack.push(new WdgDeleteCommand(&v.scene));
    processDeferredDeletes();
    QVERIFY(guard);
    QCOMPARE(text->scene(), nullptr);
    stack.undo();
    QCOMPARE(text->scene(), &v.scene);
    stack.redo();
    QCOMPARE(text->scene(), nullptr);
    stack.clear();
    QVERIFY(guard.isNull());
}

void TestUndoCommands::textItemDeletedByScene_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("rotate") << QStringLiteral("rotate");
    QTest::newRow("move") << QStringLiteral("move");
    QTest::newRow("delete undone") << QStringLiteral("delete");
}

void TestUndoCommands::textItemDeletedByScene()
{
    QFETCH(QString, command);
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    QUndoStack stack;
    Recorder recorder(&v.scene, &stack);
    v.scene.setMode(InsertText);
    v.click({100, 100});
    QPointer<NotesTextItem> text = qgraphicsitem_cast<NotesTextItem *>(v.scene.items().first());
    QVERIFY(text);

    if (command == QLatin1String("rotate")) {
        contextChoice(v, *dialogs, {104, 104}, QStringLiteral("Set Text Vertical"));
        QCOMPARE(text->rotation(), -90.0);
    } else if (command == QLatin1String("move")) {
        const QPointF from = text->pos();
        text->setPos(150, 150);
        stack.push(new WdgMoveCommand(text, from));
    } else {
        stack.push(new WdgDeleteCommand(&v.scene));
        stack.undo(); // back in the scene, still untyped
        // Double-clicked to edit it again.
        v.click({104, 104});
        const QPoint pos = v.at({104, 104});
        QMouseEvent dbl(QEvent::MouseButtonDblClick, pos, v.view.viewport()->mapToGlobal(pos), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v.view.viewport(), &dbl);
        v.release({104, 104});
        QVERIFY(text->hasFocus());
    }
    QCOMPARE(stack.count(), 1);

    // Focus elsewhere: the untyped item is deleted by its scene.
    v.click({350, 280});
    processDeferredDeletes();
    QVERIFY(text.isNull());

    // The command refers to a deleted item: undo and redo do nothing and drop it.
    if (stack.canUndo())
        stack.undo();
    if (stack.canRedo())
        stack.redo();
    stack.undo();
    stack.redo();
    QCOMPARE(stack.count(), 0);
    QVERIFY(v.scene.items().isEmpty());
}

void TestUndoCommands::sceneDeletedUnderTheStack()
{
    QUndoStack stack;
    auto scene = std::make_unique<NotesScene>();
    auto *kept = new CountedCircle(QRectF(0, 0, 40, 40));
    auto *heldOut = new CountedCircle(QRectF(50, 0, 40, 40));
    scene->addItem(kept);
    scene->addItem(heldOut);
    stack.push(new WdgAddCommand(kept));
    stack.push(new WdgMoveCommand(kept, QPointF(-5, -5)));
    heldOut->setSelected(true);
    stack.push(new WdgDeleteCommand(scene.get()));

    // The page goes with its scene; the circle still in it goes too.
    scene.reset();
    QCOMPARE(destroyedCircles, 1);

    // Nothing of it is touched any more; the circle held out by the delete command is freed
    // when that command goes.
    stack.undo();
    stack.undo();
    stack.undo();
    QCOMPARE(stack.count(), 0);
    QCOMPARE(destroyedCircles, 2);
}

QTEST_MAIN(TestUndoCommands)
#include "tst_undocommands.moc"
