#include "geometry/lineoutline.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using LineOutline::Kind;

Q_DECLARE_METATYPE(LineOutline::Kind)

namespace {

using Points = QList<QPointF>;

QPainterPath pathThrough(const Points &points)
{
    QPainterPath path;
    if (points.isEmpty())
        return path;
    path.moveTo(points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(points.at(i));
    return path;
}

// A square of side 100 drawn from (0, gap) round to (0, 0): its end lies `gap` from its start.
Points squareWithGap(double gap)
{
    return {{0, gap}, {0, 100}, {100, 100}, {100, 0}, {0, 0}};
}

bool identical(const QPainterPath &a, const QPainterPath &b)
{
    if (a.elementCount() != b.elementCount() || a.fillRule() != b.fillRule())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element &ea = a.elementAt(i);
        const QPainterPath::Element &eb = b.elementAt(i);
        if (ea.type != eb.type || ea.x != eb.x || ea.y != eb.y)
            return false;
    }
    return true;
}

// How far the outline reaches beyond the path on the left.
double reachBeyond(const QPainterPath &outline, const QPainterPath &path)
{
    return path.boundingRect().left() - outline.boundingRect().left();
}

} // namespace

class TestLineOutline : public QObject
{
    Q_OBJECT

private slots:
    void emptyPathHasNoOutline();
    void closedOrOpen_data();
    void closedOrOpen();
    void freehandThreshold_data();
    void freehandThreshold();
    void closedBandIsHollow();
    void openLineWithoutPenWidthIsEmpty();
    void dotsAndDashesCanBePicked_data();
    void dotsAndDashesCanBePicked();
    void everyElementCounts();
    void selfCrossingLoopDoesNotThrow();
    void scribbleHasABoundedOutline_data();
    void scribbleHasABoundedOutline();
    void cacheMatchesComputation_data();
    void cacheMatchesComputation();
    void cacheRecomputesOnlyOnChange();
    void cacheSeesTinyEdits();
};

void TestLineOutline::emptyPathHasNoOutline()
{
    QVERIFY(LineOutline::compute(QPainterPath(), Kind::Freehand, 5, 5).isEmpty());
    QVERIFY(LineOutline::compute(QPainterPath(), Kind::PolyLine, 5, 5).isEmpty());
}

void TestLineOutline::closedOrOpen_data()
{
    // The band follows the line width, the open stroke the pen width: with the two set apart,
    // the reach of the outline tells which case was taken.
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<double>("gap");
    QTest::addColumn<bool>("closed");
    QTest::newRow("freehand 4.9 apart") << Kind::Freehand << 4.9 << true;
    QTest::newRow("freehand exactly one width apart") << Kind::Freehand << 5.0 << true;
    QTest::newRow("freehand 5.1 apart") << Kind::Freehand << 5.1 << false;
    QTest::newRow("freehand back at its start") << Kind::Freehand << 0.0 << true;
    QTest::newRow("polyline back at its start") << Kind::PolyLine << 0.0 << true;
    QTest::newRow("polyline 0.001 from its start") << Kind::PolyLine << 0.001 << false;
    QTest::newRow("polyline 4.9 from its start") << Kind::PolyLine << 4.9 << false;
}

void TestLineOutline::closedOrOpen()
{
    QFETCH(Kind, kind);
    QFETCH(double, gap);
    QFETCH(bool, closed);
    const QPainterPath path = pathThrough(squareWithGap(gap));
    const QPainterPath outline = LineOutline::compute(path, kind, 5, 1);
    const double reach = reachBeyond(outline, path);
    QVERIFY2(std::fabs(reach - (closed ? 2.5 : 0.5)) < 1e-3, qPrintable(QString::number(reach)));
    // Either way the stroke hits and the inside of the square does not.
    QVERIFY(outline.contains(QPointF(50, 100.2)));
    QVERIFY(!outline.contains(QPointF(50, 50)));
}

void TestLineOutline::freehandThreshold_data()
{
    QTest::addColumn<double>("gap");
    QTest::addColumn<bool>("gapCovered");
    QTest::newRow("4.9 apart: the band closes the gap") << 4.9 << true;
    QTest::newRow("5.1 apart: the rounded ends leave it open") << 5.1 << false;
}

void TestLineOutline::freehandThreshold()
{
    QFETCH(double, gap);
    QFETCH(bool, gapCovered);
    const QPainterPath outline = LineOutline::compute(pathThrough(squareWithGap(gap)), Kind::Freehand, 5, 5);
    QCOMPARE(outline.contains(QPointF(0, gap / 2)), gapCovered);
    QVERIFY(outline.contains(QPointF(0, 50)));
    QVERIFY(outline.contains(QPointF(2.4, 50)));
    QVERIFY(!outline.contains(QPointF(2.6, 50)));
    QVERIFY(!outline.contains(QPointF(50, 50)));
}

