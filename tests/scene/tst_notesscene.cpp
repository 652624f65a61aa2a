// NotesScene driven through a QGraphicsView with real mouse events: every gesture, the page
// menu, frame copy, polyline finishing and abandoning, moves, style setters.

#include "common/scripteddialogs.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"
#include "sceneview.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsPolygonItem>
#include <QMouseEvent>
#include <QtTest>

#include <memory>

namespace {

QList<int> dragModes(const QSignalSpy &spy)
{
    QList<int> modes;
    for (const QList<QVariant> &args : spy)
        modes << int(args.at(0).value<QGraphicsView::DragMode>());
    return modes;
}

QGraphicsPolygonItem *polyLinePreviewOf(const QGraphicsScene &scene)
{
    const QList<QGraphicsItem *> all = scene.items();
    for (QGraphicsItem *item : all) {
        if (item->type() == QGraphicsPolygonItem::Type)
            return static_cast<QGraphicsPolygonItem *>(item);
    }
    return nullptr;
}

QList<QPointF> pathPoints(const QPainterPath &path)
{
    QList<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i)
        points << QPointF(path.elementAt(i));
    return points;
}

// A picture whose pixels are all transparent: its mask shape is empty, so a press inside its
// bounds hits no item shape.
QGraphicsPixmapItem *transparentPicture(const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    auto *picture = new QGraphicsPixmapItem(pixmap);
    picture->setFlag(QGraphicsItem::ItemIsSelectable, true);
    picture->setFlag(QGraphicsItem::ItemIsMovable, true);
    return picture;
}

} // namespace

class TestNotesScene : public QObject
{
    Q_OBJECT

private slots:
    void metaObjectInterface_data();
    void metaObjectInterface();
    void initialState();
    void arrowGesture();
    void clickDrawsNothing_data();
    void clickDrawsNothing();
    void circleGesture_data();
    void circleGesture();
    void rectangleGesture_data();
    void rectangleGesture();
    void freehandGesture();
    void polyLineFinish_data();
    void polyLineFinish();
    void polyLineRightClicksRemovePoints();
    void polyLineAbandonAfterFirstClick();
    void polyLineSurvivesModeChange();
    void doubleClickAddsNoPolyLinePoint();
    void rightClickWithSelectionDoesNothing();
    void pageMenu_data();
    void pageMenu();
    void frameCopyPending_data();
    void frameCopyPending();
    void itemMovedOnlyWhenMoved();
    void itemMovedForPressedItemOnly();
    void selectMoveRubberBand();
    void drawingModesDoNotDrag();
    void staleGesturePreviewRemovedOnModeChange_data();
    void staleGesturePreviewRemovedOnModeChange();
    void styleSetters();
    void textPlacement();
};

void TestNotesScene::metaObjectInterface_data()
{
    QTest::addColumn<const QMetaObject *>("meta");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("scene") << &NotesScene::staticMetaObject
                           << QStringList{QStringLiteral("setMode(Mode_t)"),
                                          QStringLiteral("editorLostFocus(NotesTextItem*)"),
                                          QStringLiteral("spaceBarPressed()"),
                                          QStringLiteral("textInserted(QGraphicsTextItem*)"),
                                          QStringLiteral("itemSelected(QGraphicsItem*)"),
                                          QStringLiteral("arrowInserted(NotesArrow*)"),
                                          QStringLiteral("circleInserted(NotesCircleItem*)"),
                                          QStringLiteral("rectangleInserted(NotesRectangleItem*)"),
                                          QStringLiteral("polyLineInserted(NotesPolyLineItem*)"),
                                          QStringLiteral("freehandLineInserted(NotesLineItem*)"),
                                          QStringLiteral("copyToClipBoard()"),
                                          QStringLiteral("copyAllToClipBoard()"),
                                          QStringLiteral("setRubberBandSelection(QGraphicsView::DragMode)"),
                                          QStringLiteral("copyFromClipBoard(QPointF)"),
                                          QStringLiteral("itemMoved(QGraphicsItem*,QPointF)")};
    QTest::newRow("text item") << &NotesTextItem::staticMetaObject
                               << QStringList{QStringLiteral("lostFocus(NotesTextItem*)"),
                                              QStringLiteral("selectedChange(QGraphicsItem*)"),
                                              QStringLiteral("rotateText(QGraphicsItem*,double)")};
}

