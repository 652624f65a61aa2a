#include "geometry/bdcircle.h"
#include "geometry/bdfigure.h"
#include "geometry/bdpoint.h"
#include "geometry/bdsegment.h"

#include <QPainterPath>
#include <QTest>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace {
constexpr double Pi = 3.14159265358979323846;

QList<QPainterPath::ElementType> elementTypes(const QPainterPath &path)
{
    QList<QPainterPath::ElementType> types;
    for (int i = 0; i < path.elementCount(); ++i)
        types.append(path.elementAt(i).type);
    return types;
}

QString dump(const bdObject &object)
{
    QString text;
    QTextStream stream(&text);
    object.write(stream);
    stream.flush();
    return text;
}
} // namespace

class TestBdModel : public QObject
{
    Q_OBJECT

private slots:
    void fuzzyComparisons();
    void figureFromPoints();
    void angleTo_data();
    void angleTo();
    void sweepAngle_data();
    void sweepAngle();
    void copiesAreDeep();
    void copiesDoNotCarryLevel();
    void boundingBox();
    void boundingBoxOfCircleWithWidth();
    void boundingBoxCacheIsKeptUntilUpdated();
    void straightFigureToPainterPath();
    void childrenAreClosedSubpaths();
    void arcToPainterPath_data();
    void arcToPainterPath();
    void circleToPainterPath();
    void writeText();
    void classNames();
};

void TestBdModel::fuzzyComparisons()
{
    QVERIFY(bd::fuzzyEqual(1.0, 1.0 + 1e-13));
    QVERIFY(!bd::fuzzyEqual(1.0, 1.0 + 1e-11));
    QVERIFY(bd::fuzzyEqual(1.0f, 1.000001f));
    QVERIFY(!bd::fuzzyEqual(1.0f, 1.0001f));
    QVERIFY(bd::fuzzyZero(1e-13));
    QVERIFY(!bd::fuzzyZero(1e-11));
    QVERIFY(bd::fuzzyZero(1e-7f));
    QVERIFY(!bd::fuzzyZero(1e-4f));
}

void TestBdModel::figureFromPoints()
{
    // Toolkit points skip edges shorter than 1e-5; geometry points keep them.
    const bdFigure fromQt(QList<QPointF>{{0, 0}, {0, 0}, {10, 0}});
    QCOMPARE(fromQt.segments.size(), 1);
    QCOMPARE(fromQt.segments.at(0).start.toPointF(), QPointF(0, 0));
    QCOMPARE(fromQt.segments.at(0).end.toPointF(), QPointF(10, 0));

    const bdFigure fromBd(QList<bdPoint>{{0, 0}, {0, 0}, {10, 0}});
    QCOMPARE(fromBd.segments.size(), 2);
    QCOMPARE(fromBd.segments.at(0).start.toPointF(), fromBd.segments.at(0).end.toPointF());

    const bdFigure nearlyEqual(QList<QPointF>{{1, 1}, {1.000001, 1}, {2, 1}});
    QCOMPARE(nearlyEqual.segments.size(), 1);

    const bdFigure single(QList<QPointF>{{3, 4}});
    QVERIFY(single.segments.isEmpty());
    QVERIFY(!single.circle);

    // Construction from points caches the box.
    QVERIFY(fromQt.boxMin && fromQt.boxMax);
    QCOMPARE(fromQt.boxMin->toPointF(), QPointF(0, 0));
    QCOMPARE(fromQt.boxMax->toPointF(), QPointF(10, 0));
}

void TestBdModel::angleTo_data()
{
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<double>("degrees");
    QTest::newRow("up on screen") << QPointF(0, -5) << 270.0;
    QTest::newRow("down on screen") << QPointF(0, 5) << 90.0;
    QTest::newRow("left") << QPointF(-1, 0) << 180.0;
    QTest::newRow("right") << QPointF(3, 0) << 0.0;
    QTest::newRow("diagonal") << QPointF(2, 2) << 45.0;
    QTest::newRow("below +x") << QPointF(1, -1) << 315.0;
    // Just short of a full turn rounds to 360 and wraps to 0.
    QTest::newRow("rounds to 360") << QPointF(1, -1e-15) << 0.0;
}

