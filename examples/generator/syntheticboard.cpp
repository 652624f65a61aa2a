#include "examples/generator/syntheticboard.h"

#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

double sign(double v)
{
    return v < 0 ? -1.0 : 1.0;
}

// The usual 0/45/90 degree route between two points: a straight leg, then the diagonal, or the
// diagonal first when straightFirst is false.
QPolygonF octilinear(const QPointF &a, const QPointF &b, bool straightFirst = true)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double d = std::min(std::abs(dx), std::abs(dy));
    const QPointF diagonal(sign(dx) * d, sign(dy) * d);
    const QPointF straight = b - a - diagonal;
    QPolygonF route;
    route << a << (straightFirst ? a + straight : a + diagonal) << b;
    return route;
}

double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    double t = len2 > 0 ? QPointF::dotProduct(p - a, ab) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return QLineF(p, a + t * ab).length();
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(std::clamp(alpha, 0, 255));
    return c;
}

const DsvLayer *findLayer(const QList<DsvLayer> &layers, const QString &name)
{
    for (const DsvLayer &layer : layers) {
        if (layer.name == name)
            return &layer;
    }
    return nullptr;
}

constexpr double GroundClearance = 0.3; // copper-to-pour gap on the bottom layer, mm

} // namespace

SyntheticBoard::SyntheticBoard()
{
    addOutline();
    addMountingHoles();
    addController();
    addConnectors();
    addRegulator();
    addPassives();
    addGroundStitching();
}

void SyntheticBoard::addOutline()
{
    outline << QPointF(2, 0) << QPointF(118, 0) << QPointF(120, 2) << QPointF(120, 78) << QPointF(118, 80)
            << QPointF(2, 80) << QPointF(0, 78) << QPointF(0, 2) << QPointF(2, 0);
    bottomPour << QPointF(2.5, 1) << QPointF(117.5, 1) << QPointF(119, 2.5) << QPointF(119, 77.5)
               << QPointF(117.5, 79) << QPointF(2.5, 79) << QPointF(1, 77.5) << QPointF(1, 2.5)
               << QPointF(2.5, 1);
}

void SyntheticBoard::addMountingHoles()
{
    const QPointF holes[] = {{4, 4}, {116, 4}, {4, 76}, {116, 76}};
    int n = 1;
    for (const QPointF &h : holes) {
        addPad(Through, h, QSizeF(6.0, 6.0), true, 3.2);
        landmarks.insert(QStringLiteral("H%1").arg(n++), h);
    }
}

