// Draws the window's icons with QPainter and writes them as PNG files.
//
//   quill_icongen <output-dir>                 write every icon into <output-dir>
//   quill_icongen --sheet <file.png> <icon-dir> compose a contact sheet of the icons in <icon-dir>
//
// The PNGs are committed under resources/icons; this tool is only run when a drawing changes
// (build target quill_regenerate_icons). All drawings share one style: dark rounded strokes on a
// transparent background with a single accent colour, drawn on a 48-unit grid so they stay crisp at
// the toolbars' 24 x 24.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>
#include <QtMath>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor kInk(0x26, 0x32, 0x38);
const QColor kAccent(0x1e, 0x78, 0xd2);
const QColor kPaper(0xff, 0xff, 0xff);

QColor accentWash()
{
    QColor c = kAccent;
    c.setAlpha(70);
    return c;
}

QPen inkPen(qreal width)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A filled arrow head whose point is at `tip`, pointing away from `from`.
QPolygonF arrowHead(QPointF tip, QPointF from, qreal length, qreal halfWidth)
{
    const QPointF d = tip - from;
    const qreal len = qSqrt(d.x() * d.x() + d.y() * d.y());
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const QPointF base = tip - u * length;
    return QPolygonF({tip, base + n * halfWidth, base - n * halfWidth});
}

void drawHead(QPainter &p, QPointF tip, QPointF from, qreal length, qreal halfWidth)
{
    p.setPen(inkPen(2.5));
    p.setBrush(kAccent);
    p.drawPolygon(arrowHead(tip, from, length, halfWidth));
}

// Text drawn as a path and fitted to the ink box, so glyph metrics of the font don't matter.
void drawGlyphs(QPainter &p, const QString &text, const QFont &font, const QRectF &box, const QBrush &brush)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    const qreal s = qMin(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(s, s);
    t.translate(-b.center().x(), -b.center().y());
    p.fillPath(t.map(path), brush);
}

QFont sansBold()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(100);
    return f;
}

// ---- tool toolbar -------------------------------------------------------------------------

void drawPointer(QPainter &p)
{
    const QPolygonF cursor({{14, 5}, {14, 38}, {21.5, 31}, {27, 43}, {33, 40.5}, {27.5, 28.5}, {37.5, 28.5}});
    p.setPen(inkPen(3));
    p.setBrush(kAccent);
    p.drawPolygon(cursor);
}

void drawArrowTool(QPainter &p)
{
    p.setPen(inkPen(4.5));
    p.drawLine(QPointF(8, 40), QPointF(30, 18));
    drawHead(p, QPointF(41, 7), QPointF(8, 40), 17, 9);
}

void drawTextTool(QPainter &p)
{
    drawGlyphs(p, QStringLiteral("A"), sansBold(), QRectF(3, 9, 30, 32), kInk);
    // Text caret
    p.setPen(QPen(kAccent, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(40, 7), QPointF(40, 43));
    p.drawLine(QPointF(35, 6), QPointF(45, 6));
    p.drawLine(QPointF(35, 44), QPointF(45, 44));
}

void drawCircleTool(QPainter &p)
{
    p.setPen(inkPen(4));
    p.setBrush(accentWash());
    p.drawEllipse(QPointF(24, 24), 17.5, 17.5);
}

void drawRectangleTool(QPainter &p)
{
    p.setPen(inkPen(4));
    p.setBrush(accentWash());
    p.drawRoundedRect(QRectF(5, 10, 38, 28), 7, 7);
}

void drawVertex(QPainter &p, QPointF c)
{
    p.setPen(inkPen(2));
    p.setBrush(kAccent);
    p.drawRect(QRectF(c.x() - 4, c.y() - 4, 8, 8));
}

void drawPolyLineTool(QPainter &p)
{
    const QPolygonF line({{6, 40}, {16, 12}, {31, 34}, {42, 8}});
    p.setPen(inkPen(4));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    for (const QPointF &v : line)
        drawVertex(p, v);
}

void drawFreehandTool(QPainter &p)
{
    QPainterPath path(QPointF(5, 34));
    path.cubicTo(QPointF(9, 10), QPointF(20, 6), QPointF(22, 22));
    path.cubicTo(QPointF(24, 38), QPointF(34, 42), QPointF(37, 26));
    path.cubicTo(QPointF(38, 20), QPointF(40, 16), QPointF(43, 14));
    p.setPen(inkPen(4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    // Pen tip at the end of the stroke
    p.setPen(inkPen(2));
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(5, 34), 4.5, 4.5);
}

// ---- main toolbar -------------------------------------------------------------------------

void drawPdf(QPainter &p)
{
    QPainterPath page(QPointF(9, 4));
    page.lineTo(29, 4);
    page.lineTo(39, 14);
    page.lineTo(39, 44);
    page.lineTo(9, 44);
    page.closeSubpath();
    p.setPen(inkPen(3));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{29, 4}, {29, 14}, {39, 14}}));

    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(3, 21, 42, 17), 3, 3);
    drawGlyphs(p, QStringLiteral("PDF"), sansBold(), QRectF(7, 24.5, 34, 10), kPaper);
}

