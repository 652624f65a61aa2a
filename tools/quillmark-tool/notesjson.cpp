#include "tools/quillmark-tool/notesjson.h"

#include "io/pagemodel.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/notesconstants.h"
#include "scene/noteslineitem.h"
#include "scene/notespictureitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QColor>
#include <QFont>
#include <QGraphicsScene>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QStandardItemModel>

namespace NotesJson {

QString colorName(const QColor &color)
{
    return color.name(QColor::HexArgb);
}

QJsonObject layerToJson(const DsvLayer &l)
{
    // Declaration order of the record, so that a reader can follow the fields side by side.
    return QJsonObject{
        {QStringLiteral("number"), l.number},
        {QStringLiteral("name"), l.name},
        {QStringLiteral("comment"), l.comment},
        {QStringLiteral("extraflag1"), l.extraflag1},
        {QStringLiteral("allcol"), colorName(l.allcol)},
        {QStringLiteral("padcol"), colorName(l.padcol)},
        {QStringLiteral("padvisible"), l.padvisible},
        {QStringLiteral("ncpadcol"), colorName(l.ncpadcol)},
        {QStringLiteral("ncpadvisible"), l.ncpadvisible},
        {QStringLiteral("routecol"), colorName(l.routecol)},
        {QStringLiteral("routevisible"), l.routevisible},
        {QStringLiteral("coppercol"), colorName(l.coppercol)},
        {QStringLiteral("coppervisible"), l.coppervisible},
        {QStringLiteral("viacol"), colorName(l.viacol)},
        {QStringLiteral("viavisible"), l.viavisible},
        {QStringLiteral("figurecol"), colorName(l.figurecol)},
        {QStringLiteral("figurevisible"), l.figurevisible},
        {QStringLiteral("testptcol"), colorName(l.testptcol)},
        {QStringLiteral("testptvisible"), l.testptvisible},
        {QStringLiteral("areacol"), colorName(l.areacol)},
        {QStringLiteral("areavisible"), l.areavisible},
        {QStringLiteral("textcol"), colorName(l.textcol)},
        {QStringLiteral("textvisible"), l.textvisible},
        {QStringLiteral("selectcol"), colorName(l.selectcol)},
        {QStringLiteral("fillbrush"), l.fillbrush},
        {QStringLiteral("extraint1"), l.extraint1},
        {QStringLiteral("extraint2"), l.extraint2},
        {QStringLiteral("extraint3"), l.extraint3},
        {QStringLiteral("extraint4"), l.extraint4},
        {QStringLiteral("extraint5"), l.extraint5},
        {QStringLiteral("extraint6"), l.extraint6},
        {QStringLiteral("extraint7"), l.extraint7},
        {QStringLiteral("extraint8"), l.extraint8},
        {QStringLiteral("extraint9"), l.extraint9},
        {QStringLiteral("type"), l.type},
        {QStringLiteral("extraint10"), l.extraint10},
        {QStringLiteral("extraint11"), l.extraint11},
        {QStringLiteral("alphaval"), l.alphaval},
        {QStringLiteral("extraflag2"), l.extraflag2},
        {QStringLiteral("extraint12"), l.extraint12},
    };
}

QJsonArray layersToJson(const QList<DsvLayer> &layers)
{
    QJsonArray array;
    for (const DsvLayer &layer : layers)
        array.append(layerToJson(layer));
    return array;
}

QJsonArray pointToJson(const QPointF &point)
{
    return QJsonArray{point.x(), point.y()};
}

QJsonArray rectToJson(const QRectF &rect)
{
    return QJsonArray{rect.x(), rect.y(), rect.width(), rect.height()};
}

QJsonArray pathToJson(const QPainterPath &path)
{
    QJsonArray elements;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        elements.append(QJsonArray{int(e.type), e.x, e.y});
    }
    return elements;
}

QJsonObject fontToJson(const QFont &font)
{
    return QJsonObject{
        {QStringLiteral("family"), font.family()},       {QStringLiteral("pointSize"), font.pointSizeF()},
        {QStringLiteral("pixelSize"), font.pixelSize()}, {QStringLiteral("weight"), font.weight()},
        {QStringLiteral("italic"), font.italic()},       {QStringLiteral("underline"), font.underline()},
        {QStringLiteral("strikeOut"), font.strikeOut()},
    };
}

