#include "scene/notesscene.h"

#include "scene/dialogs.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QAction>
#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QPainterPath>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

namespace {
constexpr double ArrowZ = 10.0;
constexpr double PolyLineZ = 1.0;
constexpr double TextZ = 2.0;
constexpr double PreviewZ = 1.0;
constexpr double GuideLineWidth = 3.0;
// Below this size in both directions a drawn shape is a click, not a drawing.
constexpr double MinimumExtent = 0.5;

bool isClick(const QPointF &a, const QPointF &b)
{
    return std::abs(a.x() - b.x()) < MinimumExtent && std::abs(a.y() - b.y()) < MinimumExtent;
}

bool anyOfType(const QList<QGraphicsItem *> &items, int type)
{
    return std::any_of(items.cbegin(), items.cend(),
                       [type](const QGraphicsItem *item) { return item->type() == type; });
}
} // namespace

template <class Item, class Change> void NotesScene::changeFirstSelected(Change change)
{
    // Only the first selected item takes the style, and only when it is of the kind the style
    // belongs to; the page is repainted whenever any selected item is of that kind.
    const QList<QGraphicsItem *> selected = selectedItems();
    if (!anyOfType(selected, Item::Type))
        return;
    if (selected.first()->type() == Item::Type)
        change(static_cast<Item *>(selected.first()));
    update();
}

// Circles and rectangles are dragged alike: a guide line, kept outside the scene, remembers
// the press point and the cursor while a preview of the shape follows.
template <class Item> void NotesScene::startFramedShape(Item *&preview, const QPointF &p)
{
    dropGesture();
    guideLine = new QGraphicsLineItem(QLineF(p, p));
    preview = new Item(QRectF(p, p), m_lineColor, m_lineWidth, m_lineStyle);
    makePreview(preview);
    addItem(preview);
    emit setRubberBandSelection(QGraphicsView::NoDrag);
}

// Replaces the preview by the finished item, in the current style and at the default z-value.
// A click without a drag gives nothing: a zero-size shape can neither be seen nor hit.
template <class Item> Item *NotesScene::finishFramedShape(Item *&preview)
{
    const QRectF rect = preview->rect();
    discard(preview);
    preview = nullptr;
    discard(guideLine);
    guideLine = nullptr;
    if (std::abs(rect.width()) < MinimumExtent && std::abs(rect.height()) < MinimumExtent)
        return nullptr;
    auto *item = new Item(rect, m_lineColor, m_lineWidth, m_lineStyle);
    addItem(item);
    return item;
}

NotesScene::NotesScene(QObject *parent)
    : QGraphicsScene(parent)
{
}

NotesScene::~NotesScene()
{
    // The guide line lives outside the scene; previews are freed with it.
    dropGesture();
    // Text items report focus loss to this scene; the base destructor deletes the items after
    // this part of the scene is gone, so those reports must not reach it any more.
    const QList<QGraphicsItem *> all = items();
    for (QGraphicsItem *item : all) {
        if (item->type() == NotesTextItem::Type)
            static_cast<NotesTextItem *>(item)->disconnect(this);
    }
}

void NotesScene::setLineColor(const QColor &color)
{
    m_lineColor = color;
    changeFirstSelected<NotesArrow>([&](NotesArrow *arrow) { arrow->setColor(color); });
}

void NotesScene::setTextColor(const QColor &color)
{
    m_textColor = color;
    changeFirstSelected<NotesTextItem>([&](NotesTextItem *text) { text->setDefaultTextColor(color); });
}

void NotesScene::setFont(const QFont &font)
{
    m_font = font;
    changeFirstSelected<NotesTextItem>([&](NotesTextItem *text) { text->setFont(font); });
}

void NotesScene::setLineWidth(int width)
{
    m_lineWidth = width;
}

void NotesScene::setLineStyle(Qt::PenStyle style)
{
    m_lineStyle = style;
}

void NotesScene::adoptStyle(const NotesScene &other)
{
    m_lineColor = other.m_lineColor;
    m_lineWidth = other.m_lineWidth;
    m_textColor = other.m_textColor;
    m_font = other.m_font;
}

bool NotesScene::cancelGesture(bool abandon)
{
    const bool dragging = guideLine || circlePreview || rectanglePreview || freehandPreview;
    const bool polyLine = abandon && polyLinePreview;
    const bool pendingFrame = frameCopyPending;
    dropGesture();
    frameCopyPending = false;
    if (polyLine)
        abandonPolyLine();
    if (dragging || pendingFrame)
        emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
    return dragging || polyLine || pendingFrame;
}