void drawShrink(QPainter &p)
{
    // Content in the middle, the view extent pulled in to it from the corners.
    p.setPen(inkPen(2.5));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(17, 17, 14, 14), 2.5, 2.5);

    p.setPen(inkPen(4));
    p.setBrush(Qt::NoBrush);
    const qreal in = 15; // where the arrows stop, measured from each corner
    const QPointF corners[] = {{4, 4}, {44, 4}, {44, 44}, {4, 44}};
    for (const QPointF &c : corners) {
        const QPointF dir((c.x() < 24) ? 1 : -1, (c.y() < 24) ? 1 : -1);
        const QPointF tip = c + dir * (in - 3);
        p.drawLine(c, tip);
        // Open chevron head on the inner end
        p.drawPolyline(QPolygonF({tip - QPointF(dir.x() * 8, 0), tip, tip - QPointF(0, dir.y() * 8)}));
    }
}

void drawRemove(QPainter &p)
{
    // Bin with its lid
    QPainterPath body(QPointF(12, 14));
    body.lineTo(36, 14);
    body.lineTo(33.5, 43);
    body.lineTo(14.5, 43);
    body.closeSubpath();
    p.setPen(inkPen(3.5));
    p.setBrush(accentWash());
    p.drawPath(body);
    p.drawLine(QPointF(20, 21), QPointF(20.8, 36));
    p.drawLine(QPointF(28, 21), QPointF(27.2, 36));

    p.setPen(inkPen(4));
    p.drawLine(QPointF(7, 10), QPointF(41, 10));
    p.setPen(inkPen(3.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{18.5, 9}, {20, 4.5}, {28, 4.5}, {29.5, 9}}));
}

void drawBold(QPainter &p)
{
    drawGlyphs(p, QStringLiteral("B"), sansBold(), QRectF(11, 6, 26, 36), kInk);
}

void drawItalic(QPainter &p)
{
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setItalic(true);
    f.setBold(true);
    f.setPixelSize(100);
    drawGlyphs(p, QStringLiteral("I"), f, QRectF(10, 6, 28, 36), kInk);
}

void drawUnderline(QPainter &p)
{
    drawGlyphs(p, QStringLiteral("U"), sansBold(), QRectF(11, 3, 26, 31), kInk);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(8, 38, 32, 5), 1.5, 1.5);
}