// U1, a 48-pin QFP with 0.5 mm pitch, and everything that fans out of it.
void SyntheticBoard::addController()
{
    const QPointF c(62, 36);
    landmarks.insert(QStringLiteral("U1"), c);
    const double pitch = 0.5;
    const double reach = 4.35;         // pad centre from the package centre
    const double padEnd = reach + 0.7; // outer end of a pad
    const QSizeF across(1.4, 0.28);
    const QSizeF along(0.28, 1.4);
    auto offset = [&](int i) { return -2.75 + pitch * i; };

    // Pads: pin 1 at the top of the left side, counter-clockwise.
    for (int i = 0; i < 12; ++i) {
        addPad(Top, QPointF(c.x() - reach, c.y() + offset(i)), across);
        addPad(Top, QPointF(c.x() + offset(i), c.y() + reach), along);
        addPad(Top, QPointF(c.x() + reach, c.y() - offset(i)), across);
        addPad(Top, QPointF(c.x() - offset(i), c.y() - reach), along);
    }
    landmarks.insert(QStringLiteral("U1.1"), QPointF(c.x() - reach, c.y() + offset(0)));
    addSilkBox(QRectF(c.x() - 3.6, c.y() - 3.6, 7.2, 7.2));
    silkLines << (QPolygonF() << QPointF(c.x() - 5.6, c.y() - 3.3) << QPointF(c.x() - 5.2, c.y() - 3.3));
    addSilkText(QPointF(c.x(), c.y()), QStringLiteral("U1"), 1.4);

    // Right side: straight to the connector J1 (one pin per I/O line), on the top layer.
    const double j1x = 100;
    for (int i = 0; i < 12; ++i) {
        const QPointF from(c.x() + padEnd, c.y() - offset(i));
        const double y = 36 + (5.5 - i) * 2.54;
        QPolygonF route = octilinear(from, QPointF(j1x - 2.0, y));
        route << QPointF(j1x, y);
        addTrack(Top, route, 0.25);
    }

    // Left side: short escapes to a column of vias, then on the bottom layer down to J2 (pins 3..12)
    // and to the test points TP2 and TP3 (pins 1 and 2).
    for (int i = 0; i < 12; ++i) {
        const QPointF from(c.x() - padEnd, c.y() + offset(i));
        const QPointF via(50, 36 + (i - 5.5) * 1.2);
        addTrack(Top, octilinear(from, via, false), 0.25);
        addVia(via);
        if (i < 2) {
            const double run = (i == 0) ? 26 : 28;
            const QPointF tp(via.x() - run, via.y() + run);
            addTrack(Bottom, QPolygonF() << via << tp, 0.25);
            addPad(Bottom, tp, QSizeF(1.5, 1.5), true);
            pads.last().testPoint = true;
            landmarks.insert(QStringLiteral("TP%1").arg(i + 2), tp);
        } else {
            const QPointF pin(26 + (i - 2) * 2.54, 72);
            addTrack(Bottom, octilinear(via, pin, false), 0.25);
        }
    }

    // Top side: pull-ups R1..R4, the crystal, an unplugged via in the pad of pin 44 (a fault), and
    // four lines down to the EEPROM U3 on the bottom side.
    auto topPin = [&](int pin) { return QPointF(c.x() - offset(pin - 37), c.y() - padEnd); };
    for (int k = 0; k < 4; ++k) {
        const QPointF from = topPin(40 - k);
        const QPointF to(70 + 2.5 * k, 15.25);
        QPolygonF route;
        route << from << QPointF(from.x(), to.y() + std::abs(to.x() - from.x())) << to;
        addTrack(Top, route, 0.25);
    }
    // Crystal Y1 between pins 42 and 43.
    const QPointF y1(62, 24);
    landmarks.insert(QStringLiteral("Y1"), y1);
    for (const QPointF &o :
         {QPointF(-1.15, -0.85), QPointF(1.15, -0.85), QPointF(-1.15, 0.85), QPointF(1.15, 0.85)})
        addPad(Top, y1 + o, QSizeF(1.0, 0.8));
    addSilkBox(QRectF(y1.x() - 2.1, y1.y() - 1.7, 4.2, 3.4));
    addSilkText(y1 + QPointF(-3.6, 0), QStringLiteral("Y1"), 1.0);
    for (const auto &[pin, dx] : {std::pair<int, double>{42, 1.15}, std::pair<int, double>{43, -1.15}}) {
        const QPointF from = topPin(pin);
        const QPointF to(y1.x() + dx, y1.y() + 0.85);
        QPolygonF route;
        route << from << QPointF(from.x(), to.y() + 0.45 + std::abs(to.x() - from.x()))
              << QPointF(to.x(), to.y() + 0.45) << to;
        addTrack(Top, route, 0.25);
    }
    addVia(y1 + QPointF(-1.15, -2.2), 0.6, 0.3);
    vias.last().ground = true;
    addTrack(Top, QPolygonF() << y1 + QPointF(-1.15, -0.85) << y1 + QPointF(-1.15, -2.2), 0.3);
    addVia(y1 + QPointF(1.15, -2.2), 0.6, 0.3);
    vias.last().ground = true;
    addTrack(Top, QPolygonF() << y1 + QPointF(1.15, -0.85) << y1 + QPointF(1.15, -2.2), 0.3);

    // Pin 44: the via sits half in the pad.
    const QPointF inPad(topPin(44).x(), topPin(44).y() + 0.3);
    addVia(inPad);
    landmarks.insert(QStringLiteral("fault.viainpad"), inPad);
    const QPointF r5(56, 22);
    addTrack(Bottom, octilinear(inPad, r5 + QPointF(0, 1.25)), 0.25);

    // Pins 45..48 through staggered vias to the EEPROM U3 on the bottom side.
    const QPointF u3(40, 18);
    landmarks.insert(QStringLiteral("U3"), u3);
    for (int k = 0; k < 4; ++k) {
        const QPointF from = topPin(45 + k);
        const QPointF via(from.x(), from.y() - 1.4 - 1.2 * k);
        addTrack(Top, QPolygonF() << from << via, 0.25);
        addVia(via);
        const double pinY = u3.y() + 1.905 - 1.27 * k;
        const QPointF pinEnd(u3.x() + 2.7 + 0.775, pinY);
        const double lift = via.y() - pinY;
        QPolygonF route;
        route << via << QPointF(via.x() - lift, pinY) << pinEnd;
        addTrack(Bottom, route, 0.25);
    }
    for (int k = 0; k < 4; ++k) {
        const double y = u3.y() - 1.905 + 1.27 * k;
        addPad(Bottom, QPointF(u3.x() - 2.7, y), QSizeF(1.55, 0.6));
        addPad(Bottom, QPointF(u3.x() + 2.7, y), QSizeF(1.55, 0.6));
    }

    // Bottom side: pins 15..24 through two staggered rows of vias to J3; 13 is VDD, 14 GND.
    auto bottomPin = [&](int pin) { return QPointF(c.x() + offset(pin - 13), c.y() + padEnd); };
    for (int pin = 15; pin <= 24; ++pin) {
        const QPointF from = bottomPin(pin);
        const QPointF via(from.x(), from.y() + ((pin % 2) ? 1.55 : 2.75));
        addTrack(Top, QPolygonF() << from << via, 0.25);
        addVia(via);
        const QPointF j3pin(58 + (pin - 15) * 2.54, 72);
        const double run = std::abs(j3pin.x() - via.x());
        QPolygonF route;
        route << via << QPointF(via.x(), j3pin.y() - run) << j3pin;
        addTrack(Bottom, route, 0.25);
    }
    const QPointF gndVia(bottomPin(14).x(), bottomPin(14).y() + 4.2);
    addTrack(Top, QPolygonF() << bottomPin(14) << gndVia, 0.3);
    addVia(gndVia);
    vias.last().ground = true;

    // VDD from the regulator U2, on the top layer. It necks down to 0.25 mm for 4 mm (a fault).
    const QPointF vout(16.7 + 0.775, 50.635);
    addTrack(Top, QPolygonF() << vout << QPointF(25, 50.635) << QPointF(28.635, 47) << QPointF(30, 47), 0.8);
    addTrack(Top, QPolygonF() << QPointF(30, 47) << QPointF(34, 47), 0.25);
    landmarks.insert(QStringLiteral("fault.neck"), QPointF(32, 47));
    addTrack(Top, QPolygonF() << QPointF(34, 47) << QPointF(56.6, 47) << QPointF(bottomPin(13).x(), 44.35),
             0.8);
    addTrack(Top, QPolygonF() << QPointF(bottomPin(13).x(), 44.35) << bottomPin(13), 0.3);
}