void TestNotesScene::metaObjectInterface()
{
    QFETCH(const QMetaObject *, meta);
    QFETCH(QStringList, expected);
    // Signals come first in a meta-object, then slots; both keep their declared order.
    QStringList signalList;
    QStringList slotList;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal)
            signalList << QString::fromLatin1(method.methodSignature());
        else if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Public)
            slotList << QString::fromLatin1(method.methodSignature());
    }
    QCOMPARE(slotList + signalList, expected);
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        for (int p = 0; p < method.parameterCount(); ++p)
            QVERIFY2(method.parameterMetaType(p).isValid(), method.methodSignature().constData());
    }
}

void TestNotesScene::initialState()
{
    NotesScene scene;
    QCOMPARE(scene.mode(), SelectMove);
    QCOMPARE(scene.lineColor(), QColor(Qt::black));
    QCOMPARE(scene.lineWidth(), 3);
    QCOMPARE(scene.lineStyle(), Qt::SolidLine);
    QCOMPARE(scene.textColor(), QColor(Qt::black));
    QCOMPARE(scene.font(), QFont());
    QVERIFY(!scene.isFrameCopyPending());
    QVERIFY(scene.items().isEmpty());
}

void TestNotesScene::arrowGesture()
{
    SceneView v;
    v.scene.setLineColor(Qt::red);
    v.scene.setLineWidth(9); // arrows keep their fixed pen
    v.scene.setMode(InsertArrow);
    QSignalSpy inserted(&v.scene, &NotesScene::arrowInserted);
    QSignalSpy rubber(&v.scene, &NotesScene::setRubberBandSelection);

    v.press({50, 60});
    v.move({100, 80});
    // While dragging, a guide line in the line colour runs from the press point to the cursor.
    const QList<QGraphicsItem *> during = v.scene.items();
    QCOMPARE(during.size(), 1);
    auto *guide = qgraphicsitem_cast<QGraphicsLineItem *>(during.first());
    QVERIFY(guide);
    QCOMPARE(guide->line(), QLineF(50, 60, 100, 80));
    QCOMPARE(guide->pen().color(), QColor(Qt::red));
    v.move({150, 110});
    v.release({150, 110});

    QCOMPARE(inserted.size(), 1);
    auto *arrow = inserted.first().first().value<NotesArrow *>();
    QVERIFY(arrow);
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{arrow});
    QCOMPARE(arrow->line(), QLineF(50, 60, 150, 110));
    QCOMPARE(arrow->color(), QColor(Qt::red));
    QCOMPARE(arrow->zValue(), 10.0);
    QCOMPARE(arrow->pen().widthF(), 3.0);
    // The head is at the press point.
    QCOMPARE(arrow->headPolygon().first(), QPointF(50, 60));
    QCOMPARE(dragModes(rubber), (QList<int>{2, 0, 2}));
}

void TestNotesScene::clickDrawsNothing_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("arrow") << int(InsertArrow);
    QTest::newRow("circle") << int(InsertCircle);
    QTest::newRow("rectangle") << int(InsertRectangle);
    QTest::newRow("freehand") << int(InsertFreehandLine);
    QTest::newRow("polyline, one click then Space") << int(InsertPolyLine);
}

