#pragma once

// A canonical text of the pages of a model (io/pagemodel.h layout): what a save must keep and a
// read must give back. The notes file fuzz target compares a read with the read of its own save
// by it, the window stress test the window's pages with their reload. Items are listed per kind,
// sorted: the writer stores each kind in descending stacking order and the reader stacks them in
// file order, so every save reverses the stacking of items of one kind. Text items without text
// are left out, as the writer leaves them out.

#include "io/dsvlayer.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/notesconstants.h"
#include "scene/noteslineitem.h"
#include "scene/notespictureitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QCryptographicHash>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QImage>
#include <QPainterPath>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace PagesDescription {

inline QString num(double v)
{
    return QString::number(v, 'g', 17);
}

inline QString point(const QPointF &p)
{
    return num(p.x()) + QLatin1Char(',') + num(p.y());
}

inline QString rect(const QRectF &r)
{
    return point(r.topLeft()) + QLatin1Char(' ') + num(r.width()) + QLatin1Char('x') + num(r.height());
}

inline QString color(const QColor &c)
{
    if (!c.isValid())
        return QStringLiteral("invalid");
    // Spec and every component: two colours that print the same are the same colour.
    return QStringLiteral("%1:%2,%3,%4,%5")
        .arg(int(c.spec()))
        .arg(c.alphaF(), 0, 'g', 9)
        .arg(c.redF(), 0, 'g', 9)
        .arg(c.greenF(), 0, 'g', 9)
        .arg(c.blueF(), 0, 'g', 9);
}

inline QString path(const QPainterPath &p)
{
    QStringList parts;
    for (int i = 0; i < p.elementCount(); ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        parts << QString::number(int(e.type)) + QLatin1Char(':') + num(e.x) + QLatin1Char(',') + num(e.y);
    }
    return parts.join(QLatin1Char(' ')) + QStringLiteral(" fill ") + QString::number(int(p.fillRule()));
}

// The keyed layer settings as stored: every key with its value.
inline QString layers(const QVariantMap &map)
{
    QStringList parts;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QVariant &v = it.value();
        const QString value = v.metaType() == QMetaType::fromType<QColor>() ? color(v.value<QColor>())
                                                                             : v.toString();
        parts << it.key() + QLatin1Char('=') + value;
    }
    return parts.join(QLatin1Char(' '));
}

inline QString picture(const QGraphicsPixmapItem *item)
{
    // Pictures keep the PNG they were read from: the bytes must come back unchanged, and are
    // compared without decoding them.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto *kept = dynamic_cast<const NotesPictureItem *>(item);
    QSize size;
    if (kept) {
        hash.addData(kept->pngBytes());
        size = kept->pictureSize();
    } else {
        const QImage image = item->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height(); ++y)
            hash.addData(QByteArrayView(reinterpret_cast<const char *>(image.constScanLine(y)),
                                        qsizetype(image.width()) * 4));
        size = image.size();
    }
    const QVariant hasLayers = item->data(PictureHasLayersKey);
    const QVariantMap map = item->data(PictureLayersKey).toMap();
    // A picture marked as carrying layers but holding none is written as one without layers.
    return QStringLiteral("picture %1 %2x%3 %4 layers %5 {%6}")
        .arg(point(item->pos()))
        .arg(size.width())
        .arg(size.height())
        .arg(QString::fromLatin1(hash.result().toHex()))
        .arg(hasLayers.toBool() && !map.isEmpty())
        .arg(layers(map));
}

// The font of a piece of rich text as far as it survives the toolkit's HTML: family, weight
// (1 to 1000), style and lines. Sizes and spacing are left out: the HTML form rounds, clamps
// or drops sizes that a font read from a file may hold, and the item's own font, compared
// exactly, carries them.
inline QString shownFont(const QFont &f)
{
    return QStringLiteral("%1 w%2 i%3 u%4 o%5 s%6 cap%7")
        .arg(f.family())
        .arg(qBound(1, int(f.weight()), 1000))
        .arg(f.style() != QFont::StyleNormal) // HTML knows italic, not oblique
        .arg(f.underline())
        .arg(f.overline())
        .arg(f.strikeOut())
        .arg(int(f.capitalization()));
}

