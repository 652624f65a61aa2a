// Annotation shape items: type numbers, construction, bounding rectangles, hit shapes and painting.

#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QGraphicsPixmapItem>
#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtTest>

#include <functional>
#include <memory>

using ItemFactory = std::function<QGraphicsItem *()>;
Q_DECLARE_METATYPE(ItemFactory)

namespace {

QPainterPath polyPath(const QList<QPointF> &points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    return path;
}

// Paints the item alone onto a white image; item coordinates (0, 0) land at `origin`.
QImage render(QGraphicsItem *item, QPoint origin = QPoint(50, 50), QSize size = QSize(300, 300))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(origin);
    QStyleOptionGraphicsItem option;
    item->paint(&painter, &option, nullptr);
    painter.end();
    return image;
}

int countPixels(const QImage &image, const std::function<bool(QColor)> &test)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixelColor(x, y)))
                ++count;
        }
    }
    return count;
}

bool isReddish(QColor c)
{
    return c.red() > 150 && c.green() < 100 && c.blue() < 100;
}

bool isDark(QColor c)
{
    return c.red() < 80 && c.green() < 80 && c.blue() < 80;
}

} // namespace

class TestNotesItems : public QObject
{
    Q_OBJECT

private slots:
    void typeNumbers_data();
    void typeNumbers();
    void flagsAndPens_data();
    void flagsAndPens();
    void arrowConstructors();
    void boundingRects_data();
    void boundingRects();
    void shapes_data();
    void shapes();
    void arrowHead_data();
    void arrowHead();
    void zeroLengthArrow();
    void lineShapesFollowOutline_data();
    void lineShapesFollowOutline();
    void selectedShapesShowOnlyOutline_data();
    void selectedShapesShowOnlyOutline();
    void selectedArrowRecolouredAtNextPaint();
    void negativeRectanglePaintedAsStored();
};

void TestNotesItems::typeNumbers_data()
{
    QTest::addColumn<ItemFactory>("make");
    QTest::addColumn<int>("expected");
    const QPainterPath path = polyPath({{0, 0}, {10, 10}});
    QTest::newRow("circle") << ItemFactory([] {
        return new NotesCircleItem(QRectF(0, 0, 10, 10), Qt::red, 3, Qt::SolidLine);
    }) << 65636;
    QTest::newRow("polyline") << ItemFactory([path] {
        return new NotesPolyLineItem(path, Qt::red, 3, Qt::SolidLine);
    }) << 65736;
    QTest::newRow("rectangle") << ItemFactory([] {
        return new NotesRectangleItem(QRectF(0, 0, 10, 10), Qt::red, 3, Qt::SolidLine);
    }) << 65836;
    QTest::newRow("freehand") << ItemFactory([path] {
        return new NotesLineItem(path, Qt::red, 3, Qt::SolidLine);
    }) << 65936;
    QTest::newRow("arrow") << ItemFactory([] { return new NotesArrow(QLineF(0, 0, 10, 10)); }) << 66036;
    QTest::newRow("text") << ItemFactory([] { return new NotesTextItem(); }) << 66136;
    QTest::newRow("picture") << ItemFactory([] { return new QGraphicsPixmapItem(); }) << 7;
}

void TestNotesItems::typeNumbers()
{
    QFETCH(ItemFactory, make);
    QFETCH(int, expected);
    std::unique_ptr<QGraphicsItem> item(make());
    QCOMPARE(item->type(), expected);
}

void TestNotesItems::flagsAndPens_data()
{
    QTest::addColumn<ItemFactory>("make");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("style");
    const QPainterPath path = polyPath({{0, 0}, {10, 10}});
    QTest::newRow("circle") << ItemFactory([] {
        return new NotesCircleItem(QRectF(0, 0, 10, 10), Qt::green, 5, Qt::DashLine);
    }) << QColor(Qt::green) << 5
                            << int(Qt::DashLine);
    QTest::newRow("rectangle") << ItemFactory([] {
        return new NotesRectangleItem(QRectF(0, 0, 10, 10), Qt::blue, 7, Qt::DotLine);
    }) << QColor(Qt::blue) << 7 << int(Qt::DotLine);
    QTest::newRow("freehand") << ItemFactory([path] {
        return new NotesLineItem(path, Qt::red, 9, Qt::DashDotLine);
    }) << QColor(Qt::red) << 9 << int(Qt::DashDotLine);
    QTest::newRow("polyline") << ItemFactory([path] {
        return new NotesPolyLineItem(path, Qt::cyan, 1, Qt::SolidLine);
    }) << QColor(Qt::cyan) << 1
                              << int(Qt::SolidLine);
    QTest::newRow("arrow") << ItemFactory([] { return new NotesArrow(QLineF(0, 0, 10, 10)); })
                           << QColor(Qt::black) << 3 << int(Qt::SolidLine);
}