void TestBdModel::angleTo()
{
    QFETCH(QPointF, to);
    QFETCH(double, degrees);
    const double a = bdPoint(0, 0).angleTo(bdPoint(to));
    QVERIFY2(std::fabs(a - degrees) < 1e-9, qPrintable(QString::number(a, 'g', 17)));
    QVERIFY(a >= 0.0 && a < 360.0);
}

void TestBdModel::sweepAngle_data()
{
    QTest::addColumn<QPointF>("start");
    QTest::addColumn<QPointF>("end");
    QTest::addColumn<bool>("clockwise");
    QTest::addColumn<double>("sweep");
    QTest::newRow("quarter anticlockwise") << QPointF(1, 0) << QPointF(0, 1) << false << Pi / 2;
    QTest::newRow("three quarters anticlockwise") << QPointF(0, 1) << QPointF(1, 0) << false << 3 * Pi / 2;
    QTest::newRow("quarter clockwise") << QPointF(1, 0) << QPointF(0, -1) << true << -Pi / 2;
    QTest::newRow("half clockwise") << QPointF(0, 2) << QPointF(0, -2) << true << -Pi;
    QTest::newRow("start equals end") << QPointF(1, 0) << QPointF(1, 0) << false << 0.0;
    QTest::newRow("start equals end clockwise") << QPointF(1, 0) << QPointF(1, 0) << true << 0.0;
}

void TestBdModel::sweepAngle()
{
    QFETCH(QPointF, start);
    QFETCH(QPointF, end);
    QFETCH(bool, clockwise);
    QFETCH(double, sweep);
    const bdSegment arc(bdPoint(start), bdPoint(end), bdPoint(0, 0), QLineF(QPointF(), start).length(),
                        clockwise);
    QVERIFY2(std::fabs(arc.sweepAngle() - sweep) < 1e-6, qPrintable(QString::number(arc.sweepAngle())));
    QVERIFY(std::fabs(arc.sweepDegrees() - sweep * 57.29577951308232) < 1e-4);

    const bdSegment straight{bdPoint(start), bdPoint(end)};
    QCOMPARE(straight.sweepDegrees(), 0.0);
}

void TestBdModel::copiesAreDeep()
{
    bdFigure original(QList<QPointF>{{0, 0}, {4, 0}, {4, 3}});
    original.circle = std::make_unique<bdCircle>(bdPoint(1, 2), 3.0f);
    original.width = 2.5f;
    original.children.append(bdFigure(QList<QPointF>{{1, 1}, {2, 1}}));

    bdFigure copy(original);
    QVERIFY(copy.circle && copy.circle.get() != original.circle.get());
    QCOMPARE(copy.circle->radius, 3.0f);
    QCOMPARE(copy.circle->center.toPointF(), QPointF(1, 2));
    QVERIFY(copy.boxMin.get() != original.boxMin.get());
    QCOMPARE(copy.boxMax->toPointF(), QPointF(4, 3));
    QCOMPARE(copy.segments.size(), 2);
    QCOMPARE(copy.children.size(), 1);
    QCOMPARE(copy.width, 2.5f);

    copy.circle->radius = 9.0f;
    copy.boxMax->setX(99.0f);
    copy.segments.removeLast();
    QCOMPARE(original.circle->radius, 3.0f);
    QCOMPARE(original.boxMax->x(), 4.0f);
    QCOMPARE(original.segments.size(), 2);

    bdFigure assigned;
    assigned = original;
    QCOMPARE(assigned.circle->radius, 3.0f);
    assigned = bdFigure();
    QVERIFY(!assigned.circle && !assigned.boxMin && assigned.segments.isEmpty());
    QCOMPARE(assigned.width, 0.0f);

    bdFigure &self = original;
    original = self;
    QVERIFY(original.circle);
    QCOMPARE(original.circle->radius, 3.0f);
    QCOMPARE(original.segments.size(), 2);
}

