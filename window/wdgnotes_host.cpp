// The link to the host inspection application, the clipboard and the small view operations.

#include "window/wdgnotes.h"

#include "io/pagemodel.h"
#include "scene/notesconstants.h"
#include "scene/notespictureitem.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDataWidgetMapper>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardItemModel>

#include <memory>

void WdgNotes::createdImage(QPixmap *image, QList<DsvLayer> layers, QRectF rect)
{
    if (!image)
        return;

    // The window owns the host's picture from here on.
    std::unique_ptr<QPixmap> owned(image);
    auto picture = std::make_unique<NotesPictureItem>(*owned);
    owned.reset();
    picture->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable);
    picture->setZValue(PictureZ);
    const QVariantMap layerMap = layerListToMap(layers);
    picture->setData(PictureHasLayersKey, true);
    picture->setData(PictureLayersKey, layerMap);
    picture->setTransformOriginPoint(picture->boundingRect().center());

    const int row = noteMapper->currentIndex();
    QStandardItem *sceneItem = noteModel->item(row, Page::SceneColumn);
    if (QGraphicsScene *scene = sceneOfItem(sceneItem)) {
        scene->addItem(picture.release());
        sceneItem->setData(rect, Page::ViewRectRole);
        // The page remembers the layers of its host pictures so that the view can be shown again
        // and exported; later pictures win for layers of the same name.
        if (!layerMap.isEmpty()) {
            QVariantMap pageMap = sceneItem->data(Page::LayerMapRole).toMap();
            for (auto it = layerMap.cbegin(); it != layerMap.cend(); ++it)
                pageMap.insert(it.key(), it.value());
            sceneItem->setData(pageMap, Page::LayerMapRole);
        }
    }

    updateButtons(row);
    drawScene(row);

    if (hideWindowCheck->isChecked()) {
        showNormal();
        repaint();
    }
}

void WdgNotes::setSendView(bool on)
{
    sendView = on;
}

void WdgNotes::rubberBandChanged(QRect viewportRect, QPointF, QPointF)
{
    // The view reports an empty rectangle when the band ends; the last real one is kept.
    if (viewportRect.isValid())
        rubberBandRect = notesView->rubberBandRect();
}

void WdgNotes::setRubberBandSelection(QGraphicsView::DragMode mode)
{
    notesView->setDragMode(mode);
}

void WdgNotes::copyToClipBoard()
{
    const QPixmap frame = notesView->grab(rubberBandRect);
    QGuiApplication::clipboard()->setImage(frame.toImage());
    rubberBandRect = QRect();
}

void WdgNotes::copyAllToClipBoard()
{
    QGuiApplication::clipboard()->setImage(notesView->grab().toImage());
}

bool WdgNotes::addClipboardPicture()
{
    return addPicture(QGuiApplication::clipboard()->image());
}

bool WdgNotes::addPicture(const QImage &image)
{
    if (image.isNull())
        return false;

    auto picture = std::make_unique<NotesPictureItem>(QPixmap::fromImage(image));
    picture->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable);
    picture->setZValue(PictureZ);
    picture->setData(PictureHasLayersKey, false);

    QStandardItem *sceneItem = noteModel->item(noteMapper->currentIndex(), Page::SceneColumn);
    if (QGraphicsScene *scene = sceneOfItem(sceneItem)) {
        scene->addItem(picture.release());
        // The page no longer shows the host's view.
        sceneItem->setData(QRectF(), Page::ViewRectRole);
        sceneItem->setData(QVariantMap(), Page::LayerMapRole);
    }
    return true;
}

void WdgNotes::copyFromClipBoard(QPointF)
{
    if (viewOnly || !addClipboardPicture())
        return;
    const int row = noteMapper->currentIndex();
    updateButtons(row);
    drawScene(row);
}

void WdgNotes::shrinkToItems()
{
    if (QGraphicsScene *scene = notesView->scene())
        scene->setSceneRect(scene->itemsBoundingRect());
}

QRectF WdgNotes::dina4Rect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRectF();
    // DIN A4 edges in millimetres divided by 2.54.
    return QRectF(0, 0, screen->logicalDotsPerInchX() * 82.67716535433071,
                  screen->logicalDotsPerInchY() * 116.92913385826772);
}