void TestNotesScene::clickDrawsNothing()
{
    QFETCH(int, mode);
    SceneView v;
    v.scene.setMode(Mode_t(mode));
    QList<QSignalSpy *> spies{new QSignalSpy(&v.scene, &NotesScene::arrowInserted),
                              new QSignalSpy(&v.scene, &NotesScene::circleInserted),
                              new QSignalSpy(&v.scene, &NotesScene::rectangleInserted),
                              new QSignalSpy(&v.scene, &NotesScene::freehandLineInserted)};
    QSignalSpy polyLines(&v.scene, &NotesScene::polyLineInserted);
    v.click({80, 80});
    v.scene.spaceBarPressed();
    // Nothing that could be seen, hit or undone: no item, no insert (an abandoned polyline
    // reports a null item, which the window takes as "nothing drawn").
    QVERIFY(v.scene.items().isEmpty());
    for (QSignalSpy *spy : std::as_const(spies))
        QCOMPARE(spy->size(), 0);
    qDeleteAll(spies);
    QVERIFY(polyLines.isEmpty() || polyLines.first().first().value<NotesPolyLineItem *>() == nullptr);
    QVERIFY(!v.scene.isGestureInProgress());
}

void TestNotesScene::circleGesture_data()
{
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("worked example") << QPointF(10, 10) << QPointF(13, 14) << QRectF(5, 5, 10, 10);
    QTest::newRow("larger") << QPointF(200, 150) << QPointF(200, 100) << QRectF(150, 100, 100, 100);
}

void TestNotesScene::circleGesture()
{
    QFETCH(QPointF, press);
    QFETCH(QPointF, cursor);
    QFETCH(QRectF, expected);
    SceneView v;
    v.scene.setLineColor(Qt::blue);
    v.scene.setLineWidth(5);
    v.scene.setLineStyle(Qt::DashLine);
    v.scene.setMode(InsertCircle);
    QSignalSpy inserted(&v.scene, &NotesScene::circleInserted);
    QSignalSpy rubber(&v.scene, &NotesScene::setRubberBandSelection);

    v.press(press);
    // The preview is in the scene during the drag; the guide line is not.
    QCOMPARE(v.scene.items().size(), 1);
    QCOMPARE(v.scene.items().first()->type(), int(Notes::CircleType));
    QCOMPARE(v.scene.items().first()->zValue(), 1.0);
    v.move(cursor);
    v.release(cursor);

    QCOMPARE(inserted.size(), 1);
    auto *circle = inserted.first().first().value<NotesCircleItem *>();
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{circle});
    QCOMPARE(circle->rect(), expected);
    QCOMPARE(circle->color(), QColor(Qt::blue));
    QCOMPARE(circle->width(), 5);
    QCOMPARE(circle->style(), Qt::DashLine);
    QCOMPARE(circle->zValue(), 0.0);
    QCOMPARE(dragModes(rubber), (QList<int>{2, 0, 2}));
}

void TestNotesScene::rectangleGesture_data()
{
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("down-right") << QPointF(20, 30) << QPointF(120, 90) << QRectF(20, 30, 100, 60);
    QTest::newRow("up-left keeps negative size")
        << QPointF(200, 150) << QPointF(120, 100) << QRectF(200, 150, -80, -50);
}

void TestNotesScene::rectangleGesture()
{
    QFETCH(QPointF, press);
    QFETCH(QPointF, cursor);
    QFETCH(QRectF, expected);
    SceneView v;
    v.scene.setLineWidth(7);
    v.scene.setMode(InsertRectangle);
    QSignalSpy inserted(&v.scene, &NotesScene::rectangleInserted);
    v.press(press);
    v.move((press + cursor) / 2);
    v.move(cursor);
    v.release(cursor);
    QCOMPARE(inserted.size(), 1);
    auto *rect = inserted.first().first().value<NotesRectangleItem *>();
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{rect});
    QCOMPARE(rect->rect(), expected);
    QCOMPARE(rect->width(), 7);
    QCOMPARE(rect->zValue(), 0.0);
}

void TestNotesScene::freehandGesture()
{
    SceneView v;
    v.scene.setLineColor(Qt::darkGreen);
    v.scene.setMode(InsertFreehandLine);
    QSignalSpy inserted(&v.scene, &NotesScene::freehandLineInserted);
    v.press({10, 10});
    v.move({20, 15});
    v.move({30, 15}); // every move adds a point, no distance threshold
    v.move({31, 15});
    v.move({40, 40});
    v.release({40, 40});
    QCOMPARE(inserted.size(), 1);
    auto *line = inserted.first().first().value<NotesLineItem *>();
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{line});
    QCOMPARE(pathPoints(line->path()), (QList<QPointF>{{10, 10}, {20, 15}, {30, 15}, {31, 15}, {40, 40}}));
    QCOMPARE(line->path().elementAt(0).type, QPainterPath::MoveToElement);
    QCOMPARE(line->color(), QColor(Qt::darkGreen));
    QCOMPARE(line->zValue(), 0.0);
}

