#include "geometry/bdoperations.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QTest>

#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;

using Points = QList<QPointF>;

bool near(const QPointF &a, const QPointF &b, double tolerance = 1e-9)
{
    return QLineF(a, b).length() <= tolerance;
}

QString describe(const Points &points)
{
    QStringList parts;
    for (const QPointF &p : points)
        parts << QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
    return parts.join(QLatin1Char(' '));
}

// Distance from p to the segment ab.
double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

QPolygonF outerPolygon(const bdFigure &figure)
{
    QPolygonF polygon;
    for (const bdSegment &s : figure.segments) {
        if (polygon.isEmpty())
            polygon << s.start.toPointF();
        polygon << s.end.toPointF();
    }
    return polygon;
}

bdFigure line(const Points &points)
{
    return bdFigure(points);
}

bdSegment arc(double radius, double fromDegrees, double toDegrees, bool clockwise)
{
    const double a = fromDegrees * Pi / 180, b = toDegrees * Pi / 180;
    return bdSegment(bdPoint(float(radius * std::cos(a)), float(radius * std::sin(a))),
                     bdPoint(float(radius * std::cos(b)), float(radius * std::sin(b))), bdPoint(0, 0), radius,
                     clockwise);
}
} // namespace

class TestBdOperations : public QObject
{
    Q_OBJECT

private slots:
    void toRingOfStraightFigures_data();
    void toRingOfStraightFigures();
    void toRingOfTwoArcsIsACircle();
    void toRingOfArc_data();
    void toRingOfArc();
    void toPolyline_data();
    void toPolyline();
    void toPolylineOfArcs_data();
    void toPolylineOfArcs();
    void toPolylineOfFullTurns_data();
    void toPolylineOfFullTurns();
    void arcPointsCompass();
    void arcPoints_data();
    void arcPoints();
    void modp_data();
    void modp();
    void modpByZeroIsLogged();
    void offsetOfSquare_data();
    void offsetOfSquare();
    void offsetOfDegenerateFigures();
    void bufferOfLine();
    void bufferWithoutWidth();
    void bufferMerges_data();
    void bufferMerges();
    void bufferKeepsHoles();
    void figureKeyOrdersByOrderOnly();
};