void SyntheticBoard::addConnectors()
{
    // J1: 1x12 header at the right edge; J2 and J3: 1x10 headers at the bottom edge.
    for (int k = 0; k < 12; ++k) {
        const QPointF p(100, 36 + (5.5 - k) * 2.54);
        addPad(Through, p, QSizeF(1.7, 1.7), k != 11, 1.0);
    }
    addSilkBox(QRectF(98.6, 36 - 6 * 2.54 - 0.3, 2.8, 12 * 2.54 + 0.6));
    addSilkText(QPointF(96.6, 21.0), QStringLiteral("J1"), 1.2);
    landmarks.insert(QStringLiteral("J1"), QPointF(100, 36));
    landmarks.insert(QStringLiteral("J1.1"), QPointF(100, 36 - 5.5 * 2.54));

    for (int k = 0; k < 10; ++k) {
        addPad(Through, QPointF(26 + k * 2.54, 72), QSizeF(1.7, 1.7), k != 0, 1.0);
        addPad(Through, QPointF(58 + k * 2.54, 72), QSizeF(1.7, 1.7), k != 0, 1.0);
    }
    addSilkBox(QRectF(24.6, 70.6, 10 * 2.54 + 0.3, 2.8));
    addSilkBox(QRectF(56.6, 70.6, 10 * 2.54 + 0.3, 2.8));
    addSilkText(QPointF(37.5, 75.2), QStringLiteral("J2"), 1.2);
    addSilkText(QPointF(69.5, 75.2), QStringLiteral("J3"), 1.2);
    landmarks.insert(QStringLiteral("J2"), QPointF(37.4, 72));
    landmarks.insert(QStringLiteral("J3"), QPointF(69.4, 72));

    // Test point TP1 on the top pin of J1, placed too close to the mounting hole H2 (a fault).
    const QPointF top(100, 36 - 5.5 * 2.54);
    const QPointF tp1(112.5, 6.8);
    QPolygonF route;
    route << top << QPointF(100, 18) << QPointF(111.2, 6.8) << tp1;
    addTrack(Top, route, 0.25);
    addPad(Top, tp1, QSizeF(1.5, 1.5), true);
    pads.last().testPoint = true;
    addSilkText(tp1 + QPointF(0, 2.0), QStringLiteral("TP1"), 0.9);
    landmarks.insert(QStringLiteral("TP1"), tp1);

    addSilkText(QPointF(100, 76.2), QStringLiteral("QM-DEMO-01  REV B"), 1.6);
}