void TestNotesScene::polyLineFinish_data()
{
    QTest::addColumn<QList<QPointF>>("clicks");
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<QPointF>>("expected");
    const QPointF a(10, 10), b(100, 10), c(100, 100), d(60, 150);
    QTest::newRow("two clicks: open, no question")
        << QList<QPointF>{a, b} << c << false << 0 << QList<QPointF>{a, b};
    QTest::newRow("three clicks, Yes: closed")
        << QList<QPointF>{a, b, c} << d << true << int(QMessageBox::Yes) << QList<QPointF>{a, b, c, a};
    QTest::newRow("three clicks, No: open")
        << QList<QPointF>{a, b, c} << d << true << int(QMessageBox::No) << QList<QPointF>{a, b, c};
    QTest::newRow("three clicks, dismissed: open")
        << QList<QPointF>{a, b, c} << d << true << int(QMessageBox::Escape) << QList<QPointF>{a, b, c};
}

void TestNotesScene::polyLineFinish()
{
    QFETCH(QList<QPointF>, clicks);
    QFETCH(QPointF, cursor);
    QFETCH(bool, asked);
    QFETCH(int, answer);
    QFETCH(QList<QPointF>, expected);

    ScriptedDialogs::Guard dialogs;
    if (asked)
        dialogs->answers.enqueue(QMessageBox::StandardButton(answer));
    SceneView v;
    v.scene.setLineWidth(4);
    v.scene.setMode(InsertPolyLine);
    QSignalSpy inserted(&v.scene, &NotesScene::polyLineInserted);
    QSignalSpy rubber(&v.scene, &NotesScene::setRubberBandSelection);

    for (const QPointF &p : clicks) {
        v.move(p);
        v.click(p);
    }
    v.move(cursor);
    QGraphicsPolygonItem *preview = polyLinePreviewOf(v.scene);
    QVERIFY(preview);
    QCOMPARE(preview->polygon().size(), clicks.size() + 1);
    QCOMPARE(preview->polygon().last(), cursor);
    QCOMPARE(preview->zValue(), 1.0);
    QCOMPARE(preview->pen().widthF(), 4.0);

    v.scene.spaceBarPressed();

    QCOMPARE(dialogs->asked.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(dialogs->asked.first().title, QStringLiteral("QUESTION"));
        QCOMPARE(dialogs->asked.first().text, QStringLiteral("Closed Figure?"));
        QCOMPARE(dialogs->asked.first().buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QVERIFY(dialogs->unexpected.isEmpty());
    QCOMPARE(inserted.size(), 1);
    auto *item = inserted.first().first().value<NotesPolyLineItem *>();
    QVERIFY(item);
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{item});
    QCOMPARE(pathPoints(item->path()), expected);
    QCOMPARE(item->zValue(), 1.0);
    QCOMPARE(item->width(), 4);
    QCOMPARE(dragModes(rubber).first(), 2);
    QCOMPARE(dragModes(rubber).last(), 2);

    // Nothing left to finish.
    v.scene.spaceBarPressed();
    QCOMPARE(inserted.size(), 1);
}

void TestNotesScene::polyLineRightClicksRemovePoints()
{
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    v.scene.setMode(InsertPolyLine);
    QSignalSpy inserted(&v.scene, &NotesScene::polyLineInserted);
    v.click({10, 10});
    v.move({50, 10});
    v.click({50, 10});
    v.move({50, 50});
    v.click({50, 50});
    v.move({90, 90});
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon().size(), 4);

    v.click({90, 90}, Qt::RightButton);
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon(), QPolygonF({{10, 10}, {50, 10}, {50, 50}}));
    v.click({90, 90}, Qt::RightButton);
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon().size(), 2);
    QVERIFY(inserted.isEmpty());

    QSignalSpy rubber(&v.scene, &NotesScene::setRubberBandSelection);
    v.click({90, 90}, Qt::RightButton);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().first().value<NotesPolyLineItem *>(), nullptr);
    QCOMPARE(dragModes(rubber), QList<int>{2});
    QVERIFY(v.scene.items().isEmpty());
    QVERIFY(dialogs->asked.isEmpty()); // right clicks on a polyline show no page menu
}