void TestBdOperations::toRingOfStraightFigures_data()
{
    QTest::addColumn<Points>("input");
    QTest::addColumn<Points>("ring");
    QTest::newRow("anticlockwise square is reversed") << Points{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}
                                                      << Points{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    QTest::newRow("clockwise square is kept") << Points{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}
                                              << Points{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    QTest::newRow("open chain is closed")
        << Points{{0, 0}, {0, 10}, {10, 10}} << Points{{0, 0}, {0, 10}, {10, 10}, {0, 0}};
    QTest::newRow("there and back") << Points{{0, 0}, {10, 0}, {0, 0}} << Points{{0, 0}, {10, 0}, {0, 0}};
    QTest::newRow("single segment is empty") << Points{{0, 0}, {10, 0}} << Points{};
    QTest::newRow("single point is empty") << Points{{3, 3}} << Points{};
}

void TestBdOperations::toRingOfStraightFigures()
{
    QFETCH(Points, input);
    QFETCH(Points, ring);
    bdFigure figure(input);
    Points out{{99, 99}};
    toRing(figure, out);
    QVERIFY2(out == ring, qPrintable(describe(out)));
}

void TestBdOperations::toRingOfTwoArcsIsACircle()
{
    bdFigure figure;
    figure.segments << arc(5, 0, 180, false) << arc(5, 180, 360, false);
    Points ring;
    toRing(figure, ring);
    QVERIFY(figure.circle);
    QVERIFY(figure.segments.isEmpty());
    QCOMPARE(figure.circle->radius, 5.0f);
    QCOMPARE(ring.size(), 65);
    QCOMPARE(ring.first(), ring.last());
    QCOMPARE(ring.at(0), QPointF(5, 0));
    QCOMPARE(ring.at(16), QPointF(0, 5));
    for (const QPointF &p : std::as_const(ring))
        QVERIFY(std::fabs(QLineF(QPointF(), p).length() - 5) < 1e-9);

    // A circle away from the origin is sampled around its centre.
    bdFigure moved;
    moved.circle = std::make_unique<bdCircle>(bdPoint(1, 20), 2.0f);
    toRing(moved, ring);
    QCOMPARE(ring.size(), 65);
    QCOMPARE(ring.at(0), QPointF(3, 20));
    QCOMPARE(ring.at(32), QPointF(-1, 20));
}

void TestBdOperations::toRingOfArc_data()
{
    QTest::addColumn<bool>("clockwise");
    QTest::newRow("anticlockwise") << false;
    QTest::newRow("clockwise") << true;
}

void TestBdOperations::toRingOfArc()
{
    // Half a disc: the diameter, then the arc back to the start.
    QFETCH(bool, clockwise);
    bdFigure figure;
    figure.segments << bdSegment(bdPoint(-10, 0), bdPoint(10, 0));
    figure.segments << (clockwise ? arc(10, 0, -180, true) : arc(10, 0, 180, false));
    Points ring;
    toRing(figure, ring);
    QCOMPARE(ring.first(), ring.last());
    QVERIFY(ring.size() >= 60);
    // No consecutive exact duplicates survive, and every arc sample lies on the circle.
    for (qsizetype i = 1; i < ring.size(); ++i) {
        QVERIFY(ring.at(i).x() != ring.at(i - 1).x() || ring.at(i).y() != ring.at(i - 1).y());
        QVERIFY(std::fabs(QLineF(QPointF(), ring.at(i)).length() - 10) < 1e-4);
    }
    // The half of the plane the arc bulges into.
    double side = 0;
    for (const QPointF &p : std::as_const(ring))
        side += p.y();
    QVERIFY(clockwise ? side < 0 : side > 0);
    // Clockwise orientation in the library's sense: the shoelace sum of the ring is not negative.
    double area = 0;
    for (qsizetype i = 0; i + 1 < ring.size(); ++i)
        area += (ring.at(i).x() + ring.at(i + 1).x()) * (ring.at(i).y() - ring.at(i + 1).y());
    QVERIFY(area > 0);
}

void TestBdOperations::toPolyline_data()
{
    QTest::addColumn<Points>("input");
    QTest::addColumn<Points>("expected");
    QTest::newRow("duplicate point") << Points{{0, 0}, {10, 0}, {10, 0}, {20, 0}}
                                     << Points{{0, 0}, {10, 0}, {20, 0}};
    QTest::newRow("plain chain") << Points{{0, 0}, {5, 5}, {10, 0}} << Points{{0, 0}, {5, 5}, {10, 0}};
    QTest::newRow("no segments") << Points{{1, 1}} << Points{};
}

void TestBdOperations::toPolyline()
{
    QFETCH(Points, input);
    QFETCH(Points, expected);
    // Built from geometry points so that the zero-length edge reaches the conversion.
    QList<bdPoint> bdPoints;
    for (const QPointF &p : std::as_const(input))
        bdPoints << bdPoint(p);
    Points out{{42, 42}};
    ::toPolyline(bdFigure(bdPoints), out, 5);
    QVERIFY2(out == expected, qPrintable(describe(out)));
}

void TestBdOperations::toPolylineOfArcs_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("clockwise");
    QTest::addColumn<int>("count");
    QTest::newRow("4 degrees is its end points") << 10.0 << 14.0 << false << 2;
    QTest::newRow("4 degrees clockwise is its end points") << 14.0 << 10.0 << true << 2;
    QTest::newRow("quarter") << 0.0 << 90.0 << false << 64;
    QTest::newRow("quarter clockwise") << 90.0 << 0.0 << true << 64;
    QTest::newRow("across zero") << 330.0 << 30.0 << false << 64;
}

void TestBdOperations::toPolylineOfArcs()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(bool, clockwise);
    QFETCH(int, count);
    bdFigure figure;
    figure.segments << arc(50, from, to, clockwise);
    Points out;
    ::toPolyline(figure, out, 5);
    QCOMPARE(out.size(), count);
    QVERIFY2(near(out.first(), figure.segments.first().start.toPointF(), 1e-4), qPrintable(describe(out)));
    QVERIFY(near(out.last(), figure.segments.first().end.toPointF(), 1e-4));
    // Samples run monotonically along the short way between the two ends.
    const double span = clockwise ? from - to : std::fmod(to - from + 360, 360);
    for (const QPointF &p : std::as_const(out)) {
        QVERIFY(std::fabs(QLineF(QPointF(), p).length() - 50) < 1e-3);
        const double angle = std::atan2(p.y(), p.x()) * 180 / Pi;
        const double along = std::fmod((clockwise ? from - angle : angle - from) + 720 + 1e-6, 360) - 1e-6;
        QVERIFY2(along <= span + 1e-4, qPrintable(QString::number(along)));
    }
}