// U2, an SOIC-8 regulator fed from the two-pin input J4, with its input and output capacitors.
void SyntheticBoard::addRegulator()
{
    const QPointF u2(14, 50);
    landmarks.insert(QStringLiteral("U2"), u2);
    for (int k = 0; k < 4; ++k) {
        const double y = u2.y() - 1.905 + 1.27 * k;
        addPad(Top, QPointF(u2.x() - 2.7, y), QSizeF(1.55, 0.6));
        addPad(Top, QPointF(u2.x() + 2.7, y), QSizeF(1.55, 0.6));
    }
    addSilkBox(QRectF(u2.x() - 1.95, u2.y() - 2.45, 3.9, 4.9));
    silkLines << (QPolygonF() << QPointF(u2.x() - 1.4, u2.y() - 2.0) << QPointF(u2.x() - 1.0, u2.y() - 2.0));
    addSilkText(u2 + QPointF(0, 3.7), QStringLiteral("U2"), 1.2);

    // J4: input connector.
    addPad(Through, QPointF(5, 47.46), QSizeF(2.0, 2.0), false, 1.1);
    addPad(Through, QPointF(5, 50.0), QSizeF(2.0, 2.0), true, 1.1);
    addSilkBox(QRectF(3.4, 45.9, 3.2, 5.7));
    addSilkText(QPointF(5, 53.2), QStringLiteral("J4"), 1.0);
    landmarks.insert(QStringLiteral("J4"), QPointF(5, 48.7));
    addTrack(Top,
             QPolygonF() << QPointF(5, 47.46) << QPointF(8, 47.46) << QPointF(8.635, 48.095)
                         << QPointF(10.525, 48.095),
             0.8);
    addTrack(Top, QPolygonF() << QPointF(5, 50.0) << QPointF(8, 50.0) << QPointF(8.6, 52.5), 0.8);
    addVia(QPointF(8.6, 52.5), 0.8, 0.4);
    vias.last().ground = true;

    // C1 on the input, C2 on the output.
    addChip(QStringLiteral("C1"), QPointF(14, 43.6), false);
    addTrack(Top, QPolygonF() << QPointF(13.2, 43.6) << QPointF(11.3, 45.5) << QPointF(11.3, 47.8), 0.5);
    addTrack(Top, QPolygonF() << QPointF(14.8, 43.6) << QPointF(16.5, 43.6), 0.5);
    addVia(QPointF(17.1, 43.6));
    vias.last().ground = true;
    addChip(QStringLiteral("C2"), QPointF(21, 52.5), true);
    addTrack(Top, QPolygonF() << QPointF(21, 50.635) << QPointF(21, 51.7), 0.5);
    addTrack(Top, QPolygonF() << QPointF(21, 53.3) << QPointF(21, 54.6), 0.5);
    addVia(QPointF(21, 54.6));
    vias.last().ground = true;
    // Ground pin.
    addTrack(Top, QPolygonF() << QPointF(17.475, 51.905) << QPointF(18.2, 51.905) << QPointF(18.2, 54.0),
             0.5);
    addVia(QPointF(18.2, 54.0));
    vias.last().ground = true;
}