void TestBdModel::copiesDoNotCarryLevel()
{
    bdPoint p(1, 2);
    p.level = 3;
    const bdPoint copy(p);
    QCOMPARE(copy.level, 0u);
    QCOMPARE(copy.toPointF(), QPointF(1, 2));
    bdPoint assigned;
    assigned = p;
    QCOMPARE(assigned.level, 0u);

    bdCircle c(bdPoint(1, 1), 2.0f);
    c.level = 4;
    QCOMPARE(bdCircle(c).level, 0u);
    QCOMPARE(bdCircle(c).radius, 2.0f);
}

void TestBdModel::boundingBox()
{
    bdFigure empty;
    bdPoint min, max;
    empty.boundingBox(min, max);
    const float big = std::numeric_limits<float>::max();
    QCOMPARE(big, 3.4028235e38f);
    QCOMPARE(min.x(), big);
    QCOMPARE(min.y(), big);
    QCOMPARE(max.x(), -big);
    QCOMPARE(max.y(), -big);

    // An arc widens the box by its whole circle, a straight edge by its end points only.
    bdFigure mixed;
    mixed.segments.append(bdSegment(bdPoint(0, 0), bdPoint(10, 5)));
    mixed.segments.append(bdSegment(bdPoint(10, 5), bdPoint(12, 7), bdPoint(12, 5), 2.0, false));
    mixed.width = 6.0f;
    mixed.boundingBox(min, max);
    QCOMPARE(min.toPointF(), QPointF(0, 0));
    QCOMPARE(max.toPointF(), QPointF(14, 7));
}

void TestBdModel::boundingBoxOfCircleWithWidth()
{
    bdFigure ring;
    ring.circle = std::make_unique<bdCircle>(bdPoint(5, 5), 2.0f);
    bdPoint min, max;
    ring.boundingBox(min, max);
    QCOMPARE(min.toPointF(), QPointF(3, 3));
    QCOMPARE(max.toPointF(), QPointF(7, 7));
    ring.width = 2.0f;
    ring.boundingBox(min, max);
    QCOMPARE(min.toPointF(), QPointF(2, 2));
    QCOMPARE(max.toPointF(), QPointF(8, 8));
}

void TestBdModel::boundingBoxCacheIsKeptUntilUpdated()
{
    bdFigure figure(QList<QPointF>{{0, 0}, {2, 2}});
    figure.segments.append(bdSegment(bdPoint(2, 2), bdPoint(20, -5)));
    bdPoint min, max;
    figure.boundingBox(min, max);
    QCOMPARE(max.toPointF(), QPointF(2, 2));
    figure.updateBoundingBox();
    figure.boundingBox(min, max);
    QCOMPARE(min.toPointF(), QPointF(0, -5));
    QCOMPARE(max.toPointF(), QPointF(20, 2));
}

void TestBdModel::straightFigureToPainterPath()
{
    const bdFigure figure(QList<QPointF>{{0, 0}, {10, 0}, {10, 10}});
    QPainterPath path;
    figure.toPainterPath(path);
    QCOMPARE(elementTypes(path),
             (QList<QPainterPath::ElementType>{QPainterPath::MoveToElement, QPainterPath::LineToElement,
                                               QPainterPath::LineToElement}));
    QCOMPARE(QPointF(path.elementAt(2)), QPointF(10, 10));
    // Left open: the current position is the last point, not the start.
    QCOMPARE(path.currentPosition(), QPointF(10, 10));

    QPainterPath none;
    bdFigure().toPainterPath(none);
    QVERIFY(none.isEmpty());
}