void TestNotesItems::flagsAndPens()
{
    QFETCH(ItemFactory, make);
    QFETCH(QColor, color);
    QFETCH(int, width);
    QFETCH(int, style);
    std::unique_ptr<QGraphicsItem> item(make());
    QCOMPARE(item->flags(), QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
    auto *shapeItem = dynamic_cast<QAbstractGraphicsShapeItem *>(item.get());
    const QPen pen = shapeItem ? shapeItem->pen() : static_cast<QGraphicsLineItem *>(item.get())->pen();
    QCOMPARE(pen.color(), color);
    QCOMPARE(pen.width(), width);
    QCOMPARE(int(pen.style()), style);
    QCOMPARE(pen.capStyle(), Qt::RoundCap);
    QCOMPARE(pen.joinStyle(), Qt::RoundJoin);
    QCOMPARE(item->zValue(), 0.0);
    QVERIFY(item->data(0).isNull());
}

void TestNotesItems::arrowConstructors()
{
    NotesArrow plain(QLineF(1, 2, 30, 40));
    QCOMPARE(plain.color(), QColor(Qt::black));
    QCOMPARE(plain.line(), QLineF(1, 2, 30, 40));
    QCOMPARE(plain.pos(), QPointF(0, 0));
    QCOMPARE(plain.pen().widthF(), 3.0);

    NotesArrow loaded(QLineF(0, 0, 5, 5), QColor(Qt::magenta), QPointF(12.5, -3));
    QCOMPARE(loaded.color(), QColor(Qt::magenta));
    QCOMPARE(loaded.pen().color(), QColor(Qt::magenta));
    QCOMPARE(loaded.pos(), QPointF(12.5, -3));

    // The colour can change later; the pen given at construction keeps the old one.
    plain.setColor(Qt::red);
    QCOMPARE(plain.color(), QColor(Qt::red));
    QCOMPARE(plain.pen().color(), QColor(Qt::black));
}

void TestNotesItems::boundingRects_data()
{
    QTest::addColumn<ItemFactory>("make");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("arrow: line spanned, grown by 16.5")
        << ItemFactory([] { return new NotesArrow(QLineF(100, 50, 0, 0)); }) << QRectF(-16.5, -16.5, 133, 83);
    QTest::newRow("zero-length arrow")
        << ItemFactory([] { return new NotesArrow(QLineF(10, 10, 10, 10)); }) << QRectF(-6.5, -6.5, 33, 33);
    QTest::newRow("circle width 3: margin 1")
        << ItemFactory([] { return new NotesCircleItem(QRectF(10, 10, 20, 20), Qt::red, 3, Qt::SolidLine); })
        << QRectF(9, 9, 22, 22);
    QTest::newRow("circle width 1: no margin")
        << ItemFactory([] { return new NotesCircleItem(QRectF(10, 10, 20, 20), Qt::red, 1, Qt::SolidLine); })
        << QRectF(10, 10, 20, 20);
    QTest::newRow("rectangle width 10") << ItemFactory([] {
        return new NotesRectangleItem(QRectF(0, 0, 40, 20), Qt::red, 10, Qt::SolidLine);
    }) << QRectF(-5, -5, 50, 30);
    QTest::newRow("rectangle width 1")
        << ItemFactory([] { return new NotesRectangleItem(QRectF(0, 0, 40, 20), Qt::red, 1, Qt::SolidLine); })
        << QRectF(0, 0, 40, 20);
    QTest::newRow("freehand: no pen margin") << ItemFactory([] {
        return new NotesLineItem(polyPath({{0, 0}, {100, 0}, {100, 50}}), Qt::red, 20, Qt::SolidLine);
    }) << QRectF(0, 0, 100, 50);
    QTest::newRow("polyline: no pen margin") << ItemFactory([] {
        return new NotesPolyLineItem(polyPath({{5, 5}, {25, 45}}), Qt::red, 30, Qt::SolidLine);
    }) << QRectF(5, 5, 20, 40);
}

void TestNotesItems::boundingRects()
{
    QFETCH(ItemFactory, make);
    QFETCH(QRectF, expected);
    std::unique_ptr<QGraphicsItem> item(make());
    QCOMPARE(item->boundingRect(), expected);
}

void TestNotesItems::shapes_data()
{
    QTest::addColumn<ItemFactory>("make");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("hit");

    const ItemFactory circle10 = [] {
        return new NotesCircleItem(QRectF(0, 0, 100, 100), Qt::red, 10, Qt::SolidLine);
    };
    QTest::newRow("circle: on the stroke") << circle10 << QPointF(50, 0) << true;
    QTest::newRow("circle: outer half of the band") << circle10 << QPointF(50, -4.5) << true;
    QTest::newRow("circle: inner half of the band") << circle10 << QPointF(50, 4.5) << true;
    QTest::newRow("circle: beyond the band") << circle10 << QPointF(50, -5.5) << false;
    QTest::newRow("circle: inside is not hit") << circle10 << QPointF(50, 50) << false;
    QTest::newRow("circle: just inside the band") << circle10 << QPointF(50, 5.5) << false;

    const ItemFactory circle1 = [] {
        return new NotesCircleItem(QRectF(0, 0, 100, 100), Qt::red, 1, Qt::SolidLine);
    };
    QTest::newRow("thin circle: band reaches 0.5 beyond its bounds") << circle1 << QPointF(50, -0.4) << true;
    QTest::newRow("thin circle: not 0.6 beyond") << circle1 << QPointF(50, -0.6) << false;

    const ItemFactory rect10 = [] {
        return new NotesRectangleItem(QRectF(0, 0, 100, 60), Qt::red, 10, Qt::SolidLine);
    };
    QTest::newRow("rectangle: on the top edge") << rect10 << QPointF(50, 0) << true;
    QTest::newRow("rectangle: inside is not hit") << rect10 << QPointF(50, 30) << false;
    QTest::newRow("rectangle: outer band") << rect10 << QPointF(50, -4) << true;
    QTest::newRow("rectangle: rounded outer corner") << rect10 << QPointF(-4, -4) << false;
    QTest::newRow("rectangle: left edge") << rect10 << QPointF(-3, 30) << true;

    const ItemFactory negative = [] {
        return new NotesRectangleItem(QRectF(100, 60, -100, -60), Qt::red, 10, Qt::SolidLine);
    };
    QTest::newRow("negative rectangle: edge hit") << negative << QPointF(50, 0) << true;
    QTest::newRow("negative rectangle: edge band") << negative << QPointF(50, 64) << true;
    QTest::newRow("negative rectangle: inside not hit") << negative << QPointF(50, 30) << false;
    QTest::newRow("negative rectangle: far outside") << negative << QPointF(50, -8) << false;

    const ItemFactory arrow = [] { return new NotesArrow(QLineF(0, 0, 100, 0)); };
    QTest::newRow("arrow: on the line") << arrow << QPointF(50, 0) << true;
    QTest::newRow("arrow: beside the line") << arrow << QPointF(50, 5) << false;
    QTest::newRow("arrow: head, upper barb") << arrow << QPointF(15, 7) << true;
    QTest::newRow("arrow: head, lower barb") << arrow << QPointF(15, -7) << true;
    QTest::newRow("arrow: outside the head") << arrow << QPointF(15, 9.5) << false;
    QTest::newRow("arrow: behind the tip") << arrow << QPointF(-5, 0) << false;

    const ItemFactory up = [] { return new NotesArrow(QLineF(0, 0, 0, -100)); };
    QTest::newRow("upward arrow: head") << up << QPointF(7, -15) << true;
    QTest::newRow("upward arrow: beside") << up << QPointF(7, -60) << false;

    const ItemFactory dot = [] { return new NotesArrow(QLineF(20, 20, 20, 20)); };
    QTest::newRow("zero-length arrow is never hit") << dot << QPointF(20, 20) << false;
}

void TestNotesItems::shapes()
{
    QFETCH(ItemFactory, make);
    QFETCH(QPointF, point);
    QFETCH(bool, hit);
    std::unique_ptr<QGraphicsItem> item(make());
    QCOMPARE(item->shape().contains(point), hit);
    QCOMPARE(item->contains(point), hit);
}

void TestNotesItems::arrowHead_data()
{
    QTest::addColumn<QLineF>("line");
    QTest::addColumn<QPointF>("corner1");
    QTest::addColumn<QPointF>("corner2");
    // The head uses 3.14 and 6.28 for pi and two pi, so the barbs are not quite symmetric.
    QTest::newRow("to the right") << QLineF(0, 0, 100, 0) << QPointF(17.28, 10.06) << QPointF(17.36, -9.93);
    QTest::newRow("upwards") << QLineF(0, 0, 0, -100) << QPointF(10.01, -17.32) << QPointF(-9.98, -17.33);
    QTest::newRow("offset start") << QLineF(10, 20, 110, 20) << QPointF(27.28, 30.06)
                                  << QPointF(27.36, 10.07);
}

void TestNotesItems::arrowHead()
{
    QFETCH(QLineF, line);
    QFETCH(QPointF, corner1);
    QFETCH(QPointF, corner2);
    NotesArrow arrow(line);
    const QPolygonF head = arrow.headPolygon();
    QCOMPARE(head.size(), 4);
    QCOMPARE(head.first(), line.p1());
    QCOMPARE(head.last(), line.p1());
    QVERIFY2(QLineF(head.at(1), corner1).length() < 0.01, qPrintable(QString::number(head.at(1).x())));
    QVERIFY2(QLineF(head.at(2), corner2).length() < 0.01, qPrintable(QString::number(head.at(2).y())));

    // Painted: the head is filled in the arrow's colour right beside the tip.
    arrow.setColor(Qt::red);
    const QImage image = render(&arrow, QPoint(150, 150) - line.p1().toPoint());
    const QPointF inside = (head.at(0) + head.at(1) + head.at(2)) / 3.0;
    QVERIFY(isReddish(image.pixelColor((inside + QPointF(150, 150) - line.p1()).toPoint())));
}

void TestNotesItems::zeroLengthArrow()
{
    NotesArrow arrow(QLineF(30, 30, 30, 30));
    arrow.setColor(Qt::red);
    QVERIFY(arrow.headPolygon().isEmpty());
    QVERIFY(arrow.shape().isEmpty());
    // Painting neither divides by zero nor draws a head: at most the round dot of the pen.
    const QImage image = render(&arrow, QPoint(0, 0), QSize(100, 100));
    QVERIFY(countPixels(image, isReddish) < 20);
    arrow.setSelected(true);
    render(&arrow, QPoint(0, 0), QSize(100, 100));
}

void TestNotesItems::lineShapesFollowOutline_data()
{
    QTest::addColumn<bool>("polyline");
    QTest::addColumn<QPainterPath>("path");
    QTest::addColumn<int>("width");
    QTest::newRow("freehand open") << false << polyPath({{0, 0}, {50, 10}, {100, 0}}) << 6;
    QTest::newRow("freehand nearly closed")
        << false << polyPath({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {2, 2}}) << 6;
    QTest::newRow("polyline open") << true << polyPath({{0, 0}, {50, 10}, {100, 0}}) << 6;
    QTest::newRow("polyline closed") << true << polyPath({{0, 0}, {100, 0}, {100, 100}, {0, 0}}) << 4;
}

void TestNotesItems::lineShapesFollowOutline()
{
    QFETCH(bool, polyline);
    QFETCH(QPainterPath, path);
    QFETCH(int, width);
    std::unique_ptr<QGraphicsPathItem> item;
    if (polyline)
        item = std::make_unique<NotesPolyLineItem>(path, Qt::red, width, Qt::SolidLine);
    else
        item = std::make_unique<NotesLineItem>(path, Qt::red, width, Qt::SolidLine);
    const auto kind = polyline ? LineOutline::Kind::PolyLine : LineOutline::Kind::Freehand;
    QCOMPARE(item->shape(), LineOutline::compute(path, kind, width, width));
    // Asked again, the same outline (from the item's cache).
    QCOMPARE(item->shape(), item->shape());
    // The bounding rectangle stays the path's own, whatever the pen.
    QCOMPARE(item->boundingRect(), path.boundingRect());
}

void TestNotesItems::selectedShapesShowOnlyOutline_data()
{
    QTest::addColumn<ItemFactory>("make");
    QTest::newRow("circle") << ItemFactory(
        [] { return new NotesCircleItem(QRectF(0, 0, 100, 100), Qt::red, 8, Qt::SolidLine); });
    QTest::newRow("rectangle") << ItemFactory(
        [] { return new NotesRectangleItem(QRectF(0, 0, 100, 60), Qt::red, 8, Qt::SolidLine); });
    QTest::newRow("freehand") << ItemFactory([] {
        return new NotesLineItem(polyPath({{0, 0}, {50, 80}, {100, 0}}), Qt::red, 8, Qt::SolidLine);
    });
    QTest::newRow("polyline") << ItemFactory([] {
        return new NotesPolyLineItem(polyPath({{0, 0}, {50, 80}, {100, 0}}), Qt::red, 8, Qt::DashLine);
    });
}

void TestNotesItems::selectedShapesShowOnlyOutline()
{
    QFETCH(ItemFactory, make);
    std::unique_ptr<QGraphicsItem> item(make());
    const QImage plain = render(item.get());
    QVERIFY(countPixels(plain, isReddish) > 100);
    QCOMPARE(countPixels(plain, isDark), 0);

    item->setFlag(QGraphicsItem::ItemIsSelectable, true);
    item->setSelected(true);
    const QImage selected = render(item.get());
    QCOMPARE(countPixels(selected, isReddish), 0);
    QVERIFY(countPixels(selected, isDark) > 20);
}

void TestNotesItems::selectedArrowRecolouredAtNextPaint()
{
    NotesArrow arrow(QLineF(0, 0, 100, 0));
    arrow.setColor(Qt::green);
    arrow.setSelected(true);
    render(&arrow);
    arrow.setColor(Qt::red);
    const QImage image = render(&arrow, QPoint(50, 50));
    // The head (filled) and the middle of the line both take the new colour.
    QVERIFY(isReddish(image.pixelColor(50 + 12, 50 + 3)));
    int redOnLine = 0;
    for (int y = 47; y <= 53; ++y)
        redOnLine += isReddish(image.pixelColor(50 + 60, y)) ? 1 : 0;
    QVERIFY(redOnLine >= 2);
    QCOMPARE(countPixels(image, [](QColor c) { return c.green() > 150 && c.red() < 100; }), 0);
    // Selected, the shape's outline is drawn dashed in black.
    QVERIFY(countPixels(image, isDark) > 10);
}

void TestNotesItems::negativeRectanglePaintedAsStored()
{
    // Dragged up and to the left: negative size, radius negative, so square corners.
    NotesRectangleItem rect(QRectF(100, 60, -100, -60), Qt::red, 4, Qt::SolidLine);
    const QImage image = render(&rect, QPoint(50, 50));
    QVERIFY(isReddish(image.pixelColor(50 + 50, 50 + 0)));
    QVERIFY(isReddish(image.pixelColor(50 + 100, 50 + 30)));
    QVERIFY(isReddish(image.pixelColor(50 + 0, 50 + 0)));    // a square corner is drawn
    QVERIFY(!isReddish(image.pixelColor(50 + 50, 50 + 30))); // no fill

    NotesRectangleItem positive(QRectF(0, 0, 100, 60), Qt::red, 4, Qt::SolidLine);
    const QImage rounded = render(&positive, QPoint(50, 50));
    QVERIFY(!isReddish(rounded.pixelColor(50 + 0, 50 + 0))); // its corners are rounded
}

QTEST_MAIN(TestNotesItems)
#include "tst_notesitems.moc"