void SyntheticBoard::addPassives()
{
    // Pull-ups above U1, at the ends of their tracks.
    for (int k = 0; k < 4; ++k) {
        const QPointF p(70 + 2.5 * k, 14.4);
        addChip(QStringLiteral("R%1").arg(k + 1), p, true);
        addTrack(Top, QPolygonF() << p + QPointF(0, -0.8) << p + QPointF(0, -2.6), 0.3);
    }
    addTrack(Top, QPolygonF() << QPointF(70, 11.8) << QPointF(77.5, 11.8), 0.5);
    addVia(QPointF(78.8, 11.8));
    addTrack(Top, QPolygonF() << QPointF(77.5, 11.8) << QPointF(78.8, 11.8), 0.5);

    // R5 on the bottom side, fed through the via in pad 44.
    const QPointF r5(56, 22);
    addPad(Bottom, r5 + QPointF(0, -0.8), QSizeF(0.9, 0.95));
    addPad(Bottom, r5 + QPointF(0, 0.8), QSizeF(0.9, 0.95));

    // Decoupling and load capacitors.
    addChip(QStringLiteral("C3"), QPointF(53, 48.6), true);
    addTrack(Top, QPolygonF() << QPointF(53, 47) << QPointF(53, 47.8), 0.5);
    addTrack(Top, QPolygonF() << QPointF(53, 49.4) << QPointF(53, 50.6), 0.5);
    addVia(QPointF(53, 50.6));
    vias.last().ground = true;
    addChip(QStringLiteral("C4"), QPointF(56.2, 27.4), false);
    addTrack(Top, QPolygonF() << QPointF(57.0, 27.4) << QPointF(58.2, 27.4), 0.3);

    // C5: its reference is printed over its own pad (a fault).
    const QPointF c5(68.5, 44.5);
    addPad(Top, c5 + QPointF(-0.8, 0), QSizeF(0.95, 0.9));
    addPad(Top, c5 + QPointF(0.8, 0), QSizeF(0.95, 0.9));
    addSilkText(c5 + QPointF(0.9, 0.1), QStringLiteral("C5"), 0.9);
    landmarks.insert(QStringLiteral("fault.silk"), c5 + QPointF(0.8, 0));
    addTrack(Top, QPolygonF() << c5 + QPointF(-0.8, 0) << c5 + QPointF(-0.8, 1.6), 0.3);
    addVia(c5 + QPointF(-0.8, 1.6));
    vias.last().ground = true;
}

// Ground vias on a regular grid wherever both layers leave room, as a pour would get them.
void SyntheticBoard::addGroundStitching()
{
    for (double y = 7.5; y < 78; y += 5.0) {
        for (double x = 7.5; x < 118; x += 5.0) {
            const QPointF p(x, y);
            if (!bottomPour.containsPoint(p, Qt::OddEvenFill))
                continue;
            if (clearance(p, Top) < 1.5 || clearance(p, Bottom) < 1.5)
                continue;
            // Not under a part body either.
            const bool underPart =
                std::any_of(silkLines.cbegin(), silkLines.cend(), [&p](const QPolygonF &line) {
                    return line.size() == 5 && line.boundingRect().adjusted(-0.8, -0.8, 0.8, 0.8).contains(p);
                });
            if (underPart)
                continue;
            addVia(p, 0.6, 0.3);
            vias.last().ground = true;
        }
    }
}

void SyntheticBoard::addTrack(Side side, const QPolygonF &points, double width)
{
    tracks.append({side, points, width});
}

void SyntheticBoard::addPad(Side side, const QPointF &centre, const QSizeF &size, bool round, double drill)
{
    const QRectF rect(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(),
                      size.height());
    pads.append({side, rect, round, drill, false});
}

void SyntheticBoard::addVia(const QPointF &centre, double diameter, double drill)
{
    vias.append({centre, diameter, drill, false});
}

void SyntheticBoard::addSilkBox(const QRectF &box)
{
    silkLines << (QPolygonF() << box.topLeft() << box.topRight() << box.bottomRight() << box.bottomLeft()
                              << box.topLeft());
}

void SyntheticBoard::addSilkText(const QPointF &centre, const QString &text, double height, double rotation)
{
    silkTexts.append({centre, text, height, rotation});
}