void TestBdModel::childrenAreClosedSubpaths()
{
    bdFigure outer(QList<QPointF>{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    outer.children.append(bdFigure(QList<QPointF>{{4, 4}, {6, 4}, {6, 6}, {4, 4}}));
    QPainterPath path;
    outer.toPainterPath(path);
    QCOMPARE(path.elementCount(), 5 + 4);
    QCOMPARE(path.elementAt(5).type, QPainterPath::MoveToElement);
    QCOMPARE(QPointF(path.elementAt(5)), QPointF(4, 4));
    QCOMPARE(path.currentPosition(), QPointF(4, 4));
    // Odd-even filling makes the child a hole.
    QVERIFY(path.contains(QPointF(2, 2)));
    QVERIFY(!path.contains(QPointF(5.5, 4.5)));
}

void TestBdModel::arcToPainterPath_data()
{
    QTest::addColumn<double>("sweepDegrees");
    QTest::addColumn<bool>("clockwise");
    QTest::addColumn<bool>("straight");
    QTest::newRow("0.7 degrees is drawn straight") << 0.7 << false << true;
    QTest::newRow("0.7 degrees clockwise is drawn straight") << 0.7 << true << true;
    QTest::newRow("4 degrees") << 4.0 << false << false;
    QTest::newRow("quarter") << 90.0 << false << false;
    QTest::newRow("quarter clockwise") << 90.0 << true << false;
    QTest::newRow("half and a bit") << 200.0 << false << false;
}

void TestBdModel::arcToPainterPath()
{
    QFETCH(double, sweepDegrees);
    QFETCH(bool, clockwise);
    QFETCH(bool, straight);
    const double r = 100.0;
    const double t = (clockwise ? -sweepDegrees : sweepDegrees) * Pi / 180.0;
    const bdPoint start(float(r), 0.0f);
    const bdPoint end(float(r * std::cos(t)), float(r * std::sin(t)));
    bdFigure figure;
    figure.segments.append(bdSegment(start, end, bdPoint(0, 0), r, clockwise));
    QPainterPath path;
    figure.toPainterPath(path);

    QCOMPARE(path.elementAt(0).type, QPainterPath::MoveToElement);
    QCOMPARE(path.currentPosition(), end.toPointF());
    if (straight) {
        // The toolkit drops the line to the start it is already at.
        QCOMPARE(elementTypes(path), (QList<QPainterPath::ElementType>{QPainterPath::MoveToElement,
                                                                       QPainterPath::LineToElement}));
        return;
    }
    QVERIFY(elementTypes(path).contains(QPainterPath::CurveToElement));
    // The middle of the arc lies on the circle, on the side the sweep turns to.
    const QPointF middle = path.pointAtPercent(0.5);
    QVERIFY2(std::fabs(QLineF(QPointF(), middle).length() - r) < 0.5,
             qPrintable(QString::number(middle.x())));
    const QPointF expected(r * std::cos(t / 2), r * std::sin(t / 2));
    QVERIFY2(QLineF(middle, expected).length() < 0.05 * r * std::fabs(t),
             qPrintable(QString("%1 %2").arg(middle.x()).arg(middle.y())));
}

void TestBdModel::circleToPainterPath()
{
    bdFigure figure;
    figure.circle = std::make_unique<bdCircle>(bdPoint(10, 20), 5.0f);
    QPainterPath path;
    figure.toPainterPath(path);
    const QRectF box = path.boundingRect();
    QVERIFY(std::fabs(box.left() - 5) < 1e-9 && std::fabs(box.top() - 15) < 1e-9);
    QVERIFY(std::fabs(box.width() - 10) < 1e-9 && std::fabs(box.height() - 10) < 1e-9);
}

void TestBdModel::writeText()
{
    QCOMPARE(dump(bdPoint(12.6f, -3.2f)), QStringLiteral("(pt 13 -3)"));
    QCOMPARE(dump(bdPoint(0.4f, 7.5f)), QStringLiteral("(pt 0 8)"));

    bdCircle circle(bdPoint(1.2f, 2.0f), 2.5f);
    QCOMPARE(dump(circle), QStringLiteral("\n(circle 2.5\n (pt 1 2)\n)"));
    circle.level = 2;
    QCOMPARE(dump(circle), QStringLiteral("\n  (circle 2.5\n   (pt 1 2)\n  )"));
    QCOMPARE(circle.level, 2u);

    QVERIFY(dump(bdFigure(QList<QPointF>{{0, 0}, {1, 1}})).isEmpty());
}

void TestBdModel::classNames()
{
    QCOMPARE(bdPoint().className(), QByteArray("bdPoint"));
    QCOMPARE(bdCircle().className(), QByteArray("bdCircle"));
    QCOMPARE(bdFigure().className(), QByteArray("bdFigure"));
    const bdFigure figure;
    const bdObject &object = figure;
    QCOMPARE(object.className(), QByteArray("bdFigure"));
}

QTEST_APPLESS_MAIN(TestBdModel)
#include "tst_bdmodel.moc"