void TestNotesScene::polyLineAbandonAfterFirstClick()
{
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    v.scene.setMode(InsertPolyLine);
    QSignalSpy inserted(&v.scene, &NotesScene::polyLineInserted);
    v.click({10, 10});
    v.move({60, 60});
    v.click({60, 60}, Qt::RightButton);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().first().value<NotesPolyLineItem *>(), nullptr);
    QVERIFY(v.scene.items().isEmpty());
    v.scene.spaceBarPressed();
    QCOMPARE(inserted.size(), 1);
}

void TestNotesScene::polyLineSurvivesModeChange()
{
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    v.scene.setMode(InsertPolyLine);
    QSignalSpy inserted(&v.scene, &NotesScene::polyLineInserted);
    v.click({10, 10});
    v.move({60, 10});
    v.click({60, 10});

    // In a mode whose own gesture is not in progress the preview keeps following the cursor.
    v.scene.setMode(InsertText);
    v.move({70, 70});
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon().last(), QPointF(70, 70));
    v.scene.setMode(InsertArrow);
    v.move({80, 90});
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon().last(), QPointF(80, 90));

    // And the space bar finishes it whatever the mode.
    v.scene.setMode(SelectMove);
    v.scene.spaceBarPressed();
    QCOMPARE(inserted.size(), 1);
    auto *item = inserted.first().first().value<NotesPolyLineItem *>();
    QCOMPARE(pathPoints(item->path()), (QList<QPointF>{{10, 10}, {60, 10}}));
}

void TestNotesScene::doubleClickAddsNoPolyLinePoint()
{
    SceneView v;
    v.scene.setMode(InsertPolyLine);
    v.click({10, 10});
    v.move({60, 10});
    v.click({60, 10});
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon().size(), 3);
    // The second press of a double click arrives as a double-click event.
    const QPoint pos = v.at({60, 10});
    QMouseEvent dbl(QEvent::MouseButtonDblClick, pos, v.view.viewport()->mapToGlobal(pos), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.view.viewport(), &dbl);
    v.release({60, 10});
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon().size(), 3);
}

void TestNotesScene::rightClickWithSelectionDoesNothing()
{
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    auto *circle = new NotesCircleItem(QRectF(200, 200, 40, 40), Qt::red, 3, Qt::SolidLine);
    v.scene.addItem(circle);
    v.scene.setMode(InsertPolyLine);
    v.click({10, 10});
    v.move({60, 10});
    circle->setSelected(true);
    v.click({60, 10}, Qt::RightButton);
    QCOMPARE(polyLinePreviewOf(v.scene)->polygon().size(), 2);
    QVERIFY(dialogs->asked.isEmpty());
    QVERIFY(dialogs->unexpected.isEmpty());
}

void TestNotesScene::pageMenu_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("copyAll");
    QTest::addColumn<int>("copyFrom");
    QTest::addColumn<bool>("pending");
    QTest::newRow("copy frame") << QStringLiteral("Copy Frame to Clip Board") << 0 << 0 << true;
    QTest::newRow("copy all") << QStringLiteral("Copy all to Clip Board") << 1 << 0 << false;
    QTest::newRow("paste pixmap") << QStringLiteral("Copy Pixmap from Clip Board") << 0 << 1 << false;
    QTest::newRow("dismissed") << QString() << 0 << 0 << false;
}