// The formatted text as shown: each fragment's text with its font resolved against the
// document's default font, and its colour. The HTML itself is no canonical form: the toolkit
// writes explicit spans for what a plain text inherits, so that a plain text read from an old
// file and the same text read back from its HTML print different HTML for the same text.
inline QString richText(const NotesTextItem *item)
{
    QStringList parts;
    const QTextDocument *document = item->document();
    const QFont base = document->defaultFont();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        parts << QStringLiteral("|block %1|").arg(int(block.blockFormat().alignment()));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            parts << QStringLiteral("[%1 %2 %3]")
                         .arg(fragment.text(), shownFont(format.font().resolve(base)),
                              format.hasProperty(QTextFormat::ForegroundBrush) ? color(format.foreground().color())
                                                                               : QStringLiteral("-"));
        }
    }
    return parts.join(QString());
}

inline QString text(const NotesTextItem *item)
{
    return QStringLiteral("text %1 font %2 tail %3 colour %4 at %5 rot %6 shown %7")
        .arg(item->toPlainText(), item->font().toString(),
             QString::fromLatin1(item->data(NotesFile::FontTailKey).toList().value(1).toByteArray().toHex()),
             color(item->defaultTextColor()), point(item->pos()), num(item->rotation()), richText(item));
}

template <class Box> QString box(const char *kind, const QGraphicsItem *item)
{
    const auto *b = static_cast<const Box *>(item);
    return QStringLiteral("%1 %2 %3 w%4 s%5 at %6")
        .arg(QLatin1String(kind), rect(b->rect()), color(b->color()))
        .arg(b->width())
        .arg(int(b->style()))
        .arg(point(b->pos()));
}

template <class Line> QString line(const char *kind, const QGraphicsItem *item)
{
    const auto *l = static_cast<const Line *>(item);
    return QStringLiteral("%1 %2 %3 w%4 s%5 at %6")
        .arg(QLatin1String(kind), path(l->path()), color(l->color()))
        .arg(l->width())
        .arg(int(l->style()))
        .arg(point(l->pos()));
}

inline QString page(const QStandardItemModel &model, int row)
{
    const auto textOf = [&](int column) {
        const QStandardItem *item = model.item(row, column);
        return item ? item->text() : QString();
    };
    QStringList out;
    out << QStringLiteral("page %1 title %2 date %3 comment %4")
               .arg(row)
               .arg(textOf(Page::TitleColumn), textOf(Page::DateColumn), textOf(Page::CommentColumn));
    const QStandardItem *sceneItem = model.item(row, Page::SceneColumn);
    if (!sceneItem)
        return out.join(QLatin1Char('\n'));
    out << QStringLiteral("view ") + rect(sceneItem->data(Page::ViewRectRole).toRectF());
    out << QStringLiteral("page layers {") + layers(sceneItem->data(Page::LayerMapRole).toMap()) +
               QLatin1Char('}');
    const auto *scene = qvariant_cast<QGraphicsScene *>(sceneItem->data(Page::SceneRole));
    if (!scene)
        return out.join(QLatin1Char('\n'));
    QStringList kinds[7];
    for (const QGraphicsItem *item : scene->items(Qt::AscendingOrder)) {
        if (item->parentItem())
            continue;
        switch (item->type()) {
        case Notes::PictureType:
            kinds[0] << picture(static_cast<const QGraphicsPixmapItem *>(item));
            break;
        case Notes::TextType:
            if (!static_cast<const NotesTextItem *>(item)->toPlainText().isEmpty())
                kinds[1] << text(static_cast<const NotesTextItem *>(item));
            break;
        case Notes::ArrowType: {
            const auto *arrow = static_cast<const NotesArrow *>(item);
            const QLineF l = arrow->line();
            kinds[2] << QStringLiteral("arrow %1 %2 %3 at %4")
                            .arg(point(l.p1()), point(l.p2()), color(arrow->color()), point(arrow->pos()));
            break;
        }
        case Notes::CircleType:
            kinds[3] << box<NotesCircleItem>("circle", item);
            break;
        case Notes::RectangleType:
            kinds[4] << box<NotesRectangleItem>("rectangle", item);
            break;
        case Notes::LineType:
            kinds[5] << line<NotesLineItem>("line", item);
            break;
        case Notes::PolyLineType:
            kinds[6] << line<NotesPolyLineItem>("polyline", item);
            break;
        default:
            break;
        }
    }
    for (QStringList &kind : kinds) {
        kind.sort();
        out << kind;
    }
    return out.join(QLatin1Char('\n'));
}

inline QString pages(const QStandardItemModel &model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << page(model, row);
    return out.join(QLatin1Char('\n'));
}

} // namespace PagesDescription