namespace {

QString textOf(const QStandardItemModel &model, int row, int column)
{
    const QStandardItem *item = model.item(row, column);
    return item ? item->text() : QString();
}

template <class Box> QJsonObject boxToJson(const QGraphicsItem *item)
{
    const auto *box = static_cast<const Box *>(item);
    return QJsonObject{
        {QStringLiteral("rect"), rectToJson(box->rect())}, {QStringLiteral("color"), colorName(box->color())},
        {QStringLiteral("width"), box->width()},           {QStringLiteral("style"), int(box->style())},
        {QStringLiteral("pos"), pointToJson(box->pos())},
    };
}

template <class Line> QJsonObject lineToJson(const QGraphicsItem *item)
{
    const auto *line = static_cast<const Line *>(item);
    return QJsonObject{
        {QStringLiteral("path"), pathToJson(line->path())},
        {QStringLiteral("color"), colorName(line->color())},
        {QStringLiteral("width"), line->width()},
        {QStringLiteral("style"), int(line->style())},
        {QStringLiteral("pos"), pointToJson(line->pos())},
    };
}

QJsonObject pictureToJson(const QGraphicsItem *item)
{
    // The size comes from the picture's header: dumping never decodes a picture.
    const QSize size = Notes::pictureSize(item);
    const bool hasLayers = item->data(PictureHasLayersKey).toBool();
    const QList<DsvLayer> layers =
        hasLayers ? layerListFromMap(item->data(PictureLayersKey).toMap()) : QList<DsvLayer>();
    return QJsonObject{
        {QStringLiteral("pos"), pointToJson(item->pos())},
        {QStringLiteral("size"), QJsonArray{size.width(), size.height()}},
        {QStringLiteral("hasLayers"), hasLayers},
        {QStringLiteral("layers"), layersToJson(layers)},
    };
}

QJsonObject textToJson(const QGraphicsItem *item)
{
    const auto *text = static_cast<const NotesTextItem *>(item);
    return QJsonObject{
        {QStringLiteral("plain"), text->toPlainText()},
        {QStringLiteral("html"), text->toHtml()},
        {QStringLiteral("font"), fontToJson(text->font())},
        {QStringLiteral("color"), colorName(text->defaultTextColor())},
        {QStringLiteral("pos"), pointToJson(text->pos())},
        {QStringLiteral("rotation"), text->rotation()},
    };
}

QJsonObject arrowToJson(const QGraphicsItem *item)
{
    const auto *arrow = static_cast<const NotesArrow *>(item);
    const QLineF line = arrow->line();
    return QJsonObject{
        {QStringLiteral("line"), QJsonArray{line.x1(), line.y1(), line.x2(), line.y2()}},
        {QStringLiteral("color"), colorName(arrow->color())},
        {QStringLiteral("pos"), pointToJson(arrow->pos())},
    };
}

} // namespace

QJsonObject pageToJson(const QStandardItemModel &model, int row)
{
    QJsonObject page{
        {QStringLiteral("title"), textOf(model, row, Page::TitleColumn)},
        {QStringLiteral("date"), textOf(model, row, Page::DateColumn)},
        {QStringLiteral("comment"), textOf(model, row, Page::CommentColumn)},
    };

    const QStandardItem *sceneItem = model.item(row, Page::SceneColumn);
    // Always four numbers: a page without a host view has the null rectangle, as in the file.
    const QRectF viewRect = sceneItem ? sceneItem->data(Page::ViewRectRole).toRectF() : QRectF();
    page.insert(QStringLiteral("viewRect"), rectToJson(viewRect));
    const QVariant layerMap = sceneItem ? sceneItem->data(Page::LayerMapRole) : QVariant();
    page.insert(QStringLiteral("layerMap"), layerMap.isValid()
                                                ? QJsonValue(layersToJson(layerListFromMap(layerMap.toMap())))
                                                : QJsonValue(QJsonValue::Null));

    QJsonArray pictures, texts, arrows, circles, rectangles, freehandLines, polylines;
    const auto *scene =
        sceneItem ? qvariant_cast<QGraphicsScene *>(sceneItem->data(Page::SceneRole)) : nullptr;
    if (scene) {
        // The reader gives every item the same stacking value, so ascending stacking order is the
        // order in which they were added: file order within each kind.
        const QList<QGraphicsItem *> items = scene->items(Qt::AscendingOrder);
        for (const QGraphicsItem *item : items) {
            if (item->parentItem())
                continue;
            switch (item->type()) {
            case Notes::PictureType:
                pictures.append(pictureToJson(item));
                break;
            case Notes::TextType:
                texts.append(textToJson(item));
                break;
            case Notes::ArrowType:
                arrows.append(arrowToJson(item));
                break;
            case Notes::CircleType:
                circles.append(boxToJson<NotesCircleItem>(item));
                break;
            case Notes::RectangleType:
                rectangles.append(boxToJson<NotesRectangleItem>(item));
                break;
            case Notes::LineType:
                freehandLines.append(lineToJson<NotesLineItem>(item));
                break;
            case Notes::PolyLineType:
                polylines.append(lineToJson<NotesPolyLineItem>(item));
                break;
            default:
                break;
            }
        }
    }
    page.insert(QStringLiteral("pictures"), pictures);
    page.insert(QStringLiteral("texts"), texts);
    page.insert(QStringLiteral("arrows"), arrows);
    page.insert(QStringLiteral("circles"), circles);
    page.insert(QStringLiteral("rectangles"), rectangles);
    page.insert(QStringLiteral("freehandLines"), freehandLines);
    page.insert(QStringLiteral("polylines"), polylines);
    return page;
}

QJsonObject notesToJson(const QStandardItemModel &model, qint32 major, qint32 minor, bool damaged)
{
    QJsonArray pages;
    for (int row = 0; row < model.rowCount(); ++row)
        pages.append(pageToJson(model, row));
    return QJsonObject{
        {QStringLiteral("format"), QJsonArray{major, minor}},
        {QStringLiteral("damaged"), damaged},
        {QStringLiteral("pages"), pages},
    };
}

} // namespace NotesJson