void TestNotesScene::pageMenu()
{
    QFETCH(QString, choice);
    QFETCH(int, copyAll);
    QFETCH(int, copyFrom);
    QFETCH(bool, pending);
    ScriptedDialogs::Guard dialogs;
    dialogs->menuChoices.enqueue(choice);
    SceneView v;
    QSignalSpy all(&v.scene, &NotesScene::copyAllToClipBoard);
    QSignalSpy from(&v.scene, &NotesScene::copyFromClipBoard);
    QSignalSpy rubber(&v.scene, &NotesScene::setRubberBandSelection);

    v.menuClick({123, 45});
    QCOMPARE(dialogs->asked.size(), 1);
    QCOMPARE(dialogs->asked.first().kind, QStringLiteral("menu"));
    QCOMPARE(
        dialogs->asked.first().menuEntries,
        (QStringList{QStringLiteral("Copy Frame to Clip Board"), QStringLiteral("Copy all to Clip Board"),
                     QStringLiteral("Copy Pixmap from Clip Board")}));
    QCOMPARE(all.size(), copyAll);
    QCOMPARE(from.size(), copyFrom);
    if (copyFrom)
        QCOMPARE(from.first().first().toPointF(), QPointF(123, 45));
    QCOMPARE(v.scene.isFrameCopyPending(), pending);
    QCOMPARE(dragModes(rubber), pending ? QList<int>{2} : QList<int>{});
}

void TestNotesScene::frameCopyPending_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("select") << int(SelectMove);
    QTest::newRow("circle") << int(InsertCircle);
    QTest::newRow("arrow") << int(InsertArrow);
    QTest::newRow("text") << int(InsertText);
    QTest::newRow("polyline") << int(InsertPolyLine);
    QTest::newRow("freehand") << int(InsertFreehandLine);
}

void TestNotesScene::frameCopyPending()
{
    QFETCH(int, mode);
    ScriptedDialogs::Guard dialogs;
    dialogs->menuChoices.enqueue(QStringLiteral("Copy Frame to Clip Board"));
    SceneView v;
    auto *rect = new NotesRectangleItem(QRectF(300, 200, 40, 40), Qt::red, 3, Qt::SolidLine);
    v.scene.addItem(rect);
    v.menuClick({20, 20});
    QVERIFY(v.scene.isFrameCopyPending());

    v.scene.setMode(Mode_t(mode));
    rect->setSelected(true);
    QSignalSpy copy(&v.scene, &NotesScene::copyToClipBoard);
    QSignalSpy textInserted(&v.scene, &NotesScene::textInserted);
    v.drag({20, 20}, {150, 120});
    // The press drew nothing; the release deselected everything and asked for the copy once.
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{rect});
    QVERIFY(v.scene.selectedItems().isEmpty());
    QCOMPARE(copy.size(), 1);
    QVERIFY(textInserted.isEmpty());
    QVERIFY(!v.scene.isFrameCopyPending());

    v.click({20, 20});
    QCOMPARE(copy.size(), 1);
}

void TestNotesScene::itemMovedOnlyWhenMoved()
{
    SceneView v;
    auto *rect = new NotesRectangleItem(QRectF(50, 50, 100, 60), Qt::red, 6, Qt::SolidLine);
    v.scene.addItem(rect);
    QSignalSpy moved(&v.scene, &NotesScene::itemMoved);

    v.click({100, 50}); // on the top edge, no move
    QVERIFY(rect->isSelected());
    QVERIFY(moved.isEmpty());

    v.drag({100, 50}, {130, 90});
    QCOMPARE(rect->pos(), QPointF(30, 40));
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.first().at(0).value<QGraphicsItem *>(), rect);
    QCOMPARE(moved.first().at(1).toPointF(), QPointF(0, 0));

    // Dragged away and back again: no change of position, nothing reported.
    v.press({130, 90});
    v.move({170, 90});
    v.move({130, 90});
    v.release({130, 90});
    QCOMPARE(moved.size(), 1);
}