void TestBdOperations::toPolylineOfFullTurns_data()
{
    QTest::addColumn<double>("at");
    QTest::addColumn<bool>("clockwise");
    QTest::newRow("anticlockwise from 0") << 0.0 << false;
    QTest::newRow("anticlockwise from 90") << 90.0 << false;
    QTest::newRow("clockwise from 0") << 0.0 << true;
    QTest::newRow("clockwise from 90") << 90.0 << true;
}

// An arc that ends where it starts is a whole circle, whichever way it runs: 64 points a
// sixty-fourth of a turn apart, in the arc's direction.
void TestBdOperations::toPolylineOfFullTurns()
{
    QFETCH(double, at);
    QFETCH(bool, clockwise);
    bdFigure figure;
    figure.segments << arc(50, at, at, clockwise);
    Points out;
    ::toPolyline(figure, out, 5);
    QCOMPARE(out.size(), 64);
    const double step = clockwise ? -5.625 : 5.625;
    const double first = std::atan2(out.first().y(), out.first().x()) * 180 / Pi;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const double expected = (first + double(i) * step) * Pi / 180;
        QVERIFY2(near(out.at(i), QPointF(50 * std::cos(expected), 50 * std::sin(expected)), 1e-6),
                 qPrintable(describe(out)));
    }
}

void TestBdOperations::arcPointsCompass()
{
    Points out{{7, 7}};
    ::arcPoints(1, bdPoint(0, 0), 0, 2 * Pi, 4, out);
    QCOMPARE(out.size(), 5);
    out.removeFirst();
    const Points compass{{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(near(out.at(i), compass.at(i), 1e-12), qPrintable(describe(out)));
}

void TestBdOperations::arcPoints_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("count");
    QTest::addColumn<Points>("expected");
    QTest::newRow("quarter in three")
        << 0.0 << Pi / 2 << 3 << Points{{12, 3}, {10 + std::sqrt(2.0), 3 + std::sqrt(2.0)}, {10, 5}};
    QTest::newRow("across zero") << 3 * Pi / 2 << Pi / 2 << 3 << Points{{10, 1}, {12, 3}, {10, 5}};
    QTest::newRow("single point halfway") << 0.0 << Pi << 1 << Points{{10, 5}};
}

void TestBdOperations::arcPoints()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, count);
    QFETCH(Points, expected);
    Points out;
    ::arcPoints(2, bdPoint(10, 3), from, to, count, out);
    QCOMPARE(out.size(), expected.size());
    for (int i = 0; i < out.size(); ++i)
        QVERIFY2(near(out.at(i), expected.at(i), 1e-9), qPrintable(describe(out)));
}

void TestBdOperations::modp_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("remainder");
    QTest::newRow("positive") << 7.0 << 3.0 << 1.0;
    QTest::newRow("negative dividend") << -7.0 << 3.0 << 2.0;
    QTest::newRow("negative divisor") << 7.0 << -3.0 << 1.0;
    QTest::newRow("both negative") << -7.0 << -3.0 << 2.0;
    QTest::newRow("angle wraps") << -Pi / 2 << 2 * Pi << 3 * Pi / 2;
    QTest::newRow("quotient beyond 32 bits") << 1e12 + 5 << 10.0 << 5.0;
}

void TestBdOperations::modp()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, remainder);
    QCOMPARE(D_MODP(x, y), remainder);
}

void TestBdOperations::modpByZeroIsLogged()
{
    QTest::ignoreMessage(QtCriticalMsg, "\n");
    QTest::ignoreMessage(QtCriticalMsg, "D_MODP - Fatal error!\n");
    QTest::ignoreMessage(QtCriticalMsg, "  D_MODP ( X, Y ) called with Y = 0\n");
    QCOMPARE(D_MODP(5.5, 0.0), 5.5);
}