bool NotesScene::isGestureInProgress() const
{
    return guideLine || circlePreview || rectanglePreview || freehandPreview || polyLinePreview;
}

void NotesScene::abandonPolyLine()
{
    discard(polyLinePreview);
    polyLinePreview = nullptr;
    emit polyLineInserted(nullptr);
    emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
}

void NotesScene::makePreview(QGraphicsItem *item)
{
    item->setFlag(QGraphicsItem::ItemIsSelectable, false);
    item->setFlag(QGraphicsItem::ItemIsMovable, false);
    item->setAcceptedMouseButtons(Qt::NoButton);
    item->setZValue(PreviewZ);
}

bool NotesScene::hasSelectedItemOfType(int type) const
{
    return anyOfType(selectedItems(), type);
}

void NotesScene::setMode(Mode_t mode)
{
    // A drag gesture cut off by a mode change can no longer be finished by its release.
    // The polyline preview stays: it is finished by the space bar in any mode.
    if (mode != m_mode)
        dropGesture();
    m_mode = mode;
}

void NotesScene::editorLostFocus(NotesTextItem *item)
{
    if (!item)
        return;
    QTextCursor cursor = item->textCursor();
    cursor.clearSelection();
    item->setTextCursor(cursor);

    // An item that is being taken out of this scene (by an undo command, or with its page)
    // is left to whoever takes it.
    if (item->scene() != this || item->isLeavingScene())
        return;
    // Placement gives the item the HTML " ", which the toolkit reads as an empty document;
    // both forms mean nothing was typed (or everything typed was deleted again).
    const QString text = item->toPlainText();
    if (text.isEmpty() || text == QStringLiteral(" ")) {
        if (pressedItem == item)
            pressedItem = nullptr;
        removeItem(item);
        // Deleted later: this runs inside the item's own focus-out handling.
        item->deleteLater();
    }
}

void NotesScene::spaceBarPressed()
{
    if (!polyLinePreview)
        return;
    QPolygonF points = polyLinePreview->polygon();
    bool closed = false;
    if (points.size() >= 4) {
        closed = Dialogs::current().question(nullptr, tr("QUESTION"), tr("Closed Figure?"),
                                             QMessageBox::Yes | QMessageBox::No,
                                             QMessageBox::NoButton) == QMessageBox::Yes;
    }
    // The dialog ran an event loop; the preview may have been abandoned meanwhile.
    if (!polyLinePreview)
        return;
    if (!points.isEmpty()) {
        if (closed)
            points.last() = points.first();
        else
            points.removeLast();
    }
    // One click, or clicks on one spot, draw nothing that could be seen or hit.
    const bool drawn = std::any_of(points.cbegin(), points.cend(),
                                   [&](const QPointF &q) { return !isClick(q, points.first()); });
    if (!drawn) {
        abandonPolyLine();
        return;
    }

    QPainterPath path;
    path.addPolygon(points);
    auto *item = new NotesPolyLineItem(path, m_lineColor, m_lineWidth, m_lineStyle);
    discard(polyLinePreview);
    polyLinePreview = nullptr;
    item->setZValue(PolyLineZ);
    addItem(item);
    emit polyLineInserted(item);
    emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
}

void NotesScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    const QPointF p = event->scenePos();
    lastPressPos = p;
    // Only Select/Move hands the press to the items: drawing must not select or grab the
    // picture under the pen, and a pending frame copy leaves the press to the view's rubber band.
    // Decided before the press is handled: placing text switches to Select/Move on the way.
    const bool toItems = m_mode == SelectMove && !frameCopyPending;
    moveGesture = false;

    const QList<QGraphicsItem *> hit =
        items(event->buttonDownScenePos(Qt::LeftButton), Qt::IntersectsItemShape, Qt::DescendingOrder);
    pressedItem = hit.isEmpty() ? nullptr : hit.first();

    if (event->button() != Qt::LeftButton && (guideLine || circlePreview || rectanglePreview || freehandPreview)) {
        // Another button during a drag ends it: nothing is drawn and no menu opens over it,
        // since a menu would eat the release the drag waits for.
        cancelGesture(false);
        event->accept();
        return;
    }

    if (toItems && pressedItem && event->button() == Qt::LeftButton) {
        pressedItemStartPos = pressedItem->pos();
        moveGesture = true;
    } else if (event->button() == Qt::RightButton) {
        if (!selectedItems().isEmpty()) {
            // A selection takes the right button for itself.
        } else if (polyLinePreview) {
            QPolygonF points = polyLinePreview->polygon();
            if (!points.isEmpty())
                points.removeLast();
            polyLinePreview->setPolygon(points);
            if (points.size() < 2)
                abandonPolyLine();
        } else {
            showPageMenu(event->screenPos());
        }
    } else if (frameCopyPending) {
        // The press starts the frame's rubber band; nothing is drawn.
    } else if (event->button() == Qt::LeftButton) {
        emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
        switch (m_mode) {
        case InsertArrow: {
            dropGesture();
            guideLine = new QGraphicsLineItem(QLineF(p, p));
            guideLine->setPen(
                QPen(QBrush(m_lineColor), GuideLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            makePreview(guideLine);
            addItem(guideLine);
            emit setRubberBandSelection(QGraphicsView::NoDrag);
            break;
        }
        case InsertText:
            emit setRubberBandSelection(QGraphicsView::NoDrag);
            placeText(p);
            break;
        case InsertCircle:
            startFramedShape(circlePreview, p);
            break;
        case InsertRectangle:
            startFramedShape(rectanglePreview, p);
            break;
        case InsertPolyLine:
            if (polyLinePreview) {
                QPolygonF points = polyLinePreview->polygon();
                points.append(p);
                polyLinePreview->setPolygon(points);
            } else {
                polyLinePreview = new QGraphicsPolygonItem(QPolygonF({p, p}));
                polyLinePreview->setPen(QPen(QBrush(m_lineColor), double(m_lineWidth), m_lineStyle,
                                             Qt::SquareCap, Qt::BevelJoin));
                polyLinePreview->setBrush(Qt::NoBrush);
                makePreview(polyLinePreview);
                addItem(polyLinePreview);
                emit setRubberBandSelection(QGraphicsView::NoDrag);
            }
            break;
        case InsertFreehandLine: {
            dropGesture();
            QPainterPath path;
            path.moveTo(p);
            freehandPreview = new NotesLineItem(path, m_lineColor, m_lineWidth, m_lineStyle);
            makePreview(freehandPreview);
            addItem(freehandPreview);
            emit setRubberBandSelection(QGraphicsView::NoDrag);
            break;
        }
        case SelectMove:
        default: {
            // A press on a picture moves the picture rather than starting a rubber band.
            const QList<QGraphicsItem *> all = items(Qt::DescendingOrder);
            for (QGraphicsItem *item : all) {
                if (item->type() == Notes::PictureType &&
                    item->boundingRect().translated(item->pos()).contains(lastPressPos)) {
                    emit setRubberBandSelection(QGraphicsView::NoDrag);
                    break;
                }
            }
            break;
        }
        }
    }
    if (toItems)
        QGraphicsScene::mousePressEvent(event);
    else if (!frameCopyPending)
        event->accept(); // the drawing has it; the view starts no rubber band either
}

void NotesScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    const QPointF p = event->scenePos();
    if (m_mode == SelectMove) {
        QGraphicsScene::mouseMoveEvent(event);
    } else if (m_mode == InsertArrow && guideLine) {
        guideLine->setLine(QLineF(guideLine->line().p1(), p));
    } else if (m_mode == InsertCircle && circlePreview && guideLine) {
        const QLineF line(guideLine->line().p1(), p);
        guideLine->setLine(line);
        const double r = line.length();
        circlePreview->setRect(QRectF(line.p1() - QPointF(r, r), QSizeF(2 * r, 2 * r)));
    } else if (m_mode == InsertRectangle && rectanglePreview && guideLine) {
        const QLineF line(guideLine->line().p1(), p);
        guideLine->setLine(line);
        rectanglePreview->setRect(QRectF(line.p1(), p));
    } else if (m_mode == InsertFreehandLine && freehandPreview) {
        QPainterPath path = freehandPreview->path();
        path.lineTo(p);
        freehandPreview->setPath(path);
    } else if (polyLinePreview) {
        QPolygonF points = polyLinePreview->polygon();
        if (!points.isEmpty()) {
            points.last() = p;
            polyLinePreview->setPolygon(points);
        }
    }
}

void NotesScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (frameCopyPending) {
        const QList<QGraphicsItem *> selected = selectedItems();
        for (QGraphicsItem *item : selected)
            item->setSelected(false);
        emit copyToClipBoard();
        frameCopyPending = false;
    } else if (m_mode == SelectMove) {
        if (moveGesture && pressedItem && event->button() == Qt::LeftButton) {
            // The item may have left the scene during the drag (removed by a command).
            // The toolkit's point comparison is the fuzzy one a drag needs: a move that only
            // rounds away is no move.
            if (items().contains(pressedItem) && pressedItem->pos() != pressedItemStartPos)
                emit itemMoved(pressedItem, pressedItemStartPos);
            pressedItem = nullptr;
        }
        moveGesture = false;
    } else {
        switch (m_mode) {
        case InsertArrow:
            if (guideLine) {
                const QLineF line(guideLine->line().p1(), event->scenePos());
                discard(guideLine);
                guideLine = nullptr;
                if (!isClick(line.p1(), line.p2())) {
                    auto *arrow = new NotesArrow(line);
                    arrow->setColor(m_lineColor);
                    arrow->setZValue(ArrowZ);
                    addItem(arrow);
                    emit arrowInserted(arrow);
                }
                emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
            }
            break;
        case InsertCircle:
            if (circlePreview && guideLine) {
                if (NotesCircleItem *circle = finishFramedShape(circlePreview))
                    emit circleInserted(circle);
                emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
            }
            break;
        case InsertRectangle:
            if (rectanglePreview && guideLine) {
                if (NotesRectangleItem *rectangle = finishFramedShape(rectanglePreview))
                    emit rectangleInserted(rectangle);
                emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
            }
            break;
        case InsertFreehandLine:
            if (freehandPreview) {
                const QPainterPath path = freehandPreview->path();
                discard(freehandPreview);
                freehandPreview = nullptr;
                const QRectF bounds = path.boundingRect();
                if (path.elementCount() > 1 && !isClick(bounds.topLeft(), bounds.bottomRight())) {
                    auto *line = new NotesLineItem(path, m_lineColor, m_lineWidth, m_lineStyle);
                    addItem(line);
                    emit freehandLineInserted(line);
                }
                emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
            }
            break;
        default:
            break;
        }
        if (guideLine) {
            discard(guideLine);
            guideLine = nullptr;
        }
    }
    if (m_mode == SelectMove)
        QGraphicsScene::mouseReleaseEvent(event);
}

void NotesScene::showPageMenu(const QPoint &screenPos)
{
    QMenu menu;
    // These entries are not translated.
    QAction *copyFrame = menu.addAction(QStringLiteral("Copy Frame to Clip Board"));
    QAction *copyAll = menu.addAction(QStringLiteral("Copy all to Clip Board"));
    QAction *copyPixmap = menu.addAction(QStringLiteral("Copy Pixmap from Clip Board"));
    QAction *chosen = Dialogs::current().popupMenu(&menu, screenPos);
    if (!chosen)
        return;
    if (chosen == copyFrame) {
        emit setRubberBandSelection(QGraphicsView::RubberBandDrag);
        frameCopyPending = true;
    } else if (chosen == copyAll) {
        emit copyAllToClipBoard();
    } else if (chosen == copyPixmap) {
        emit copyFromClipBoard(lastPressPos);
    }
}

void NotesScene::placeText(const QPointF &pos)
{
    auto *item = new NotesTextItem();
    item->setFont(m_font);
    item->setTextInteractionFlags(Qt::TextEditable);
    item->setZValue(TextZ);
    connect(item, &NotesTextItem::lostFocus, this, &NotesScene::editorLostFocus, Qt::UniqueConnection);
    connect(item, &NotesTextItem::selectedChange, this, &NotesScene::itemSelected, Qt::UniqueConnection);
    addItem(item);
    item->setDefaultTextColor(m_textColor);
    item->setPos(pos);
    item->setSelected(true);
    item->setHtml(QStringLiteral(" "));
    emit textInserted(item);
}

void NotesScene::dropGesture()
{
    if (guideLine) {
        discard(guideLine);
        guideLine = nullptr;
    }
    if (circlePreview) {
        discard(circlePreview);
        circlePreview = nullptr;
    }
    if (rectanglePreview) {
        discard(rectanglePreview);
        rectanglePreview = nullptr;
    }
    if (freehandPreview) {
        discard(freehandPreview);
        freehandPreview = nullptr;
    }
}

void NotesScene::discard(QGraphicsItem *item)
{
    if (!item)
        return;
    if (pressedItem == item)
        pressedItem = nullptr;
    if (item->scene() == this)
        removeItem(item);
    delete item;
}