void TestNotesScene::itemMovedForPressedItemOnly()
{
    SceneView v;
    auto *a = new NotesCircleItem(QRectF(20, 20, 40, 40), Qt::red, 6, Qt::SolidLine);
    auto *b = new NotesRectangleItem(QRectF(150, 150, 60, 40), Qt::red, 6, Qt::SolidLine);
    v.scene.addItem(a);
    v.scene.addItem(b);
    a->setSelected(true);
    b->setSelected(true);
    QSignalSpy moved(&v.scene, &NotesScene::itemMoved);
    v.drag({180, 150}, {200, 170});
    QCOMPARE(a->pos(), QPointF(20, 20));
    QCOMPARE(b->pos(), QPointF(20, 20));
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.first().at(0).value<QGraphicsItem *>(), b);
}

void TestNotesScene::selectMoveRubberBand()
{
    SceneView v;
    auto *picture = transparentPicture(QSize(100, 80));
    picture->setPos(200, 100);
    v.scene.addItem(picture);
    QSignalSpy rubber(&v.scene, &NotesScene::setRubberBandSelection);

    v.click({50, 50}); // empty page area
    QCOMPARE(dragModes(rubber), QList<int>{2});
    rubber.clear();

    v.click({250, 150}); // inside the picture's bounds, no shape hit
    QCOMPARE(dragModes(rubber), (QList<int>{2, 0}));
    rubber.clear();

    v.click({320, 150}); // beside the picture
    QCOMPARE(dragModes(rubber), QList<int>{2});
    rubber.clear();

    // A press on an item's shape starts its drag and says nothing about the rubber band.
    auto *circle = new NotesCircleItem(QRectF(20, 200, 40, 40), Qt::red, 6, Qt::SolidLine);
    v.scene.addItem(circle);
    v.click({40, 200});
    QVERIFY(rubber.isEmpty());
}

void TestNotesScene::drawingModesDoNotDrag()
{
    SceneView v;
    auto *rect = new NotesRectangleItem(QRectF(50, 50, 100, 60), Qt::red, 6, Qt::SolidLine);
    v.scene.addItem(rect);
    v.scene.setMode(InsertText);
    rect->setSelected(true);
    QSignalSpy moved(&v.scene, &NotesScene::itemMoved);
    v.scene.setMode(InsertArrow);
    v.drag({100, 50}, {160, 120});
    QCOMPARE(rect->pos(), QPointF(0, 0));
    QVERIFY(moved.isEmpty());
}

void TestNotesScene::staleGesturePreviewRemovedOnModeChange_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("arrow") << int(InsertArrow);
    QTest::newRow("circle") << int(InsertCircle);
    QTest::newRow("rectangle") << int(InsertRectangle);
    QTest::newRow("freehand") << int(InsertFreehandLine);
}

void TestNotesScene::staleGesturePreviewRemovedOnModeChange()
{
    QFETCH(int, mode);
    SceneView v;
    v.scene.setMode(Mode_t(mode));
    QSignalSpy arrows(&v.scene, &NotesScene::arrowInserted);
    QSignalSpy circles(&v.scene, &NotesScene::circleInserted);
    QSignalSpy rects(&v.scene, &NotesScene::rectangleInserted);
    QSignalSpy lines(&v.scene, &NotesScene::freehandLineInserted);
    v.press({20, 20});
    v.move({80, 80});
    QCOMPARE(v.scene.items().size(), 1);
    v.scene.setMode(SelectMove);
    QVERIFY(v.scene.items().isEmpty());
    v.release({80, 80});
    QVERIFY(v.scene.items().isEmpty());
    QCOMPARE(arrows.size() + circles.size() + rects.size() + lines.size(), 0);

    // Back in the mode, a fresh gesture works normally and leaves exactly its item.
    v.scene.setMode(Mode_t(mode));
    v.drag({100, 100}, {150, 160});
    QCOMPARE(v.scene.items().size(), 1);
    QCOMPARE(arrows.size() + circles.size() + rects.size() + lines.size(), 1);
}