void TestBdOperations::offsetOfSquare_data()
{
    QTest::addColumn<Points>("square");
    QTest::addColumn<double>("distance");
    QTest::addColumn<QRectF>("box");
    const Points anticlockwise{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    const Points clockwise{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    QTest::newRow("grow") << anticlockwise << 2.0 << QRectF(-2, -2, 14, 14);
    QTest::newRow("grow clockwise input") << clockwise << 2.0 << QRectF(-2, -2, 14, 14);
    QTest::newRow("shrink") << anticlockwise << -2.0 << QRectF(2, 2, 6, 6);
    QTest::newRow("open square is closed first")
        << Points{{0, 0}, {10, 0}, {10, 10}, {0, 10}} << -3.0 << QRectF(3, 3, 4, 4);
}

void TestBdOperations::offsetOfSquare()
{
    QFETCH(Points, square);
    QFETCH(double, distance);
    QFETCH(QRectF, box);
    bdFigure figure(square);
    const QList<bdPoint> outline = offset(figure, distance);
    QVERIFY(outline.size() >= 5);
    QPolygonF polygon;
    for (const bdPoint &p : outline)
        polygon << p.toPointF();
    QCOMPARE(polygon.first(), polygon.last());
    const QRectF actual = polygon.boundingRect();
    QVERIFY2(std::fabs(actual.left() - box.left()) < 1e-3 && std::fabs(actual.top() - box.top()) < 1e-3 &&
                 std::fabs(actual.right() - box.right()) < 1e-3 &&
                 std::fabs(actual.bottom() - box.bottom()) < 1e-3,
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(actual.left())
                            .arg(actual.top())
                            .arg(actual.right())
                            .arg(actual.bottom())));
    // Grown corners are rounded: the corner of the box itself stays outside.
    if (distance > 0)
        QVERIFY(!polygon.containsPoint(box.topLeft() + QPointF(0.1, 0.1), Qt::OddEvenFill));
}

void TestBdOperations::offsetOfDegenerateFigures()
{
    bdFigure single(Points{{0, 0}, {10, 0}});
    QVERIFY(offset(single, 2).isEmpty());
    QVERIFY(offset(single, -2).isEmpty());
    bdFigure none;
    QVERIFY(offset(none, 2).isEmpty());
    // A zero-area ring has nothing inside to shrink into.
    bdFigure thereAndBack(Points{{0, 0}, {10, 0}, {0, 0}});
    QVERIFY(offset(thereAndBack, -2).isEmpty());
}

void TestBdOperations::bufferOfLine()
{
    QMap<bdFigureKey, bdFigure> figures;
    figures.insert(bdFigureKey{0, 4.0f}, line({{0, 0}, {10, 0}}));
    bdFigure out;
    bufferFigures(out, figures, 72);
    QCOMPARE(out.width, 4.0f);
    QVERIFY(out.children.isEmpty());
    QVERIFY(!out.boxMin && !out.boxMax);
    QVERIFY(out.segments.size() > 20);
    // One closed chain of straight edges.
    QCOMPARE(out.segments.first().start.toPointF(), out.segments.last().end.toPointF());
    for (qsizetype i = 0; i < out.segments.size(); ++i) {
        const bdSegment &s = out.segments.at(i);
        QVERIFY(!s.isArc());
        if (i > 0)
            QCOMPARE(s.start.toPointF(), out.segments.at(i - 1).end.toPointF());
        QVERIFY(distanceToSegment(s.start.toPointF(), {0, 0}, {10, 0}) < 2.0 + 1e-4);
    }
    // Rounded at both ends: it reaches 2 beyond each end on the axis, but not at the corners.
    const QPolygonF polygon = outerPolygon(out);
    const QRectF box = polygon.boundingRect();
    QVERIFY(std::fabs(box.left() + 2) < 1e-3 && std::fabs(box.right() - 12) < 1e-3);
    QVERIFY(std::fabs(box.top() + 2) < 1e-3 && std::fabs(box.bottom() - 2) < 1e-3);
    QVERIFY(polygon.containsPoint({-1.9, 0}, Qt::OddEvenFill));
    QVERIFY(polygon.containsPoint({11.9, 0}, Qt::OddEvenFill));
    QVERIFY(!polygon.containsPoint({-1.8, 1.8}, Qt::OddEvenFill));
    QVERIFY(!polygon.containsPoint({11.8, -1.8}, Qt::OddEvenFill));
    QVERIFY(polygon.containsPoint({5, 1.9}, Qt::OddEvenFill));
    QVERIFY(!polygon.containsPoint({5, 2.1}, Qt::OddEvenFill));
}

void TestBdOperations::bufferWithoutWidth()
{
    QMap<bdFigureKey, bdFigure> figures;
    figures.insert(bdFigureKey{0, 0.0f}, line({{0, 0}, {10, 0}}));
    bdFigure out;
    bufferFigures(out, figures, 72);
    QVERIFY(out.segments.isEmpty());
    QCOMPARE(out.width, 0.0f);

    // Figures without edges are skipped too, circles included.
    QMap<bdFigureKey, bdFigure> noEdges;
    bdFigure circle;
    circle.circle = std::make_unique<bdCircle>(bdPoint(0, 0), 3.0f);
    noEdges.insert(bdFigureKey{0, 2.0f}, circle);
    noEdges.insert(bdFigureKey{1, 2.0f}, line({{5, 5}}));
    bdFigure none;
    bufferFigures(none, noEdges, 72);
    QVERIFY(none.segments.isEmpty());
    QCOMPARE(none.width, 2.0f);

    bdFigure untouched;
    bufferFigures(untouched, {}, 72);
    QVERIFY(untouched.segments.isEmpty());
}

void TestBdOperations::bufferMerges_data()
{
    QTest::addColumn<Points>("first");
    QTest::addColumn<Points>("second");
    QTest::addColumn<QRectF>("box");
    QTest::newRow("overlapping lines merge")
        << Points{{0, 0}, {10, 0}} << Points{{5, 0}, {5, 20}} << QRectF(-1, -1, 12, 22);
    QTest::newRow("disjoint lines give the first")
        << Points{{0, 0}, {10, 0}} << Points{{0, 50}, {10, 50}} << QRectF(-1, -1, 12, 2);
}

void TestBdOperations::bufferMerges()
{
    QFETCH(Points, first);
    QFETCH(Points, second);
    QFETCH(QRectF, box);
    QMap<bdFigureKey, bdFigure> figures;
    figures.insert(bdFigureKey{1, 2.0f}, line(second));
    figures.insert(bdFigureKey{0, 2.0f}, line(first));
    bdFigure out;
    bufferFigures(out, figures, 16);
    const QRectF actual = outerPolygon(out).boundingRect();
    QVERIFY2(std::fabs(actual.left() - box.left()) < 1e-3 && std::fabs(actual.right() - box.right()) < 1e-3 &&
                 std::fabs(actual.top() - box.top()) < 1e-3 &&
                 std::fabs(actual.bottom() - box.bottom()) < 1e-3,
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(actual.left())
                            .arg(actual.top())
                            .arg(actual.right())
                            .arg(actual.bottom())));
}