void TestLineOutline::closedBandIsHollow()
{
    Points circle;
    for (int i = 0; i <= 100; ++i) {
        const double t = i * 2 * 3.14159265358979323846 / 100;
        circle << QPointF(200 + 50 * std::cos(t), 100 + 50 * std::sin(t));
    }
    const QPainterPath outline = LineOutline::compute(pathThrough(circle), Kind::Freehand, 6, 6);
    QCOMPARE(outline.fillRule(), Qt::OddEvenFill);
    QVERIFY(!outline.contains(QPointF(200, 100)));
    QVERIFY(!outline.contains(QPointF(200, 146)));
    QVERIFY(outline.contains(QPointF(200, 148)));
    QVERIFY(outline.contains(QPointF(200, 152)));
    QVERIFY(!outline.contains(QPointF(200, 154)));
    QVERIFY(outline.contains(QPointF(250, 100)));
}

void TestLineOutline::openLineWithoutPenWidthIsEmpty()
{
    const QPainterPath path = pathThrough({{0, 0}, {50, 0}, {50, 50}});
    QVERIFY(LineOutline::compute(path, Kind::Freehand, 5, 0).isEmpty());
    QVERIFY(LineOutline::compute(path, Kind::PolyLine, 5, 0).isEmpty());
}

void TestLineOutline::dotsAndDashesCanBePicked_data()
{
    // Marks that come back to their start without enclosing anything: there is no band, so
    // their stroke answers instead and they stay selectable.
    QTest::addColumn<Points>("points");
    QTest::addColumn<QPointF>("inside");
    QTest::addColumn<QPointF>("outside");
    QTest::newRow("single point") << Points{{10, 10}} << QPointF(11.5, 10) << QPointF(13, 10);
    QTest::newRow("click without a move") << Points{{10, 10}, {10, 10}} << QPointF(10, 8.5) << QPointF(10, 7);
    QTest::newRow("short dash") << Points{{10, 10}, {13, 10}} << QPointF(11.5, 11.8) << QPointF(11.5, 13);
}

void TestLineOutline::dotsAndDashesCanBePicked()
{
    QFETCH(Points, points);
    QFETCH(QPointF, inside);
    QFETCH(QPointF, outside);
    const QPainterPath outline = LineOutline::compute(pathThrough(points), Kind::Freehand, 4, 4);
    QVERIFY(outline.contains(points.first()));
    QVERIFY(outline.contains(inside));
    QVERIFY(!outline.contains(outside));
}

void TestLineOutline::everyElementCounts()
{
    // Curve control points are taken as points of the line, like every other element.
    QPainterPath path;
    path.moveTo(0, 0);
    path.cubicTo(0, 100, 100, 100, 100, 0);
    const QPainterPath outline = LineOutline::compute(path, Kind::Freehand, 4, 4);
    QVERIFY(outline.contains(QPointF(50, 100)));
    QVERIFY(outline.contains(QPointF(0, 50)));
    QVERIFY(!outline.contains(QPointF(50, 75)));
}

void TestLineOutline::selfCrossingLoopDoesNotThrow()
{
    // A figure eight whose end comes back to its start: the ring crosses itself.
    Points eight;
    for (int i = 0; i <= 200; ++i) {
        const double t = i * 2 * 3.14159265358979323846 / 200;
        eight << QPointF(100 * std::sin(t), 50 * std::sin(2 * t));
    }
    QPainterPath outline;
    try {
        outline = LineOutline::compute(pathThrough(eight), Kind::Freehand, 5, 5);
    } catch (...) {
        QFAIL("an exception left the outline computation");
    }
    // Whatever the library makes of it, the answer stays within the stroke's reach.
    QVERIFY(outline.boundingRect().width() <= 205.0 + 1e-6);
}

void TestLineOutline::scribbleHasABoundedOutline_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("closed");
    QTest::newRow("open, 2000 points") << 2000 << false;
    QTest::newRow("closed, 2000 points") << 2000 << true;
    QTest::newRow("open, 30000 points") << 30000 << false;
}