void TestNotesScene::styleSetters()
{
    NotesScene scene;
    auto *arrow = new NotesArrow(QLineF(0, 0, 50, 50));
    auto *circle = new NotesCircleItem(QRectF(100, 100, 20, 20), Qt::black, 3, Qt::SolidLine);
    auto *text = new NotesTextItem();
    scene.addItem(arrow);
    scene.addItem(circle);
    scene.addItem(text);

    // Nothing selected: values are stored only.
    scene.setLineColor(Qt::red);
    QCOMPARE(scene.lineColor(), QColor(Qt::red));
    QCOMPARE(arrow->color(), QColor(Qt::black));

    // A selected circle never changes colour.
    circle->setSelected(true);
    scene.setLineColor(Qt::green);
    QCOMPARE(circle->color(), QColor(Qt::black));
    QCOMPARE(arrow->color(), QColor(Qt::black));
    circle->setSelected(false);

    // A selected arrow takes the colour; of two, only the first of the selection list.
    arrow->setSelected(true);
    scene.setLineColor(Qt::blue);
    QCOMPARE(arrow->color(), QColor(Qt::blue));
    auto *second = new NotesArrow(QLineF(200, 0, 250, 50));
    scene.addItem(second);
    second->setSelected(true);
    QGraphicsItem *firstSelected = scene.selectedItems().first();
    QGraphicsItem *otherSelected = scene.selectedItems().last();
    scene.setLineColor(Qt::darkYellow);
    QCOMPARE(static_cast<NotesArrow *>(firstSelected)->color(), QColor(Qt::darkYellow));
    QVERIFY(static_cast<NotesArrow *>(otherSelected)->color() != QColor(Qt::darkYellow));
    arrow->setSelected(false);
    second->setSelected(false);

    // Width and style never touch existing items.
    circle->setSelected(true);
    scene.setLineWidth(11);
    scene.setLineStyle(Qt::DotLine);
    QCOMPARE(scene.lineWidth(), 11);
    QCOMPARE(scene.lineStyle(), Qt::DotLine);
    QCOMPARE(circle->width(), 3);
    QCOMPARE(circle->style(), Qt::SolidLine);
    circle->setSelected(false);

    // Text colour and font go to a selected text item.
    QFont font(QStringLiteral("Serif"), 21);
    font.setBold(true);
    scene.setTextColor(Qt::magenta);
    scene.setFont(font);
    QCOMPARE(text->defaultTextColor(), QColor(Qt::black));
    text->setSelected(true);
    scene.setTextColor(Qt::darkCyan);
    scene.setFont(font);
    QCOMPARE(text->defaultTextColor(), QColor(Qt::darkCyan));
    QCOMPARE(text->font(), font);
    QCOMPARE(scene.textColor(), QColor(Qt::darkCyan));
    QCOMPARE(scene.font(), font);
    QVERIFY(scene.hasSelectedItemOfType(Notes::TextType));
    QVERIFY(!scene.hasSelectedItemOfType(Notes::ArrowType));
}

void TestNotesScene::textPlacement()
{
    SceneView v;
    QFont font(QStringLiteral("Sans"), 17);
    v.scene.setFont(font);
    v.scene.setTextColor(Qt::red);
    v.scene.setMode(InsertText);
    QSignalSpy inserted(&v.scene, &NotesScene::textInserted);
    QSignalSpy rubber(&v.scene, &NotesScene::setRubberBandSelection);
    QSignalSpy selected(&v.scene, &NotesScene::itemSelected);

    v.click({120, 80});
    QCOMPARE(inserted.size(), 1);
    auto *text = qgraphicsitem_cast<NotesTextItem *>(inserted.first().first().value<QGraphicsTextItem *>());
    QVERIFY(text);
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{text});
    QCOMPARE(text->pos(), QPointF(120, 80));
    QCOMPARE(text->font(), font);
    QCOMPARE(text->defaultTextColor(), QColor(Qt::red));
    QCOMPARE(text->zValue(), 2.0);
    QCOMPARE(int(text->textInteractionFlags()), 16);
    QVERIFY(text->toPlainText().trimmed().isEmpty());
    QVERIFY(text->isSelected());
    QCOMPARE(dragModes(rubber), (QList<int>{2, 0}));
    // The item's selection reaches the scene's signal.
    QVERIFY(!selected.isEmpty());
    QCOMPARE(selected.last().first().value<QGraphicsItem *>(), text);
}

QTEST_MAIN(TestNotesScene)
#include "tst_notesscene.moc"