// A curved arrow; mirrored gives redo.
void drawTurnArrow(QPainter &p, bool mirrored)
{
    if (mirrored) {
        p.translate(48, 0);
        p.scale(-1, 1);
    }
    QPainterPath path(QPointF(40, 40));
    path.cubicTo(QPointF(42, 26), QPointF(34, 17), QPointF(19, 17));
    p.setPen(inkPen(4.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    drawHead(p, QPointF(4, 17), QPointF(19, 17), 16, 10);
}

void drawUndo(QPainter &p)
{
    drawTurnArrow(p, false);
}

void drawRedo(QPainter &p)
{
    drawTurnArrow(p, true);
}

// ---- colour buttons (42 x 43; the window paints the chosen colour as a band below) ---------

void drawTextColor(QPainter &p)
{
    drawGlyphs(p, QStringLiteral("A"), sansBold(), QRectF(2, 2, 38, 39), kInk);
}

void drawLineColor(QPainter &p)
{
    // A pencil lying from the lower left to the upper right.
    p.translate(21, 21.5);
    p.rotate(-45);
    const qreal half = 7.5;
    const QPolygonF body({{-8, -half}, {18, -half}, {18, half}, {-8, half}});
    const QPolygonF tip({{-8, -half}, {-23, 0}, {-8, half}});
    p.setPen(inkPen(3.5));
    p.setBrush(kPaper);
    p.drawPolygon(tip);
    p.setBrush(accentWash());
    p.drawPolygon(body);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({{-17.5, -2.8}, {-23, 0}, {-17.5, 2.8}}));
    p.setPen(inkPen(3.5));
    p.drawLine(QPointF(11, -half), QPointF(11, half));
}

// ---- samples for the line width and line style buttons -------------------------------------

void drawLineWidth(QPainter &p)
{
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(6, 9), QPointF(42, 9));
    p.setPen(QPen(kInk, 4.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(6, 20), QPointF(42, 20));
    p.setPen(QPen(kAccent, 8, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(6, 35), QPointF(42, 35));
}

void drawLineStyle(QPainter &p)
{
    p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(5, 10), QPointF(43, 10));
    p.setPen(QPen(kAccent, 4, Qt::SolidLine, Qt::FlatCap));
    for (qreal x = 5; x < 43; x += 11)
        p.drawLine(QPointF(x, 24), QPointF(x + 7, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (qreal x = 7; x < 43; x += 8)
        p.drawEllipse(QPointF(x, 38), 2.4, 2.4);
}

// ---- application icon (256-unit grid) ------------------------------------------------------

void drawAppIcon(QPainter &p)
{
    // A board-review sheet...
    QPainterPath sheet(QPointF(40, 18));
    sheet.lineTo(168, 18);
    sheet.lineTo(216, 66);
    sheet.lineTo(216, 238);
    sheet.lineTo(40, 238);
    sheet.closeSubpath();
    p.setPen(inkPen(12));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{168, 18}, {168, 66}, {216, 66}}));

    // ...with circuit traces and pads...
    p.setPen(QPen(kAccent, 11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({{72, 70}, {72, 120}, {112, 160}, {112, 204}}));
    p.drawPolyline(QPolygonF({{72, 120}, {132, 120}}));
    p.setPen(inkPen(7));
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(72, 64), 13, 13);
    p.drawEllipse(QPointF(112, 206), 13, 13);
    p.drawEllipse(QPointF(138, 120), 13, 13);

    // ...and the quill that marks it up.
    p.save();
    p.translate(160, 170);
    p.rotate(-50);
    QPainterPath vane(QPointF(-6, 0));
    vane.cubicTo(QPointF(30, -40), QPointF(90, -34), QPointF(128, -6));
    vane.cubicTo(QPointF(96, 22), QPointF(36, 30), QPointF(-6, 0));
    p.setPen(inkPen(8));
    p.setBrush(kInk);
    p.drawPath(vane);
    p.setPen(QPen(kPaper, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 0), QPointF(112, -4));
    p.setPen(inkPen(9));
    p.drawLine(QPointF(-34, 2), QPointF(-6, 0));
    p.restore();
}