void TestLineOutline::scribbleHasABoundedOutline()
{
    // Random points in a square cross each other everywhere; the exact buffer of such a line
    // takes minutes. Every point must still be on the outline and the far corner off it.
    QFETCH(int, points);
    QFETCH(bool, closed);
    QRandomGenerator rng(5);
    Points scribble;
    for (int i = 0; i < points; ++i)
        scribble << QPointF(rng.bounded(400.0), rng.bounded(400.0));
    if (closed)
        scribble << scribble.first();
    const QPainterPath outline = LineOutline::compute(pathThrough(scribble), Kind::PolyLine, 3, 3);
    for (int i = 0; i < scribble.size(); i += 97)
        QVERIFY(outline.contains(scribble.at(i)));
    QVERIFY(!outline.contains(QPointF(450, 450)));
}

void TestLineOutline::cacheMatchesComputation_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<Kind>("kind");
    QTest::newRow("open freehand") << Points{{0, 0}, {30, 5}, {60, -5}} << Kind::Freehand;
    QTest::newRow("closed freehand") << squareWithGap(2) << Kind::Freehand;
    QTest::newRow("closed polyline") << squareWithGap(0) << Kind::PolyLine;
    QTest::newRow("open polyline") << squareWithGap(0.001) << Kind::PolyLine;
    QTest::newRow("empty") << Points{} << Kind::PolyLine;
}

void TestLineOutline::cacheMatchesComputation()
{
    QFETCH(Points, points);
    QFETCH(Kind, kind);
    const QPainterPath path = pathThrough(points);
    LineOutlineCache cache;
    const QPainterPath expected = LineOutline::compute(path, kind, 5, 5);
    QVERIFY(identical(cache.outline(path, kind, 5, 5), expected));
    QVERIFY(identical(cache.outline(path, kind, 5, 5), expected));
    QCOMPARE(cache.computations(), 1);
}

void TestLineOutline::cacheRecomputesOnlyOnChange()
{
    const QPainterPath path = pathThrough(squareWithGap(3));
    LineOutlineCache cache;
    cache.outline(path, Kind::Freehand, 5, 5);
    const QPainterPath copy = path;
    cache.outline(copy, Kind::Freehand, 5, 5);
    // Built anew with the same coordinates: same outline, no work.
    const QPainterPath rebuilt = pathThrough(squareWithGap(3));
    QVERIFY(identical(cache.outline(rebuilt, Kind::Freehand, 5, 5),
                      LineOutline::compute(rebuilt, Kind::Freehand, 5, 5)));
    QCOMPARE(cache.computations(), 1);

    struct Change
    {
        Kind kind;
        int lineWidth;
        int penWidth;
    };
    // Each change of kind or width gives the outline for the new arguments.
    const QList<Change> changes{{Kind::Freehand, 2, 5}, {Kind::Freehand, 2, 3}, {Kind::PolyLine, 2, 3}};
    int expectedCount = 1;
    for (const Change &c : changes) {
        const QPainterPath outline = cache.outline(path, c.kind, c.lineWidth, c.penWidth);
        QCOMPARE(cache.computations(), ++expectedCount);
        QVERIFY(identical(outline, LineOutline::compute(path, c.kind, c.lineWidth, c.penWidth)));
    }

    QPainterPath moved = path;
    moved.lineTo(0, 1);
    QVERIFY(identical(cache.outline(moved, Kind::PolyLine, 2, 3),
                      LineOutline::compute(moved, Kind::PolyLine, 2, 3)));
    QCOMPARE(cache.computations(), ++expectedCount);

    cache.invalidate();
    cache.outline(moved, Kind::PolyLine, 2, 3);
    QCOMPARE(cache.computations(), ++expectedCount);
}

void TestLineOutline::cacheSeesTinyEdits()
{
    // The toolkit's path comparison is fuzzy and calls these two equal, but the outline is
    // made in single precision and the two end points round to different floats.
    const double halfway = 1000.000030517578125;
    const QPainterPath path = pathThrough({{0, 0}, {1000, 0}, {halfway - 1e-10, 1000}});
    const QPainterPath nudged = pathThrough({{0, 0}, {1000, 0}, {halfway + 1e-10, 1000}});
    QVERIFY(path == nudged);
    LineOutlineCache cache;
    cache.outline(path, Kind::Freehand, 4, 4);
    const QPainterPath outline = cache.outline(nudged, Kind::Freehand, 4, 4);
    QCOMPARE(cache.computations(), 2);
    QVERIFY(identical(outline, LineOutline::compute(nudged, Kind::Freehand, 4, 4)));
    QVERIFY(!identical(outline, LineOutline::compute(path, Kind::Freehand, 4, 4)));
}

QTEST_APPLESS_MAIN(TestLineOutline)
#include "tst_lineoutline.moc"