// A 0603 chip part with its outline and reference.
void SyntheticBoard::addChip(const QString &refdes, const QPointF &centre, bool vertical)
{
    const QPointF step = vertical ? QPointF(0, 0.8) : QPointF(0.8, 0);
    const QSizeF pad = vertical ? QSizeF(0.9, 0.95) : QSizeF(0.95, 0.9);
    addPad(Top, centre - step, pad);
    addPad(Top, centre + step, pad);
    const QRectF box = vertical ? QRectF(centre.x() - 0.75, centre.y() - 1.45, 1.5, 2.9)
                                : QRectF(centre.x() - 1.45, centre.y() - 0.75, 2.9, 1.5);
    addSilkBox(box);
    const QPointF label = vertical ? centre + QPointF(-1.7, 0) : centre + QPointF(0, -1.5);
    addSilkText(label, refdes, 0.8, vertical ? -90.0 : 0.0);
    landmarks.insert(refdes, centre);
}

double SyntheticBoard::clearance(const QPointF &p, Side side) const
{
    double best = 1e9;
    for (const Track &t : tracks) {
        if (t.side != side)
            continue;
        for (int i = 1; i < t.points.size(); ++i)
            best = std::min(best, distanceToSegment(p, t.points[i - 1], t.points[i]) - t.width / 2);
    }
    for (const Pad &pad : pads) {
        if (!(pad.side & side))
            continue;
        const QRectF r = pad.rect;
        const double dx = std::max({r.left() - p.x(), 0.0, p.x() - r.right()});
        const double dy = std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()});
        best = std::min(best, std::hypot(dx, dy));
    }
    for (const Via &v : vias)
        best = std::min(best, QLineF(p, v.centre).length() - v.diameter / 2);
    return best;
}

QPointF SyntheticBoard::toPicture(const QRectF &view, const QSize &size, const QPointF &boardPoint)
{
    const double scale = std::min(size.width() / view.width(), size.height() / view.height());
    const QPointF origin((size.width() - view.width() * scale) / 2,
                         (size.height() - view.height() * scale) / 2);
    return origin + (boardPoint - view.topLeft()) * scale;
}

QImage SyntheticBoard::render(const QRectF &view, const QSize &size, const QList<DsvLayer> &layers) const
{
    const QColor background(16, 20, 24);
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(size.width() / view.width(), size.height() / view.height());
    p.translate(toPicture(view, size, QPointF(0, 0)));
    p.scale(scale, scale);

    const DsvLayer *top = findLayer(layers, QStringLiteral("Wiring1"));
    const DsvLayer *bottom = findLayer(layers, QStringLiteral("Wiring2"));
    const DsvLayer *silk = findLayer(layers, QStringLiteral("SilkTop"));
    const DsvLayer *edge = findLayer(layers, QStringLiteral("Outline"));

    auto stroke = [&p](const QPolygonF &points, const QColor &colour, double width) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(points);
    };
    auto fillPad = [&p](const QRectF &r, bool round, const QColor &colour, double grow) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        const QRectF g = r.adjusted(-grow, -grow, grow, grow);
        if (round)
            p.drawEllipse(g);
        else
            p.drawRect(g);
    };

    auto drawCopper = [&](Side side, const DsvLayer &layer, bool pour) {
        const int alpha = layer.alphaval;
        if (pour && layer.areavisible) {
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(layer.areacol, alpha));
            p.drawPolygon(bottomPour);
            // Keep-outs around everything that is not ground.
            for (const Track &t : tracks) {
                if (t.side == side)
                    stroke(t.points, background, t.width + 2 * GroundClearance);
            }
            for (const Pad &pad : pads) {
                if (pad.side & side)
                    fillPad(pad.rect, pad.round, background, GroundClearance);
            }
            for (const Via &v : vias) {
                if (!v.ground) {
                    const double r = v.diameter / 2 + GroundClearance;
                    fillPad(QRectF(v.centre.x() - r, v.centre.y() - r, 2 * r, 2 * r), true, background, 0);
                }
            }
        }
        if (layer.routevisible) {
            for (const Track &t : tracks) {
                if (t.side == side)
                    stroke(t.points, withAlpha(layer.routecol, alpha), t.width);
            }
        }
        for (const Pad &pad : pads) {
            if (!(pad.side & side))
                continue;
            if (pad.testPoint) {
                if (layer.testptvisible)
                    fillPad(pad.rect, pad.round, withAlpha(layer.testptcol, alpha), 0);
            } else if (layer.padvisible) {
                fillPad(pad.rect, pad.round, withAlpha(layer.padcol, alpha), 0);
            }
        }
    };

    if (bottom)
        drawCopper(Bottom, *bottom, true);
    if (top)
        drawCopper(Top, *top, false);

    // Vias and drill holes go through both layers; they take the colour of the upper shown layer.
    const DsvLayer *viaLayer =
        (top && top->viavisible) ? top : ((bottom && bottom->viavisible) ? bottom : nullptr);
    if (viaLayer) {
        for (const Via &v : vias) {
            const double r = v.diameter / 2;
            fillPad(QRectF(v.centre.x() - r, v.centre.y() - r, 2 * r, 2 * r), true,
                    withAlpha(viaLayer->viacol, viaLayer->alphaval), 0);
        }
    }
    if (top || bottom) {
        for (const Via &v : vias) {
            const double r = v.drill / 2;
            fillPad(QRectF(v.centre.x() - r, v.centre.y() - r, 2 * r, 2 * r), true, background, 0);
        }
        for (const Pad &pad : pads) {
            if (pad.drill > 0) {
                const QPointF c = pad.rect.center();
                const double r = pad.drill / 2;
                fillPad(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), true, background, 0);
            }
        }
    }

    if (silk && silk->figurevisible) {
        for (const QPolygonF &line : silkLines)
            stroke(line, withAlpha(silk->figurecol, silk->alphaval), 0.15);
    }
    if (silk && silk->textvisible) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(100);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(silk->textcol, silk->alphaval));
        for (const SilkText &t : silkTexts) {
            QPainterPath glyphs;
            glyphs.addText(0, 0, font, t.text);
            const QRectF box = glyphs.boundingRect();
            QTransform place;
            place.translate(t.centre.x(), t.centre.y());
            place.rotate(t.rotation);
            place.scale(t.height / 72.0, t.height / 72.0); // cap height of the 100 px font
            place.translate(-box.center().x(), -box.center().y());
            p.drawPath(place.map(glyphs));
        }
    }
    if (edge && edge->figurevisible)
        stroke(outline, withAlpha(edge->figurecol, edge->alphaval), 0.25);
    return image;
}

