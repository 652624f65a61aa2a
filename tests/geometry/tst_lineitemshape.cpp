#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPolygonF>
#include <QTest>

#include <memory>

namespace {

enum class ItemKind { Freehand, PolyLine };

// A square loop of side 200 with its corner at (100, 100), drawn with width 6. The freehand
// line stops 4 short of its start, within one width; the polyline repeats its first point.
QGraphicsPathItem *makeLoop(ItemKind kind)
{
    if (kind == ItemKind::Freehand) {
        QPainterPath path(QPointF(100, 104));
        for (const QPointF &p : {QPointF(100, 300), QPointF(300, 300), QPointF(300, 100), QPointF(100, 100)})
            path.lineTo(p);
        return new NotesLineItem(path, Qt::red, 6, Qt::SolidLine);
    }
    QPainterPath path;
    path.addPolygon(QPolygonF({{100, 100}, {100, 300}, {300, 300}, {300, 100}, {100, 100}}));
    return new NotesPolyLineItem(path, Qt::blue, 6, Qt::SolidLine);
}

} // namespace

Q_DECLARE_METATYPE(ItemKind)

class TestLineItemShape : public QObject
{
    Q_OBJECT

private slots:
    void hitTest_data();
    void hitTest();
    void clickSelects_data();
    void clickSelects();
    void shapeFollowsPathChanges();
};

void TestLineItemShape::hitTest_data()
{
    QTest::addColumn<ItemKind>("kind");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("hit");
    for (ItemKind kind : {ItemKind::Freehand, ItemKind::PolyLine}) {
        const char *name = kind == ItemKind::Freehand ? "freehand" : "polyline";
        QTest::addRow("%s: on the stroke", name) << kind << QPointF(200, 100) << true;
        QTest::addRow("%s: within half the width", name) << kind << QPointF(297.5, 200) << true;
        QTest::addRow("%s: on the closing corner", name) << kind << QPointF(101, 102) << true;
        QTest::addRow("%s: inside the loop", name) << kind << QPointF(200, 200) << false;
        QTest::addRow("%s: inside, just off the stroke", name) << kind << QPointF(200, 104) << false;
    }
}

void TestLineItemShape::hitTest()
{
    QFETCH(ItemKind, kind);
    QFETCH(QPointF, point);
    QFETCH(bool, hit);
    QGraphicsScene scene(0, 0, 400, 400);
    QGraphicsPathItem *item = makeLoop(kind);
    scene.addItem(item);
    QCOMPARE(scene.items(point).contains(item), hit);
    // Asked twice, as the view does on every move: the cached answer is the same.
    QCOMPARE(scene.items(point).contains(item), hit);
}

void TestLineItemShape::clickSelects_data()
{
    QTest::addColumn<ItemKind>("kind");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<bool>("selected");
    for (ItemKind kind : {ItemKind::Freehand, ItemKind::PolyLine}) {
        const char *name = kind == ItemKind::Freehand ? "freehand" : "polyline";
        QTest::addRow("%s: click on the stroke", name) << kind << QPoint(200, 299) << true;
        QTest::addRow("%s: click inside the loop", name) << kind << QPoint(200, 200) << false;
    }
}

void TestLineItemShape::clickSelects()
{
    QFETCH(ItemKind, kind);
    QFETCH(QPoint, click);
    QFETCH(bool, selected);
    QGraphicsScene scene(0, 0, 400, 400);
    QGraphicsPathItem *item = makeLoop(kind);
    scene.addItem(item);
    QGraphicsView view(&scene);
    view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setFrameShape(QFrame::NoFrame);
    view.resize(420, 420);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QPoint at = view.mapFromScene(QPointF(click));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(item->isSelected(), selected);
}

void TestLineItemShape::shapeFollowsPathChanges()
{
    QGraphicsScene scene(0, 0, 400, 400);
    QGraphicsPathItem *item = makeLoop(ItemKind::PolyLine);
    scene.addItem(item);
    QVERIFY(!scene.items(QPointF(200, 200)).contains(item));
    // Reshaped into a line through the middle, the old inside is now the stroke.
    QPainterPath line(QPointF(100, 200));
    line.lineTo(300, 200);
    item->setPath(line);
    QVERIFY(scene.items(QPointF(200, 200)).contains(item));
    QVERIFY(!scene.items(QPointF(200, 100)).contains(item));
}

QTEST_MAIN(TestLineItemShape)
#include "tst_lineitemshape.moc"
