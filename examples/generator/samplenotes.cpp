#include "examples/generator/samplenotes.h"

#include "examples/generator/syntheticboard.h"
#include "io/pagemodel.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/notesconstants.h"
#include "scene/noteslineitem.h"
#include "scene/notespictureitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notesscene.h"
#include "scene/notestextitem.h"

#include <QPixmap>
#include <QPolygonF>
#include <QStandardItemModel>

#include <cmath>

namespace Sample {

namespace {

const QSize PictureSize(900, 600);

const QColor Yellow(255, 221, 0);
const QColor Magenta(255, 64, 200);
const QColor Cyan(0, 230, 255);
const QColor Green(60, 230, 90);
const QColor White(255, 255, 255);

// Coordinates in the file are kept to a tenth of a pixel, as a reviewer's gestures would give.
double tenth(double v)
{
    return std::round(v * 10.0) / 10.0;
}

QPointF tenth(const QPointF &p)
{
    return QPointF(tenth(p.x()), tenth(p.y()));
}

QFont font(const QString &family, double pointSize, bool bold = false)
{
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QFont pixelFont(const QString &family, int pixelSize, bool italic)
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setItalic(italic);
    return f;
}

const QString Sans = QStringLiteral("DejaVu Sans");
const QString Mono = QStringLiteral("DejaVu Sans Mono");

// A hand-drawn loop around centre: a slightly wobbling ellipse whose end overshoots its start.
QPainterPath freehandLoop(const QPointF &centre, double rx, double ry)
{
    QPainterPath path;
    const double start = 0.4;
    const int steps = 64;
    for (int i = 0; i <= steps; ++i) {
        const double t = start + (2 * M_PI + 0.45) * i / steps;
        const double wobble = 1.0 + 0.05 * std::sin(5 * t) + 0.025 * std::sin(11 * t + 1.0);
        const QPointF p = tenth(centre + QPointF(rx * wobble * std::cos(t), ry * wobble * std::sin(t)));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

// A hand-drawn tick mark with its lower corner at corner.
QPainterPath freehandTick(const QPointF &corner)
{
    QPainterPath path;
    const QPointF start = corner + QPointF(-16, -20);
    const QPointF end = corner + QPointF(38, -52);
    path.moveTo(tenth(start));
    for (int i = 1; i <= 8; ++i) {
        const double s = i / 8.0;
        path.lineTo(tenth(start + (corner - start) * s + QPointF(1.2 * std::sin(3 * s), 0)));
    }
    for (int i = 1; i <= 14; ++i) {
        const double s = i / 14.0;
        path.lineTo(tenth(corner + (end - corner) * s + QPointF(0, 1.5 * std::sin(5 * s))));
    }
    return path;
}

QPainterPath polyline(const QPolygonF &points)
{
    QPolygonF rounded;
    for (const QPointF &p : points)
        rounded << tenth(p);
    QPainterPath path;
    path.addPolygon(rounded);
    return path;
}

QRectF circleAround(const QPointF &centre, double radius)
{
    return QRectF(tenth(centre - QPointF(radius, radius)), QSizeF(2 * radius, 2 * radius));
}

Picture hostPicture(const SyntheticBoard &board, const QRectF &view, const QList<DsvLayer> &layers)
{
    Picture picture;
    picture.image = board.render(view, PictureSize, layers);
    picture.hasLayers = true;
    picture.layers = layers;
    return picture;
}

Shape box(const QRectF &rect, const QColor &color, int width, Qt::PenStyle style, const QPointF &pos = {})
{
    Shape shape;
    shape.rect = rect;
    shape.color = color;
    shape.width = width;
    shape.style = style;
    shape.pos = pos;
    return shape;
}

Shape line(const QPainterPath &path, const QColor &color, int width, Qt::PenStyle style,
           const QPointF &pos = {})
{
    Shape shape;
    shape.path = path;
    shape.color = color;
    shape.width = width;
    shape.style = style;
    shape.pos = pos;
    return shape;
}

Page overviewPage(const SyntheticBoard &board)
{
    const QRectF view(0, 0, 120, 80);
    auto at = [&](double x, double y) {
        return tenth(SyntheticBoard::toPicture(view, PictureSize, QPointF(x, y)));
    };

    Page page;
    page.title = QStringLiteral("Board overview: top side");
    page.date = QStringLiteral("04.03.2024 09:12");
    page.comment =
        QStringLiteral("<p>First pass over <b>QM-DEMO-01 rev B</b>, top side with the bottom pour shown.</p>"
                       "<ul><li>U1 fan-out: via in pad on pin 44 (page 2)</li>"
                       "<li>VDD from U2 necks down to 0.25&nbsp;mm (page 3)</li>"
                       "<li>TP1 sits inside the keep-out of H2 (page 4)</li></ul>");
    page.viewRect = view;
    page.pictures << hostPicture(board, view, SyntheticBoard::reviewLayers());

    page.rectangles << box(QRectF(at(55, 29), at(69, 43)), Yellow, 3, Qt::SolidLine);
    page.texts << Text{QStringLiteral("<b>U1 fan-out</b>, see page 2"), font(Sans, 12), Yellow,
                       at(70.5, 26.5), 0};

    const QPointF tp1 =
        at(board.landmark(QStringLiteral("TP1")).x(), board.landmark(QStringLiteral("TP1")).y());
    const QPointF h2 = at(board.landmark(QStringLiteral("H2")).x(), board.landmark(QStringLiteral("H2")).y());
    const QPointF middle = (tp1 + h2) / 2;
    page.circles << box(circleAround(middle, 36), Magenta, 3, Qt::DashLine);
    page.arrows << Arrow{QLineF(middle + QPointF(-27, 25), QPointF(752, 128)), Magenta, QPointF()};
    page.texts << Text{QStringLiteral("TP1 inside the H2 keep-out (page 4)"), font(Sans, 12), Magenta,
                       QPointF(505, 128), 0};

    const QPointF neck = at(board.landmark(QStringLiteral("fault.neck")).x(),
                            board.landmark(QStringLiteral("fault.neck")).y());
    page.arrows << Arrow{QLineF(neck + QPointF(-4, 8), neck + QPointF(-44, 72)), Yellow, QPointF()};
    page.texts << Text{QStringLiteral("VDD necks down (page 3)"), font(Sans, 12), Yellow,
                       neck + QPointF(-130, 74), 0};
    return page;
}

Page fanOutPage(const SyntheticBoard &board)
{
    const QRectF view(50, 26, 24, 16);
    auto at = [&](const QPointF &p) { return tenth(SyntheticBoard::toPicture(view, PictureSize, p)); };

    Page page;
    page.title = QStringLiteral("U1 fan-out: via in pad");
    page.date = QStringLiteral("04.03.2024 09:27");
    page.comment = QStringLiteral(
        "<p>The via of pin 44 sits half in its pad. Unplugged, it wicks solder away from the joint "
        "during reflow.</p><p><b>Action:</b> move the via 0.9&nbsp;mm up, next to the crystal lines, "
        "or order filled and capped vias for the whole board.</p>"
        "<p>The twelve lines to J1 keep 0.25&nbsp;mm clearance everywhere.</p>");
    page.viewRect = view;
    page.pictures << hostPicture(board, view, SyntheticBoard::reviewLayers());

    const QPointF via = at(board.landmark(QStringLiteral("fault.viainpad")));
    page.circles << box(circleAround(via, 34), Cyan, 4, Qt::SolidLine);
    page.texts << Text{QStringLiteral("<b>Via in pad</b> on pin 44:<br>plug and cap it, or move it out"),
                       font(Sans, 13), Cyan, QPointF(590, 36), 0};
    page.arrows << Arrow{QLineF(via + QPointF(26, -22), QPointF(590, 70)), Cyan, QPointF()};

    // The suggested new place for the via: a route up out of the pad and a box where the via goes.
    const QPointF padEnd = at(QPointF(61.25, 30.95));
    page.polylines << line(
        polyline(QPolygonF() << padEnd << padEnd + QPointF(0, -26) << padEnd + QPointF(22, -48)), Green, 3,
        Qt::DashLine);
    const QPointF target = padEnd + QPointF(34, -60);
    page.polylines << line(polyline(QPolygonF() << target + QPointF(-12, -12) << target + QPointF(12, -12)
                                                << target + QPointF(12, 12) << target + QPointF(-12, 12)
                                                << target + QPointF(-12, -12)),
                           Green, 2, Qt::SolidLine);

    page.freehandLines << line(freehandTick(QPointF(720, 500)), Green, 4, Qt::SolidLine);
    page.texts << Text{QStringLiteral("fan-out to J1 ok"), font(Sans, 12), Green, QPointF(765, 448), 0};
    page.texts << Text{QStringLiteral("QFP-48, 0.5 mm pitch"), pixelFont(Sans, 18, true), White,
                       QPointF(66, 560), -90};
    return page;
}

Page regulatorPage(const SyntheticBoard &board)
{
    const QRectF view(4, 40, 36, 24);
    auto at = [&](const QPointF &p) { return tenth(SyntheticBoard::toPicture(view, PictureSize, p)); };

    // The bottom layer is switched off to follow VDD on the top layer.
    QList<DsvLayer> layers = SyntheticBoard::reviewLayers();
    for (DsvLayer &layer : layers) {
        if (layer.name == QLatin1String("Wiring2")) {
            layer.routevisible = false;
            layer.padvisible = false;
            layer.viavisible = false;
            layer.areavisible = false;
            layer.testptvisible = false;
        }
    }

    Page page;
    page.title = QStringLiteral("VDD neck between U2 and U1");
    page.date = QStringLiteral("04.03.2024 10:05");
    page.comment = QStringLiteral(
        "<p>Bottom layer hidden. The 0.8&nbsp;mm VDD trace from U2 necks down to <b>0.25&nbsp;mm</b> for "
        "about 4&nbsp;mm where it passes the via field of the left fan-out.</p>"
        "<p>U2 is rated 1.2&nbsp;A; at 0.25&nbsp;mm and 35&nbsp;&micro;m copper the neck heats by more "
        "than 30&nbsp;K. <b>Action:</b> keep 0.8&nbsp;mm all the way, the vias leave room for it.</p>");
    page.viewRect = view;
    page.pictures << hostPicture(board, view, layers);

    const QPointF neck = at(board.landmark(QStringLiteral("fault.neck")));
    page.freehandLines << line(freehandLoop(neck, 78, 30), Yellow, 4, Qt::SolidLine);
    page.texts << Text{QStringLiteral("<b>0.25 mm</b> over 4 mm.<br>U2 delivers up to 1.2 A: keep 0.8 mm."),
                       font(Sans, 13), Yellow, neck + QPointF(-150, 60), 0};
    page.arrows << Arrow{QLineF(neck + QPointF(30, 26), neck + QPointF(96, 110)), Yellow, QPointF()};

    // Drawn at the origin and moved into place, as a reviewer drags a rectangle.
    const QPointF corner = at(QPointF(10.5, 46.5));
    page.rectangles << box(QRectF(0, 0, 300, 200), White, 2, Qt::DotLine, corner);
    page.texts << Text{QStringLiteral("U2 and C2 placement ok"), pixelFont(Sans, 18, true), White,
                       corner + QPointF(10, 206), 0};
    return page;
}

Page clearancePage(const SyntheticBoard &board)
{
    const QRectF view(85, -2, 36, 24);
    auto at = [&](const QPointF &p) { return tenth(SyntheticBoard::toPicture(view, PictureSize, p)); };

    Page page;
    page.title = QStringLiteral("TP1 inside the keep-out of H2");
    page.date = QStringLiteral("05.03.2024 14:40");
    page.comment =
        QStringLiteral("<p>TP1 is 0.73&nbsp;mm from the plated ring of H2; the rule for mounting holes is "
                       "1.5&nbsp;mm, and the screw head covers it anyway.</p>"
                       "<p><b>Action:</b> move TP1 1&nbsp;mm down and to the left along its track.</p>");
    page.viewRect = view;
    page.pictures << hostPicture(board, view, SyntheticBoard::reviewLayers());

    const QPointF tp1Board = board.landmark(QStringLiteral("TP1"));
    const QPointF h2Board = board.landmark(QStringLiteral("H2"));
    const QPointF tp1 = at(tp1Board);
    const QPointF h2 = at(h2Board);
    const double scale = PictureSize.width() / view.width();
    page.circles << box(circleAround(tp1, 1.5 * scale), Magenta, 3, Qt::SolidLine);
    page.circles << box(circleAround(h2, 4.5 * scale), Yellow, 2, Qt::DashDotDotLine);

    // A dimension line across the gap, with end ticks.
    const QPointF direction = (h2Board - tp1Board) / QLineF(tp1Board, h2Board).length();
    const QPointF normal(-direction.y() * 8, direction.x() * 8);
    const QPointF from = at(tp1Board + direction * 0.75);
    const QPointF to = at(h2Board - direction * 3.0);
    page.polylines << line(
        polyline(QPolygonF() << from + normal << from - normal << from << to << to + normal << to - normal),
        White, 2, Qt::SolidLine);

    page.texts << Text{
        QStringLiteral("0.73 mm to the H2 ring; the rule is 1.5 mm.<br>Move TP1 down-left by 1 mm."),
        font(Sans, 12), Magenta, QPointF(300, 262), 0};
    page.arrows << Arrow{QLineF(tp1 + QPointF(-34, 30), QPointF(520, 262)), Magenta, QPointF()};
    return page;
}

Page screenshotPage(const SyntheticBoard &board)
{
    // Two screenshots pasted from the clipboard: no view rectangle, no layer settings.
    const QSize half(440, 600);
    const QRectF view(93.5, 19.0, 13.0, 13.0 * 600 / 440);
    QList<DsvLayer> topOnly, bottomOnly;
    for (const DsvLayer &layer : SyntheticBoard::reviewLayers()) {
        if (layer.name != QLatin1String("Wiring2"))
            topOnly << layer;
        if (layer.name != QLatin1String("Wiring1") && layer.name != QLatin1String("SilkTop"))
            bottomOnly << layer;
    }

    Page page;
    page.title = QStringLiteral("J1 from both sides");
    page.date = QStringLiteral("05.03.2024 15:02");
    page.comment = QStringLiteral("<p>Screenshots of J1 pasted from the viewer, top side left, bottom side "
                                  "right. Pin 1 (square pad) carries the TP1 line.</p>");
    page.viewRect = QRectF();
    Picture left;
    left.image = board.render(view, half, topOnly);
    Picture right;
    right.pos = QPointF(460, 0);
    right.image = board.render(view, half, bottomOnly);
    page.pictures << left << right;

    const QPointF pin1 = tenth(SyntheticBoard::toPicture(view, half, board.landmark(QStringLiteral("J1.1"))));
    page.rectangles << box(circleAround(pin1, 36), Green, 3, Qt::SolidLine);
    page.rectangles << box(circleAround(pin1 + QPointF(460, 0), 36), Green, 3, Qt::DashLine);
    page.texts << Text{QStringLiteral("top side"), font(Sans, 12, true), White, QPointF(12, 8), 0};
    page.texts << Text{QStringLiteral("bottom side"), font(Sans, 12, true), White, QPointF(472, 8), 0};
    QFont mono = font(Mono, 11);
    mono.setUnderline(true);
    page.texts << Text{QStringLiteral("J1.1 = 3V3_SENSE, TP1 hangs off it"), mono, Green, QPointF(20, 556),
                       0};
    return page;
}

// The writer stores the topmost item of a kind first, and items of equal stacking value stack in
// the order they are added; adding each kind last-first therefore stores it in the listed order.
template <class T, class Make> void addReversed(QGraphicsScene *scene, const QList<T> &list, Make make)
{
    for (auto it = list.crbegin(); it != list.crend(); ++it)
        scene->addItem(make(*it));
}

} // namespace

QList<Page> pages()
{
    const SyntheticBoard board;
    return {overviewPage(board), fanOutPage(board), regulatorPage(board), clearancePage(board),
            screenshotPage(board)};
}

void addPages(QStandardItemModel &model, const QList<Page> &pages)
{
    for (const Page &page : pages) {
        auto *scene = new NotesScene;
        addReversed(scene, page.pictures, [](const Picture &p) {
            auto *item = new NotesPictureItem(QPixmap::fromImage(p.image));
            item->setFlags(QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
            item->setData(PictureHasLayersKey, p.hasLayers);
            if (p.hasLayers)
                item->setData(PictureLayersKey, layerListToMap(p.layers));
            item->setPos(p.pos);
            return item;
        });
        addReversed(scene, page.texts, [](const Text &t) {
            auto *item = new NotesTextItem;
            item->setFont(t.font);
            item->setDefaultTextColor(t.color);
            item->setHtml(t.html);
            // Stored in the form a read-back document gives: HTML parsed once more states some
            // character formats (pixel sizes) explicitly that the first conversion leaves implicit,
            // and the file should not change when it is opened and saved again.
            item->setHtml(item->toHtml());
            item->setPos(t.pos);
            item->setRotation(t.rotation);
            return item;
        });
        addReversed(scene, page.arrows,
                    [](const Arrow &a) { return new NotesArrow(a.line, a.color, a.pos); });
        auto placed = [](QGraphicsItem *item, const Shape &s) {
            item->setPos(s.pos);
            return item;
        };
        addReversed(scene, page.circles, [&](const Shape &s) {
            return placed(new NotesCircleItem(s.rect, s.color, s.width, s.style), s);
        });
        addReversed(scene, page.rectangles, [&](const Shape &s) {
            return placed(new NotesRectangleItem(s.rect, s.color, s.width, s.style), s);
        });
        addReversed(scene, page.freehandLines, [&](const Shape &s) {
            return placed(new NotesLineItem(s.path, s.color, s.width, s.style), s);
        });
        addReversed(scene, page.polylines, [&](const Shape &s) {
            return placed(new NotesPolyLineItem(s.path, s.color, s.width, s.style), s);
        });

        auto *sceneItem = new QStandardItem;
        sceneItem->setData(QVariant::fromValue(scene), ::Page::SceneRole);
        sceneItem->setData(page.viewRect, ::Page::ViewRectRole);
        model.appendRow({new QStandardItem(page.title), sceneItem, new QStandardItem(page.date),
                         new QStandardItem(page.comment)});
    }
}

void deleteScenes(QStandardItemModel &model)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (QStandardItem *item = model.item(row, ::Page::SceneColumn)) {
            delete qvariant_cast<QGraphicsScene *>(item->data(::Page::SceneRole));
            item->setData(QVariant(), ::Page::SceneRole);
        }
    }
}

} // namespace Sample