QList<DsvLayer> SyntheticBoard::reviewLayers()
{
    DsvLayer top;
    top.number = 1;
    top.name = QStringLiteral("Wiring1");
    top.comment = QStringLiteral("Top copper");
    top.allcol = QColor(216, 58, 58);
    top.routecol = QColor(216, 58, 58);
    top.coppercol = QColor(216, 58, 58);
    top.padcol = QColor(240, 138, 75);
    top.ncpadcol = QColor(190, 190, 190);
    top.viacol = QColor(224, 192, 64);
    top.testptcol = QColor(64, 224, 224);
    top.areacol = QColor(176, 48, 48);
    top.figurecol = QColor(216, 58, 58);
    top.textcol = QColor(216, 58, 58);
    top.fillbrush = 1;
    top.type = 1;

    DsvLayer bottom = top;
    bottom.number = 2;
    bottom.name = QStringLiteral("Wiring2");
    bottom.comment = QStringLiteral("Bottom copper");
    bottom.allcol = QColor(58, 120, 216);
    bottom.routecol = QColor(58, 120, 216);
    bottom.coppercol = QColor(58, 120, 216);
    bottom.padcol = QColor(90, 160, 255);
    bottom.areacol = QColor(31, 63, 122);
    bottom.figurecol = QColor(58, 120, 216);
    bottom.textcol = QColor(58, 120, 216);
    bottom.fillbrush = 2;
    bottom.alphaval = 200;

    DsvLayer silk;
    silk.number = 21;
    silk.name = QStringLiteral("SilkTop");
    silk.comment = QStringLiteral("Silkscreen, component side");
    silk.allcol = QColor(240, 240, 240);
    silk.figurecol = QColor(240, 240, 240);
    silk.textcol = QColor(240, 240, 240);
    silk.padvisible = false;
    silk.ncpadvisible = false;
    silk.routevisible = false;
    silk.coppervisible = false;
    silk.viavisible = false;
    silk.testptvisible = false;
    silk.areavisible = false;
    silk.type = 7;

    DsvLayer edge;
    edge.number = 30;
    edge.name = QStringLiteral("Outline");
    edge.comment = QStringLiteral("Board outline");
    edge.allcol = QColor(240, 208, 0);
    edge.figurecol = QColor(240, 208, 0);
    edge.textvisible = false;
    edge.type = 9;
    edge.selectcol = QColor(255, 255, 0);

    return {top, bottom, silk, edge};
}