// The same motif for 16 to 32 pixels: fewer, heavier strokes, placed so that at 16 and 32 pixels
// the outline falls on whole pixels.
void drawAppIconSmall(QPainter &p)
{
    QPainterPath sheet(QPointF(40, 24));
    sheet.lineTo(168, 24);
    sheet.lineTo(216, 72);
    sheet.lineTo(216, 232);
    sheet.lineTo(40, 232);
    sheet.closeSubpath();
    p.setPen(QPen(kInk, 16, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{168, 24}, {168, 72}, {216, 72}}));

    p.setPen(QPen(kAccent, 16, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({{88, 72}, {88, 136}, {136, 136}}));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRect(QRectF(64, 56, 48, 48));
    p.drawRect(QRectF(120, 112, 48, 48));

    // The quill reduced to a slanted nib stroke.
    p.setPen(QPen(kInk, 36, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(230, 106), QPointF(136, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({{149, 187}, {123, 213}, {100, 236}, {123, 187}}));
}

// ---------------------------------------------------------------------------------------------

struct Icon
{
    QString file;
    QSize size;  // pixels of the written PNG
    QSizeF grid; // drawing units that map onto it
    std::function<void(QPainter &)> draw;
};

std::vector<Icon> icons()
{
    const QSize px(48, 48);
    const QSizeF grid(48, 48);
    const QSize colorPx(42, 43); // the window copies exactly this much of a colour button picture
    std::vector<Icon> list = {
        {QStringLiteral("tool-select.png"), px, grid, drawPointer},
        {QStringLiteral("tool-arrow.png"), px, grid, drawArrowTool},
        {QStringLiteral("tool-text.png"), px, grid, drawTextTool},
        {QStringLiteral("tool-circle.png"), px, grid, drawCircleTool},
        {QStringLiteral("tool-rectangle.png"), px, grid, drawRectangleTool},
        {QStringLiteral("tool-polyline.png"), px, grid, drawPolyLineTool},
        {QStringLiteral("tool-freehand.png"), px, grid, drawFreehandTool},
        {QStringLiteral("export-pdf.png"), px, grid, drawPdf},
        {QStringLiteral("shrink.png"), px, grid, drawShrink},
        {QStringLiteral("remove.png"), px, grid, drawRemove},
        {QStringLiteral("format-bold.png"), px, grid, drawBold},
        {QStringLiteral("format-italic.png"), px, grid, drawItalic},
        {QStringLiteral("format-underline.png"), px, grid, drawUnderline},
        {QStringLiteral("undo.png"), px, grid, drawUndo},
        {QStringLiteral("redo.png"), px, grid, drawRedo},
        {QStringLiteral("text-color.png"), colorPx, QSizeF(42, 43), drawTextColor},
        {QStringLiteral("line-color.png"), colorPx, QSizeF(42, 43), drawLineColor},
        {QStringLiteral("line-width.png"), px, grid, drawLineWidth},
        {QStringLiteral("line-style.png"), px, grid, drawLineStyle},
    };
    for (int s : {16, 24, 32, 48, 64, 128, 256})
        list.push_back({QStringLiteral("quillmark-%1.png").arg(s), QSize(s, s), QSizeF(256, 256),
                        s <= 32 ? drawAppIconSmall : drawAppIcon});
    return list;
}

QImage render(const Icon &icon)
{
    QImage img(icon.size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(icon.size.width() / icon.grid.width(), icon.size.height() / icon.grid.height());
    icon.draw(p);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

int writeIcons(const QString &dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(dir));
        return 1;
    }
    for (const Icon &icon : icons()) {
        const QString path = QDir(dir).filePath(icon.file);
        if (!render(icon).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}

// The colour button as the window composes it: picture over a band of the chosen colour.
QImage colorButton(const QImage &picture, const QColor &color)
{
    QImage img(50, 80, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.fillRect(QRect(0, 60, 50, 20), color);
    p.drawImage(QRect(4, 0, 42, 43), picture, QRect(0, 0, 42, 43));
    return img;
}

// Each icon at full size and at 24 x 24, on a light and on a dark toolbar.
int writeSheet(const QString &out, const QString &dir)
{
    const int cell = 150;
    const int rowH = 74;
    std::vector<std::pair<QString, QImage>> rows;
    for (const Icon &icon : icons()) {
        QImage img(QDir(dir).filePath(icon.file));
        if (img.isNull()) {
            std::fprintf(stderr, "missing %s\n", qPrintable(icon.file));
            return 1;
        }
        rows.emplace_back(icon.file, img);
    }
    for (const char *name : {"text-color.png", "line-color.png"}) {
        const QImage pic(QDir(dir).filePath(QString::fromLatin1(name)));
        rows.emplace_back(QStringLiteral("%1 + red").arg(QString::fromLatin1(name)),
                          colorButton(pic, Qt::red));
    }

    const int cols = 2;
    const int perCol = int(rows.size() + 1) / cols;
    QImage sheet(cols * (cell + 4 * 60), perCol * rowH, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    p.setFont(f);
    for (int i = 0; i < int(rows.size()); ++i) {
        const int x0 = (i / perCol) * (cell + 4 * 60);
        const int y0 = (i % perCol) * rowH;
        p.setPen(Qt::black);
        p.drawText(QRect(x0 + 4, y0, cell - 8, rowH), Qt::AlignVCenter | Qt::TextWordWrap, rows[i].first);
        const QImage &img = rows[i].second;
        const QColor backs[] = {QColor(0xf0, 0xf0, 0xf0), QColor(0x3a, 0x3d, 0x41)};
        for (int b = 0; b < 2; ++b) {
            const int xb = x0 + cell + b * 120;
            p.fillRect(QRect(xb, y0 + 1, 118, rowH - 2), backs[b]);
            const QImage big = img.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            p.drawImage(xb + 4 + (64 - big.width()) / 2, y0 + (rowH - big.height()) / 2, big);
            const QImage small = img.scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            p.drawImage(xb + 78 + (24 - small.width()) / 2, y0 + (rowH - small.height()) / 2, small);
        }
    }
    p.end();
    if (!sheet.save(out, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && !args[0].startsWith(QLatin1Char('-')))
        return writeIcons(args[0]);
    if (args.size() == 3 && args[0] == QLatin1String("--sheet"))
        return writeSheet(args[1], args[2]);
    std::fprintf(stderr, "usage: quill_icongen <output-dir>\n"
                         "       quill_icongen --sheet <file.png> <icon-dir>\n");
    return 2;
}