void TestBdOperations::bufferKeepsHoles()
{
    // A stroke that loops round leaves the inside of the loop as a hole.
    QMap<bdFigureKey, bdFigure> figures;
    figures.insert(bdFigureKey{0, 2.0f}, line({{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, -5}}));
    bdFigure out;
    bufferFigures(out, figures, 72);
    QCOMPARE(out.children.size(), 1);
    QPainterPath path;
    out.toPainterPath(path);
    QVERIFY(path.contains(QPointF(10, 0.5)));
    QVERIFY(!path.contains(QPointF(10, 10)));
}

void TestBdOperations::figureKeyOrdersByOrderOnly()
{
    QMap<bdFigureKey, bdFigure> figures;
    figures.insert(bdFigureKey{5, 1.0f}, line({{0, 0}, {1, 0}}));
    figures.insert(bdFigureKey{-2, 3.0f}, line({{0, 0}, {2, 0}}));
    figures.insert(bdFigureKey{5, 7.0f}, line({{0, 0}, {3, 0}, {3, 3}}));
    QCOMPARE(figures.size(), 2);
    QCOMPARE(figures.firstKey().order, -2);
    // The replacement keeps the stored key and its width.
    QCOMPARE(figures.lastKey().width, 1.0f);
    QCOMPARE(figures.last().segments.size(), 2);
}

QTEST_APPLESS_MAIN(TestBdOperations)
#include "tst_bdoperations.moc"
